// Runs the benchmarks, then prints how our encoders compare with the
// reference implementation measured beside them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "mean")
                seconds[run.run_name.function_name + "/" + run.run_name.args] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // Pairs named BM_Lzw_Ours/<args> and BM_Lzw_Libtiff/<args>.
    for (const auto& [name, ours] : reporter.seconds) {
        const std::string prefix = "BM_Lzw_Ours/";
        if (name.rfind(prefix, 0) != 0) continue;
        const auto other = reporter.seconds.find("BM_Lzw_Libtiff/" + name.substr(prefix.size()));
        if (other == reporter.seconds.end()) continue;
        std::printf("LZW %s: ours %.2f ms, libtiff %.2f ms, ours/libtiff time ratio %.2f\n",
                    name.substr(prefix.size()).c_str(), ours * 1e3, other->second * 1e3, ours / other->second);
    }
    // The preview's per-frame steps against a memcpy of the same frame.
    if (const auto floor = reporter.seconds.find("BM_Capture_Memcpy/"); floor != reporter.seconds.end()) {
        for (const auto& [name, seconds] : reporter.seconds) {
            if (name.rfind("BM_Capture_", 0) != 0 || name == floor->first) continue;
            std::printf("capture %s: %.2f ms, memcpy %.2f ms, time ratio %.2f\n", name.c_str(), seconds * 1e3,
                        floor->second * 1e3, seconds / floor->second);
        }
    }
    return 0;
}
