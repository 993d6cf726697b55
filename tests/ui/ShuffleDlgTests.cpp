#include "framework/DragListBox.h"
#include "framework/Random.h"
#include "playlist/ShuffleOrder.h"
#include "tests/support/IconBitmap.h"
#include "tests/ui/MainWindowTest.h"
#include "tests/support/standin_player/StandinLog.h"
#include "ui/AboutDlg.h"

#include <commctrl.h>

#include <ctime>

using ShuffleDlgTest = MainWindowTest;

namespace {

const std::vector<CString> kLines = {"#x", "a.vqf", "", "b.vqf", "c.vqf", "d.vqf", "e.vqf"};

}

// The About command shows the About box modally, owned by the window.
TEST_F(ShuffleDlgTest, SystemMenuEndsWithSeparatorAboutAndShuffleAndPlayAndAboutShowsTheBoxModally)
{
    Open();
    HMENU menu = GetSystemMenu(dlg->m_hWnd, FALSE);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 3);
    EXPECT_EQ(GetMenuState(menu, count - 3, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    // Their texts: ShownTextTest.WindowsAndTheSystemMenuReadAsWritten.
    EXPECT_EQ(GetMenuItemID(menu, count - 2), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_SHUFFLE_PLAY));

    CModalDialogCloser closer;
    // The system keeps the low four bits of a command for itself.
    SysCommand(IDM_ABOUTBOX | 0x3);
    EXPECT_TRUE(closer.seen);
    EXPECT_EQ(closer.caption, JumblaText::kAboutCaption);
    EXPECT_EQ(closer.owner, dlg->m_hWnd);
    EXPECT_TRUE(IsWindow(dlg->m_hWnd));
}

