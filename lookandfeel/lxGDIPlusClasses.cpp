#include "lookandfeel/lxGDIPlusClasses.h"

#include <cstring>

#include "framework/Streams.h"

using namespace Gdiplus;

namespace {

bool gGdiPlusClass = false;
int gUseCount = 0;

const wchar_t* const kClassName = L"TlxPNGImage";

SizeF Dimension(void* Image) {
  SizeF s{0, 0};
  if (Image && GdiPlusUsable()) {
    REAL w = 0, h = 0;
    lxGdip<Status(WINAPI*)(void*, REAL*, REAL*)>(gpGetImageDimension)(Image, &w, &h);
    s = SizeF(w, h);
  }
  return s;
}

} // namespace

// ---------------------------------------------------------------------------
// TlxGPBase

void* TlxGPBase::operator new(size_t Size) {
  auto alloc = lxGdip<void*(WINAPI*)(size_t)>(gpAlloc);
  void* p = alloc ? alloc(Size) : nullptr;
  if (!p) throw std::bad_alloc();
  return p;
}

void TlxGPBase::operator delete(void* P) {
  if (!P) return;
  if (auto f = lxGdip<void(WINAPI*)(void*)>(gpFree)) f(P);
}

// ---------------------------------------------------------------------------
// TlxGPImage

TlxGPImage::~TlxGPImage() {
  if (FHandle && GdiPlusUsable()) lxGdip<Status(WINAPI*)(void*)>(gpDisposeImage)(FHandle);
  FHandle = nullptr;
  // The stream and its memory block outlive the image and go with it.
  if (FStream) FStream->Release();
  if (FStreamBlock) GlobalFree(FStreamBlock);
}

int TlxGPImage::Width() const {
  return static_cast<int>(Dimension(FHandle).Width);
}

int TlxGPImage::Height() const {
  return static_cast<int>(Dimension(FHandle).Height);
}

void TlxGPImage::InitFromBits(int Width, const TlxPixels& Pixels, bool AlphaUsed, int Height) {
  FPixels = Pixels;
  if (!FPixels) return;
  if (!AlphaUsed)
    for (auto& p : *FPixels)
      p |= 0xFF000000;
  lxGdip<Status(WINAPI*)(INT, INT, INT, PixelFormat, BYTE*, void**)>(gpCreateBitmapFromScan0)(
      Width, Height, Width * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(FPixels->data()),
      &FHandle);
}

void TlxGPImage::InitFromBitmap(TBitmap* Bitmap) {
  EnsurePngEncoder();
  int w = Bitmap->Width(), h = Bitmap->Height();
  auto pixels = std::make_shared<std::vector<uint32_t>>(static_cast<size_t>(w) * h);
  if (w == 0 || h == 0) return;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC dc = GetDC(nullptr);
  GdiFlush();
  int rows = GetDIBits(dc, Bitmap->Handle(), 0, h, pixels->data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != h && Bitmap->PixelFormat() == pf32bit)
    for (int y = 0; y < h; ++y)
      std::memcpy(pixels->data() + static_cast<size_t>(y) * w, Bitmap->ScanLine(y), w * 4);
  InitFromBits(w, pixels, Bitmap->PixelFormat() == pf32bit, h);
}

void TlxGPImage::ReadFromStream(TStream* Stream) {
  int64_t size = Stream->Size() - Stream->Position();
  if (size <= 0) return;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size));
  if (!block) return;
  void* p = GlobalLock(block);
  long got = Stream->Read(p, static_cast<long>(size));
  GlobalUnlock(block);
  IStream* s = nullptr;
  if (got != size || FAILED(CreateStreamOnHGlobal(block, FALSE, &s))) {
    GlobalFree(block);
    return;
  }
  FStreamBlock = block;
  FStream = s;
  lxGdip<Status(WINAPI*)(IStream*, void**)>(gpCreateBitmapFromStream)(s, &FHandle);
}

void TlxGPImage::InitFromStream(TStream* Stream) {
  if (!GdiPlusUsable() || Stream->Size() - Stream->Position() < 14) return;
  uint8_t head[14];
  int64_t start = Stream->Position();
  Stream->ReadBuffer(head, 14);
  Stream->SetPosition(start);
  if (head[0] == 'B' && head[1] == 'M') {
    TBitmap bm;
    bm.LoadFromStream(Stream);
    InitFromBitmap(&bm);
  } else {
    ReadFromStream(Stream);
  }
}

