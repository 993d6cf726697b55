# 32-bit Windows (build/win32): the program users get. It runs on 32- and
# 64-bit Windows and in both kinds of Wine prefix, beside the 32-bit player.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(JUMBLA_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# The program itself is linked with the win32 thread model's runtime: the
# posix one (winpthreads) imports GetTickCount64, which Windows XP lacks.
# Its worker threads are Win32 threads (framework/Thread.h), so it loses
# nothing; the tests keep the posix runtime, which GoogleTest's std::mutex
# needs, and link the same product objects.
set(JUMBLA_PROGRAM_THREAD_MODEL win32)
