// Title mode under Wine: the real main window loading a playlist of 10,000
// VQF files, each header read for its title and author, beside the floor of
// such a load, a loop that only opens each file, reads 64 bytes and closes
// it. Prints a Markdown section.

#include "app/ShuffleApp.h"
#include "framework/File.h"
#include "framework/UserPrompts.h"
#include "playlist/VqfHeader.h"
#include "res/resource.h"
#include "tools/VqfWriter.h"
#include "ui/ShuffleDlg.h"

#include "../BenchFigures.h"
#include "BenchClock.h"
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
            ::UpdateWindow(dlg.m_listEntries.m_hWnd);
        });
        time(fileNameLoads, [&] {
            dlg.m_nHandling = kFileNameMode;
            dlg.m_editPath.ReloadList();
            ::UpdateWindow(dlg.m_listEntries.m_hWnd);
            dlg.m_nHandling = kTitleMode;
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
                "Loads end with the list repainted.\n\n",
                kFiles, kAudioBytes, kRuns);
    std::printf("| VQF files | title-mode load | open, read 64 bytes, close | load / loop | header reads alone | "
                "headers / loop | file-name-mode load (the list's work) |\n"
                "|---:|---:|---:|---:|---:|---:|---:|\n");
    std::printf("| %d | %s | %s | %s | %s | %s | %s |\n", kFiles, Milliseconds(load).c_str(),
                Milliseconds(floor).c_str(), Ratio(load, floor).c_str(), Milliseconds(header).c_str(),
                Ratio(header, floor).c_str(), Milliseconds(fileNameLoad).c_str());
    std::printf("\nThe target is a load within 1.1× of the loop: %s.\n", load <= 1.1 * floor ? "met" : "NOT met");

    // The slow drive (bench/run.sh mounts it): the floor one by one and on 8
    // threads, once each.
    CString why;
    const CString slowDrive = SlowDriveRoot(why);
    std::printf("\n## Title mode on a slow drive\n\n");
    if (slowDrive.IsEmpty()) {
        std::printf("Not measured: %s.\n", why.GetString());
    } else {
        CString slowPlaylist;
        const std::vector<CString> slowPaths = WriteSlowDriveFiles(slowDrive, 1000, slowPlaylist);
        const double oneByOne = OpenRead64CloseOneByOne(slowPaths);
        const double onThreads = OpenRead64CloseOnThreads(slowPaths, 8);
        std::printf("%d VQF files on a drive whose reads wait 10 ms: open, read 64 bytes, close, one by one: %s ms; "
                    "on 8 threads: %s ms.\n",
                    static_cast<int>(slowPaths.size()), Milliseconds(oneByOne).c_str(), Milliseconds(onThreads).c_str());
    }

    dlg.m_editPath.SetWindowText("");
    dlg.DestroyWindow();
    theApp.m_pMainWnd = nullptr;
    AfxSetUserPrompts(nullptr);
    return 0;
}
