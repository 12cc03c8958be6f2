// The slowest Task 1 click of one deliverable, as it is ("after") and as it was when every formula
// was called through a pointer ("before"). A click of Execute on the window-system stand-in with an
// infinite end value and a term limit of 1e300: every row sums the full million terms, and the walk
// ends when the table is full. The start and step are those that fit the most rows into the table
// (short texts of X and of the sums): the most rows among the starts from -9 to 1000 and steps
// from 0.1 to 1000 that were tried.
#include "numtext/numtext.h"
#include "platform/x87.h"
#include "tasks/tabulation/tabulation.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"
#include "tests/support/plain_series_sum.h"
#include "variants/profile.h"

#include PROFILE_SOURCE // the deliverable's profile and its Task 1 `series`

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct SlowestClick {
    const char* deliverable;
    const char* start;
    const char* step;
};

const SlowestClick slowest_clicks[] = {
    {"practice_v4", "3", "1"},    {"practice_v1", "-1", "0.1"}, {"practice_v4_early", "3", "1"},
    {"practice_v8", "-1", "0.1"}, {"practice_v5", "2", "1"},    {"practice_v14", "1000", "1"},
    {"practice_v6", "3", "1"},
};

// "--smoke" (CTest) sums 30 terms a row instead, to prove quickly that both clicks run and agree.
const char* term_limit = "1e300";

const SlowestClick& slowest_click() {
    for (const SlowestClick& click : slowest_clicks)
        if (is_deliverable(click.deliverable))
            return click;
    fprintf(stderr, "no slowest click of %s in %s\n", deliverable_name, __FILE__);
    std::abort();
}

double number(const char* text) {
    double value = 0;
    parse_real(text, &value);
    return value;
}

// Opens the Task 1 window and types the inputs of the slowest click; returns the window.
HWND prepare_slowest_click() {
    HWND window = open_task_window(1);
    type(task1_xstart_edit, slowest_click().start);
    type(task1_dx_edit, slowest_click().step);
    type(task1_xend_edit, "1e400");
    type(task1_eps_edit, term_limit);
    return window;
}

// The table of one click of Execute, in a fresh program.
std::string todays_table() {
    std::string table;
    run_program([&] {
        click_id(prepare_slowest_click(), profile.tabulation.execute_id);
        table = text(task1_result_edit);
    });
    return table;
}

// The inputs, for the report.
std::string slowest_click_label() {
    return std::string("from ") + slowest_click().start + " by " + slowest_click().step;
}

size_t rows_of(const std::string& table) {
    size_t rows = 0;
    for (size_t at = table.find(profile.tabulation.row_label); at != std::string::npos;
         at = table.find(profile.tabulation.row_label, at + 1))
        ++rows;
    return rows;
}

void after_bench(benchmark::State& state) {
    std::string table;
    run_program([&] {
        HWND window = prepare_slowest_click();
        for (auto _ : state) {
            results_text[0] = 0;
            click_id(window, profile.tabulation.execute_id);
        }
        table = text(task1_result_edit);
    });
    state.counters["rows"] = rows_of(table);
    state.SetLabel(slowest_click_label());
}

// The same rows as today's click, each summed by the plain loop. The rest of a click (reading
// four fields, formatting, one SetWindowTextA) takes microseconds and is done here as the walk does
// it, writing the rows into a string instead of results_text.
void before_bench(benchmark::State& state) {
    const std::string expected = todays_table();
    const size_t rows = rows_of(expected);
    std::string table;
    for (auto _ : state) {
        double x = number(slowest_click().start);
        double step = number(slowest_click().step);
        double limit = number(term_limit);
        table.clear();
        x87_reset();
        for (size_t row = 0; row < rows; ++row) {
            format_real(plain_series_sum(series, x, limit), scratch_text);
            format_real(x, number_text);
            table.append(profile.tabulation.row_label).append(number_text).append("\r\n");
            table.append(scratch_text).append("\r\n");
            x = (long double)x + step;
        }
        benchmark::DoNotOptimize(table.data());
    }
    if (table != expected)
        state.SkipWithError("the plain loop gives another table than today's click");
    state.counters["rows"] = rows;
    state.SetLabel(slowest_click_label());
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--smoke") == 0)
            term_limit = "30", argv[i] = argv[--argc];
    std::string name = std::string("task1_worst_click/") + deliverable_name;
    benchmark::RegisterBenchmark((name + "/after").c_str(), after_bench)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/before").c_str(), before_bench)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
