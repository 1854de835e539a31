#include "recorder/ImageSlider.h"

HCURSOR TImageCustomSlider::ThumbCursor() {
  return LoadCursorW(nullptr, IDC_HAND);
}
