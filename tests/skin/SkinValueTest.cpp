// INI value forms, description defaults and resource strings.
#include <gtest/gtest.h>

#include "framework/IniFiles.h"
#include "skin/SkinData.h"

namespace {

struct IntCase {
  const wchar_t* text;
  int def;
  int expected;
};

class SkinIntegerTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(SkinIntegerTest, ReadsValueOrDefault) {
  const IntCase& c = GetParam();
  TMemIniFile ini;
  ini.SetText(std::wstring(L"[S]\r\nk=") + c.text + L"\r\n");
  EXPECT_EQ(ReadInteger(ini, L"S", L"k", c.def), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Forms, SkinIntegerTest,
                         ::testing::Values(IntCase{L"12", 0, 12}, IntCase{L"-1", 0, -1},
                                           IntCase{L"0x10", 0, 16}, IntCase{L"$1F", 0, 31},
                                           IntCase{L"+7", 0, 7}, IntCase{L"abc", 5, 5},
                                           IntCase{L"", 9, 9}, IntCase{L"1,,2", 3, 3},
                                           IntCase{L"12x", -1, -1},
                                           IntCase{L"4278190095", 0, static_cast<int>(0xFF00000Fu)},
                                           IntCase{L"99999999999", 4, 4}));

struct RectCase {
  const wchar_t* text;
  RECT expected;
};

class SkinRectTest : public ::testing::TestWithParam<RectCase> {};

TEST_P(SkinRectTest, ParsesNumberSyntax) {
  const RectCase& c = GetParam();
  TMemIniFile ini;
  ini.SetText(std::wstring(L"[S]\r\nr=") + c.text + L"\r\n");
  RECT r = ReadRect(ini, L"S", L"r");
  EXPECT_TRUE(RectsEqual(r, c.expected))
      << c.text << " -> " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SkinRectTest,
    ::testing::Values(RectCase{L"1,2,3,4", {1, 2, 3, 4}}, RectCase{L"1, 2, 3, 4", {1, 2, 3, 4}},
                      RectCase{L"-5,2,30,40", {5, 2, 30, 40}}, RectCase{L"1,2,3,4,5", {1, 2, 3, 4}},
                      // Malformed values read as the empty rectangle, never an error.
                      RectCase{L"1,,2,3", {0, 0, 0, 0}}, RectCase{L"1,2,3", {0, 0, 0, 0}},
                      RectCase{L"", {0, 0, 0, 0}}, RectCase{L"abc", {0, 0, 0, 0}},
                      RectCase{L"1,2,3,99999999999", {0, 0, 0, 0}}));

TEST(SkinValue, PointsBooleansStylesAndEnumerations) {
  TMemIniFile ini;
  ini.SetText(L"[S]\r\np=3,-7\r\nbad=5\r\nb1=1\r\nb2=2\r\nbw=yes\r\n"
              L"fs=fsbold fsunderline\r\nfsc=FSBOLD\r\nst1=stvert\r\nst2=STVERT\r\nst3=stfull\r\n"
              L"mk1=mkpush\r\nmk2=mkPush\r\nie1=ieinvert\r\nie2=foo\r\nal1=taleftjustify\r\n"
              L"al2=x\r\nlcount=2\r\n0=a\r\nlinescount=x\r\nsymlinecount=2\r\nsymline0=A\r\n"
              L"symline1=B\r\n");
  POINT p = ReadPoint(ini, L"S", L"p");
  EXPECT_EQ(p.x, 3);
  EXPECT_EQ(p.y, 7);
  p = ReadPoint(ini, L"S", L"bad");
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  EXPECT_TRUE(ReadBoolean(ini, L"S", L"b1"));
  EXPECT_FALSE(ReadBoolean(ini, L"S", L"b2"));
  EXPECT_FALSE(ReadBoolean(ini, L"S", L"bw"));
  EXPECT_FALSE(ReadBoolean(ini, L"S", L"missing"));
  TskFontStyles fs = ReadFontStyles(ini, L"S", L"fs");
  EXPECT_EQ(fs.Bits, unsigned(fsBold | fsUnderline));
  EXPECT_EQ(ReadFontStyles(ini, L"S", L"fsc").Bits, 0u);
  EXPECT_EQ(ReadStretchType(ini, L"S", L"st1"), stVert);
  EXPECT_EQ(ReadStretchType(ini, L"S", L"st2"), stHorz);
  EXPECT_EQ(ReadStretchType(ini, L"S", L"st3"), stFull);
  EXPECT_EQ(ReadStretchType(ini, L"S", L"missing"), stFull);
  EXPECT_EQ(ReadMorphKind(ini, L"S", L"mk1"), mkPush);
  EXPECT_EQ(ReadMorphKind(ini, L"S", L"mk2"), mkDefault);
  EXPECT_EQ(ReadInActiveEffect(ini, L"S", L"ie1"), ieInvert);
  EXPECT_EQ(ReadInActiveEffect(ini, L"S", L"ie2"), ieGrayScale);
  EXPECT_EQ(ReadInActiveEffect(ini, L"S", L"missing"), ieBrightness);
  EXPECT_EQ(ReadAlignment(ini, L"S", L"al1"), taLeftJustify);
  EXPECT_EQ(ReadAlignment(ini, L"S", L"al2"), taRightJustify);
  EXPECT_EQ(ReadAlignment(ini, L"S", L"missing"), taCenter);
  TskLines list;
  ReadList(ini, L"S", L"l", list);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], L"a");
  EXPECT_EQ(list[1], L"");
  TskLines none;
  ReadList(ini, L"S", L"lines", none);
  EXPECT_TRUE(none.empty());
  TskLines sym;
  ReadStrings(ini, L"S", L"sym", sym);
  EXPECT_EQ(sym, (TskLines{L"A", L"B"}));
}

