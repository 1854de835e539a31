#include "editor/peakeq.h"

namespace editor {

TfrmPeakEQFilter::TfrmPeakEQFilter(TComponent* AOwner)
    : TFilterDialog(AOwner, L"PeakEQ Filter", 341, 247, L"Peak EQ Filterr.htm", true,
                    {
                        {L"[Sys] Peak EQ Filter 10kHz", {10000, 50, -10}},
                        {L"[Sys] Peak EQ Filter 100Hz", {100, 50, -10}},
                        {L"[Sys] Peak EQ Filter 2kHz", {2000, 50, -10}},
                        {L"[Sys] Peak EQ Filter 500Hz", {500, 50, -10}},
                    }) {}

} // namespace editor
