#include "framework/Icon.h"

#include "tests/support/IconBitmap.h"

#include "TestDialogs.h"

#include <gtest/gtest.h>

namespace {

TEST(LoadIconOfSize, FallsBackToThePlainImageWhenTheOneForTheSizeCannotBeDecoded)
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    // The system itself gives nothing for the size whose image it cannot decode.
    ASSERT_EQ(nullptr, LoadImageW(module, MAKEINTRESOURCEW(IDI_UNDECODABLE), IMAGE_ICON, 256, 256, 0));

    const struct
    {
        UINT id;
        int size;
        int width;  // 0: no icon
    } cases[] = {
        {IDI_UNDECODABLE, 16, 16},   // the image of that size
        {IDI_UNDECODABLE, 256, 16},  // undecodable: the plain image instead
        {IDI_MISSING, 16, 0},
    };
    for (const auto& row : cases) {
        const HICON icon = LoadIconOfSize(module, row.id, row.size, 16);
        EXPECT_EQ(row.width, IconColourBitmap(icon).bmWidth) << "group " << row.id << ", size " << row.size;
        if (icon)
            DestroyIcon(icon);
    }
}

}  // namespace
