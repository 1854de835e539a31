#include "editor/lowshelf.h"

namespace editor {

TfrmLowShelf::TfrmLowShelf(TComponent* AOwner)
    : TFilterDialog(AOwner, L"Low Shelf", 347, 246, L"Low Shelf.htm", true,
                    {
                        {L"[Sys] LowShelf Filter 10kHz", {10000, 50, -10}},
                        {L"[Sys] LowShelf Filter 100Hz", {100, 50, -10}},
                    }) {}

} // namespace editor
