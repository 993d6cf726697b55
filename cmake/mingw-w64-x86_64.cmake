# 64-bit Windows (build/win64): the second, tested target.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(JUMBLA_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# The program links the win32 thread model's runtime, as the 32-bit one
# does: the program the tests run is the program we ship, but for its width.
set(JUMBLA_PROGRAM_THREAD_MODEL win32)