TEST(SkinValue, WritersUseTheReadableForms) {
  TMemIniFile ini;
  WriteRect(ini, L"S", L"r", RECT{1, 2, 3, 4});
  WritePoint(ini, L"S", L"p", POINT{5, 6});
  WriteBoolean(ini, L"S", L"b", true);
  WriteFontStyles(ini, L"S", L"f", TskFontStyles{fsStrikeOut | fsBold});
  WriteStretchType(ini, L"S", L"st", stVert);
  WriteMorphKind(ini, L"S", L"mk", mkLeftSlide);
  WriteAlignment(ini, L"S", L"al", taRightJustify);
  EXPECT_EQ(ini.ReadString(L"S", L"r", L""), L"1,2,3,4");
  EXPECT_EQ(ini.ReadString(L"S", L"p", L""), L"5,6");
  EXPECT_EQ(ini.ReadString(L"S", L"b", L""), L"1");
  EXPECT_EQ(ini.ReadString(L"S", L"f", L""), L"fsbold,fsstrikeout");
  EXPECT_EQ(ini.ReadString(L"S", L"st", L""), L"stvert");
  EXPECT_EQ(ini.ReadString(L"S", L"mk", L""), L"mkleftslide");
  EXPECT_EQ(ini.ReadString(L"S", L"al", L""), L"tarightjustify");
}

