// Resource languages, icon, banner, manifest and version resources as linked into this
// test executable from the program's own resource script.

#include "framework/Platform.h"
#include "res/resource.h"
#include "res/version.h"
#include "framework/Icon.h"
#include "tests/support/IconBitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwctype>
#include <set>
#include <string>
#include <utility>

namespace {

HMODULE Module()
{
    return GetModuleHandleW(nullptr);
}

// Resource types are passed as numbers: the RT_* macros are narrow or wide
// pointers depending on UNICODE.
std::string ResourceBytes(WORD type, WORD id)
{
    const HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    if (!found) {
        return {};
    }
    const void* data = LockResource(LoadResource(Module(), found));
    return std::string(static_cast<const char*>(data), SizeofResource(Module(), found));
}

TEST(Resources, UserVisibleOnesAreJapanese)
{
    const LANGID japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    // Strings live in blocks of 16: block (id / 16) + 1 holds IDs 96..111.
    const std::pair<WORD, WORD> resources[] = {
        {5 /* RT_DIALOG */, IDD_MAIN},
        {5 /* RT_DIALOG */, IDD_ABOUTBOX},
        {6 /* RT_STRING */, IDS_ABOUTBOX / 16 + 1},
        {14 /* RT_GROUP_ICON */, IDR_MAINFRAME},
        {2 /* RT_BITMAP */, IDB_BANNER},
        {16 /* RT_VERSION */, VS_VERSION_INFO},
    };
    for (const auto& [type, id] : resources) {
        EXPECT_NE(nullptr, FindResourceExW(Module(), MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), japanese))
            << "type " << type << ", ID " << id;
    }
}

// The images the system picks for each size the group is drawn at: a plain
// 32-bit bitmap with alpha up to IDR_MAINFRAME_PLAIN_SIZE, the one every
// Windows decodes, and PNG above it. Each loads as an icon of its size.
TEST(IconResource, GroupHasEverySizeFrom16To256PlainUpToItsPlainSize)
{
    std::string group = ResourceBytes(14 /* RT_GROUP_ICON */, IDR_MAINFRAME);
    ASSERT_FALSE(group.empty());
    const std::set<int> sizes = {16, 20, 24, 32, 40, 48, 64, 256};
    EXPECT_EQ(1u, sizes.count(IDR_MAINFRAME_PLAIN_SIZE)) << "the plain size is one the group has";

    for (int size : sizes) {
        SCOPED_TRACE("size " + std::to_string(size));
        const int id = LookupIconIdFromDirectoryEx(reinterpret_cast<BYTE*>(group.data()), TRUE, size, size,
                                                   LR_DEFAULTCOLOR);
        const std::string image = ResourceBytes(3 /* RT_ICON */, static_cast<WORD>(id));
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        const bool png = image.compare(0, 4, "\x89PNG") == 0;
        EXPECT_EQ(size > IDR_MAINFRAME_PLAIN_SIZE, png);
        if (!png) {
            BITMAPINFOHEADER header;
            memcpy(&header, image.data(), sizeof header);
            EXPECT_EQ(size, header.biWidth);
            EXPECT_EQ(32, header.biBitCount);
        }

        const HICON icon = LoadIconOfSize(Module(), IDR_MAINFRAME, size, IDR_MAINFRAME_PLAIN_SIZE);
        const BITMAP colour = IconColourBitmap(icon);
        EXPECT_EQ(size, colour.bmWidth);
        EXPECT_EQ(32, colour.bmBitsPixel);
        DestroyIcon(icon);
    }
}

TEST(ManifestResource, AsksForCommonControls6AndDpiAwarenessButNoCodePage)
{
    const std::string manifest = ResourceBytes(24 /* RT_MANIFEST */, 1);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\""));
    EXPECT_NE(std::string::npos, manifest.find("version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, manifest.find(">true</dpiAware>"));
    // The program's byte strings are in the system code page; a UTF-8
    // activeCodePage would silently change what every ...A call means.
    EXPECT_EQ(std::string::npos, manifest.find("activeCodePage"));
}

TEST(ManifestResource, TakesEffectInTheProcess)
{
    // The manifest is resource 1 of this executable, so the loader applied it.
    EXPECT_TRUE(IsProcessDPIAware());

    // With the Common-Controls 6 dependency, comctl32.dll resolves to the
    // side-by-side assembly instead of the system folder's version 5 copy.
    // (Its DllGetVersion cannot tell them apart under Wine: both say 5.81.)
    const HMODULE commonControls = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(nullptr, commonControls);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(commonControls, path, MAX_PATH);
    std::wstring lowerPath = path;
    for (wchar_t& ch : lowerPath) {
        ch = towlower(ch);
    }
    EXPECT_NE(std::wstring::npos, lowerPath.find(L"\\winsxs\\")) << path;
    EXPECT_NE(std::wstring::npos, lowerPath.find(L"common-controls")) << path;
    FreeLibrary(commonControls);
}

std::wstring VersionString(const std::string& block, const wchar_t* name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) {
        return {};
    }
    return static_cast<const wchar_t*>(value);
}

TEST(VersionResource, NamesTheProductInJapaneseBlock)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const DWORD size = GetFileVersionInfoSizeW(path, nullptr);
    ASSERT_NE(0u, size);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));

    EXPECT_EQ(L"Jumbla", VersionString(block, L"ProductName"));
    EXPECT_EQ(L"jumbla.exe", VersionString(block, L"OriginalFilename"));
    // The version from VERSION, the same in every place it is written.
    const std::string quad = JUMBLA_VERSION_QUAD;
    EXPECT_EQ(std::wstring(quad.begin(), quad.end()), VersionString(block, L"FileVersion"));
    EXPECT_EQ(std::wstring(quad.begin(), quad.end()), VersionString(block, L"ProductVersion"));
    EXPECT_FALSE(VersionString(block, L"FileDescription").empty());

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(DWORD(MAKELONG(JUMBLA_VERSION_MINOR, JUMBLA_VERSION_MAJOR)), fixed->dwFileVersionMS);
    EXPECT_EQ(DWORD(MAKELONG(JUMBLA_VERSION_TWEAK, JUMBLA_VERSION_PATCH)), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);

    const std::string manifest = ResourceBytes(24 /* RT_MANIFEST */, 1);
    EXPECT_NE(std::string::npos, manifest.find("name=\"Jumbla\" version=\"" + quad + "\""));
}

} // namespace
