#include "skin/SkinData.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/IniFiles.h"
#include "framework/Strings.h"
#include "skin/skzlib.h"

// ---------------------------------------------------------------------------
// Value forms

namespace {

std::wstring Lower(std::wstring s) {
  for (auto& c : s)
    c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

bool ParseNumbers(const std::wstring& s, int* out, int count) {
  std::vector<std::wstring> parts(1);
  for (wchar_t c : s) {
    if (c == L',')
      parts.emplace_back();
    else if (c >= L'0' && c <= L'9')
      parts.back() += c;
  }
  if (static_cast<int>(parts.size()) < count) return false;
  for (int i = 0; i < count; ++i) {
    const std::wstring& p = parts[static_cast<size_t>(i)];
    if (p.empty() || p.size() > 9) return false;
    out[i] = std::stoi(p);
  }
  return true;
}

} // namespace

bool StrToRect(const std::wstring& s, RECT& r) {
  int n[4];
  if (!ParseNumbers(s, n, 4)) return false;
  r = RECT{n[0], n[1], n[2], n[3]};
  return true;
}

bool StrToPoint(const std::wstring& s, POINT& p) {
  int n[2];
  if (!ParseNumbers(s, n, 2)) return false;
  p = POINT{n[0], n[1]};
  return true;
}

bool TryStrToSkinInt(const std::wstring& text, int& value) {
  std::wstring s = text;
  while (!s.empty() && std::iswspace(s.front()))
    s.erase(s.begin());
  while (!s.empty() && std::iswspace(s.back()))
    s.pop_back();
  bool neg = false;
  size_t i = 0;
  if (i < s.size() && (s[i] == L'-' || s[i] == L'+')) {
    neg = s[i] == L'-';
    ++i;
  }
  int base = 10;
  if (i < s.size() && s[i] == L'$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  unsigned long long v = 0;
  for (; i < s.size(); ++i) {
    wchar_t c = s[i];
    int d;
    if (c >= L'0' && c <= L'9')
      d = c - L'0';
    else if (base == 16 && c >= L'a' && c <= L'f')
      d = c - L'a' + 10;
    else if (base == 16 && c >= L'A' && c <= L'F')
      d = c - L'A' + 10;
    else
      return false;
    v = v * base + d;
    if (v > 0xFFFFFFFFull) return false;
  }
  // Hexadecimal and large decimal values wrap to 32 bits (colours such as 0xFF00000F).
  long long sv = neg ? -static_cast<long long>(v) : static_cast<long long>(v);
  if (sv < INT32_MIN) return false;
  value = static_cast<int>(static_cast<uint32_t>(sv));
  return true;
}

int ReadInteger(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                int def) {
  std::wstring s = ini.ReadString(section, key, L"");
  int v;
  return TryStrToSkinInt(s, v) ? v : def;
}

RECT ReadRect(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key) {
  RECT r{};
  StrToRect(ini.ReadString(section, key, L"0,0,0,0"), r);
  return r;
}

POINT ReadPoint(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key) {
  POINT p{};
  StrToPoint(ini.ReadString(section, key, L"0,0"), p);
  return p;
}

bool ReadBoolean(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key) {
  return ReadInteger(ini, section, key, 0) == 1;
}

TskFontStyles ReadFontStyles(TCustomIniFile& ini, const std::wstring& section,
                             const std::wstring& key) {
  std::wstring s = ini.ReadString(section, key, L"");
  TskFontStyles f;
  if (s.find(L"fsbold") != std::wstring::npos) f.Bits |= fsBold;
  if (s.find(L"fsitalic") != std::wstring::npos) f.Bits |= fsItalic;
  if (s.find(L"fsunderline") != std::wstring::npos) f.Bits |= fsUnderline;
  if (s.find(L"fsstrikeout") != std::wstring::npos) f.Bits |= fsStrikeOut;
  return f;
}

namespace {
constexpr int kMaxListCount = 4096;
}

void ReadList(TCustomIniFile& ini, const std::wstring& section, const std::wstring& name,
              TskLines& list) {
  int n = std::min(ReadInteger(ini, section, name + L"count", 0), kMaxListCount);
  for (int i = 0; i < n; ++i)
    list.push_back(ini.ReadString(section, IntToStr(i), L""));
}

void ReadStrings(TCustomIniFile& ini, const std::wstring& section, const std::wstring& name,
                 TskLines& lines) {
  int n = std::min(ReadInteger(ini, section, name + L"linecount", 0), kMaxListCount);
  for (int i = 0; i < n; ++i)
    lines.push_back(ini.ReadString(section, name + L"line" + IntToStr(i), L""));
}

TskStretchType ReadStretchType(TCustomIniFile& ini, const std::wstring& section,
                               const std::wstring& key) {
  std::wstring s = ini.ReadString(section, key, L"stfull");
  if (s == L"stfull") return stFull;
  if (s == L"stvert") return stVert;
  return stHorz;
}

TskMorphKind ReadMorphKind(TCustomIniFile& ini, const std::wstring& section,
                           const std::wstring& key) {
  static const wchar_t* words[] = {L"mkdefault",       L"mkgradient",  L"mkleftgradient",
                                   L"mkrightgradient", L"mkleftslide", L"mkrightslide",
                                   L"mkpush"};
  std::wstring s = ini.ReadString(section, key, L"mkdefault");
  for (int i = 0; i < 7; ++i)
    if (s == words[i]) return static_cast<TskMorphKind>(i);
  return mkDefault;
}

TskInActiveEffect ReadInActiveEffect(TCustomIniFile& ini, const std::wstring& section,
                                     const std::wstring& key) {
  static const wchar_t* words[] = {L"iebrightness", L"iedarkness",  L"iegrayscale",
                                   L"ienoise",      L"iesplitblur", L"ieinvert"};
  std::wstring s = ini.ReadString(section, key, L"iebrightness");
  for (int i = 0; i < 6; ++i)
    if (s == words[i]) return static_cast<TskInActiveEffect>(i);
  return ieGrayScale;
}

TskAlignment ReadAlignment(TCustomIniFile& ini, const std::wstring& section,
                           const std::wstring& key) {
  std::wstring s = ini.ReadString(section, key, L"tacenter");
  if (s == L"taleftjustify") return taLeftJustify;
  if (s == L"tacenter") return taCenter;
  return taRightJustify;
}

void WriteRect(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
               const RECT& r) {
  ini.WriteString(section, key,
                  IntToStr(r.left) + L"," + IntToStr(r.top) + L"," + IntToStr(r.right) + L"," +
                      IntToStr(r.bottom));
}

void WritePoint(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                const POINT& p) {
  ini.WriteString(section, key, IntToStr(p.x) + L"," + IntToStr(p.y));
}

void WriteBoolean(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                  bool value) {
  ini.WriteString(section, key, value ? L"1" : L"0");
}

void WriteFontStyles(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                     TskFontStyles value) {
  std::wstring s;
  auto add = [&](TskFontStyle f, const wchar_t* w) {
    if (value.Has(f)) s += (s.empty() ? L"" : L",") + std::wstring(w);
  };
  add(fsBold, L"fsbold");
  add(fsItalic, L"fsitalic");
  add(fsUnderline, L"fsunderline");
  add(fsStrikeOut, L"fsstrikeout");
  ini.WriteString(section, key, s);
}

void WriteStrings(TCustomIniFile& ini, const std::wstring& section, const std::wstring& name,
                  const TskLines& lines) {
  ini.WriteString(section, name + L"linecount", IntToStr(static_cast<long long>(lines.size())));
  for (size_t i = 0; i < lines.size(); ++i)
    ini.WriteString(section, name + L"line" + IntToStr(static_cast<long long>(i)), lines[i]);
}

void WriteStretchType(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                      TskStretchType value) {
  ini.WriteString(section, key,
                  value == stFull   ? L"stfull"
                  : value == stVert ? L"stvert"
                                    : L"sthorz");
}

void WriteMorphKind(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                    TskMorphKind value) {
  static const wchar_t* words[] = {L"mkdefault",       L"mkgradient",  L"mkleftgradient",
                                   L"mkrightgradient", L"mkleftslide", L"mkrightslide",
                                   L"mkpush"};
  int i = std::clamp(static_cast<int>(value), 0, 6);
  ini.WriteString(section, key, words[i]);
}

void WriteAlignment(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                    TskAlignment value) {
  ini.WriteString(section, key,
                  value == taLeftJustify    ? L"taleftjustify"
                  : value == taRightJustify ? L"tarightjustify"
                                            : L"tacenter");
}

bool IsSkinIni(TCustomIniFile& ini) {
  return ini.SectionExists(L"VERSION") && ini.SectionExists(L"PICTURES") &&
         ini.SectionExists(L"FORMINFO") && ini.SectionExists(L"SKINOBJECTS") &&
         ini.SectionExists(L"SKINCONTROLS");
}

std::wstring DecodeSkinText(const uint8_t* data, size_t size) {
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    std::wstring s((size - 2) / 2, L'\0');
    std::memcpy(s.data(), data + 2, s.size() * 2);
    return s;
  }
  UINT cp = CP_UTF8;
  DWORD flags = MB_ERR_INVALID_CHARS;
  if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
    data += 3;
    size -= 3;
  }
  if (size == 0) return {};
  if (size > 0x7FFFFFFF) size = 0x7FFFFFFF;
  int n = MultiByteToWideChar(cp, flags, reinterpret_cast<const char*>(data),
                              static_cast<int>(size), nullptr, 0);
  if (n <= 0) {
    cp = CP_ACP;
    flags = 0;
    n = MultiByteToWideChar(cp, flags, reinterpret_cast<const char*>(data), static_cast<int>(size),
                            nullptr, 0);
  }
  std::wstring s(static_cast<size_t>(std::max(n, 0)), L'\0');
  if (n > 0)
    MultiByteToWideChar(cp, flags, reinterpret_cast<const char*>(data), static_cast<int>(size),
                        s.data(), n);
  return s;
}

// ---------------------------------------------------------------------------
// Key visitors

struct TskKeyReader {
  TCustomIniFile& Ini;
  std::wstring Section;
  void operator()(const wchar_t* k, int& v) { v = ReadInteger(Ini, Section, k, v); }
  void operator()(const wchar_t* k, bool& v) { v = ReadBoolean(Ini, Section, k); }
  void operator()(const wchar_t* k, RECT& v) { v = ReadRect(Ini, Section, k); }
  void operator()(const wchar_t* k, POINT& v) { v = ReadPoint(Ini, Section, k); }
  void operator()(const wchar_t* k, std::wstring& v) { v = Ini.ReadString(Section, k, v); }
  void operator()(const wchar_t* k, TskFontStyles& v) { v = ReadFontStyles(Ini, Section, k); }
  void operator()(const wchar_t* k, TskStretchType& v) { v = ReadStretchType(Ini, Section, k); }
  void operator()(const wchar_t* k, TskMorphKind& v) { v = ReadMorphKind(Ini, Section, k); }
  void operator()(const wchar_t* k, TskAlignment& v) { v = ReadAlignment(Ini, Section, k); }
  void operator()(const wchar_t* k, TskInActiveEffect& v) {
    v = ReadInActiveEffect(Ini, Section, k);
  }
  void operator()(const wchar_t* k, TskLines& v) {
    v.clear();
    ReadStrings(Ini, Section, k, v);
  }
  void operator()(const wchar_t* k, TskStdCommand& v) {
    static const wchar_t* words[] = {L"cmclose",   L"cmmaximize", L"cmminimize",
                                     L"cmsysmenu", L"cmdefault",  L"cmrollup"};
    std::wstring s = Ini.ReadString(Section, k, L"cmdefault");
    v = cmMinimizeToTray;
    for (int i = 0; i < 6; ++i)
      if (s == words[i]) v = static_cast<TskStdCommand>(i);
  }
  void operator()(const wchar_t* k, TskGaugeKind& v) {
    v = Ini.ReadString(Section, k, L"gkhorizontal") == L"gkhorizontal" ? gkHorizontal : gkVertical;
  }
  void operator()(const wchar_t* k, TskFramesPlacement& v) {
    v = Ini.ReadString(Section, k, L"fphorizontal") == L"fphorizontal" ? fpHorizontal : fpVertical;
  }
  void operator()(const wchar_t* k, TskRegulatorKind& v) {
    std::wstring s = Ini.ReadString(Section, k, L"rkround");
    v = s == L"rkround" ? rkRound : s == L"rkhorizontal" ? rkHorizontal : rkVertical;
  }
};

