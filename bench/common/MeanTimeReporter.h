#pragma once
// A console reporter that also keeps each benchmark's mean time per run in milliseconds, so a program can
// print the ratios it is about after the table.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class MeanTimeReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> msPerRun; // by function name

    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                msPerRun[run.run_name.function_name] =
                    run.GetAdjustedRealTime() * toMilliseconds(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }

private:
    static double toMilliseconds(benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kNanosecond:
            return 1e-6;
        case benchmark::kMicrosecond:
            return 1e-3;
        case benchmark::kMillisecond:
            return 1.0;
        case benchmark::kSecond:
            return 1e3;
        }
        return 1.0;
    }
};
