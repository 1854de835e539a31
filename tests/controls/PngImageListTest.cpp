// The PNG image list: entries, the platform list that follows them, and
// drawing of enabled and disabled images.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "controls/PngImageList.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string DataDir() {
  std::string file = __FILE__;
  std::string dir = file.substr(0, file.find_last_of("/\\") + 1) + "data/png/";
  if (!dir.empty() && dir[0] == '/') {
    for (char& c : dir)
      if (c == '/') c = '\\';
    dir = "Z:" + dir;
  }
  return dir;
}

std::unique_ptr<TPngPicture> LoadFixture(const std::string& name) {
  std::ifstream f(DataDir() + name + ".png", std::ios::binary);
  Bytes data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  auto png = std::make_unique<TPngPicture>();
  png->LoadFromBytes(data);
  return png;
}

// A 16 x 16 RGBA picture: a coloured square on a transparent border.
std::unique_ptr<TPngPicture> Square(COLORREF colour) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(16, 16);
  bmp.Canvas()->Brush()->SetColor(colour);
  bmp.Canvas()->FillRect(TRect(0, 0, 16, 16));
  auto png = std::make_unique<TPngPicture>();
  png->Assign(&bmp);
  png->AddAlphaChannel();
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      png->AlphaRowAddress(y)[x] = (x < 2 || y < 2 || x > 13 || y > 13) ? 0 : 255;
  return png;
}

std::unique_ptr<TBitmap> SolidBitmap(COLORREF colour, int size = 16) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf24bit);
  bmp->SetSize(size, size);
  bmp->Canvas()->Brush()->SetColor(colour);
  bmp->Canvas()->FillRect(TRect(0, 0, size, size));
  return bmp;
}

// Fills the list as streaming does: one rebuild at the end.
void Fill(TPngImageList& list, int n) {
  list.PngImages()->BeginUpdate();
  for (int i = 0; i < n; ++i) {
    TPngImageCollectionItem* item = list.PngImages()->Add();
    item->SetPngImage(Square(RGB(i * 7, 200 - i * 5, 40)).get());
  }
  list.PngImages()->EndUpdate();
}

int PlatformCount(TPngImageList& list) {
  return ImageList_GetImageCount(list.Handle());
}

// Draws the platform list's image onto white and reads one pixel.
COLORREF PlatformPixel(TPngImageList& list, int index, int x, int y) {
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(16, 16);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(TRect(0, 0, 16, 16));
  ImageList_Draw(list.Handle(), index, target.Canvas()->Handle(), 0, 0, ILD_TRANSPARENT);
  return target.Canvas()->Pixels(x, y);
}

TEST(PngImageList, DefaultsAndEntryNames) {
  TPngImageList list(nullptr);
  EXPECT_EQ(list.Width(), 16);
  EXPECT_EQ(list.Height(), 16);
  EXPECT_TRUE(list.EnabledImages());
  EXPECT_EQ(list.PngOptions(), PngOptionBit(pngBlendOnDisabled));
  Fill(list, 3);
  EXPECT_EQ(list.PngImages()->Items(0)->Name(), L"PngImage0");
  EXPECT_EQ(list.PngImages()->Items(2)->Name(), L"PngImage2");
  EXPECT_EQ(list.PngImages()->Items(2)->DisplayName(), L"PngImage2");
  EXPECT_EQ(list.PngImages()->Items(0)->Background(), clBtnFace);
  EXPECT_EQ(list.PngImages()->Items(3), nullptr);
  EXPECT_EQ(list.PngImages()->Items(-1), nullptr);
}

TEST(PngImageList, PlatformListFollowsTheEntries) {
  TPngImageList list(nullptr);
  Fill(list, 32);
  EXPECT_EQ(list.Count(), 32);
  EXPECT_EQ(PlatformCount(list), 32);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list.Handle(), &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
  // Entry 5 drawn from the platform list shows its colour inside the border.
  EXPECT_EQ(PlatformPixel(list, 5, 8, 8), RGB(35, 175, 40));
  EXPECT_EQ(PlatformPixel(list, 5, 0, 0), RGB(255, 255, 255));
}