struct TskKeyWriter {
  TCustomIniFile& Ini;
  std::wstring Section;
  void operator()(const wchar_t* k, const int& v) { Ini.WriteString(Section, k, IntToStr(v)); }
  void operator()(const wchar_t* k, const bool& v) { WriteBoolean(Ini, Section, k, v); }
  void operator()(const wchar_t* k, const RECT& v) { WriteRect(Ini, Section, k, v); }
  void operator()(const wchar_t* k, const POINT& v) { WritePoint(Ini, Section, k, v); }
  void operator()(const wchar_t* k, const std::wstring& v) { Ini.WriteString(Section, k, v); }
  void operator()(const wchar_t* k, const TskFontStyles& v) { WriteFontStyles(Ini, Section, k, v); }
  void operator()(const wchar_t* k, const TskStretchType& v) {
    WriteStretchType(Ini, Section, k, v);
  }
  void operator()(const wchar_t* k, const TskMorphKind& v) { WriteMorphKind(Ini, Section, k, v); }
  void operator()(const wchar_t* k, const TskAlignment& v) { WriteAlignment(Ini, Section, k, v); }
  void operator()(const wchar_t* k, const TskInActiveEffect& v) {
    static const wchar_t* words[] = {L"iebrightness", L"iedarkness",  L"iegrayscale",
                                     L"ienoise",      L"iesplitblur", L"ieinvert"};
    Ini.WriteString(Section, k, words[std::clamp(static_cast<int>(v), 0, 5)]);
  }
  void operator()(const wchar_t* k, const TskLines& v) { WriteStrings(Ini, Section, k, v); }
  void operator()(const wchar_t* k, const TskStdCommand& v) {
    static const wchar_t* words[] = {L"cmclose",   L"cmmaximize", L"cmminimize",      L"cmsysmenu",
                                     L"cmdefault", L"cmrollup",   L"cmminimizetotray"};
    Ini.WriteString(Section, k, words[std::clamp(static_cast<int>(v), 0, 6)]);
  }
  void operator()(const wchar_t* k, const TskGaugeKind& v) {
    Ini.WriteString(Section, k, v == gkHorizontal ? L"gkhorizontal" : L"gkvertical");
  }
  void operator()(const wchar_t* k, const TskFramesPlacement& v) {
    Ini.WriteString(Section, k, v == fpHorizontal ? L"fphorizontal" : L"fpvertical");
  }
  void operator()(const wchar_t* k, const TskRegulatorKind& v) {
    Ini.WriteString(Section, k,
                    v == rkRound        ? L"rkround"
                    : v == rkHorizontal ? L"rkhorizontal"
                                        : L"rkvertical");
  }
};

#define SK_FONT_KEYS                                                                               \
  v(L"fontname", FontName);                                                                        \
  v(L"fontheight", FontHeight);                                                                    \
  v(L"fontstyle", FontStyle);                                                                      \
  v(L"fontcolor", FontColor);

#define SK_IMPL(Class, Parent)                                                                     \
  void Class::ReadKeys(TskKeyReader& v) {                                                          \
    Parent::ReadKeys(v);                                                                           \
    Keys(v);                                                                                       \
  }                                                                                                \
  void Class::WriteKeys(TskKeyWriter& v) {                                                         \
    Parent::WriteKeys(v);                                                                          \
    Keys(v);                                                                                       \
  }                                                                                                \
  template <class V> void Class::Keys(V& v)

// ---------------------------------------------------------------------------
// Control descriptions

void TskDataSkinControl::LoadFromIni(TCustomIniFile& ini) {
  TskKeyReader r{ini, IDName};
  ReadKeys(r);
}

void TskDataSkinControl::SaveToIni(TCustomIniFile& ini) {
  ini.EraseSection(IDName);
  TskKeyWriter w{ini, IDName};
  WriteKeys(w);
}

void TskDataSkinControl::ReadKeys(TskKeyReader& v) {
  Keys(v);
}
void TskDataSkinControl::WriteKeys(TskKeyWriter& v) {
  Keys(v);
}
template <class V> void TskDataSkinControl::Keys(V& v) {
  v(L"pictureindex", PictureIndex);
  v(L"maskpictureindex", MaskPictureIndex);
  v(L"cursorindex", CursorIndex);
  v(L"skinrect", SkinRect);
}

SK_IMPL(TskDataSkinCustomControl, TskDataSkinControl) {
  v(L"lefttoppoint", LTPoint);
  v(L"righttoppoint", RTPoint);
  v(L"leftbottompoint", LBPoint);
  v(L"rightbottompoint", RBPoint);
  v(L"clientrect", ClientRect);
  v(L"leftstretch", LeftStretch);
  v(L"topstretch", TopStretch);
  v(L"rightstretch", RightStretch);
  v(L"bottomstretch", BottomStretch);
  v(L"stretcheffect", StretchEffect);
  v(L"stretchtype", StretchType);
}

SK_IMPL(TskDataSkinSlider, TskDataSkinControl) {
  v(L"bgcolor", BGColor);
  v(L"hrulerrect", HRulerRect);
  v(L"hthumbrect", HThumbRect);
  v(L"vrulerrect", VRulerRect);
  v(L"vthumbrect", VThumbRect);
  v(L"edgesize", EdgeSize);
  v(L"pointscolor", PointsColor);
}

SK_IMPL(TskDataSkinBevel, TskDataSkinControl) {
  v(L"lightcolor", LightColor);
  v(L"darkcolor", DarkColor);
}

SK_IMPL(TskDataSkinPanelControl, TskDataSkinCustomControl) {
  v(L"bgpictureindex", BGPictureIndex);
  v(L"captionrect", CaptionRect);
  v(L"alignment", Alignment);
  SK_FONT_KEYS
  v(L"checkimagerect", CheckImageRect);
  v(L"uncheckimagerect", UnCheckImageRect);
  v(L"markframerect", MarkFrameRect);
  v(L"framerect", FrameRect);
  v(L"frametextrect", FrameTextRect);
  v(L"frameleftoffset", FrameLeftOffset);
  v(L"framerightoffset", FrameRightOffset);
  v(L"gripperrect", GripperRect);
  v(L"grippertransparent", GripperTransparent);
  v(L"grippertransparentcolor", GripperTransparentColor);
}

SK_IMPL(TskDataSkinExPanelControl, TskDataSkinCustomControl) {
  v(L"rollhskinrect", RollHSkinRect);
  v(L"rollvskinrect", RollVSkinRect);
  v(L"rollleftoffset", RollLeftOffset);
  v(L"rollrightoffset", RollRightOffset);
  v(L"rolltopoffset", RollTopOffset);
  v(L"rollbottomoffset", RollBottomOffset);
  v(L"rollvcaptionrect", RollVCaptionRect);
  v(L"rollhcaptionrect", RollHCaptionRect);
  v(L"closebuttonrect", CloseButtonRect);
  v(L"closebuttonactiverect", CloseButtonActiveRect);
  v(L"closebuttondownrect", CloseButtonDownRect);
  v(L"hrollbuttonrect", HRollButtonRect);
  v(L"hrollbuttonactiverect", HRollButtonActiveRect);
  v(L"hrollbuttondownrect", HRollButtonDownRect);
  v(L"hrestorebuttonrect", HRestoreButtonRect);
  v(L"hrestorebuttonactiverect", HRestoreButtonActiveRect);
  v(L"hrestorebuttondownrect", HRestoreButtonDownRect);
  v(L"vrollbuttonrect", VRollButtonRect);
  v(L"vrollbuttonactiverect", VRollButtonActiveRect);
  v(L"vrollbuttondownrect", VRollButtonDownRect);
  v(L"vrestorebuttonrect", VRestoreButtonRect);
  v(L"vrestorebuttonactiverect", VRestoreButtonActiveRect);
  v(L"vrestorebuttondownrect", VRestoreButtonDownRect);
  v(L"captionrect", CaptionRect);
  SK_FONT_KEYS
  v(L"buttonstransparent", ButtonsTransparent);
  v(L"buttonstransparentcolor", ButtonsTransparentColor);
}

SK_IMPL(TskDataSkinButtonControl, TskDataSkinCustomControl) {
  SK_FONT_KEYS
  v(L"activefontcolor", ActiveFontColor);
  v(L"disabledfontcolor", DisabledFontColor);
  v(L"downfontcolor", DownFontColor);
  v(L"morphing", Morphing);
  v(L"morphkind", MorphKind);
  v(L"activeskinrect", ActiveSkinRect);
  v(L"downskinrect", DownSkinRect);
  v(L"focusedskinrect", FocusedSkinRect);
  v(L"disabledskinrect", DisabledSkinRect);
  v(L"animateskinrect", AnimateSkinRect);
  v(L"framecount", FrameCount);
  v(L"animateinterval", AnimateInterval);
  v(L"showfocus", ShowFocus);
  v(L"menumarkerflatrect", MenuMarkerFlatRect);
  v(L"menumarkerrect", MenuMarkerRect);
  v(L"menumarkeractiverect", MenuMarkerActiveRect);
  v(L"menumarkerdownrect", MenuMarkerDownRect);
  v(L"menumarkertransparentcolor", MenuMarkerTransparentColor);
}

SK_IMPL(TskDataSkinMenuButtonControl, TskDataSkinButtonControl) {
  v(L"trackbuttonrect", TrackButtonRect);
}

SK_IMPL(TskDataSkinCheckRadioControl, TskDataSkinCustomControl) {
  SK_FONT_KEYS
  v(L"activefontcolor", ActiveFontColor);
  v(L"unenabledfontcolor", UnEnabledFontColor);
  v(L"framefontcolor", FrameFontColor);
  v(L"morphing", Morphing);
  v(L"morphkind", MorphKind);
  v(L"activeskinrect", ActiveSkinRect);
  v(L"checkimagearea", CheckImageArea);
  v(L"textarea", TextArea);
  v(L"checkimagerect", CheckImageRect);
  v(L"uncheckimagerect", UnCheckImageRect);
  v(L"activecheckimagerect", ActiveCheckImageRect);
  v(L"activeuncheckimagerect", ActiveUnCheckImageRect);
  v(L"unenabledcheckimagerect", UnEnabledCheckImageRect);
  v(L"unenableduncheckimagerect", UnEnabledUnCheckImageRect);
  v(L"grayedcheckimagerect", GrayedCheckImageRect);
  v(L"activegrayedcheckimagerect", ActiveGrayedCheckImageRect);
}

