#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

// Milliseconds per run, keyed by benchmark name ("Load") and then by n.
using BenchTimes = std::map<std::string, std::map<long, double>>;

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
