#include "framework/ExtCtrls.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/framework/Snapshot.h"
#include "tests/support/Gui.h"

namespace {

// A bitmap of one colour with a square of another in the middle.
std::unique_ptr<TBitmap> MakePicture(int w, int h, TColor outer, TColor inner) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(w, h);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(outer);
  c->FillRect(TRect(0, 0, w, h));
  c->Brush()->SetColor(inner);
  c->FillRect(TRect(w / 4, h / 4, w - w / 4, h - h / 4));
  return b;
}

// Paints a control into a fresh white bitmap of its size.
std::unique_ptr<TBitmap> PaintOf(TControl* control) {
  auto target = std::make_unique<TBitmap>();
  target->SetSize(control->Width(), control->Height());
  target->Canvas()->Brush()->SetColor(clWhite);
  target->Canvas()->FillRect(TRect(0, 0, control->Width(), control->Height()));
  HDC dc = target->Canvas()->Handle();
  control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  return target;
}

COLORREF Rgb(TColor c) {
  return ColorToRGB(c);
}

class ExtCtrlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetCaption(L"Panels and images");
    form->SetBounds(120, 120, 460, 330);
    // Finished: components made from now on are not loading.
    form->AfterConstruction();
  }
  void TearDown() override { delete form; }
  template <class T> T* Make(TWinControl* parent, int l, int t, int w, int h) {
    T* c = new T(form);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
  }
  TForm* form = nullptr;
};

TEST_F(ExtCtrlsTest, ImageSizesItselfToALoadedPicture) {
  std::wstring dir = testsupport::MakeTempDir(L"extctrls-image");
  std::wstring file = dir + L"\\picture.bmp";
  MakePicture(40, 30, clRed, clBlue)->SaveToFile(file);

  auto* image = Make<TImage>(form, 10, 10, 100, 100);
  image->SetAutoSize(true);
  image->Picture()->LoadFromFile(file);
  EXPECT_EQ(image->Width(), 40);
  EXPECT_EQ(image->Height(), 30);
  EXPECT_EQ(image->Left(), 10);
  // An opaque picture covering the control is drawn without the parent's background.
  EXPECT_TRUE(image->ControlStyle() & csOpaque);

  // Without AutoSize the control keeps its size.
  image->SetAutoSize(false);
  image->SetBounds(10, 10, 100, 80);
  EXPECT_FALSE(image->ControlStyle() & csOpaque);
  auto big = MakePicture(60, 60, clGreen, clYellow);
  image->Picture()->Assign(big.get());
  EXPECT_EQ(image->Width(), 100);
  EXPECT_EQ(image->Picture()->Width(), 60);
}

TEST(ExtCtrls, ImageSizesItselfWhileItsFormIsBuilt) {
  // A form class's constructor: its components are loading until it is finished.
  auto* form = new TForm(nullptr);
  auto* image = new TImage(form);
  image->SetParent(form);
  image->SetAutoSize(true);
  EXPECT_TRUE(image->ComponentState() & csLoading);
  image->Picture()->Assign(MakePicture(24, 16, clRed, clBlue).get());
  EXPECT_EQ(image->Width(), 24);
  EXPECT_EQ(image->Height(), 16);
  form->AfterConstruction();
  EXPECT_EQ(image->Width(), 24);
  delete form;
}

TEST_F(ExtCtrlsTest, ImageDrawsAsItIsCentredStretchedOrScaled) {
  auto* image = Make<TImage>(form, 0, 0, 100, 80);
  auto pic = MakePicture(20, 20, clRed, clBlue);
  image->Picture()->Assign(pic.get());

  // As it is: top-left corner.
  EXPECT_EQ(image->DestRect(), TRect(0, 0, 20, 20));
  auto shot = PaintOf(image);
  EXPECT_EQ(shot->Canvas()->Pixels(2, 2), Rgb(clRed));
  EXPECT_EQ(shot->Canvas()->Pixels(50, 40), Rgb(clWhite));

  // Centred.
  image->SetCenter(true);
  EXPECT_EQ(image->DestRect(), TRect(40, 30, 60, 50));
  shot = PaintOf(image);
  EXPECT_EQ(shot->Canvas()->Pixels(2, 2), Rgb(clWhite));
  EXPECT_EQ(shot->Canvas()->Pixels(42, 32), Rgb(clRed));
  EXPECT_EQ(shot->Canvas()->Pixels(50, 40), Rgb(clBlue));

  // Stretched over the whole control.
  image->SetStretch(true);
  EXPECT_EQ(image->DestRect(), TRect(0, 0, 100, 80));
  shot = PaintOf(image);
  EXPECT_EQ(shot->Canvas()->Pixels(2, 2), Rgb(clRed));
  EXPECT_EQ(shot->Canvas()->Pixels(97, 77), Rgb(clRed));
  EXPECT_EQ(shot->Canvas()->Pixels(50, 40), Rgb(clBlue));
  EXPECT_TRUE(image->ControlStyle() & csOpaque);

  // Proportional: the square picture fills the height, centred.
  image->SetProportional(true);
  EXPECT_EQ(image->DestRect(), TRect(10, 0, 90, 80));
  shot = PaintOf(image);
  EXPECT_EQ(shot->Canvas()->Pixels(5, 40), Rgb(clWhite));
  EXPECT_EQ(shot->Canvas()->Pixels(12, 40), Rgb(clRed));

  // Transparent: the colour of the bottom-left pixel is left out.
  image->SetProportional(false);
  image->SetTransparent(true);
  EXPECT_TRUE(image->Picture()->Graphic()->Transparent());
  EXPECT_FALSE(image->ControlStyle() & csOpaque);
  shot = PaintOf(image);
  EXPECT_EQ(shot->Canvas()->Pixels(2, 2), Rgb(clWhite));
  EXPECT_EQ(shot->Canvas()->Pixels(50, 40), Rgb(clBlue));
  // A new picture takes the setting too.
  image->Picture()->Assign(MakePicture(10, 10, clLime, clRed).get());
  EXPECT_TRUE(image->Picture()->Graphic()->Transparent());
}

