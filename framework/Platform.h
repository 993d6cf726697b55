#pragma once

// The one place that pins the Windows API level. Portable code includes this
// instead of <windows.h> so it reads like Win32 code in both build trees.

#ifdef _WIN32

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef WINVER
#define WINVER 0x0601
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#else

#include <cstdint>

typedef unsigned int UINT;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;  // 32 bits, as on Windows (LLP64), not Linux long
typedef int BOOL;
typedef std::int64_t LONGLONG;
typedef std::uint64_t ULONGLONG;
typedef std::uintptr_t DWORD_PTR;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#endif
