#include "editor/highpass.h"

namespace editor {

TfrmHighPass::TfrmHighPass(TComponent* AOwner)
    : TFilterDialog(AOwner, L"High Pass", 343, 185, L"High Pass.htm", false,
                    {
                        {L"[Sys] HighPass Filter 10kHz", {10000, 50}},
                        {L"[Sys] HighPass Filter 1kHz", {1000, 50}},
                        {L"[Sys] HighPass Filter 200Hz", {200, 50}},
                    }) {}

} // namespace editor
