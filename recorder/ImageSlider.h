// The recorder's image slider: the controls library's slider with the
// system's hand cursor over the thumb.
#pragma once

#include "controls/PicSlider.h"

class TImageCustomSlider : public TPicCustomSlider {
public:
  explicit TImageCustomSlider(TComponent* AOwner) : TPicCustomSlider(AOwner) {}

protected:
  HCURSOR ThumbCursor() override;
};

class TImageSlider : public TImageCustomSlider {
public:
  explicit TImageSlider(TComponent* AOwner) : TImageCustomSlider(AOwner) {}
};
