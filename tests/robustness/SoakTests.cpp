// Long use in one running program: the main window taken through cycles of
// the commands a user repeats, with its handles, windows and memory counted
// after a warm-up and at the end. make test runs the short soak (a minute at
// most): a leak of one handle or one window a cycle still passes the bounds
// below many times over. make soak runs the long one (JUMBLA_SOAK=long),
// whose figures docs/robustness.md keeps.

#include "framework/Random.h"
#include "tests/ui/MainWindowTest.h"
#include "VqfWriter.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct SoakSize
{
    int entries;
    int cycles;
    int warmUpCycles;
};
const SoakSize kShort = {100, 120, 20};
const SoakSize kLong = {1000, 1000, 50};
const int kPlayEvery = 10;

// What may grow between the warm-up and the end without counting as a leak.
const long kHandleSlack = 8;
const long kWindowSlack = 0;
const long kMemorySlackKb = 4096;

// The documented counts read 0 under Wine; there the system's handle table,
// the Linux status of the process and the window enumerations serve.
struct ResourceCounts
{
    long handles = 0;
    long windows = 0;
    long gdiObjects = 0;  // 0 where it cannot be told (Wine)
    long memoryKb = 0;    // private bytes, or VmData under Wine
    long residentKb = 0;  // working set, or VmRSS under Wine
};

// The layout of NtQuerySystemInformation(SystemHandleInformation): the
// pointer member makes it right for both widths.
struct SystemHandleEntry
{
    USHORT UniqueProcessId;
    USHORT CreatorBackTraceIndex;
    UCHAR ObjectTypeIndex;
    UCHAR HandleAttributes;
    USHORT HandleValue;
    PVOID Object;
    ULONG GrantedAccess;
};
struct SystemHandleInformation
{
    ULONG NumberOfHandles;
    SystemHandleEntry Handles[1];
};
using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
const ULONG kSystemHandleInformation = 16;
const LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

long HandlesInSystemTable()
{
    // Not in the import libraries: looked up in ntdll, which every process has.
    const auto query = reinterpret_cast<NtQuerySystemInformationFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return 0;
    std::vector<char> buffer(1 << 16);
    LONG status;
    ULONG needed = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed))
           == kStatusInfoLengthMismatch)
        buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed));
    if (status < 0)
        return 0;
    const auto* table = reinterpret_cast<const SystemHandleInformation*>(buffer.data());
    const USHORT self = static_cast<USHORT>(GetCurrentProcessId());
    long count = 0;
    for (ULONG i = 0; i < table->NumberOfHandles; ++i)
        count += table->Handles[i].UniqueProcessId == self;
    return count;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM counter)
{
    ++*reinterpret_cast<long*>(counter);
    EnumChildWindows(window, CountWindow, counter);
    return TRUE;
}

// A "Vm...:   1234 kB" line of the process's Linux status; 0 when absent.
long LinuxStatusKb(const CString& status, const char* field)
{
    const char* line = std::strstr(status.GetString(), field);
    return line ? std::atol(line + std::strlen(field)) : 0;
}

ResourceCounts CountResources()
{
    ResourceCounts counts;
    DWORD handles = 0;
    counts.handles = GetProcessHandleCount(GetCurrentProcess(), &handles) && handles > 0
                         ? static_cast<long>(handles)
                         : HandlesInSystemTable();
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&counts.windows));
    counts.gdiObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));

    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)
        && memory.PrivateUsage > 0) {
        counts.memoryKb = static_cast<long>(memory.PrivateUsage / 1024);
        counts.residentKb = static_cast<long>(memory.WorkingSetSize / 1024);
    } else {
        const CString status = ReadFileBytes("Z:\\proc\\self\\status");
        counts.memoryKb = LinuxStatusKb(status, "VmData:");
        counts.residentKb = LinuxStatusKb(status, "VmRSS:");
    }
    return counts;
}

}

using SoakTest = MainWindowTest;

// Each cycle: shuffle, switch to the other display mode and back, and load
// the playlist again by setting its path; every tenth also plays it against
// the stand-in player. Title mode reads a header of a small VQF file for
// each entry.
TEST_F(SoakTest, CyclesOfCommandsLeakNoHandlesWindowsOrMemory)
{
    const SoakSize size = EnvironmentVariable("JUMBLA_SOAK") == "long" ? kLong : kShort;
    const CString player = folder / "SVQPlyer.exe";
    ASSERT_TRUE(CopyFileA(WindowsPathOfUnixPath(JUMBLA_STANDIN_PLAYER), player, FALSE));
    theApp.m_strPlayerPath = player;
    SetEnvironmentVariableA("JUMBLA_STANDIN_NO_WINDOW", "1");

    CString lines;
    for (int i = 0; i < size.entries; ++i) {
        const CString song = folder / ("song" + std::to_string(i) + ".vqf").c_str();
        WriteFileBytes(song, VqfFileBytes("曲", "作者"));
        lines += song + "\r\n";
    }
    const CString playlist = folder / "long.vql";
    WriteFileBytes(playlist, lines);

    Open(1);
    SetPath(playlist);
    ASSERT_EQ(Entries().size(), static_cast<std::size_t>(size.entries));
    AfxGetRandom().Seed(11);

    ResourceCounts warm;
    DWORD playingMs = 0;
    const DWORD startMs = GetTickCount();
    for (int cycle = 1; cycle <= size.cycles; ++cycle) {
        Click(IDC_SHUFFLE);
        Click(IDC_MODE_TITLE);
        Click(IDC_MODE_FILENAME);
        SetPath(playlist);
        if (cycle % kPlayEvery == 0) {
            const DWORD playStartMs = GetTickCount();
            Click(IDC_PLAY);
            ASSERT_TRUE(WaitForChildProcesses("SVQPlyer.exe")) << "cycle " << cycle;
            playingMs += GetTickCount() - playStartMs;
        }
        if (cycle == size.warmUpCycles)
            warm = CountResources();
    }
    const ResourceCounts end = CountResources();
    const DWORD totalMs = GetTickCount() - startMs;

    ASSERT_TRUE(prompts.messages.empty()) << ::testing::PrintToString(prompts.messages[0].text);
    ASSERT_EQ(Entries().size(), static_cast<std::size_t>(size.entries));
    std::printf("soak: %d entries, %d cycles after %d of warm-up: handles %ld -> %ld, windows %ld -> %ld, GDI objects %ld -> %ld, "
                "memory %ld -> %ld kB, resident %ld -> %ld kB; %lu ms, of which playing %lu ms\n",
                size.entries, size.cycles - size.warmUpCycles, size.warmUpCycles, warm.handles, end.handles, warm.windows, end.windows,
                warm.gdiObjects, end.gdiObjects, warm.memoryKb, end.memoryKb, warm.residentKb, end.residentKb,
                static_cast<unsigned long>(totalMs), static_cast<unsigned long>(playingMs));
    EXPECT_GT(warm.handles, 0) << "the handle count cannot be read here";
    EXPECT_GT(warm.memoryKb, 0) << "the memory use cannot be read here";
    EXPECT_LE(end.handles - warm.handles, kHandleSlack);
    EXPECT_LE(end.windows - warm.windows, kWindowSlack);
    EXPECT_LE(end.gdiObjects - warm.gdiObjects, kHandleSlack);
    EXPECT_LE(end.memoryKb - warm.memoryKb, kMemorySlackKb);
}