// Both icons at the sizes this DPI asks for, in the window and the About box,
// and the banner.
TEST_F(ShuffleDlgTest, TheIconIsTheWindowIconAndTheDragIconAndTheBannerFillsItsControl)
{
    Open();
    ASSERT_NE(dlg->m_hIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dlg->m_hWnd, WM_GETICON, ICON_BIG, 0)), dlg->m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dlg->m_hWnd, WM_QUERYDRAGICON, 0, 0)), dlg->m_hIcon);
    EXPECT_EQ(IconColourBitmap(dlg->m_hIcon).bmWidth, GetSystemMetrics(SM_CXICON));
    const HICON small = reinterpret_cast<HICON>(SendMessageA(dlg->m_hWnd, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(IconColourBitmap(small).bmWidth, GetSystemMetrics(SM_CXSMICON));
    EXPECT_TRUE(GetWindowLongA(dlg->m_hWnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    CAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
    const HICON aboutIcon = reinterpret_cast<HICON>(SendDlgItemMessageW(about.m_hWnd, IDC_ABOUT_ICON, STM_GETICON, 0, 0));
    EXPECT_EQ(IconColourBitmap(aboutIcon).bmWidth, GetSystemMetrics(SM_CXICON));
    // Its own, not the shared one the template loaded at the default size.
    EXPECT_NE(aboutIcon, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)));
    about.DestroyWindow();

    // The program's banner, not the template's: whole and filling its control.
    const HBITMAP shown = reinterpret_cast<HBITMAP>(SendMessageW(Item(IDC_BANNER), STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP size = {};
    ASSERT_TRUE(GetObjectW(shown, sizeof size, &size));
    RECT client = {};
    GetClientRect(Item(IDC_BANNER), &client);
    EXPECT_LE(size.bmWidth, client.right);
    EXPECT_LE(size.bmHeight, client.bottom);
    EXPECT_GE(size.bmWidth * 100, client.right * 85);
    // The program loads its banners as DIB sections; the template's is not one.
    DIBSECTION dib = {};
    EXPECT_EQ(int(sizeof dib), GetObjectW(shown, sizeof dib, &dib));
}

namespace {

// A control and its place in its dialog's client area.
struct Control
{
    HWND hWnd;
    RECT rect;
};

std::vector<Control> ControlsOf(HWND dialog)
{
    std::vector<Control> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        controls.push_back({child, rect});
    }
    return controls;
}

bool IsClass(HWND control, const wchar_t* name)
{
    wchar_t className[32] = {};
    GetClassNameW(control, className, sizeof className / sizeof className[0]);
    return lstrcmpiW(className, name) == 0;
}

LONG ButtonType(HWND control)
{
    return IsClass(control, L"Button") ? GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK : -1;
}

std::wstring TextOf(HWND control)
{
    wchar_t text[128] = {};
    GetWindowTextW(control, text, sizeof text / sizeof text[0]);
    return text;
}

std::string Describe(HWND control)
{
    return "control " + std::to_string(GetDlgCtrlID(control)) + " " + ::testing::PrintToString(TextOf(control));
}

// The size of `text` on one line in the control's own font.
SIZE TextSize(HWND control, const std::wstring& text)
{
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

// The room a control gives its one line of text: all of its client area
// for a left-aligned static text; less the 3-D edge on both sides for a push
// button, less the circle and its gap for a radio button. 0: no label.
int LabelRoom(HWND control, const RECT& client)
{
    const LONG type = ButtonType(control);
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
        return client.right - 2 * GetSystemMetrics(SM_CXEDGE);
    if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON)
        return client.right - GetSystemMetrics(SM_CXMENUCHECK) - GetSystemMetrics(SM_CXEDGE);
    if (IsClass(control, L"Static") && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_LEFT)
        return client.right;
    return 0;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

// Every control inside the client area, clear of every other, its label
// whole. A group box is the one control others may overlap: it draws its
// frame half a text line below its top (where Windows and Wine draw it),
// the strip above being its caption's, empty here. So what it frames lies
// inside the frame, and what lies above it may reach into the strip: the
// label and the path edit above the mode group do.
void ExpectLaidOut(HWND dialog)
{
    RECT client = {};
    GetClientRect(dialog, &client);
    const std::vector<Control> controls = ControlsOf(dialog);
    for (auto one = controls.begin(); one != controls.end(); ++one) {
        EXPECT_TRUE(Inside(one->rect, client)) << Describe(one->hWnd) << " is cut off by the window's edge";
        RECT room = {};
        GetClientRect(one->hWnd, &room);
        if (LabelRoom(one->hWnd, room) > 0 && !TextOf(one->hWnd).empty()) {
            const SIZE needed = TextSize(one->hWnd, TextOf(one->hWnd));
            EXPECT_LE(needed.cx, LabelRoom(one->hWnd, room)) << Describe(one->hWnd) << " cuts off its label";
            EXPECT_LE(needed.cy, room.bottom) << Describe(one->hWnd) << " cuts off its label";
        }
        for (auto other = one + 1; other != controls.end(); ++other) {
            const Control* box = &*one;
            const Control* beside = &*other;
            if (ButtonType(beside->hWnd) == BS_GROUPBOX)
                std::swap(box, beside);
            const bool framed = ButtonType(box->hWnd) == BS_GROUPBOX;
            RECT area = box->rect, common = {};
            if (framed)
                area.top += TextSize(box->hWnd, L" ").cy / 2 - 1;
            EXPECT_TRUE(!IntersectRect(&common, &area, &beside->rect) || (framed && Inside(beside->rect, area)))
                << Describe(one->hWnd) << " and " << Describe(other->hWnd) << " overlap";
        }
    }
}

// The IDs that `next` (GetNextDlgTabItem: Tab; GetNextDlgGroupItem: the
// arrow keys) visits from control `id` on, until it comes back.
std::vector<int> Visited(HWND dialog, int id, HWND(WINAPI* next)(HWND, HWND, BOOL))
{
    std::vector<int> ids;
    const HWND start = GetDlgItem(dialog, id);
    HWND control = start;
    do {
        ids.push_back(GetDlgCtrlID(control));
        control = next(dialog, control, FALSE);
    } while (control != nullptr && control != start && ids.size() < 32);
    return ids;
}

std::vector<int> DefaultButtons(HWND dialog)
{
    std::vector<int> ids;
    for (const Control& control : ControlsOf(dialog)) {
        if (ButtonType(control.hWnd) == BS_DEFPUSHBUTTON)
            ids.push_back(GetDlgCtrlID(control.hWnd));
    }
    return ids;
}

}

// Both windows as the program makes them: the controls clear of each other
// and of the window's edge, every label whole in the control's own font.
TEST_F(ShuffleDlgTest, EveryControlIsWholeAndClearOfTheOthers)
{
    Open();
    CAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
    for (const auto& [name, window] : {std::make_pair("main window", dlg->m_hWnd), std::make_pair("About box", about.m_hWnd)}) {
        SCOPED_TRACE(name);
        ExpectLaidOut(window);
    }
    about.DestroyWindow();
}

// Tab goes through the commands in the window's order, then to the checked
// mode button (the system makes a checked radio button its group's tab
// stop). The mode buttons are one group, which the arrow keys move in and
// DDX_Radio reads: WS_GROUP on its first button only, and on the control
// that follows it (the first, as the search wraps). Enter has no default
// button to press in the main window (it ends the window through IDOK); in
// the About box it presses OK.
TEST_F(ShuffleDlgTest, TabArrowKeysAndEnterReachTheControlsInOrder)
{
    Open(1);
    using Ids = std::vector<int>;
    EXPECT_EQ(Visited(dlg->m_hWnd, IDC_SHUFFLE, GetNextDlgTabItem),
              (Ids{IDC_SHUFFLE, IDCANCEL, IDC_PLAY, IDC_PATH, IDC_LOAD, IDC_ENTRIES, IDC_SAVE, IDC_MODE_FILENAME}));
    EXPECT_EQ(Visited(dlg->m_hWnd, IDC_MODE_TITLE, GetNextDlgGroupItem), (Ids{IDC_MODE_TITLE, IDC_MODE_FILENAME}));
    EXPECT_EQ(Visited(dlg->m_hWnd, IDC_MODE_FILENAME, GetNextDlgGroupItem), (Ids{IDC_MODE_FILENAME, IDC_MODE_TITLE}));
    EXPECT_TRUE(GetWindowLongW(Item(IDC_MODE_TITLE), GWL_STYLE) & WS_GROUP);
    EXPECT_FALSE(GetWindowLongW(Item(IDC_MODE_FILENAME), GWL_STYLE) & WS_GROUP);
    EXPECT_EQ(DefaultButtons(dlg->m_hWnd), Ids{});

    CAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
    EXPECT_EQ(Visited(about.m_hWnd, IDOK, GetNextDlgTabItem), Ids{IDOK});
    EXPECT_EQ(DefaultButtons(about.m_hWnd), Ids{IDOK});
    about.DestroyWindow();
}

namespace {

// The items in the order that `random`'s next shuffle gives.
std::vector<ListItem> ShuffledBy(CRandom& random, const std::vector<ListItem>& items)
{
    std::vector<ListItem> shuffled;
    for (std::size_t from : ShuffledOrder(items.size(), random))
        shuffled.push_back(items.at(from));
    return shuffled;
}

}

class PlayTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        std::initializer_list<const char*> lines = {kLines[0], kLines[1], kLines[2], kLines[3],
                                                    kLines[4], kLines[5], kLines[6]};
        playlist = WritePlaylist("list.vql", lines);
        workFile = folder / "jumbla_work.vql";
        Open(1);
        SetPath(playlist);
    }

    // Play with the player missing: the work file stays to be read, and the
    // failed launch is the one message.
    CString PlayAndReadWorkFile()
    {
        prompts.messages.clear();
        Click(IDC_PLAY);
        EXPECT_EQ(prompts.messages.size(), 1u);
        if (!prompts.messages.empty()) {
            EXPECT_EQ(prompts.messages[0].text, JumblaText::kPlayerNotStarted);
            EXPECT_EQ(prompts.messages[0].caption, JumblaText::kCaption);
            EXPECT_EQ(prompts.messages[0].owner, dlg->m_hWnd);
        }
        return ReadFileBytes(workFile);
    }

    CString playlist;
    CString workFile;
};

TEST_F(PlayTest, AfterAShuffleWritesTheShuffledOrderDrawnFromTheProgramsGeneratorUntilTheModeIsReclicked)
{
    AfxGetRandom().Seed(7);
    const std::vector<ListItem> loaded = Entries();
    Click(IDC_SHUFFLE);
    const std::vector<ListItem> shuffled = Entries();

    CRandom sameSequence(7);
    ASSERT_EQ(shuffled, ShuffledBy(sameSequence, loaded));
    ASSERT_NE(shuffled, loaded) << "seed 7 must move something for this test to mean anything";

    EXPECT_EQ(PlayAndReadWorkFile(), WrittenForm(kLines, shuffled));

    // Reclicking the selected mode reloads in file order.
    Click(IDC_MODE_FILENAME);
    EXPECT_EQ(Entries(), loaded);
    EXPECT_EQ(dlg->m_nHandling, 1);
}

TEST_F(PlayTest, AfterADragWritesTheDraggedOrder)
{
    HWND list = Item(IDC_ENTRIES);
    auto pointOf = [list](int item) {
        RECT rect;
        SendMessageA(list, LB_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect));
        POINT pt = {rect.left + 2, (rect.top + rect.bottom) / 2};
        ClientToScreen(list, &pt);  // drag-list notifications carry screen points
        return pt;
    };
    DRAGLISTINFO info = {DL_BEGINDRAG, list, pointOf(0)};
    const UINT dragMessage = AfxGetDragListMessage();
    ASSERT_TRUE(SendMessageA(dlg->m_hWnd, dragMessage, IDC_ENTRIES, reinterpret_cast<LPARAM>(&info)));
    info = {DL_DROPPED, list, pointOf(3)};
    SendMessageA(dlg->m_hWnd, dragMessage, IDC_ENTRIES, reinterpret_cast<LPARAM>(&info));

    const std::vector<ListItem> dragged = Entries();
    ASSERT_EQ(dragged.size(), 5u);
    EXPECT_NE(dragged[0].text, "a.vqf") << "the first entry was moved";
    for (const ListItem& entry : dragged)
        EXPECT_EQ(entry.text, kLines.at(entry.data)) << "text and line index move together";
    EXPECT_EQ(PlayAndReadWorkFile(), WrittenForm(kLines, dragged));
}

