#include "tests/ui/MainWindowTest.h"

namespace {

const char kPlayerKey[] = "Software\\YAMAHA\\SoundVQ";

CString SettingsKey()
{
    return CString("Software\\Ostrel's Software\\") + theApp.m_pszAppName + "\\Settings";
}

struct WindowState
{
    bool titleChecked = false;
    bool fileNameChecked = false;
    CString path;
    std::vector<ListItem> entries;
};

WindowState StateOf(HWND dialog)
{
    WindowState state;
    state.titleChecked = IsDlgButtonChecked(dialog, IDC_MODE_TITLE) == BST_CHECKED;
    state.fileNameChecked = IsDlgButtonChecked(dialog, IDC_MODE_FILENAME) == BST_CHECKED;
    char text[1024] = {};
    GetDlgItemTextA(dialog, IDC_PATH, text, sizeof text);
    state.path = text;
    state.entries = ListItems(GetDlgItem(dialog, IDC_ENTRIES));
    return state;
}

}

using ShuffleAppTest = ApplicationTest;

TEST_F(ShuffleAppTest, WithoutThePlayerTheProgramSaysSoAndEndsWithoutWritingSettings)
{
    CModalDialogCloser closer;
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_FALSE(closer.seen) << "no window";
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, JumblaText::kPlayerMissing);
    EXPECT_EQ(prompts.messages[0].caption, JumblaText::kCaption);
    EXPECT_EQ(prompts.messages[0].owner, nullptr);
    EXPECT_FALSE(RegistryKeyExists("Software\\Ostrel's Software"));
}

// A run opens on the remembered playlist in the stored mode and stores both
// at its end. Modes outside the radio group show raw lines, like file-name
// mode, with neither button checked (the group has no button for them), and
// are written back as they were unless the user picks a mode.
TEST_F(ShuffleAppTest, EachRunOpensInTheStoredModeOnTheRememberedPlaylistAndStoresBoth)
{
    struct Case
    {
        const char* name;
        const DWORD* storedMode;  // nullptr: none stored
        const char* playlist;     // in the scratch folder; nullptr: none remembered
        const char* bytes;        // nullptr: the remembered playlist is gone
        int click;                // the mode button clicked before closing, or 0
        bool titleChecked;
        bool fileNameChecked;
        std::vector<ListItem> entries;
        DWORD writtenMode;
    };
    const DWORD kFileNames = 1, k2 = 2, kMinus1 = 0xFFFFFFFF, kMax = 0x7FFFFFFF;
    const char* const kSong = "#c\r\nsong.vqf\r\n";
    const Case cases[] = {
        {"first run, then file names picked", nullptr, nullptr, nullptr, IDC_MODE_FILENAME, true, false, {}, 1},
        {"later run", &kFileNames, "last.vql", "#control(repeat=\"all\")\r\nb.vqf\r\na.vqf\r\n", 0, false, true,
         {{"b.vqf", 1}, {"a.vqf", 2}}, 1},
        {"remembered playlist gone", &kFileNames, "gone.vql", nullptr, 0, false, true, {}, 1},
        {"mode 2", &k2, "list.vql", kSong, 0, false, false, {{"song.vqf", 1}}, k2},
        {"mode -1", &kMinus1, "list.vql", kSong, 0, false, false, {{"song.vqf", 1}}, kMinus1},
        {"mode 0x7FFFFFFF", &kMax, "list.vql", kSong, 0, false, false, {{"song.vqf", 1}}, kMax},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearCurrentUserRegistry();
        SetRegistryString(kPlayerKey, "DecodeDll", "C:\\svq\\SVQDEC32.DLL");
        const CString playlist = c.playlist ? folder.Path() + "\\" + c.playlist : CString();
        if (c.bytes)
            WriteFileBytes(playlist, c.bytes);
        if (c.playlist)
            SetRegistryString(SettingsKey(), "VQLFile", playlist);
        if (c.storedMode)
            SetRegistryDword(SettingsKey(), "HandlingBy", *c.storedMode);
        prompts.messages.clear();

        WindowState shown;
        CModalDialogCloser closer;
        closer.inspect = [&shown, &c](HWND dialog) {
            EXPECT_TRUE(WaitForLoadOf(dialog)) << "the remembered playlist's load did not end";
            shown = StateOf(dialog);
            if (c.click != 0)
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(c.click, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, c.click)));
        };
        EXPECT_FALSE(theApp.InitInstance());

        ASSERT_TRUE(closer.seen);
        EXPECT_EQ(closer.caption, JumblaText::kCaption);
        EXPECT_EQ(shown.titleChecked, c.titleChecked);
        EXPECT_EQ(shown.fileNameChecked, c.fileNameChecked);
        EXPECT_EQ(shown.path, playlist);
        EXPECT_EQ(shown.entries, c.entries);
        EXPECT_EQ(theApp.m_strPlayerPath, "C:\\svq\\SVQPlyer.exe");
        EXPECT_TRUE(prompts.messages.empty());

        DWORD mode = 0;
        EXPECT_TRUE(GetRegistryDword(SettingsKey(), "HandlingBy", mode));
        EXPECT_EQ(mode, c.writtenMode);
        CString stored;
        EXPECT_EQ(GetRegistryString(SettingsKey(), "VQLFile", stored) != FALSE, c.playlist != nullptr)
            << "an empty path is not stored";
        EXPECT_EQ(stored, playlist);
    }
}

TEST_F(ShuffleAppTest, LaunchingAMissingPlayerSaysSo)
{
    theApp.m_strPlayerPath = folder.Path() + "\\SVQPlyer.exe";
    theApp.LaunchPlayer(folder.Path() + "\\jumbla_work.vql");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, JumblaText::kPlayerNotStarted);
    EXPECT_EQ(prompts.messages[0].caption, JumblaText::kCaption);
}
