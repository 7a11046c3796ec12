// The benchmark program: checks that every compared routine produces our bytes, runs
// the benchmarks (Google Benchmark's table, and its JSON with --benchmark_out=FILE), and
// ends with the ratios of ours against each comparison and the goals they are held to.
#include "BenchData.h"
#include "Benchmarks.h"

#include "ShadeKernels.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// Collects the CPU time per iteration of every benchmark while the console table is
// printed: the median of the repetitions where there are several, else the one run. CPU
// time leaves out the time other processes had the core, on a quiet machine it is the
// wall-clock time. Our benchmarks never stop themselves with an error, so every run has
// its time.
class CollectingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    medians[name] = run.GetAdjustedCPUTime();
            } else {
                singles[name] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Microseconds per iteration, or 0 for a benchmark that did not run.
    double Time(const std::string& name) const {
        if (auto found = medians.find(name); found != medians.end())
            return found->second;
        if (auto found = singles.find(name); found != singles.end())
            return found->second;
        return 0;
    }

  private:
    std::map<std::string, double> medians;
    std::map<std::string, double> singles;
};

// One line of the summary: how many times faster ours is than the other, and whether
// the goal holds (a goal of 0: a figure for reference only).
void Faster(const CollectingReporter& times, const std::string& ours, const std::string& other,
            double goal) {
    const double mine = times.Time(ours);
    const double theirs = times.Time(other);
    if (mine <= 0 || theirs <= 0) {
        std::printf("  %-34s vs %-30s not measured\n", ours.c_str(), other.c_str());
        return;
    }
    const double ratio = theirs / mine;
    std::printf("  %-34s vs %-30s %6.2fx faster", ours.c_str(), other.c_str(), ratio);
    if (goal > 0)
        std::printf("    goal >= %.2fx: %s", goal, ratio >= goal ? "met" : "MISSED");
    std::printf("\n");
}

// The same for a floor: how many times the floor's time ours takes.
void WithinFloor(const CollectingReporter& times, const std::string& ours, const std::string& floor,
                 double goal) {
    const double mine = times.Time(ours);
    const double base = times.Time(floor);
    if (mine <= 0 || base <= 0) {
        std::printf("  %-34s vs %-30s not measured\n", ours.c_str(), floor.c_str());
        return;
    }
    const double ratio = mine / base;
    std::printf("  %-34s vs %-30s %6.2fx its time", ours.c_str(), floor.c_str(), ratio);
    if (goal > 0)
        std::printf(" goal <= %.2fx: %s", goal, ratio <= goal ? "met" : "MISSED");
    std::printf("\n");
}

void ShareOfWait(const CollectingReporter& times, const std::string& frame) {
    constexpr double WaitMicroseconds = 50000;
    const double mine = times.Time(frame);
    if (mine <= 0) {
        std::printf("  %-34s not measured\n", frame.c_str());
        return;
    }
    const double percent = 100 * mine / WaitMicroseconds;
    std::printf("  %-34s %8.1f us = %5.3f%% of the 50 ms wait (goal < 1%%: %s)\n", frame.c_str(),
                mine, percent, percent < 1 ? "met" : "MISSED");
}

// The name of the vector shading pass ShadeFrame uses (the program's conversions are of
// the same set), or "plain".
std::string ChosenKernels() {
    for (const VectorShadeKernel& kernel : VectorShadeKernels())
        if (kernel.shade == ShadePixelsKernel)
            return kernel.name;
    return "plain";
}

