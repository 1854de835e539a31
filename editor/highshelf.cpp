#include "editor/highshelf.h"

namespace editor {

TfrmHighShelf::TfrmHighShelf(TComponent* AOwner)
    : TFilterDialog(AOwner, L"High Shelf", 344, 245, L"High Shelf.htm", true,
                    {
                        {L"[Sys] HighShelf Filter 10kHz", {10000, 50, -10}},
                        {L"[Sys] HighShelf Filter 100Hz", {100, 50, -10}},
                    }) {}

} // namespace editor