// Right after loading the file order; playing again overwrites the same file.
TEST_F(PlayTest, WritesTheFileOrderAndPlayingAgainOverwritesTheSameWorkFile)
{
    EXPECT_EQ(PlayAndReadWorkFile(), CrLfLines({kDirective, "a.vqf", "b.vqf", "c.vqf", "d.vqf", "e.vqf"}));
    const std::vector<ListItem> first = Entries();
    AfxGetRandom().Seed(11);
    Click(IDC_SHUFFLE);
    ASSERT_NE(Entries(), first);
    EXPECT_EQ(PlayAndReadWorkFile(), WrittenForm(kLines, Entries()));
}

TEST_F(PlayTest, SwitchingToTitleModeReloadsWithTitles)
{
    Click(IDC_MODE_TITLE);
    EXPECT_EQ(dlg->m_nHandling, 0);
    // No such VQF files: each is reported and shown as its line.
    EXPECT_EQ(Entries().size(), 5u);
    EXPECT_EQ(prompts.messages.size(), 5u);
}

TEST_F(ShuffleDlgTest, ShuffleAndPlayOnAnEmptyPlaylistStartsThePlayerOnTheDirectiveAlone)
{
    // The stand-in player, copied here so that its log is this test's own.
    const CString player = folder / "SVQPlyer.exe";
    ASSERT_TRUE(CopyFileA(WindowsPathOfUnixPath(JUMBLA_STANDIN_PLAYER), player, FALSE));
    theApp.m_strPlayerPath = player;
    SetEnvironmentVariableA("JUMBLA_STANDIN_NO_WINDOW", "1");

    const CString path = WritePlaylist("empty.vql", {"#only a comment"});
    Open();
    SetPath(path);
    AfxGetRandom().Seed(5);
    SysCommand(IDM_SHUFFLE_PLAY);
    EXPECT_EQ(AfxGetRandom().Next(), CRandom(5).Next()) << "no draws for an empty list";
    EXPECT_TRUE(prompts.messages.empty());

    const CString workFile = folder / "jumbla_work.vql";
    EXPECT_EQ(ReadFileBytes(workFile), CrLfLines({kDirective}));
    ASSERT_TRUE(WaitForChildProcesses("SVQPlyer.exe"));
    std::vector<StandinRecord> records;
    ASSERT_TRUE(ParseStandinLog(ReadFileBytes(folder / "SVQPlyer-standin.log"), records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].commandLine, player + " " + workFile);
    EXPECT_TRUE(records[0].playlistRead);
    EXPECT_EQ(records[0].playlist, CrLfLines({kDirective}));
}

