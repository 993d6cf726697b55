// The dialog templates, created for real: every control's class, ID, text,
// style, place and tab order as the program and its users rely on them.

#include "framework/Platform.h"
#include "res/resource.h"

#include "ui/Banner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Predefined control classes: a template names them by ordinal (rc.exe) or
// by name (windres); the dialog manager accepts both.
struct ControlClass
{
    WORD ordinal;
    const wchar_t* name;
};
constexpr ControlClass kButton{0x0080, L"Button"};
constexpr ControlClass kEdit{0x0081, L"Edit"};
constexpr ControlClass kStatic{0x0082, L"Static"};
constexpr ControlClass kListBox{0x0083, L"ListBox"};

struct ControlSpec
{
    int id;
    ControlClass windowClass;
    const wchar_t* text;  // nullptr: an image, or free text if imageId is 0
    WORD imageId;         // bitmap or icon resource the control shows
    RECT dialogUnits;     // left, top, right, bottom
    DWORD style;          // bits that must be set
    DWORD forbiddenStyle; // bits that must be clear
    DWORD exStyle;        // extended bits that must be set
    DWORD buttonType;     // BS_* type for buttons; types are values, not flags
};

constexpr DWORD kNoButtonType = 0xFFFFFFFF;

// Bits that live controls change by themselves: edits and list boxes with a
// client edge drop WS_BORDER, and list boxes show their scroll bar only when
// needed. The template must still carry them.
constexpr DWORD kBitsControlsChange = WS_BORDER | WS_VSCROLL | WS_HSCROLL;

RECT Dlu(int x, int y, int width, int height)
{
    return RECT{x, y, x + width, y + height};
}

// Push buttons are plain: the main window has no default button, so Enter
// on a non-button ends the modal run through IDOK instead of a click.
ControlSpec PushButton(int id, const wchar_t* text, RECT dlu)
{
    return {id, kButton, text, 0, dlu, WS_TABSTOP, WS_GROUP, 0, BS_PUSHBUTTON};
}

std::vector<ControlSpec> MainControlsInTabOrder()
{
    const DWORD clientAndStaticEdge = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;
    return {
        PushButton(IDC_SHUFFLE, L"シャッフル", Dlu(112, 187, 45, 17)),
        PushButton(IDCANCEL, L"終了", Dlu(167, 187, 45, 17)),
        PushButton(IDC_PLAY, L"プレイ", Dlu(61, 187, 45, 17)),
        {IDC_PATH, kEdit, L"", 0, Dlu(61, 53, 151, 14), ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
         ES_MULTILINE | ES_READONLY, clientAndStaticEdge, kNoButtonType},
        {-1, kStatic, L"VQLファイル", 0, Dlu(9, 57, 51, 9), SS_LEFT, WS_TABSTOP, 0, kNoButtonType},
        PushButton(IDC_LOAD, L"読込...", Dlu(167, 70, 45, 17)),
        {IDC_ENTRIES, kListBox, L"", 0, Dlu(7, 91, 205, 91),
         WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_WANTKEYBOARDINPUT,
         LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL | LBS_NOSEL | LBS_OWNERDRAWFIXED
             | LBS_OWNERDRAWVARIABLE,
         clientAndStaticEdge | WS_EX_ACCEPTFILES, kNoButtonType},
        {IDC_BANNER, kStatic, nullptr, IDB_BANNER, Dlu(7, 7, 205, 41), SS_BITMAP | SS_CENTERIMAGE,
         WS_TABSTOP, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, kNoButtonType},
        PushButton(IDC_SAVE, L"保存...", Dlu(112, 70, 45, 17)),
        {-1, kButton, L"", 0, Dlu(13, 65, 92, 25), 0, WS_TABSTOP, 0, BS_GROUPBOX},
        // DDX_Radio needs WS_GROUP on the first button of the group and on
        // no other; the arrow keys, not Tab, move between the two.
        {IDC_MODE_TITLE, kButton, L"曲名", 0, Dlu(17, 75, 30, 11), WS_GROUP, WS_TABSTOP, 0,
         BS_AUTORADIOBUTTON},
        {IDC_MODE_FILENAME, kButton, L"ファイル名", 0, Dlu(49, 75, 52, 11), 0, WS_GROUP | WS_TABSTOP, 0,
         BS_AUTORADIOBUTTON},
    };
}

