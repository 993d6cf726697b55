#include "playlist/VqfHeader.h"

#include "tests/framework/TempDir.h"
#include "VqfWriter.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {

const CString kComm = VqfChunk("COMM", CString('\1', 12));
const CString kName = VqfChunk("NAME", "Song");
const CString kComt = VqfChunk("COMT", "comment");
const CString kCopyright = VqfChunk("(c) ", "copyright");

struct TagCase
{
    const char* name;
    CString bytes;
    int result;
    const char* title;   // as left in the caller's string, which starts as "old title"
    const char* author;  // likewise, from "old author"
};

const TagCase kTagCases[] = {
    {"well formed", VqfFileBytes("Song", "Artist"), 1, "Song", "Artist"},
    {"texts end at the first NUL", VqfFileBytes(CString("Song\0\0\0", 7), CString("Art\0ist", 7)), 1,
     "Song", "Art"},
    {"empty name", VqfFileBytes("", "Artist"), 1, "", "Artist"},
    {"code page 932 bytes kept", VqfFileBytes("\x95\x5C\x8E\x86", "\x83\x5E\x83\x8D"), 1, "\x95\x5C\x8E\x86",
     "\x83\x5E\x83\x8D"},
    {"AUTH before (c) replaces only the title",
     VqfHeaderBytes(kComm + kName + kComt + VqfChunk("AUTH", "Artist") + kCopyright), 0, "Song", "old author"},
    {"lower-case comm", VqfHeaderBytes(VqfChunk("comm", "x") + kName + kComt + kCopyright + VqfChunk("AUTH", "A")), 0,
     "old title", "old author"},
    {"extra chunk between", VqfHeaderBytes(kComm + VqfChunk("DSIZ", "1234") + kName + kComt + kCopyright + VqfChunk("AUTH", "A")),
     0, "old title", "old author"},
    {"shorter than the header", "TWIN97", 0, "old title", "old author"},
    {"shorter than 20 bytes", CString("TWIN970120000000CO"), 0, "old title", "old author"},
    {"size field cut short", CString("TWIN970120000000COMM\0\0", 22), 0, "old title", "old author"},
    {"skip size 2^31", VqfHeaderBytes(VqfChunkWithSize("COMM", 0x80000000u, "") + kName), 0, "old title", "old author"},
    {"skip size 2^32-1", VqfHeaderBytes(VqfChunkWithSize("COMM", 0xFFFFFFFFu, "") + kName), 0, "old title", "old author"},
    {"name size 2^31", VqfHeaderBytes(kComm + VqfChunkWithSize("NAME", 0x80000000u, "Song")), 0, "old title", "old author"},
    {"author size 2^32-1", VqfHeaderBytes(kComm + kName + kComt + kCopyright + VqfChunkWithSize("AUTH", 0xFFFFFFFFu, "A")), 0,
     "Song", "old author"},
    {"skipped body runs past the end", VqfHeaderBytes(kComm + kName + VqfChunkWithSize("COMT", 100, "comment")), 0, "Song",
     "old author"},
    {"name body cut short", VqfHeaderBytes(kComm + VqfChunkWithSize("NAME", 10, "Song")), 0, "old title", "old author"},
    {"author body cut short", VqfHeaderBytes(kComm + kName + kComt + kCopyright + VqfChunkWithSize("AUTH", 7, "Art")), 0, "Song",
     "old author"},
    {"file ends after the name", VqfHeaderBytes(kComm + kName), 0, "Song", "old author"},
};

class VqfHeaderTagsTest : public ::testing::TestWithParam<TagCase>
{
protected:
    TempDir m_dir;
};

TEST_P(VqfHeaderTagsTest, ReadsTitleAndAuthor)
{
    const TagCase& c = GetParam();
    const std::string path = m_dir.Path("song.vqf");
    WriteBytes(path, c.bytes);
    CString title("old title");
    CString author("old author");

    EXPECT_EQ(ReadVqfHeaderTags(path.c_str(), title, author), c.result);
    EXPECT_EQ(title, c.title);
    EXPECT_EQ(author, c.author);
}

INSTANTIATE_TEST_SUITE_P(Headers, VqfHeaderTagsTest, ::testing::ValuesIn(kTagCases),
                         [](const ::testing::TestParamInfo<TagCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(VqfHeaderTags, MissingFileRaisesFileExceptionAndKeepsStrings)
{
    TempDir dir;
    const std::string path = dir.Path("missing.vqf");
    CString title("old title");
    CString author("old author");
    try {
        ReadVqfHeaderTags(path.c_str(), title, author);
        FAIL() << "no exception for a missing file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    }
    EXPECT_EQ(title, "old title");
    EXPECT_EQ(author, "old author");
}

}  // namespace
