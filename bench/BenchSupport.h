#pragma once
// Small helpers shared by the benchmark programs: wall-clock timing, medians,
// running a reference command, and the one line format bench/run.sh turns
// into its table.
//
// A result line reads (tab separated):
//   ROW  work  ours  reference-name  reference  ratio  budget  verdict
// Times are printed in seconds with four decimals, or as given for stalls and
// memory; "-" marks a cell that has no value.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace quorvane::bench {

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

template <typename Work> double TimeSeconds(Work&& work) {
    const auto start = Clock::now();
    work();
    return SecondsSince(start);
}

inline double Median(std::vector<double> values) {
    if (values.empty())
        return -1.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// Runs argv[0] with the given arguments in `folder`, standard input from
// `inputPath` (none when empty) and standard output to /dev/null unless
// `output` is given, in which case the output is collected there. Returns the
// wall time from fork to exit, or a negative value when the command failed.
double RunCommand(const std::vector<std::string>& argv, const std::string& folder = {},
                  const std::string& inputPath = {}, std::string* output = nullptr);

// Peak resident set size of this process so far, in MiB.
double PeakRssMiB();

inline std::string Seconds(double seconds) {
    if (seconds < 0)
        return "failed";
    char text[32];
    std::snprintf(text, sizeof text, "%.4f s", seconds);
    return text;
}

inline std::string Ratio(double ours, double reference) {
    if (ours < 0 || reference <= 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2fx", ours / reference);
    return text;
}

inline void PrintRow(const std::string& work, const std::string& ours,
                     const std::string& referenceName, const std::string& reference,
                     const std::string& ratio, const std::string& budget,
                     const std::string& verdict) {
    std::printf("ROW\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", work.c_str(), ours.c_str(),
                referenceName.c_str(), reference.c_str(), ratio.c_str(), budget.c_str(),
                verdict.c_str());
    std::fflush(stdout);
}

// A row whose budget is a ratio to the reference: `target` is what we aim
// for, `limit` what must never be crossed.
inline void PrintRatioRow(const std::string& work, double ours, const std::string& referenceName,
                          double reference, double target, double limit) {
    char budget[64];
    std::snprintf(budget, sizeof budget, "<= %.1fx (never > %.1fx)", target, limit);
    std::string verdict = "-";
    if (ours >= 0 && reference > 0) {
        const double ratio = ours / reference;
        verdict = ratio <= target ? "met" : ratio <= limit ? "within limit" : "MISSED";
    }
    PrintRow(work, Seconds(ours), referenceName, Seconds(reference), Ratio(ours, reference), budget,
             verdict);
}

// A row whose budget is an absolute time.
inline void PrintTimeRow(const std::string& work, double ours, double limitSeconds) {
    char budget[32];
    std::snprintf(budget, sizeof budget, "< %.1f s", limitSeconds);
    PrintRow(work, Seconds(ours), "-", "-", "-", budget,
             ours >= 0 && ours < limitSeconds ? "met" : "MISSED");
}

// Reference and ours without a budget of their own (shown for comparison).
inline void PrintInfoRow(const std::string& work, double ours, const std::string& referenceName,
                         double reference) {
    PrintRow(work, Seconds(ours), referenceName, reference < 0 ? "-" : Seconds(reference),
             Ratio(ours, reference), "-", "-");
}

} // namespace quorvane::bench
