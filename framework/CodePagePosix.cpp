#include "framework/CodePage.h"

bool IsLeadByte(unsigned char b)
{
    // Code page 932's lead bytes: the native build reads Japanese byte strings.
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
