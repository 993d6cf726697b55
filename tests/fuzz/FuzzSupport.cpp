#include "tests/fuzz/FuzzSupport.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*mallocHook)(const volatile void*, std::size_t),
    void (*freeHook)(const volatile void*)) __attribute__((weak));

const char* g_fuzzInputName = nullptr;

void FuzzFail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    if (g_fuzzInputName)
        std::fprintf(stderr, "input: %s\n", g_fuzzInputName);
    std::abort();
}

namespace {

// Every input is written to a file and read back, often tens of thousands
// of times a second: memory-backed /dev/shm whenever there is one, as a
// temporary folder on disk (TMPDIR included) makes the round trip five to
// ten times slower.
std::filesystem::path ScratchRoot()
{
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

class CScratchFolder
{
public:
    CScratchFolder()
    {
        std::string pattern = (ScratchRoot() / "jumbla_fuzz_XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            FuzzFail("mkdtemp", __FILE__, __LINE__);
        m_path = pattern;
    }
    ~CScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::atomic<bool> g_tracking{false};
std::atomic<std::size_t> g_largest{0};

void OnMalloc(const volatile void*, std::size_t size)
{
    if (!g_tracking.load(std::memory_order_relaxed))
        return;
    std::size_t seen = g_largest.load(std::memory_order_relaxed);
    while (size > seen && !g_largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
}

void OnFree(const volatile void*)
{
}

bool InstallHooks()
{
    return __sanitizer_install_malloc_and_free_hooks
        && __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
}

}  // namespace

CScratchFile::CScratchFile(const char* name)
{
    static const CScratchFolder folder;
    m_path = (folder.Path() / name).string();
    m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    FUZZ_CHECK(m_fd >= 0);
}

CScratchFile::~CScratchFile()
{
    ::close(m_fd);
}

void CScratchFile::Rewrite(const std::uint8_t* data, std::size_t size)
{
    FUZZ_CHECK(::ftruncate(m_fd, 0) == 0);
    FUZZ_CHECK(::pwrite(m_fd, data, size, 0) == static_cast<ssize_t>(size));
}

const std::string& CScratchFile::Contents()
{
    struct stat st;
    FUZZ_CHECK(::fstat(m_fd, &st) == 0);
    m_contents.resize(static_cast<std::size_t>(st.st_size));
    FUZZ_CHECK(::pread(m_fd, m_contents.data(), m_contents.size(), 0) == st.st_size);
    return m_contents;
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    FUZZ_CHECK(in.good());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool CLargestAllocation::Start()
{
    static const bool installed = InstallHooks();
    g_largest = 0;
    g_tracking = installed;
    return installed;
}

std::size_t CLargestAllocation::Stop()
{
    g_tracking = false;
    return g_largest;
}
