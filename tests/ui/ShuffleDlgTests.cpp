#include "framework/DragListBox.h"
#include "framework/Random.h"
#include "playlist/ShuffleOrder.h"
#include "tests/support/IconBitmap.h"
#include "tests/ui/MainWindowTest.h"
#include "tools/standin_player/StandinLog.h"
#include "ui/AboutDlg.h"

#include <commctrl.h>

#include <ctime>

using ShuffleDlgTest = MainWindowTest;

namespace {

const std::vector<CString> kLines = {"#x", "a.vqf", "", "b.vqf", "c.vqf", "d.vqf", "e.vqf"};

}

TEST_F(ShuffleDlgTest, SystemMenuEndsWithSeparatorAboutAndShuffleAndPlay)
{
    Open();
    HMENU menu = GetSystemMenu(dlg->m_hWnd, FALSE);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 3);
    EXPECT_EQ(GetMenuState(menu, count - 3, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    // Their texts: ShownTextTest.WindowsAndTheSystemMenuReadAsWritten.
    EXPECT_EQ(GetMenuItemID(menu, count - 2), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_SHUFFLE_PLAY));
}

// Both icons at the sizes this DPI asks for, in the window and the About box.
TEST_F(ShuffleDlgTest, TheIconIsTheWindowIconAndTheDragIcon)
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
}

// The program's banner, not the template's: whole and filling its control.
TEST_F(ShuffleDlgTest, TheBannerIsWholeAndFillsItsControl)
{
    Open();
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

TEST_F(ShuffleDlgTest, AboutCommandShowsTheAboutBoxModally)
{
    Open();
    CModalDialogCloser closer;
    // The system keeps the low four bits of a command for itself.
    SysCommand(IDM_ABOUTBOX | 0x3);
    EXPECT_TRUE(closer.seen);
    EXPECT_EQ(closer.caption, JumblaText::kAboutCaption);
    EXPECT_EQ(closer.owner, dlg->m_hWnd);
    EXPECT_TRUE(IsWindow(dlg->m_hWnd));
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

TEST_F(PlayTest, RightAfterLoadingWritesTheFileOrder)
{
    EXPECT_EQ(PlayAndReadWorkFile(), CrLfLines({kDirective, "a.vqf", "b.vqf", "c.vqf", "d.vqf", "e.vqf"}));
}

TEST_F(PlayTest, AfterAShuffleWritesTheShuffledOrderDrawnFromTheProgramsGenerator)
{
    AfxGetRandom().Seed(7);
    const std::vector<ListItem> loaded = Entries();
    Click(IDC_SHUFFLE);
    const std::vector<ListItem> shuffled = Entries();

    CRandom sameSequence(7);
    const std::vector<std::size_t> order = ShuffledOrder(loaded.size(), sameSequence);
    std::vector<ListItem> expected;
    for (std::size_t from : order)
        expected.push_back(loaded[from]);
    ASSERT_EQ(shuffled, expected);
    ASSERT_NE(shuffled, loaded) << "seed 7 must move something for this test to mean anything";

    EXPECT_EQ(PlayAndReadWorkFile(), WrittenForm(kLines, shuffled));
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

TEST_F(PlayTest, PlayingAgainOverwritesTheSameWorkFile)
{
    PlayAndReadWorkFile();
    const std::vector<ListItem> first = Entries();
    AfxGetRandom().Seed(11);
    Click(IDC_SHUFFLE);
    ASSERT_NE(Entries(), first);
    EXPECT_EQ(PlayAndReadWorkFile(), WrittenForm(kLines, Entries()));
}

TEST_F(PlayTest, ReclickingTheSelectedModeReloadsInFileOrder)
{
    const std::vector<ListItem> loaded = Entries();
    AfxGetRandom().Seed(7);
    Click(IDC_SHUFFLE);
    ASSERT_NE(Entries(), loaded);
    Click(IDC_MODE_FILENAME);
    EXPECT_EQ(Entries(), loaded);
    EXPECT_EQ(dlg->m_nHandling, 1);
}

TEST_F(PlayTest, SwitchingToTitleModeReloadsWithTitles)
{
    Click(IDC_MODE_TITLE);
    EXPECT_EQ(dlg->m_nHandling, 0);
    // No such VQF files: each is reported and shown as its line.
    EXPECT_EQ(Entries().size(), 5u);
    EXPECT_EQ(prompts.messages.size(), 5u);
}

TEST_F(ShuffleDlgTest, PlayWithAnEmptyPathDoesNothing)
{
    Open();
    const BOOL workFileBefore = FileExists("jumbla_work.vql");
    Click(IDC_PLAY);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(FileExists("jumbla_work.vql"), workFileBefore);
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

TEST_F(ShuffleDlgTest, ClosingWithAnEmptyPathDeletesNoWorkFileAndKeepsTheRememberedPlaylist)
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
    Close();
    SetCurrentDirectoryA(previous);

    EXPECT_EQ(ReadFileBytes(folder / "jumbla_work.vql"), "not ours");
    CString stored;
    EXPECT_TRUE(GetRegistryString(SettingsKey(), "VQLFile", stored));
    EXPECT_EQ(stored, path);
}

// The generator is seeded with the time in seconds as the window opens, and
// never again: a second shuffle continues the first one's sequence, and a
// window opened within the same second shuffles in the same way.
TEST_F(ShuffleDlgTest, ShufflesContinueOneSequenceSeededWithTheSecondTheWindowOpened)
{
    const CString path = WritePlaylist("list.vql", {"a.vqf", "b.vqf", "c.vqf", "d.vqf", "e.vqf", "f.vqf", "g.vqf"});
    SetRegistryString(SettingsKey(), "VQLFile", path);
    using Items = std::vector<ListItem>;
    auto openAndShuffleTwice = [this](Items& loaded, Items& first, Items& second) {
        Open(1);
        loaded = Entries();
        Click(IDC_SHUFFLE);
        first = Entries();
        Click(IDC_SHUFFLE);
        second = Entries();
        Close();
    };
    auto reorder = [](const Items& entries, const std::vector<std::size_t>& order) {
        Items reordered;
        for (std::size_t from : order)
            reordered.push_back(entries.at(from));
        return reordered;
    };

    // A run that straddles a change of the second proves nothing: try again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::time_t before = std::time(nullptr);
        Items loaded, first, second, loadedAgain, firstAgain, secondAgain;
        openAndShuffleTwice(loaded, first, second);
        openAndShuffleTwice(loadedAgain, firstAgain, secondAgain);
        if (std::time(nullptr) != before)
            continue;

        CRandom sameSeed(static_cast<unsigned int>(before));
        const Items expectedFirst = reorder(loaded, ShuffledOrder(loaded.size(), sameSeed));
        const Items expectedSecond = reorder(expectedFirst, ShuffledOrder(loaded.size(), sameSeed));
        EXPECT_EQ(first, expectedFirst);
        EXPECT_EQ(second, expectedSecond) << "the second shuffle continues the sequence";
        EXPECT_EQ(loadedAgain, loaded);
        EXPECT_EQ(firstAgain, first) << "the same second, the same shuffles";
        EXPECT_EQ(secondAgain, second);
        return;
    }
    FAIL() << "the second changed during every attempt";
}
