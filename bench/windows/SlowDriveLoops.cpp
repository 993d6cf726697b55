#include "SlowDriveLoops.h"

#include "VqfWriter.h"

#include "BenchClock.h"

#include <cstdio>
#include <cstdlib>

namespace {

CString EnvironmentVariable(const char* name)
{
    char value[2048] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? CString(value) : CString();
}

// The drive's Unix path as Wine's Z: drive shows it.
CString WindowsPathOf(const CString& unixPath)
{
    CString path = "Z:";
    for (int i = 0; i < unixPath.GetLength(); ++i)
        path += unixPath[i] == '/' ? '\\' : unixPath[i];
    return path;
}

void WriteWhole(const CString& path, const CString& bytes)
{
    HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const BOOL ok = file != INVALID_HANDLE_VALUE &&
                    ::WriteFile(file, bytes.GetString(), static_cast<DWORD>(bytes.GetLength()), &written, nullptr) &&
                    written == static_cast<DWORD>(bytes.GetLength());
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    if (!ok) {
        std::fprintf(stderr, "title_bench_win: cannot write %s\n", path.GetString());
        std::exit(1);
    }
}

// One file: the same open (exclusive, as CFile opens), 64-byte read and
// close as TitleModeBench's OpenRead64Close.
bool OpenRead64Close(const CString& path)
{
    char bytes[64];
    HANDLE file = ::CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD got = 0;
    const bool ok = ::ReadFile(file, bytes, sizeof bytes, &got, nullptr) && got == sizeof bytes;
    ::CloseHandle(file);
    return ok;
}

struct SharedLoop
{
    const std::vector<CString>* paths;
    volatile LONG next;    // the index last claimed; starts at -1
    volatile LONG failed;  // the index of a file that could not be read, plus one
};

DWORD WINAPI LoopThread(void* parameter)
{
    SharedLoop& loop = *static_cast<SharedLoop*>(parameter);
    const LONG count = static_cast<LONG>(loop.paths->size());
    for (LONG i = ::InterlockedIncrement(&loop.next); i < count; i = ::InterlockedIncrement(&loop.next)) {
        if (!OpenRead64Close((*loop.paths)[i]))
            ::InterlockedExchange(&loop.failed, i + 1);
    }
    return 0;
}

}  // namespace

CString SlowDriveRoot(CString& why)
{
    const CString root = EnvironmentVariable("JUMBLA_SLOW_DRIVE");
    why.Empty();
    if (root.IsEmpty()) {
        why = EnvironmentVariable("JUMBLA_NO_SLOW_DRIVE");
        if (why.IsEmpty())
            why = "no slow drive mounted (tests/robustness/drives.sh)";
    }
    return root;
}

std::vector<CString> WriteSlowDriveFiles(const CString& root, int count, CString& playlist)
{
    const CString backing = WindowsPathOf(root + "/backing");
    const CString drive = WindowsPathOf(root + "/drive");
    const CString audio = VqfChunk("DATA", CString('\0', 8192));
    CString lines = "#control(repeat=\"all\")\r\n";
    std::vector<CString> paths;
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "\\song%05d.vqf", i);
        char title[32];
        std::snprintf(title, sizeof title, "Title %d", i);
        WriteWhole(backing + name, VqfHeaderBytes(VqfTagChunks(title, "Artist")) + audio);
        paths.push_back(drive + name);
        lines += drive + name + "\r\n";
    }
    WriteWhole(backing + "\\titles.vql", lines);
    playlist = drive + "\\titles.vql";
    return paths;
}

double OpenRead64CloseOneByOne(const std::vector<CString>& paths)
{
    const double start = NowMs();
    for (const CString& path : paths) {
        if (!OpenRead64Close(path)) {
            std::fprintf(stderr, "title_bench_win: cannot read %s\n", path.GetString());
            std::exit(1);
        }
    }
    return NowMs() - start;
}

double OpenRead64CloseOnThreads(const std::vector<CString>& paths, int threads)
{
    SharedLoop loop = {&paths, -1, 0};
    std::vector<HANDLE> handles;
    const double start = NowMs();
    for (int i = 0; i < threads; ++i) {
        HANDLE thread = ::CreateThread(nullptr, 0, LoopThread, &loop, 0, nullptr);
        if (thread == nullptr) {
            std::fprintf(stderr, "title_bench_win: cannot start a thread\n");
            std::exit(1);
        }
        handles.push_back(thread);
    }
    // Each thread on its own: WaitForMultipleObjects takes 64 handles at most.
    for (HANDLE thread : handles) {
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
    }
    const double elapsed = NowMs() - start;
    if (loop.failed != 0) {
        std::fprintf(stderr, "title_bench_win: cannot read %s\n", paths[loop.failed - 1].GetString());
        std::exit(1);
    }
    return elapsed;
}
