// Title mode under Wine: the real main window loading a playlist of 10,000
// VQF files, each header read for its title and author, beside the floor of
// such a load, a loop that only opens each file, reads 64 bytes and closes
// it. Prints a Markdown section.

#include "app/ShuffleApp.h"
#include "framework/File.h"
#include "framework/UserPrompts.h"
#include "playlist/EntryLoad.h"
#include "playlist/VqfHeader.h"
#include "playlist/WorkFile.h"
#include "res/resource.h"
#include "bench/Pinger.h"
#include "VqfWriter.h"
#include "ui/ShuffleDlg.h"

#include "../BenchFigures.h"
#include "BenchClock.h"
#include "BenchWindow.h"
#include "SlowDriveLoops.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <io.h>

extern CShuffleApp theApp;

namespace {

const int kFiles = 10000;
const int kTitleMode = 0;
const int kFileNameMode = 1;
const int kRuns = 9;
// Audio data after the header, so that a file is larger than the header
// read (real VQF files are megabytes); the bytes are never read.
const int kAudioBytes = 8192;

// Any message box would mean an unreadable file: the figures would not be
// those of a load, so the benchmark stops.
class CNoPrompts : public CUserPrompts
{
public:
    int MessageBox(HWND, const wchar_t* text, const wchar_t*, UINT) override
    {
        std::fprintf(stderr, "title_bench_win: unexpected message: %ls\n", text);
        std::exit(1);
    }
};

// The files and the playlist naming them, in a scratch folder under %TEMP%.
class CTitleFiles
{
public:
    CTitleFiles()
    {
        char temp[MAX_PATH];
        ::GetTempPathA(sizeof temp, temp);
        m_folder = CString(temp) + "jumbla_title_bench";
        ::CreateDirectoryA(m_folder, nullptr);
        CString playlist = "#control(repeat=\"all\")\r\n";
        const CString audio = VqfChunk("DATA", CString('\0', kAudioBytes));
        for (int i = 0; i < kFiles; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "\\song%05d.vqf", i);
            char title[32];
            std::snprintf(title, sizeof title, "Title %d", i);
            const CString path = m_folder + name;
            CFile file(path, CFile::modeCreate | CFile::modeWrite);
            const CString bytes = VqfHeaderBytes(VqfTagChunks(title, "Artist")) + audio;
            file.Write(bytes.GetString(), bytes.GetLength());
            file.Close();
            m_paths.push_back(path);
            playlist += path + "\r\n";
        }
        m_playlist = m_folder + "\\titles.vql";
        CFile file(m_playlist, CFile::modeCreate | CFile::modeWrite);
        file.Write(playlist.GetString(), playlist.GetLength());
    }

    ~CTitleFiles()
    {
        for (const CString& path : m_paths)
            ::DeleteFileA(path);
        ::DeleteFileA(m_playlist);
        ::RemoveDirectoryA(m_folder);
    }

    CTitleFiles(const CTitleFiles&) = delete;
    CTitleFiles& operator=(const CTitleFiles&) = delete;

    const std::vector<CString>& Paths() const { return m_paths; }
    const CString& Playlist() const { return m_playlist; }

private:
    CString m_folder;
    CString m_playlist;
    std::vector<CString> m_paths;
};

// The floor: the least any reader of these files does, with the same open
// (exclusive, as CFile opens) and close.
void OpenRead64Close(const std::vector<CString>& paths)
{
    char bytes[64];
    for (const CString& path : paths) {
        HANDLE file = ::CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD got = 0;
        if (file == INVALID_HANDLE_VALUE || !::ReadFile(file, bytes, sizeof bytes, &got, nullptr) || got != sizeof bytes) {
            std::fprintf(stderr, "title_bench_win: cannot read %s\n", path.GetString());
            std::exit(1);
        }
        ::CloseHandle(file);
    }
}

void ReadEveryHeader(const std::vector<CString>& paths)
{
    CString title;
    CString author;
    for (const CString& path : paths) {
        if (!ReadVqfHeaderTags(path, title, author)) {
            std::fprintf(stderr, "title_bench_win: no tags in %s\n", path.GetString());
            std::exit(1);
        }
    }
}