SK_IMPL(TskDataSkinGaugeControl, TskDataSkinCustomControl) {
  v(L"progressarea", ProgressArea);
  v(L"progressrect", ProgressRect);
  v(L"beginoffset", BeginOffset);
  v(L"endoffset", EndOffset);
  v(L"vertical", Vertical);
  SK_FONT_KEYS
  v(L"progresstransparent", ProgressTransparent);
  v(L"progresstransparentcolor", ProgressTransparentColor);
  v(L"progressstretch", ProgressStretch);
  v(L"animationskinrect", AnimationSkinRect);
  v(L"animationcountframes", AnimationCountFrames);
  v(L"animationtimerinterval", AnimationTimerInterval);
  v(L"progressanimationskinrect", ProgressAnimationSkinRect);
  v(L"progressanimationcountframes", ProgressAnimationCountFrames);
  v(L"progressanimationtimerinterval", ProgressAnimationTimerInterval);
  v(L"animationbeginoffset", AnimationBeginOffset);
  v(L"animationendoffset", AnimationEndOffset);
}

SK_IMPL(TskDataSkinSplitterControl, TskDataSkinCustomControl) {
  v(L"gripperrect", GripperRect);
  v(L"grippertransparent", GripperTransparent);
  v(L"grippertransparentcolor", GripperTransparentColor);
}

SK_IMPL(TskDataSkinTrackBarControl, TskDataSkinCustomControl) {
  v(L"activeskinrect", ActiveSkinRect);
  v(L"trackarea", TrackArea);
  v(L"buttonrect", ButtonRect);
  v(L"activebuttonrect", ActiveButtonRect);
  v(L"vertical", Vertical);
  v(L"buttontransparent", ButtonTransparent);
  v(L"buttontransparentcolor", ButtonTransparentColor);
}

SK_IMPL(TskDataSkinLabelControl, TskDataSkinCustomControl){SK_FONT_KEYS}

SK_IMPL(TskDataSkinStdLabelControl, TskDataSkinControl) {
  SK_FONT_KEYS
  v(L"activefontcolor", ActiveFontColor);
}

SK_IMPL(TskDataSkinBitLabelControl, TskDataSkinCustomControl) {
  v(L"skintextrect", SkinTextRect);
  v(L"symbolwidth", SymbolWidth);
  v(L"symbolheight", SymbolHeight);
  v(L"symbols", Symbols);
}

void TskDataSkinFrameControl::ReadKeys(TskKeyReader& v) {
  TskDataSkinControl::ReadKeys(v);
  Keys(v);
  if (FramesCount < 1) FramesCount = 1;
}
void TskDataSkinFrameControl::WriteKeys(TskKeyWriter& v) {
  TskDataSkinControl::WriteKeys(v);
  Keys(v);
}
template <class V> void TskDataSkinFrameControl::Keys(V& v) {
  v(L"framescount", FramesCount);
  v(L"framesplacement", FramesPlacement);
}

SK_IMPL(TskDataSkinFrameRegulator, TskDataSkinFrameControl) {
  v(L"kind", Kind);
}

void TskDataSkinUpDownControl::ReadKeys(TskKeyReader& v) {
  TskDataSkinCustomControl::ReadKeys(v);
  Keys(v);
  LTPoint = RTPoint = LBPoint = RBPoint = POINT{0, 0};
  ClientRect = RECT{0, 0, 0, 0};
}
void TskDataSkinUpDownControl::WriteKeys(TskKeyWriter& v) {
  TskDataSkinCustomControl::WriteKeys(v);
  Keys(v);
}
template <class V> void TskDataSkinUpDownControl::Keys(V& v) {
  v(L"upbuttonrect", UpButtonRect);
  v(L"activeupbuttonrect", ActiveUpButtonRect);
  v(L"downupbuttonrect", DownUpButtonRect);
  v(L"downbuttonrect", DownButtonRect);
  v(L"activedownbuttonrect", ActiveDownButtonRect);
  v(L"downdownbuttonrect", DownDownButtonRect);
}

SK_IMPL(TskDataSkinGridControl, TskDataSkinControl) {
  v(L"fixedcellrect", FixedCellRect);
  v(L"selectcellrect", SelectCellRect);
  v(L"focuscellrect", FocusCellRect);
  v(L"fixedcellleftoffset", FixedCellLeftOffset);
  v(L"fixedcellrightoffset", FixedCellRightOffset);
  v(L"fixedcelltextrect", FixedCellTextRect);
  v(L"cellleftoffset", CellLeftOffset);
  v(L"cellrightoffset", CellRightOffset);
  v(L"celltextrect", CellTextRect);
  v(L"linescolor", LinesColor);
  v(L"bgcolor", BGColor);
  v(L"bgpictureindex", BGPictureIndex);
  SK_FONT_KEYS
  v(L"selectfontcolor", SelectFontColor);
  v(L"focusfontcolor", FocusFontColor);
  v(L"fixedfontname", FixedFontName);
  v(L"fixedfontheight", FixedFontHeight);
  v(L"fixedfontstyle", FixedFontStyle);
  v(L"fixedfontcolor", FixedFontColor);
  v(L"cellstretcheffect", CellStretchEffect);
  v(L"fixedcellstretcheffect", FixedCellStretchEffect);
  v(L"showfocus", ShowFocus);
}

SK_IMPL(TskDataSkinTabControl, TskDataSkinControl) {
  v(L"tabrect", TabRect);
  v(L"activetabrect", ActiveTabRect);
  v(L"focustabrect", FocusTabRect);
  v(L"mouseintabrect", MouseInTabRect);
  v(L"clientrect", ClientRect);
  v(L"bgpictureindex", BGPictureIndex);
  v(L"lefttoppoint", LTPoint);
  v(L"righttoppoint", RTPoint);
  v(L"leftbottompoint", LBPoint);
  v(L"rightbottompoint", RBPoint);
  v(L"tableftoffset", TabLeftOffset);
  v(L"tabrightoffset", TabRightOffset);
  v(L"tabsbgrect", TabsBGRect);
  v(L"tabstretcheffect", TabStretchEffect);
  v(L"leftstretch", LeftStretch);
  v(L"topstretch", TopStretch);
  v(L"rightstretch", RightStretch);
  v(L"bottomstretch", BottomStretch);
  v(L"stretcheffect", StretchEffect);
  v(L"stretchtype", StretchType);
  SK_FONT_KEYS
  v(L"activefontcolor", ActiveFontColor);
  v(L"focusfontcolor", FocusFontColor);
  v(L"mouseinfontcolor", MouseInFontColor);
  v(L"updown", UpDown);
  v(L"showfocus", ShowFocus);
  v(L"focusoffsetx", FocusOffsetX);
  v(L"focusoffsety", FocusOffsetY);
  v(L"closebuttonrect", CloseButtonRect);
  v(L"closebuttonactiverect", CloseButtonActiveRect);
  v(L"closebuttondownrect", CloseButtonDownRect);
  v(L"buttontransparent", ButtonTransparent);
  v(L"buttontransparentcolor", ButtonTransparentColor);
}

SK_IMPL(TskDataSkinMainMenuBar, TskDataSkinControl) {
  v(L"itemsrect", ItemsRect);
  v(L"menubaritem", MenuBarItem);
  v(L"closebutton", CloseButton);
  v(L"minbutton", MinButton);
  v(L"maxbutton", MaxButton);
  v(L"sysmenubutton", SysMenuButton);
  v(L"trackmarkcolor", TrackMarkColor);
  v(L"trackmarkactivecolor", TrackMarkActiveColor);
  v(L"stretcheffect", StretchEffect);
  v(L"itemtransparent", ItemTransparent);
}

SK_IMPL(TskDataSkinControlBar, TskDataSkinCustomControl) {
  v(L"itemrect", ItemRect);
  v(L"bgpictureindex", BGPictureIndex);
  v(L"hgriprect", HGripRect);
  v(L"vgriprect", VGripRect);
  v(L"gripoffset1", GripOffset1);
  v(L"gripoffset2", GripOffset2);
  v(L"itemstretcheffect", ItemStretchEffect);
  v(L"itemoffset1", ItemOffset1);
  v(L"itemoffset2", ItemOffset2);
  v(L"itemtransparent", ItemTransparent);
  v(L"itemtransparentcolor", ItemTransparentColor);
  v(L"griptransparent", GripTransparent);
  v(L"griptransparentcolor", GripTransparentColor);
}

SK_IMPL(TskDataSkinEditControl, TskDataSkinCustomControl) {
  v(L"activeskinrect", ActiveSkinRect);
  SK_FONT_KEYS
  v(L"disabledfontcolor", DisabledFontColor);
  v(L"activefontcolor", ActiveFontColor);
  v(L"buttonrect", ButtonRect);
  v(L"activebuttonrect", ActiveButtonRect);
  v(L"downbuttonrect", DownButtonRect);
  v(L"unenabledbuttonrect", UnEnabledButtonRect);
}

SK_IMPL(TskDataSkinMemoControl, TskDataSkinEditControl) {
  v(L"bgcolor", BGColor);
  v(L"activebgcolor", ActiveBGColor);
}

SK_IMPL(TskDataSkinListBox, TskDataSkinCustomControl) {
  v(L"itemrect", ItemRect);
  v(L"activeitemrect", ActiveItemRect);
  v(L"focusitemrect", FocusItemRect);
  v(L"itemleftoffset", ItemLeftOffset);
  v(L"itemrightoffset", ItemRightOffset);
  v(L"itemtextrect", ItemTextRect);
  SK_FONT_KEYS
  v(L"activefontcolor", ActiveFontColor);
  v(L"focusfontcolor", FocusFontColor);
  v(L"captionrect", CaptionRect);
  v(L"captionfontname", CaptionFontName);
  v(L"captionfontheight", CaptionFontHeight);
  v(L"captionfontstyle", CaptionFontStyle);
  v(L"captionfontcolor", CaptionFontColor);
  v(L"upbuttonrect", UpButtonRect);
  v(L"activeupbuttonrect", ActiveUpButtonRect);
  v(L"downupbuttonrect", DownUpButtonRect);
  v(L"downbuttonrect", DownButtonRect);
  v(L"activedownbuttonrect", ActiveDownButtonRect);
  v(L"downdownbuttonrect", DownDownButtonRect);
  v(L"checkbuttonrect", CheckButtonRect);
  v(L"activecheckbuttonrect", ActiveCheckButtonRect);
  v(L"downcheckbuttonrect", DownCheckButtonRect);
  v(L"vscrollbarname", VScrollBarName);
  v(L"hscrollbarname", HScrollBarName);
  v(L"bothhscrollbarname", BothHScrollBarName);
  v(L"showfocus", ShowFocus);
}

SK_IMPL(TskDataSkinCheckListBox, TskDataSkinListBox) {
  v(L"checkimagerect", CheckImageRect);
  v(L"itemcheckrect", ItemCheckRect);
  v(L"uncheckimagerect", UnCheckImageRect);
}

