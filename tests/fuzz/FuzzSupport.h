#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Shared by the fuzz targets and by the replay test that runs them on the
// stored corpus: a check that names the failing input, and scratch files.

// Name of the input being replayed (set by the replay test; libFuzzer names
// the crashing input itself).
extern const char* g_fuzzInputName;

[[noreturn]] void FuzzFail(const char* what, const char* file, int line);

// Aborts (which libFuzzer reports as a crash) when cond is false.
#define FUZZ_CHECK(cond) \
    ((cond) ? static_cast<void>(0) : FuzzFail(#cond, __FILE__, __LINE__))

// A path in this process's own scratch folder, removed when the process ends.
std::string ScratchPath(const char* name);

void WriteFileBytes(const std::string& path, const std::uint8_t* data, std::size_t size);
std::string ReadFileBytes(const std::string& path);

// Counts the largest single allocation made between Start and Stop, where
// the sanitizer runtime offers allocation hooks (ASan does, in both the
// libFuzzer and the replay builds). Returns false when it cannot tell.
class CLargestAllocation
{
public:
    static bool Start();
    static std::size_t Stop();
};
