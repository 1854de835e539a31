#include "skin/SkUtils.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include <turbojpeg.h>

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "skin/SkinTabs.h"

namespace {

std::string Narrow(const std::wstring& s) {
  if (s.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

uint32_t Get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Get16(const uint8_t* p) {
  return uint16_t(p[0] | p[1] << 8);
}
void Put32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

[[noreturn]] void BadBitmap() {
  throw ESkinError("Bitmap image is not valid");
}

constexpr int kMaxSide = 32768;
constexpr int64_t kMaxPixels = 64LL * 1024 * 1024;

} // namespace

std::vector<uint8_t> ReadWholeFile(const std::wstring& fileName, size_t maxBytes) {
  // A device or pipe named in a skin would block the reader.
  if (!IsOrdinaryFile(fileName))
    throw ESkinError("Cannot open file \"" + Narrow(fileName) + "\": it is not a file on a disk.");
  HANDLE h = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw ESkinError("Cannot open file \"" + Narrow(fileName) + "\".");
  LARGE_INTEGER size{};
  std::vector<uint8_t> data;
  bool ok = GetFileSizeEx(h, &size) && size.QuadPart >= 0 &&
            static_cast<unsigned long long>(size.QuadPart) <= maxBytes;
  if (ok) {
    data.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (ok && done < data.size()) {
      DWORD got = 0;
      DWORD want = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 24));
      ok = ReadFile(h, data.data() + done, want, &got, nullptr) && got > 0;
      done += got;
    }
  }
  CloseHandle(h);
  if (!ok) throw ESkinError("Cannot read file \"" + Narrow(fileName) + "\".");
  return data;
}

bool FileExistsW(const std::wstring& fileName) {
  DWORD a = GetFileAttributesW(fileName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// ---------------------------------------------------------------------------
// TskPicture

TskPicture::~TskPicture() {
  Free();
}

TskPicture::TskPicture(const TskPicture& other) {
  *this = other;
}

TskPicture& TskPicture::operator=(const TskPicture& other) {
  if (this != &other) {
    SetSize(other.FWidth, other.FHeight);
    if (FBits) std::memcpy(FBits, other.FBits, static_cast<size_t>(FStride) * FHeight);
  }
  return *this;
}

TskPicture::TskPicture(TskPicture&& other) noexcept {
  *this = std::move(other);
}

TskPicture& TskPicture::operator=(TskPicture&& other) noexcept {
  if (this != &other) {
    Free();
    FWidth = other.FWidth;
    FHeight = other.FHeight;
    FStride = other.FStride;
    FHandle = other.FHandle;
    FBits = other.FBits;
    other.FWidth = other.FHeight = other.FStride = 0;
    other.FHandle = nullptr;
    other.FBits = nullptr;
  }
  return *this;
}

void TskPicture::Free() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  FBits = nullptr;
  FWidth = FHeight = FStride = 0;
}

void TskPicture::SetSize(int width, int height) {
  Free();
  if (width <= 0 || height <= 0) return;
  if (width > kMaxSide || height > kMaxSide || int64_t(width) * height > kMaxPixels)
    throw ESkinError("Bitmap image is too large");
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  FHandle = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!FHandle || !bits) {
    FHandle = nullptr;
    throw ESkinError("Out of system resources");
  }
  FBits = static_cast<uint8_t*>(bits);
  FWidth = width;
  FHeight = height;
  FStride = (width * 3 + 3) & ~3;
  GdiFlush();
  std::memset(FBits, 0, static_cast<size_t>(FStride) * height);
}

void TskPicture::Fill(COLORREF color) {
  for (int y = 0; y < FHeight; ++y) {
    uint8_t* p = ScanLine(y);
    for (int x = 0; x < FWidth; ++x, p += 3) {
      p[0] = GetBValue(color);
      p[1] = GetGValue(color);
      p[2] = GetRValue(color);
    }
  }
}

COLORREF TskPicture::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return 0;
  const uint8_t* p = ScanLine(y) + x * 3;
  return RGB(p[2], p[1], p[0]);
}

void TskPicture::SetPixel(int x, int y, COLORREF color) {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
  uint8_t* p = ScanLine(y) + x * 3;
  p[0] = GetBValue(color);
  p[1] = GetGValue(color);
  p[2] = GetRValue(color);
}

void TskPicture::LoadFromBmpBytes(const uint8_t* data, size_t size) {
  if (!data || size < 14 + 12 || data[0] != 'B' || data[1] != 'M') BadBitmap();
  uint32_t offBits = Get32(data + 10);
  uint32_t hdrSize = Get32(data + 14);
  if (hdrSize < 12 || hdrSize > size - 14) BadBitmap();
  int width, height, bits, planes;
  uint32_t compression = BI_RGB, clrUsed = 0;
  size_t entrySize = 4;
  if (hdrSize == 12) {
    width = Get16(data + 18);
    height = static_cast<int16_t>(Get16(data + 20));
    planes = Get16(data + 22);
    bits = Get16(data + 24);
    entrySize = 3;
  } else {
    if (hdrSize < 40) BadBitmap();
    width = static_cast<int32_t>(Get32(data + 18));
    height = static_cast<int32_t>(Get32(data + 22));
    planes = Get16(data + 26);
    bits = Get16(data + 28);
    compression = Get32(data + 30);
    clrUsed = Get32(data + 46);
  }
  bool topDown = height < 0;
  int absH = topDown ? -height : height;
  if (planes != 1 || width <= 0 || absH <= 0 || width > kMaxSide || absH > kMaxSide ||
      int64_t(width) * absH > kMaxPixels)
    BadBitmap();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) BadBitmap();
  bool bitfields = compression == BI_BITFIELDS;
  if (compression != BI_RGB && !(bitfields && (bits == 16 || bits == 32))) BadBitmap();
  size_t colors = 0;
  if (bits <= 8) {
    size_t maxColors = size_t(1) << bits;
    colors = clrUsed ? clrUsed : maxColors;
    if (colors > maxColors) BadBitmap();
  }
  size_t tableBytes = bitfields && hdrSize == 40 ? 12 : colors * entrySize;
  size_t tableStart = 14 + size_t(hdrSize);
  if (tableStart + tableBytes > size) BadBitmap();
  size_t stride = ((size_t(width) * bits + 31) / 32) * 4;
  size_t pixelBytes = stride * size_t(absH);
  size_t pixelStart = offBits ? offBits : tableStart + tableBytes;
  if (pixelStart < tableStart || pixelStart > size || size - pixelStart < pixelBytes) BadBitmap();
  // The pixels must fill the declared picture exactly: more data than the
  // header accounts for (a wrong width or bit count) would load as another
  // picture. Writers may pad the file to four bytes; a larger header may
  // place its colour profile after the pixels.
  size_t slack = 4;
  if (hdrSize >= 124 && size >= 14 + 124) {
    size_t profileAt = 14 + size_t(Get32(data + 14 + 112)), profileSize = Get32(data + 14 + 116);
    if (profileSize && profileAt >= pixelStart + pixelBytes && profileAt <= size)
      slack = std::max(slack, profileAt + profileSize - (pixelStart + pixelBytes) + 4);
  }
  if (size - pixelStart - pixelBytes > slack) BadBitmap();

  // A BITMAPINFOHEADER with the colour table or masks that GDI converts from.
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * 4 + 12, 0);
  auto* bih = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  bih->biSize = sizeof(BITMAPINFOHEADER);
  bih->biWidth = width;
  bih->biHeight = height;
  bih->biPlanes = 1;
  bih->biBitCount = static_cast<WORD>(bits);
  bih->biCompression = bitfields ? BI_BITFIELDS : BI_RGB;
  bih->biClrUsed = static_cast<DWORD>(colors);
  uint8_t* table = info.data() + sizeof(BITMAPINFOHEADER);
  if (bitfields) {
    // Masks follow the 40-byte header, or sit inside a larger header.
    std::memcpy(table, data + 14 + 40, 12);
  } else {
    for (size_t i = 0; i < colors; ++i) {
      const uint8_t* e = data + tableStart + i * entrySize;
      table[i * 4] = e[0];
      table[i * 4 + 1] = e[1];
      table[i * 4 + 2] = e[2];
    }
  }
  TskPicture result(width, absH);
  HDC dc = GetDC(nullptr);
  int rows = SetDIBits(dc, result.FHandle, 0, static_cast<UINT>(absH), data + pixelStart,
                       reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != absH) BadBitmap();
  GdiFlush();
  *this = std::move(result);
}

