#pragma once

#include "framework/Platform.h"

#include <vector>

// Which image of an icon group to show at `wanted` pixels, given the
// groups' image sizes: the same size, else the nearest larger one (scaling
// down keeps the drawing sharp; scaling up blurs it), else the largest.
// The index into sizes; -1 when there are none.
inline int ChooseIconSize(const std::vector<int>& sizes, int wanted)
{
    int chosen = -1;
    for (int i = 0; i < static_cast<int>(sizes.size()); ++i) {
        if (chosen < 0) {
            chosen = i;
            continue;
        }
        const int size = sizes[i];
        const int best = sizes[chosen];
        const bool fits = size >= wanted;
        if (fits ? (best < wanted || size < best) : (best < wanted && size > best))
            chosen = i;
    }
    return chosen;
}

#ifdef _WIN32
// The group directory of an icon resource (RT_GROUP_ICON): packed on WORD
// boundaries, with resource IDs where an .ico file has file offsets.
#pragma pack(push, 2)
struct GroupIconEntry
{
    BYTE width;   // 0 means 256
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD iconId;  // the RT_ICON resource that holds the image
};
struct GroupIconHeader
{
    WORD reserved;
    WORD type;
    WORD count;  // the entries follow
};
#pragma pack(pop)

// The icon of group `id` in `instance` at size x size pixels, made from the
// image ChooseIconSize picks. The caller destroys it (DestroyIcon); nullptr
// when the group cannot be read. Works from Windows 2000 on, unlike
// LoadIconMetric (Vista), and follows our own choice of image.
HICON LoadIconOfSize(HINSTANCE instance, UINT id, int size);
#endif
