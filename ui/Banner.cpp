#include "ui/Banner.h"

#include "res/resource.h"

HBITMAP LoadLargestBannerFitting(HINSTANCE instance, SIZE room)
{
    // Largest first; the last is the one the dialog template names.
    const UINT banners[] = {IDB_BANNER_200, IDB_BANNER_150, IDB_BANNER_125, IDB_BANNER};
    for (UINT id : banners) {
        // A DIB section keeps the picture's 24-bit colours on any display.
        const HBITMAP bitmap = static_cast<HBITMAP>(
            ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!bitmap)
            continue;
        BITMAP size = {};
        ::GetObjectW(bitmap, sizeof size, &size);
        if ((size.bmWidth <= room.cx && size.bmHeight <= room.cy) || id == IDB_BANNER)
            return bitmap;
        ::DeleteObject(bitmap);
    }
    return nullptr;
}
