// The program on a real slow drive, under Wine: tests/support/slowfs mounted by
// tests/robustness/drives.sh, which names its folder in
// JUMBLA_SLOW_DRIVE. Files are written into backing/ (an ordinary folder,
// fast) and read through drive/, where every read of a just-opened file
// waits JUMBLA_SLOW_DRIVE_DELAY_MS (10 ms) and a read of a file whose name
// holds JUMBLA_SLOW_DRIVE_HOLD ("held") never returns while the drive is
// mounted. Without the drive every case skips, saying why.

#include "bench/Pinger.h"
#include "tests/ui/MainWindowTest.h"
#include "VqfWriter.h"

#include <algorithm>
#include <commctrl.h>
#include <cstdio>
#include <string>
#include <vector>

// The window is not opened here: a case opens it in the mode it needs
// (Open(0) for title mode) after writing its files.
class SlowDriveTest : public MainWindowTest
{
public:
    void SetUp() override
    {
        root = EnvironmentVariable("JUMBLA_SLOW_DRIVE");
        if (root.IsEmpty())
            GTEST_SKIP() << "no slow drive: " << EnvironmentVariable("JUMBLA_NO_SLOW_DRIVE").GetString();
        MainWindowTest::SetUp();
        backing = WindowsPathOfUnixPath(root + "/backing");
        drive = WindowsPathOfUnixPath(root + "/drive");
        holdText = EnvironmentVariable("JUMBLA_SLOW_DRIVE_HOLD");
        const std::string mounts = ReadFileBytes("Z:\\proc\\self\\mountinfo").GetString();
        ASSERT_NE(mounts.find(" " + std::string(root.GetString()) + "/drive "), std::string::npos) << "drive/ is mounted";
        ASSERT_NE(mounts.find(" fuse.slowfs "), std::string::npos) << "by slowfs";
    }

    // Empties backing/: each case starts on an empty drive.
    void TearDown() override
    {
        MainWindowTest::TearDown();
        for (const std::string& name : FilesMatching(backing + "\\*"))
            DeleteFileA(backing + "\\" + name.c_str());
    }

    CString OnDrive(const CString& name) const { return drive + "\\" + name; }

    // Writes `bytes` as backing/name, fast; returns its path on the drive.
    CString WriteOnDrive(const CString& name, const CString& bytes) const
    {
        WriteFileBytes(backing + "\\" + name, bytes);
        return OnDrive(name);
    }

    // The tags of the i-th file of WriteVqfFiles.
    static CString TitleOf(int i)
    {
        char title[32];
        std::snprintf(title, sizeof title, "Title %04d", i);
        return title;
    }
    static CString AuthorOf(int) { return "Artist"; }

    // `count` VQF files, song0000.vqf and on (or, held, files whose reads
    // never return), each tagged TitleOf(i) and AuthorOf(i); their paths on
    // the drive.
    std::vector<CString> WriteVqfFiles(int count, bool held = false) const
    {
        std::vector<CString> paths;
        for (int i = 0; i < count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "%s%04d.vqf", held ? holdText.GetString() : "song", i);
            paths.push_back(WriteOnDrive(name, VqfFileBytes(TitleOf(i), AuthorOf(i))));
        }
        return paths;
    }

    // A playlist on the drive of a comment and `entries`; its path there.
    CString WriteDrivePlaylist(const CString& name, const std::vector<CString>& entries) const
    {
        CString text = "#slow drive\r\n";
        for (const CString& entry : entries)
            text += entry + "\r\n";
        return WriteOnDrive(name, text);
    }

    CString root;     // the Unix folder holding backing/ and drive/
    CString backing;  // root/backing, as Windows names it: written here
    CString drive;    // root/drive: read here, slowly
    CString holdText;
};

// What the window shows for WriteVqfFiles' files named by a playlist
// whose first line is a comment.
std::vector<ListItem> TitleEntries(int count)
{
    std::vector<ListItem> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({SlowDriveTest::TitleOf(i) + " [" + SlowDriveTest::AuthorOf(i) + "]", static_cast<DWORD_PTR>(i + 1)});
    return entries;
}

