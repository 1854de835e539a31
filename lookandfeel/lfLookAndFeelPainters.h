// Look-and-feel painters: a family of stateless classes that draw every
// element of the library's controls (buttons, arrows, borders, check boxes,
// radio buttons, headers, footers, tabs, row markers, scroll bars, calendar
// headers, navigation buttons, progress bars, a clock, panel faces), with the
// process-wide images they draw with and the registry of extended-style
// painters.
//
// A painter is used only through its class reference (a pointer to the one
// instance of its class): every operation is a const virtual member, and no
// painter holds state.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/SysUtils.h"
#include "lookandfeel/lfClasses.h"
#include "lookandfeel/lfContainer.h"
#include "lookandfeel/lfGraphics.h"
#include "lookandfeel/lfLookAndFeels.h"
#include "lookandfeel/lxThemeManager.h"

// ---------------------------------------------------------------------------
// Value types of the painters

// State of a button-like element; esDefault is the default button of a dialog.
enum TlfElementState { esDefault, esNormal, esHot, esPressed, esDisabled };

enum TlfPaintStyle { psFlat, psStandard, psUltraFlat, psNative, psOffice11 };
enum TlfCheckMark { cmUnchecked, cmChecked, cmGrayed };
// Scoped: the framework's anchors already use akLeft and akRight.
enum class TlfArrowKind { akUp, akDown, akLeft, akRight };
enum TlfScrollPart { scpNone, scpLineUp, scpLineDown, scpThumb, scpPageUp, scpPageDown };
// Scoped: the framework's close actions already use caNone.
enum class TlfCalendarArrows { caNone, caLeft, caRight, caBoth };
enum TlfRowMarkerKind {
  rmkNone,
  rmkArrow,
  rmkEdit,
  rmkInsert,
  rmkMultiDot,
  rmkMultiArrow,
  rmkFilter
};
enum TlfVerticalAlignment { valTop, valBottom, valCenter };

// Paints a background itself and returns true, or returns false to have the painter do it.
using TlfPaintBackgroundEvent = std::function<bool(TlfCanvas* Canvas, const TRect& R)>;

TlfLookAndFeelKind PaintStyleToKind(TlfPaintStyle Style);
// The arrow of a scroll bar's line button.
TlfArrowKind ScrollPartArrow(bool Horizontal, TlfScrollPart Part);

// ---------------------------------------------------------------------------
// Base painter: every element's metrics and a plain system-coloured look.

class TlfCustomLookAndFeelPainter {
public:
  virtual ~TlfCustomLookAndFeelPainter() = default;
  static TlfLookAndFeelPainterClass Class();

  // General
  virtual void PaintBackground(TlfCanvas* C, const TRect& R, bool Transparent, TColor BackColor,
                               TBitmap* BackBitmap) const;
  virtual void PaintDropDownGlyph(TlfCanvas* C, const TRect& R, TColor Color) const;
  virtual void PaintCellContent(TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds,
                                TlfElementState State, TAlignment AlignHorz,
                                TlfVerticalAlignment AlignVert, bool MultiLine, bool EndEllipsis,
                                const std::wstring& Text, TFont* Font, TColor TextColor,
                                TColor BackColor, const TlfPaintBackgroundEvent& OnPaintBackground,
                                bool IsFooter) const;
  virtual void PaintNavButtonContent(TlfCanvas* C, const TRect& Bounds, const TRect& ArrowRect,
                                     bool IsNext, TlfElementState State) const;
  virtual TRect FooterCellContentBounds(const TRect& Bounds) const;
  virtual TRect FooterCellTextBounds(const TRect& Bounds) const;
  virtual TlfPaintStyle PaintStyle() const;

  // Colour defaults
  virtual TColor StyleColor1() const;
  virtual TColor StyleColor2() const;
  virtual TColor StyleColor3() const;
  virtual TColor StyleColor4() const;
  virtual TColor StyleColor5(bool Flag) const;
  virtual TColor StyleColor6(bool IsDisabled) const;
  virtual TColor StyleColor7(bool Flag) const;
  virtual TColor StyleColor8(bool IsDisabled) const;
  virtual TColor StyleColor9() const;
  virtual TColor StyleColor10() const;
  virtual TColor StyleColor11() const;
  virtual TColor StyleColor12() const;
  virtual TColor StyleColor13() const;
  virtual TColor StyleColor14() const;
  virtual TColor StyleColor15() const;
  virtual TColor StyleColor16() const;
  virtual TColor StyleColor17() const;
  virtual TColor StyleColor18() const;
  virtual TColor StyleColor19() const;
  virtual TColor StyleColor20() const;
  virtual TColor StyleColor21() const;
  virtual TColor StyleColor22() const;
  virtual TColor StyleColor23() const;
  virtual TColor StyleColor24() const;
  virtual TColor StyleColor25() const;
  virtual TColor StyleColor26() const;
  virtual TColor StyleColor27() const;
  virtual TColor StyleColor28() const;
  virtual TColor StyleColor29() const;
  virtual TColor StyleColor30() const;
  virtual TColor StyleColor31() const;
  virtual TColor StyleColor32() const;
  virtual TColor StyleColor33() const;
  virtual TColor StyleColor34() const;
  virtual TColor StyleColor35() const;
  virtual TColor StyleColor36() const;
  virtual TColor StyleColor37() const;
  virtual TColor StyleColor38() const;
  virtual TColor StyleColor39() const;
  virtual TColor StyleColor40() const;
  virtual TColor StyleColor41() const;
  virtual TColor StyleColor42() const;
  virtual TColor StyleColor43() const;
  virtual TColor StyleColor44() const;
  virtual TColor StyleColor45() const;
  virtual TColor StyleColor46() const;
  virtual TColor StyleColor47() const;
  virtual TColor StyleColor48() const;
  virtual TColor StyleColor49() const;
  virtual TColor StyleColor50() const;
  virtual TColor StyleColor51() const;
  virtual TColor StyleColor52() const;
  virtual TColor StyleColor53() const;
  virtual TColor StyleColor54() const;
  virtual TColor StyleColor55() const;
  virtual TColor StyleColor56() const;
  virtual TColor StyleColor57() const;
  virtual TColor StyleColor58() const;
  virtual TColor StyleColor59() const;
  virtual TColor StyleColor60() const;
  virtual TColor StyleColor61() const;
  virtual TColor StyleColor62() const;
  virtual TColor StyleColor63() const;
  virtual TColor StyleColor64() const;
  virtual TColor StyleColor65() const;

