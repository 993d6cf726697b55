// The Windows path on the real main window: its entry list filled, shuffled
// and written out at 1,000, 10,000 and 100,000 entries, beside the literal
// algorithms on the same control. Prints a Markdown table.
//
// The window is shown (on the virtual display under Wine) and every timed
// action ends with the list repainted, so the figures hold what a user waits
// for: the work and the redrawing.

#include "app/ShuffleApp.h"
#include "framework/Random.h"
#include "playlist/PlaylistLoader.h"
#include "playlist/PlaylistWriter.h"
#include "playlist/WorkFile.h"
#include "res/resource.h"
#include "ui/ShuffleDlg.h"

#include "../BenchFigures.h"
#include "BenchClock.h"
#include "BenchWindow.h"
#include "../BenchPlaylists.h"
#include "bench/Pinger.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <io.h>

extern CShuffleApp theApp;

namespace {

const long kSizes[] = {1000, 10000, 100000};
const int kFileNameMode = 1;
// A slow run expected to take longer than this is not started.
const double kSlowLimitMs = 30000;
// A whole user action well under this shows no freeze.
const double kNoFreezeMs = 100;

const std::size_t kRuns = 5;
const double kRepeatBudgetMs = 3000;

double LinearWork(long n)
{
    return static_cast<double>(n);
}

double SquareWork(long n)
{
    return static_cast<double>(n) * n;
}

// A measured time, or the time a literal run would take, scaled from the
// last size it ran at (estimated), or nothing when there is no such size.
struct Figure
{
    double ms = 0;
    bool estimated = false;
};

std::string Show(const Figure& figure)
{
    if (figure.ms <= 0)
        return "—";
    return (figure.estimated ? "≈" : "") + Milliseconds(figure.ms);
}

std::string ShowRatio(const Figure& figure, const Figure& ours)
{
    if (figure.ms <= 0 || ours.ms <= 0)
        return "—";
    return (figure.estimated || ours.estimated ? "≈" : "") + Ratio(figure.ms, ours.ms);
}

Figure Sum(std::initializer_list<Figure> figures)
{
    Figure sum;
    for (const Figure& figure : figures) {
        sum.ms += figure.ms;
        sum.estimated = sum.estimated || figure.estimated;
    }
    return sum;
}

struct Row
{
    long n;
    Figure load;            // ReloadList into an empty list: redraw suspended
    Figure plainFill;       // the same entries, one LB_ADDSTRING each, redraw on
    Figure reload;          // ReloadList over a full list
    Figure shuffle;         // the Shuffle button: one refill
    Figure literalShuffle;  // 8 × n moves on the control
    Figure write;           // the work file from the list's order
    Figure literalWrite;    // rewind and skip for every entry
};

// Progress on stderr: a run takes minutes.
void Note(long n, const char* what, const Figure& figure)
{
    std::fprintf(stderr, "playlist_bench_win: %ld entries, %s: %s ms\n", n, what, Show(figure).c_str());
}

class CListBench
{
public:
    explicit CListBench(CShuffleDlg& dlg) : m_dlg(dlg), m_list(dlg.m_listEntries) {}

