// The main window on real failing drives, under Wine: a full drive (a small
// tmpfs, filled by the test) and a read-only drive (a tmpfs mounted
// read-only). The suite's runner mounts both (tests/robustness/drives.sh) and names
// their folder in JUMBLA_FAULT_DRIVES; without it every case skips.

#include "tests/ui/MainWindowTest.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Left free on the full drive: less than any playlist written here.
const ULONGLONG kRoomLeft = 4096;

}

class FaultDriveTest : public MainWindowTest
{
public:
    void SetUp() override
    {
        const CString root = EnvironmentVariable("JUMBLA_FAULT_DRIVES");
        if (root.IsEmpty())
            GTEST_SKIP() << "no full or read-only drive: mounting them needs root (tests/robustness/drives.sh)";
        MainWindowTest::SetUp();
        fullDrive = WindowsPathOfUnixPath(root + "/full");
        readOnlyDrive = WindowsPathOfUnixPath(root + "/readonly");
        Open(1);
    }

    void TearDown() override
    {
        MainWindowTest::TearDown();
        for (const std::string& name : FilesMatching(fullDrive + "\\*"))
            DeleteFileA(fullDrive + "\\" + name.c_str());
    }

    // A playlist of a comment and `count` entries of about 30 bytes each;
    // returns the entry lines.
    static CString WriteLongPlaylist(const CString& path, int count)
    {
        CString lines;
        for (int i = 0; i < count; ++i) {
            char line[64];
            std::snprintf(line, sizeof line, "C:\\music\\long list\\song %04d.vqf\r\n", i);
            lines += line;
        }
        WriteFileBytes(path, "#long\r\n" + lines);
        return lines;
    }

    // Fills the full drive until only kRoomLeft bytes are free.
    void FillFullDrive()
    {
        ULARGE_INTEGER available = {};
        ASSERT_TRUE(GetDiskFreeSpaceExA(fullDrive + "\\", &available, nullptr, nullptr));
        ASSERT_GT(available.QuadPart, kRoomLeft);
        WriteFileBytes(fullDrive + "\\filler.bin", CString('f', static_cast<int>(available.QuadPart - kRoomLeft)));
        ASSERT_TRUE(GetDiskFreeSpaceExA(fullDrive + "\\", &available, nullptr, nullptr));
        ASSERT_LE(available.QuadPart, kRoomLeft);
    }

    CString fullDrive;
    CString readOnlyDrive;
};

// Save writes a new file beside the chosen name; on a full drive that write
// fails part-way and the file is removed, and the user is told.
TEST_F(FaultDriveTest, SaveOntoTheFullDriveReportsTheFailureAndLeavesTheDriveAsItWas)
{
    const CString playlist = folder / "long.vql";
    WriteLongPlaylist(playlist, 600);  // 18 KB
    SetPath(playlist);
    ASSERT_EQ(Entries().size(), 600u);

    const CString existing = CrLfLines({"#mine", "x.vqf"});
    for (const bool replacing : {false, true}) {
        SCOPED_TRACE(replacing ? "replacing a playlist there" : "a new name");
        const CString target = fullDrive + "\\saved.vql";
        DeleteFileA(fullDrive + "\\filler.bin");
        if (replacing)
            WriteFileBytes(target, existing);
        FillFullDrive();
        const std::vector<std::string> before = FilesMatching(fullDrive + "\\*");

        SaveAs(target);

        ExpectOnlyMessage(JumblaText::kSaveFailed);
        EXPECT_EQ(FilesMatching(fullDrive + "\\*"), before) << "no partial copy, no work file";
        if (replacing) {
            EXPECT_EQ(ReadFileBytes(target), existing);
        }
        EXPECT_EQ(PathText(), playlist);
    }
}

// Play writes the work file beside the playlist; when that folder is full
// there is nothing whole to play.
TEST_F(FaultDriveTest, PlayWhenThePlaylistsFolderIsFullStartsNothingAndWorksOnceThereIsRoom)
{
    const CString playlist = fullDrive + "\\long.vql";
    const CString workFile = fullDrive + "\\jumbla_work.vql";
    const CString lines = WriteLongPlaylist(playlist, 300);  // 9 KB
    const CString text = ReadFileBytes(playlist);
    SetPath(playlist);
    const std::vector<ListItem> loaded = Entries();
    ASSERT_EQ(loaded.size(), 300u);
    FillFullDrive();

    Click(IDC_PLAY);
    EXPECT_TRUE(prompts.messages.empty()) << "Play is silent and starts no player (its failed start would say so)";
    EXPECT_EQ(Entries(), loaded);
    EXPECT_EQ(ReadFileBytes(playlist), text);

    DeleteFileA(fullDrive + "\\filler.bin");
    Click(IDC_PLAY);
    ExpectOnlyMessage(JumblaText::kPlayerNotStarted);  // the player is started: this fixture has none
    EXPECT_EQ(ReadFileBytes(workFile), CString(kDirective) + "\r\n" + lines);
}

// A playlist on a read-only drive (a CD, a write-protected stick, a share):
// it can be read, and saved elsewhere, but nothing can be written beside it.
TEST_F(FaultDriveTest, APlaylistOnTheReadOnlyDriveLoadsAndSavesElsewhere)
{
    const CString playlist = readOnlyDrive + "\\list.vql";
    SetPath(playlist);
    ASSERT_EQ(Entries().size(), 2u) << "loading works";

    Click(IDC_PLAY);
    EXPECT_TRUE(prompts.messages.empty()) << "Play is silent and starts no player";
    EXPECT_FALSE(FileExists(readOnlyDrive + "\\jumbla_work.vql"));

    const CString elsewhere = folder / "saved.vql";
    SaveAs(elsewhere);
    ExpectOnlyMessage(JumblaText::kLoadSaved);
    EXPECT_EQ(ReadFileBytes(elsewhere), WrittenForm({"#x", "a.vqf", "b.vqf"}, Entries()));

    SaveAs(readOnlyDrive + "\\saved.vql");
    ExpectOnlyMessage(JumblaText::kSaveFailed);
    EXPECT_EQ(FilesMatching(readOnlyDrive + "\\*"), (std::vector<std::string>{"list.vql"}));

    Close();
    EXPECT_TRUE(prompts.messages.empty()) << "closing deletes no work file there, quietly";
}
