#include "playlist/PlaylistLoader.h"
#include "playlist/PlaylistWriter.h"
#include "playlist/ShuffleOrder.h"

#include "BenchPlaylists.h"
#include "ResultsTable.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {


// An item of the list box: its text and the line index it carries.
struct Entry
{
    CString text;
    UINT lineIndex;
};
const char kRepeatAllDirective[] = "#control(repeat=\"all\")\n";

CBenchPlaylists& Playlists()
{
    static CBenchPlaylists playlists;
    return playlists;
}

std::vector<Entry> LoadEntries(const std::string& path)
{
    CStdioFile playlist(path.c_str(), CFile::modeRead | CFile::typeText);
    std::vector<Entry> entries;
    LoadPlaylistEntries(playlist, [&](const CString& text, UINT lineIndex) {
        entries.push_back({text, lineIndex});
        return true;
    });
    return entries;
}

void Shuffle(std::vector<Entry>& entries, CRandom& random)
{
    const std::vector<std::size_t> order = ShuffledOrder(entries.size(), random);
    std::vector<Entry> shuffled;
    shuffled.reserve(entries.size());
    for (std::size_t from : order)
        shuffled.push_back(std::move(entries[from]));
    entries.swap(shuffled);
}

// What the list box does: 8 × n times, the drawn entry moves to the end.
void ShuffleLiteral(std::vector<Entry>& entries, CRandom& random)
{
    const std::size_t n = entries.size();
    for (std::size_t pass = 0; pass < 8 * n; ++pass) {
        const auto drawn = entries.begin() + static_cast<std::size_t>(random.Next()) % n;
        Entry moved = std::move(*drawn);
        entries.erase(drawn);
        entries.push_back(std::move(moved));
    }
}

std::vector<UINT> LineIndices(const std::vector<Entry>& entries)
{
    std::vector<UINT> indices;
    indices.reserve(entries.size());
    for (const Entry& entry : entries)
        indices.push_back(entry.lineIndex);
    return indices;
}

void Write(const std::string& sourcePath, const std::string& destinationPath, const std::vector<UINT>& indices)
{
    CStdioFile source(sourcePath.c_str(), CFile::modeRead | CFile::typeText);
    CStdioFile destination(destinationPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
    WriteShuffledPlaylist(source, destination, indices);
}

// Rewinds and skips for every entry: about n²/2 line reads.
void WriteLiteral(const std::string& sourcePath, const std::string& destinationPath, const std::vector<UINT>& indices)
{
    CStdioFile source(sourcePath.c_str(), CFile::modeRead | CFile::typeText);
    CStdioFile destination(destinationPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
    destination.WriteString(kRepeatAllDirective);
    CString line;
    for (UINT index : indices) {
        SkipLines(source, index);
        source.ReadString(line);
        destination.WriteString(line);
        destination.WriteString("\n");
    }
    source.Close();
    destination.Close();
}

std::vector<Entry> ShuffledEntries(std::size_t n)
{
    std::vector<Entry> entries = LoadEntries(Playlists().Playlist(n));
    CRandom random(1);
    Shuffle(entries, random);
    return entries;
}

void Load(benchmark::State& state)
{
    const std::string& path = Playlists().Playlist(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadEntries(path));
}

template <void (*shuffle)(std::vector<Entry>&, CRandom&)>
void ShuffleWith(benchmark::State& state)
{
    std::vector<Entry> entries = LoadEntries(Playlists().Playlist(state.range(0)));
    CRandom random(1);
    for (auto _ : state) {
        shuffle(entries, random);
        benchmark::DoNotOptimize(entries.data());
    }
}

template <void (*write)(const std::string&, const std::string&, const std::vector<UINT>&)>
void WriteWith(benchmark::State& state)
{
    const std::size_t n = state.range(0);
    const std::vector<UINT> indices = LineIndices(ShuffledEntries(n));
    const std::string output = Playlists().OutputPath("jumbla_work.vql");
    for (auto _ : state)
        write(Playlists().Playlist(n), output, indices);
}

void LoadShuffleWrite(benchmark::State& state)
{
    const std::string& path = Playlists().Playlist(state.range(0));
    const std::string output = Playlists().OutputPath("jumbla_work.vql");
    CRandom random(1);
    for (auto _ : state) {
        std::vector<Entry> entries = LoadEntries(path);
        Shuffle(entries, random);
        Write(path, output, LineIndices(entries));
    }
}

double ChildCpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The tool a user would reach for instead: shuf reading the playlist and
// writing the shuffled lines to a file, process start included.
void Shuf(benchmark::State& state)
{
    std::string path = Playlists().Playlist(state.range(0));
    std::string output = Playlists().OutputPath("shuffled.vql");
    std::string program = "shuf";
    std::string outputFlag = "-o";
    char* argv[] = {program.data(), outputFlag.data(), output.data(), path.data(), nullptr};
    const double cpuBefore = ChildCpuMilliseconds();
    for (auto _ : state) {
        pid_t pid;
        int status = 0;
        if (posix_spawnp(&pid, "shuf", nullptr, nullptr, argv, environ) != 0 || waitpid(pid, &status, 0) != pid ||
            !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("shuf failed");
            break;
        }
    }
    state.counters[kChildCpuCounter] =
        benchmark::Counter(ChildCpuMilliseconds() - cpuBefore, benchmark::Counter::kAvgIterations);
}

// The physical floor: the same bytes read and written once.
void Copy(benchmark::State& state)
{
    const std::string& path = Playlists().Playlist(state.range(0));
    const std::string output = Playlists().OutputPath("copy.vql");
    for (auto _ : state)
        std::filesystem::copy_file(path, output, std::filesystem::copy_options::overwrite_existing);
}

void AllSizes(benchmark::internal::Benchmark* bench)
{
    bench->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
    bench->Repetitions(5)->ReportAggregatesOnly(true);
}

// The literal algorithms grow as n²: at 100,000 entries one run would take minutes.
void SmallSizes(benchmark::internal::Benchmark* bench)
{
    bench->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.2);
}

}  // namespace

BENCHMARK(Load)->Apply(AllSizes);
BENCHMARK(ShuffleWith<Shuffle>)->Name("Shuffle")->Apply(AllSizes);
BENCHMARK(ShuffleWith<ShuffleLiteral>)->Name("ShuffleLiteral")->Apply(SmallSizes);
BENCHMARK(WriteWith<Write>)->Name("Write")->Apply(AllSizes);
BENCHMARK(WriteWith<WriteLiteral>)->Name("WriteLiteral")->Apply(SmallSizes);
BENCHMARK(LoadShuffleWrite)->Apply(AllSizes);
BENCHMARK(Shuf)->Apply(AllSizes);
BENCHMARK(Copy)->Apply(AllSizes);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: playlist_bench [benchmark options] RESULTS.md\n");
        return 2;
    }
    CResultsCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    WriteResultsTable(argv[1], collector.Times());
    benchmark::Shutdown();
    return 0;
}
