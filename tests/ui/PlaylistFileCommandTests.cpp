#include "framework/Random.h"
#include "tests/ui/MainWindowTest.h"

#include <algorithm>
#include <cstdlib>

using namespace JumblaText;

class FileCommandTest : public MainWindowTest
{
public:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        playlist = WritePlaylist("list.vql", {"#x", "a.vqf", "b.vqf", "c.vqf", "d.vqf"});
        workFile = folder / "jumbla_work.vql";
        Open(1);
        SetPath(playlist);
    }

    void ExpectPlaylistDialog(const RecordedFileDialog& dialog, BOOL bOpen, const wchar_t* title, DWORD flags)
    {
        EXPECT_EQ(dialog.bOpen, bOpen);
        EXPECT_EQ(dialog.title, title);
        EXPECT_EQ(dialog.flags & (OFN_FILEMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY), flags);
        std::wstring filter = kFilter;
        std::replace(filter.begin(), filter.end(), L'|', L'\0');
        EXPECT_EQ(dialog.filter, filter);
        EXPECT_EQ(dialog.nFilterIndex, 1u);
        EXPECT_EQ(dialog.defExt, L"vql");
        EXPECT_EQ(dialog.nMaxFile, 1024u);
        EXPECT_EQ(dialog.initialDir, folder.Path());
        EXPECT_EQ(dialog.owner, dlg->m_hWnd);
    }

    CString playlist;
    CString workFile;
};

