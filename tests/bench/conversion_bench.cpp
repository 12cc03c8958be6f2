// Speed of our conversions against the C library's on the same inputs, and of the slowest Task 1
// click the bounds allow (practice_v6 on the window-system stand-in).
#include "numtext/numtext.h"
#include "tasks/tabulation/tabulation.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct InputSet {
    const char* name;
    std::vector<const char*> texts;
};

const InputSet input_sets[] = {
    {"short", {"0.1", "12.5", "-3.75", "2.5", "100", "0.001", "42", "-7.25", "11.25", "7.52"}},
    {"digits17",
     {"0.30000000000000004", "3.1415926535897931", "2.7182818284590451", "-1.2345678901234567",
      "9007199254740993", "0.99999999999999989", "1.4142135623730951", "6.0221407599999999e23",
      "-2.2204460492503131e-16", "12345678901234567"}},
    {"exponents",
     {"1e300", "4.9e-324", "1e-310", "1.7976931348623157e308", "2.2250738585072014e-308", "-1e-300",
      "6.62607015e-34", "1e100", "3e-200", "2.5e250"}},
};

std::vector<double> values_of(const InputSet& set) {
    std::vector<double> values;
    for (const char* text : set.texts)
        values.push_back(std::strtod(text, nullptr));
    return values;
}

void parse_real_bench(benchmark::State& state, const InputSet* set) {
    for (auto _ : state) {
        for (const char* text : set->texts) {
            double value = 0;
            parse_real(text, &value);
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetItemsProcessed(state.iterations() * set->texts.size());
}

void strtod_bench(benchmark::State& state, const InputSet* set) {
    for (auto _ : state) {
        for (const char* text : set->texts) {
            double value = std::strtod(text, nullptr);
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetItemsProcessed(state.iterations() * set->texts.size());
}

void format_real_bench(benchmark::State& state, const InputSet* set) {
    std::vector<double> values = values_of(*set);
    char text[formatted_size];
    for (auto _ : state) {
        for (double value : values) {
            format_real(value, text);
            benchmark::DoNotOptimize(text);
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(state.iterations() * values.size());
}

void snprintf_bench(benchmark::State& state, const InputSet* set) {
    std::vector<double> values = values_of(*set);
    char text[32];
    for (auto _ : state) {
        for (double value : values) {
            std::snprintf(text, sizeof text, "%.7g", value);
            benchmark::DoNotOptimize(text);
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(state.iterations() * values.size());
}

// One click of Execute with the deliverable's own start and step, an infinite end value and a term
// limit of 1e300: every row sums the full million terms, and the walk ends when the table is full.
void worst_task1_click_bench(benchmark::State& state) {
    size_t rows = 0;
    run_program([&] {
        HWND window = open_task_window(1);
        type(task1_xend_edit, "1e400");
        type(task1_eps_edit, "1e300");
        for (auto _ : state) {
            results_text[0] = 0;
            click_id(window, profile.tabulation.execute_id);
        }
        std::string table = text(task1_result_edit);
        for (size_t at = table.find(profile.tabulation.row_label); at != std::string::npos;
             at = table.find(profile.tabulation.row_label, at + 1))
            ++rows;
    });
    state.counters["rows"] = rows;
    state.counters["terms_per_click"] = rows * (max_series_terms + 1.0);
}

void register_benchmarks() {
    for (const InputSet& set : input_sets) {
        benchmark::RegisterBenchmark((std::string("parse_real/") + set.name).c_str(),
                                     parse_real_bench, &set);
        benchmark::RegisterBenchmark((std::string("strtod/") + set.name).c_str(), strtod_bench,
                                     &set);
        benchmark::RegisterBenchmark((std::string("format_real/") + set.name).c_str(),
                                     format_real_bench, &set);
        benchmark::RegisterBenchmark((std::string("snprintf_7g/") + set.name).c_str(),
                                     snprintf_bench, &set);
    }
    benchmark::RegisterBenchmark("task1_worst_click/practice_v6", worst_task1_click_bench)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv) {
    register_benchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