TEST_F(ShuffleDlgTest, ClosingDeletesTheWorkFileAndRemembersThePlaylist)
{
    const CString path = WritePlaylist("list.vql", {"a.vqf"});
    Open();
    SetPath(path);
    Click(IDC_PLAY);
    ASSERT_TRUE(FileExists(folder / "jumbla_work.vql"));
    Close();
    EXPECT_FALSE(FileExists(folder / "jumbla_work.vql"));
    CString stored;
    EXPECT_TRUE(GetRegistryString(SettingsKey(), "VQLFile", stored));
    EXPECT_EQ(stored, path);
}

// Play with an empty path does nothing: no message, no work file written.
TEST_F(ShuffleDlgTest, PlayAndCloseWithAnEmptyPathTouchNoWorkFileAndCloseKeepsTheRememberedPlaylist)
{
    const CString path = folder / "earlier.vql";
    SetRegistryString(SettingsKey(), "VQLFile", path);
    // The work file of an empty path would be jumbla_work.vql in the current
    // directory: someone's file of that name stays.
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(folder.Path());
    WriteFileBytes(folder / "jumbla_work.vql", "not ours");
    Open();
    SetPath("");
    Click(IDC_PLAY);
    EXPECT_TRUE(prompts.messages.empty());
    Close();
    SetCurrentDirectoryA(previous);

    EXPECT_EQ(ReadFileBytes(folder / "jumbla_work.vql"), "not ours");
    CString stored;
    EXPECT_TRUE(GetRegistryString(SettingsKey(), "VQLFile", stored));
    EXPECT_EQ(stored, path);
}

