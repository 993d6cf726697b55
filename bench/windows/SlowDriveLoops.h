#pragma once

// The floor of a title-mode load on a slow drive: the slow drive of
// tests/robustness/drives.sh (bench/run.sh runs title_bench_win
// on it), files written into its backing folder and read through the
// drive, where the first read after each open waits the drive's delay
// (10 ms). The drive drops a file's cached pages at every open, so each loop
// pays one delay a file however often it runs over the same files.

#include "framework/String.h"

#include <vector>

// The slow drive's folder (JUMBLA_SLOW_DRIVE: backing/ and drive/ in it);
// empty, with the reason in `why`, when there is none.
CString SlowDriveRoot(CString& why);

// Writes `count` VQF files (a well-formed header, tagged "Title <i>" and
// "Artist", then 8 KB standing in for the audio) and a playlist naming them
// by their drive paths into <root>/backing, and returns the files' paths on
// the drive (Z:...\drive\song00000.vqf and on); `playlist` gets the
// playlist's path on the drive (...\drive\titles.vql). Exits the program
// when a file cannot be written. The next run of the wrapper empties
// backing/.
std::vector<CString> WriteSlowDriveFiles(const CString& root, int count, CString& playlist);

// Opens each file exclusively (as the program does), reads 64 bytes and
// closes it, one file after another; returns the milliseconds taken. Exits
// the program when a file cannot be read.
double OpenRead64CloseOneByOne(const std::vector<CString>& paths);

// The same loop on `threads` threads (CreateThread), each claiming the next
// file with InterlockedIncrement; returns the milliseconds from before the
// first thread starts to after the last one ended. Exits the program when a
// file cannot be read.
double OpenRead64CloseOnThreads(const std::vector<CString>& paths, int threads);