// A title-mode load of the playlist without the window, its headers read
// on `readers` threads; milliseconds until every entry is taken. Entries
// are taken as the window takes them: all that are finished, every 25 ms.
double LoadOnReaders(const CString& playlist, int readers)
{
    CEntryLoad::Options options;
    options.headerReaders = readers;
    options.slowReadMs = 0;  // all of them from the start, however fast the reads
    const double start = NowMs();
    const std::shared_ptr<CEntryLoad> load = CEntryLoad::Start(playlist, DisplayMode::title, AfxGetCurrentFolder(), options);
    std::size_t taken = 0;
    while (load->GetState() != CEntryLoad::openFailed) {
        if (load->GetState() == CEntryLoad::opened) {
            while (taken < load->GetCount() && load->IsFinished(taken))
                ++taken;
            if (taken == load->GetCount())
                break;
        }
        ::Sleep(CCommandQueue::kPollMs);
    }
    const double elapsed = NowMs() - start;
    if (load->GetState() != CEntryLoad::opened) {
        std::fprintf(stderr, "title_bench_win: %s could not be loaded\n", playlist.GetString());
        std::exit(1);
    }
    return elapsed;
}

// Keeps when the player was started, instead of starting it.
class CTimedLauncher : public CPlayerLauncher
{
public:
    void LaunchPlayer(const CString&) override { startedMs = NowMs(); }
    double startedMs = -1;
};

// Shuffle-and-play given the moment a title-mode load of the slow drive's
// files begins: the milliseconds until the player is started, and until the
// last title has come. The playlist lies in %TEMP% (its work file is written
// beside it); its entries name the slow drive's files.
void ShuffleAndPlayOnSlowDrive(const CString& slowPlaylist, double& startedMs, double& titlesMs)
{
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    const CString playlist = CString(temp) + "jumbla_slow_play.vql";
    ::CopyFileA(slowPlaylist, playlist, FALSE);
    CTimedLauncher launcher;
    CShuffleDlg dlg(launcher);
    dlg.m_nHandling = kTitleMode;
    if (!dlg.Create(IDD_MAIN)) {
        std::fprintf(stderr, "title_bench_win: the second window could not be created\n");
        std::exit(1);
    }
    dlg.m_editPath.SetWindowText("");
    WaitForList(dlg);
    const double start = NowMs();
    dlg.m_editPath.SetWindowText(playlist);
    dlg.SendMessage(WM_SYSCOMMAND, IDM_SHUFFLE_PLAY, 0);
    WaitForList(dlg);
    titlesMs = NowMs() - start;
    startedMs = launcher.startedMs < 0 ? -1 : launcher.startedMs - start;
    dlg.m_editPath.SetWindowText("");
    dlg.DestroyWindow();
    ::DeleteFileA(WorkFilePath(playlist));
    ::DeleteFileA(playlist);
}

