#pragma once

#include "framework/String.h"

#include <vector>

// What the player would make of a VQL playlist: the entry lines in file order
// and whether the first line is the directive #control(repeat="all").
// Lines end at LF (a CR before it is dropped); empty lines and lines that
// start with '#' are not entries.
struct StandinPlaylist
{
    bool repeatAll = false;
    std::vector<CString> entries;
};

StandinPlaylist ParseStandinPlaylist(const CString& bytes);