SK_IMPL(TskDataSkinComboBox, TskDataSkinCustomControl) {
  v(L"activeskinrect", ActiveSkinRect);
  v(L"itemrect", ItemRect);
  v(L"activeitemrect", ActiveItemRect);
  v(L"focusitemrect", FocusItemRect);
  v(L"itemleftoffset", ItemLeftOffset);
  v(L"itemrightoffset", ItemRightOffset);
  v(L"itemtextrect", ItemTextRect);
  SK_FONT_KEYS
  v(L"focusfontcolor", FocusFontColor);
  v(L"activefontcolor", ActiveFontColor);
  v(L"listboxname", ListBoxName);
  v(L"buttonrect", ButtonRect);
  v(L"activebuttonrect", ActiveButtonRect);
  v(L"downbuttonrect", DownButtonRect);
  v(L"unenabledbuttonrect", UnEnabledButtonRect);
  v(L"itemstretcheffect", ItemStretchEffect);
  v(L"focusitemstretcheffect", FocusItemStretchEffect);
  v(L"showfocus", ShowFocus);
}

SK_IMPL(TskDataSkinScrollBarControl, TskDataSkinCustomControl) {
  v(L"trackarea", TrackArea);
  v(L"upbuttonrect", UpButtonRect);
  v(L"activeupbuttonrect", ActiveUpButtonRect);
  v(L"downupbuttonrect", DownUpButtonRect);
  v(L"downbuttonrect", DownButtonRect);
  v(L"activedownbuttonrect", ActiveDownButtonRect);
  v(L"downdownbuttonrect", DownDownButtonRect);
  v(L"thumbrect", ThumbRect);
  v(L"activethumbrect", ActiveThumbRect);
  v(L"downthumbrect", DownThumbRect);
  v(L"thumboffset1", ThumbOffset1);
  v(L"thumboffset2", ThumbOffset2);
  v(L"thumbtransparent", ThumbTransparent);
  v(L"thumbtransparentcolor", ThumbTransparentColor);
  v(L"thumbstretcheffect", ThumbStretchEffect);
  v(L"thumbminsize", ThumbMinSize);
  v(L"thumbminpagesize", ThumbMinPageSize);
  v(L"glyphrect", GlyphRect);
  v(L"activeglyphrect", ActiveGlyphRect);
  v(L"downglyphrect", DownGlyphRect);
  v(L"glyphtransparent", GlyphTransparent);
  v(L"glyphtransparentcolor", GlyphTransparentColor);
}

SK_IMPL(TskDataSkinSpinEditControl, TskDataSkinCustomControl) {
  v(L"activeskinrect", ActiveSkinRect);
  SK_FONT_KEYS
  v(L"activefontcolor", ActiveFontColor);
  v(L"disabledfontcolor", DisabledFontColor);
  v(L"upbuttonrect", UpButtonRect);
  v(L"activeupbuttonrect", ActiveUpButtonRect);
  v(L"downupbuttonrect", DownUpButtonRect);
  v(L"downbuttonrect", DownButtonRect);
  v(L"activedownbuttonrect", ActiveDownButtonRect);
  v(L"downdownbuttonrect", DownDownButtonRect);
}

SK_IMPL(TskDataSkinScrollBoxControl, TskDataSkinCustomControl) {
  v(L"bgpictureindex", BGPictureIndex);
}

SK_IMPL(TskDataSkinViewControl, TskDataSkinControl) {
  SK_FONT_KEYS
  v(L"bgcolor", BGColor);
}

std::unique_ptr<TskDataSkinControl> CreateControlDescription(const std::wstring& kind,
                                                             const std::wstring& id) {
  using P = std::unique_ptr<TskDataSkinControl>;
  if (kind == L"slider") return P(new TskDataSkinSlider(id));
  if (kind == L"bevel") return P(new TskDataSkinBevel(id));
  if (kind == L"panel") return P(new TskDataSkinPanelControl(id));
  if (kind == L"expanel") return P(new TskDataSkinExPanelControl(id));
  if (kind == L"menubutton") return P(new TskDataSkinMenuButtonControl(id));
  if (kind == L"button") return P(new TskDataSkinButtonControl(id));
  if (kind == L"checkradio") return P(new TskDataSkinCheckRadioControl(id));
  if (kind == L"gauge") return P(new TskDataSkinGaugeControl(id));
  if (kind == L"splitter") return P(new TskDataSkinSplitterControl(id));
  if (kind == L"trackbar") return P(new TskDataSkinTrackBarControl(id));
  if (kind == L"label") return P(new TskDataSkinLabelControl(id));
  if (kind == L"stdlabel") return P(new TskDataSkinStdLabelControl(id));
  if (kind == L"bitlabel") return P(new TskDataSkinBitLabelControl(id));
  if (kind == L"frameregulator") return P(new TskDataSkinFrameRegulator(id));
  if (kind == L"framegauge") return P(new TskDataSkinFrameGauge(id));
  if (kind == L"animate") return P(new TskDataSkinAnimateControl(id));
  if (kind == L"updown") return P(new TskDataSkinUpDownControl(id));
  if (kind == L"switch") return P(new TskDataSkinSwitchControl(id));
  if (kind == L"grid") return P(new TskDataSkinGridControl(id));
  if (kind == L"tab") return P(new TskDataSkinTabControl(id));
  if (kind == L"mainmenubar") return P(new TskDataSkinMainMenuBar(id));
  if (kind == L"controlbar") return P(new TskDataSkinControlBar(id));
  if (kind == L"memo") return P(new TskDataSkinMemoControl(id));
  if (kind == L"edit") return P(new TskDataSkinEditControl(id));
  if (kind == L"checklistbox") return P(new TskDataSkinCheckListBox(id));
  if (kind == L"listbox") return P(new TskDataSkinListBox(id));
  if (kind == L"combobox") return P(new TskDataSkinComboBox(id));
  if (kind == L"scrollbar") return P(new TskDataSkinScrollBarControl(id));
  if (kind == L"spinedit") return P(new TskDataSkinSpinEditControl(id));
  if (kind == L"scrollbox") return P(new TskDataSkinScrollBoxControl(id));
  if (kind == L"treeview") return P(new TskDataSkinTreeView(id));
  if (kind == L"listview") return P(new TskDataSkinListView(id));
  if (kind == L"richedit") return P(new TskDataSkinRichEdit(id));
  return nullptr;
}

// ---------------------------------------------------------------------------
// Object descriptions

void TskDataSkinObject::LoadFromIni(TCustomIniFile& ini) {
  TskKeyReader r{ini, IDName};
  ReadKeys(r);
}

void TskDataSkinObject::SaveToIni(TCustomIniFile& ini) {
  ini.EraseSection(IDName);
  TskKeyWriter w{ini, IDName};
  WriteKeys(w);
}

void TskDataSkinObject::ReadKeys(TskKeyReader& v) {
  Keys(v);
}
void TskDataSkinObject::WriteKeys(TskKeyWriter& v) {
  Keys(v);
}
template <class V> void TskDataSkinObject::Keys(V& v) {
  v(L"hint", Hint);
  v(L"rollup", RollUp);
  v(L"activepictureindex", ActivePictureIndex);
  v(L"skinrectinapicture", SkinRectInAPicture);
  v(L"cursorindex", CursorIndex);
  v(L"skinrect", SkinRect);
  v(L"activeskinrect", ActiveSkinRect);
  v(L"inactiveskinrect", InActiveSkinRect);
  v(L"morphing", Morphing);
  v(L"morphkind", MorphKind);
}

void TskDataSkinMenuItem::ReadKeys(TskKeyReader& v) {
  TskDataSkinObject::ReadKeys(v);
  Keys(v);
  if (IsNullRect(ActiveCheckImageRect)) ActiveCheckImageRect = CheckImageRect;
  if (IsNullRect(ActiveRadioImageRect)) ActiveRadioImageRect = RadioImageRect;
  if (IsNullRect(ActiveArrowImageRect)) ActiveArrowImageRect = ArrowImageRect;
}
void TskDataSkinMenuItem::WriteKeys(TskKeyWriter& v) {
  TskDataSkinObject::WriteKeys(v);
  Keys(v);
}
template <class V> void TskDataSkinMenuItem::Keys(V& v) {
  v(L"itemleftoffset", ItemLeftOffset);
  v(L"itemrightoffset", ItemRightOffset);
  v(L"dividerrect", DividerRect);
  v(L"dividerleftoffset", DividerLeftOffset);
  v(L"dividerrightoffset", DividerRightOffset);
  v(L"textrect", TextRect);
  v(L"imagerect", ImageRect);
  SK_FONT_KEYS
  v(L"activefontcolor", ActiveFontColor);
  v(L"unenabledfontcolor", UnEnabledFontColor);
  v(L"stretcheffect", StretchEffect);
  v(L"inactivestretcheffect", InActiveStretchEffect);
  v(L"dividerstretcheffect", DividerStretchEffect);
  v(L"animateskinrect", AnimateSkinRect);
  v(L"framecount", FrameCount);
  v(L"animateinterval", AnimateInterval);
  v(L"inactiveanimation", InActiveAnimation);
  v(L"useimagecolor", UseImageColor);
  v(L"imagecolor", ImageColor);
  v(L"activeimagecolor", ActiveImageColor);
  v(L"inactivetransparent", InActiveTransparent);
  v(L"checkimagerect", CheckImageRect);
  v(L"activecheckimagerect", ActiveCheckImageRect);
  v(L"radioimagerect", RadioImageRect);
  v(L"activeradioimagerect", ActiveRadioImageRect);
  v(L"arrowimagerect", ArrowImageRect);
  v(L"activearrowimagerect", ActiveArrowImageRect);
}

SK_IMPL(TskDataSkinMainMenuItem, TskDataSkinObject) {
  v(L"itemleftoffset", ItemLeftOffset);
  v(L"itemrightoffset", ItemRightOffset);
  v(L"downrect", DownRect);
  v(L"textrect", TextRect);
  SK_FONT_KEYS
  v(L"activefontcolor", ActiveFontColor);
  v(L"downfontcolor", DownFontColor);
  v(L"unenabledfontColor", UnEnabledFontColor);
  v(L"stretcheffect", StretchEffect);
  v(L"animateskinrect", AnimateSkinRect);
  v(L"framecount", FrameCount);
  v(L"animateinterval", AnimateInterval);
  v(L"inactiveanimation", InActiveAnimation);
}

SK_IMPL(TskDataSkinButton, TskDataSkinObject) {
  v(L"downrect", DownRect);
  v(L"disableskinrsect", DisableSkinRect);
  v(L"groupindex", GroupIndex);
}

SK_IMPL(TskDataSkinStdButton, TskDataSkinButton) {
  v(L"command", Command);
  v(L"restorerect", RestoreRect);
  v(L"restoreactiverect", RestoreActiveRect);
  v(L"restoredownrect", RestoreDownRect);
  v(L"restoreinactiverect", RestoreInActiveRect);
}

SK_IMPL(TskDataSkinCaption, TskDataSkinObject) {
  v(L"defaultcaption", DefaultCaption);
  v(L"textrect", TextRect);
  SK_FONT_KEYS
  v(L"activefontcolor", ActiveFontColor);
  v(L"alignment", Alignment);
  v(L"shadow", Shadow);
  v(L"shadowcolor", ShadowColor);
  v(L"light", Light);
  v(L"lightcolor", LightColor);
  v(L"activelightcolor", ActiveLightColor);
  v(L"activeshadowcolor", ActiveShadowColor);
  v(L"framerect", FrameRect);
  v(L"activeframerect", ActiveFrameRect);
  v(L"frametextrect", FrameTextRect);
  v(L"frameleftoffset", FrameLeftOffset);
  v(L"framerightoffset", FrameRightOffset);
  v(L"stretcheffect", StretchEffect);
  v(L"animateskinrect", AnimateSkinRect);
  v(L"framecount", FrameCount);
  v(L"animateinterval", AnimateInterval);
  v(L"inactiveanimation", InActiveAnimation);
  v(L"fullframe", FullFrame);
}

