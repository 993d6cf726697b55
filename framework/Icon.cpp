#include "framework/Icon.h"

#include <algorithm>

namespace {

const BYTE* ResourceBytes(HINSTANCE instance, UINT id, WORD type, DWORD& size)
{
    // Types as numbers (RT_GROUP_ICON 14, RT_ICON 3): the RT_* macros are
    // narrow or wide pointers depending on UNICODE.
    const HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    if (!found)
        return nullptr;
    size = ::SizeofResource(instance, found);
    // A resource stays loaded as long as its module: nothing to free.
    return static_cast<const BYTE*>(::LockResource(::LoadResource(instance, found)));
}

}  // namespace

HICON LoadIconOfSize(HINSTANCE instance, UINT id, int size)
{
    DWORD groupSize = 0;
    const BYTE* group = ResourceBytes(instance, id, 14, groupSize);
    if (!group || groupSize < sizeof(GroupIconHeader))
        return nullptr;
    const auto* header = reinterpret_cast<const GroupIconHeader*>(group);
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(group + sizeof(GroupIconHeader));
    const DWORD count = std::min<DWORD>(header->count, (groupSize - sizeof(GroupIconHeader)) / sizeof(GroupIconEntry));

    std::vector<int> sizes;
    for (DWORD i = 0; i < count; ++i)
        sizes.push_back(entries[i].width == 0 ? 256 : entries[i].width);
    const int chosen = ChooseIconSize(sizes, size);
    if (chosen < 0)
        return nullptr;

    DWORD imageSize = 0;
    const BYTE* image = ResourceBytes(instance, entries[chosen].iconId, 3, imageSize);
    if (!image)
        return nullptr;
    // 0x00030000 is the icon format of Windows 3.x and later, which every
    // image is; the image is scaled to size x size when it has another size.
    return ::CreateIconFromResourceEx(const_cast<BYTE*>(image), imageSize, TRUE, 0x00030000, size, size,
                                      LR_DEFAULTCOLOR);
}
