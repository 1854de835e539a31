// Image panel and its support units: tiling, sizing to the picture, the
// fixed Huffman tables and the version flags.
#include <gtest/gtest.h>

#include <memory>

#include "controls/TlCheckImages.h"
#include "controls/TlGraphics.h"
#include "controls/TlHuffman.h"
#include "controls/TlImagePanel.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "tests/support/Gui.h"

namespace {

TEST(TlSupport, TilesCoverTheRectangle) {
  auto tiles = TilePositions(TRect(0, 0, 300, 200), 109, 109);
  ASSERT_EQ(tiles.size(), 12u); // four columns by three rows
  EXPECT_EQ(tiles.front(), TPoint(0, 0));
  EXPECT_EQ(tiles[3], TPoint(327, 0));
  EXPECT_EQ(tiles.back(), TPoint(327, 218));
  EXPECT_TRUE(TilePositions(TRect(0, 0, 300, 200), 0, 109).empty());
}

TEST(TlSupport, VersionFlags) {
  struct Case {
    DWORD platform, major, minor;
    bool xp, vista;
  } cases[] = {{2, 5, 1, true, false}, {2, 5, 0, false, false}, {2, 6, 0, false, true},
               {2, 6, 1, true, false}, {1, 5, 1, false, false}, {2, 10, 0, false, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(VersionFlagXP(c.platform, c.major, c.minor), c.xp) << c.major << "." << c.minor;
    EXPECT_EQ(VersionFlagVista(c.platform, c.major, c.minor), c.vista);
  }
}

TEST(TlSupport, FixedHuffmanTables) {
  const THuffmanTree* lit = FixedLiteralTree();
  ASSERT_TRUE(lit);
  EXPECT_EQ(lit->LongestCode(), 9);
  ASSERT_EQ(lit->Table().size(), 512u);
  // Symbol 256 has the 7-bit code 0: every index whose low 7 bits are 0.
  for (size_t i = 0; i < 512; ++i)
    if ((i & 0x7F) == 0) EXPECT_EQ(lit->Table()[i], 256u + 7u * 65536u) << i;
  // Symbol 0: 8-bit code 00110000, read backwards.
  EXPECT_EQ(lit->Table()[0x0C], 0u + 8u * 65536u);
  // Symbol 257 (7-bit code 1) carries no extra bits; 265 carries one.
  EXPECT_EQ(lit->Table()[0x40] & 0xFFFF, 257u);
  // No entry is left without a symbol: the fixed code is complete.
  for (uint32_t v : lit->Table())
    EXPECT_NE(v, 0xFFFFFFFFu);
  const THuffmanTree* dist = FixedDistanceTree();
  ASSERT_TRUE(dist);
  ASSERT_EQ(dist->Table().size(), 32u);
  // Distance 4 (code 00100 reversed = 00100) has one extra bit.
  EXPECT_EQ(dist->Table()[0x04], 4u + 5u * 65536u + 1u * 16777216u);
  EXPECT_EQ(dist->Table()[0x0F] >> 24, 14u); // symbol 30: code 11110 reversed 01111
}

TEST(TlSupport, CheckMarkImageList) {
  ASSERT_TRUE(CheckMarkImages() != nullptr);
  EXPECT_EQ(CheckMarkImages()->Count(), 1);
}

class ImagePanel : public ::testing::Test {
protected:
  void SetUp() override {
    owner = std::make_unique<TComponent>(nullptr);
    form = new TForm(owner.get());
    form->SetBounds(80, 80, 400, 300);
    form->SetColor(clLime);
  }
  void TearDown() override { owner.reset(); }
  std::unique_ptr<TComponent> owner;
  TForm* form = nullptr;
};

TEST_F(ImagePanel, TilesFromTheTopLeftCorner) {
  auto* panel = new TtlImagePanel(owner.get());
  panel->SetParent(form);
  panel->SetBounds(0, 0, 300, 200);
  TBitmap tile;
  tile.SetSize(109, 109);
  tile.Canvas()->Brush()->SetColor(clRed);
  tile.Canvas()->FillRect(TRect(0, 0, 109, 109));
  tile.Canvas()->SetPixels(0, 0, clBlue);
  TPicture picture;
  picture.SetGraphic(&tile);
  panel->SetPicture(&picture);
  panel->SetDrawStyle(tlTile);
  form->Show();
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 300, 200);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(mem, bmp);
  SendMessageW(panel->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
  for (POINT p : {POINT{0, 0}, POINT{109, 0}, POINT{218, 109}, POINT{0, 109}})
    EXPECT_EQ(GetPixel(mem, p.x, p.y) & 0xFFFFFF, RGB(0, 0, 255)) << p.x << "," << p.y;
  EXPECT_EQ(GetPixel(mem, 299, 199) & 0xFFFFFF, RGB(255, 0, 0));
  // A panel with blanks for a caption draws no caption.
  panel->SetCaption(L"   ");
  SendMessageW(panel->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
  EXPECT_EQ(panel->CaptionRect(), TRect());
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  // Sizing to the picture follows the alignment.
  panel->SetAlign(alClient);
  int w = panel->Width(), h = panel->Height();
  panel->SetAutoSize(true);
  EXPECT_EQ(panel->Width(), w);
  EXPECT_EQ(panel->Height(), h);
  panel->SetAlign(alTop);
  panel->SetPicture(&picture);
  EXPECT_EQ(panel->Height(), 109);
}

} // namespace
