// Task 1 through its window: the rows of each deliverable, the walk and the series bounds, and the
// limits that keep every click short and inside its buffer.
#include "numtext/numtext.h"
#include "tasks/tabulation/tabulation.h"
#include "tests/shipped/window_snapshot.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>

namespace {

struct Inputs {
    const char* start; // nullptr: the field keeps its initial text
    const char* end;
    const char* step;
    const char* term_limit;
};

const Inputs defaults = {nullptr, nullptr, nullptr, nullptr};

// Which deliverables keep the rows of earlier runs, written apart from their profiles.
bool keeps_earlier_rows() {
    for (const char* keeping : {"practice_v8", "practice_v5", "practice_v14", "practice_v6"})
        if (is_deliverable(keeping))
            return true;
    return false;
}

// Clicks Execute once per run with the same inputs; returns the result field after each click.
std::vector<std::string> tabulate_runs(const Inputs& inputs, int runs = 1) {
    std::vector<std::string> shown;
    run_program([&] {
        HWND window = open_task_window(1);
        ASSERT_NE(window, nullptr);
        if (inputs.start)
            type(task1_xstart_edit, inputs.start);
        if (inputs.end)
            type(task1_xend_edit, inputs.end);
        if (inputs.step)
            type(task1_dx_edit, inputs.step);
        if (inputs.term_limit)
            type(task1_eps_edit, inputs.term_limit);
        for (int run = 0; run < runs; ++run) {
            click_id(window, profile.tabulation.execute_id);
            shown.push_back(text(task1_result_edit));
        }
    });
    return shown;
}

std::string tabulate_once(const Inputs& inputs) {
    return tabulate_runs(inputs).back();
}

// "label X CR LF S CR LF" for each pair.
std::string rows(std::initializer_list<std::pair<const char*, const char*>> pairs) {
    std::string text;
    for (const auto& pair : pairs)
        text +=
            std::string(profile.tabulation.row_label) + pair.first + "\r\n" + pair.second + "\r\n";
    return text;
}

struct RowsCase {
    const char* deliverable;
    Inputs inputs;
    std::initializer_list<std::pair<const char*, const char*>> rows;
};

// The rows of each deliverable's default or typed inputs are its end-to-end expectations
// (tests/e2e/expectations.cpp), which every build plays (tests/scenario/scenario_test.cpp).
const RowsCase rows_cases[] = {
    // X = 0 makes the first term infinite; nothing stops the run.
    {"practice_v8", {"0", "0", "1", "30"}, {{"0", "-inf"}}},
    // A limit below the counter start sums the first term alone.
    {"practice_v4", {"1", "1", "1", "0"}, {{"1", "1"}}},
    {"practice_v4", {"1", "1", "1", "1"}, {{"1", "0.3333333"}}},
    {"practice_v4", {"1", "1", "1", "1.5"}, {{"1", "0.3333333"}}},
    {"practice_v4", {"1", "1", "1", "2"}, {{"1", "0.8333333"}}},
    {"practice_v4", {"1", "1", "1", "-7"}, {{"1", "1"}}},
    {"practice_v6", {"1", "1", "1", "1"}, {{"1", "-1"}}},
    {"practice_v6", {"1", "1", "1", "2"}, {{"1", "-1.666667"}}},
    {"practice_v6", {"1", "1", "1", "3"}, {{"1", "-2.166667"}}},
    // Its terms -2 / (n + 1) never vanish: the sum shows where the bound of a million terms is.
    {"practice_v6", {"1", "1", "1", "1e300"}, {{"1", "-26.78546"}}},
    {"practice_v1", {"2", "2", "1", "0"}, {{"2", "1"}}}, // (1 / 2) * 2
    {"practice_v5", {"0.5", "0.5", "1", "0"}, {{"0.5", "1"}}},
    // -1/X within an ulp of -1.571: the constant's own rounding, the double 1.571's, shows.
    {"practice_v8",
     {"0.6365372374283896", "0.6365372374283896", "1", "0"},
     {{"0.6365372", "2.220446e-016"}}},
};

TEST(Tabulation, RowsOfEachDeliverable) {
    for (const RowsCase& c : rows_cases) {
        if (!is_deliverable(c.deliverable))
            continue;
        SCOPED_TRACE(c.inputs.start ? c.inputs.start : "defaults");
        EXPECT_EQ(quoted_text(tabulate_once(c.inputs)), quoted_text(rows(c.rows)));
        EXPECT_TRUE(box_texts().empty());
    }
}

TEST(Tabulation, StartEqualToEndGivesOneRowAndAboveEndNone) {
    std::string one = tabulate_once({"0.5", "0.5", "0.1", "3"});
    EXPECT_EQ(one.rfind(profile.tabulation.row_label, 0), 0u);
    EXPECT_EQ(one.find(profile.tabulation.row_label, 1), std::string::npos);
    EXPECT_EQ(tabulate_once({"0.6", "0.5", "0.1", "3"}), "");
}

TEST(Tabulation, SecondRunRepeatsOrAppendsItsRows) {
    std::vector<std::string> shown = tabulate_runs({"0.5", "0.7", "0.1", "3"}, 2);
    ASSERT_FALSE(shown[0].empty());
    if (keeps_earlier_rows())
        EXPECT_EQ(shown[1], shown[0] + shown[0]);
    else
        EXPECT_EQ(shown[1], shown[0]);
}

TEST(Tabulation, EarlierRowsSurviveClosingTheWindowWhenKept) {
    std::string first, after_reopen, empty_run;
    run_program([&] {
        HWND window = open_task_window(1);
        type(task1_xstart_edit, "0.5"), type(task1_xend_edit, "0.5");
        type(task1_dx_edit, "1"), type(task1_eps_edit, "3");
        click_id(window, profile.tabulation.execute_id);
        first = text(task1_result_edit);
        standin::close(window);
        window = open_task_window(1);
        EXPECT_EQ(text(task1_result_edit), "");
        type(task1_xstart_edit, "2"), type(task1_xend_edit, "1"); // no row of its own
        click_id(window, profile.tabulation.execute_id);
        after_reopen = text(task1_result_edit);
    });
    EXPECT_EQ(after_reopen, keeps_earlier_rows() ? first : "");
}

// Walks that never ended: the walk stops once X no longer moves forward.
TEST(Tabulation, StepThatDoesNotAdvanceGivesOneRow) {
    for (const char* step : {"0", "-0.1", "1e-300", "", "abc"}) {
        SCOPED_TRACE(std::string("step ") + step);
        std::string shown = tabulate_once({"1", "2", step, "3"});
        EXPECT_EQ(shown.find(profile.tabulation.row_label, 1), std::string::npos) << shown;
        EXPECT_FALSE(shown.empty());
    }
}

// A run whose own rows overfill the table: earlier rows all give way, the run keeps its rows up to
// the last whole one that fits, and the walk ends there.
TEST(Tabulation, TableStopsAtTheBufferWithWholeRows) {
    std::vector<std::string> shown = tabulate_runs({"0.1", "1e400", "0.1", "3"}, 3);
    const std::string& table = shown[0];
    EXPECT_LE(table.size(), text_buffer_size - 1);
    EXPECT_GT(table.size(), text_buffer_size - 60); // filled up to its last whole row
    ASSERT_GE(table.size(), 2u);
    EXPECT_EQ(table.substr(table.size() - 2), "\r\n");
    EXPECT_EQ(table.rfind(profile.tabulation.row_label, 0), 0u);
    EXPECT_EQ(shown[1], table);
    EXPECT_EQ(shown[2], table);
}

std::vector<std::string> split_rows(const std::string& table) {
    std::vector<std::string> rows;
    for (size_t start = 0; start < table.size();) {
        size_t end = table.find('\n', table.find('\n', start) + 1) + 1;
        rows.push_back(table.substr(start, end - start));
        start = end;
    }
    return rows;
}

// Rows kept from earlier runs give way, oldest first and whole: each click shows the latest rows
// of all runs that fit, ending with its own, so Task 1 never goes dead once the table is full.
TEST(Tabulation, FullTableGivesWayToEachNewRun) {
    Inputs inputs = is_deliverable("practice_v6") ? defaults : Inputs{"0.1", "0.9", "0.1", "30"};
    std::vector<std::string> shown = tabulate_runs(inputs, 10);
    std::vector<std::string> run_rows = split_rows(shown[0]);
    ASSERT_FALSE(run_rows.empty());
    for (size_t click = 1; click < shown.size(); ++click) {
        SCOPED_TRACE("click " + std::to_string(click + 1));
        std::string expected;
        size_t runs = keeps_earlier_rows() ? click + 1 : 1;
        for (size_t row = runs * run_rows.size(); row-- > 0;) {
            const std::string& next = run_rows[row % run_rows.size()];
            if (expected.size() + next.size() > text_buffer_size - 1)
                break;
            expected.insert(0, next);
        }
        EXPECT_EQ(shown[click], expected);
    }
    if (is_deliverable("practice_v6")) {
        // Two runs of nine rows fit, a third only with the last four rows of the first.
        std::string last_four_rows = run_rows[5] + run_rows[6] + run_rows[7] + run_rows[8];
        EXPECT_EQ(shown[2], last_four_rows + shown[0] + shown[0]);
        EXPECT_EQ(shown[3], shown[2]);
        EXPECT_EQ(shown[9], shown[2]);
    }
}

TEST(Tabulation, HugeOrInfiniteTermLimitStillEndsPromptly) {
    for (const char* limit : {"1e300", "1e400"}) {
        auto started = std::chrono::steady_clock::now();
        std::string shown = tabulate_once({"0.5", "0.5", "1", limit});
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        EXPECT_FALSE(shown.empty());
        EXPECT_LT(seconds, 5.0 * TEST_TIME_SCALE) << "term limit " << limit;
    }
}

TEST(Tabulation, RowBuilderWritesNothingThatDoesNotFit) {
    results_text[0] = 0;
    for (unsigned i = 0; i < 17; ++i)
        number_text[i] = '1', scratch_text[i] = '2';
    number_text[17] = scratch_text[17] = 0;
    unsigned rows_written = 0;
    while (append_table_row())
        ++rows_written;
    unsigned row_length = string_length(profile.tabulation.row_label) + 17 + 2 + 17 + 2;
    EXPECT_EQ(rows_written, (text_buffer_size - 1) / row_length);
    EXPECT_EQ(string_length(results_text), rows_written * row_length);
    // A row that fills the table to exactly 511 characters is written; one byte more is not.
    std::string before(511 - row_length, 'x');
    memcpy(results_text, before.c_str(), before.size() + 1);
    EXPECT_TRUE(append_table_row());
    EXPECT_EQ(string_length(results_text), 511u);
    before += 'x';
    memcpy(results_text, before.c_str(), before.size() + 1);
    EXPECT_FALSE(append_table_row());
    EXPECT_EQ(string_length(results_text), before.size());
}

} // namespace