// The generator is seeded with the time in seconds as the window opens, and
// never again: the first shuffle is that seed's, and a second shuffle
// continues its sequence. The clock is not the test's to hold: any second
// the opening spanned may be the seed, so the window is bracketed by the
// clock and every second in between is tried.
TEST_F(ShuffleDlgTest, ShufflesContinueOneSequenceSeededWithTheSecondTheWindowOpened)
{
    const CString path = WritePlaylist("list.vql", {"a.vqf", "b.vqf", "c.vqf", "d.vqf", "e.vqf", "f.vqf", "g.vqf"});
    SetRegistryString(SettingsKey(), "VQLFile", path);
    using Items = std::vector<ListItem>;
    const std::time_t before = std::time(nullptr);
    Open(1);
    const std::time_t after = std::time(nullptr);
    const Items loaded = Entries();
    Click(IDC_SHUFFLE);
    const Items first = Entries();
    Click(IDC_SHUFFLE);
    const Items second = Entries();

    bool seeded = false;
    for (std::time_t seed = before; seed <= after && !seeded; ++seed) {
        CRandom random(static_cast<unsigned int>(seed));
        const Items expectedFirst = ShuffledBy(random, loaded);
        if (!(first == expectedFirst))
            continue;
        seeded = true;
        EXPECT_EQ(second, ShuffledBy(random, expectedFirst))
            << "the second shuffle continues the sequence";
    }
    EXPECT_TRUE(seeded) << "the first shuffle is no seed's of the seconds " << before << " to " << after;
}
