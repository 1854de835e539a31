// The clipboard object: text, bitmaps with their pixels, and the refusals
// when the clipboard holds no picture or a graphic has no clipboard format.
#include <gtest/gtest.h>

#include "framework/Clipbrd.h"
#include "framework/Graphics.h"

namespace {

void Paint(TBitmap& b, int w, int h) {
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Canvas()->SetPixels(x, y, RGB(x * 30, y * 40, (x * y * 7) & 255));
}

} // namespace

TEST(ClipboardObject, TextRoundTrips) {
  Clipboard()->SetAsText(L"Tone 440 Hz \u00e9");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
  EXPECT_EQ(Clipboard()->AsText(), L"Tone 440 Hz \u00e9");
  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_UNICODETEXT));
  EXPECT_EQ(Clipboard()->AsText(), L"");
}

TEST(ClipboardObject, BitmapRoundTripsWithItsPixels) {
  TBitmap src;
  Paint(src, 7, 5);
  Clipboard()->Assign(&src);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_DIB));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP)); // made by the system from the DIB
  TBitmap back;
  Clipboard()->AssignTo(&back);
  ASSERT_EQ(back.Width(), 7);
  ASSERT_EQ(back.Height(), 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(back.Canvas()->Pixels(x, y), src.Canvas()->Pixels(x, y)) << x << "," << y;
  // Inside one opening several calls share it.
  Clipboard()->Open();
  EXPECT_NE(Clipboard()->GetAsHandle(CF_DIB), nullptr);
  TBitmap again;
  Clipboard()->AssignTo(&again);
  Clipboard()->Close();
  EXPECT_EQ(again.Width(), 7);
}

TEST(ClipboardObject, RefusesWhatIsNoPicture) {
  Clipboard()->SetAsText(L"no picture");
  TBitmap b;
  EXPECT_THROW(Clipboard()->AssignTo(&b), EClipboardException);
  TBitmap empty;
  EXPECT_THROW(Clipboard()->Assign(&empty), EInvalidGraphic);
  EXPECT_EQ(Clipboard()->AsText(), L"no picture") << "a refused copy leaves the clipboard";
  Clipboard()->Open();
  HANDLE text = Clipboard()->GetAsHandle(CF_UNICODETEXT);
  TBitmap other;
  EXPECT_THROW(other.LoadFromClipboardFormat(CF_UNICODETEXT, text, nullptr), EInvalidGraphic);
  Clipboard()->Close();
}