    Row Measure(long n, const std::string& playlist, const Row* previous)
    {
        m_playlist = playlist.c_str();
        m_workFile = WorkFilePath(m_playlist);
        // Loads the playlist the way the user does: the path goes into the edit.
        m_dlg.m_editPath.SetWindowText(m_playlist);
        WaitForList(m_dlg);
        m_n = n;
        m_previous = previous;

        const auto empty = [&] { m_list.ResetContent(); };
        const auto nothing = [] {};
        Row row{};
        row.n = n;
        Time(row, &Row::load, "load", LinearWork, empty, [&] { Reload(); });
        Time(row, &Row::plainFill, "plain fill", LinearWork, empty, [&] { FillWithoutSuspending(); });
        // ReloadList empties a full list (the fills above leave it full)
        // before it fills it again.
        Time(row, &Row::reload, "reload over a full list", SquareWork, nothing, [&] { Reload(); });
        Time(row, &Row::shuffle, "shuffle", LinearWork, nothing, [&] { ClickShuffle(); });
        Time(row, &Row::literalShuffle, "literal shuffle", LiteralShuffleWork, nothing, [&] { ShuffleLiterally(); });
        Time(row, &Row::write, "write", LinearWork, nothing, [&] { WriteWorkFile(); });
        Time(row, &Row::literalWrite, "literal write", LiteralWriteWork, nothing, [&] { WriteLiterally(); });
        return row;
    }

private:
    // Times action (after an untimed setup, ending with the list repainted)
    // up to kRuns times within kRepeatBudgetMs and keeps the median. An
    // action whose time at the previous size, scaled by the work it does,
    // says it would take longer than kSlowLimitMs is not run, and a literal
    // algorithm still running at kSlowLimitMs stops there: the time scaled
    // to the whole work stands in for it.
    void Time(Row& row, Figure Row::*figure, const char* what, double (*work)(long),
              const std::function<void()>& setup, const std::function<void()>& action)
    {
        if (m_previous && (m_previous->*figure).ms > 0) {
            const Figure& last = m_previous->*figure;
            const double expected = last.ms * work(m_n) / work(m_previous->n);
            if (last.estimated || expected > kSlowLimitMs) {
                row.*figure = {expected, true};
                Note(m_n, what, row.*figure);
                return;
            }
        }
        std::vector<double> times;
        double spent = 0;
        while (times.size() < kRuns && (times.empty() || spent < kRepeatBudgetMs)) {
            setup();
            Repaint();
            const double start = NowMs();
            m_deadline = start + kSlowLimitMs;
            m_doneShare = 1;
            action();
            Repaint();
            times.push_back(NowMs() - start);
            spent += times.back();
            if (m_doneShare < 1) {
                row.*figure = {times.back() / m_doneShare, true};
                Note(m_n, what, row.*figure);
                return;
            }
        }
        std::sort(times.begin(), times.end());
        row.*figure = {times[times.size() / 2], false};
        Note(m_n, what, row.*figure);
    }

    void Repaint() { ::UpdateWindow(m_list.m_hWnd); }

    // For the literal algorithms: true (with the share of the work done
    // noted) once they have run out of time.
    bool OutOfTime(double done, double total)
    {
        if (NowMs() < m_deadline)
            return false;
        m_doneShare = done / total;
        return true;
    }

    void FillWithoutSuspending()
    {
        CStdioFile playlist(m_playlist, CFile::modeRead | CFile::typeText);
        LoadPlaylistEntries(playlist, [&](const CString& text, UINT lineIndex) {
            const int index = m_list.AddString(text);
            m_list.SetItemData(index, lineIndex);
            return true;
        });
    }

    void Reload()
    {
        m_dlg.m_editPath.ReloadList();
        WaitForList(m_dlg);
    }