TEST(SkinDescription, MissingSectionGivesDefaults) {
  TMemIniFile ini;
  auto button = CreateControlDescription(L"button", L"nothing");
  ASSERT_TRUE(button);
  button->LoadFromIni(ini);
  auto* b = dynamic_cast<TskDataSkinButtonControl*>(button.get());
  ASSERT_TRUE(b);
  EXPECT_EQ(b->PictureIndex, -1);
  EXPECT_EQ(b->CursorIndex, -1);
  EXPECT_TRUE(IsNullRect(b->SkinRect));
  EXPECT_EQ(b->FontName, L"Arial");
  EXPECT_EQ(b->FontHeight, 14);
  EXPECT_EQ(b->AnimateInterval, 25);
  EXPECT_EQ(b->FrameCount, 0);
  EXPECT_EQ(b->MorphKind, mkDefault);
  EXPECT_EQ(b->StretchType, stFull);

  auto lb = CreateControlDescription(L"checklistbox", L"x");
  lb->LoadFromIni(ini);
  auto* c = dynamic_cast<TskDataSkinCheckListBox*>(lb.get());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->VScrollBarName, L"vscrollbar");
  EXPECT_EQ(c->HScrollBarName, L"hscrollbar");
  EXPECT_EQ(c->BothHScrollBarName, L"bothhscrollbar");
  EXPECT_EQ(c->CaptionFontHeight, 14);

  auto std = CreateControlDescription(L"stdlabel", L"x");
  std->LoadFromIni(ini);
  EXPECT_EQ(dynamic_cast<TskDataSkinStdLabelControl*>(std.get())->ActiveFontColor, 16711680);
  auto bar = CreateControlDescription(L"controlbar", L"x");
  bar->LoadFromIni(ini);
  EXPECT_EQ(dynamic_cast<TskDataSkinControlBar*>(bar.get())->ItemOffset1, 3);
  auto bit = CreateObjectDescription(L"bitlabel", L"x");
  bit->LoadFromIni(ini);
  EXPECT_EQ(dynamic_cast<TskDataSkinBitLabel*>(bit.get())->TransparentColor, 16711935);
  auto anim = CreateObjectDescription(L"animate", L"x");
  anim->LoadFromIni(ini);
  EXPECT_EQ(dynamic_cast<TskDataSkinAnimate*>(anim.get())->TimerInterval, 50);
  EXPECT_EQ(dynamic_cast<TskDataSkinAnimate*>(anim.get())->CountFrames, 1);
}

TEST(SkinDescription, KindsAndSpecialRules) {
  TMemIniFile ini;
  ini.SetText(
      L"[fg]\r\nframescount=-3\r\nframesplacement=other\r\n"
      L"[ud]\r\nlefttoppoint=3,3\r\nclientrect=1,1,5,5\r\nupbuttonrect=1,2,3,4\r\n"
      L"[sb]\r\ncommand=cmminimizetotray\r\n[sb2]\r\ncommand=cmclose\r\n"
      L"[mmi]\r\nunenabledfontcolor=77\r\n[uo]\r\nactivepictureindex=2\r\nskinrect=1,2,3,4\r\n"
      L"[mi]\r\ncheckimagerect=1,1,9,9\r\n[tb]\r\nmorphing=1\r\n[g]\r\nkind=other\r\n"
      L"[fr]\r\nkind=rkhorizontal\r\n");
  auto fg = CreateControlDescription(L"framegauge", L"fg");
  fg->LoadFromIni(ini);
  auto* f = dynamic_cast<TskDataSkinFrameControl*>(fg.get());
  EXPECT_EQ(f->FramesCount, 1);
  EXPECT_EQ(f->FramesPlacement, fpVertical);

  auto ud = CreateControlDescription(L"updown", L"ud");
  ud->LoadFromIni(ini);
  auto* u = dynamic_cast<TskDataSkinUpDownControl*>(ud.get());
  EXPECT_EQ(u->LTPoint.x, 0);
  EXPECT_TRUE(IsNullRect(u->ClientRect));
  EXPECT_EQ(u->UpButtonRect.right, 3);

  auto sb = CreateObjectDescription(L"stdbutton", L"sb");
  sb->LoadFromIni(ini);
  EXPECT_EQ(dynamic_cast<TskDataSkinStdButton*>(sb.get())->Command, cmMinimizeToTray);
  auto sb2 = CreateObjectDescription(L"mainmenubarbutton", L"sb2");
  sb2->LoadFromIni(ini);
  EXPECT_EQ(dynamic_cast<TskDataSkinStdButton*>(sb2.get())->Command, cmClose);

  auto mmi = CreateObjectDescription(L"mainmenuitem", L"mmi");
  mmi->LoadFromIni(ini);
  EXPECT_EQ(dynamic_cast<TskDataSkinMainMenuItem*>(mmi.get())->UnEnabledFontColor, 77);

  auto uo = CreateObjectDescription(L"userobject", L"uo");
  uo->LoadFromIni(ini);
  EXPECT_EQ(uo->ActivePictureIndex, -1);
  EXPECT_EQ(uo->SkinRect.right, 3);

  auto mi = CreateObjectDescription(L"menuitem", L"mi");
  mi->LoadFromIni(ini);
  auto* m = dynamic_cast<TskDataSkinMenuItem*>(mi.get());
  EXPECT_TRUE(RectsEqual(m->ActiveCheckImageRect, m->CheckImageRect));

  for (const wchar_t* kind : {L"trackbar", L"bitlabel", L"animate"}) {
    auto o = CreateObjectDescription(kind, L"tb");
    o->LoadFromIni(ini);
    EXPECT_FALSE(o->Morphing) << kind;
  }
  auto g = CreateObjectDescription(L"gauge", L"g");
  g->LoadFromIni(ini);
  EXPECT_EQ(dynamic_cast<TskDataSkinGauge*>(g.get())->Kind, gkVertical);
  auto fr = CreateObjectDescription(L"frameregulator", L"fr");
  fr->LoadFromIni(ini);
  EXPECT_EQ(dynamic_cast<TskDataSkinFrameRegulatorObject*>(fr.get())->Kind, rkHorizontal);

  EXPECT_EQ(CreateControlDescription(L"Button", L"x"), nullptr);
  EXPECT_EQ(CreateObjectDescription(L"nothing", L"x"), nullptr);
}