TEST(PngImageList, AddReturnsTheIndexAndRebuilds) {
  TPngImageList list(nullptr);
  Fill(list, 2);
  auto bmp = SolidBitmap(RGB(10, 20, 30));
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(list.Add(bmp.get(), nullptr), 2);
  EXPECT_GE(changes, 1);
  EXPECT_EQ(PlatformCount(list), 3);
  EXPECT_EQ(PlatformPixel(list, 2, 0, 0), RGB(10, 20, 30));
  EXPECT_EQ(list.Add(nullptr, nullptr), -1);
  EXPECT_EQ(list.AddMasked(nullptr, clRed), -1);
  EXPECT_EQ(list.AddIcon(nullptr), -1);
  EXPECT_EQ(list.AddMasked(bmp.get(), RGB(10, 20, 30)), 3);
  EXPECT_EQ(PlatformPixel(list, 3, 4, 4), RGB(255, 255, 255));
}

TEST(PngImageList, DeleteOutsideDoesNothing) {
  TPngImageList list(nullptr);
  Fill(list, 32);
  list.Delete(32);
  list.Delete(-1);
  EXPECT_EQ(list.Count(), 32);
  EXPECT_EQ(PlatformCount(list), 32);
  TCustomImageList* base = &list;
  base->Delete(0);
  EXPECT_EQ(list.Count(), 31);
  EXPECT_EQ(PlatformCount(list), 31);
  EXPECT_EQ(list.PngImages()->Items(0)->Name(), L"PngImage1");
}

TEST(PngImageList, NewImageSizeEmptiesTheList) {
  TPngImageList list(nullptr);
  Fill(list, 4);
  list.SetWidth(24);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(PlatformCount(list), 0);
  Fill(list, 2);
  TCustomImageList* base = &list;
  base->SetHeight(24);
  EXPECT_EQ(list.Count(), 0);
}

TEST(PngImageList, ClearEmptiesBoth) {
  TPngImageList list(nullptr);
  Fill(list, 4);
  TCustomImageList* base = &list;
  base->Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(PlatformCount(list), 0);
}

