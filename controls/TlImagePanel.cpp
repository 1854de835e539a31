#include "controls/TlImagePanel.h"

#include "controls/TlGraphics.h"
#include "framework/SysUtils.h"

TtlCustomPanel::TtlCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle |= csAcceptsControls;
  FWidth = 185;
  FHeight = 41;
  FPicture = std::make_unique<TPicture>();
  FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TtlCustomPanel::~TtlCustomPanel() {
  if (FPicture) FPicture->OnChange = nullptr;
}

void TtlCustomPanel::SizeToPicture() {
  if (!AutoSize() || !FPicture->Graphic()) return;
  int w = Width(), h = Height();
  if (Align() != alTop && Align() != alBottom && Align() != alClient) w = FPicture->Width();
  if (Align() != alLeft && Align() != alRight && Align() != alClient) h = FPicture->Height();
  if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
}

void TtlCustomPanel::PictureChanged() {
  if (TGraphic* g = FPicture->Graphic()) {
    SizeToPicture();
    if (g->Transparent() != FTransparent) g->SetTransparent(FTransparent);
  }
  FillHostedBackground();
  Invalidate();
}

void TtlCustomPanel::SetPicture(TPicture* Value) {
  FPicture->Assign(Value);
  FillHostedBackground();
  Invalidate();
}

void TtlCustomPanel::SetDrawStyle(TtlDrawStyle Value) {
  FDrawStyle = Value;
  FillHostedBackground();
  Invalidate();
}

void TtlCustomPanel::SetAutoSize(bool Value) {
  TCustomControl::SetAutoSize(Value);
  SizeToPicture();
}

void TtlCustomPanel::SetTransparent(bool Value) {
  FTransparent = Value;
  if (TGraphic* g = FPicture->Graphic()) g->SetTransparent(Value);
  Invalidate();
}

void TtlCustomPanel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TtlCustomPanel::FillHostedBackground() {
  Brush()->SetColor(Color());
  if (ParentWindow() && !Parent() && HandleAllocated()) {
    HDC dc = GetDC(FHandle);
    RECT r;
    GetClientRect(FHandle, &r);
    FillRect(dc, &r, Brush()->Handle());
    ReleaseDC(FHandle, dc);
  }
}

void TtlCustomPanel::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  CaptionRectChanged(FCaptionRect);
  Invalidate();
}

void TtlCustomPanel::Resize() {
  TCustomControl::Resize();
  Invalidate();
}

void TtlCustomPanel::WndProc(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND && !FEraseBackground) {
    Message.Result = 1;
    return;
  }
  TCustomControl::WndProc(Message);
}

void TtlCustomPanel::Paint() {
  int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  TBitmap surface;
  surface.SetSize(w, h);
  TCanvas* c = surface.Canvas();
  TRect client(0, 0, w, h);
  if (FTransparent) DrawParentImage(this, c);
  TGraphic* g = FPicture->Graphic();
  if (g && !g->Empty()) {
    switch (FDrawStyle) {
    case tlStretch:
      c->StretchDraw(client, g);
      break;
    case tlTile:
      TileImage(c, client, g);
      break;
    default:
      c->Draw(0, 0, g);
      break;
    }
  } else if (!FTransparent) {
    c->Brush()->SetColor(Color());
    c->FillRect(client);
  }
  c->Brush()->SetStyle(bsClear);
  if (!Trim(Caption()).empty()) {
    c->SetFont(Font());
    UINT align = FAlignment == taLeftJustify    ? DT_LEFT
                 : FAlignment == taRightJustify ? DT_RIGHT
                                                : DT_CENTER;
    TRect r = client;
    HDC dc = c->Handle();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font()->Color()) & 0xFFFFFF);
    DrawTextW(dc, Caption().c_str(), -1, r.R(),
              DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | align));
    FCaptionRect = r;
  }
  BitBlt(Canvas()->Handle(), 0, 0, w, h, c->Handle(), 0, 0, SRCCOPY);
}
