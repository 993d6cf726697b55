#include "tests/ui/MainWindowTest.h"
#include "VqfWriter.h"

using PlaylistEditTest = MainWindowTest;

TEST_F(PlaylistEditTest, LoadsEntryLinesWithTheirLineIndices)
{
    const CString path = WritePlaylist("mixed.vql", {"a.vqf", "", "#x", "b.vqf", " ", "  #x"});
    Open(1);
    SetPath(path);
    const std::vector<ListItem> expected = {{"a.vqf", 0}, {"b.vqf", 3}, {" ", 4}, {"  #x", 5}};
    EXPECT_EQ(Entries(), expected);
}

TEST_F(PlaylistEditTest, TypingReplacesTheListOnlyWhenTheTextNamesAReadablePlaylist)
{
    const CString first = WritePlaylist("first.vql", {"one.vqf"});
    const CString second = WritePlaylist("second.vql", {"#control(repeat=\"all\")", "two.vqf", "three.vqf"});
    Open(1);
    SetPath(first);
    const std::vector<ListItem> firstEntries = {{"one.vqf", 0}};
    ASSERT_EQ(Entries(), firstEntries);

    for (int length = 1; length < second.GetLength(); ++length) {
        SetPath(second.Left(length));
        ASSERT_EQ(Entries(), firstEntries) << "after typing " << second.Left(length).GetString();
    }
    SetPath(second);
    const std::vector<ListItem> secondEntries = {{"two.vqf", 1}, {"three.vqf", 2}};
    EXPECT_EQ(Entries(), secondEntries);
}

TEST_F(PlaylistEditTest, PlaylistsThatCannotBeOpenedLeaveTheListAlone)
{
    const CString path = WritePlaylist("list.vql", {"a.vqf", "b.vqf"});
    Open(1);
    SetPath(path);
    const std::vector<ListItem> loaded = Entries();
    ASSERT_EQ(loaded.size(), 2u);

    // Held open elsewhere without sharing: the exclusive open fails.
    HANDLE holder = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Click(IDC_MODE_FILENAME);
    EXPECT_EQ(Entries(), loaded) << "held open";
    CloseHandle(holder);

    ASSERT_TRUE(DeleteFileA(path));
    Click(IDC_MODE_FILENAME);
    EXPECT_EQ(Entries(), loaded) << "deleted";

    const CString folderPath = folder / "sub.vql";
    ASSERT_TRUE(CreateDirectoryA(folderPath, nullptr));
    SetPath(folderPath);
    EXPECT_EQ(Entries(), loaded) << "a folder";

    SetPath("");
    EXPECT_EQ(Entries(), loaded) << "empty text";
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(PlaylistEditTest, APlaylistOfCommentsOnlyEmptiesTheList)
{
    const CString full = WritePlaylist("full.vql", {"a.vqf"});
    const CString comments = WritePlaylist("comments.vql", {"#one", "", "#two"});
    Open(1);
    SetPath(full);
    ASSERT_EQ(Entries().size(), 1u);
    SetPath(comments);
    EXPECT_TRUE(Entries().empty());
}

TEST_F(PlaylistEditTest, TitleModeShowsTagsAndReportsUnreadableFilesThroughTheEdit)
{
    WriteFileBytes(folder / "song.vqf", VqfFileBytes("Song", "Artist"));
    WriteFileBytes(folder / "japanese.vqf", VqfFileBytes("曲名テスト", "作者"));
    const CString wrongOrder = VqfFileFromChunks(VqfChunk("COMM", "x") + VqfChunk("NAME", "Other") +
                                                 VqfChunk("COMT", "") + VqfChunk("AUTH", "A") + VqfChunk("(c) ", ""));
    WriteFileBytes(folder / "order.vqf", wrongOrder);
    const CString song = folder / "song.vqf";
    const CString japanese = folder / "japanese.vqf";
    const CString order = folder / "order.vqf";
    const CString missing = folder / "missing.vqf";
    const CString path = folder / "titles.vql";
    WriteFileBytes(path, CrLfLines({song, missing, order, japanese}));

    Open(0);
    SetPath(path);

    const std::vector<ListItem> expected = {
        {"Song [Artist]", 0}, {missing, 1}, {order, 2}, {"曲名テスト [作者]", 3}};
    EXPECT_EQ(Entries(), expected);
    ASSERT_EQ(prompts.messages.size(), 1u) << "only the file that cannot be opened is reported";
    EXPECT_EQ(prompts.messages[0].text, AfxWideFromAnsi(missing) + JumblaText::kUnreadable);
    EXPECT_EQ(prompts.messages[0].caption, JumblaText::kCaption);
    EXPECT_EQ(prompts.messages[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(prompts.messages[0].owner, Item(IDC_PATH));
}