  // Arrows
  virtual void PaintArrow(TlfCanvas* C, const TRect& R, TlfArrowKind Direction, TColor Color) const;
  virtual void PaintArrowButton(TlfCanvas* C, const TRect& R, TlfElementState State,
                                TlfArrowKind Direction, bool WithFrame) const;
  virtual void PaintArrowButtonFrame(TlfCanvas* C, const TRect& R, TlfElementState State) const;
  virtual void PaintScrollArrow(TlfCanvas* C, const TRect& R, TlfElementState State,
                                TlfArrowKind Direction) const;

  // Borders and buttons
  virtual int BorderWidth() const;
  virtual void PaintControlBorder(TlfCanvas* C, const TRect& R) const;
  virtual TRect GroupButtonDisplayRect(const TRect& R, int ButtonCount, int ButtonIndex) const;
  virtual int ButtonBorderWidth(TlfElementState State) const;
  virtual TColor ButtonFaceColor(TlfElementState State) const;
  virtual TRect ButtonFocusBounds(TlfCanvas* C, const TRect& R) const;
  virtual TRect GroupButtonBorderWidths(int ButtonCount, int ButtonIndex) const;
  virtual int ButtonTextIndent() const;
  virtual int ButtonPressedShift() const;
  virtual TColor ButtonGlyphColor(TlfElementState State, TColor DefaultColor) const;
  virtual TlfElementState ButtonGlyphState(TlfElementState State) const;
  virtual void PaintButton(TlfCanvas* C, const TRect& R, const std::wstring& Caption,
                           TlfElementState State, bool WithFrame, TColor Color, TColor TextColor,
                           bool WordWrap) const;
  virtual void PaintGroupButton(TlfCanvas* C, const TRect& R, TlfElementState State,
                                int ButtonCount, int ButtonIndex, TColor FrameColor) const;
  virtual void PaintButtonFrame(TlfCanvas* C, const TRect& R, TlfElementState State) const;
  virtual void PaintGroupButtonFrame(TlfCanvas* C, const TRect& R, bool Emphasized,
                                     bool Highlighted) const;

  // Expand buttons
  virtual void PaintExpandButton(TlfCanvas* C, const TRect& R, bool Expanded, TColor Color) const;
  virtual bool ExpandButtonPaintedFirst() const;
  virtual void PaintGroupExpandButton(TlfCanvas* C, const TRect& R, bool Expanded,
                                      TlfElementState State) const;
  virtual void PaintSmallExpandButton(TlfCanvas* C, const TRect& R, bool Expanded,
                                      TColor FrameColor, TColor Color) const;
  virtual int ExpandButtonWidth() const;
  virtual int GroupExpandButtonWidth() const;
  virtual bool ButtonHotTracking() const;
  virtual bool PointInGroupExpandButton(const TRect& R, const TPoint& P) const;
  virtual int SmallExpandButtonWidth() const;

  // Check boxes and radio buttons
  virtual int CheckFrameWidth() const;
  virtual TColor CheckFaceColor(TlfElementState State) const;
  virtual TSize CheckBoxExtent() const;
  virtual void PaintCheckMark(TlfCanvas* C, const TRect& R, TlfElementState State, bool Checked,
                              TColor Color) const;
  virtual void PaintCheckFrame(TlfCanvas* C, const TRect& R, TlfElementState State) const;
  virtual void PaintCheckBoxChecked(TlfCanvas* C, const TRect& R, TlfElementState State,
                                    bool Checked) const;
  virtual void PaintCheckBox(TlfCanvas* C, const TRect& R, TlfElementState State,
                             TlfCheckMark Mark) const;
  virtual void PaintRadioButton(TlfCanvas* C, int X, int Y, TlfElementState State, bool Checked,
                                bool Focused, TColor BrushColor, bool IsDesigning) const;
  virtual TSize RadioButtonExtent() const;

  // Headers and header sections
  virtual void PaintHeader(TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds,
                           TlfBorders Neighbors, TlfBorders Borders, TlfElementState State,
                           TAlignment AlignHorz, TlfVerticalAlignment AlignVert, bool MultiLine,
                           bool EndEllipsis, const std::wstring& Text, TFont* Font,
                           TColor TextColor, TColor BackColor,
                           const TlfPaintBackgroundEvent& OnPaintBackground, bool IsLast,
                           bool ExtraFlag) const;
  virtual void PaintHeaderPlain(TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds,
                                TlfBorders Neighbors, TlfBorders Borders, TlfElementState State,
                                TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
                                bool MultiLine, bool EndEllipsis, const std::wstring& Text,
                                TFont* Font, TColor TextColor, TColor BackColor,
                                const TlfPaintBackgroundEvent& OnPaintBackground) const;
  virtual void PaintHeaderFrame(TlfCanvas* C, const TRect& R, TlfBorders Neighbors,
                                TlfBorders Borders) const;
  virtual void PaintHeaderPushed(TlfCanvas* C, const TRect& R) const;
  virtual void PaintHeaderSection(TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds,
                                  TlfBorders Neighbors, TlfBorders Borders, TlfElementState State,
                                  TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
                                  bool MultiLine, bool EndEllipsis, const std::wstring& Text,
                                  TFont* Font, TColor TextColor, TColor BackColor) const;
  virtual void PaintHeaderSectionFrame(TlfCanvas* C, const TRect& R, TlfBorders Borders,
                                       TlfElementState State) const;
  virtual void PaintHeaderSectionContent(TlfCanvas* C, const TRect& R, const TRect& TextBounds,
                                         TlfElementState State, TAlignment AlignHorz,
                                         TlfVerticalAlignment AlignVert, bool MultiLine,
                                         bool EndEllipsis, const std::wstring& Text, TFont* Font,
                                         TColor TextColor, TColor BackColor) const;
  virtual void PaintHeaderSectionText(TlfCanvas* C, const TRect& TextBounds, TlfElementState State,
                                      TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
                                      bool MultiLine, bool EndEllipsis, const std::wstring& Text,
                                      TFont* Font, TColor TextColor) const;
  virtual void PaintHeaderDivider(TlfCanvas* C, const TRect& Bounds, int Indent, TColor Color,
                                  const TlfViewParams& ViewParams) const;
  virtual void PaintSortMark(TlfCanvas* C, const TRect& R, bool Ascending) const;
  virtual TlfBorders HeaderFrameSides(TlfBorders Neighbors) const;
  virtual int HeaderBorderWidth() const;
  virtual TRect HeaderOuterBounds(const TRect& Bounds, TlfBorders Neighbors,
                                  TlfBorders Borders) const;
  virtual TRect HeaderContentBounds(const TRect& Bounds, TlfBorders Borders) const;
  virtual bool ExtensionFlag1() const;
  virtual int HeaderExtentFor(int ContentHeight) const;
  virtual int HeaderSectionFrameWidth(TlfElementState State) const;
  virtual TRect HeaderSectionTextBounds(const TRect& TextBounds, TlfElementState State) const;
  virtual TRect HeaderSectionContentBounds(const TRect& Bounds, TlfElementState State) const;
  virtual int HeaderWidthFor(TlfCanvas* C, TlfBorders Borders, const std::wstring& Text,
                             TFont* Font) const;
  virtual bool HeaderHotTracking() const;
  virtual TPoint SortMarkAreaExtent() const;
  virtual TPoint SortMarkExtent() const;

