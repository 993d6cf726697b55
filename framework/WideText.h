#pragma once

#include "framework/Platform.h"
#include "framework/String.h"

#include <string>

// What a person reads goes to Windows as UTF-16, so the Japanese texts come
// out right whatever the system code page is; paths and playlist lines stay
// byte strings in the ANSI code page. These convert between the two where a
// text holds both (a path in a message, a name chosen in a file dialog or
// dropped on a window).

// The text as the system reads ANSI bytes (CP_ACP): bytes that are no valid
// character there become the system's replacement, never an error.
std::wstring AfxWideFromAnsi(const CString& text);

// The ANSI bytes that spell the NUL-terminated UTF-16 name exactly. FALSE,
// with path emptied, when the code page has no exact spelling for it: the
// system's best fit would name another file (in code page 932 U+00A5 "¥"
// becomes the separator `\` and "é" becomes "e"), so such a name is refused
// rather than used.
BOOL AfxExactAnsiFromWide(const wchar_t* name, CString& path);

// Text `id` of the program's string table, where every shown text lives, in
// UTF-16 as it is stored. Empty when the table has no such text.
std::wstring AfxLoadText(UINT id);