// 250 headers, each read waiting on the drive: the window answers
// throughout, the list fills in playlist order, and a command given while
// it fills (Save) acts on the whole list. How fast is the benchmark's to say.
TEST_F(SlowDriveTest, TitleModeFillsTheListWhileTheWindowAnswers)
{
    const int kEntries = 250;
    const std::vector<CString> songs = WriteVqfFiles(kEntries);
    const CString playlist = WriteDrivePlaylist("titles.vql", songs);
    Open(0);
    {
        // A ping every 50 ms finds any wait of the window's thread long
        // enough to count, and leaves an emulated machine's two CPUs to the load.
        CPinger pinger(dlg->m_hWnd, 50);
        SetPathText(playlist);
        ASSERT_TRUE(PumpMessagesUntil([this] { return !Entries().empty(); })) << "no entry came";
        EXPECT_TRUE(dlg->m_commands.IsBusy()) << "the first entries come before the last headers are read";
        SaveAs(folder / "saved.vql");  // waits for the list
        EXPECT_EQ(pinger.Unanswered(), 0);
        std::printf("slow drive: the window's slowest answer during the load took %lu ms\n", pinger.SlowestMs());
    }
    EXPECT_EQ(Entries(), TitleEntries(kEntries));
    CString lines = CString(kDirective) + "\r\n";
    for (const CString& song : songs)
        lines += song + "\r\n";
    EXPECT_EQ(ReadFileBytes(folder / "saved.vql"), lines) << "Save waited for the whole list";
    ExpectOnlyMessage(JumblaText::kLoadSaved);
}

// Files that cannot be opened fail at once while the ones before them wait
// on the drive: their messages still come in entry order, each when the
// list reaches its entry, which then shows its own line.
TEST_F(SlowDriveTest, UnreadableEntriesAreReportedInEntryOrder)
{
    const std::vector<CString> songs = WriteVqfFiles(40);
    std::vector<CString> entries;
    std::vector<ListItem> expected;
    std::vector<std::wstring> messages;
    for (int i = 0; i < 45; ++i) {
        const DWORD_PTR lineIndex = i + 1;
        if (i % 9 == 8) {
            const CString missing = OnDrive(("missing" + std::to_string(i) + ".vqf").c_str());
            entries.push_back(missing);
            expected.push_back({missing, lineIndex});
            messages.push_back(AfxWideFromAnsi(missing) + JumblaText::kUnreadable);
        } else {
            // Every 9th names the first file again: read once, shown each time.
            const int song = i % 9 == 4 ? 0 : i - i / 9;
            entries.push_back(songs[song]);
            expected.push_back({TitleOf(song) + " [" + AuthorOf(song) + "]", lineIndex});
        }
    }
    Open(0);
    SetPath(WriteDrivePlaylist("some missing.vql", entries));
    EXPECT_EQ(Entries(), expected);
    ASSERT_EQ(prompts.messages.size(), messages.size());
    for (std::size_t i = 0; i < messages.size(); ++i)
        EXPECT_EQ(prompts.messages[i].text, messages[i]) << i;
}