  // Footer cells and footer panel
  virtual void PaintFooterPanelBackground(TlfCanvas* C, const TRect& R, bool Transparent,
                                          TColor BackColor, TBitmap* BackBitmap) const;
  virtual TlfBorders FooterPanelSides() const;
  virtual int FooterPanelBorderWidth() const;
  virtual int FooterCellBorderWidth() const;
  virtual int FooterCellSpacing() const;
  virtual bool FooterCellsPaintedFirst() const;
  virtual TColor FooterLineColor() const;
  virtual int ExtensionMetric1() const;
  virtual void PaintFooterCell(TlfCanvas* C, const TRect& Bounds, TAlignment AlignHorz,
                               TlfVerticalAlignment AlignVert, bool MultiLine,
                               const std::wstring& Text, TFont* Font, TColor TextColor,
                               TColor BackColor,
                               const TlfPaintBackgroundEvent& OnPaintBackground) const;
  virtual void PaintFooterPanelFrame(TlfCanvas* C, const TRect& R) const;
  virtual void PaintFooterCellFrame(TlfCanvas* C, const TRect& R) const;
  virtual void PaintFooterPanel(TlfCanvas* C, const TRect& R,
                                const TlfViewParams& ViewParams) const;
  virtual void PaintFooterLine(TlfCanvas* C, const TRect& R) const;

  // Close, drop-down and activation buttons
  virtual void PaintActivateCheckBox(TlfCanvas* C, const TRect& R, TlfElementState State,
                                     bool Checked) const;
  virtual void PaintCloseButton(TlfCanvas* C, const TRect& R, TlfElementState State) const;
  virtual void PaintDropDownButton(TlfCanvas* C, const TRect& R, TlfElementState State,
                                   bool Active) const;
  virtual void PaintButtonStripBackground(TlfCanvas* C, const TRect& R, bool Transparent,
                                          TColor BackColor, TBitmap* BackBitmap) const;
  virtual TPoint ActivateCheckExtent() const;
  virtual TPoint CloseButtonExtent() const;
  virtual TPoint DropDownButtonExtent() const;
  virtual void PaintFaceArea(TlfCanvas* C, const TRect& R) const;
  virtual TlfContainerBorderStyle ContainerBorderKind() const;

  // Tabs
  virtual void PaintTab(TlfCanvas* C, const TRect& R, TlfBorders Borders, const std::wstring& Text,
                        TlfElementState State, bool Vertical, TFont* Font, TColor TextColor,
                        TColor BackColor, bool ShowPrefix) const;
  virtual void PaintTabFrame(TlfCanvas* C, const TRect& R, TlfBorders Side, TlfBorders Borders,
                             bool Vertical) const;
  virtual void PaintTabArea(TlfCanvas* C, const TRect& R, TlfBorders Borders, bool Vertical) const;
  virtual bool TabPaintingSupported(bool Vertical) const;
  virtual bool TabHotTracking(bool Vertical) const;
  virtual int TabBorderWidth(bool Vertical) const;

  // Row markers
  virtual void PaintRowMarkerBars(TlfCanvas* C, const TRect& R, TColor Color) const;
  virtual void PaintRowMarkerImage(TlfCanvas* C, const TRect& R, TlfRowMarkerKind Kind) const;
  virtual void PaintRowMarker(TlfCanvas* C, const TRect& R, TlfRowMarkerKind Kind, TColor BackColor,
                              const TlfPaintBackgroundEvent& OnPaintBackground) const;
  virtual void PaintRowMarkerFramed(TlfCanvas* C, const TRect& R, TlfRowMarkerKind Kind,
                                    TColor BackColor,
                                    const TlfPaintBackgroundEvent& OnPaintBackground) const;
  virtual bool RowMarkersPaintedFirst() const;

  // Scroll bars and size grip
  virtual int ScrollThumbMinLength(bool Horizontal) const;
  virtual void PaintScrollBarPart(TlfCanvas* C, bool Horizontal, const TRect& R, TlfScrollPart Part,
                                  TlfElementState State) const;
  virtual TSize SizeGripExtent() const;
  virtual void PaintSizeGrip(TlfCanvas* C, const TRect& R, TColor BackColor) const;

  // Calendar header, navigation buttons and progress bar
  virtual TRect NavButtonLayout(bool IsNext, bool Compact, const TSize& TextExtent1,
                                const TSize& TextExtent2, TRect& Bounds, TRect& TextRect) const;
  virtual void PaintCalendarHeader(TlfCanvas* C, const TRect& R, const std::wstring& Text,
                                   TlfBorders Neighbors, const TlfViewParams& ViewParams,
                                   TlfCalendarArrows Arrows, int ArrowOffset,
                                   const TlfPaintBackgroundEvent& OnPaintBackground) const;
  virtual void PaintCalendarOutline(TlfCanvas* C, const TRect& R) const;
  virtual void PaintProgressBar(TlfCanvas* C, const TRect& Bounds, const TRect& ProgressRect,
                                const TlfViewParams& ViewParams, bool Transparent) const;
  virtual void PaintNavButton(TlfCanvas* C, const TRect& Bounds, bool IsNext, TlfElementState State,
                              const std::wstring& Text, const TRect& TextRect,
                              const TRect& ArrowRect) const;
  virtual void PaintNavArrow(TlfCanvas* C, const TRect& R, bool IsNext, TColor Color) const;
  virtual void PaintNavButtonFace(TlfCanvas* C, const TRect& R, TlfElementState State) const;
  virtual void PaintSplitterFrame(TlfCanvas* C, const TRect& R, const TlfViewParams& ViewParams,
                                  bool Horizontal) const;
  virtual TRect ProgressBarMargins() const;
  virtual void NavButtonMetrics(bool IsNext, TRect& Borders, TSize& ArrowSize) const;
  virtual int ExtensionMetric2() const;
  virtual void PaintClock(TlfCanvas* C, const TRect& R, TDateTime Time, TColor BackColor) const;