void TskPicture::LoadFromJpegBytes(const uint8_t* data, size_t size) {
  tjhandle tj = tjInitDecompress();
  if (!tj) throw ESkinError("JPEG error");
  TScopeGuard destroy([&] { tjDestroy(tj); });
  int w = 0, h = 0, sub = 0, cs = 0;
  bool ok = data && size > 0 &&
            tjDecompressHeader3(tj, const_cast<uint8_t*>(data), static_cast<unsigned long>(size),
                                &w, &h, &sub, &cs) == 0 &&
            w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide && int64_t(w) * h <= kMaxPixels;
  if (ok) {
    TskPicture result(w, h);
    if (cs == TJCS_CMYK || cs == TJCS_YCCK) {
      // The library gives CMYK as stored (inverted, as Adobe writes it);
      // each channel times K is the colour.
      std::vector<uint8_t> cmyk(size_t(w) * size_t(h) * 4);
      ok = tjDecompress2(tj, const_cast<uint8_t*>(data), static_cast<unsigned long>(size),
                         cmyk.data(), w, w * 4, h, TJPF_CMYK, 0) == 0;
      for (int y = 0; ok && y < h; ++y) {
        const uint8_t* src = cmyk.data() + size_t(y) * size_t(w) * 4;
        uint8_t* dst = result.FBits + size_t(y) * size_t(result.FStride);
        for (int x = 0; x < w; ++x, src += 4, dst += 3) {
          unsigned k = src[3];
          dst[0] = uint8_t((src[2] * k + 127) / 255);
          dst[1] = uint8_t((src[1] * k + 127) / 255);
          dst[2] = uint8_t((src[0] * k + 127) / 255);
        }
      }
    } else {
      ok = tjDecompress2(tj, const_cast<uint8_t*>(data), static_cast<unsigned long>(size),
                         result.FBits, w, result.FStride, h, TJPF_BGR, 0) == 0;
    }
    if (ok) *this = std::move(result);
  }
  if (!ok) throw ESkinError("JPEG error: the picture is not valid");
}

void TskPicture::LoadFromFile(const std::wstring& fileName) {
  std::vector<uint8_t> bytes = ReadWholeFile(fileName);
  if (IsJpegFileName(fileName))
    LoadFromJpegBytes(bytes.data(), bytes.size());
  else
    LoadFromBmpBytes(bytes.data(), bytes.size());
}

void TskPicture::LoadFromHandle(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
    Clear();
    return;
  }
  TskPicture result(bm.bmWidth, bm.bmHeight);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = bm.bmWidth;
  bi.bmiHeader.biHeight = -bm.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(bm.bmHeight), result.FBits, &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  *this = std::move(result);
}

std::vector<uint8_t> TskPicture::SaveToBmpBytes() const {
  size_t pixelBytes = static_cast<size_t>(FStride) * FHeight;
  std::vector<uint8_t> out(14 + 40 + pixelBytes, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(&out[2], static_cast<uint32_t>(out.size()));
  Put32(&out[10], 54);
  Put32(&out[14], 40);
  Put32(&out[18], static_cast<uint32_t>(FWidth));
  Put32(&out[22], static_cast<uint32_t>(FHeight));
  Put16(&out[26], 1);
  Put16(&out[28], 24);
  Put32(&out[34], static_cast<uint32_t>(pixelBytes));
  for (int y = 0; y < FHeight; ++y)
    std::memcpy(&out[54 + static_cast<size_t>(FHeight - 1 - y) * FStride], ScanLine(y),
                static_cast<size_t>(FStride));
  return out;
}

// ---------------------------------------------------------------------------
// Copies

void StretchCopy(TskPicture& dst, const RECT& d, const TskPicture& src, const RECT& s) {
  int dw = RectWidth(d), dh = RectHeight(d), sw = RectWidth(s), sh = RectHeight(s);
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || dst.Empty() || src.Empty()) return;
  int x0 = std::max<int>(d.left, 0), x1 = std::min<int>(d.right, dst.Width());
  int y0 = std::max<int>(d.top, 0), y1 = std::min<int>(d.bottom, dst.Height());
  if (x0 >= x1 || y0 >= y1) return;
  std::vector<int> xs(static_cast<size_t>(x1 - x0));
  for (int x = x0; x < x1; ++x)
    xs[static_cast<size_t>(x - x0)] = s.left + static_cast<int>((int64_t(x - d.left) * sw) / dw);
  for (int y = y0; y < y1; ++y) {
    int sy = s.top + static_cast<int>((int64_t(y - d.top) * sh) / dh);
    if (sy < 0 || sy >= src.Height()) continue;
    const uint8_t* srow = src.ScanLine(sy);
    uint8_t* drow = dst.ScanLine(y);
    for (int x = x0; x < x1; ++x) {
      int sx = xs[static_cast<size_t>(x - x0)];
      if (sx < 0 || sx >= src.Width()) continue;
      std::memcpy(drow + x * 3, srow + sx * 3, 3);
    }
  }
}