void PrintSummary(const CollectingReporter& times) {
    // The kernels PresentFrame and ShadeFrame use on this processor.
    const std::string fast = ChosenKernels();
    const bool avx2 = fast == "AVX2";
    const std::string copies = avx2 ? "ConvertTo32/AVX2" : "ConvertTo32/memcpy rows";
    std::printf("\nSummary: CPU time, medians where repeated; the program uses the %s kernels "
                "here.\nGoals hold for the kernels the program uses; the other lines are for "
                "reference.\n",
                fast.c_str());
    if (fast == "NEON") {
        // No goals are set for arm64 yet: the figures of a real arm64 machine decide them.
        Faster(times, "ShadeFrame/NEON", "ShadeFrame/plain", 0);
        for (const std::string bits : {"15", "16"}) {
            const std::string prefix = "ConvertTo" + bits + "/";
            Faster(times, prefix + fast, prefix + "plain", 0);
            Faster(times, prefix + fast, prefix + "SDL_ConvertPixels", 0);
            Faster(times, prefix + fast, prefix + "pixman", 0);
        }
        // At 24 bits the program uses the plain loop, which the compiler vectorises.
        Faster(times, "ConvertTo24/chosen", "ConvertTo24/plain", 0);
        Faster(times, "ConvertTo24/chosen", "ConvertTo24/SDL_ConvertPixels", 0);
        Faster(times, "ConvertTo24/chosen", "ConvertTo24/pixman", 0);
        WithinFloor(times, "ConvertTo24/chosen", "memcpy/256000", 0);
        WithinFloor(times, copies, "memcpy/256000", 0);
        for (const std::string& frame : FrameBenchmarkNames())
            ShareOfWait(times, frame);
        return;
    }
    Faster(times, "ShadeFrame/SSE2", "ShadeFrame/plain", 6);
    Faster(times, "ShadeFrame/AVX2", "ShadeFrame/plain", avx2 ? 7 : 0);
    Faster(times, "ShadeFrame/chosen", "ShadeFrame/plain", avx2 ? 7 : 6);
    for (const std::string bits : {"15", "16"}) {
        const std::string prefix = "ConvertTo" + bits + "/";
        Faster(times, prefix + fast, prefix + "plain", 0);
        Faster(times, prefix + fast, prefix + "SDL_ConvertPixels", 8);
        Faster(times, prefix + fast, prefix + "pixman", bits == "15" ? 5 : 1);
        if (avx2) {
            Faster(times, prefix + "SSE2", prefix + "SDL_ConvertPixels", 0);
            Faster(times, prefix + "SSE2", prefix + "pixman", 0);
        }
    }
    Faster(times, "ConvertTo24/" + fast, "ConvertTo24/plain", 0);
    Faster(times, "ConvertTo24/" + fast, "ConvertTo24/SDL_ConvertPixels", 0);
    Faster(times, "ConvertTo24/" + fast, "ConvertTo24/pixman", 0);
    WithinFloor(times, "ConvertTo24/" + fast, "memcpy/256000", 1.5);
    if (avx2)
        WithinFloor(times, "ConvertTo24/SSE2", "memcpy/256000", 0);
    WithinFloor(times, copies, "memcpy/256000", 1.2);
    if (avx2)
        WithinFloor(times, "ConvertTo32/memcpy rows", "memcpy/256000", 0);
    Faster(times, copies, "ConvertTo32/SDL_ConvertPixels", 0);
    Faster(times, copies, "ConvertTo32/pixman", 0);
    for (const std::string& frame : FrameBenchmarkNames())
        ShareOfWait(times, frame);
}

} // namespace

void RegisterMemcpy(const char* name, size_t bytes) {
    benchmark::RegisterBenchmark(name, [bytes](benchmark::State& state) {
        std::vector<uint8_t> from(bytes, 1);
        std::vector<uint8_t> to(bytes);
        for (auto _ : state) {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::ClobberMemory();
        }
    })->Unit(benchmark::kMicrosecond);
}

bool ExpectSameBytes(const char* name, const void* want, const void* got, size_t bytes) {
    return ExpectSameRows(name, want, got, bytes, bytes, 1);
}

bool ExpectSameRows(const char* name, const void* want, const void* got, size_t rowBytes,
                    size_t pitch, int rows) {
    const auto* a = static_cast<const uint8_t*>(want);
    const auto* b = static_cast<const uint8_t*>(got);
    for (int row = 0; row < rows; ++row)
        for (size_t i = 0; i < rowBytes; ++i) {
            const size_t at = row * pitch + i;
            if (a[at] != b[at]) {
                std::printf("%s left out: its byte %zu of row %d is 0x%02X, ours 0x%02X\n", name, i,
                            row, b[at], a[at]);
                return false;
            }
        }
    return true;
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    PrepareBenchData();
    RegisterShadeBenchmarks();
    RegisterConversionBenchmarks();
    RegisterFrameBenchmarks();
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