  // Image glyph, panel face and extension slots
  virtual void ExtensionPaint1(TlfCanvas* C, const TRect& R, int A, int B) const;
  virtual int ExtensionMetric3() const;
  virtual TSize ExtensionExtent1() const;
  virtual TColor ExtensionColor1() const;
  virtual TColor ExtensionColor2(bool Flag) const;
  virtual void PaintImageGlyph(TlfCanvas* C, TCustomImageList* ImageList, int ImageIndex, int Kind,
                               const TRect& Bounds, bool Enabled, int Extra) const;
  virtual TSize ExtensionExtent2() const;
  virtual void ExtensionPaint2(TlfCanvas* C, const TRect& R, bool Flag) const;
  virtual void ExtensionPaint3(TlfCanvas* C, const TRect& R, bool Flag) const;
  virtual TRect ExtensionBounds1(bool Flag) const;
  virtual TColor ExtensionColor3() const;
  virtual void ExtensionPaint4(TlfCanvas* C, const TRect& R1, const TRect& R2) const;
  virtual void ExtensionPaint5(TlfCanvas* C, const TRect& R, int Value) const;
  virtual void ExtensionPaint6(TlfCanvas* C, const TRect& R, int A, int B) const;
  virtual TRect ExtensionBounds2(bool Flag, int Value) const;
  virtual TColor ExtensionColor4() const;
  virtual bool ExtensionFlag2(int A, int B) const;
  virtual void PaintPanelFace(TlfCanvas* C, TWinControl* Control, const TRect& Bounds,
                              TColor ColorFrom, TColor ColorTo) const;
  virtual void ExtensionPaint7(TlfCanvas* C, const TRect& R) const;
  virtual void ExtensionPaint8(TlfCanvas* C, const TRect& R, int Value) const;
  virtual void ExtensionPaint9(TlfCanvas* C, const TRect& R, int A) const;
  virtual TRect ExtensionBounds3() const;
  virtual TColor ExtensionColor5() const;
  virtual void ExtensionPaint10(TlfCanvas* C, const TRect& R, int A, int B, int C2, int D) const;
  virtual void ExtensionPaint11(TlfCanvas* C, const TRect& R, int A, int B, int C2) const;
  virtual TSize ExtensionExtent3(bool Flag) const;
  virtual TColor ExtensionColor6(bool Flag) const;
  virtual int ExtensionMetric4() const;
  virtual void ExtensionPaint12(TlfCanvas* C, const TRect& R, int A, int B, int C2) const;
  virtual TSize ExtensionExtent4(bool Flag) const;

protected:
  TlfCustomLookAndFeelPainter() = default;
};

// ---------------------------------------------------------------------------
// Glyph routines shared by the painters

// The three corners of an arrow triangle in R; Size 0 sizes it from R.
std::vector<TPoint> ArrowTriangle(TRect R, TlfArrowKind Direction, bool Square, int Size);
// A plus (collapsed) or minus (expanded) sign centred in R.
void ExpandSign(TlfCanvas* C, const TRect& R, bool Expanded, TColor Color);
// Two chevrons, up when expanded, down otherwise, in the painter's glyph colour.
void GroupExpandMark(const TlfCustomLookAndFeelPainter* Painter, TlfCanvas* C, const TRect& R,
                     bool Expanded, TlfElementState State);
void CalendarArrows(const TlfCustomLookAndFeelPainter* Painter, TlfCanvas* C, const TRect& R,
                    TlfCalendarArrows Arrows, int ArrowOffset, TColor Color);
void SortArrow(const TlfCustomLookAndFeelPainter* Painter, TlfCanvas* C, const TRect& R,
               TColor DarkColor, TColor LightColor, bool Ascending);
void CloseCross(const TlfCustomLookAndFeelPainter* Painter, TlfCanvas* C, const TRect& R,
                TColor Color, TlfElementState GlyphState);

// ---------------------------------------------------------------------------
// Standard, flat and ultra-flat painters

class TlfStandardLookAndFeelPainter : public TlfCustomLookAndFeelPainter {
public:
  static TlfLookAndFeelPainterClass Class();
  TlfPaintStyle PaintStyle() const override;
  int BorderWidth() const override;
  int ButtonBorderWidth(TlfElementState State) const override;
  int ButtonTextIndent() const override;
  int ButtonPressedShift() const override;
  int ExpandButtonWidth() const override;
  bool ButtonHotTracking() const override;
  int HeaderBorderWidth() const override;
  int HeaderSectionFrameWidth(TlfElementState State) const override;
  TPoint SortMarkExtent() const override;
  int FooterPanelBorderWidth() const override;
  int FooterCellBorderWidth() const override;
  int FooterCellSpacing() const override;
  int TabBorderWidth(bool Vertical) const override;
  TColor StyleColor42() const override;

