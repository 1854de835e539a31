// A PNG picture through the clipboard: copied as a bitmap drawn from it and
// pasted back with its pixels, without transparency.
#include <gtest/gtest.h>

#include "controls/PngPicture.h"
#include "framework/Clipbrd.h"

TEST(PngClipboard, OpaquePictureKeepsItsPixels) {
  TPngPicture src;
  src.CreateBlank(2, 8, 9, 6); // RGB
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 9; ++x)
      src.SetPixelColor(x, y, RGB(x * 28, y * 50, 255 - x * y * 4));
  Clipboard()->Assign(&src);
  TPngPicture back;
  Clipboard()->AssignTo(&back);
  ASSERT_EQ(back.Width(), 9);
  ASSERT_EQ(back.Height(), 6);
  EXPECT_EQ(back.TransparencyKind(), ptmNone);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 9; ++x)
      EXPECT_EQ(back.PixelColor(x, y), src.PixelColor(x, y)) << x << "," << y;
}

// Alpha does not travel: what comes back is the picture drawn on white.
TEST(PngClipboard, AlphaIsDrawnOntoWhite) {
  TPngPicture src;
  src.CreateBlank(6, 8, 3, 1); // RGBA
  for (int x = 0; x < 3; ++x)
    src.SetPixelColor(x, 0, RGB(0, 0, 200));
  uint8_t* alpha = src.AlphaRowAddress(0);
  ASSERT_NE(alpha, nullptr);
  alpha[0] = 255;
  alpha[1] = 0;
  alpha[2] = 128;
  Clipboard()->Assign(&src);
  TPngPicture back;
  Clipboard()->AssignTo(&back);
  ASSERT_EQ(back.Width(), 3);
  EXPECT_EQ(back.TransparencyKind(), ptmNone);
  EXPECT_EQ(back.AlphaRowAddress(0), nullptr);
  EXPECT_EQ(back.PixelColor(0, 0), RGB(0, 0, 200));
  EXPECT_EQ(back.PixelColor(1, 0), RGB(255, 255, 255));
  COLORREF half = back.PixelColor(2, 0);
  EXPECT_NEAR(GetRValue(half), 127, 3);
  EXPECT_NEAR(GetBValue(half), 227, 3);
}
