// Times the calculation from input text to the four fields at 10,000, 100,000 and
// 1,000,000 lines, and how much of it the engine's calculate call takes. Everything else
// (code page conversion, replacement, marshalling, splitting) is the host's overhead; the
// last two columns show how much of it the replacement of line breaks takes on its own
// and how much the engine takes to make its string of the argument.
//
// Run: build/bench/bench_calculation [repetitions]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_input.h"
#include "platform/automation/object.h"
#include "platform/scriptcontrol/script_control.h"
#include "script/calculation.h"
#include "script/script_host.h"
#include "text/batch_replace.h"

namespace {

using namespace quorvel;
using Clock = std::chrono::steady_clock;

// Lines ending in CR LF, as the input box gives them, with no line break after the last.
std::string MakeInput(int lines) { return bench::MakeLines(lines, "\r\n", false); }

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    script::ScriptHost host(scriptcontrol::StandardRegistry());
    if (!host.ExecuteStatement(script::CalcScript())) {
        std::fprintf(stderr, "the calculation script did not load\n");
        return 1;
    }
    const auto control =
        std::dynamic_pointer_cast<scriptcontrol::ScriptControl>(host.EngineObject());

    std::printf("calculation: input text -> four fields, median of %d runs\n", repetitions);
    std::printf("%10s %10s %10s %13s %11s %9s %11s %12s\n", "lines", "bytes", "total ms",
                "calculate ms", "outside ms", "outside", "replace ms", "argument ms");
    for (const int lines : {10000, 100000, 1000000}) {
        const std::string input = MakeInput(lines);
        std::vector<double> totals, engine, replace, argument;
        for (int r = 0; r < repetitions; ++r) {
            // The replacement alone, as the calculation makes it, for the breakdown.
            text::Text data = input;
            const auto replaceStart = Clock::now();
            text::ReplaceInPlace(data, "\r\n", ",", 1, std::nullopt, false);
            replace.push_back(Ms(Clock::now() - replaceStart));

            text::Text ownInput = input;  // the caller's own text, as the box or stdin gives it
            const auto start = Clock::now();
            const script::Calculation calculation = script::Calculate(std::move(ownInput), host);
            const auto total = Clock::now() - start;
            if (calculation.status != script::CalculationStatus::Computed ||
                calculation.fields[0] != std::to_string(lines)) {
                std::fprintf(stderr, "wrong result at %d lines\n", lines);
                return 1;
            }
            totals.push_back(Ms(total));
            engine.push_back(Ms(control->LastRunTime()));
            argument.push_back(Ms(control->LastArgumentTime()));
        }
        // The run with the median total, with its own engine time.
        std::vector<size_t> order(totals.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return totals[a] < totals[b]; });
        const size_t median = order[order.size() / 2];
        const double outside = totals[median] - engine[median];
        std::sort(replace.begin(), replace.end());
        std::printf("%10d %10zu %10.1f %13.1f %11.1f %8.1f%% %11.1f %12.1f\n", lines,
                    input.size(), totals[median], engine[median], outside,
                    100.0 * outside / totals[median], replace[replace.size() / 2],
                    argument[median]);
    }
    return 0;
}
