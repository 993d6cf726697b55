#include "framework/CodePage.h"

#include "framework/Platform.h"

bool IsLeadByte(unsigned char b)
{
    // The system's ANSI code page (CP_ACP), whatever it is.
    return IsDBCSLeadByte(b) != FALSE;
}
