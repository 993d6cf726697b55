#include "VqfWriter.h"

#include "playlist/VqfHeader.h"
#include "tests/framework/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(VqfWriterTest, ChunkIsIdBigEndianSizeAndBody)
{
    const CString body(CString('x', 0x102) + CString('\0', 1));
    const CString chunk = VqfChunk("NAME", body);
    EXPECT_EQ(chunk.Left(8), CString("NAME\0\0\x01\x03", 8));
    EXPECT_EQ(chunk.Mid(8), body);
}

TEST(VqfWriterTest, FileHeaderCountsTheChunkArea)
{
    const CString chunks = VqfChunk("COMM", "abc");
    const CString file = VqfFileFromChunks(chunks);
    EXPECT_EQ(file.Left(16), CString("TWIN97012000\0\0\0\x0B", 16));
    EXPECT_EQ(file.Mid(16, chunks.GetLength()), chunks);
    EXPECT_EQ(file.Mid(16 + chunks.GetLength(), 4), "DATA");
}

TEST(VqfWriterTest, TagReaderReadsWhatItWrites)
{
    struct TagCase
    {
        const char* name;
        CString title;
        CString author;
    };
    const TagCase cases[] = {
        {"ASCII", "Blue Morning", "Northern Lights Band"},
        {"code page 932 with trail bytes 0x5C", "\x95\x5C\x8EQ\x93\xB9\x83\x5C", "\x97\xE9\x96\xD8"},
        {"empty author", "Untitled Sketch", ""},
    };
    TempDir dir;
    const std::string path = dir.Path("song.vqf");
    for (const TagCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CString bytes = VqfFileBytes(c.title, c.author);
        WriteBytes(path, std::string(bytes.GetString(), static_cast<std::size_t>(bytes.GetLength())));
        CString title("old");
        CString author("old");
        EXPECT_EQ(ReadVqfHeaderTags(path.c_str(), title, author), 1);
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(author, c.author);
    }
}

}
