#pragma once

#include "framework/Platform.h"

// The program's icon at the size of a system metric (SM_CXICON, SM_CXSMICON),
// which follows the DPI; on a system that cannot decode the image for that
// size, the largest plain one. The caller destroys it (DestroyIcon).
HICON LoadProgramIcon(int metric);
