#pragma once

#include <windows.h>

// The colour image of an icon as GDI describes it (bmWidth, bmBitsPixel);
// all zero when the handle is no icon.
inline BITMAP IconColourBitmap(HICON icon)
{
    BITMAP colour = {};
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return colour;
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return colour;
}