TlxGPImage* TlxGPImage::Clone() const {
  TlxGPImage* copy = lxNewImage();
  if (!FHandle) return copy;
  if (FPixels) {
    SizeF d = Dimension(FHandle);
    copy->InitFromBits(static_cast<int>(d.Width), FPixels, true, static_cast<int>(d.Height));
  } else {
    lxGdip<Status(WINAPI*)(void*, void**)>(gpCloneImage)(FHandle, &copy->FHandle);
  }
  return copy;
}

std::vector<uint8_t> TlxGPImage::SavePng() const {
  std::vector<uint8_t> out;
  if (!FHandle || !GdiPlusUsable()) return out;
  EnsurePngEncoder();
  IStream* s = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &s))) return out;
  if (lxGdip<Status(WINAPI*)(void*, IStream*, const CLSID*, const void*)>(gpSaveImageToStream)(
          FHandle, s, &PngEncoderClassId(), nullptr) == Ok) {
    STATSTG st{};
    s->Stat(&st, STATFLAG_NONAME);
    out.resize(static_cast<size_t>(st.cbSize.QuadPart));
    LARGE_INTEGER zero{};
    s->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG got = 0;
    if (!out.empty()) s->Read(out.data(), static_cast<ULONG>(out.size()), &got);
    out.resize(got);
  }
  s->Release();
  return out;
}

// ---------------------------------------------------------------------------
// Current class

TlxGPImage* lxNewImage() {
  if (gGdiPlusClass && GdiPlusUsable()) return new TlxGPImage;
  return new TlxGPNullImage;
}

bool lxImageClassIsGdiPlus() {
  return gGdiPlusClass;
}

TlxGPImage* CreateImageFromBitmap(TBitmap* Bitmap) {
  TlxGPImage* i = lxNewImage();
  i->InitFromBitmap(Bitmap);
  return i;
}

TlxGPImage* CreateImageFromBits(int Width, const TlxPixels& Pixels, bool AlphaUsed, int Height) {
  TlxGPImage* i = lxNewImage();
  i->InitFromBits(Width, Pixels, AlphaUsed, Height);
  return i;
}

TlxGPImage* CreateImageFromStream(TStream* Stream) {
  TlxGPImage* i = lxNewImage();
  i->InitFromStream(Stream);
  return i;
}

TRect lxDrawSourceRect(const TRect& Dest, const TRect& Source) {
  TRect s = Source;
  if (Dest.Width() > s.Width() && s.Width() > 1) s.Right -= 1;
  if (Dest.Height() > s.Height() && s.Height() > 1) s.Bottom -= 1;
  return s;
}

// ---------------------------------------------------------------------------
// TlxPNGImage

TlxPNGImage::~TlxPNGImage() = default;

void TlxPNGImage::SetImage(TlxGPImage* Value) {
  if (Value == FImage.get()) return;
  FImage.reset(Value);
  Changed();
}

void TlxPNGImage::Changed() {
  FAlphaKnown = false;
  TGraphic::Changed();
}

int TlxPNGImage::Width() const {
  return FImage ? FImage->Width() : 0;
}

int TlxPNGImage::Height() const {
  return FImage ? FImage->Height() : 0;
}

void TlxPNGImage::Assign(TPersistent* Source) {
  if (auto* bm = dynamic_cast<TBitmap*>(Source)) {
    GdiPlusUsable();
    SetImage(CreateImageFromBitmap(bm));
    return;
  }
  if (auto* png = dynamic_cast<TlxPNGImage*>(Source)) {
    if (png->FImage) {
      SetImage(png->FImage->Clone());
      return;
    }
  }
  TGraphic::Assign(Source);
}

void TlxPNGImage::AssignTo(TPersistent* Dest) {
  if (auto* png = dynamic_cast<TlxPNGImage*>(Dest)) {
    png->Assign(this);
    return;
  }
  if (auto* bm = dynamic_cast<TBitmap*>(Dest)) {
    std::unique_ptr<TBitmap> made(CreateBitmap());
    bm->Assign(made.get());
    return;
  }
  TGraphic::AssignTo(Dest);
}

void TlxPNGImage::TakeBitmap(TBitmap* Source) {
  GdiPlusUsable();
  SetImage(CreateImageFromBitmap(Source));
}

TBitmap* TlxPNGImage::CreateBitmap() {
  auto* bm = new TBitmap;
  bm->SetPixelFormat(pf32bit);
  if (!FImage || !FImage->Handle() || !GdiPlusUsable()) return bm;
  HBITMAP h = nullptr;
  lxGdip<Status(WINAPI*)(void*, HBITMAP*, ARGB)>(gpCreateHBITMAPFromBitmap)(FImage->Handle(), &h,
                                                                            0);
  if (h) {
    bm->SetHandle(h);
    DeleteObject(h);
    bm->SetPixelFormat(pf32bit);
  }
  return bm;
}