void TskDataSkinTrackBar::ReadKeys(TskKeyReader& v) {
  TskDataSkinObject::ReadKeys(v);
  Morphing = false;
  Keys(v);
}
void TskDataSkinTrackBar::WriteKeys(TskKeyWriter& v) {
  TskDataSkinObject::WriteKeys(v);
  Keys(v);
}
template <class V> void TskDataSkinTrackBar::Keys(V& v) {
  v(L"buttonrect", ButtonRect);
  v(L"activebuttonrect", ActiveButtonRect);
  v(L"beginpoint", BeginPoint);
  v(L"endpoint", EndPoint);
  v(L"minvalue", MinValue);
  v(L"maxvalue", MaxValue);
  v(L"mousedownchangevalue", MouseDownChangeValue);
  v(L"buttontransparent", ButtonTransparent);
  v(L"buttontransparentcolor", ButtonTransparentColor);
}

SK_IMPL(TskDataSkinGauge, TskDataSkinObject) {
  v(L"minvalue", MinValue);
  v(L"maxvalue", MaxValue);
  v(L"kind", Kind);
}

SK_IMPL(TskDataSkinFrameGaugeObject, TskDataSkinObject) {
  v(L"minvalue", MinValue);
  v(L"maxvalue", MaxValue);
  v(L"countframes", CountFrames);
  v(L"framesplacement", FramesPlacement);
}

SK_IMPL(TskDataSkinFrameRegulatorObject, TskDataSkinFrameGaugeObject) {
  v(L"kind", Kind);
}

SK_IMPL(TskDataSkinLabel, TskDataSkinObject) {
  v(L"fontName", FontName);
  v(L"fontheight", FontHeight);
  v(L"fontstyle", FontStyle);
  v(L"fontcolor", FontColor);
  v(L"activefontcolor", ActiveFontColor);
  v(L"alignment", Alignment);
  v(L"textvalue", TextValue);
}

void TskDataSkinBitLabel::ReadKeys(TskKeyReader& v) {
  TskDataSkinObject::ReadKeys(v);
  Morphing = false;
  Keys(v);
}
void TskDataSkinBitLabel::WriteKeys(TskKeyWriter& v) {
  TskDataSkinObject::WriteKeys(v);
  Keys(v);
}
template <class V> void TskDataSkinBitLabel::Keys(V& v) {
  v(L"textvalue", TextValue);
  v(L"symbolwidth", SymbolWidth);
  v(L"symbolheight", SymbolHeight);
  v(L"symbols", Symbols);
  v(L"transparent", Transparent);
  v(L"transparentcolor", TransparentColor);
}

void TskDataSkinAnimate::ReadKeys(TskKeyReader& v) {
  TskDataSkinObject::ReadKeys(v);
  Morphing = false;
  Keys(v);
}
void TskDataSkinAnimate::WriteKeys(TskKeyWriter& v) {
  TskDataSkinObject::WriteKeys(v);
  Keys(v);
}
template <class V> void TskDataSkinAnimate::Keys(V& v) {
  v(L"countframes", CountFrames);
  v(L"cycle", Cycle);
  v(L"buttonstyle", ButtonStyle);
  v(L"timerinterval", TimerInterval);
  v(L"command", Command);
  v(L"downskinrect", DownSkinRect);
  v(L"restorerect", RestoreRect);
  v(L"restoreactiverect", RestoreActiveRect);
  v(L"restoredownrect", RestoreDownRect);
  v(L"restoreinactiverect", RestoreInActiveRect);
}

void TskDataUserObject::ReadKeys(TskKeyReader& v) {
  Keys(v);
}
void TskDataUserObject::WriteKeys(TskKeyWriter& v) {
  Keys(v);
}
template <class V> void TskDataUserObject::Keys(V& v) {
  v(L"rollup", RollUp);
  v(L"skinrect", SkinRect);
  v(L"cursorindex", CursorIndex);
}

std::unique_ptr<TskDataSkinObject> CreateObjectDescription(const std::wstring& kind,
                                                           const std::wstring& id) {
  using P = std::unique_ptr<TskDataSkinObject>;
  if (kind == L"menuitem") return P(new TskDataSkinMenuItem(id));
  if (kind == L"mainmenubaritem") return P(new TskDataSkinMainMenuBarItem(id));
  if (kind == L"mainmenuitem") return P(new TskDataSkinMainMenuItem(id));
  if (kind == L"stdbutton") return P(new TskDataSkinStdButton(id));
  if (kind == L"mainmenubarbutton") return P(new TskDataSkinMainMenuBarButton(id));
  if (kind == L"button") return P(new TskDataSkinButton(id));
  if (kind == L"caption") return P(new TskDataSkinCaption(id));
  if (kind == L"trackbar") return P(new TskDataSkinTrackBar(id));
  if (kind == L"gauge") return P(new TskDataSkinGauge(id));
  if (kind == L"framegauge") return P(new TskDataSkinFrameGaugeObject(id));
  if (kind == L"frameregulator") return P(new TskDataSkinFrameRegulatorObject(id));
  if (kind == L"label") return P(new TskDataSkinLabel(id));
  if (kind == L"bitlabel") return P(new TskDataSkinBitLabel(id));
  if (kind == L"switch") return P(new TskDataSkinSwitch(id));
  if (kind == L"animate") return P(new TskDataSkinAnimate(id));
  if (kind == L"userobject") return P(new TskDataUserObject(id));
  return nullptr;
}

// ---------------------------------------------------------------------------
// Window descriptions and colours

void TskDataSkinPopupWindow::LoadFromIni(TCustomIniFile& ini) {
  TskKeyReader v{ini, L"POPUPWINDOW"};
  WindowPictureIndex = -1;
  MaskPictureIndex = -1;
  CursorIndex = -1;
  v(L"windowpictureindex", WindowPictureIndex);
  v(L"maskpictureindex", MaskPictureIndex);
  v(L"lefttoppoint", LTPoint);
  v(L"righttoppoint", RTPoint);
  v(L"leftbottompoint", LBPoint);
  v(L"rightbottompoint", RBPoint);
  v(L"cursorindex", CursorIndex);
  v(L"itemsrect", ItemsRect);
  ScrollMarkerColor = ScrollMarkerActiveColor = 0;
  v(L"scrollmarkercolor", ScrollMarkerColor);
  v(L"scrollmarkeractivecolor", ScrollMarkerActiveColor);
  v(L"leftstretch", LeftStretch);
  v(L"rightstretch", RightStretch);
  v(L"topstretch", TopStretch);
  v(L"bottomstretch", BottomStretch);
  v(L"stretcheffect", StretchEffect);
  v(L"stretchtype", StretchType);
}

void TskDataSkinHintWindow::LoadFromIni(TCustomIniFile& ini) {
  TskKeyReader v{ini, L"HINTWINDOW"};
  WindowPictureIndex = -1;
  MaskPictureIndex = -1;
  FontName = L"Arial";
  FontHeight = 14;
  FontColor = 0;
  v(L"windowpictureindex", WindowPictureIndex);
  v(L"maskpictureindex", MaskPictureIndex);
  v(L"lefttoppoint", LTPoint);
  v(L"righttoppoint", RTPoint);
  v(L"leftbottompoint", LBPoint);
  v(L"rightbottompoint", RBPoint);
  v(L"clientrect", ClientRect);
  v(L"fontname", FontName);
  v(L"fontheight", FontHeight);
  v(L"fontstyle", FontStyle);
  v(L"fontcolor", FontColor);
  v(L"leftstretch", LeftStretch);
  v(L"rightstretch", RightStretch);
  v(L"topstretch", TopStretch);
  v(L"bottomstretch", BottomStretch);
  v(L"stretcheffect", StretchEffect);
  v(L"stretchtype", StretchType);
}

void TskSkinColors::LoadFromIni(TCustomIniFile& ini) {
  const std::wstring s = L"SKINCOLORS";
  cBtnFace = ReadInteger(ini, s, L"cbtnface", 0);
  cBtnText = ReadInteger(ini, s, L"cbtntext", 0);
  cWindow = ReadInteger(ini, s, L"cwindow", 0);
  cWindowText = ReadInteger(ini, s, L"cwindowtext", 0);
  cHighLight = ReadInteger(ini, s, L"chighlight", 0);
  cHighLightText = ReadInteger(ini, s, L"chighlighttext", 0);
  cBtnHighLight = ReadInteger(ini, s, L"cbtnhighlight", 0);
  cBtnShadow = ReadInteger(ini, s, L"cbtnshadow", 0);
  c3DLight = ReadInteger(ini, s, L"c3dlight", 0);
  c3DDkShadow = ReadInteger(ini, s, L"c3ddkshadow", 0);
}

void TskSkinColors::SetDefault() {
  auto c = [](int i) { return static_cast<TskColor>(GetSysColor(i)); };
  cBtnFace = c(15);
  cBtnText = c(18);
  cWindow = c(5);
  cWindowText = c(8);
  cHighLight = c(13);
  cHighLightText = c(14);
  cBtnHighLight = c(20);
  cBtnShadow = c(16);
  c3DLight = c(22);
  c3DDkShadow = c(21);
}

// ---------------------------------------------------------------------------
// Resource strings

