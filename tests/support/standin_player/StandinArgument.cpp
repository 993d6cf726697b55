#include "tests/support/standin_player/StandinArgument.h"

#include "framework/CodePage.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/' || c == ':' || c == '"';
}

int CharWidth(const CString& text, int pos)
{
    return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.GetLength() ? 2 : 1;
}

// Position just after our own file name when it ends the program name, or -1.
int EndOfOwnName(const CString& commandLine, const CString& moduleFileName)
{
    const int length = commandLine.GetLength();
    const int nameLength = moduleFileName.GetLength();
    if (nameLength == 0)
        return -1;
    // Only character starts are candidates, and only after a separator that
    // is a whole character (a trail byte 0x5C is not a backslash).
    bool afterSeparator = true;
    for (int pos = 0; pos < length; pos += CharWidth(commandLine, pos)) {
        if (afterSeparator && commandLine.Mid(pos, nameLength).CompareNoCase(moduleFileName) == 0) {
            int end = pos + nameLength;
            if (end < length && commandLine[end] == '"')
                ++end;
            if (end == length || IsBlank(commandLine[end]))
                return end;
        }
        afterSeparator = CharWidth(commandLine, pos) == 1 && IsPathSeparator(commandLine[pos]);
    }
    return -1;
}

int EndOfProgramNameByUsualRule(const CString& commandLine)
{
    const int length = commandLine.GetLength();
    if (length > 0 && commandLine[0] == '"') {
        const int closing = commandLine.Find('"', 1);
        return closing < 0 ? length : closing + 1;
    }
    int pos = 0;
    while (pos < length && !IsBlank(commandLine[pos]))
        pos += CharWidth(commandLine, pos);
    return pos;
}

}

CString StandinArgument(const CString& commandLine, const CString& moduleFileName)
{
    int pos = EndOfOwnName(commandLine, moduleFileName);
    if (pos < 0)
        pos = EndOfProgramNameByUsualRule(commandLine);
    while (pos < commandLine.GetLength() && IsBlank(commandLine[pos]))
        ++pos;
    CString argument = commandLine.Mid(pos);
    const int length = argument.GetLength();
    if (length >= 2 && argument[0] == '"' && argument[length - 1] == '"')
        argument = argument.Mid(1, length - 2);
    return argument;
}
