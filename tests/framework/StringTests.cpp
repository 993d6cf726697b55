#include "framework/String.h"

#include "framework/CodePage.h"
#include "framework/Platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>

namespace {

std::string Bytes(const CString& s)
{
    return std::string(s.GetString(), static_cast<std::size_t>(s.GetLength()));
}

// The double-byte cases assume code page 932, which the Windows tests get from
// the Japanese locale they run under.
bool AnsiCodePageIs932()
{
#ifdef _WIN32
    return GetACP() == 932;
#else
    return true;
#endif
}

#define REQUIRE_CP932() \
    if (!AnsiCodePageIs932()) GTEST_SKIP() << "ANSI code page is not 932"

// CP932 characters whose trail byte looks like ASCII: 表 = 95 5C, ソ = 83 5C,
// ア = 83 41, ツ = 83 63. 0xB1 is a single-byte half-width katakana.
const char kHyou[] = "\x95\x5C";
const char kSo[] = "\x83\x5C";

// One table for both directions: Find from `start`, or ReverseFind where the
// start is kFromEnd.
const int kFromEnd = -100;
struct SearchCase {
    const char* text;
    char ch;
    int start;
    int expected;
};

void PrintTo(const SearchCase& c, std::ostream* os)
{
    *os << '"' << c.text << "\" '" << c.ch << "' from " << c.start;
}

class SearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchTest, FindsSingleByteCharacterNotTrailByte)
{
    REQUIRE_CP932();
    const SearchCase& c = GetParam();
    const CString text(c.text);
    EXPECT_EQ(c.start == kFromEnd ? text.ReverseFind(c.ch) : text.Find(c.ch, c.start), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Cp932, SearchTest, ::testing::Values(
    SearchCase{"C:\\dir\\file.vql", '\\', kFromEnd, 6},
    SearchCase{"C:\\\x95\x5C", '\\', kFromEnd, 2},
    SearchCase{"\x95\x5C", '\\', kFromEnd, -1},
    SearchCase{"\x83\x5C\\x", '\\', kFromEnd, 2},
    SearchCase{"C:\\\x95\x5C\x83\x5C.vql", '\\', kFromEnd, 2},
    SearchCase{"\xB1\\", '\\', kFromEnd, 1},
    SearchCase{"", '\\', kFromEnd, -1},
    SearchCase{"abc", '\\', kFromEnd, -1},
    SearchCase{"\x83\x41" "A", 'A', kFromEnd, 2},
    SearchCase{"\x95\x5C\\", '\\', 0, 2},
    SearchCase{"\x95\x5C", '\\', 0, -1},
    SearchCase{"a\\b\\c", '\\', 0, 1},
    SearchCase{"a\\b\\c", '\\', 2, 3},
    SearchCase{"a\\b", '\\', 5, -1},
    SearchCase{"a\\b", '\\', -3, 1},
    SearchCase{"\x83\x63" "c", 'c', 0, 2}));

struct SliceCase {
    const char* name;
    CString (*slice)(const CString&);
    const char* text;
    const char* expected;
};

void PrintTo(const SliceCase& c, std::ostream* os)
{
    *os << c.name << " of \"" << c.text << '"';
}

class SliceTest : public ::testing::TestWithParam<SliceCase> {};

TEST_P(SliceTest, ClampsToTheString)
{
    const SliceCase& c = GetParam();
    EXPECT_EQ(Bytes(c.slice(CString(c.text))), c.expected) << c.name << " of " << c.text;
}

INSTANTIATE_TEST_SUITE_P(Edges, SliceTest, ::testing::Values(
    SliceCase{"Left(-1)", [](const CString& s) { return s.Left(-1); }, "abc", ""},
    SliceCase{"Left(0)", [](const CString& s) { return s.Left(0); }, "abc", ""},
    SliceCase{"Left(2)", [](const CString& s) { return s.Left(2); }, "abc", "ab"},
    SliceCase{"Left(5)", [](const CString& s) { return s.Left(5); }, "abc", "abc"},
    SliceCase{"Right(3) shorter", [](const CString& s) { return s.Right(3); }, "ab", "ab"},
    SliceCase{"Right(3)", [](const CString& s) { return s.Right(3); }, "a.vql", "vql"},
    SliceCase{"Right(-2)", [](const CString& s) { return s.Right(-2); }, "abc", ""},
    SliceCase{"Mid(2)", [](const CString& s) { return s.Mid(2); }, "abcdef", "cdef"},
    SliceCase{"Mid(2,2)", [](const CString& s) { return s.Mid(2, 2); }, "abcdef", "cd"},
    SliceCase{"Mid(5) past end", [](const CString& s) { return s.Mid(5); }, "abc", ""},
    SliceCase{"Mid(-1,2)", [](const CString& s) { return s.Mid(-1, 2); }, "abc", "ab"},
    SliceCase{"Mid(1,9)", [](const CString& s) { return s.Mid(1, 9); }, "abc", "bc"}));

TEST(CStringTest, CaseChangesLeaveDoubleByteCharactersAlone)
{
    REQUIRE_CP932();
    CString upper("x\x83\x63y.vql");  // ツ: trail byte 'c'
    upper.MakeUpper();
    EXPECT_EQ(Bytes(upper), "X\x83\x63Y.VQL");

    CString lower("\x83\x41" "B");  // ア: trail byte 'A'
    lower.MakeLower();
    EXPECT_EQ(Bytes(lower), "\x83\x41" "b");

    CString path(std::string("c:\\").append(kHyou).append(kSo).c_str());
    path.MakeUpper();
    EXPECT_EQ(Bytes(path), std::string("C:\\").append(kHyou).append(kSo));
}

struct CompareCase {
    const char* a;
    const char* b;
    int expected;
};

void PrintTo(const CompareCase& c, std::ostream* os)
{
    *os << '"' << c.a << "\" vs \"" << c.b << '"';
}

class CompareNoCaseTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareNoCaseTest, FoldsAsciiOnly)
{
    REQUIRE_CP932();
    const CompareCase& c = GetParam();
    EXPECT_EQ(CString(c.a).CompareNoCase(c.b), c.expected) << c.a << " vs " << c.b;
}

