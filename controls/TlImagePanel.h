// Image panel: a picture drawn at its size, stretched or tiled, with an
// optional caption, painted off-screen without background erasing.
#pragma once

#include <cstdint>
#include <memory>

#include "controls/FcCommon.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"

enum TtlDrawStyle : uint8_t { tlNormal, tlStretch, tlTile };

class TtlCustomPanel : public TCustomControl, public IFcTransparency {
public:
  explicit TtlCustomPanel(TComponent* AOwner);
  ~TtlCustomPanel() override;

  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value);
  TtlDrawStyle DrawStyle() const { return FDrawStyle; }
  void SetDrawStyle(TtlDrawStyle Value);
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool GetTransparent() const override { return FTransparent; }
  void SetAutoSize(bool Value) override;
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // Where the caption was drawn last.
  TRect CaptionRect() const { return FCaptionRect; }

protected:
  virtual void FillHostedBackground();
  virtual void CaptionRectChanged(const TRect&) {}
  virtual void PictureChanged();
  void SizeToPicture();
  void Paint() override;
  void Resize() override;
  void WndProc(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;

private:
  std::unique_ptr<TPicture> FPicture;
  TtlDrawStyle FDrawStyle = tlNormal;
  bool FTransparent = false;
  TAlignment FAlignment = taCenter;
  TPoint FCaptionPos{-1, -1};
  bool FEraseBackground = false;
  TRect FCaptionRect;
};

class TtlImagePanel : public TtlCustomPanel {
public:
  explicit TtlImagePanel(TComponent* AOwner) : TtlCustomPanel(AOwner) {}
};
