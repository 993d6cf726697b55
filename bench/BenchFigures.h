#pragma once

#include <cstdio>
#include <string>

// How every results table shows its figures, and the work the literal
// algorithms do, by which a time too long to measure is scaled from a
// smaller size.

inline std::string Milliseconds(double ms)
{
    char text[32];
    std::snprintf(text, sizeof text, ms < 10 ? "%.2f" : ms < 100 ? "%.1f" : "%.0f", ms);
    return text;
}

inline std::string Ratio(double a, double b)
{
    char text[32];
    std::snprintf(text, sizeof text, a / b < 10 ? "%.2f×" : "%.0f×", a / b);
    return text;
}

// Shuffle: 8n passes, each moving the entries behind the drawn one; draws
// stop at 32767, so on average n - (min(n, 32768) - 1) / 2 entries move.
inline double LiteralShuffleWork(long n)
{
    const double reach = n < 32768 ? n : 32768;
    return 8.0 * n * (n - (reach - 1) / 2);
}

// Writer: every entry rewinds and reads up to its line: about n²/2 lines.
inline double LiteralWriteWork(long n)
{
    return 0.5 * n * n;
}