void DrawPicture(HDC dc, int x, int y, const TskPicture& picture) {
  DrawPictureRect(dc, MakeRect(x, y, x + picture.Width(), y + picture.Height()), picture,
                  MakeRect(0, 0, picture.Width(), picture.Height()));
}

void DrawPictureRect(HDC dc, const RECT& dst, const TskPicture& picture, const RECT& src) {
  if (picture.Empty()) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, picture.Handle());
  int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, dst.left, dst.top, RectWidth(dst), RectHeight(dst), mem, src.left, src.top,
             RectWidth(src), RectHeight(src), SRCCOPY);
  SetStretchBltMode(dc, oldMode);
  SelectObject(mem, old);
  DeleteDC(mem);
}

// ---------------------------------------------------------------------------
// Rectangles

bool RectsEqual(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
RECT NullRect() {
  return RECT{0, 0, 0, 0};
}
bool IsNullRect(const RECT& r) {
  return RectWidth(r) <= 0 || RectHeight(r) <= 0;
}
bool IsNullPoint(const POINT& p) {
  return p.x == 0 || p.y == 0;
}
bool RectContainsPoint(const RECT& r, const POINT& p) {
  return r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom;
}
bool RectInRect(const RECT& a, const RECT& b) {
  POINT p1{a.left, a.top}, p2{a.right, a.bottom};
  return PtInRect(&b, p1) && PtInRect(&b, p2);
}

TskSkinGeometry ScaleSkinGeometry(const TskSkinGeometry& g, const RECT& r, int w, int h) {
  int dx = w - RectWidth(r), dy = h - RectHeight(r);
  TskSkinGeometry n = g;
  n.RTPoint.x += dx;
  n.RBPoint.x += dx;
  n.LBPoint.y += dy;
  n.RBPoint.y += dy;
  n.ClientRect.right += dx;
  n.ClientRect.bottom += dy;
  return n;
}

// ---------------------------------------------------------------------------
// Composition

namespace {

RECT Offset(const RECT& r, int dx, int dy) {
  return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// Fills d from s: stretched, or tiled along x from d.left (tiles cut at d.right).
// A tile of no width cannot be tiled and is stretched.
void HorzPart(TskPicture& dst, const RECT& d, const TskPicture& src, const RECT& s, bool stretch) {
  int t = RectWidth(s);
  if (RectWidth(d) <= 0 || RectHeight(d) <= 0 || t <= 0 || RectHeight(s) <= 0) return;
  if (stretch) {
    StretchCopy(dst, d, src, s);
    return;
  }
  for (int x = d.left; x < d.right; x += t) {
    int c = std::max(0, x + t - static_cast<int>(d.right));
    StretchCopy(dst, RECT{x, d.top, x + t - c, d.bottom}, src,
                RECT{s.left, s.top, s.right - c, s.bottom});
  }
}

void VertPart(TskPicture& dst, const RECT& d, const TskPicture& src, const RECT& s, bool stretch) {
  int t = RectHeight(s);
  if (RectWidth(d) <= 0 || RectHeight(d) <= 0 || t <= 0 || RectWidth(s) <= 0) return;
  if (stretch) {
    StretchCopy(dst, d, src, s);
    return;
  }
  for (int y = d.top; y < d.bottom; y += t) {
    int c = std::max(0, y + t - static_cast<int>(d.bottom));
    StretchCopy(dst, RECT{d.left, y, d.right, y + t - c}, src,
                RECT{s.left, s.top, s.right, s.bottom - c});
  }
}

// Tiles s over d in both directions, cut at d's right and bottom.
void TilePart(TskPicture& dst, const RECT& d, const TskPicture& src, const RECT& s) {
  int tw = RectWidth(s), th = RectHeight(s);
  if (tw <= 0 || th <= 0 || RectWidth(d) <= 0 || RectHeight(d) <= 0) return;
  for (int y = d.top; y < d.bottom; y += th) {
    int cy = std::max(0, y + th - static_cast<int>(d.bottom));
    for (int x = d.left; x < d.right; x += tw) {
      int cx = std::max(0, x + tw - static_cast<int>(d.right));
      StretchCopy(dst, RECT{x, y, x + tw - cx, y + th - cy}, src,
                  RECT{s.left, s.top, s.right - cx, s.bottom - cy});
    }
  }
}

void DrawCentre(const TskSkinImageParams& p, const TskPicture& picture, TskPicture& dest,
                const RECT& ncr) {
  const RECT& cr = p.Old.ClientRect;
  RECT src = Offset(cr, p.R.left, p.R.top);
  int cw = RectWidth(cr), ch = RectHeight(cr);
  if (RectWidth(ncr) <= 0 || RectHeight(ncr) <= 0 || cw <= 0 || ch <= 0) return;
  if (!p.StretchEffect) {
    TilePart(dest, ncr, picture, src);
    return;
  }
  if (p.StretchType == stFull) {
    StretchCopy(dest, ncr, picture, src);
  } else if (p.StretchType == stVert) {
    TskPicture band(RectWidth(ncr), ch);
    StretchCopy(band, RECT{0, 0, band.Width(), ch}, picture, src);
    TilePart(dest, ncr, band, RECT{0, 0, band.Width(), ch});
  } else {
    TskPicture band(cw, RectHeight(ncr));
    StretchCopy(band, RECT{0, 0, cw, band.Height()}, picture, src);
    TilePart(dest, ncr, band, RECT{0, 0, cw, band.Height()});
  }
}

void ComposeSkinImage(const TskSkinImageParams& p, const TskPicture& picture, TskPicture& dest,
                      bool noRight) {
  dest.SetSize(p.W, p.H);
  const POINT &LT = p.Old.LTPoint, &RT = p.Old.RTPoint, &LB = p.Old.LBPoint, &RB = p.Old.RBPoint;
  const RECT& CR = p.Old.ClientRect;
  const POINT &NLT = p.New.LTPoint, &NRT = p.New.RTPoint, &NLB = p.New.LBPoint,
              &NRB = p.New.RBPoint;
  RECT NCR = p.New.ClientRect;
  const RECT& R = p.R;
  const int W = p.W, H = p.H;
  if (dest.Empty() || picture.Empty() || RB.x == LT.x || RB.y == LT.y) return;
  const int L = R.left, T = R.top;
  if (noRight) {
    // The top and bottom edges run to the right edge, with the tile step RB.X - LT.X.
    HorzPart(dest, RECT{NLT.x, 0, W, NCR.top}, picture, RECT{L + LT.x, T, L + RB.x, T + CR.top},
             p.TopStretch);
    HorzPart(dest, RECT{NLB.x, NCR.bottom, W, H}, picture,
             RECT{L + LB.x, T + CR.bottom, L + RB.x, R.bottom}, p.BottomStretch);
  } else {
    HorzPart(dest, RECT{NLT.x, 0, NRT.x, NCR.top}, picture, RECT{L + LT.x, T, L + RT.x, T + CR.top},
             p.TopStretch);
    HorzPart(dest, RECT{NLB.x, NCR.bottom, NRB.x, H}, picture,
             RECT{L + LB.x, T + CR.bottom, L + RB.x, R.bottom}, p.BottomStretch);
  }
  VertPart(dest, RECT{0, NLT.y, NCR.left, NLB.y}, picture, RECT{L, T + LT.y, L + CR.left, T + LB.y},
           p.LeftStretch);
  if (!noRight)
    VertPart(dest, RECT{NCR.right, NRT.y, W, NRB.y}, picture,
             RECT{L + CR.right, T + RT.y, R.right, T + RB.y}, p.RightStretch);

  auto corner = [&](RECT s, RECT d) { StretchCopy(dest, d, picture, s); };
  corner(RECT{L, T, L + LT.x, T + CR.top}, RECT{0, 0, NLT.x, NCR.top});
  corner(RECT{L, T + CR.top, L + CR.left, T + LT.y}, RECT{0, NCR.top, NCR.left, NLT.y});
  corner(RECT{L, T + LB.y, L + CR.left, R.bottom}, RECT{0, NLB.y, NCR.left, H});
  corner(RECT{L + CR.left, T + CR.bottom, L + LB.x, R.bottom},
         RECT{NCR.left, NCR.bottom, NLB.x, H});
  if (!noRight) {
    corner(RECT{L + RT.x, T, R.right, T + CR.top}, RECT{NRT.x, 0, W, NCR.top});
    corner(RECT{L + CR.right, T + CR.top, R.right, T + RT.y}, RECT{NCR.right, NCR.top, W, NRT.y});
    corner(RECT{L + RB.x, T + CR.bottom, R.right, R.bottom}, RECT{NRB.x, NCR.bottom, W, H});
    corner(RECT{L + CR.right, T + RB.y, R.right, T + CR.bottom},
           RECT{NCR.right, NRB.y, W, NCR.bottom});
  } else {
    NCR.right = W;
  }
  if (p.DrawCentre) DrawCentre(p, picture, dest, NCR);
}

} // namespace

void CreateSkinImage(const TskSkinImageParams& p, const TskPicture& picture, TskPicture& dest) {
  ComposeSkinImage(p, picture, dest, false);
}

void CreateSkinBorderImages(const TskSkinImageParams& p, const TskPicture& picture, TskPicture& top,
                            TskPicture& bottom, TskPicture& left, TskPicture& right) {
  const POINT &LT = p.Old.LTPoint, &RT = p.Old.RTPoint, &LB = p.Old.LBPoint, &RB = p.Old.RBPoint;
  const RECT& CR = p.Old.ClientRect;
  const POINT &NLT = p.New.LTPoint, &NRT = p.New.RTPoint, &NLB = p.New.LBPoint,
              &NRB = p.New.RBPoint;
  const RECT& NCR = p.New.ClientRect;
  const RECT& R = p.R;
  const int W = p.W, H = p.H, L = R.left, T = R.top;
  top.Clear(), bottom.Clear(), left.Clear(), right.Clear();
  if (picture.Empty()) return;
  const int th = NCR.top, bh = H - NCR.bottom;
  if (W > 0 && th > 0 && RT.x > LT.x) {
    top.SetSize(W, th);
    RECT mid{L + LT.x, T, L + RT.x, T + th};
    if (p.TopStretch)
      StretchCopy(top, RECT{NLT.x, 0, NRT.x, th}, picture, mid);
    else
      HorzPart(top, RECT{0, 0, W, th}, picture, mid, false);
    StretchCopy(top, RECT{0, 0, NLT.x, th}, picture, RECT{L, T, L + LT.x, T + th});
    StretchCopy(top, RECT{NRT.x, 0, W, th}, picture, RECT{L + RT.x, T, R.right, T + th});
  }
  if (W > 0 && bh > 0 && RB.x > LB.x) {
    bottom.SetSize(W, bh);
    const int sy = R.bottom - bh;
    RECT mid{L + LB.x, sy, L + RB.x, R.bottom};
    if (p.BottomStretch)
      StretchCopy(bottom, RECT{NLB.x, 0, NRB.x, bh}, picture, mid);
    else
      HorzPart(bottom, RECT{0, 0, W, bh}, picture, mid, false);
    StretchCopy(bottom, RECT{0, 0, NLB.x, bh}, picture, RECT{L, sy, L + LB.x, R.bottom});
    StretchCopy(bottom, RECT{NRB.x, 0, W, bh}, picture, RECT{L + RB.x, sy, R.right, R.bottom});
  }
  const int h = H - std::max(bh, 0) - std::max(th, 0);
  // One side strip: columns [c0, c1) of R, corner rows a (top) and b (bottom).
  auto side = [&](TskPicture& d, int width, int c0, int c1, int a, int b, bool stretch) {
    d.SetSize(width, h);
    RECT mid{c0, T + a, c1, T + b};
    if (stretch)
      StretchCopy(d, RECT{0, a - CR.top, width, h + b - CR.bottom}, picture, mid);
    else
      VertPart(d, RECT{0, 0, width, h}, picture, mid, false);
    StretchCopy(d, RECT{0, 0, width, a - CR.top}, picture, RECT{c0, T + CR.top, c1, T + a});
    StretchCopy(d, RECT{0, h - (CR.bottom - b), width, h}, picture,
                RECT{c0, T + b, c1, T + CR.bottom});
  };
  if (NCR.left > 0 && h > 0 && LB.y > LT.y)
    side(left, NCR.left, L, L + NCR.left, LT.y, LB.y, p.LeftStretch);
  if (W - NCR.right >= 1 && h >= 1 && RB.y > RT.y)
    side(right, W - NCR.right, L + CR.right, R.right, RT.y, RB.y, p.RightStretch);
}

void CreateSkinImage2(const TskSkinImageParams& p, const TskPicture& picture, TskPicture& dest) {
  ComposeSkinImage(p, picture, dest, false);
}

void CreateSkinImageNoRight(const TskSkinImageParams& p, const TskPicture& picture,
                            TskPicture& dest) {
  ComposeSkinImage(p, picture, dest, true);
}

void CreateStretchImage(TskPicture& dest, const TskPicture& picture, const RECT& r, const RECT& cr,
                        bool drawCentre) {
  TskSkinImageParams p;
  p.R = r;
  p.W = dest.Width();
  p.H = dest.Height();
  p.Old.ClientRect = cr;
  p.Old.LTPoint = POINT{cr.left, cr.top};
  p.Old.RTPoint = POINT{cr.right, cr.top};
  p.Old.LBPoint = POINT{cr.left, cr.bottom};
  p.Old.RBPoint = POINT{cr.right, cr.bottom};
  p.New = ScaleSkinGeometry(p.Old, r, p.W, p.H);
  p.LeftStretch = p.TopStretch = p.RightStretch = p.BottomStretch = true;
  p.DrawCentre = drawCentre;
  p.StretchEffect = true;
  p.StretchType = stFull;
  ComposeSkinImage(p, picture, dest, false);
}

void CreateHSkinImage(int leftWidth, int rightWidth, TskPicture& dest, bool stretch, int w,
                      const RECT& s, const TskPicture& picture, bool noRight) {
  int h = RectHeight(s);
  dest.SetSize(w, h);
  if (dest.Empty() || picture.Empty()) return;
  int b = noRight ? 0 : rightWidth;
  StretchCopy(dest, RECT{0, 0, leftWidth, h}, picture,
              RECT{s.left, s.top, s.left + leftWidth, s.bottom});
  if (!noRight)
    StretchCopy(dest, RECT{w - b, 0, w, h}, picture, RECT{s.right - b, s.top, s.right, s.bottom});
  RECT m{s.left + leftWidth, s.top, s.right - rightWidth, s.bottom};
  if (w - leftWidth - b < 0) return;
  HorzPart(dest, RECT{leftWidth, 0, w - b, h}, picture, m, stretch);
}

void CreateVSkinImage(int topHeight, int bottomHeight, TskPicture& dest, bool stretch, int h,
                      const RECT& s, const TskPicture& picture) {
  int w = RectWidth(s);
  dest.SetSize(w, h);
  if (dest.Empty() || picture.Empty()) return;
  StretchCopy(dest, RECT{0, 0, w, topHeight}, picture,
              RECT{s.left, s.top, s.right, s.top + topHeight});
  StretchCopy(dest, RECT{0, h - bottomHeight, w, h}, picture,
              RECT{s.left, s.bottom - bottomHeight, s.right, s.bottom});
  RECT m{s.left, s.top + topHeight, s.right, s.bottom - bottomHeight};
  if (h - topHeight - bottomHeight < 0) return;
  VertPart(dest, RECT{0, topHeight, w, h - bottomHeight}, picture, m, stretch);
}

// ---------------------------------------------------------------------------
// Regions

std::vector<uint8_t> CreateRegionFromMask(const TskPicture& mask, int offsetX, int offsetY) {
  std::vector<uint8_t> out;
  if (mask.Empty()) return out;
  std::vector<RECT> rects;
  for (int y = 0; y < mask.Height(); ++y) {
    const uint8_t* row = mask.ScanLine(y);
    int x = 0;
    while (x < mask.Width()) {
      while (x < mask.Width() && (row[x * 3] | row[x * 3 + 1] | row[x * 3 + 2]) != 0)
        ++x;
      if (x >= mask.Width()) break;
      int x0 = x;
      while (x < mask.Width() && (row[x * 3] | row[x * 3 + 1] | row[x * 3 + 2]) == 0)
        ++x;
      rects.push_back(RECT{x0 + offsetX, y + offsetY, x + offsetX, y + offsetY + 1});
    }
  }
  out.assign(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT), 0);
  auto* hdr = reinterpret_cast<RGNDATAHEADER*>(out.data());
  hdr->dwSize = sizeof(RGNDATAHEADER);
  hdr->iType = RDH_RECTANGLES;
  hdr->nCount = static_cast<DWORD>(rects.size());
  hdr->nRgnSize = 0;
  hdr->rcBound = RECT{offsetX, offsetY, offsetX + mask.Width(), offsetY + mask.Height()};
  if (!rects.empty())
    std::memcpy(out.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
  return out;
}

HRGN RegionFromData(const std::vector<uint8_t>& data) {
  if (data.size() < sizeof(RGNDATAHEADER)) return nullptr;
  const auto* hdr = reinterpret_cast<const RGNDATAHEADER*>(data.data());
  size_t count = hdr->nCount;
  if (data.size() < sizeof(RGNDATAHEADER) + count * sizeof(RECT)) return nullptr;
  const RECT* rects = reinterpret_cast<const RECT*>(data.data() + sizeof(RGNDATAHEADER));
  // Built in chunks: some systems refuse very large rectangle lists.
  constexpr size_t kChunk = 2000;
  HRGN result = CreateRectRgn(0, 0, 0, 0);
  std::vector<uint8_t> buf;
  for (size_t start = 0; start < count; start += kChunk) {
    size_t n = std::min(kChunk, count - start);
    buf.assign(sizeof(RGNDATAHEADER) + n * sizeof(RECT), 0);
    auto* h = reinterpret_cast<RGNDATAHEADER*>(buf.data());
    *h = *hdr;
    h->nCount = static_cast<DWORD>(n);
    std::memcpy(buf.data() + sizeof(RGNDATAHEADER), rects + start, n * sizeof(RECT));
    HRGN part = ExtCreateRegion(nullptr, static_cast<DWORD>(buf.size()),
                                reinterpret_cast<const RGNDATA*>(buf.data()));
    if (part) {
      CombineRgn(result, result, part, RGN_OR);
      DeleteObject(part);
    }
  }
  return result;
}

HRGN MaskBitmapToRegion(const TskPicture& mask) {
  if (mask.Empty()) return nullptr;
  return RegionFromData(CreateRegionFromMask(mask, 0, 0));
}

namespace {

// The four border strips of a mask for a new size, all edges tiled.
void MaskStrip(TskPicture& strip, int w, int h) {
  strip.SetSize(w, h);
  if (!strip.Empty()) strip.Fill(RGB(255, 255, 255));
}

} // namespace

HRGN CreateSkinRegion(const TskSkinGeometry& o, const TskSkinGeometry& n, int w, int h,
                      const TskPicture& mask) {
  (void)h;
  if (n.RTPoint.x < n.LTPoint.x || n.LBPoint.y < n.LTPoint.y) return nullptr;
  const RECT& MCR = o.ClientRect;
  const RECT& NCR = n.ClientRect;
  const int MW = mask.Width(), MH = mask.Height();
  HRGN result = IsNullRect(NCR) ? CreateRectRgn(0, 0, 0, 0)
                                : CreateRectRgn(NCR.left, NCR.top, NCR.right, NCR.bottom);
  if (mask.Empty()) return result;
  auto add = [&](const TskPicture& strip, int x, int y) {
    if (strip.Empty()) return;
    HRGN r = RegionFromData(CreateRegionFromMask(strip, x, y));
    if (r) {
      CombineRgn(result, result, r, RGN_OR);
      DeleteObject(r);
    }
  };
  int ncrH = RectHeight(NCR);
  TskPicture strip;
  // Left strip.
  if (MCR.left > 0 && ncrH > 0) {
    MaskStrip(strip, MCR.left, ncrH);
    VertPart(strip, RECT{0, 0, MCR.left, ncrH}, mask, RECT{0, o.LTPoint.y, MCR.left, o.LBPoint.y},
             false);
    StretchCopy(strip, RECT{0, 0, MCR.left, o.LTPoint.y - MCR.top}, mask,
                RECT{0, MCR.top, MCR.left, o.LTPoint.y});
    StretchCopy(strip, RECT{0, ncrH - (MCR.bottom - o.LBPoint.y), MCR.left, ncrH}, mask,
                RECT{0, o.LBPoint.y, MCR.left, MCR.bottom});
    add(strip, 0, NCR.top);
  }
  // Right strip.
  int rw = MW - MCR.right;
  if (rw > 0 && ncrH > 0) {
    MaskStrip(strip, rw, ncrH);
    VertPart(strip, RECT{0, 0, rw, ncrH}, mask, RECT{MCR.right, o.RTPoint.y, MW, o.RBPoint.y},
             false);
    StretchCopy(strip, RECT{0, 0, rw, o.RTPoint.y - MCR.top}, mask,
                RECT{MCR.right, MCR.top, MW, o.RTPoint.y});
    StretchCopy(strip, RECT{0, ncrH - (MCR.bottom - o.RBPoint.y), rw, ncrH}, mask,
                RECT{MCR.right, o.RBPoint.y, MW, MCR.bottom});
    add(strip, NCR.right, NCR.top);
  }
  // Top strip.
  if (w > 0 && MCR.top > 0) {
    MaskStrip(strip, w, MCR.top);
    HorzPart(strip, RECT{n.LTPoint.x, 0, n.RTPoint.x, MCR.top}, mask,
             RECT{o.LTPoint.x, 0, o.RTPoint.x, MCR.top}, false);
    StretchCopy(strip, RECT{0, 0, o.LTPoint.x, MCR.top}, mask, RECT{0, 0, o.LTPoint.x, MCR.top});
    StretchCopy(strip, RECT{n.RTPoint.x, 0, n.RTPoint.x + MW - o.RTPoint.x, MCR.top}, mask,
                RECT{o.RTPoint.x, 0, MW, MCR.top});
    add(strip, 0, 0);
  }
  // Bottom strip.
  int bh = MH - MCR.bottom;
  if (w > 0 && bh > 0) {
    MaskStrip(strip, w, bh);
    HorzPart(strip, RECT{n.LBPoint.x, 0, n.RBPoint.x, bh}, mask,
             RECT{o.LBPoint.x, MCR.bottom, o.RBPoint.x, MH}, false);
    StretchCopy(strip, RECT{0, 0, o.LBPoint.x, bh}, mask, RECT{0, MCR.bottom, o.LBPoint.x, MH});
    StretchCopy(strip, RECT{n.RBPoint.x, 0, n.RBPoint.x + MW - o.RBPoint.x, bh}, mask,
                RECT{o.RBPoint.x, MCR.bottom, MW, MH});
    add(strip, 0, NCR.bottom);
  }
  return result;
}

// ---------------------------------------------------------------------------
// Layout and glyphs

void CalcButtonLayout(const RECT& r, int layout, int margin, int spacing, int glyphW, int glyphH,
                      int textW, int textH, POINT& glyphPos, POINT& textPos) {
  if (glyphW == 0) spacing = 0;
  int cx = r.left + RectWidth(r) / 2, cy = r.top + RectHeight(r) / 2;
  glyphPos = POINT{cx - glyphW / 2, cy - glyphH / 2};
  textPos = POINT{cx - textW / 2, cy - textH / 2};
  if (margin >= 0) {
    switch (layout) {
    case 0:
      glyphPos.x = r.left + margin;
      textPos.x = glyphPos.x + glyphW + spacing;
      break;
    case 1:
      glyphPos.x = r.right - glyphW - margin;
      textPos.x = glyphPos.x - spacing - textW;
      break;
    case 2:
      glyphPos.y = r.top + margin;
      textPos.y = glyphPos.y + glyphH + spacing;
      break;
    default:
      glyphPos.y = r.bottom - glyphH - margin;
      textPos.y = glyphPos.y - spacing - textH;
      break;
    }
    return;
  }
  if (layout <= 1) {
    int half = (glyphW + spacing + textW) / 2;
    if (layout == 0) {
      glyphPos.x = cx - half;
      textPos.x = cx + half - textW;
    } else {
      textPos.x = cx - half;
      glyphPos.x = cx + half - glyphW;
    }
  } else {
    int half = (glyphH + spacing + textH) / 2;
    if (layout == 2) {
      glyphPos.y = cy - half;
      textPos.y = cy + half - textH;
    } else {
      textPos.y = cy - half;
      glyphPos.y = cy + half - glyphH;
    }
  }
}

namespace {

class PenScope {
public:
  PenScope(HDC dc, COLORREF color) : FDC(dc) {
    FPen = CreatePen(PS_SOLID, 1, color);
    FOld = SelectObject(dc, FPen);
  }
  ~PenScope() {
    SelectObject(FDC, FOld);
    DeleteObject(FPen);
  }

private:
  HDC FDC;
  HPEN FPen;
  HGDIOBJ FOld;
};

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

void Frame(HDC dc, int l, int t, int r, int b) {
  HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, l, t, r, b);
  SelectObject(dc, old);
}

void FillSpan(HDC dc, int x, int y, int w, int h, COLORREF color) {
  HBRUSH b = CreateSolidBrush(color);
  RECT r{x, y, x + w, y + h};
  FillRect(dc, &r, b);
  DeleteObject(b);
}

} // namespace

void DrawArrow(HDC dc, const RECT& r, COLORREF color, int direction) {
  int cx = r.left + RectWidth(r) / 2, cy = r.top + RectHeight(r) / 2;
  for (int i = 0; i < 4; ++i) {
    int len = 1 + 2 * i;
    switch (direction) {
    case 1:
      FillSpan(dc, cx - 2 + i, cy - i, 1, len, color);
      break;
    case 2:
      FillSpan(dc, cx - 1 + i, cy - 3 + i, 1, 7 - 2 * i, color);
      break;
    case 3:
      FillSpan(dc, cx - i, cy - 2 + i, len, 1, color);
      break;
    default:
      FillSpan(dc, cx - 3 + i, cy - 1 + i, 7 - 2 * i, 1, color);
      break;
    }
  }
}

void DrawSmallDownArrow(HDC dc, const RECT& r, COLORREF color) {
  int cx = r.left + RectWidth(r) / 2, cy = r.top + RectHeight(r) / 2;
  FillSpan(dc, cx - 2, cy, 5, 1, color);
  FillSpan(dc, cx - 1, cy + 1, 3, 1, color);
  FillSpan(dc, cx, cy + 2, 1, 1, color);
}

void DrawCheckMark(HDC dc, int x, int y, COLORREF color) {
  PenScope pen(dc, color);
  for (int i = 0; i <= 2; ++i) {
    MoveToEx(dc, x, y + 5 - i, nullptr);
    LineTo(dc, x + 2, y + 7 - i);
    LineTo(dc, x + 7, y + 2 - i);
  }
}

void DrawCloseGlyph(HDC dc, int x, int y, COLORREF color) {
  PenScope pen(dc, color);
  Line(dc, x + 1, y + 1, x + 9, y + 9);
  Line(dc, x + 9, y + 1, x + 1, y + 9);
  Line(dc, x + 2, y + 1, x + 10, y + 9);
  Line(dc, x + 8, y + 1, x, y + 9);
}

void DrawSysMenuGlyph(HDC dc, int x, int y, COLORREF color) {
  PenScope pen(dc, color);
  Frame(dc, x + 1, y + 3, x + 9, y + 6);
}

void DrawMinimizeGlyph(HDC dc, int x, int y, COLORREF color) {
  PenScope pen(dc, color);
  Line(dc, x + 1, y + 8, x + 9, y + 8);
  Line(dc, x + 1, y + 9, x + 9, y + 9);
}

void DrawMaximizeGlyph(HDC dc, int x, int y, COLORREF color) {
  PenScope pen(dc, color);
  Frame(dc, x, y, x + 11, y + 10);
  Frame(dc, x, y, x + 11, y + 2);
}

void DrawRestoreGlyph(HDC dc, int x, int y, COLORREF color) {
  PenScope pen(dc, color);
  Frame(dc, x + 2, y, x + 10, y + 6);
  Frame(dc, x + 2, y, x + 10, y + 2);
  Frame(dc, x, y + 4, x + 7, y + 10);
  Frame(dc, x, y + 4, x + 7, y + 6);
}

void DrawRollUpGlyph(HDC dc, int x, int y, COLORREF color) {
  PenScope pen(dc, color);
  for (int i = 0; i <= 4; ++i)
    Line(dc, x + 5 - i, y + 2 + i, x + 5 + i, y + 2 + i);
}

void DrawRollDownGlyph(HDC dc, int x, int y, COLORREF color) {
  PenScope pen(dc, color);
  for (int i = 0; i <= 4; ++i)
    Line(dc, x + 5 - i, y + 6 - i, x + 5 + i, y + 6 - i);
}

void DrawMinToTrayGlyph(HDC dc, int x, int y, COLORREF color) {
  FillSpan(dc, x + 2, y + 2, 5, 5, color);
}

// ---------------------------------------------------------------------------
// Text

int WideDrawText(HDC dc, const std::wstring& text, RECT& r, UINT format) {
  return DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

int WideTextWidth(HDC dc, const std::wstring& text) {
  RECT r{0, 0, 0, 0};
  WideDrawText(dc, text, r, DT_CALCRECT);
  return RectWidth(r);
}

int WideTextHeight(HDC dc, const std::wstring& text) {
  RECT r{0, 0, 0, 0};
  WideDrawText(dc, text, r, DT_CALCRECT);
  return RectHeight(r);
}

void TrimTextToWidth(HDC dc, std::wstring& text, int width) {
  if (WideTextWidth(dc, text) <= width) return;
  while (!text.empty() && WideTextWidth(dc, text + L"...") > width)
    text.pop_back();
  text += L"...";
}

void DrawTextSingleLine(HDC dc, const std::wstring& text, RECT r) {
  if (text.empty()) return;
  WideDrawText(dc, text, r, DT_SINGLELINE | DT_VCENTER);
}

void DrawTextClipped(HDC dc, const std::wstring& text, const RECT& r, int indent) {
  if (text.empty()) return;
  int th = WideTextHeight(dc, text);
  RECT clip = r;
  ExtTextOutW(dc, r.left + indent + 2, r.top + RectHeight(r) / 2 - th / 2, ETO_CLIPPED, &clip,
              text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

// ---------------------------------------------------------------------------
// Platform

bool IsJpegFileName(const std::wstring& fileName) {
  return fileName.find(L".jpg") != std::wstring::npos ||
         fileName.find(L".jpeg") != std::wstring::npos;
}

void LoadJpegToBitmap(TskPicture& picture, const std::wstring& fileName) {
  std::vector<uint8_t> bytes = ReadWholeFile(fileName);
  picture.LoadFromJpegBytes(bytes.data(), bytes.size());
}

void GetWinVersion(int& major, int& minor) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  DWORD v = GetVersion();
#pragma GCC diagnostic pop
  major = LOBYTE(LOWORD(v));
  minor = HIBYTE(LOWORD(v));
}

bool IsWinVistaOrLater() {
  int ma, mi;
  GetWinVersion(ma, mi);
  return ma > 5;
}

bool IsWinXPOrLater() {
  int ma, mi;
  GetWinVersion(ma, mi);
  return ma > 5 || (ma == 5 && mi == 1);
}

bool IsWin2KOrLater() {
  int ma, mi;
  GetWinVersion(ma, mi);
  return ma > 5 || (ma == 5 && mi <= 2);
}

void SetLayeredAlpha(HWND window, BYTE alpha) {
  using Fn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  HMODULE user = LoadLibraryW(L"USER32");
  if (!user) return;
  auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(user, "SetLayeredWindowAttributes")));
  if (fn) fn(window, 0, alpha, LWA_ALPHA);
  FreeLibrary(user);
}

void GetScreenArea(bool workArea, RECT& r) {
  if (workArea)
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  else
    r = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void GetMonitorRect(HWND window, bool workArea, RECT& r) {
  if (GetSystemMetrics(SM_CMONITORS) <= 1) {
    GetScreenArea(workArea, r);
    return;
  }
  HMONITOR m = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (m && GetMonitorInfoW(m, &mi)) r = workArea ? mi.rcWork : mi.rcMonitor;
}

void CopyScreenToBitmap(int x, int y, TskPicture& picture) {
  if (picture.Empty()) return;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(mem, picture.Handle());
  BitBlt(mem, 0, 0, picture.Width(), picture.Height(), screen, x, y, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  GdiFlush();
}

// ---------------------------------------------------------------------------
// Glyph and caption layout on a canvas

namespace {

// Font, text colour and transparent background of the canvas, for DrawText.
class TextScope {
public:
  explicit TextScope(TCanvas* canvas) : FDC(canvas->Handle()) {
    FOldFont = SelectObject(FDC, canvas->Font()->Handle());
    FOldColor = SetTextColor(FDC, ColorToRGB(canvas->Font()->Color()));
    FOldMode = SetBkMode(FDC, TRANSPARENT);
  }
  ~TextScope() {
    SelectObject(FDC, FOldFont);
    SetTextColor(FDC, FOldColor);
    SetBkMode(FDC, FOldMode);
  }
  HDC DC() const { return FDC; }

private:
  HDC FDC;
  HGDIOBJ FOldFont;
  COLORREF FOldColor;
  int FOldMode;
};

// Lays out a glyph of gw x gh drawn by drawGlyph and the caption.
void DrawLaidOut(TCanvas* canvas, const RECT& r, int margin, TColor markColor, bool mark,
                 bool pressed, int gw, int gh, const std::function<void(int, int)>& drawGlyph,
                 const std::wstring& caption, int layout, int spacing) {
  if (!canvas) return;
  int tw = 0, th = 0;
  canvas->Brush()->SetStyle(bsClear);
  {
    TextScope text(canvas);
    if (!caption.empty()) {
      RECT tr{0, 0, RectWidth(r), RectHeight(r)};
      if (layout <= 1)
        tr.right -= gw;
      else
        tr.bottom -= gh;
      DrawTextW(text.DC(), caption.c_str(), static_cast<int>(caption.size()), &tr,
                DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
      tw = RectWidth(tr), th = RectHeight(tr);
    }
  }
  POINT gp{}, tp{};
  CalcButtonLayout(r, layout, margin, spacing, gw, gh, tw, th, gp, tp);
  if (pressed) {
    ++gp.x, ++gp.y, ++tp.x, ++tp.y;
  }
  RECT textRect{tp.x, tp.y, tp.x + tw + 2, tp.y + th};
  if (!caption.empty()) {
    TextScope text(canvas);
    DrawTextW(text.DC(), caption.c_str(), static_cast<int>(caption.size()), &textRect,
              DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
  }
  if (gw > 0 && gh > 0) drawGlyph(gp.x, gp.y);
  if (!mark) return;
  HDC dc = canvas->Handle();
  COLORREF color = ColorToRGB(markColor);
  if (gw > 0 && gh > 0) {
    PenScope pen(dc, color);
    for (int dy = -2; dy <= 0; ++dy)
      Line(dc, gp.x, gp.y + gh + dy, gp.x + gw, gp.y + gh + dy);
  } else if (!caption.empty()) {
    PenScope pen(dc, color);
    for (int dy = -1; dy <= 1; ++dy)
      Line(dc, textRect.left, textRect.bottom + dy, textRect.right, textRect.bottom + dy);
  } else {
    RECT bar = pressed ? RECT{r.left + 4, r.top + 5, r.right - 2, r.bottom - 3}
                       : RECT{r.left + 4, r.top + 4, r.right - 2, r.bottom - 4};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &bar, brush);
    DeleteObject(brush);
  }
}

} // namespace

void DrawImageAndText(TCanvas* canvas, const RECT& r, int margin, TColor markColor, bool mark,
                      bool enabled, bool pressed, TCustomImageList* images, int imageIndex,
                      const std::wstring& caption, int layout, int spacing) {
  bool hasImage = images && imageIndex >= 0 && imageIndex < images->Count();
  int gw = hasImage ? images->Width() : 0, gh = hasImage ? images->Height() : 0;
  DrawLaidOut(
      canvas, r, margin, markColor, mark, pressed, gw, gh,
      [&](int x, int y) { images->Draw(canvas, x, y, imageIndex, enabled); }, caption, layout,
      spacing);
}

void DrawGlyphAndText(TCanvas* canvas, const RECT& r, int margin, TColor markColor, bool mark,
                      bool /*enabled*/, bool pressed, TBitmap* glyph, int numGlyphs, int glyphNum,
                      const std::wstring& caption, int layout, int spacing) {
  bool hasGlyph = glyph && !glyph->Empty() && numGlyphs > 0 && glyph->Width() >= numGlyphs;
  int gw = hasGlyph ? glyph->Width() / numGlyphs : 0, gh = hasGlyph ? glyph->Height() : 0;
  DrawLaidOut(
      canvas, r, margin, markColor, mark, pressed, gw, gh,
      [&](int x, int y) { DrawGlyph(canvas, x, y, glyphNum, numGlyphs, glyph); }, caption, layout,
      spacing);
}

void DrawGlyph(TCanvas* canvas, int x, int y, int glyphNum, int numGlyphs, TBitmap* glyph) {
  if (!canvas || !glyph || glyph->Empty() || numGlyphs <= 0 || glyphNum < 1 || glyphNum > numGlyphs)
    return;
  int cw = glyph->Width() / numGlyphs, ch = glyph->Height();
  if (cw <= 0) return;
  int sx = (glyphNum - 1) * cw;
  HDC src = glyph->Canvas()->Handle();
  COLORREF key = GetPixel(src, sx, ch - 1);
  TransparentBlt(canvas->Handle(), x, y, cw, ch, src, sx, 0, cw, ch, key);
}

// ---------------------------------------------------------------------------
// Parent background

namespace {

// Reaches the protected paint-window operation of windowed controls.
struct PaintWindowAccess : TWinControl {
  static void Paint(TWinControl* control, HDC dc) {
    void (TWinControl::*paint)(HDC) = &PaintWindowAccess::PaintWindow;
    (control->*paint)(dc);
  }
};

class PaintCopyScope {
public:
  explicit PaintCopyScope(TControl* control) : FControl(control) {
    FControl->SetControlState(FControl->ControlState() | csPaintCopy);
  }
  ~PaintCopyScope() { FControl->SetControlState(FControl->ControlState() & ~csPaintCopy); }

private:
  TControl* FControl;
};

} // namespace

void PaintParentBackground(TControl* control, TCanvas* canvas) {
  if (!control || !canvas) return;
  TWinControl* parent = control->Parent();
  if (!parent) return;
  HDC dc = canvas->Handle();
  if (parent->HandleAllocated()) {
    PaintCopyScope copy(parent);
    int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, -control->Left(), -control->Top(), nullptr);
    TRect client = parent->ClientRect();
    IntersectClipRect(dc, 0, 0, client.Width(), client.Height());
    auto* form = dynamic_cast<TCustomForm*>(parent);
    HWND mdiClient = form && form->FormStyle() == fsMDIForm
                         ? FindWindowExW(form->Handle(), nullptr, L"MDICLIENT", nullptr)
                         : nullptr;
    if (mdiClient) {
      SendMessageW(mdiClient, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    } else if (auto* tabs = dynamic_cast<TskSkinTabControl*>(parent)) {
      tabs->PaintTabControlBackground(dc);
    } else {
      parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      if (!form) PaintWindowAccess::Paint(parent, dc);
    }
    RestoreDC(dc, saved);
  }
  TRect bounds = control->BoundsRect();
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == control) break;
    if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    TRect cb = c->BoundsRect();
    RECT overlap;
    if (!IntersectRect(&overlap, cb.R(), bounds.R())) continue;
    PaintCopyScope copy(c);
    int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, c->Left() - control->Left(), c->Top() - control->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
  }
}
