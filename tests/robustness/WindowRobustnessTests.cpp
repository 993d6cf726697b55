// Bad input and failing files met by the real main window (modeless, hidden)
// and the application object, under Wine: what the user is told, and that
// nothing the user owns is lost.

#include "framework/Random.h"
#include "tests/ui/MainWindowTest.h"
#include "VqfWriter.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace JumblaText;

// A path of exactly `length` bytes: the folder, a name of filler bytes, and
// the given ending.
CString PathOfLength(const CString& folder, int length, const char* ending)
{
    const CString start = folder + "\\";
    return start + CString('n', length - start.GetLength() - static_cast<int>(strlen(ending))) + ending;
}

// This program's calls to FlushFileBuffers and WriteFile (the code under
// test is linked in) are pointed here through its import table: each flush
// records what the watched file held at that moment and gives the answer it
// is told (0: the real flush's); each write fails with a full disk. The
// originals are looked up: these functions in this code are stubs that jump
// through that very table.
HMODULE Kernel32() { return GetModuleHandleW(L"kernel32.dll"); }
const auto g_realFlush = reinterpret_cast<decltype(&FlushFileBuffers)>(
    reinterpret_cast<void*>(GetProcAddress(Kernel32(), "FlushFileBuffers")));
const auto g_realWrite =
    reinterpret_cast<decltype(&WriteFile)>(reinterpret_cast<void*>(GetProcAddress(Kernel32(), "WriteFile")));
CString g_watched;
std::vector<CString> g_watchedAtFlush;
DWORD g_flushAnswer = 0;

BOOL WINAPI RecordingFlush(HANDLE file)
{
    g_watchedAtFlush.push_back(ReadFileBytes(g_watched));
    if (g_flushAnswer == 0)
        return g_realFlush(file);
    SetLastError(g_flushAnswer);
    return FALSE;
}

BOOL WINAPI FullDiskWrite(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED)
{
    if (written)
        *written = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// Points every slot of this program's import address table that holds `from` at `to`.
void RedirectImports(void* from, void* to)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& table = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
    auto** slots = reinterpret_cast<void**>(base + table.VirtualAddress);
    for (DWORD i = 0; i < table.Size / sizeof(void*); ++i) {
        DWORD protection = 0;
        if (slots[i] == from && VirtualProtect(&slots[i], sizeof(void*), PAGE_READWRITE, &protection)) {
            slots[i] = to;
            VirtualProtect(&slots[i], sizeof(void*), protection, &protection);
        }
    }
}

}

class WindowRobustnessTest : public MainWindowTest
{
public:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        playlist = WritePlaylist("list.vql", {"#x", "a.vqf", "b.vqf", "c.vqf"});
        workFile = folder / "jumbla_work.vql";
        Open(1);
        SetPath(playlist);
    }

    // Files of the form Save writes first ("jmb" + hex + ".tmp") left in
    // the test's folder.
    std::size_t PartialSaves() const { return FilesMatching(folder / "jmb*.tmp").size(); }

    CString playlist;
    CString workFile;
};

