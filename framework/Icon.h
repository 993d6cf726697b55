#pragma once

#include "framework/Platform.h"

// The icon of group `id` in `instance` at size x size pixels: the system
// picks the group's image nearest that size and scales it. When it cannot
// decode the image it picked (Windows XP reads no PNG-compressed image, the
// form a 256-pixel image takes), the group's image of plainSize pixels
// instead, one every Windows decodes; nullptr only when neither loads. The
// caller destroys the icon (DestroyIcon).
HICON LoadIconOfSize(HINSTANCE instance, UINT id, int size, int plainSize);
