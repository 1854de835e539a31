#include "editor/notchfilter.h"

namespace editor {

TfrmNotchFilter::TfrmNotchFilter(TComponent* AOwner)
    : TFilterDialog(AOwner, L"Notch Filter", 346, 186, L"Notch Filter.htm", false,
                    {
                        {L"[Sys] Notch Filter 10kHz", {10000, 50}},
                        {L"[Sys] Notch Filter 1kHz", {1000, 50}},
                        {L"[Sys] Notch Filter 200Hz", {200, 50}},
                    }) {}

} // namespace editor