  void PaintControlBorder(TlfCanvas* C, const TRect& R) const override;
  void PaintButtonFrame(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  void PaintExpandButton(TlfCanvas* C, const TRect& R, bool Expanded, TColor Color) const override;
  void PaintGroupExpandButton(TlfCanvas* C, const TRect& R, bool Expanded,
                              TlfElementState State) const override;
  void PaintCheckFrame(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  void PaintHeaderFrame(TlfCanvas* C, const TRect& R, TlfBorders Neighbors,
                        TlfBorders Borders) const override;
  void PaintHeaderSectionFrame(TlfCanvas* C, const TRect& R, TlfBorders Borders,
                               TlfElementState State) const override;
  void PaintSortMark(TlfCanvas* C, const TRect& R, bool Ascending) const override;
  void PaintFooterPanelFrame(TlfCanvas* C, const TRect& R) const override;
  void PaintFooterCellFrame(TlfCanvas* C, const TRect& R) const override;
  void PaintDropDownButton(TlfCanvas* C, const TRect& R, TlfElementState State,
                           bool Active) const override;
  void PaintTabFrame(TlfCanvas* C, const TRect& R, TlfBorders Side, TlfBorders Borders,
                     bool Vertical) const override;
  void PaintTabArea(TlfCanvas* C, const TRect& R, TlfBorders Borders, bool Vertical) const override;
  void PaintScrollBarPart(TlfCanvas* C, bool Horizontal, const TRect& R, TlfScrollPart Part,
                          TlfElementState State) const override;
  void PaintCalendarHeader(TlfCanvas* C, const TRect& R, const std::wstring& Text,
                           TlfBorders Neighbors, const TlfViewParams& ViewParams,
                           TlfCalendarArrows Arrows, int ArrowOffset,
                           const TlfPaintBackgroundEvent& OnPaintBackground) const override;
  void PaintSplitterFrame(TlfCanvas* C, const TRect& R, const TlfViewParams& ViewParams,
                          bool Horizontal) const override;

protected:
  TlfStandardLookAndFeelPainter() = default;
  friend TlfLookAndFeelPainterClass StandardPainter();
};

class TlfFlatLookAndFeelPainter : public TlfCustomLookAndFeelPainter {
public:
  static TlfLookAndFeelPainterClass Class();
  TlfPaintStyle PaintStyle() const override;
  int BorderWidth() const override;
  int ButtonBorderWidth(TlfElementState State) const override;
  int ButtonTextIndent() const override;
  int ButtonPressedShift() const override;
  int ExpandButtonWidth() const override;
  bool ButtonHotTracking() const override;
  int HeaderBorderWidth() const override;
  TPoint SortMarkExtent() const override;
  int FooterPanelBorderWidth() const override;
  int FooterCellBorderWidth() const override;
  int FooterCellSpacing() const override;
  int TabBorderWidth(bool Vertical) const override;

  void PaintControlBorder(TlfCanvas* C, const TRect& R) const override;
  void PaintButtonFrame(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  void PaintExpandButton(TlfCanvas* C, const TRect& R, bool Expanded, TColor Color) const override;
  void PaintCheckFrame(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  void PaintHeaderFrame(TlfCanvas* C, const TRect& R, TlfBorders Neighbors,
                        TlfBorders Borders) const override;
  void PaintHeaderSectionFrame(TlfCanvas* C, const TRect& R, TlfBorders Borders,
                               TlfElementState State) const override;
  void PaintSortMark(TlfCanvas* C, const TRect& R, bool Ascending) const override;
  void PaintFooterPanelFrame(TlfCanvas* C, const TRect& R) const override;
  void PaintFooterCellFrame(TlfCanvas* C, const TRect& R) const override;
  void PaintDropDownButton(TlfCanvas* C, const TRect& R, TlfElementState State,
                           bool Active) const override;
  void PaintTabFrame(TlfCanvas* C, const TRect& R, TlfBorders Side, TlfBorders Borders,
                     bool Vertical) const override;
  void PaintTabArea(TlfCanvas* C, const TRect& R, TlfBorders Borders, bool Vertical) const override;
  void PaintScrollBarPart(TlfCanvas* C, bool Horizontal, const TRect& R, TlfScrollPart Part,
                          TlfElementState State) const override;
  void PaintSplitterFrame(TlfCanvas* C, const TRect& R, const TlfViewParams& ViewParams,
                          bool Horizontal) const override;

protected:
  TlfFlatLookAndFeelPainter() = default;
};

class TlfUltraFlatLookAndFeelPainter : public TlfCustomLookAndFeelPainter {
public:
  static TlfLookAndFeelPainterClass Class();
  TlfPaintStyle PaintStyle() const override;
  int BorderWidth() const override;
  int ButtonBorderWidth(TlfElementState State) const override;
  int ButtonTextIndent() const override;
  int ButtonPressedShift() const override;
  int ExpandButtonWidth() const override;
  bool ButtonHotTracking() const override;
  int HeaderBorderWidth() const override;
  TPoint SortMarkExtent() const override;
  TlfBorders FooterPanelSides() const override;
  int FooterPanelBorderWidth() const override;
  int FooterCellBorderWidth() const override;
  int FooterCellSpacing() const override;
  int TabBorderWidth(bool Vertical) const override;
  TColor StyleColor39() const override;
  TColor ButtonFaceColor(TlfElementState State) const override;
  TColor ButtonGlyphColor(TlfElementState State, TColor DefaultColor) const override;
  TlfElementState ButtonGlyphState(TlfElementState State) const override;
  TRect ButtonFocusBounds(TlfCanvas* C, const TRect& R) const override;
  TRect GroupButtonBorderWidths(int ButtonCount, int ButtonIndex) const override;
  TPoint CloseButtonExtent() const override;
  TlfBorders HeaderFrameSides(TlfBorders Neighbors) const override;

  void PaintControlBorder(TlfCanvas* C, const TRect& R) const override;
  void PaintButtonFrame(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  void PaintGroupButton(TlfCanvas* C, const TRect& R, TlfElementState State, int ButtonCount,
                        int ButtonIndex, TColor FrameColor) const override;
  void PaintGroupButtonFrame(TlfCanvas* C, const TRect& R, bool Emphasized,
                             bool Highlighted) const override;
  void PaintExpandButton(TlfCanvas* C, const TRect& R, bool Expanded, TColor Color) const override;
  void PaintCheckFrame(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  void PaintHeaderFrame(TlfCanvas* C, const TRect& R, TlfBorders Neighbors,
                        TlfBorders Borders) const override;
  void PaintHeaderPlain(TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds,
                        TlfBorders Neighbors, TlfBorders Borders, TlfElementState State,
                        TAlignment AlignHorz, TlfVerticalAlignment AlignVert, bool MultiLine,
                        bool EndEllipsis, const std::wstring& Text, TFont* Font, TColor TextColor,
                        TColor BackColor,
                        const TlfPaintBackgroundEvent& OnPaintBackground) const override;
  void PaintHeaderSectionFrame(TlfCanvas* C, const TRect& R, TlfBorders Borders,
                               TlfElementState State) const override;
  void PaintHeaderSectionContent(TlfCanvas* C, const TRect& R, const TRect& TextBounds,
                                 TlfElementState State, TAlignment AlignHorz,
                                 TlfVerticalAlignment AlignVert, bool MultiLine, bool EndEllipsis,
                                 const std::wstring& Text, TFont* Font, TColor TextColor,
                                 TColor BackColor) const override;
  void PaintSortMark(TlfCanvas* C, const TRect& R, bool Ascending) const override;
  void PaintFooterPanelFrame(TlfCanvas* C, const TRect& R) const override;
  void PaintFooterCellFrame(TlfCanvas* C, const TRect& R) const override;
  void PaintDropDownButton(TlfCanvas* C, const TRect& R, TlfElementState State,
                           bool Active) const override;
  void PaintTabFrame(TlfCanvas* C, const TRect& R, TlfBorders Side, TlfBorders Borders,
                     bool Vertical) const override;
  void PaintTabArea(TlfCanvas* C, const TRect& R, TlfBorders Borders, bool Vertical) const override;
  void PaintScrollBarPart(TlfCanvas* C, bool Horizontal, const TRect& R, TlfScrollPart Part,
                          TlfElementState State) const override;
  void PaintNavButtonContent(TlfCanvas* C, const TRect& Bounds, const TRect& ArrowRect, bool IsNext,
                             TlfElementState State) const override;
  void PaintNavButtonFace(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  void PaintSplitterFrame(TlfCanvas* C, const TRect& R, const TlfViewParams& ViewParams,
                          bool Horizontal) const override;

  // Slots of the ultra-flat branch
  virtual TColor ButtonFrameColor(TlfElementState State) const;
  virtual TColor LightEdgeColor() const;
  virtual TColor DarkEdgeColor() const;
  virtual TColor FrameHighlightColor() const;

protected:
  TlfUltraFlatLookAndFeelPainter() = default;
};

// ---------------------------------------------------------------------------
// XP theme painter: draws through the system's visual styles, falling back
// on the standard or base look when a theme class is missing.

class TlfWinXPLookAndFeelPainter : public TlfStandardLookAndFeelPainter {
public:
  static TlfLookAndFeelPainterClass Class();
  TlfPaintStyle PaintStyle() const override;
  int ButtonTextIndent() const override;
  int ButtonPressedShift() const override;
  bool ButtonHotTracking() const override;
  bool ExpandButtonPaintedFirst() const override;
  bool HeaderHotTracking() const override;
  bool FooterCellsPaintedFirst() const override;
  TRect ProgressBarMargins() const override;
  TPoint SortMarkExtent() const override;
  TColor StyleColor42() const override;
  TColor StyleColor39() const override;

  void PaintArrowButton(TlfCanvas* C, const TRect& R, TlfElementState State, TlfArrowKind Direction,
                        bool WithFrame) const override;
  void PaintArrowButtonFrame(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  int BorderWidth() const override;
  void PaintControlBorder(TlfCanvas* C, const TRect& R) const override;
  TRect GroupButtonDisplayRect(const TRect& R, int ButtonCount, int ButtonIndex) const override;
  int ButtonBorderWidth(TlfElementState State) const override;
  TColor ButtonFaceColor(TlfElementState State) const override;
  TRect ButtonFocusBounds(TlfCanvas* C, const TRect& R) const override;
  TRect GroupButtonBorderWidths(int ButtonCount, int ButtonIndex) const override;
  TColor ButtonGlyphColor(TlfElementState State, TColor DefaultColor) const override;
  void PaintButton(TlfCanvas* C, const TRect& R, const std::wstring& Caption, TlfElementState State,
                   bool WithFrame, TColor Color, TColor TextColor, bool WordWrap) const override;
  void PaintExpandButton(TlfCanvas* C, const TRect& R, bool Expanded, TColor Color) const override;
  int ExpandButtonWidth() const override;
  void PaintGroupExpandButton(TlfCanvas* C, const TRect& R, bool Expanded,
                              TlfElementState State) const override;
  int GroupExpandButtonWidth() const override;
  bool PointInGroupExpandButton(const TRect& R, const TPoint& P) const override;
  void PaintSmallExpandButton(TlfCanvas* C, const TRect& R, bool Expanded, TColor FrameColor,
                              TColor Color) const override;
  int SmallExpandButtonWidth() const override;
  int CheckFrameWidth() const override;
  TSize CheckBoxExtent() const override;
  void PaintCheckMark(TlfCanvas* C, const TRect& R, TlfElementState State, bool Checked,
                      TColor Color) const override;
  void PaintCheckFrame(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  void PaintRadioButton(TlfCanvas* C, int X, int Y, TlfElementState State, bool Checked,
                        bool Focused, TColor BrushColor, bool IsDesigning) const override;
  TSize RadioButtonExtent() const override;
  void PaintHeader(TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds, TlfBorders Neighbors,
                   TlfBorders Borders, TlfElementState State, TAlignment AlignHorz,
                   TlfVerticalAlignment AlignVert, bool MultiLine, bool EndEllipsis,
                   const std::wstring& Text, TFont* Font, TColor TextColor, TColor BackColor,
                   const TlfPaintBackgroundEvent& OnPaintBackground, bool IsLast,
                   bool ExtraFlag) const override;
  void PaintHeaderPushed(TlfCanvas* C, const TRect& R) const override;
  void PaintHeaderSection(TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds,
                          TlfBorders Neighbors, TlfBorders Borders, TlfElementState State,
                          TAlignment AlignHorz, TlfVerticalAlignment AlignVert, bool MultiLine,
                          bool EndEllipsis, const std::wstring& Text, TFont* Font, TColor TextColor,
                          TColor BackColor) const override;
  void PaintSortMark(TlfCanvas* C, const TRect& R, bool Ascending) const override;
  int HeaderBorderWidth() const override;
  int HeaderSectionFrameWidth(TlfElementState State) const override;
  TRect HeaderSectionContentBounds(const TRect& Bounds, TlfElementState State) const override;
  void PaintFooterPanelFrame(TlfCanvas* C, const TRect& R) const override;
  int FooterPanelBorderWidth() const override;
  void PaintFooterCell(TlfCanvas* C, const TRect& Bounds, TAlignment AlignHorz,
                       TlfVerticalAlignment AlignVert, bool MultiLine, const std::wstring& Text,
                       TFont* Font, TColor TextColor, TColor BackColor,
                       const TlfPaintBackgroundEvent& OnPaintBackground) const override;
  int FooterCellBorderWidth() const override;
  int FooterCellSpacing() const override;
  void PaintCloseButton(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  TPoint CloseButtonExtent() const override;
  void PaintDropDownButton(TlfCanvas* C, const TRect& R, TlfElementState State,
                           bool Active) const override;
  TPoint ActivateCheckExtent() const override;
  void PaintTab(TlfCanvas* C, const TRect& R, TlfBorders Borders, const std::wstring& Text,
                TlfElementState State, bool Vertical, TFont* Font, TColor TextColor,
                TColor BackColor, bool ShowPrefix) const override;
  void PaintTabFrame(TlfCanvas* C, const TRect& R, TlfBorders Side, TlfBorders Borders,
                     bool Vertical) const override;
  void PaintTabArea(TlfCanvas* C, const TRect& R, TlfBorders Borders, bool Vertical) const override;
  bool TabPaintingSupported(bool Vertical) const override;
  bool TabHotTracking(bool Vertical) const override;
  int TabBorderWidth(bool Vertical) const override;
  void PaintRowMarker(TlfCanvas* C, const TRect& R, TlfRowMarkerKind Kind, TColor BackColor,
                      const TlfPaintBackgroundEvent& OnPaintBackground) const override;
  int ScrollThumbMinLength(bool Horizontal) const override;
  void PaintScrollBarPart(TlfCanvas* C, bool Horizontal, const TRect& R, TlfScrollPart Part,
                          TlfElementState State) const override;
  void PaintSizeGrip(TlfCanvas* C, const TRect& R, TColor BackColor) const override;
  void PaintCalendarHeader(TlfCanvas* C, const TRect& R, const std::wstring& Text,
                           TlfBorders Neighbors, const TlfViewParams& ViewParams,
                           TlfCalendarArrows Arrows, int ArrowOffset,
                           const TlfPaintBackgroundEvent& OnPaintBackground) const override;
  void PaintProgressBar(TlfCanvas* C, const TRect& Bounds, const TRect& ProgressRect,
                        const TlfViewParams& ViewParams, bool Transparent) const override;
  void PaintNavButtonContent(TlfCanvas* C, const TRect& Bounds, const TRect& ArrowRect, bool IsNext,
                             TlfElementState State) const override;
  void PaintNavButtonFace(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  void PaintSplitterFrame(TlfCanvas* C, const TRect& R, const TlfViewParams& ViewParams,
                          bool Horizontal) const override;
  void PaintPanelFace(TlfCanvas* C, TWinControl* Control, const TRect& Bounds, TColor ColorFrom,
                      TColor ColorTo) const override;

  // Text drawn by the theme library in a part's style.
  virtual void PaintThemedText(TlfCanvas* C, HTHEME Theme, int PartId, int StateId,
                               const TRect& Bounds, const TRect& TextRect, TAlignment AlignHorz,
                               TlfVerticalAlignment AlignVert, bool MultiLine, bool EndEllipsis,
                               bool ShowPrefix, const std::wstring& Text, TFont* Font,
                               TColor TextColor, TColor BackColor) const;

protected:
  TlfWinXPLookAndFeelPainter() = default;
};

// ---------------------------------------------------------------------------
// Office 2003 painter: faces, frames and header bands in the Office 2003 colours.

class TlfOffice11LookAndFeelPainter : public TlfUltraFlatLookAndFeelPainter {
public:
  static TlfLookAndFeelPainterClass Class();
  TlfPaintStyle PaintStyle() const override;
  TColor StyleColor9() const override;
  TColor StyleColor10() const override;
  TColor StyleColor12() const override;
  TColor StyleColor13() const override;
  TColor StyleColor16() const override;
  TColor StyleColor17() const override;
  TColor StyleColor18() const override;
  TColor StyleColor20() const override;
  TColor StyleColor22() const override;
  TColor StyleColor34() const override;
  TColor StyleColor35() const override;
  TColor StyleColor36() const override;
  TColor StyleColor39() const override;
  TColor StyleColor40() const override;
  TColor StyleColor48() const override;
  TColor StyleColor50() const override;
  TColor StyleColor53() const override;
  TColor StyleColor55() const override;
  TColor ButtonFrameColor(TlfElementState State) const override;
  TColor LightEdgeColor() const override;
  TColor DarkEdgeColor() const override;
  TColor FrameHighlightColor() const override;
  TColor FooterLineColor() const override;
  TColor ButtonFaceColor(TlfElementState State) const override;
  TColor ButtonGlyphColor(TlfElementState State, TColor DefaultColor) const override;
  TColor CheckFaceColor(TlfElementState State) const override;
  int ExpandButtonWidth() const override;
  int SmallExpandButtonWidth() const override;
  bool ExpandButtonPaintedFirst() const override;
  TlfBorders HeaderFrameSides(TlfBorders Neighbors) const override;
  int HeaderBorderWidth() const override;
  bool HeaderHotTracking() const override;

  void PaintControlBorder(TlfCanvas* C, const TRect& R) const override;
  void PaintButtonFrame(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  void PaintExpandButton(TlfCanvas* C, const TRect& R, bool Expanded, TColor Color) const override;
  void PaintSmallExpandButton(TlfCanvas* C, const TRect& R, bool Expanded, TColor FrameColor,
                              TColor Color) const override;
  void PaintDropDownButton(TlfCanvas* C, const TRect& R, TlfElementState State,
                           bool Active) const override;
  void PaintCellContent(TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds,
                        TlfElementState State, TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
                        bool MultiLine, bool EndEllipsis, const std::wstring& Text, TFont* Font,
                        TColor TextColor, TColor BackColor,
                        const TlfPaintBackgroundEvent& OnPaintBackground,
                        bool IsFooter) const override;
  void PaintHeader(TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds, TlfBorders Neighbors,
                   TlfBorders Borders, TlfElementState State, TAlignment AlignHorz,
                   TlfVerticalAlignment AlignVert, bool MultiLine, bool EndEllipsis,
                   const std::wstring& Text, TFont* Font, TColor TextColor, TColor BackColor,
                   const TlfPaintBackgroundEvent& OnPaintBackground, bool IsLast,
                   bool ExtraFlag) const override;
  void PaintHeaderFrame(TlfCanvas* C, const TRect& R, TlfBorders Neighbors,
                        TlfBorders Borders) const override;
  void PaintHeaderSection(TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds,
                          TlfBorders Neighbors, TlfBorders Borders, TlfElementState State,
                          TAlignment AlignHorz, TlfVerticalAlignment AlignVert, bool MultiLine,
                          bool EndEllipsis, const std::wstring& Text, TFont* Font, TColor TextColor,
                          TColor BackColor) const override;
  void PaintSortMark(TlfCanvas* C, const TRect& R, bool Ascending) const override;
  void PaintScrollBarPart(TlfCanvas* C, bool Horizontal, const TRect& R, TlfScrollPart Part,
                          TlfElementState State) const override;
  void PaintSizeGrip(TlfCanvas* C, const TRect& R, TColor BackColor) const override;
  void PaintCalendarHeader(TlfCanvas* C, const TRect& R, const std::wstring& Text,
                           TlfBorders Neighbors, const TlfViewParams& ViewParams,
                           TlfCalendarArrows Arrows, int ArrowOffset,
                           const TlfPaintBackgroundEvent& OnPaintBackground) const override;
  void PaintCalendarOutline(TlfCanvas* C, const TRect& R) const override;
  void PaintNavButtonContent(TlfCanvas* C, const TRect& Bounds, const TRect& ArrowRect, bool IsNext,
                             TlfElementState State) const override;
  void PaintNavButtonFace(TlfCanvas* C, const TRect& R, TlfElementState State) const override;
  void PaintPanelFace(TlfCanvas* C, TWinControl* Control, const TRect& Bounds, TColor ColorFrom,
                      TColor ColorTo) const override;

  // Slots of the Office 2003 painter
  virtual TColor HeaderShadeColor() const;
  virtual TColor HeaderDarkColor() const;
  virtual TColor HeaderLightColor() const;
  virtual TColor HeaderFaceColor() const;

protected:
  TlfOffice11LookAndFeelPainter() = default;
};

// ---------------------------------------------------------------------------
// Process-wide painter images

// Ready-made radio-button images for every look-and-feel kind, state and flag.
class TlfRadioButtonImageList : public TObject {
public:
  TlfRadioButtonImageList();
  ~TlfRadioButtonImageList() override;
  void BuildImages();
  void RebuildImages();
  static int ImageMapSlot(TlfLookAndFeelKind Kind, TlfElementState State, bool Checked,
                          bool Focused, bool IsDesigning);
  int ImageIndexOf(TlfLookAndFeelKind Kind, TlfElementState State, bool Checked, bool Focused,
                   bool IsDesigning) const;
  void PaintButtonImage(TlfCanvas* C, int X, int Y, TColor BrushColor, TlfLookAndFeelKind Kind,
                        TlfElementState State, bool Checked, bool Focused, bool IsDesigning);
  TSize ImageSize() const;
  TImageList* ImageList() const { return FImageList.get(); }

private:
  std::unique_ptr<TImageList> FImageList;
  std::unique_ptr<TBitmap> FButtonMask;
};

// The radio geometry measured from the system's own radio button.
struct TlfRadioGeometry {
  int CellWidth = 0, CellHeight = 0;
  int X0 = 0, Y0 = 0, CW = 0, CH = 0;
  TRect Dot;
};

void MeasureCheckBox();
void MeasureRadioButton();
const TlfRadioGeometry& RadioGeometry();
// The radio pattern, CH rows of CW values (0 outside .. 6 dot).
const std::vector<std::vector<int>>& RadioPattern();
void EllipseInRect(TCanvas* Canvas, const TRect& R);
void BuildRadioPattern();
TColor RadioBodyColor(TlfLookAndFeelKind Kind, TlfElementState State);
void DrawListImage(TlfCanvas* C, TCustomImageList* ImageList, int ImageIndex, const TRect& R,
                   TColor BackColor, bool Enabled, TBitmap* Bitmap);
TlfRadioButtonImageList* RadioButtonImages();
TSize CheckBoxGlyphSize();

void CreateRowMarkerImages();
void DestroyRowMarkerImages();
void AddRowMarkerImage(const std::wstring& ResName, TBitmap* Scratch);
// The row-marker images, or null before start-up.
TImageList* RowMarkerImages();

void CreateScrollBarPatterns();
void PaintScrollBarPatterns();
void DestroyScrollBarPatterns();
// Pattern 0 (normal) or 1 (pressed), or null when not created.
TBitmap* ScrollBarPattern(int Index);

// ---------------------------------------------------------------------------
// Registry of extended-style painters

class TlfExtendedStylePainterEntry : public TObject {
public:
  TlfExtendedStylePainterEntry(std::wstring AName, TlfLookAndFeelPainterClass APainter)
      : Name(std::move(AName)), Painter(APainter) {}
  std::wstring Name;
  TlfLookAndFeelPainterClass Painter;
};

class TlfExtendedStylePainters : public TlfObjectList {
public:
  TlfExtendedStylePainters();
  ~TlfExtendedStylePainters() override;
  void AddPainterListener(IPainterChangeListener* Listener);
  void RemovePainterListener(IPainterChangeListener* Listener);
  int FindEntryByName(const std::wstring& Name, TlfExtendedStylePainterEntry*& Entry) const;
  bool PainterByName(const std::wstring& Name, TlfLookAndFeelPainterClass& Painter) const;
  TlfExtendedStylePainterEntry* EntryAt(int Index) const;
  int ListenerCount() const { return static_cast<int>(FListeners.size()); }

private:
  std::vector<IPainterChangeListener*> FListeners;
};

TlfExtendedStylePainters* ExtendedStyleRegistry();

// Rebuilds the radio-button images when the system colours change.
class TSystemPaletteChangedNotifier : public TlfSystemPaletteChangedNotifier {
public:
  using TlfSystemPaletteChangedNotifier::TlfSystemPaletteChangedNotifier;
  void FireChanged() override;
};

// Start-up and shut-down of the painters' process-wide objects.
void lfLookAndFeelPaintersInitialize();
void lfLookAndFeelPaintersFinalize();
