// Speed of our conversions against the C library's on the same inputs.
#include "numtext/numtext.h"

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