void TlxPNGImage::LoadFromStream(TStream* Stream) {
  if (Stream->Size() == 0) {
    SetImage(nullptr);
    return;
  }
  SetImage(CreateImageFromStream(Stream));
}

void TlxPNGImage::SaveToStream(TStream* Stream) {
  if (!FImage) return;
  std::vector<uint8_t> data = FImage->SavePng();
  if (!data.empty()) Stream->WriteBuffer(data.data(), static_cast<long>(data.size()));
}

void TlxPNGImage::LoadFromBytes(const std::vector<std::uint8_t>& Data) {
  TMemoryStream s;
  if (!Data.empty()) s.WriteBuffer(Data.data(), static_cast<long>(Data.size()));
  s.SetPosition(0);
  LoadFromStream(&s);
}

std::vector<std::uint8_t> TlxPNGImage::SaveToBytes() {
  return FImage ? FImage->SavePng() : std::vector<std::uint8_t>();
}

void TlxPNGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  DrawToDC(ACanvas->Handle(), Rect);
}

void TlxPNGImage::DrawToDC(HDC DC, const TRect& Dest) {
  StretchToDC(DC, Dest, TRect(0, 0, Width(), Height()));
}

void TlxPNGImage::StretchToDC(HDC DC, const TRect& Dest, const TRect& Source) {
  if (!FImage || !FImage->Handle() || !GdiPlusUsable()) return;
  void* g = nullptr;
  if (lxGdip<Status(WINAPI*)(HDC, void**)>(gpCreateFromHDC)(DC, &g) != Ok || !g) return;
  DrawOnGraphics(g, Dest, Source);
  lxGdip<Status(WINAPI*)(void*)>(gpDeleteGraphics)(g);
}

void TlxPNGImage::DrawOnGraphics(void* Graphics, const TRect& Dest, const TRect& Source) {
  if (!FImage || !FImage->Handle()) return;
  if (Source.Width() < 1 || Source.Height() < 1 || Dest.Width() < 1 || Dest.Height() < 1) return;
  TRect s = lxDrawSourceRect(Dest, Source);
  lxGdip<Status(WINAPI*)(void*, void*, REAL, REAL, REAL, REAL, REAL, REAL, REAL, REAL, Unit,
                         const void*, void*, void*)>(gpDrawImageRectRect)(
      Graphics, FImage->Handle(), static_cast<REAL>(Dest.Left), static_cast<REAL>(Dest.Top),
      static_cast<REAL>(Dest.Width()), static_cast<REAL>(Dest.Height()), static_cast<REAL>(s.Left),
      static_cast<REAL>(s.Top), static_cast<REAL>(s.Width()), static_cast<REAL>(s.Height()),
      UnitPixel, nullptr, nullptr, nullptr);
}

bool TlxPNGImage::IsSameImage(TlxPNGImage* Other) {
  if (!Other || Width() != Other->Width() || Height() != Other->Height()) return false;
  if (Empty() && Other->Empty()) return true;
  std::unique_ptr<TBitmap> a(CreateBitmap()), b(Other->CreateBitmap());
  if (a->Width() != b->Width() || a->Height() != b->Height()) return false;
  GdiFlush();
  for (int y = 0; y < a->Height(); ++y)
    if (std::memcmp(a->ScanLine(y), b->ScanLine(y), static_cast<size_t>(a->Width()) * 4) != 0)
      return false;
  return true;
}

// ---------------------------------------------------------------------------
// Unit

namespace {

void ClassesStart() {
  gGdiPlusClass = false;
  if (!GdiPlusUsable()) return;
  EnsurePngEncoder();
  gGdiPlusClass = true;
  RegisterClass(kClassName, [] { return static_cast<TPersistent*>(new TlxPNGImage); });
  TPicture::RegisterFileFormat(L"PNG", L"PNG picture", kClassName,
                               [] { return static_cast<TGraphic*>(new TlxPNGImage); });
}

void ClassesStop() {
  TPicture::UnregisterGraphicClass(kClassName);
  UnRegisterClass(kClassName);
  gGdiPlusClass = false;
}

} // namespace

void lxGDIPlusClassesInitialize() {
  if (gUseCount++ > 0) return;
  UnitsLoader()->RegisterUnitRoutines(ClassesStart, ClassesStop);
}

void lxGDIPlusClassesFinalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  if (UnitsLoaderExists()) UnitsLoader()->WithdrawShutDown(ClassesStop);
}