const TskLines& TskResourceStrData::DefaultLines() {
  static const TskLines lines = {
      L"MI_MINCAPTION=Mi&nimize",
      L"MI_MAXCAPTION=Ma&ximize",
      L"MI_CLOSECAPTION=&Close",
      L"MI_RESTORECAPTION=&Restore",
      L"MI_MINTOTRAYCAPTION=Minimize to &Tray",
      L"MI_ROLLUPCAPTION=Ro&llUp",
      L"MINBUTTON_HINT=Minimize",
      L"MAXBUTTON_HINT=Maximize",
      L"CLOSEBUTTON_HINT=Close",
      L"TRAYBUTTON_HINT=Minimize to Tray",
      L"ROLLUPBUTTON_HINT=Roll Up",
      L"MENUBUTTON_HINT=System menu",
      L"EDIT_UNDO=Undo",
      L"EDIT_COPY=Copy",
      L"EDIT_CUT=Cut",
      L"EDIT_PASTE=Paste",
      L"EDIT_DELETE=Delete",
      L"EDIT_SELECTALL=Select All",
      L"MSG_BTN_YES=&Yes",
      L"MSG_BTN_NO=&No",
      L"MSG_BTN_OK=OK",
      L"MSG_BTN_CANCEL=Cancel",
      L"MSG_BTN_ABORT=&Abort",
      L"MSG_BTN_RETRY=&Retry",
      L"MSG_BTN_IGNORE=&Ignore",
      L"MSG_BTN_ALL=&All",
      L"MSG_BTN_NOTOALL=N&oToAll",
      L"MSG_BTN_YESTOALL=&YesToAll",
      L"MSG_BTN_HELP=&Help",
      L"MSG_BTN_OPEN=&Open",
      L"MSG_BTN_SAVE=&Save",
      L"MSG_BTN_CLOSE=Close",
      L"MSG_BTN_BACK_HINT=Go To Last Folder Visited",
      L"MSG_BTN_UP_HINT=Up One Level",
      L"MSG_BTN_NEWFOLDER_HINT=Create New Folder",
      L"MSG_BTN_VIEWMENU_HINT=View Menu",
      L"MSG_BTN_STRETCH_HINT=Stretch Picture",
      L"MSG_FILENAME=File name:",
      L"MSG_FILETYPE=File type:",
      L"MSG_NEWFOLDER=New Folder",
      L"MSG_LV_DETAILS=Details",
      L"MSG_LV_ICON=Large icons",
      L"MSG_LV_SMALLICON=Small icons",
      L"MSG_LV_LIST=List",
      L"MSG_PREVIEWSKIN=Preview",
      L"MSG_PREVIEWBUTTON=Button",
      L"MSG_OVERWRITE=Do you want to overwrite old file?",
      L"MSG_CAP_WARNING=Warning",
      L"MSG_CAP_ERROR=Error",
      L"MSG_CAP_INFORMATION=Information",
      L"MSG_CAP_CONFIRM=Confirm",
      L"MSG_CAP_SHOWFLAG=Do not display this message again",
      L"CALC_CAP=Calculator",
      L"ERROR=Error",
      L"COLORGRID_CAP=Basic colors",
      L"CUSTOMCOLORGRID_CAP=Custom colors",
      L"ADDCUSTOMCOLORBUTTON_CAP=Add to Custom Colors",
      L"FONTDLG_COLOR=Color:",
      L"FONTDLG_NAME=Name:",
      L"FONTDLG_SIZE=Size:",
      L"FONTDLG_HEIGHT=Height:",
      L"FONTDLG_EXAMPLE=Example:",
      L"FONTDLG_STYLE=Style:",
      L"FONTDLG_SCRIPT=Script:",
      L"DB_DELETE_QUESTION=Delete record?",
      L"DB_MULTIPLEDELETE_QUESTION=Delete all selected records?",
      L"NODISKINDRIVE=There is no disk in Drive or Drive is not ready",
      L"NOVALIDDRIVEID=Not a valid Drive ID",
      L"FLV_NAME=Name",
      L"FLV_SIZE=Size",
      L"FLV_TYPE=Type",
      L"FLV_LOOKIN=Look in: ",
      L"FLV_MODIFIED=Modified",
      L"FLV_ATTRIBUTES=Attributes",
      L"FLV_DISKSIZE=Disk Size",
      L"FLV_FREESPACE=Free Space",
      L"PRNDLG_NAME=Name:",
      L"PRNDLG_PRINTER=Printer",
      L"PRNDLG_PROPERTIES=Properties...",
      L"PRNDLG_TYPE=Type:",
      L"PRNDLG_STATUS=Status:",
      L"PRNDLG_WHERE=Where:",
      L"PRNDLG_COMMENT=Comment:",
      L"PRNDLG_PRINTRANGE=Print range",
      L"PRNDLG_COPIES=Copies",
      L"PRNDLG_NUMCOPIES=Number of copies:",
      L"PRNDLG_COLLATE=Collate",
      L"PRNDLG_ALL=All",
      L"PRNDLG_PAGES=Pages",
      L"PRNDLG_SELECTION=Selection",
      L"PRNDLG_PRINTTOFILE=Print to file",
      L"PRNDLG_FROM=from:",
      L"PRNDLG_TO=to:",
      L"PRNDLG_ORIENTATION=Orientation",
      L"PRNDLG_PAPER=Paper",
      L"PRNDLG_PORTRAIT=Portrait",
      L"PRNDLG_LANDSCAPE=Landscape",
      L"PRNDLG_SOURCE=Source:",
      L"PRNDLG_SIZE=Size:",
      L"PRNDLG_MARGINS=Margins (millimeters)",
      L"PRNDLG_MARGINS_INCHES=Margins (inches)",
      L"PRNDLG_LEFT=Left:",
      L"PRNDLG_RIGHT=Right:",
      L"PRNDLG_TOP=Top:",
      L"PRNDLG_BOTTOM=Bottom:",
      L"PRNDLG_WARNING=There are no printers in your system!",
      L"FIND_NEXT=Find next",
      L"FIND_WHAT=Find what:",
      L"FIND_DIRECTION=Direction",
      L"FIND_DIRECTIONUP=Up",
      L"FIND_DIRECTIONDOWN=Down",
      L"FIND_MATCH_CASE=Match case",
      L"FIND_MATCH_WHOLE_WORD_ONLY=Match whole word only",
      L"FIND_REPLACE_WITH=Replace with:",
      L"FIND_REPLACE=Replace",
      L"FIND_REPLACE_All=Replace All",
      L"FIND_REPLACE_CLOSE=Close",
      L"MORECOLORS=More colors...",
      L"AUTOCOLOR=Automatic",
      L"CUSTOMCOLOR=Custom...",
  };
  return lines;
}

TskResourceStrData::TskResourceStrData(TComponent* AOwner)
    : TComponent(AOwner), ResStrings(DefaultLines()) {}

std::wstring TskResourceStrData::GetResString(const std::wstring& name) const {
  std::wstring want = Lower(name);
  for (const auto& line : ResStrings) {
    size_t eq = line.find(L'=');
    if (eq != std::wstring::npos && Lower(line.substr(0, eq)) == want) return line.substr(eq + 1);
  }
  return {};
}

std::wstring DefaultResString(const std::wstring& name) {
  const TskLines& lines = TskResourceStrData::DefaultLines();
  std::wstring want = Lower(name);
  for (size_t i = 0; i < 18 && i < lines.size(); ++i) {
    size_t eq = lines[i].find(L'=');
    if (Lower(lines[i].substr(0, eq)) == want) return lines[i].substr(eq + 1);
  }
  return {};
}

// ---------------------------------------------------------------------------
// Compressed skins

