// The check-mark image list made at start-up from the bitmap "MENU_CHECKED".
#pragma once

class TCustomImageList;

TCustomImageList* CheckMarkImages();