TEST(PngImageList, DrawsDisabledEntriesFadedAndGray) {
  TPngImageList list(nullptr);
  list.SetPngOptions(PngOptionBit(pngBlendOnDisabled) | PngOptionBit(pngGrayscaleOnDisabled));
  Fill(list, 8);
  Bytes before = list.PngImages()->Items(5)->PngImage()->SaveToBytes();
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(16, 16);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(TRect(0, 0, 16, 16));
  TCustomImageList* base = &list;
  base->Draw(target.Canvas(), 0, 0, 5, false);
  COLORREF c = target.Canvas()->Pixels(8, 8);
  EXPECT_EQ(GetRValue(c), GetGValue(c));
  EXPECT_EQ(GetGValue(c), GetBValue(c));
  // Gray of (35, 175, 40) is 118; at alpha 128 over white: 186.
  EXPECT_NEAR(GetRValue(c), (118 * 128 + 127 * 255 + 255) >> 8, 1);
  EXPECT_EQ(target.Canvas()->Pixels(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(list.PngImages()->Items(5)->PngImage()->SaveToBytes(), before);
  // Enabled: the entry as it is.
  base->Draw(target.Canvas(), 0, 0, 5, true);
  EXPECT_EQ(target.Canvas()->Pixels(8, 8), RGB(35, 175, 40));
  // No entry: nothing drawn.
  target.Canvas()->FillRect(TRect(0, 0, 16, 16));
  base->Draw(target.Canvas(), 0, 0, 40, true);
  EXPECT_EQ(target.Canvas()->Pixels(8, 8), RGB(255, 255, 255));
}

TEST(PngImageList, DisabledImagesInThePlatformList) {
  TPngImageList list(nullptr);
  list.SetPngOptions(PngOptionBit(pngBlendOnDisabled) | PngOptionBit(pngGrayscaleOnDisabled));
  Fill(list, 6);
  list.SetEnabledImages(false);
  EXPECT_EQ(PlatformCount(list), 6);
  COLORREF gray = PlatformPixel(list, 5, 8, 8);
  EXPECT_EQ(GetRValue(gray), GetGValue(gray));
  EXPECT_EQ(GetGValue(gray), GetBValue(gray));
  list.SetEnabledImages(true);
  EXPECT_EQ(PlatformPixel(list, 5, 8, 8), RGB(35, 175, 40));
}

TEST(PngImageList, InsertMoveAndReplace) {
  TPngImageList list(nullptr);
  Fill(list, 3);
  auto red = SolidBitmap(RGB(250, 0, 0));
  list.Insert(1, red.get(), nullptr);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(PlatformPixel(list, 1, 0, 0), RGB(250, 0, 0));
  EXPECT_EQ(PlatformPixel(list, 2, 8, 8), RGB(7, 195, 40));
  list.Move(1, 3);
  EXPECT_EQ(PlatformPixel(list, 3, 0, 0), RGB(250, 0, 0));
  EXPECT_EQ(PlatformPixel(list, 1, 8, 8), RGB(7, 195, 40));
  auto blue = SolidBitmap(RGB(0, 0, 250));
  list.Replace(0, blue.get(), nullptr);
  EXPECT_EQ(PlatformPixel(list, 0, 0, 0), RGB(0, 0, 250));
  // Indexes that name no entry change nothing.
  list.Replace(9, blue.get(), nullptr);
  list.ReplaceMasked(-1, blue.get(), clBlue);
  list.ReplaceIcon(4, nullptr);
  list.Move(7, 0);
  list.Move(0, 9);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(PlatformCount(list), 4);
  EXPECT_EQ(PlatformPixel(list, 0, 0, 0), RGB(0, 0, 250));
}

TEST(PngImageList, MaskedBitmapsGiveAlpha) {
  TPngImageList list(nullptr);
  auto bmp = SolidBitmap(RGB(0, 128, 0));
  TBitmap mask;
  mask.SetPixelFormat(pf24bit);
  mask.SetSize(16, 16);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(TRect(0, 0, 16, 16));
  mask.Canvas()->Brush()->SetColor(clWhite);
  mask.Canvas()->FillRect(TRect(4, 4, 12, 12));
  EXPECT_EQ(list.Add(bmp.get(), &mask), 0);
  TPngPicture* png = list.PngImages()->Items(0)->PngImage();
  EXPECT_EQ(png->AlphaRowAddress(8)[8], 255);
  EXPECT_EQ(png->AlphaRowAddress(0)[0], 0);
  EXPECT_EQ(PlatformPixel(list, 0, 8, 8), RGB(0, 128, 0));
  EXPECT_EQ(PlatformPixel(list, 0, 1, 1), RGB(255, 255, 255));
}

TEST(PngImageList, CopiesFromOtherLists) {
  TPngImageList source(nullptr);
  Fill(source, 3);
  TPngImageList copy(nullptr);
  copy.AddImages(&source);
  EXPECT_EQ(copy.Count(), 3);
  EXPECT_EQ(PlatformPixel(copy, 2, 8, 8), RGB(14, 190, 40));
  EXPECT_EQ(copy.AddImage(&source, 0), 3);
  // A plain image list's image comes with its mask.
  TImageList plain(nullptr);
  auto bmp = SolidBitmap(RGB(90, 80, 70));
  plain.Add(bmp.get(), nullptr);
  EXPECT_EQ(copy.AddImage(&plain, 0), 4);
  EXPECT_EQ(copy.PngImages()->Items(4)->PngImage()->PixelColor(3, 3), RGB(90, 80, 70));
  TPngImageList assigned(nullptr);
  source.SetEnabledImages(false);
  assigned.Assign(&source);
  EXPECT_EQ(assigned.Count(), 3);
  EXPECT_FALSE(assigned.EnabledImages());
}

TEST(PngImageList, AlphaIconsCarryTheAlpha) {
  auto png = LoadFixture("rgba8_n_13x11");
  HICON icon = PngToAlphaIcon(png.get());
  ASSERT_TRUE(icon);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = 13;
  bi.bmiHeader.biHeight = -11;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> px(13 * 11);
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_TRUE(GetDIBits(dc, info.hbmColor, 0, 11, px.data(), &bi, DIB_RGB_COLORS));
  DeleteDC(dc);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 13; ++x) {
      uint32_t p = px[size_t(y) * 13 + x];
      EXPECT_EQ(p >> 24, png->AlphaRowAddress(y)[x]) << x << "," << y;
      COLORREF c = png->PixelColor(x, y);
      EXPECT_EQ((p >> 16) & 0xFF, GetRValue(c));
    }
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
}

TEST(PngImageList, MaskedIconsComposeOverTheBackground) {
  auto png = Square(RGB(10, 200, 30));
  HICON icon = PngToMaskedIcon(png.get(), RGB(0, 0, 255));
  ASSERT_TRUE(icon);
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(16, 16);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(TRect(0, 0, 16, 16));
  DrawIconEx(target.Canvas()->Handle(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(target.Canvas()->Pixels(8, 8), RGB(10, 200, 30));
  EXPECT_EQ(target.Canvas()->Pixels(0, 0), RGB(255, 255, 255));
  DestroyIcon(icon);
}

} // namespace