// What a quick user does while a load runs takes effect exactly as if the
// load had finished at once, whenever in the load it comes: 150 headers on
// the drive (about 0.3 s on 16 readers), each row at four moments.
TEST_F(SlowDriveTest, StepsGivenMidLoadTakeEffectAsIfEachLoadHadFinished)
{
    const int kSongs = 150;
    const std::vector<CString> songs = WriteVqfFiles(kSongs);
    const CString p = WriteDrivePlaylist("p.vql", songs);
    // O names P's first 20 files: a newer load opens the files the older one
    // still reads.
    const CString o = WriteDrivePlaylist("o.vql", std::vector<CString>(songs.begin(), songs.begin() + 20));
    const CString q = WriteDrivePlaylist("q.vql", {songs[0], songs[1], songs[2], songs[3]});
    // The drive is read-only: a playlist that Play can write beside lives in
    // backing/, naming the drive's files.
    const CString beside = backing + "\\p.vql";
    WriteFileBytes(beside, ReadFileBytes(p));
    const CString work = backing + "\\jumbla_work.vql";
    const auto pumpFor = [](DWORD ms) {
        const DWORD start = GetTickCount();
        PumpMessagesUntil([start, ms] { return GetTickCount() - start >= ms; });
    };
    const auto send = [this](int id) {
        SendMessageA(dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    };
    std::vector<ListItem> lineEntries;
    CString played = CString(kDirective) + "\r\n";
    for (int i = 0; i < kSongs; ++i) {
        lineEntries.push_back({songs[i], static_cast<DWORD_PTR>(i + 1)});
        played += songs[i] + "\r\n";
    }
    const auto dragMessage = [this](UINT notification, int item) {
        const HWND list = Item(IDC_ENTRIES);
        RECT rect;
        SendMessageA(list, LB_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect));
        DRAGLISTINFO info = {notification, list, {rect.left + 2, (rect.top + rect.bottom) / 2}};
        ClientToScreen(list, &info.ptCursor);  // drag-list notifications carry screen points
        return SendMessageA(dlg->m_hWnd, AfxGetDragListMessage(), IDC_ENTRIES, reinterpret_cast<LPARAM>(&info));
    };
    const struct
    {
        const char* name;
        CString first;                        // the path the load begins with
        std::function<void()> midLoad;  // given some milliseconds into its load
        std::vector<ListItem> list;
        std::vector<std::wstring> messages;
        CString played = CString();  // the work file left, if any
        UINT titleMode = BST_CHECKED;
    } rows[] = {
        {"the mode changed twice", p,
         [&] {
             send(IDC_MODE_FILENAME);
             send(IDC_MODE_TITLE);
         },
         TitleEntries(kSongs), {}},
        {"P, then O naming P's first files, then P again", p,
         [&] {
             SetPathText(o);
             pumpFor(10);
             SetPathText(p);
         },
         TitleEntries(kSongs), {}},
        {"a drag begun on the old list, dropped while the new one loads", q,
         [&] {
             WaitForLoad();
             ASSERT_TRUE(dragMessage(DL_BEGINDRAG, 0));
             SetPathText(p);
             PumpMessagesUntil([this] { return Entries().size() > 3; });
             dragMessage(DL_DROPPED, 3);
         },
         TitleEntries(kSongs), {}},
        {"Play, then 読込... cancelled: no work file stays", beside,
         [&] {
             send(IDC_PLAY);
             prompts.fileAnswers.push_back(L"");
             send(IDC_LOAD);
         },
         TitleEntries(kSongs), {JumblaText::kPlayerNotStarted}},
        {"Play, then ファイル名: the player gets P's lines", beside,
         [&] {
             send(IDC_PLAY);
             SendMessageA(Item(IDC_MODE_FILENAME), BM_CLICK, 0, 0);  // checks the button too
         },
         lineEntries, {JumblaText::kPlayerNotStarted}, played, BST_UNCHECKED},
    };
    for (const auto& row : rows) {
        for (const int ms : {20, 60, 120, 250}) {
            ClearCurrentUserRegistry();  // no remembered playlist to load at the start
            Open(0);
            SetPathText(row.first);
            pumpFor(ms);
            row.midLoad();
            WaitForLoad();
            EXPECT_EQ(Entries(), row.list) << row.name << " at " << ms << " ms";
            EXPECT_EQ(IsDlgButtonChecked(dlg->m_hWnd, IDC_MODE_TITLE), row.titleMode);
            std::vector<std::wstring> messages;
            for (const auto& message : prompts.messages)
                messages.push_back(message.text);
            EXPECT_EQ(messages, row.messages) << row.name << " at " << ms << " ms";
            if (row.played.IsEmpty())
                EXPECT_FALSE(FileExists(work)) << row.name << " at " << ms << " ms";
            else
                EXPECT_EQ(ReadFileBytes(work), row.played) << row.name << " at " << ms << " ms";
            prompts.messages.clear();
            Close();
        }
    }
}