namespace {

[[noreturn]] void StreamReadError() {
  throw ESkinError("Stream read error");
}

class TByteReader {
public:
  TByteReader(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
  size_t Left() const { return FSize - FPos; }
  size_t Pos() const { return FPos; }
  int32_t Int32() {
    if (Left() < 4) StreamReadError();
    const uint8_t* p = FData + FPos;
    FPos += 4;
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                uint32_t(p[3]) << 24);
  }
  uint8_t Byte() {
    if (Left() < 1) StreamReadError();
    return FData[FPos++];
  }
  // One BMP file image whose length is its header's size field.
  void Bitmap(TskPicture& picture) {
    if (Left() < 14 + 12 || FData[FPos] != 'B' || FData[FPos + 1] != 'M')
      throw ESkinError("Bitmap image is not valid");
    const uint8_t* p = FData + FPos + 2;
    uint32_t size =
        uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    if (size < 14 + 12 || size > Left()) StreamReadError();
    picture.LoadFromBmpBytes(FData + FPos, size);
    FPos += size;
  }
  const uint8_t* Rest() const { return FData + FPos; }

private:
  const uint8_t* FData;
  size_t FSize;
  size_t FPos = 0;
};

void PutInt32(std::vector<uint8_t>& out, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

std::string Utf8(const std::wstring& s) {
  if (s.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

} // namespace

bool ReadSkinStream(const std::vector<uint8_t>& data, TskSkinStreamContent& content) {
  TByteReader r(data.data(), data.size());
  int v = r.Int32();
  if (v > 3) return false;
  TskSkinStreamContent c;
  c.Version = v;
  auto picture = [&](TskPicture& p) {
    if (r.Byte() == 0) r.Bitmap(p);
  };
  picture(c.Picture);
  if (v == 2 || v == 3) picture(c.InactivePicture);
  picture(c.MaskPicture);
  if (v == 1 || v == 2) {
    picture(c.RollUpPicture);
    picture(c.RollUpMaskPicture);
  }
  int count = r.Int32();
  if (count > 0 && static_cast<size_t>(count) > r.Left() / 26) StreamReadError();
  for (int i = 0; i < count; ++i) {
    c.ActivePictures.emplace_back();
    r.Bitmap(c.ActivePictures.back());
  }
  c.IniText = DecodeSkinText(r.Rest(), r.Left());
  content = std::move(c);
  return true;
}

std::vector<uint8_t> WriteSkinStream(const TskSkinStreamContent& c) {
  std::vector<uint8_t> out;
  PutInt32(out, c.Version);
  auto picture = [&](const TskPicture& p) {
    if (p.Empty()) {
      out.push_back(1);
      return;
    }
    out.push_back(0);
    std::vector<uint8_t> bmp = p.SaveToBmpBytes();
    out.insert(out.end(), bmp.begin(), bmp.end());
  };
  int v = c.Version;
  picture(c.Picture);
  if (v == 2 || v == 3) picture(c.InactivePicture);
  picture(c.MaskPicture);
  if (v == 1 || v == 2) {
    picture(c.RollUpPicture);
    picture(c.RollUpMaskPicture);
  }
  PutInt32(out, static_cast<int32_t>(c.ActivePictures.size()));
  for (const auto& p : c.ActivePictures) {
    std::vector<uint8_t> bmp = p.SaveToBmpBytes();
    out.insert(out.end(), bmp.begin(), bmp.end());
  }
  std::string text = Utf8(c.IniText);
  out.insert(out.end(), text.begin(), text.end());
  return out;
}

void TskCompressedStoredSkin::LoadFromCompressedBytes(const uint8_t* data, size_t size) {
  CompressedData.clear();
  TByteReader r(data, size);
  int version = r.Int32();
  if (version > 3) return;
  int n = r.Int32();
  if (n < 0 || static_cast<size_t>(n) > r.Left()) StreamReadError();
  CompressedData.assign(r.Rest(), r.Rest() + n);
}

void TskCompressedStoredSkin::LoadFromCompressedStream(TStream& stream) {
  CompressedData.clear();
  stream.SetPosition(0);
  int64_t size = stream.Size();
  if (size < 0 || size > (256 << 20)) StreamReadError();
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size > 0) stream.ReadBuffer(bytes.data(), static_cast<long>(size));
  LoadFromCompressedBytes(bytes.data(), bytes.size());
}

void TskCompressedStoredSkin::SaveToCompressedStream(TStream& stream) const {
  std::vector<uint8_t> bytes = SaveToCompressedBytes();
  stream.WriteBuffer(bytes.data(), static_cast<long>(bytes.size()));
}

void TskCompressedStoredSkin::LoadFromCompressedFile(const std::wstring& fileName) {
  CompressedData.clear();
  std::vector<uint8_t> bytes = ReadWholeFile(fileName);
  LoadFromCompressedBytes(bytes.data(), bytes.size());
}

bool TskCompressedStoredSkin::LoadFromResource(HMODULE module, const wchar_t* name) {
  if (!module) module = GetModuleHandleW(nullptr);
  HRSRC res = FindResourceW(module, name, MAKEINTRESOURCEW(10)); // RT_RCDATA
  if (!res) return false;
  HGLOBAL h = LoadResource(module, res);
  DWORD size = SizeofResource(module, res);
  const void* p = h ? LockResource(h) : nullptr;
  if (!p) return false;
  LoadFromCompressedBytes(static_cast<const uint8_t*>(p), size);
  return true;
}

std::vector<uint8_t> TskCompressedStoredSkin::SaveToCompressedBytes() const {
  std::vector<uint8_t> out;
  PutInt32(out, 2);
  PutInt32(out, static_cast<int32_t>(CompressedData.size()));
  out.insert(out.end(), CompressedData.begin(), CompressedData.end());
  return out;
}

bool TskCompressedStoredSkin::CompressFromIniFile(const std::wstring& iniFileName) {
  std::vector<uint8_t> bytes = ReadWholeFile(iniFileName);
  TskSkinStreamContent c;
  c.IniText = DecodeSkinText(bytes.data(), bytes.size());
  TMemIniFile ini;
  ini.SetText(c.IniText);
  if (!IsSkinIni(ini)) return false;
  std::wstring folder = iniFileName.substr(0, iniFileName.find_last_of(L"\\/") + 1);
  if (iniFileName.find_last_of(L"\\/") == std::wstring::npos) folder.clear();
  auto load = [&](const wchar_t* key, TskPicture& p) {
    std::wstring name = ini.ReadString(L"PICTURES", key, L"");
    if (!name.empty()) p.LoadFromFile(folder + name);
  };
  c.Version = 2;
  load(L"picture", c.Picture);
  load(L"inactivepicture", c.InactivePicture);
  load(L"mask", c.MaskPicture);
  load(L"rolluppicture", c.RollUpPicture);
  load(L"rollupmask", c.RollUpMaskPicture);
  TskLines names;
  ReadList(ini, L"PICTURES", L"activepictures", names);
  for (const auto& n : names) {
    c.ActivePictures.emplace_back();
    c.ActivePictures.back().LoadFromFile(folder + n);
  }
  CompressedData = CompressBytes(WriteSkinStream(c), zcMax);
  FileName = iniFileName;
  return true;
}

std::vector<uint8_t> TskCompressedStoredSkin::DecompressToBytes() const {
  return DecompressBytes(CompressedData);
}

void TskCompressedStoredSkin::DecompressToStream(TStream& stream) const {
  TMemoryStream source;
  if (!CompressedData.empty())
    source.WriteBuffer(CompressedData.data(), static_cast<long>(CompressedData.size()));
  DecompressStream(stream, source);
}

TskSkinListItem::TskSkinListItem(TCollection* collection) : TCollectionItem(collection) {
  Name = L"skSkin" + std::to_wstring(Index());
}

TskSkinListItems::TskSkinListItems(TPersistent* owner)
    : TCollection(owner, [](TCollection* c) { return new TskSkinListItem(c); }) {}

// ---------------------------------------------------------------------------
// Loading

namespace {

void LoadFormInfo(TMemIniFile& ini, TskSkinContent& c) {
  TskKeyReader v{ini, L"FORMINFO"};
  v(L"lefttoppoint", c.LTPoint);
  v(L"righttoppoint", c.RTPoint);
  v(L"leftbottompoint", c.LBPoint);
  v(L"rightbottompoint", c.RBPoint);
  v(L"clientrect", c.ClientRect);
  v(L"bgpictureindex", c.BGPictureIndex);
  v(L"mdibgpictureindex", c.MDIBGPictureIndex);
  v(L"leftstretch", c.LeftStretch);
  v(L"rightstretch", c.RightStretch);
  v(L"topstretch", c.TopStretch);
  v(L"bottomstretch", c.BottomStretch);
  v(L"stretcheffect", c.StretchEffect);
  v(L"stretchtype", c.StretchType);
  v(L"mdibgstretcheffect", c.MDIBGStretchEffect);
  v(L"mdibgstretchtype", c.MDIBGStretchType);
  v(L"buttonsrect", c.ButtonsRect);
  v(L"captionrect", c.CaptionRect);
  v(L"buttonsoffset", c.ButtonsOffset);
  v(L"buttonsinleft", c.ButtonsInLeft);
  v(L"maskrectarea", c.MaskRectArea);
  v(L"hittestlefttoppoint", c.HitTestLTPoint);
  v(L"hittestrighttoppoint", c.HitTestRTPoint);
  v(L"hittestleftbottompoint", c.HitTestLBPoint);
  v(L"hittestrightbottompoint", c.HitTestRBPoint);
  v(L"rollupleftpoint", c.RollUpLeftPoint);
  v(L"rolluprightpoint", c.RollUpRightPoint);
  if (!c.MaskPictureName.empty()) {
    RECT& m = c.MaskRectArea;
    const RECT& cr = c.ClientRect;
    if (IsNullRect(m)) {
      m = cr;
    } else {
      m.left = std::min(m.left, cr.left);
      m.top = std::min(m.top, cr.top);
      m.right = std::max(m.right, cr.right);
      m.bottom = std::max(m.bottom, cr.bottom);
    }
    auto fix = [](POINT& h, const POINT& corner) {
      if (h.x == 0 || h.y == 0) h = corner;
    };
    fix(c.HitTestLTPoint, c.LTPoint);
    fix(c.HitTestRTPoint, c.RTPoint);
    fix(c.HitTestLBPoint, c.LBPoint);
    fix(c.HitTestRBPoint, c.RBPoint);
  }
  v(L"mainmenurect", c.MainMenuRect);
  v(L"iconrect", c.IconRect);
  v(L"mainmenupopupup", c.MainMenuPopupUp);
  v(L"borderwidth", c.BorderW);
  v(L"formminwidth", c.FormMinWidth);
  v(L"mditabstransparent", c.MDITabsTransparent);
  v(L"mainmenubartransparent", c.MainMenuBarTransparent);
  v(L"cursorindex", c.FormCursorIndex);
  v(L"autorenderinginactiveimage", c.AutoRenderingInActiveImage);
  v(L"inactiveeffect", c.InActiveEffect);
  if (c.RBPoint.x != c.LTPoint.x && c.RBPoint.y != c.LTPoint.y) {
    const RECT& cr = c.ClientRect;
    c.LTPoint.x = std::max<LONG>(c.LTPoint.x, cr.left);
    c.LTPoint.y = std::max<LONG>(c.LTPoint.y, cr.top);
    c.RTPoint.x = std::min<LONG>(c.RTPoint.x, cr.right);
    c.RTPoint.y = std::max<LONG>(c.RTPoint.y, cr.top);
    c.LBPoint.x = std::max<LONG>(c.LBPoint.x, cr.left);
    c.LBPoint.y = std::min<LONG>(c.LBPoint.y, cr.bottom);
    c.RBPoint.x = std::min<LONG>(c.RBPoint.x, cr.right);
    c.RBPoint.y = std::min<LONG>(c.RBPoint.y, cr.bottom);
  }
  v(L"sizegriparea", c.SizeGripArea);
  v(L"statusbarname", c.StatusBarName);
}

// "name:kind" split at the first colon; no colon gives two empty parts.
void SplitEntry(const std::wstring& s, std::wstring& a, std::wstring& b) {
  size_t colon = s.find(L':');
  if (colon == std::wstring::npos) {
    a.clear();
    b.clear();
    return;
  }
  a = s.substr(0, colon);
  b = s.substr(colon + 1);
}

void LoadLists(TMemIniFile& ini, TskSkinContent& c) {
  int n = std::min(ReadInteger(ini, L"SKINAREAS", L"count", 0), kMaxListCount);
  for (int i = 0; i < n; ++i) {
    std::wstring name, rect;
    SplitEntry(ini.ReadString(L"SKINAREAS", std::to_wstring(i), L""), name, rect);
    auto area = std::make_unique<TskDataSkinArea>();
    area->IDName = name;
    if (!StrToRect(rect, area->AreaRect)) area->AreaRect = RECT{0, 0, 0, 0};
    c.AreaList.push_back(std::move(area));
  }
  n = std::min(ReadInteger(ini, L"SKINOBJECTS", L"count", 0), kMaxListCount);
  for (int i = 0; i < n; ++i) {
    std::wstring name, kind;
    SplitEntry(ini.ReadString(L"SKINOBJECTS", std::to_wstring(i), L""), name, kind);
    if (auto d = CreateObjectDescription(kind, name)) {
      d->LoadFromIni(ini);
      c.ObjectList.push_back(std::move(d));
    }
  }
  n = std::min(ReadInteger(ini, L"SKINCONTROLS", L"count", 0), kMaxListCount);
  for (int i = 0; i < n; ++i) {
    std::wstring name, kind;
    SplitEntry(ini.ReadString(L"SKINCONTROLS", std::to_wstring(i), L""), name, kind);
    if (auto d = CreateControlDescription(kind, name)) {
      d->LoadFromIni(ini);
      c.ControlList.push_back(std::move(d));
    }
  }
}

} // namespace

void LoadSkinContent(TMemIniFile& ini, const std::wstring& folder,
                     const TskSkinStreamContent* stream, TskSkinContent& c) {
  const std::wstring V = L"VERSION", P = L"PICTURES";
  c.SkinName = ini.ReadString(V, L"skinname", L"");
  c.SkinAuthor = ini.ReadString(V, L"skinauthor", L"");
  c.AuthorEMail = ini.ReadString(V, L"authoremail", L"");
  c.AuthorURL = ini.ReadString(V, L"authorurl", L"");
  c.SkinComments = ini.ReadString(V, L"skincomments", L"");
  c.PictureName = ini.ReadString(P, L"picture", L"");
  c.MaskPictureName = ini.ReadString(P, L"mask", L"");
  c.RollUpPictureName = ini.ReadString(P, L"rolluppicture", L"");
  c.RollUpMaskPictureName = ini.ReadString(P, L"rollupmask", L"");
  ReadList(ini, P, L"activepictures", c.ActivePictureNames);
  if (stream) {
    c.Picture = stream->Picture;
    c.InactivePicture = stream->InactivePicture;
    c.MaskPicture = stream->MaskPicture;
    c.RollUpPicture = stream->RollUpPicture;
    c.RollUpMaskPicture = stream->RollUpMaskPicture;
    c.ActivePictures = stream->ActivePictures;
  } else {
    c.InactivePictureName = ini.ReadString(P, L"inactivepicture", L"");
    auto load = [&](const std::wstring& name, TskPicture& pic) {
      if (!name.empty()) pic.LoadFromFile(folder + name);
    };
    load(c.PictureName, c.Picture);
    load(c.InactivePictureName, c.InactivePicture);
    load(c.MaskPictureName, c.MaskPicture);
    load(c.RollUpPictureName, c.RollUpPicture);
    load(c.RollUpMaskPictureName, c.RollUpMaskPicture);
    for (const auto& name : c.ActivePictureNames) {
      c.ActivePictures.emplace_back();
      c.ActivePictures.back().LoadFromFile(folder + name);
    }
    c.StartCursorIndex = std::max(1, ReadInteger(ini, L"CURSORS", L"startcursorindex", 1));
    ReadList(ini, L"CURSORS", L"cursors", c.CursorNames);
    for (const auto& name : c.CursorNames)
      c.Cursors.push_back(
          IsOrdinaryFile(folder + name) ? LoadCursorFromFileW((folder + name).c_str()) : nullptr);
  }
  LoadFormInfo(ini, c);
  c.PopupWindow.LoadFromIni(ini);
  c.HintWindow.LoadFromIni(ini);
  c.SkinColors.LoadFromIni(ini);
  LoadLists(ini, c);
}

// ---------------------------------------------------------------------------
// TskSkinData

namespace {

TskSkinData::TFormsProvider& FormsProvider() {
  static TskSkinData::TFormsProvider provider;
  return provider;
}

BOOL CALLBACK CollectWindow(HWND h, LPARAM l) {
  reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
  return TRUE;
}

// The screen's forms in its order, each with its window made; without a
// screen the calling thread's top-level windows.
std::vector<HWND> ScreenForms() {
  std::vector<HWND> forms;
  if (!Screen) {
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&forms));
    return forms;
  }
  std::vector<TCustomForm*> list;
  for (int i = 0; i < Screen->FormCount(); ++i)
    list.push_back(Screen->Forms(i));
  for (TCustomForm* f : list)
    if (!(f->ComponentState() & csDestroying)) forms.push_back(f->Handle());
  return forms;
}

void DestroyCursors(std::vector<HCURSOR>& cursors) {
  for (HCURSOR c : cursors)
    if (c) DestroyCursor(c);
  cursors.clear();
}

} // namespace

