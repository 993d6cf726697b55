#pragma once

#include "framework/Platform.h"

// The main window's banner at the largest of its drawn sizes that fits
// `room`, the picture control's client area: the control grows with the DPI
// and the dialog font while a bitmap keeps its pixels, and the control
// would clip a larger one. The smallest when none fits; the caller deletes
// it (DeleteObject).
HBITMAP LoadLargestBannerFitting(HINSTANCE instance, SIZE room);