// The title-mode load on a drive whose every read waits 10 ms, beside the
// open-read loop over the same files one by one and on 8 threads, and the
// same load on 1 to 32 header readers. Each figure is one run: the drive's
// waits, not the machine, make the time.
void SlowDriveSection(CShuffleDlg& dlg, const CString& warmPlaylist)
{
    std::printf("\n## Title mode on a slow drive\n\n");
    CString why;
    const CString root = SlowDriveRoot(why);
    if (root.IsEmpty()) {
        std::printf("Not measured: %s.\n", why.GetString());
        return;
    }
    const int kSlowFiles = 1000;
    CString playlist;
    const std::vector<CString> paths = WriteSlowDriveFiles(root, kSlowFiles, playlist);
    const double oneByOne = OpenRead64CloseOneByOne(paths);
    const double onEight = OpenRead64CloseOnThreads(paths, 8);

    double firstEntry = -1;
    double wholeList = 0;
    DWORD slowestAnswer = 0;
    {
        // Emptied first: the first entry counted is the slow drive's.
        dlg.m_editPath.SetWindowText("");
        dlg.m_listEntries.ResetContent();
        CPinger pinger(dlg.m_hWnd);
        const double start = NowMs();
        dlg.m_editPath.SetWindowText(playlist);
        while (dlg.m_commands.IsBusy()) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
            if (firstEntry < 0 && dlg.m_listEntries.GetCount() > 0)
                firstEntry = NowMs() - start;
        }
        ::UpdateWindow(dlg.m_listEntries.m_hWnd);
        wholeList = NowMs() - start;
        slowestAnswer = pinger.SlowestMs();
    }
    if (dlg.m_listEntries.GetCount() != kSlowFiles) {
        std::fprintf(stderr, "title_bench_win: %d entries loaded from the slow drive\n", dlg.m_listEntries.GetCount());
        std::exit(1);
    }
    double playStartedMs = 0;
    double playTitlesMs = 0;
    ShuffleAndPlayOnSlowDrive(playlist, playStartedMs, playTitlesMs);
    const int readerCounts[] = {1, 2, 4, 8, 16, 32};
    std::vector<double> byReaders, warmByReaders;
    for (int readers : readerCounts) {
        byReaders.push_back(LoadOnReaders(playlist, readers));
        std::vector<double> warm;
        for (int run = 0; run < 3; ++run)
            warm.push_back(LoadOnReaders(warmPlaylist, readers));
        warmByReaders.push_back(*std::min_element(warm.begin(), warm.end()));
        std::fprintf(stderr, "title_bench_win: %d header readers: slow drive %.0f ms, warm cache %.0f ms\n", readers,
                     byReaders.back(), warmByReaders.back());
    }

    std::printf("%d VQF files on a drive whose every read waits 10 ms (tests/support/slowfs, a FUSE passthrough that "
                "drops a file's cached pages at each open, so each file costs one wait). The window loads them "
                "in title mode while another thread sends it WM_NULL every few milliseconds and keeps the slowest "
                "answer. Milliseconds, one run each, taken in this order.\n\n",
                kSlowFiles);
    std::printf("| what | ms | / one by one |\n|---|---:|---:|\n");
    std::printf("| open, read 64 bytes, close, one by one | %s | 1.00× |\n", Milliseconds(oneByOne).c_str());
    std::printf("| the same loop on 8 threads | %s | %s |\n", Milliseconds(onEight).c_str(),
                Ratio(onEight, oneByOne).c_str());
    std::printf("| Jumbla: the first entry shown | %s | |\n", Milliseconds(firstEntry).c_str());
    std::printf("| Jumbla: the whole list shown | %s | %s |\n", Milliseconds(wholeList).c_str(),
                Ratio(wholeList, oneByOne).c_str());
    std::printf("| Jumbla: the window's slowest answer meanwhile | %lu | |\n\n", slowestAnswer);
    std::printf("The targets: the first entry and every answer within 100 ms, the whole list within 0.25× of "
                "one by one: %s.\n\n",
                firstEntry <= 100 && slowestAnswer <= 100 && wholeList <= 0.25 * oneByOne ? "met" : "NOT met");
    std::printf("Shuffle-and-play given the moment the same load begins: the player is started after %s ms, the "
                "last title comes after %s ms. The target, the player started within 100 ms, whatever the "
                "titles: %s.\n\n",
                Milliseconds(playStartedMs).c_str(), Milliseconds(playTitlesMs).c_str(),
                playStartedMs >= 0 && playStartedMs <= 100 ? "met" : "NOT met");
    std::printf("The same load without the window (CEntryLoad), by the number of threads reading headers, all "
                "started at once (the window's load starts the others only once headers come slower than %.0f ms "
                "each), on the slow drive (one run) and on the warm cache of the section above (%d files, the "
                "fastest of three runs):\n\n| header readers |",
                CEntryLoad::kSlowReadMs,
                kFiles);
    for (int readers : readerCounts)
        std::printf(" %d |", readers);
    std::printf("\n|---|");
    for (std::size_t i = 0; i < byReaders.size(); ++i)
        std::printf("---:|");
    std::printf("\n| slow drive, ms |");
    for (double ms : byReaders)
        std::printf(" %s |", Milliseconds(ms).c_str());
    std::printf("\n| warm cache, ms |");
    for (double ms : warmByReaders)
        std::printf(" %s |", Milliseconds(ms).c_str());
    std::printf("\n");
}

// The machine is shared: the fastest run is the one least disturbed.
double Fastest(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

}  // namespace

