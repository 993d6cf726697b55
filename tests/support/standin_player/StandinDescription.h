#pragma once

#include "framework/String.h"
#include "tests/support/standin_player/StandinLog.h"

#include <vector>

// The lines the stand-in's window shows for one start: that it is a stand-in
// that plays nothing, what it was given, and the files it would play in order
// ("repeat all" when the playlist starts with the repeat directive).
std::vector<CString> DescribeStandinRecord(const StandinRecord& record);
