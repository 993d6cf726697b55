#pragma once

// True when b starts a double-byte character in the ANSI code page: the
// system code page on Windows, code page 932 (Japanese) in the native build.
bool IsLeadByte(unsigned char b);
