#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

// Counter a benchmark sets when its work runs in a child process, whose CPU
// time the benchmark's own clock does not see.
extern const char kChildCpuCounter[];

// Milliseconds per run, wall-clock and CPU.
struct BenchTime
{
    double wall;
    double cpu;
};

// Keyed by benchmark name ("Load") and then by n.
using BenchTimes = std::map<std::string, std::map<long, BenchTime>>;

// Prints to the console as usual and keeps each benchmark's median (or its
// single run when it was not repeated).
class CResultsCollector : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    const BenchTimes& Times() const { return m_times; }

private:
    BenchTimes m_times;
};

// The Markdown table of RESULTS.md: every figure and ratio from this one run.
void WriteResultsTable(const std::string& path, const BenchTimes& times);