TEST_F(ExtCtrlsTest, PanelBevelsShrinkItsClientAreaAndPaint) {
  auto* panel = Make<TPanel>(form, 10, 10, 200, 60);
  panel->SetCaption(L"Panel");
  auto* inner = Make<TPanel>(panel, 0, 0, 10, 10);
  inner->SetBevelOuter(bvNone);
  inner->SetAlign(alClient);
  EXPECT_EQ(inner->BoundsRect(), TRect(1, 1, 199, 59));
  panel->SetBevelInner(bvLowered);
  panel->SetBorderWidth(2);
  EXPECT_EQ(inner->BoundsRect(), TRect(4, 4, 196, 56));
  panel->SetBevelWidth(2);
  EXPECT_EQ(inner->BoundsRect(), TRect(6, 6, 194, 54));
  panel->SetBorderStyle(bsSingle);
  EXPECT_EQ(inner->BoundsRect(), TRect(7, 7, 193, 53));
  delete inner;

  panel->SetBorderStyle(bsNone);
  panel->SetBevelWidth(1);
  panel->SetBorderWidth(0);
  panel->SetBevelInner(bvNone);
  panel->SetColor(clYellow);
  form->Show();
  auto shot = PaintOf(panel);
  EXPECT_EQ(shot->Canvas()->Pixels(0, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(shot->Canvas()->Pixels(199, 59), Rgb(clBtnShadow));
  EXPECT_EQ(shot->Canvas()->Pixels(5, 5), Rgb(clYellow));
  // The caption is drawn in the middle.
  bool text = false;
  for (int x = 80; x < 120; ++x)
    for (int y = 20; y < 40; ++y)
      if (shot->Canvas()->Pixels(x, y) != Rgb(clYellow)) text = true;
  EXPECT_TRUE(text);

  panel->SetBevelOuter(bvLowered);
  shot = PaintOf(panel);
  EXPECT_EQ(shot->Canvas()->Pixels(0, 0), Rgb(clBtnShadow));
  EXPECT_EQ(shot->Canvas()->Pixels(199, 59), Rgb(clBtnHighlight));
}

TEST_F(ExtCtrlsTest, BevelShapesAndStyles) {
  auto* bevel = Make<TBevel>(form, 10, 10, 40, 30);
  EXPECT_EQ(bevel->Shape(), bsBox);
  EXPECT_EQ(bevel->Style(), bsLowered);
  auto shot = PaintOf(bevel);
  EXPECT_EQ(shot->Canvas()->Pixels(0, 0), Rgb(clBtnShadow));
  EXPECT_EQ(shot->Canvas()->Pixels(39, 29), Rgb(clBtnHighlight));
  EXPECT_EQ(shot->Canvas()->Pixels(20, 15), Rgb(clWhite));

  bevel->SetStyle(bsRaised);
  shot = PaintOf(bevel);
  EXPECT_EQ(shot->Canvas()->Pixels(0, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(shot->Canvas()->Pixels(39, 29), Rgb(clBtnShadow));

  bevel->SetStyle(bsLowered);
  bevel->SetShape(bsTopLine);
  shot = PaintOf(bevel);
  EXPECT_EQ(shot->Canvas()->Pixels(20, 0), Rgb(clBtnShadow));
  EXPECT_EQ(shot->Canvas()->Pixels(20, 1), Rgb(clBtnHighlight));
  EXPECT_EQ(shot->Canvas()->Pixels(20, 29), Rgb(clWhite));

  bevel->SetShape(bsRightLine);
  shot = PaintOf(bevel);
  EXPECT_EQ(shot->Canvas()->Pixels(38, 15), Rgb(clBtnShadow));
  EXPECT_EQ(shot->Canvas()->Pixels(39, 15), Rgb(clBtnHighlight));
  EXPECT_EQ(shot->Canvas()->Pixels(0, 15), Rgb(clWhite));

  bevel->SetShape(bsSpacer);
  shot = PaintOf(bevel);
  EXPECT_EQ(shot->Canvas()->Pixels(0, 0), Rgb(clWhite));
}

TEST_F(ExtCtrlsTest, RadioGroupMakesButtonsFromItems) {
  auto* group = Make<TRadioGroup>(form, 10, 10, 300, 120);
  group->SetCaption(L"Format");
  int clicks = 0;
  group->OnClick = [&](TObject*) { ++clicks; };
  group->Items()->Add(L"MP3");
  group->Items()->Add(L"OGG");
  group->Items()->Add(L"WAV");
  ASSERT_EQ(group->ButtonCount(), 3);
  EXPECT_EQ(group->Buttons(1)->Caption(), L"OGG");
  EXPECT_EQ(group->ItemIndex(), -1);

  // Two columns: the third button starts the second column.
  group->SetColumns(2);
  EXPECT_EQ(group->Buttons(0)->Left(), group->Buttons(1)->Left());
  EXPECT_GT(group->Buttons(1)->Top(), group->Buttons(0)->Top());
  EXPECT_GT(group->Buttons(2)->Left(), group->Buttons(0)->Left());
  EXPECT_EQ(group->Buttons(2)->Top(), group->Buttons(0)->Top());

  // In code: a real change checks the button and fires OnClick once.
  group->SetItemIndex(1);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(group->Buttons(1)->Checked());
  group->SetItemIndex(1);
  EXPECT_EQ(clicks, 1);
  group->SetItemIndex(7); // out of range: nothing checked
  EXPECT_EQ(group->ItemIndex(), -1);
  EXPECT_FALSE(group->Buttons(1)->Checked());
  EXPECT_EQ(clicks, 2);

  // By the user.
  form->Show();
  testsupport::PumpFor(100);
  testsupport::ClickCenter(group->Buttons(2)->Handle());
  testsupport::PumpFor(50);
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(SendMessageW(group->Buttons(2)->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(group->Buttons(2)->TabStop());
  EXPECT_FALSE(group->Buttons(0)->TabStop());
  testsupport::ClickCenter(group->Buttons(0)->Handle());
  testsupport::PumpFor(50);
  EXPECT_EQ(group->ItemIndex(), 0);
  EXPECT_FALSE(group->Buttons(2)->Checked());
  EXPECT_EQ(clicks, 4);

  // Arrow keys move the check round the group.
  group->Buttons(0)->SetFocus();
  testsupport::KeyPress(group->Buttons(0)->Handle(), VK_DOWN);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_TRUE(group->Buttons(1)->Focused());
  EXPECT_EQ(clicks, 5);
  testsupport::KeyPress(group->Buttons(1)->Handle(), VK_RIGHT);
  testsupport::KeyPress(group->Buttons(2)->Handle(), VK_RIGHT);
  EXPECT_EQ(group->ItemIndex(), 0);
  testsupport::KeyPress(group->Buttons(0)->Handle(), VK_UP);
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_TRUE(group->Buttons(2)->Checked());
  group->SetItemIndex(0);

  // Disabling the group disables its buttons.
  group->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(group->Buttons(1)->Handle()));
  group->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(group->Buttons(1)->Handle()));

  // Fewer items, fewer buttons; the index stays in range.
  group->SetItemIndex(2);
  group->Items()->Delete(2);
  EXPECT_EQ(group->ButtonCount(), 2);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_TRUE(group->Buttons(1)->Checked());
  group->Items()->SetCommaText(L"Mono,Stereo,\"Joint stereo\",Dual");
  EXPECT_EQ(group->ButtonCount(), 4);
  EXPECT_EQ(group->Buttons(2)->Caption(), L"Joint stereo");
}

TEST_F(ExtCtrlsTest, FormWithEachControlLooksRight) {
  auto* panel = Make<TPanel>(form, 8, 8, 200, 40);
  panel->SetCaption(L"Raised panel");
  auto* lowered = Make<TPanel>(form, 216, 8, 220, 40);
  lowered->SetCaption(L"Lowered, left");
  lowered->SetBevelOuter(bvLowered);
  lowered->SetAlignment(taLeftJustify);
  lowered->SetColor(clWindow);
  auto* image = Make<TImage>(form, 8, 56, 64, 64);
  image->Picture()->Assign(MakePicture(32, 32, clNavy, clYellow).get());
  image->SetStretch(true);
  auto* icon = Make<TImage>(form, 80, 56, 32, 32);
  icon->Picture()->Icon()->SetHandle(CopyIcon(LoadIconW(nullptr, IDI_INFORMATION)));
  auto* box = Make<TBevel>(form, 120, 56, 100, 64);
  box->SetShape(bsFrame);
  auto* line = Make<TBevel>(form, 8, 128, 428, 2);
  line->SetShape(bsTopLine);
  auto* group = Make<TRadioGroup>(form, 228, 56, 208, 80);
  group->SetCaption(L"Quality");
  group->Items()->SetCommaText(L"Low,Medium,High,Best");
  group->SetColumns(2);
  group->SetItemIndex(2);
  form->Show();
  testsupport::PumpFor(200);
  EXPECT_EQ(icon->Picture()->Width(), 32);
  EXPECT_TRUE(snapshot::SaveWindowPng(form->Handle(), L"framework_extctrls.png"));
}

} // namespace
