#include "ResultsTable.h"

#include "BenchFigures.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <thread>

const char kChildCpuCounter[] = "child_cpu_ms";

namespace {

const long kSizes[] = {1000, 10000, 100000};

bool Has(const BenchTimes& times, const std::string& name, long n)
{
    const auto bench = times.find(name);
    return bench != times.end() && bench->second.count(n) != 0;
}

// A row is written only when all its own measurements ran (a filtered run
// leaves some out).
bool HasAll(const BenchTimes& times, std::initializer_list<const char*> names, long n)
{
    for (const char* name : names) {
        if (!Has(times, name, n))
            return false;
    }
    return true;
}

// Other work on the machine slows every figure; the ratios are fairer than the times.
std::string LoadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string oneMinute;
    in >> oneMinute;
    return oneMinute.empty() ? "unknown" : oneMinute;
}

// The literal algorithms are far too slow to run at the largest size; their
// time there is scaled from the next smaller size by the work they do.
struct Figure
{
    double ms;
    bool estimated;
};

Figure Literal(const BenchTimes& times, const std::string& name, long n, double (*work)(long))
{
    if (Has(times, name, n))
        return {times.at(name).at(n).wall, false};
    long measured = 0;
    for (long size : kSizes) {
        if (size < n && Has(times, name, size))
            measured = size;
    }
    if (measured == 0)
        return {0, true};
    return {times.at(name).at(measured).wall * work(n) / work(measured), true};
}

std::string Show(const Figure& figure)
{
    if (figure.ms <= 0)
        return "—";
    return (figure.estimated ? "≈" : "") + Milliseconds(figure.ms);
}

std::string ShowRatio(const Figure& figure, double ours)
{
    if (figure.ms <= 0)
        return "—";
    return (figure.estimated ? "≈" : "") + Ratio(figure.ms, ours);
}

}  // namespace

void CResultsCollector::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.error_occurred || !(single || median))
            continue;
        const auto child = run.counters.find(kChildCpuCounter);
        const double cpu = child != run.counters.end() ? child->second.value : run.GetAdjustedCPUTime();
        m_times[run.run_name.function_name][std::stol(run.run_name.args)] = {run.GetAdjustedRealTime(), cpu};
    }
}

void WriteResultsTable(const std::string& path, const BenchTimes& times)
{
    std::ostringstream out;
    const std::time_t now = std::time(nullptr);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));

    out << "# Playlist engine benchmarks\n\n"
        << "Written by `make bench` (bench/run.sh) on " << date << ", " << std::thread::hardware_concurrency()
        << " hardware threads, load average " << LoadAverage() << " at the end, native optimised build without sanitizers. Times are wall-clock milliseconds per "
           "run (median of the repeated runs); every ratio compares figures from this same run.\n\n"
        << "Playlists as the player writes them: the repeat directive, a comment line every 100 entries, "
           "code page 932 paths of about 35 bytes, CR LF line ends. Load is file-name mode (no VQF headers).\n\n"
        << "| entries | load | shuffle | literal shuffle (8n moves) | speed-up | write | literal write "
           "(rewind and skip) | speed-up |\n"
        << "|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (long n : kSizes) {
        if (!HasAll(times, {"Load", "Shuffle", "Write"}, n))
            continue;
        const double shuffle = times.at("Shuffle").at(n).wall;
        const double write = times.at("Write").at(n).wall;
        const Figure literalShuffle = Literal(times, "ShuffleLiteral", n, LiteralShuffleWork);
        const Figure literalWrite = Literal(times, "WriteLiteral", n, LiteralWriteWork);
        out << "| " << n << " | " << Milliseconds(times.at("Load").at(n).wall) << " | " << Milliseconds(shuffle) << " | "
            << Show(literalShuffle) << " | " << ShowRatio(literalShuffle, shuffle) << " | " << Milliseconds(write)
            << " | " << Show(literalWrite) << " | " << ShowRatio(literalWrite, write) << " |\n";
    }

    out << "\n| entries | load + shuffle + write | `shuf -o` on the same file | ours / shuf | plain file copy | "
           "ours / copy | CPU: ours | CPU: shuf | CPU: ours / shuf |\n"
        << "|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (long n : kSizes) {
        if (!HasAll(times, {"LoadShuffleWrite", "Shuf", "Copy"}, n))
            continue;
        const BenchTime ours = times.at("LoadShuffleWrite").at(n);
        const BenchTime shuf = times.at("Shuf").at(n);
        const double copy = times.at("Copy").at(n).wall;
        out << "| " << n << " | " << Milliseconds(ours.wall) << " | " << Milliseconds(shuf.wall) << " | "
            << Ratio(ours.wall, shuf.wall) << " | " << Milliseconds(copy) << " | " << Ratio(ours.wall, copy) << " | "
            << Milliseconds(ours.cpu) << " | " << Milliseconds(shuf.cpu) << " | " << Ratio(ours.cpu, shuf.cpu)
            << " |\n";
    }

    out << "\n≈: too slow to run at this size; scaled from the largest measured size by the work the literal "
           "algorithm does (shuffle: 8n passes each moving the entries behind the drawn one, draws stopping at "
           "32767; writer: about n²/2 line reads).\n\n"
        << "The shuf figure includes starting the process, as a user running it would pay; its CPU time is the "
           "child process's user + system time. On a busy machine the wall-clock times stretch with the load; the "
           "CPU columns are steadier. The target is load + shuffle + write of 100,000 entries within 2× of shuf.\n";
    std::ofstream(path) << out.str();
}
