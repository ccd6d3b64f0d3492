#pragma once
// What the benchmarks share: a millisecond clock, medians, and the rows scripts/bench gathers into
// one table. A row is one line "ROW<TAB>figure<TAB>time<TAB>floor<TAB>floor time<TAB>ratio<TAB>target";
// everything else a benchmark prints is detail for whoever runs it by hand.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline double NowMs()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Work>
double TimeMs(Work work)
{
    const double start = NowMs();
    work();
    return NowMs() - start;
}

inline double Median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A figure against its floor, both measured in this run. `unit` is "ms", "us" or "MB".
inline void Row(const char* figure, double value, const char* floorName, double floor, const char* target = "",
                const char* unit = "ms")
{
    const double ratio = floor > 0 ? value / floor : 0;
    std::printf("ROW\t%s\t%.1f %s\t%s\t%.1f %s\t%.2fx\t%s\n", figure, value, unit, floorName, floor, unit, ratio,
                target);
    std::fflush(stdout);
}

// A figure with no floor of its own (a part of a breakdown, an absolute budget).
inline void Info(const char* figure, double value, const char* note, const char* unit = "ms")
{
    std::printf("ROW\t%s\t%.1f %s\t\t\t\t%s\n", figure, value, unit, note);
    std::fflush(stdout);
}

inline const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

} // namespace bench