TEST(SkinDescription, EveryKindRoundTripsThroughItsWriter) {
  const wchar_t* controls[] = {
      L"slider",      L"bevel",      L"panel",     L"expanel",        L"menubutton",
      L"button",      L"checkradio", L"gauge",     L"splitter",       L"trackbar",
      L"label",       L"stdlabel",   L"bitlabel",  L"frameregulator", L"framegauge",
      L"animate",     L"updown",     L"switch",    L"grid",           L"tab",
      L"mainmenubar", L"controlbar", L"memo",      L"edit",           L"checklistbox",
      L"listbox",     L"combobox",   L"scrollbar", L"spinedit",       L"scrollbox",
      L"treeview",    L"listview",   L"richedit"};
  for (const wchar_t* kind : controls) {
    auto d = CreateControlDescription(kind, L"c");
    ASSERT_TRUE(d) << kind;
    d->SkinRect = RECT{1, 2, 3, 4};
    d->PictureIndex = 2;
    TMemIniFile ini;
    d->SaveToIni(ini);
    auto e = CreateControlDescription(kind, L"c");
    e->LoadFromIni(ini);
    EXPECT_TRUE(RectsEqual(e->SkinRect, d->SkinRect)) << kind;
    EXPECT_EQ(e->PictureIndex, 2) << kind;
  }
  const wchar_t* objects[] = {
      L"menuitem",       L"mainmenubaritem", L"mainmenuitem", L"stdbutton", L"mainmenubarbutton",
      L"button",         L"caption",         L"trackbar",     L"gauge",     L"framegauge",
      L"frameregulator", L"label",           L"bitlabel",     L"switch",    L"animate",
      L"userobject"};
  for (const wchar_t* kind : objects) {
    auto d = CreateObjectDescription(kind, L"o");
    ASSERT_TRUE(d) << kind;
    d->SkinRect = RECT{5, 6, 7, 8};
    TMemIniFile ini;
    d->SaveToIni(ini);
    auto e = CreateObjectDescription(kind, L"o");
    e->LoadFromIni(ini);
    EXPECT_TRUE(RectsEqual(e->SkinRect, d->SkinRect)) << kind;
  }
}

TEST(SkinResourceStrings, LookUpWithoutCase) {
  TskResourceStrData data;
  EXPECT_EQ(data.ResStrings.size(), 120u);
  EXPECT_EQ(data.GetResString(L"edit_copy"), L"Copy");
  EXPECT_EQ(data.GetResString(L"FLV_LOOKIN"), L"Look in: ");
  EXPECT_EQ(data.GetResString(L"MI_MINCAPTION"), L"Mi&nimize");
  data.SetResStrings({L"A=b=c", L"EDIT_COPY=Kopie"});
  EXPECT_EQ(data.GetResString(L"a"), L"b=c");
  EXPECT_EQ(data.GetResString(L"EDIT_UNDO"), L"");
  EXPECT_EQ(DefaultResString(L"EDIT_SELECTALL"), L"Select All");
  EXPECT_EQ(DefaultResString(L"MSG_BTN_YES"), L"");
}

} // namespace
