// The dialog templates, created for real with a procedure that does nothing:
// what the template and the controls make of it before the program's own
// code runs. How the windows lay out their controls, and the order the keys
// reach them in, is checked on the windows the program makes (ui_tests:
// ShuffleDlgTest).

#include "framework/Platform.h"
#include "res/resource.h"

#include "ui/Banner.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

INT_PTR CALLBACK HandleNothing(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Creates a dialog from its template, hidden, with a procedure that does
// nothing: what is seen is what the template and the controls make of it.
class CreatedDialog
{
public:
    explicit CreatedDialog(int templateId)
        : m_hWnd(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), nullptr,
                                    HandleNothing, 0))
    {
    }
    ~CreatedDialog() { DestroyWindow(m_hWnd); }
    CreatedDialog(const CreatedDialog&) = delete;
    CreatedDialog& operator=(const CreatedDialog&) = delete;

    HWND m_hWnd;
};

// The dialog's base units for its own font at a given DPI, as the dialog
// manager computes them: the average width of the 52 Latin letters and the
// font's height.
SIZE DialogBaseUnits(HWND dialog, int dpi)
{
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfHeight = -MulDiv(9, dpi, 72);  // the template's 9-point font
    font.lfWidth = 0;
    const HFONT scaled = CreateFontIndirectW(&font);
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, scaled);
    const wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent = {};
    GetTextExtentPoint32W(dc, letters, 52, &extent);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(scaled);
    return {(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

// A control's size in dialog units, from its size in pixels: the dialog
// manager made the pixels with MulDiv(units, base unit, 4) across and
// MulDiv(units, base unit, 8) down.
int DialogUnits(int pixels, int baseUnit, int unitsPerBase)
{
    int units = 0;
    while (MulDiv(units, baseUnit, unitsPerBase) < pixels)
        ++units;
    return units;
}

// SS_CENTERIMAGE centres a bitmap larger than its control and cuts off its
// edges, letters included: the picture must lie wholly inside the control's
// client area, here and at the larger DPIs where the control grows with the
// font while a bitmap keeps its pixels. There the program shows the largest
// of its banners that fits, which must fill most of the control's width.
TEST(DialogResources, BannerFitsItsControlAtEveryDpi)
{
    CreatedDialog dialog(IDD_MAIN);
    ASSERT_NE(nullptr, dialog.m_hWnd) << "error " << GetLastError();
    const HWND banner = GetDlgItem(dialog.m_hWnd, IDC_BANNER);
    const HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendMessageW(banner, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(nullptr, bitmap);
    const SIZE picture = BitmapSize(bitmap);

    RECT client = {};
    GetClientRect(banner, &client);
    RECT outer = {};
    GetWindowRect(banner, &outer);
    EXPECT_LE(picture.cx, client.right) << "this system's DPI";
    EXPECT_LE(picture.cy, client.bottom) << "this system's DPI";

    // The frame (client edge and dialog frame) grows with the DPI too.
    const HDC screen = GetDC(nullptr);
    const int thisDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const SIZE frame = {(outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom};
    const SIZE base = DialogBaseUnits(dialog.m_hWnd, thisDpi);
    RECT baseHere = {0, 0, 4, 8};
    MapDialogRect(dialog.m_hWnd, &baseHere);
    ASSERT_EQ(base.cx, baseHere.right) << "the dialog manager's base units";
    ASSERT_EQ(base.cy, baseHere.bottom) << "the dialog manager's base units";
    const SIZE control = {DialogUnits(outer.right - outer.left, base.cx, 4),
                          DialogUnits(outer.bottom - outer.top, base.cy, 8)};
    for (int dpi : {96, 120, 144, 192}) {
        const SIZE units = DialogBaseUnits(dialog.m_hWnd, dpi);
        const int width = MulDiv(control.cx, units.cx, 4) - MulDiv(frame.cx, dpi, thisDpi);
        const int height = MulDiv(control.cy, units.cy, 8) - MulDiv(frame.cy, dpi, thisDpi);
        // The template's own banner, shown until the program picks one.
        EXPECT_LE(picture.cx, width) << dpi << " DPI";
        EXPECT_LE(picture.cy, height) << dpi << " DPI";

        const HBITMAP shown = LoadLargestBannerFitting(GetModuleHandleW(nullptr), SIZE{width, height});
        ASSERT_NE(nullptr, shown) << dpi << " DPI";
        const SIZE size = BitmapSize(shown);
        DeleteObject(shown);
        EXPECT_LE(size.cx, width) << dpi << " DPI";
        EXPECT_LE(size.cy, height) << dpi << " DPI";
        EXPECT_GE(size.cx * 100, width * 85) << dpi << " DPI";
        std::printf("banner %ldx%ld in a client area of %dx%d at %d DPI\n", size.cx, size.cy, width, height, dpi);
    }
}

// A live list box has WS_VSCROLL only while its items overflow it: a
// playlist longer than the list must scroll.
TEST(DialogResources, TheEntryListScrollsOnceItOverflows)
{
    CreatedDialog dialog(IDD_MAIN);
    ASSERT_NE(nullptr, dialog.m_hWnd) << "error " << GetLastError();
    const HWND list = GetDlgItem(dialog.m_hWnd, IDC_ENTRIES);
    for (int i = 0; i < 100; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"entry"));
    EXPECT_NE(0, GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL);
}

TEST(DialogResources, AboutBoxShowsTheProgramIcon)
{
    CreatedDialog dialog(IDD_ABOUTBOX);
    ASSERT_NE(nullptr, dialog.m_hWnd) << "error " << GetLastError();
    const HWND icon = GetWindow(dialog.m_hWnd, GW_CHILD);
    EXPECT_NE(nullptr, reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0)));
}

} // namespace
