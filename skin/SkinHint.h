// Skinned hints: the application's hint window drawn from the skin's hint
// window picture or in a default look, with lines, a bold title and an image
// taken from the hinted skinned control, and hints shown on request.
#pragma once

#include <memory>
#include <string>

#include <windows.h>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "skin/SkUtils.h"
#include "skin/SkinData.h"

class TskSkinHintWindow;

class TskSkinHint : public TComponent {
public:
  explicit TskSkinHint(TComponent* AOwner);
  ~TskSkinHint() override;

  const std::wstring& LineSeparator() const { return FLineSeparator; }
  void SetLineSeparator(const std::wstring& Value) { FLineSeparator = Value; }
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  bool UseSkinFont = true;
  bool AlphaBlendSupport = true;
  bool AlphaBlend = false;
  BYTE AlphaBlendValue = 200;
  bool AlphaBlendAnimation = false;
  TskSkinData* SkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  TShowHintEvent OnShowHint;

  // Shows Text after the application's hint pause below the cursor, and hides
  // it after the hide pause.
  void ShowHintDelayed(const std::wstring& Text);
  void HideHint();
  TskSkinHintWindow* HintWindow() const { return FHintWindow.get(); }
  TTimer* DelayTimer() const { return FTimer.get(); }

  // Taken from the hinted control.
  std::wstring HintCaption;
  int HintImage = 0;
  TCustomImageList* HintImages = nullptr;

  // The skin when it has a hint window picture, else nullptr.
  TskSkinData* UsableSkin() const;
  // The height of the cursor's visible part below its hot spot.
  static int CursorMargin();

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void ShowHintHandler(std::wstring& HintStr, bool& CanShow, THintInfo& HintInfo);
  void InstallHandler();
  void RestoreHandler();
  void DelayTick();

  std::wstring FLineSeparator = L"@";
  std::unique_ptr<TFont> FDefaultFont;
  TskSkinData* FSkinData = nullptr;
  bool FActive = true;
  std::unique_ptr<TskSkinHintWindow> FHintWindow;
  std::unique_ptr<TTimer> FTimer, FOldTimer;
  bool FTimerShowing = false;
  std::wstring FDelayedText;
  bool FInstalled = false;
  TShowHintEvent FPrevShowHint;
};

// The first active hint component of the application's main form.
TskSkinHint* FindActiveSkinHint();

class TskSkinHintWindow : public THintWindow {
public:
  explicit TskSkinHintWindow(TComponent* AOwner);
  ~TskSkinHintWindow() override;
  void ActivateHint(const TRect& Rect, const std::wstring& AHint) override;

  TskSkinHint* ActiveHint() const { return FActiveHint; }
  TskSkinData* HintSkin() const { return FHintSkin; }
  bool TitleMode() const { return FTitleMode; }
  TRect NewClientRect() const { return FNewClientRect; }
  // The text with its separators made into line breaks.
  static std::wstring SplitLines(const std::wstring& Text, const std::wstring& Separator);

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;

private:
  void SetupFont(TFont* F);
  void SkinGrow(int& W, int& H);
  TskSkinGeometry NewGeometry() const;
  TskSkinHint* FActiveHint = nullptr;
  TskSkinData* FHintSkin = nullptr;
  TRect FNewClientRect;
  POINT FNewLT{}, FNewRT{}, FNewLB{}, FNewRB{};
  bool FTitleMode = false;
  TskPicture FScreenShot;
  HRGN FRegion = nullptr;
  bool FAppliedAlphaBlend = false;
  int FAppliedAlphaValue = 0;
};