INSTANTIATE_TEST_SUITE_P(Cp932, CompareNoCaseTest, ::testing::Values(
    CompareCase{"abc", "ABC", 0},
    CompareCase{"A.VQL", "a.vql", 0},
    CompareCase{"\x83\x41", "\x83\x61", -1},  // ア vs ヂ: trail bytes are not letters
    CompareCase{"\x83\x61", "\x83\x41", 1},
    CompareCase{"\x95\x5C" "A", "\x95\x5C" "a", 0},
    CompareCase{"abc", "abd", -1},
    CompareCase{"ab", "abc", -1},
    CompareCase{"abc", "ab", 1},
    CompareCase{"\x83", "\x83\x41", -1},
    CompareCase{"", "", 0}));

TEST(CStringTest, CompareIsUnsignedByteOrder)
{
    EXPECT_EQ(CString("\x81").Compare("a"), 1);
    EXPECT_EQ(CString("a").Compare("b"), -1);
    EXPECT_EQ(CString("abc").Compare("abc"), 0);
    EXPECT_EQ(CString("A").Compare("a"), -1);
}

TEST(CStringTest, KeepsNulBytes)
{
    const CString withNul("a\0b", 3);
    EXPECT_EQ(withNul.GetLength(), 3);
    EXPECT_EQ(withNul.GetAt(1), '\0');
    EXPECT_NE(withNul, CString("a\0c", 3));
    EXPECT_NE(withNul, "a");
    EXPECT_EQ(Bytes(withNul + withNul), std::string("a\0ba\0b", 6));
    EXPECT_EQ(withNul.ReverseFind('b'), 2);
}

TEST(CStringTest, BufferRoundTrip)
{
    CString s("xyz");
    char* buffer = s.GetBuffer(16);
    std::snprintf(buffer, 17, "%s", "hello");
    s.ReleaseBuffer();
    EXPECT_EQ(Bytes(s), "hello");

    s.GetBuffer(0)[0] = 'j';
    s.ReleaseBuffer(3);
    EXPECT_EQ(Bytes(s), "jel");
}

TEST(CStringTest, ConcatenationAndAssignment)
{
    CString s = "a" + CString("b") + 'c' + "d";
    EXPECT_EQ(s, "abcd");
    s += CString("e");
    s += 'f';
    s += "g";
    EXPECT_EQ(Bytes(s), "abcdefg");
    EXPECT_EQ(Bytes('x' + CString("y")), "xy");
    s = nullptr;
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(Bytes(CString('-', 3)), "---");
    EXPECT_TRUE(CString('-', 0).IsEmpty());
}

TEST(CodePageTest, LeadByteRanges)
{
    REQUIRE_CP932();
    for (int b : {0x81, 0x9F, 0xE0, 0xFC})
        EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(b))) << b;
    for (int b : {0x00, 0x5C, 0x80, 0xA0, 0xB1, 0xDF, 0xFD, 0xFF})
        EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(b))) << b;
}

}
