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
    EXPECT_EQ(prompts.messages[0].text, "SoundVQ Playerが見つかりません");
    EXPECT_EQ(prompts.messages[0].caption, "Jumbla");
    EXPECT_EQ(prompts.messages[0].owner, nullptr);
    EXPECT_FALSE(RegistryKeyExists("Software\\Ostrel's Software"));
}

TEST_F(ShuffleAppTest, FirstRunOpensInTitleModeAndStoresTheModeAfterwards)
{
    SetRegistryString(kPlayerKey, "DecodeDll", "C:\\svq\\SVQDEC32.DLL");
    WindowState shown;
    CModalDialogCloser closer;
    closer.inspect = [&shown](HWND dialog) {
        shown = StateOf(dialog);
        // The user switches to file names before closing.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MODE_FILENAME, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_MODE_FILENAME)));
    };
    EXPECT_FALSE(theApp.InitInstance());

    ASSERT_TRUE(closer.seen);
    EXPECT_EQ(closer.caption, "Jumbla");
    EXPECT_TRUE(shown.titleChecked);
    EXPECT_FALSE(shown.fileNameChecked);
    EXPECT_EQ(shown.path, "");
    EXPECT_TRUE(shown.entries.empty());
    EXPECT_EQ(theApp.m_strPlayerPath, "C:\\svq\\SVQPlyer.exe");
    EXPECT_TRUE(prompts.messages.empty());

    DWORD mode = 0;
    EXPECT_TRUE(GetRegistryDword(SettingsKey(), "handlingBy", mode));
    EXPECT_EQ(mode, 1u);
    CString path;
    EXPECT_FALSE(GetRegistryString(SettingsKey(), "VQLFile", path)) << "an empty path is not stored";
}

TEST_F(ShuffleAppTest, ALaterRunRestoresThePlaylistInTheStoredMode)
{
    SetRegistryString(kPlayerKey, "DecodeDll", "C:\\svq\\SVQDEC32.DLL");
    const CString playlist = folder.Path() + "\\last.vql";
    WriteFileBytes(playlist, "#control(repeat=\"all\")\r\nb.vqf\r\na.vqf\r\n");
    SetRegistryString(SettingsKey(), "VQLFile", playlist);
    SetRegistryDword(SettingsKey(), "HandlingBy", 1);

    WindowState shown;
    CModalDialogCloser closer;
    closer.inspect = [&shown](HWND dialog) { shown = StateOf(dialog); };
    EXPECT_FALSE(theApp.InitInstance());

    ASSERT_TRUE(closer.seen);
    EXPECT_TRUE(shown.fileNameChecked);
    EXPECT_EQ(shown.path, playlist);
    const std::vector<ListItem> expected = {{"b.vqf", 1}, {"a.vqf", 2}};
    EXPECT_EQ(shown.entries, expected);

    DWORD mode = 0;
    EXPECT_TRUE(GetRegistryDword(SettingsKey(), "HandlingBy", mode)) << "names are case-insensitive";
    EXPECT_EQ(mode, 1u);
    CString stored;
    EXPECT_TRUE(GetRegistryString(SettingsKey(), "VQLFile", stored));
    EXPECT_EQ(stored, playlist);
}

TEST_F(ShuffleAppTest, LaunchingAMissingPlayerSaysSo)
{
    theApp.m_strPlayerPath = folder.Path() + "\\SVQPlyer.exe";
    theApp.LaunchPlayer(folder.Path() + "\\jumbla_work.vql");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, kPlayerNotStartedMessage);
    EXPECT_EQ(prompts.messages[0].caption, "Jumbla");
}
