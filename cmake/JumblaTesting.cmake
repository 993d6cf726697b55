# jumbla_add_test(<name> SOURCES <files...> [LIBS <targets...>]
#                 [WINDOWS_ONLY] [NATIVE_ONLY] [RESOURCES <rc files...>])
#
# Builds a GoogleTest executable and registers it with CTest. Portable tests
# are built in both trees: natively they run directly, in the windows tree
# through Wine (CMAKE_CROSSCOMPILING_EMULATOR). Windows tests need the display
# that `make test` provides and the tree's Wine prefix.
# Exit 77 is the emulator's word that this host cannot run the program (a
# 32-bit one where the kernel runs no 32-bit code): CTest reports it skipped.

if(WIN32)
  # Debian ships GoogleTest as sources; build them with the cross compiler.
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(JUMBLA_GTEST_LIBS GTest::gtest GTest::gtest_main)
  if(NOT TARGET GTest::gtest)
    set(JUMBLA_GTEST_LIBS gtest gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
  set(JUMBLA_GTEST_LIBS GTest::gtest GTest::gtest_main)
endif()

set(JUMBLA_WINE_TEST_TIMEOUT 300)
set(JUMBLA_HOST_CANNOT_RUN 77)

function(jumbla_add_test name)
  cmake_parse_arguments(T "WINDOWS_ONLY;NATIVE_ONLY" "" "SOURCES;LIBS;RESOURCES" ${ARGN})
  if(T_WINDOWS_ONLY AND NOT WIN32)
    return()
  endif()
  if(T_NATIVE_ONLY AND WIN32)
    return()
  endif()
  add_executable(${name} ${T_SOURCES} ${T_RESOURCES})
  # The toolchain's posix thread model runtime, not the win32 one the shipped
  # program links (tools/link-thread-model.sh): GoogleTest needs std::mutex.
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${JUMBLA_GTEST_LIBS})
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if(WIN32)
    # Tests run under Wine, which has Vista's API (RegDeleteTree, for one);
    # the program's own code keeps to the oldest Windows of framework/Platform.h.
    target_compile_definitions(${name} PRIVATE _WIN32_WINNT=0x0600 WINVER=0x0600)
    # The tests' own code needs no -O3: -Og compiles it in a third of the
    # time. The code under test comes from the tree's libraries, built as
    # the shipped program is.
    target_compile_options(${name} PRIVATE -Og)
    set_tests_properties(${name} PROPERTIES
      TIMEOUT ${JUMBLA_WINE_TEST_TIMEOUT}
      ENVIRONMENT "WINEPREFIX=${JUMBLA_WINEPREFIX}"
      SKIP_RETURN_CODE ${JUMBLA_HOST_CANNOT_RUN}
      LABELS wine)
  else()
    set_tests_properties(${name} PROPERTIES TIMEOUT 120 LABELS native)
  endif()
endfunction()

# jumbla_add_cp1252_test(<name> <test program> [<arguments...>])
# Runs a Windows test program again on a Western system (ANSI code page
# 1252); the program checks GetACP() against JUMBLA_EXPECTED_ACP.
function(jumbla_add_cp1252_test name program)
  add_test(NAME ${name} COMMAND ${program} --gtest_color=no ${ARGN})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${JUMBLA_WINE_TEST_TIMEOUT}
    ENVIRONMENT "WINEPREFIX=${JUMBLA_WINEPREFIX};JUMBLA_WINE_LANG=en_US.UTF-8;JUMBLA_EXPECTED_ACP=1252"
    SKIP_RETURN_CODE ${JUMBLA_HOST_CANNOT_RUN}
    LABELS wine)
endfunction()