// A cancelled Load or Save deletes the work file and changes nothing else.
TEST_F(FileCommandTest, LoadOrSaveCancelledDeletesTheWorkFileOnly)
{
    const std::vector<ListItem> loaded = Entries();
    const auto cancel = [&](int button, BOOL bOpen, const wchar_t* title, DWORD flags) {
        WriteFileBytes(workFile, "old");
        prompts.fileDialogs.clear();
        Click(button);
        ASSERT_EQ(prompts.fileDialogs.size(), 1u);
        ExpectPlaylistDialog(prompts.fileDialogs[0], bOpen, title, flags);
        EXPECT_FALSE(FileExists(workFile));
        EXPECT_TRUE(prompts.messages.empty());
        EXPECT_EQ(Entries(), loaded);
        EXPECT_EQ(PathText(), playlist);
    };
    cancel(IDC_LOAD, TRUE, kOpenTitle, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    cancel(IDC_SAVE, FALSE, kSaveTitle, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY);
}

TEST_F(FileCommandTest, LoadConfirmedPutsTheChosenPathInTheEditWhichLoadsIt)
{
    const CString other = WritePlaylist("other.vql", {"z.vqf"});
    prompts.fileAnswers.push_back(other);
    Click(IDC_LOAD);
    EXPECT_EQ(PathText(), other);
    const std::vector<ListItem> expected = {{"z.vqf", 0}};
    EXPECT_EQ(Entries(), expected);
}

TEST_F(FileCommandTest, SaveWithAnEmptyPathReportsTheFailure)
{
    SetPath("");
    const CString target = folder / "saved.vql";
    prompts.fileAnswers.push_back(target);
    Click(IDC_SAVE);
    ASSERT_EQ(prompts.fileDialogs.size(), 1u);
    EXPECT_EQ(prompts.fileDialogs[0].initialDir, "");
    ExpectOnlyMessage(kSaveFailed);
    EXPECT_FALSE(FileExists(target));
}

TEST_F(FileCommandTest, SaveUnderItsOwnNameReplacesThePlaylistWithItsShuffledForm)
{
    AfxGetRandom().Seed(3);
    Click(IDC_SHUFFLE);
    const std::vector<ListItem> shuffled = Entries();
    prompts.fileAnswers.push_back(playlist);
    prompts.messageAnswers.push_back(IDNO);
    Click(IDC_SAVE);

    EXPECT_EQ(ReadFileBytes(playlist), WrittenForm({"#x", "a.vqf", "b.vqf", "c.vqf", "d.vqf"}, shuffled));
    EXPECT_FALSE(FileExists(workFile));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    ExpectOnlyMessage(kLoadSaved);
    EXPECT_EQ(PathText(), playlist) << "No keeps the path";
}

TEST_F(FileCommandTest, SaveAnsweredYesLoadsTheSavedPlaylist)
{
    const CString target = folder / "saved.vql";
    prompts.fileAnswers.push_back(target);
    prompts.messageAnswers.push_back(IDYES);
    Click(IDC_SAVE);
    EXPECT_EQ(PathText(), target);
    const std::vector<ListItem> expected = {{"a.vqf", 1}, {"b.vqf", 2}, {"c.vqf", 3}, {"d.vqf", 4}};
    EXPECT_EQ(Entries(), expected) << "the directive line comes first";
    EXPECT_FALSE(FileExists(workFile));
}

// A Save that cannot put the list under the chosen name says so instead of
// offering to load. The work file goes all the same, the edit keeps its
// path, a file of that name keeps its bytes and no half-written file stays.
TEST_F(FileCommandTest, SaveThatCannotWriteTheChosenNameReportsTheFailureInsteadOfOfferingToLoad)
{
    struct Case
    {
        const char* name;
        const char* target;  // in the scratch folder
        bool held;           // a file of that name held open by another program
    };
    const Case cases[] = {
        {"a folder that does not exist", "no such folder\\saved.vql", false},
        {"a file held open without sharing", "precious.vql", true},
    };
    const CString precious = CrLfLines({"#mine", "x.vqf"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CString target = folder / c.target;
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (c.held) {
            WriteFileBytes(target, precious);
            holder = CreateFileA(target, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        }
        WriteFileBytes(workFile, "old");
        prompts.fileAnswers.push_back(target);
        prompts.messageAnswers.push_back(IDYES);
        Click(IDC_SAVE);
        if (holder != INVALID_HANDLE_VALUE)
            CloseHandle(holder);

        ExpectOnlyMessage(kSaveFailed);
        EXPECT_EQ(ReadFileBytes(target), c.held ? precious : CString());
        EXPECT_FALSE(FileExists(workFile));
        EXPECT_EQ(PathText(), playlist);
        EXPECT_EQ(FilesMatching(folder / "jmb*.tmp").size(), 0u) << "the half-written file is removed";
    }
}

// A name from a dialog or a drop that the system code page spells only as a
// look-alike (in code page 932 "a¥b.vql" as the user's own a\b.vql) is
// refused: Save says it failed and writes nothing, Load counts as cancelled,
// the drop is refused. ui_tests runs the rows of 932, ui_tests_cp1252 those
// of 1252.
TEST_F(FileCommandTest, ANameTheCodePageSpellsOnlyAsALookAlikeIsRefused)
{
    struct Case
    {
        UINT codePage;
        const wchar_t* name;
        const char* lookAlike;  // nullptr: spelled exactly; "": none can exist
    };
    const Case cases[] = {
        {932, L"a\u00A5b.vql", "a\\b.vql"}, {932, L"caf\u00E9.vql", "cafe.vql"}, {932, L"\u66F2.vql", nullptr},
        {1252, L"\uFF42.vql", "b.vql"},     {1252, L"\u66F2.vql", ""},          {1252, L"caf\u00E9.vql", nullptr},
    };
    const char* expectedCodePage = std::getenv("JUMBLA_EXPECTED_ACP");
    ASSERT_EQ(GetACP(), expectedCodePage != nullptr ? static_cast<UINT>(std::atoi(expectedCodePage)) : 932u);
    ASSERT_TRUE(CreateDirectoryA(folder / "a", nullptr));
    const CString mine = CrLfLines({"#mine"});
    const auto files = [&] { return std::make_pair(FilesMatching(folder / "*"), FilesMatching(folder / "a\\*")); };
    for (const Case& c : cases) {
        if (c.codePage != GetACP())
            continue;
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.name)));
        const std::wstring name = WideName(folder.Path()).name + L"\\" + c.name;
        if (c.lookAlike != nullptr && *c.lookAlike != '\0')
            WriteFileBytes(folder / c.lookAlike, mine);
        const auto before = files();
        SetPath(playlist);
        prompts.messages.clear();
        prompts.fileAnswers.push_back(name.c_str());
        Click(IDC_SAVE);
        prompts.fileAnswers.push_back(name.c_str());
        Click(IDC_LOAD);
        Drop({name.c_str()});
        if (c.lookAlike == nullptr) {
            ExpectOnlyMessage(kLoadSaved);
            EXPECT_EQ(WideName(PathText()).name, name) << "saved, loaded and dropped";
            continue;
        }
        ASSERT_EQ(prompts.messages.size(), 2u);
        EXPECT_EQ(prompts.messages[0].text, kSaveFailed);
        EXPECT_EQ(prompts.messages[1].text, kNotVql);
        EXPECT_EQ(PathText(), playlist);
        EXPECT_EQ(files(), before) << "nothing written";
        if (*c.lookAlike != '\0') {
            EXPECT_EQ(ReadFileBytes(folder / c.lookAlike), mine);
        }
    }
}