std::vector<ControlSpec> AboutControlsInTabOrder()
{
    return {
        {IDC_ABOUT_ICON, kStatic, nullptr, IDR_MAINFRAME, Dlu(11, 17, 20, 20), SS_ICON, WS_TABSTOP, 0, kNoButtonType},
        {-1, kStatic, L"Jumbla Version 1.0", 0, Dlu(40, 10, 119, 8), SS_NOPREFIX, WS_TABSTOP, 0,
         kNoButtonType},
        // The second line is free text; any non-empty line will do.
        {-1, kStatic, nullptr, 0, Dlu(40, 25, 119, 8), SS_NOPREFIX, WS_TABSTOP, 0, kNoButtonType},
        {IDOK, kButton, L"OK", 0, Dlu(178, 7, 32, 14), WS_TABSTOP, 0, 0, BS_DEFPUSHBUTTON},
    };
}

void ExpectStyle(const ControlSpec& wanted, DWORD style, DWORD ignoredBits)
{
    const DWORD required = (wanted.style | WS_CHILD | WS_VISIBLE) & ~ignoredBits;
    EXPECT_EQ(required, style & required) << std::hex << "style 0x" << style;
    EXPECT_EQ(0u, style & wanted.forbiddenStyle) << std::hex << "style 0x" << style;
    if (wanted.buttonType != kNoButtonType) {
        EXPECT_EQ(wanted.buttonType, style & BS_TYPEMASK) << std::hex << "style 0x" << style;
    }
}

std::wstring WindowText(HWND window)
{
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

std::wstring ClassName(HWND window)
{
    wchar_t buffer[64] = {};
    GetClassNameW(window, buffer, 64);
    return buffer;
}

// Screen rectangle of a control, in the dialog's client coordinates.
RECT ClientRect(HWND dialog, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

// A dialog procedure that handles nothing. FALSE from WM_INITDIALOG leaves
// the focus alone, so the dialog manager does not turn a focused push button
// into the default one.
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

// The dialog manager scales a control's x, y, width and height each on its
// own, so the expected place maps the size, not the right and bottom edges.
RECT MapPlaceAndSize(HWND dialog, const RECT& dialogUnits)
{
    RECT mapped = {dialogUnits.left, dialogUnits.top, dialogUnits.right - dialogUnits.left,
                   dialogUnits.bottom - dialogUnits.top};
    MapDialogRect(dialog, &mapped);
    return mapped;
}

void ExpectControlsInTabOrder(HWND dialog, const std::vector<ControlSpec>& specs)
{
    size_t index = 0;
    // Child windows are kept in template order, which is the tab order.
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
        ASSERT_LT(index, specs.size()) << "more controls than expected";
        const ControlSpec& wanted = specs[index];
        SCOPED_TRACE("control #" + std::to_string(index) + ", ID " + std::to_string(wanted.id));

        EXPECT_EQ(wanted.id, GetDlgCtrlID(child));
        EXPECT_EQ(std::wstring(wanted.windowClass.name), ClassName(child));
        if (wanted.text) {
            EXPECT_EQ(std::wstring(wanted.text), WindowText(child));
        } else if (wanted.imageId == 0) {
            EXPECT_FALSE(WindowText(child).empty());
        }
        ExpectStyle(wanted, static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)), kBitsControlsChange);
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(child, GWL_EXSTYLE));
        EXPECT_EQ(wanted.exStyle, exStyle & wanted.exStyle) << std::hex << "extended style 0x" << exStyle;

        const RECT expected = MapPlaceAndSize(dialog, wanted.dialogUnits);
        const RECT actual = ClientRect(dialog, child);
        EXPECT_EQ(expected.left, actual.left);
        EXPECT_EQ(expected.top, actual.top);
        // An icon control sizes itself to the icon, so only its place counts.
        if ((wanted.style & SS_TYPEMASK) != SS_ICON || wanted.windowClass.ordinal != kStatic.ordinal) {
            EXPECT_EQ(expected.right, actual.right - actual.left);
            if (wanted.windowClass.ordinal == kListBox.ordinal && !(wanted.style & LBS_NOINTEGRALHEIGHT)) {
                // A list box trims itself to a whole number of items when it
                // is created, before the dialog gives it its font: by less
                // than one item of either font, so less than two items here.
                const int itemHeight = static_cast<int>(SendMessageW(child, LB_GETITEMHEIGHT, 0, 0));
                const int trimmed = expected.bottom - (actual.bottom - actual.top);
                EXPECT_GE(trimmed, 0);
                EXPECT_LT(trimmed, 2 * itemHeight);
            } else {
                EXPECT_EQ(expected.bottom, actual.bottom - actual.top);
            }
        }
    }
    EXPECT_EQ(specs.size(), index) << "fewer controls than expected";
}

std::wstring FontFaceName(HWND dialog)
{
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW logFont = {};
    GetObjectW(font, sizeof logFont, &logFont);
    return logFont.lfFaceName;
}

