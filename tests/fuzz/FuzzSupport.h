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

// A file in this process's own scratch folder (removed when the process
// ends), held open for the whole run and rewritten in place for every input:
// one truncate and one write instead of a create, write and close. The code
// under test opens it by Path() like any other file and sees the same file,
// also when it recreates it (an open with create truncates, it does not
// replace).
class CScratchFile
{
public:
    explicit CScratchFile(const char* name);
    ~CScratchFile();
    CScratchFile(const CScratchFile&) = delete;
    CScratchFile& operator=(const CScratchFile&) = delete;

    const std::string& Path() const { return m_path; }
    void Rewrite(const std::uint8_t* data, std::size_t size);
    // The bytes the file holds now, in a string reused from call to call.
    const std::string& Contents();

private:
    std::string m_path;
    std::string m_contents;
    int m_fd;
};

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