// A read that never returns (a share that is gone) holds neither the window
// nor a command nor a newer load nor the closing: the list shows every entry
// at once, the held one with its line, Play and shuffle-and-play start the
// player without its title, a second playlist replaces the first at once,
// none of the first's titles reach it, and the window closes, deletes the
// work file and stores its settings while a read still waits. The process
// then ends with the read still waiting (or the test would time out). Each
// held file is read once: on this drive a second open of a file whose read
// is held waits for that read.
TEST_F(SlowDriveTest, AReadThatNeverReturnsHoldsNothing)
{
    const std::vector<CString> songs = WriteVqfFiles(2);
    const std::vector<CString> held = WriteVqfFiles(2, true);
    // Beside its work file, which Play writes: backing/ is writable.
    const CString stuck = backing + "\\stuck.vql";
    WriteFileBytes(stuck, ReadFileBytes(WriteDrivePlaylist("stuck.vql", {songs[0], held[0], songs[1]})));
    const CString work = backing + "\\jumbla_work.vql";
    const CString stuckAgain = WriteDrivePlaylist("stuck again.vql", {songs[0], held[1], songs[1]});
    const CString other = WriteDrivePlaylist("other.vql", {WriteOnDrive("other.vqf", VqfFileBytes("Other", "Else"))});
    const auto showsFirstTitle = [this] {
        const std::vector<ListItem> entries = Entries();
        return entries.size() == 3 && entries[0].text == TitleOf(0) + " [" + AuthorOf(0) + "]";
    };
    Open(0);

    SetPathText(stuck);
    ASSERT_TRUE(PumpMessagesUntil(showsFirstTitle)) << "every entry came, the first with its title";
    EXPECT_EQ(Entries()[1].text, held[0]) << "the held entry shows its line";
    SetPath(other);
    EXPECT_EQ(Entries(), (std::vector<ListItem>{{"Other [Else]", 1}}));
    EXPECT_TRUE(prompts.messages.empty());

    // A mode change replaces a load too: the file-name load reads no header.
    Click(IDC_MODE_FILENAME);
    SetPath(stuckAgain);
    EXPECT_EQ(Entries().size(), 3u);
    // Click would wait for the held read.
    SendMessageA(dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_MODE_TITLE, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDC_MODE_TITLE)));
    ASSERT_TRUE(PumpMessagesUntil(showsFirstTitle));
    ASSERT_TRUE(dlg->m_commands.IsBusy());

    // Back to the first, whose held read still waits: the commands wait for
    // its playlist, not for that title.
    SetPathText(stuck);
    ASSERT_TRUE(PumpMessagesUntil([&] { return showsFirstTitle() && Entries()[1].text == held[0]; }));
    // The player is started (this fixture has none to start) without the held title.
    SendMessageA(dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PLAY, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDC_PLAY)));
    ASSERT_TRUE(PumpMessagesUntil([this] { return prompts.messages.size() == 1; })) << "Play waited for a title";
    EXPECT_EQ(ReadFileBytes(work), CString(kDirective) + "\r\n" + songs[0] + "\r\n" + held[0] + "\r\n" + songs[1] + "\r\n");
    SendMessageA(dlg->m_hWnd, WM_SYSCOMMAND, IDM_SHUFFLE_PLAY, 0);
    ASSERT_TRUE(PumpMessagesUntil([this] { return prompts.messages.size() == 2; })) << "shuffle-and-play waited for a title";
    EXPECT_EQ(prompts.messages[1].text, JumblaText::kPlayerNotStarted);
    EXPECT_TRUE(dlg->m_commands.IsBusy()) << "the held title is still to come";

    Close();
    CString stored;
    EXPECT_TRUE(GetRegistryString(SettingsKey(), "VQLFile", stored));
    EXPECT_EQ(stored, stuck);
    EXPECT_FALSE(FileExists(work)) << "the closing deleted the work file";
}
