#include "editor/lowpass.h"

namespace editor {

TfrmLowPass::TfrmLowPass(TComponent* AOwner)
    : TFilterDialog(AOwner, L"Low Pass", 342, 186, L"Low Pass.htm", false,
                    {
                        {L"[Sys] LowPass Filter 10kHz", {10000, 50}},
                        {L"[Sys] LowPass Filter 1kHz", {1000, 50}},
                        {L"[Sys] LowPass Filter 200Hz", {200, 50}},
                    }) {}

} // namespace editor