int main()
{
    // The section goes into a UTF-8 Markdown file: LF line ends, no CR added.
    _setmode(_fileno(stdout), _O_BINARY);
    CNoPrompts prompts;
    AfxSetUserPrompts(&prompts);
    CTitleFiles files;

    CShuffleDlg dlg(theApp);
    theApp.m_pMainWnd = &dlg;
    dlg.m_nHandling = kTitleMode;
    if (!dlg.Create(IDD_MAIN)) {
        std::fprintf(stderr, "title_bench_win: the main window could not be created\n");
        return 1;
    }
    ::ShowWindow(dlg.m_hWnd, SW_SHOWNOACTIVATE);
    // The first load, untimed, warms the file system's caches for all three.
    dlg.m_editPath.SetWindowText(files.Playlist());
    WaitForList(dlg);
    if (dlg.m_listEntries.GetCount() != kFiles) {
        std::fprintf(stderr, "title_bench_win: %d entries loaded\n", dlg.m_listEntries.GetCount());
        return 1;
    }

    // Taken in turns, so that a busy moment of the machine falls on all four.
    std::vector<double> loads, fileNameLoads, headers, floors;
    const auto time = [](std::vector<double>& times, const std::function<void()>& action) {
        const double start = NowMs();
        action();
        times.push_back(NowMs() - start);
    };
    for (int run = 0; run < kRuns; ++run) {
        time(loads, [&] {
            dlg.m_editPath.ReloadList();
            WaitForList(dlg);
            ::UpdateWindow(dlg.m_listEntries.m_hWnd);
        });
        time(fileNameLoads, [&] {
            dlg.m_commands.SetMode(DisplayMode::fileName);
            dlg.m_editPath.ReloadList();
            WaitForList(dlg);
            ::UpdateWindow(dlg.m_listEntries.m_hWnd);
            dlg.m_commands.SetMode(DisplayMode::title);
        });
        time(headers, [&] { ReadEveryHeader(files.Paths()); });
        time(floors, [&] { OpenRead64Close(files.Paths()); });
        std::fprintf(stderr, "title_bench_win: run %d: load %.0f ms, file-name load %.0f ms, headers %.0f ms, floor %.0f ms\n",
                     run + 1, loads.back(), fileNameLoads.back(), headers.back(), floors.back());
    }

    const double load = Fastest(loads);
    const double fileNameLoad = Fastest(fileNameLoads);
    const double header = Fastest(headers);
    const double floor = Fastest(floors);
    std::printf("## Title mode under Wine\n\n"
                "The real main window in title mode loading a playlist of %d VQF files (each a well-formed header "
                "and %d bytes standing in for the audio), beside the floor of such a load: a loop that only opens "
                "each file (exclusively, as the program does), reads 64 bytes and closes it. Beside them the two "
                "parts of the load: the header reads alone (ReadVqfHeaderTags on every file) and the list's own "
                "work (a file-name-mode load of the same playlist, which reads no header). Milliseconds measured "
                "with QueryPerformanceCounter; the four are taken in turns, %d times, after one untimed load, and "
                "each figure is its fastest run (the machine is shared; the fastest run is the least disturbed). "
                "Loads end with the list repainted; the load reads the headers on threads of its own (up to 16) "
                "while the window adds the finished entries.\n\n",
                kFiles, kAudioBytes, kRuns);
    std::printf("| VQF files | title-mode load | open, read 64 bytes, close | load / loop | header reads alone | "
                "headers / loop | file-name-mode load (the list's work) |\n"
                "|---:|---:|---:|---:|---:|---:|---:|\n");
    std::printf("| %d | %s | %s | %s | %s | %s | %s |\n", kFiles, Milliseconds(load).c_str(),
                Milliseconds(floor).c_str(), Ratio(load, floor).c_str(), Milliseconds(header).c_str(),
                Ratio(header, floor).c_str(), Milliseconds(fileNameLoad).c_str());
    std::printf("\nThe target is a load within 1.1× of the loop: %s.\n", load <= 1.1 * floor ? "met" : "NOT met");

    SlowDriveSection(dlg, files.Playlist());

    dlg.m_editPath.SetWindowText("");
    dlg.DestroyWindow();
    theApp.m_pMainWnd = nullptr;
    AfxSetUserPrompts(nullptr);
    return 0;
}