struct DialogSpec
{
    WORD templateId;
    const wchar_t* title;
    SIZE dialogUnits;
    DWORD style;          // bits that must be set
    DWORD forbiddenStyle; // bits that must be clear
    DWORD exStyle;        // extended bits that must be set
    std::vector<ControlSpec> controls;
};

const wchar_t kDialogFont[] = L"ＭＳ Ｐゴシック";

std::vector<DialogSpec> Dialogs()
{
    return {
        {IDD_MAIN, L"Jumbla", SIZE{219, 211},
         DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
         WS_MAXIMIZEBOX | WS_THICKFRAME, WS_EX_APPWINDOW | WS_EX_ACCEPTFILES, MainControlsInTabOrder()},
        {IDD_ABOUTBOX, L"ﾊﾞｰｼﾞｮﾝ情報 Jumbla", SIZE{217, 55}, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
         WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME, 0, AboutControlsInTabOrder()},
    };
}

TEST(DialogResources, CreatedDialogsHaveTheirControlsInTabOrder)
{
    for (const DialogSpec& wanted : Dialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(wanted.templateId));
        CreatedDialog dialog(wanted.templateId);
        ASSERT_NE(nullptr, dialog.m_hWnd) << "error " << GetLastError();

        EXPECT_EQ(wanted.title, WindowText(dialog.m_hWnd));
        EXPECT_EQ(kDialogFont, FontFaceName(dialog.m_hWnd));
        const DWORD style = static_cast<DWORD>(GetWindowLongW(dialog.m_hWnd, GWL_STYLE));
        EXPECT_EQ(wanted.style, style & wanted.style) << std::hex << style;
        EXPECT_EQ(0u, style & wanted.forbiddenStyle) << std::hex << style;
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(dialog.m_hWnd, GWL_EXSTYLE));
        EXPECT_EQ(wanted.exStyle, exStyle & wanted.exStyle) << std::hex << exStyle;

        const RECT expected = MapPlaceAndSize(dialog.m_hWnd, RECT{0, 0, wanted.dialogUnits.cx, wanted.dialogUnits.cy});
        RECT client;
        GetClientRect(dialog.m_hWnd, &client);
        EXPECT_EQ(expected.right, client.right);
        EXPECT_EQ(expected.bottom, client.bottom);

        ExpectControlsInTabOrder(dialog.m_hWnd, wanted.controls);
    }
}

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
    for (int dpi : {96, 120, 144, 192}) {
        const SIZE units = DialogBaseUnits(dialog.m_hWnd, dpi);
        const int width = MulDiv(205, units.cx, 4) - MulDiv(frame.cx, dpi, thisDpi);
        const int height = MulDiv(41, units.cy, 8) - MulDiv(frame.cy, dpi, thisDpi);
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

// EnumChildWindows callback: collects the labels drawn in one line (push
// buttons, radio buttons and static texts) whose text is wider than the room
// the control gives it.
BOOL CALLBACK CollectClippedLabel(HWND control, LPARAM clipped)
{
    wchar_t text[128] = {};
    wchar_t className[32] = {};
    GetClassNameW(control, className, sizeof className / sizeof className[0]);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const LONG type = style & BS_TYPEMASK;
    const bool isButton = lstrcmpiW(className, L"Button") == 0 && type != BS_GROUPBOX;
    const bool isText = lstrcmpiW(className, L"Static") == 0 && (style & SS_TYPEMASK) == SS_LEFT;
    if ((!isButton && !isText) || GetWindowTextW(control, text, sizeof text / sizeof text[0]) == 0)
        return TRUE;

    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needed = {};
    DrawTextW(dc, text, -1, &needed, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(control, dc);

    RECT client = {};
    GetClientRect(control, &client);
    int room = client.right;
    if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON)
        room -= GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);  // the circle and its gap
    else if (isButton)
        room -= 2 * GetSystemMetrics(SM_CXEDGE);
    if (needed.right > room)
        reinterpret_cast<std::vector<std::wstring>*>(clipped)->push_back(text);
    return TRUE;
}

// A label wider than its control is cut off ("ファイル" for "ファイル名").
TEST(DialogResources, EveryLabelFitsItsControl)
{
    for (int id : {IDD_MAIN, IDD_ABOUTBOX}) {
        CreatedDialog dialog(id);
        ASSERT_NE(nullptr, dialog.m_hWnd) << "error " << GetLastError();
        std::vector<std::wstring> clipped;
        EnumChildWindows(dialog.m_hWnd, CollectClippedLabel, reinterpret_cast<LPARAM>(&clipped));
        EXPECT_TRUE(clipped.empty()) << "dialog " << id << " cuts off " << ::testing::PrintToString(clipped);
    }
}

// A live list box has WS_VSCROLL only while its items overflow it, so the
// check above ignores the bit: a playlist longer than the list must scroll.
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
