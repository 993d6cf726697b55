#include "framework/CodePage.h"

#include "framework/Platform.h"

bool IsLeadByte(unsigned char b)
{
#ifdef _WIN32
    return IsDBCSLeadByte(b) != FALSE;
#else
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
#endif
}
