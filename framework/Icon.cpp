#include "framework/Icon.h"

namespace {

// Not LR_SHARED: the icon is made for the caller alone, who destroys it.
// LoadImage fails (nullptr) when the image it picked cannot be decoded; it
// does not go on to another image of the group by itself.
HICON LoadGroupIcon(HINSTANCE instance, UINT id, int size)
{
    return static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

HICON LoadIconOfSize(HINSTANCE instance, UINT id, int size, int plainSize)
{
    if (const HICON icon = LoadGroupIcon(instance, id, size))
        return icon;
    return LoadGroupIcon(instance, id, plainSize);
}
