#include "editor/bandpass.h"

namespace editor {

TfrmBandPass::TfrmBandPass(TComponent* AOwner)
    : TFilterDialog(AOwner, L"Band Pass", 344, 186, L"Band Pass.htm", false,
                    {
                        {L"[Sys] BandPass Filter 10kHz", {10000, 50}},
                        {L"[Sys] BandPass Filter 1kHz", {1000, 50}},
                        {L"[Sys] BandPass Filter 200Hz", {200, 50}},
                    }) {}

} // namespace editor