// A playlist that is itself its folder's work file (saved under that name)
// survives the commands that clean the work file up.
TEST_F(FileCommandTest, APlaylistNamedLikeTheWorkFileIsNeverDeleted)
{
    struct Case
    {
        const char* name;
        void (*command)(FileCommandTest&);
    };
    const Case cases[] = {
        {"load", [](FileCommandTest& t) { t.Click(IDC_LOAD); }},
        {"save", [](FileCommandTest& t) { t.Click(IDC_SAVE); }},
        {"save confirmed", [](FileCommandTest& t) {
             t.prompts.fileAnswers.push_back(t.folder / "copy.vql");
             t.Click(IDC_SAVE);
         }},
        {"close", [](FileCommandTest& t) { t.Close(); }},
    };
    for (const Case& c : cases) {
        const CString own = WritePlaylist("JUMBLA_WORK.VQL", {"a.vqf"});
        if (!dlg)
            Open(1);
        SetPath(own);
        c.command(*this);
        EXPECT_EQ(ReadFileBytes(own), CrLfLines({"a.vqf"})) << c.name;
    }
}

struct DropCase
{
    const char* name;
    bool ontoList;
    std::vector<const char*> files;  // names in the scratch folder
    std::vector<const wchar_t*> messages;
    const char* acceptedFile;  // nullptr: the edit keeps its text
};

class DropTest : public FileCommandTest, public ::testing::WithParamInterface<DropCase>
{
};

TEST_P(DropTest, DroppedFileBecomesThePlaylistWhenItsNameEndsInVql)
{
    const DropCase& c = GetParam();
    WriteFileBytes(workFile, "work");
    std::vector<WideName> paths;
    for (const char* name : c.files)
        paths.push_back(folder / name);
    WriteFileBytes(folder / c.files[0], "#x\r\ndropped.vqf\r\n");

    Drop(paths, c.ontoList ? Item(IDC_ENTRIES) : dlg->m_hWnd);

    ASSERT_EQ(prompts.messages.size(), c.messages.size());
    for (std::size_t i = 0; i < c.messages.size(); ++i) {
        EXPECT_EQ(prompts.messages[i].text, c.messages[i]);
        EXPECT_EQ(prompts.messages[i].caption, kDropCaption);
        EXPECT_EQ(prompts.messages[i].owner, dlg->m_hWnd);
    }
    if (c.acceptedFile != nullptr) {
        EXPECT_EQ(PathText(), folder / c.acceptedFile);
        const std::vector<ListItem> expected = {{"dropped.vqf", 1}};
        EXPECT_EQ(Entries(), expected);
    } else {
        EXPECT_EQ(PathText(), playlist);
    }
    EXPECT_TRUE(FileExists(workFile)) << "a drop deletes no work file";
}

INSTANTIATE_TEST_SUITE_P(
    Drops, DropTest,
    ::testing::Values(DropCase{"UpperCaseVql", false, {"new.VQL"}, {}, "new.VQL"},
                      DropCase{"LowerCaseVqlOntoTheList", true, {"new.vql"}, {}, "new.vql"},
                      DropCase{"OnlyTheLastThreeBytesCount", false, {"newvql"}, {}, "newvql"},
                      DropCase{"VqfIsRefused", false, {"song.vqf"}, {kNotVql}, nullptr},
                      DropCase{"VqfOntoTheListIsRefused", true, {"song.vqf"}, {kNotVql}, nullptr},
                      DropCase{"ThreeFilesUseTheFirst", false, {"first.vql", "b.vqf", "c.vqf"}, {kOneFileOnly}, "first.vql"},
                      DropCase{"ThreeFilesWhoseFirstIsRefused", true, {"first.vqf", "b.vql", "c.vql"},
                               {kOneFileOnly, kNotVql}, nullptr}),
    [](const ::testing::TestParamInfo<DropCase>& info) { return std::string(info.param.name); });
