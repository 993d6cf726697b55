#pragma once

// The one place that pins the Windows API level. Portable code includes this
// instead of <windows.h> so it reads like Win32 code in both build trees.
//
// The oldest Windows Jumbla runs on is Windows XP SP3 (5.1) for the 32-bit
// program and Windows Vista SP2 (6.0) for the 64-bit one. The PE header
// declares the same versions (CMakeLists.txt), and tools/windows-imports.txt
// lists every function the program imports with the Windows that has it.
// Both programs are linked with the win32 thread model's runtime: the posix
// one imports GetTickCount64, which XP lacks. Their threads are Win32
// threads (framework/Thread.h).

#ifdef _WIN32

#ifdef _WIN64
#define JUMBLA_OLDEST_WINDOWS 0x0600
#else
#define JUMBLA_OLDEST_WINDOWS 0x0501
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT JUMBLA_OLDEST_WINDOWS
#endif
#ifndef WINVER
#define WINVER JUMBLA_OLDEST_WINDOWS
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