// The playlist named in the edit cannot be opened when Play or Save runs.
TEST_F(WindowRobustnessTest, APlaylistThatCannotBeOpenedMakesPlaySilentAndSaveReportTheFailure)
{
    struct Case
    {
        const char* name;
        // Makes the playlist unavailable; returns a handle to close afterwards.
        std::function<HANDLE(WindowRobustnessTest&)> spoil;
    };
    const Case cases[] = {
        {"deleted after loading",
         [](WindowRobustnessTest& t) {
             DeleteFileA(t.playlist);
             return INVALID_HANDLE_VALUE;
         }},
        {"held open without sharing by another program (the player)",
         [](WindowRobustnessTest& t) {
             return CreateFileA(t.playlist, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
         }},
        {"a folder typed as the path",
         [](WindowRobustnessTest& t) {
             const CString sub = t.folder / "sub.vql";
             CreateDirectoryA(sub, nullptr);
             t.SetPath(sub);
             return INVALID_HANDLE_VALUE;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CString bytes = CrLfLines({"#x", "a.vqf", "b.vqf", "c.vqf"});
        WriteFileBytes(playlist, bytes);
        SetPath(playlist);
        const std::vector<ListItem> loaded = Entries();
        ASSERT_EQ(loaded.size(), 3u);

        const HANDLE holder = c.spoil(*this);
        Click(IDC_PLAY);
        EXPECT_TRUE(prompts.messages.empty()) << "Play is silent and starts no player";
        EXPECT_FALSE(FileExists(workFile));

        const CString target = folder / "saved.vql";
        SaveAs(target);
        ExpectOnlyMessage(JumblaText::kSaveFailed);
        EXPECT_FALSE(FileExists(target));
        EXPECT_FALSE(FileExists(workFile));
        EXPECT_EQ(Entries(), loaded);
        if (holder != INVALID_HANDLE_VALUE) {
            CloseHandle(holder);
            EXPECT_EQ(ReadFileBytes(playlist), bytes) << "the held playlist is untouched";
        }
    }
}

// A folder where no file can be created, not even by root (Wine runs the
// tests as whatever user the build has): Z:\proc holds readable files and
// refuses new ones.
TEST_F(WindowRobustnessTest, AFolderThatRefusesTheWorkFileMakesPlaySilentAndStillSavesElsewhere)
{
    const CString readOnlyPlaylist = "Z:\\proc\\version";
    const HANDLE probe =
        CreateFileA(readOnlyPlaylist, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "no Z:\\proc here (not Wine on Linux)";
    CloseHandle(probe);

    SetPath(readOnlyPlaylist);
    const std::vector<ListItem> loaded = Entries();
    ASSERT_EQ(loaded.size(), 1u) << "its one line is an entry";

    Click(IDC_PLAY);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(FileExists("Z:\\proc\\jumbla_work.vql"));

    // Save does not go through the work file.
    const CString target = folder / "saved.vql";
    SaveAs(target);
    ExpectOnlyMessage(kLoadSaved);
    EXPECT_EQ(ReadFileBytes(target), CString(kDirective) + "\r\n" + loaded[0].text + "\r\n");
    EXPECT_EQ(Entries(), loaded);
}

// Save puts the new file's data on the disk before the file takes the
// chosen name, so a power cut cannot leave that name on data still in memory.
// A drive with nothing to flush is no failure; any other failed flush is a
// failed save, and a failed write is one whose new file goes unflushed.
TEST_F(WindowRobustnessTest, SaveFlushesTheNewFileBeforeItReplacesTheOldAndFailsWhenTheDataMayBeLost)
{
    struct Case
    {
        const char* name;
        DWORD flushAnswer;
        bool writeFails;
        bool saved;
    };
    const Case cases[] = {
        {"the flush succeeds", 0, false, true},
        {"a drive with no flush: ERROR_INVALID_FUNCTION", ERROR_INVALID_FUNCTION, false, true},
        {"a drive with no flush: ERROR_NOT_SUPPORTED", ERROR_NOT_SUPPORTED, false, true},
        {"the flush fails: ERROR_IO_DEVICE", ERROR_IO_DEVICE, false, false},
        {"the flush fails: the share is gone", ERROR_NETNAME_DELETED, false, false},
        {"the write fails", 0, true, false},
    };
    // Past the 64 KiB write buffer, so the write fails while the entries
    // are written, not as the file is closed.
    const CString longList = folder / "long.vql";
    CString longLines = "#long\r\n";
    for (int i = 0; i < 3000; ++i)
        longLines += "C:\\music\\a long folder\\a song.vqf\r\n";
    WriteFileBytes(longList, longLines);
    const CString target = folder / "precious.vql";
    const CString precious = CrLfLines({"#mine", "x.vqf"});
    g_watched = target;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetPath(c.writeFails ? longList : playlist);
        WriteFileBytes(target, precious);
        g_watchedAtFlush.clear();
        g_flushAnswer = c.flushAnswer;
        RedirectImports(reinterpret_cast<void*>(g_realFlush), reinterpret_cast<void*>(RecordingFlush));
        if (c.writeFails)
            RedirectImports(reinterpret_cast<void*>(g_realWrite), reinterpret_cast<void*>(FullDiskWrite));
        SaveAs(target);
        RedirectImports(reinterpret_cast<void*>(FullDiskWrite), reinterpret_cast<void*>(g_realWrite));
        RedirectImports(reinterpret_cast<void*>(RecordingFlush), reinterpret_cast<void*>(g_realFlush));
        EXPECT_EQ(g_watchedAtFlush, c.writeFails ? std::vector<CString>{} : std::vector<CString>{precious})
            << "one flush of a whole new file, before the old file was replaced";
        ExpectOnlyMessage(c.saved ? kLoadSaved : kSaveFailed);
        EXPECT_EQ(ReadFileBytes(target) == precious, !c.saved) << "the old file is kept only when the save failed";
        EXPECT_EQ(PartialSaves(), 0u);
    }
}

// The player keeps the work file open while it plays; pressing Play again
// cannot replace it.
TEST_F(WindowRobustnessTest, PlayWhileThePlayerHoldsTheWorkFileIsSilentAndLeavesItAlone)
{
    Click(IDC_PLAY);
    ExpectOnlyMessage(JumblaText::kPlayerNotStarted);  // the missing player of this fixture
    const CString played = ReadFileBytes(workFile);
    ASSERT_EQ(played, CrLfLines({kDirective, "a.vqf", "b.vqf", "c.vqf"}));

    const HANDLE player = CreateFileA(workFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(player, INVALID_HANDLE_VALUE);
    AfxGetRandom().Seed(7);
    Click(IDC_SHUFFLE);
    Click(IDC_PLAY);
    CloseHandle(player);

    EXPECT_TRUE(prompts.messages.empty()) << "no message, and no second player (its failed start would say so)";
    EXPECT_EQ(ReadFileBytes(workFile), played);
}

struct LongDropCase
{
    const char* name;
    int length;
    const char* ending;
    bool accepted;
};

// The shell hands over at most 1023 bytes of a dropped name.
TEST_F(WindowRobustnessTest, DroppedPathsLongerThanTheDropBufferAreRefused)
{
    const LongDropCase cases[] = {
        {"1023 bytes fit", 1023, ".vql", true},
        // Cut to 1023 bytes this would end in "vql" and name the folder, not
        // the file that was dropped.
        {"cut inside a folder named .vql", 1023 + 6, ".vql\\a.vql", false},
        {"1024 bytes", 1024, ".vql", false},
        {"2000 bytes", 2000, ".vql", false},
    };
    for (const LongDropCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CString dropped = PathOfLength(folder.Path(), c.length, c.ending);
        ASSERT_EQ(dropped.GetLength(), c.length);
        if (c.length > 1023 && strcmp(c.ending, ".vql") != 0) {
            ASSERT_EQ(dropped.Left(1023).Right(3), "vql");
        }
        SetPath(playlist);
        const std::vector<ListItem> loaded = Entries();
        Drop({dropped});
        if (c.accepted) {
            EXPECT_TRUE(prompts.messages.empty());
            EXPECT_EQ(PathText(), dropped);
        } else {
            ExpectOnlyMessage(kNotVql, kDropCaption);
            EXPECT_EQ(PathText(), playlist) << "the edit keeps the playlist it named";
        }
        EXPECT_EQ(Entries(), loaded) << "no such file to load";
        prompts.messages.clear();
    }
}

// The file dialogs take names of up to 1023 bytes (a longer one makes the
// dialog itself fail, which the commands take as a cancel). Names that long
// exceed what the system's ANSI file functions accept.
TEST_F(WindowRobustnessTest, FileDialogNamesThatFillTheBufferAreUsedAsTheyAre)
{
    const CString longest = PathOfLength(folder.Path(), 1023, ".vql");
    const std::vector<ListItem> loaded = Entries();

    prompts.fileAnswers.push_back(longest);
    Click(IDC_LOAD);
    EXPECT_EQ(PathText(), longest);
    EXPECT_EQ(Entries(), loaded);
    EXPECT_TRUE(prompts.messages.empty());

    SetPath(playlist);
    SaveAs(longest);
    ExpectOnlyMessage(JumblaText::kSaveFailed);
    EXPECT_FALSE(FileExists(workFile));
}

// An entry line without a folder names a file in the program's current
// directory, not in the playlist's folder.
TEST_F(WindowRobustnessTest, RelativeEntryLinesAreTakenFromTheCurrentDirectory)
{
    const CString current = folder / "current";
    const CString lists = folder / "lists";
    ASSERT_TRUE(CreateDirectoryA(current, nullptr));
    ASSERT_TRUE(CreateDirectoryA(lists, nullptr));
    WriteFileBytes(current + "\\song.vqf", VqfFileBytes("Current", "Here"));
    WriteFileBytes(lists + "\\song.vqf", VqfFileBytes("Beside", "The list"));
    const CString relative = lists + "\\relative.vql";
    WriteFileBytes(relative, CrLfLines({"song.vqf"}));

    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(current));
    Close();
    Open(0);
    prompts.messages.clear();  // the remembered playlist's entries, missing files all
    SetPath(relative);
    const std::vector<ListItem> entries = Entries();
    Click(IDC_PLAY);
    SetCurrentDirectoryA(previous);

    const std::vector<ListItem> expected = {{"Current [Here]", 0}};
    EXPECT_EQ(entries, expected);
    ExpectOnlyMessage(JumblaText::kPlayerNotStarted);
    EXPECT_EQ(ReadFileBytes(lists + "\\jumbla_work.vql"), CrLfLines({kDirective, "song.vqf"}))
        << "the line is written as it stands";
}

// A remembered path far beyond any real one comes back whole and is stored
// back unchanged; it names no file, so the list stays empty.
TEST_F(WindowRobustnessTest, ARememberedPathOf64KilobytesIsKeptWhole)
{
    Close();
    const CString huge = PathOfLength(folder.Path(), 64 * 1024, ".vql");
    SetRegistryString(SettingsKey(), "VQLFile", huge);
    Open(1);
    EXPECT_EQ(PathText(), huge);
    EXPECT_TRUE(Entries().empty());
    EXPECT_TRUE(prompts.messages.empty());
    Close();

    CString stored;
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey(), 0, KEY_READ, &key), ERROR_SUCCESS);
    std::string data(huge.GetLength() + 16, '\0');
    DWORD size = static_cast<DWORD>(data.size());
    EXPECT_EQ(RegQueryValueExA(key, "VQLFile", nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(CString(data.c_str()), huge);
}