void TskSkinData::SetFormsProvider(TFormsProvider provider) {
  FormsProvider() = std::move(provider);
}

TskSkinData::TskSkinData(TComponent* AOwner) : TComponent(AOwner), FOwnerForm(nullptr) {
  HintWindow.FontHeight = 12;
}

TskSkinData::~TskSkinData() {
  // Those that refer to the skin data hear of its end while it is still whole.
  Destroying();
  FEmpty = true;
  RemoveCursors();
  DestroyCursors(Cursors);
}

HWND TskSkinData::OwnerForm() {
  if (FOwnerForm) return IsWindow(FOwnerForm) ? FOwnerForm : nullptr;
  auto* form = dynamic_cast<TCustomForm*>(Owner());
  if (!form || (form->ComponentState() & csDestroying)) return nullptr;
  return form->Handle();
}

void TskSkinData::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FStoredSkin) FStoredSkin = nullptr;
  if (AComponent == FResourceStrData) FResourceStrData = nullptr;
  if (AComponent == FSkinList) FSkinList = nullptr;
}

void TskSkinData::InstallCursors() {
  if (!Screen) return;
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  for (size_t i = 0; i < Cursors.size(); ++i) {
    int number = StartCursorIndex + static_cast<int>(i);
    HCURSOR previous = Screen->Cursors(number);
    // Numbers without an entry give the arrow; giving them back means removing.
    FScreenCursors.push_back({number, previous == arrow ? nullptr : previous, Cursors[i]});
    Screen->SetCursors(number, Cursors[i]);
  }
}

void TskSkinData::RemoveCursors() {
  if (Screen) {
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    for (auto it = FScreenCursors.rbegin(); it != FScreenCursors.rend(); ++it) {
      HCURSOR now = Screen->Cursors(it->Number);
      // A number that someone else has taken over since is left alone.
      if (now == it->Ours || (!it->Ours && now == arrow))
        Screen->SetCursors(it->Number, it->Previous);
    }
  }
  FScreenCursors.clear();
}

void TskSkinData::SetSkinnableForm(bool value) {
  if (value == FSkinnableForm) return;
  FSkinnableForm = value;
  if (!(ComponentState() & (csDesigning | csLoading)))
    BroadcastSkinMessage(WM_SKINNABLEFORMCHANGED);
}

namespace {
// Moves a component link, asking the new target for free notification.
template <class T> void Relink(TComponent* self, T*& field, T* value) {
  if (field && field != value) self->RemoveFreeNotification(field);
  field = value;
  if (value) value->FreeNotification(self);
}
} // namespace

void TskSkinData::SetCompressedStoredSkin(TskCompressedStoredSkin* skin) {
  Relink(this, FStoredSkin, skin);
  if (skin && !(ComponentState() & csDesigning)) LoadSkinFromStoredSkin(*skin);
}

void TskSkinData::SetResourceStrData(TskResourceStrData* data) {
  Relink(this, FResourceStrData, data);
  if (!(ComponentState() & csDesigning)) BroadcastSkinMessage(WM_SKINRESSTRCHANGED);
}

void TskSkinData::SetSkinList(TskCompressedSkinList* list) {
  Relink(this, FSkinList, list);
  if (ComponentState() & csDesigning) return;
  if (list && FSkinIndex >= 0 && FSkinIndex < list->Skins()->Count())
    LoadSkinFromStoredSkin(list->Skins()->Items(FSkinIndex)->Skin);
}

void TskSkinData::SetSkinIndex(int index) {
  if (index == FSkinIndex) return;
  if (!FSkinList) {
    FSkinIndex = index;
    return;
  }
  if (index < 0 || index >= FSkinList->Skins()->Count()) return;
  FSkinIndex = index;
  if (!(ComponentState() & csDesigning))
    LoadSkinFromStoredSkin(FSkinList->Skins()->Items(index)->Skin);
}

void TskSkinData::BeginLoad() {
  FLastError.clear();
  FSkinChanging = true;
  BroadcastSkinMessage(WM_SKINCHANGING);
  FEmpty = true;
}

void TskSkinData::FinishLoad(bool loaded) {
  // After a failure the previous skin is still complete; only a skin data that
  // never held one stays empty.
  FEmpty = loaded ? false
                  : PictureName.empty() && ControlList.empty() && ObjectList.empty() &&
                        Picture.Empty() && AreaList.empty();
  BroadcastSkinMessage(WM_SKINCHANGED);
  FSkinChanging = false;
  BroadcastSkinMessage(WM_SKINAFTERCHANGE);
}

bool TskSkinData::LoadSkinFromIni(const std::wstring& fileName) {
  TMemIniFile ini;
  try {
    std::vector<uint8_t> bytes = ReadWholeFile(fileName, 16u << 20);
    ini.SetText(DecodeSkinText(bytes.data(), bytes.size()));
  } catch (const std::exception& e) {
    FLastError = e.what();
    return false;
  }
  if (!IsSkinIni(ini)) return false;
  bool wasEmpty = FEmpty;
  BeginLoad();
  bool loaded = false;
  try {
    size_t slash = fileName.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? L"" : fileName.substr(0, slash + 1);
    TskSkinContent next;
    TScopeGuard discard([&] { DestroyCursors(next.Cursors); });
    LoadSkinContent(ini, folder, nullptr, next);
    discard.Dismiss();
    RemoveCursors();
    DestroyCursors(Cursors);
    static_cast<TskSkinContent&>(*this) = std::move(next);
    InstallCursors();
    loaded = true;
  } catch (const std::exception& e) {
    FLastError = e.what();
  }
  (void)wasEmpty;
  FinishLoad(loaded);
  return loaded;
}

bool TskSkinData::LoadSkinFromStoredSkin(const TskCompressedStoredSkin& skin) {
  if (skin.IsEmpty()) return false;
  BeginLoad();
  bool loaded = false;
  try {
    TskSkinStreamContent stream;
    if (!ReadSkinStream(skin.DecompressToBytes(), stream))
      throw ESkinError("Unknown skin stream version");
    TMemIniFile ini;
    ini.SetText(stream.IniText);
    TskSkinContent next;
    LoadSkinContent(ini, L"", &stream, next);
    // A stored skin has no cursors: those of an earlier INI skin stay.
    next.Cursors = std::move(Cursors);
    next.CursorNames = std::move(CursorNames);
    next.StartCursorIndex = StartCursorIndex;
    static_cast<TskSkinContent&>(*this) = std::move(next);
    loaded = true;
  } catch (const std::exception& e) {
    FLastError = e.what();
  }
  FinishLoad(loaded);
  return loaded;
}

bool TskSkinData::LoadSkinFromSknFile(const std::wstring& fileName) {
  TskCompressedStoredSkin skin;
  try {
    skin.LoadFromCompressedFile(fileName);
  } catch (const std::exception& e) {
    FLastError = e.what();
    return false;
  }
  if (skin.IsEmpty()) return false;
  return LoadSkinFromStoredSkin(skin);
}

bool TskSkinData::LoadBuiltinSkin(HMODULE module) {
  TskCompressedStoredSkin skin;
  try {
    if (!skin.LoadFromResource(module, BUILTIN_SKIN_RESOURCE)) return false;
  } catch (const std::exception& e) {
    FLastError = e.what();
    return false;
  }
  return LoadSkinFromStoredSkin(skin);
}

int TskSkinData::FindObjectDescription(const std::wstring& name) const {
  for (size_t i = 0; i < ObjectList.size(); ++i)
    if (ObjectList[i]->IDName == name) return static_cast<int>(i);
  return -1;
}

int TskSkinData::FindControlDescription(const std::wstring& name) const {
  for (size_t i = 0; i < ControlList.size(); ++i)
    if (ControlList[i]->IDName == name) return static_cast<int>(i);
  return -1;
}

int TskSkinData::FindSkinArea(const std::wstring& name) const {
  for (size_t i = 0; i < AreaList.size(); ++i)
    if (AreaList[i]->IDName == name) return static_cast<int>(i);
  return -1;
}

TskDataSkinControl* TskSkinData::ControlAt(int index) const {
  return index >= 0 && index < static_cast<int>(ControlList.size())
             ? ControlList[static_cast<size_t>(index)].get()
             : nullptr;
}

TskDataSkinObject* TskSkinData::ObjectAt(int index) const {
  return index >= 0 && index < static_cast<int>(ObjectList.size())
             ? ObjectList[static_cast<size_t>(index)].get()
             : nullptr;
}

TskDataSkinArea* TskSkinData::AreaAt(int index) const {
  return index >= 0 && index < static_cast<int>(AreaList.size())
             ? AreaList[static_cast<size_t>(index)].get()
             : nullptr;
}

const TskPicture* TskSkinData::ActivePicture(int index) const {
  if (index < 0 || index >= static_cast<int>(ActivePictures.size())) return nullptr;
  const TskPicture* p = &ActivePictures[static_cast<size_t>(index)];
  return p->Empty() ? nullptr : p;
}

HCURSOR TskSkinData::SkinCursor(int index) const {
  if (index < 0 || index >= static_cast<int>(Cursors.size())) return nullptr;
  return Cursors[static_cast<size_t>(index)];
}

void TskSkinData::ClearDescriptions() {
  AreaList.clear();
  ObjectList.clear();
  ControlList.clear();
  ActivePictures.clear();
  PopupWindow.WindowPictureIndex = -1;
  HintWindow.WindowPictureIndex = -1;
  CursorNames.clear();
  ActivePictureNames.clear();
  SkinColors.SetDefault();
}

void TskSkinData::ClearSkin() {
  ClearDescriptions();
  Picture.Clear();
  InactivePicture.Clear();
  MaskPicture.Clear();
  RollUpPicture.Clear();
  RollUpMaskPicture.Clear();
  PictureName.clear();
  InactivePictureName.clear();
  MaskPictureName.clear();
  RollUpPictureName.clear();
  RollUpMaskPictureName.clear();
  FEmpty = true;
}

void TskSkinData::BroadcastSkinMessage(UINT message) {
  WPARAM w = reinterpret_cast<WPARAM>(this);
  HWND owner = OwnerForm();
  if (owner) SendMessageW(owner, message, w, SKIN_MESSAGE_LPARAM);
  std::vector<HWND> forms = FormsProvider() ? FormsProvider()() : ScreenForms();
  for (HWND f : forms)
    if (f != owner && IsWindow(f)) SendMessageW(f, message, w, SKIN_MESSAGE_LPARAM);
}

bool SkinEffectsOn(const TskSkinData* Data) {
  return Data && !Data->Empty() && Data->EnableSkinEffects;
}

void ApplySkinCharset(const TskSkinData* Data, TFont* F, const TFont* Def) {
  if (Data && Data->ResourceStrData())
    F->SetCharset(static_cast<BYTE>(Data->ResourceStrData()->CharSet));
  else if (Def)
    F->SetCharset(Def->Charset());
}