    void ClickShuffle()
    {
        m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SHUFFLE, BN_CLICKED),
                          reinterpret_cast<LPARAM>(m_dlg.GetDlgItemHandle(IDC_SHUFFLE)));
    }

    // 8 × n times: the drawn item leaves its place and is appended, with its
    // line index, on the live control.
    void ShuffleLiterally()
    {
        const int count = m_list.GetCount();
        CRandom& random = AfxGetRandom();
        CString text;
        const long passes = 8L * count;
        for (long pass = 0; pass < passes; ++pass) {
            if (OutOfTime(pass, passes))
                return;
            const int drawn = random.Next() % count;
            m_list.GetText(drawn, text);
            const DWORD_PTR lineIndex = m_list.GetItemData(drawn);
            m_list.DeleteString(drawn);
            m_list.SetItemData(m_list.AddString(text), lineIndex);
        }
    }

    // As Play writes it: the list's order read from the control, then the
    // work file written in that order.
    void WriteWorkFile()
    {
        std::vector<UINT> order;
        {
            CListBox::CBulkAccess bulk(m_list);
            const int count = m_list.GetCount();
            for (int i = 0; i < count; ++i)
                order.push_back(static_cast<UINT>(m_list.GetItemData(i)));
        }
        CStdioFile source(m_playlist, CFile::modeRead | CFile::typeText);
        CStdioFile destination(m_workFile, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        WriteShuffledPlaylist(source, destination, order);
    }

    // For every entry: rewind, skip to its line, copy it.
    void WriteLiterally()
    {
        CStdioFile source(m_playlist, CFile::modeRead | CFile::typeText);
        CStdioFile destination(m_workFile, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        destination.WriteString("#control(repeat=\"all\")\n");
        CString line;
        const int count = m_list.GetCount();
        for (int i = 0; i < count; ++i) {
            // Every entry reads about n / 2 lines, whatever its place.
            if (OutOfTime(i, count))
                break;
            SkipLines(source, static_cast<UINT>(m_list.GetItemData(i)));
            source.ReadString(line);
            destination.WriteString(line);
            destination.WriteString("\n");
        }
        source.Close();
        destination.Close();
    }

    CShuffleDlg& m_dlg;
    CShuffleListBox& m_list;
    long m_n = 0;
    const Row* m_previous = nullptr;
    double m_deadline = 0;
    double m_doneShare = 1;
    CString m_playlist;
    CString m_workFile;
};

void PrintTable(const std::vector<Row>& rows)
{
    std::printf("## The Windows path: the real main window under Wine\n\n"
                "The program's own main window from its resources, shown on a virtual display (Xvfb), in file-name "
                "mode, on the same kind of playlists. Times are milliseconds measured with QueryPerformanceCounter, "
                "each timed action ending with the list repainted (UpdateWindow); the median of up to %d runs within "
                "%.0f s. Load is ReloadList into an empty list; reload over a full list is ReloadList replacing "
                "the entries it loaded before. Write is the work file written from the list's order.\n\n",
                static_cast<int>(kRuns), kRepeatBudgetMs / 1000);
    std::printf("| entries | load (redraw suspended) | plain LB_ADDSTRING fill | plain / ours | reload over a full "
                "list | shuffle (one refill) | literal shuffle (8n moves) | speed-up | write | literal write "
                "(rewind and skip) | speed-up | load + shuffle + write |\n"
                "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& row : rows) {
        std::printf("| %ld | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", row.n, Show(row.load).c_str(),
                    Show(row.plainFill).c_str(), ShowRatio(row.plainFill, row.load).c_str(), Show(row.reload).c_str(),
                    Show(row.shuffle).c_str(), Show(row.literalShuffle).c_str(),
                    ShowRatio(row.literalShuffle, row.shuffle).c_str(), Show(row.write).c_str(),
                    Show(row.literalWrite).c_str(), ShowRatio(row.literalWrite, row.write).c_str(),
                    Show(Sum({row.load, row.shuffle, row.write})).c_str());
    }
    std::printf("\n≈: not run, as it would take more than %.0f s; scaled from the size before by the work it "
                "does (n for the fills, the shuffle and the write, n² for emptying the list one item at a time, "
                "and as in the native table for the literal algorithms).\n",
                kSlowLimitMs / 1000);
    for (const Row& row : rows) {
        if (row.n != 10000)
            continue;
        const Figure actions[] = {row.load, row.reload, row.shuffle, row.write};
        const Figure slowest = *std::max_element(std::begin(actions), std::end(actions),
                                                 [](const Figure& a, const Figure& b) { return a.ms < b.ms; });
        std::printf("\nAt 10,000 entries the slowest single user action takes %s ms: %s the %.0f ms under which no "
                    "freeze shows.\n",
                    Show(slowest).c_str(), slowest.ms < kNoFreezeMs ? "within" : "NOT within", kNoFreezeMs);
    }
}

}  // namespace

int main()
{
    // The table goes into a UTF-8 Markdown file: LF line ends, no CR added.
    _setmode(_fileno(stdout), _O_BINARY);
    CBenchPlaylists playlists;
    CShuffleDlg dlg(theApp);
    theApp.m_pMainWnd = &dlg;
    dlg.m_nHandling = kFileNameMode;
    if (!dlg.Create(IDD_MAIN)) {
        std::fprintf(stderr, "playlist_bench_win: the main window could not be created\n");
        return 1;
    }
    ::ShowWindow(dlg.m_hWnd, SW_SHOWNOACTIVATE);

    CListBench bench(dlg);
    std::vector<Row> rows;
    for (long n : kSizes) {
        rows.push_back(bench.Measure(n, playlists.Playlist(n), rows.empty() ? nullptr : &rows.back()));
    }
    PrintTable(rows);

    // A click given while the largest playlist loads waits at most for one
    // batch: the batches follow by a timer, after input and painting.
    {
        dlg.m_editPath.SetWindowText("");
        dlg.m_listEntries.ResetContent();
        CPinger pinger(dlg.m_hWnd);
        dlg.m_editPath.SetWindowText(playlists.Playlist(kSizes[std::size(kSizes) - 1]).c_str());
        WaitForList(dlg);
        ::UpdateWindow(dlg.m_listEntries.m_hWnd);
        std::printf("\nWhile the %ld-entry playlist loads, the window's slowest answer (a WM_NULL sent every 5 ms, as a "
                    "click would be) takes %lu ms. The target, 100 ms, under which no wait shows: %s.\n",
                    kSizes[std::size(kSizes) - 1], pinger.SlowestMs(), pinger.SlowestMs() <= 100 ? "met" : "not met");
    }

    // An empty path: closing the window neither deletes files nor stores a setting.
    dlg.m_editPath.SetWindowText("");
    dlg.DestroyWindow();
    theApp.m_pMainWnd = nullptr;
    return 0;
}
