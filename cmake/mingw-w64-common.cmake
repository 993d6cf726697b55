# What both Windows toolchains share: Debian's MinGW-w64 with the posix
# thread model (GoogleTest needs std::mutex, which the win32 model lacks).
# The including file sets CMAKE_SYSTEM_PROCESSOR and JUMBLA_MINGW_TRIPLET.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${JUMBLA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${JUMBLA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${JUMBLA_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${JUMBLA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test executables run through Wine; the wrapper picks the build's own prefix
# and the loader that matches the prefix's width.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh;--relay")
