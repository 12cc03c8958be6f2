// Task 3 through its window: the aggregates, guards and messages of each deliverable, and the
// limits of the store.
#include "shell/shell.h"
#include "tasks/array/array.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Results of one query: one text, or the negative, zero and positive counts.
std::vector<std::string> shown_results() {
    if (profile.array.counts_by_sign)
        return {text(task3_negative_edit), text(task3_zero_edit), text(task3_positive_edit)};
    return {text(task3_result_edit)};
}

void add(HWND window, const char* element) {
    if (element)
        type(task3_element_edit, element);
    click_id(window, profile.array.add_id);
}

void query(HWND window, const char* c, const char* d) {
    if (c)
        type(task3_c_edit, c);
    if (d)
        type(task3_d_edit, d);
    click_id(window, profile.array.execute_id);
}

struct QueryCase {
    const char* deliverable;
    const char* c; // nullptr: the field keeps its initial text
    const char* d;
    std::vector<const char*> elements; // nullptr: add the element field's initial text
    std::vector<std::string> results;
    bool division_box; // the zero-C guard's box
};

// Each deliverable's end-to-end expectations (tests/e2e/expectations.cpp), which every build plays,
// hold its query of the elements they add and of an empty store.
const QueryCase query_cases[] = {
    // Defaults: inclusive bounds, positives only, T = D / C = 4.
    {"practice_v5", nullptr, nullptr, {nullptr, "0", "-1", "5", "5.5"}, {"2"}, false},
    {"practice_v6", nullptr, nullptr, {nullptr, "4", "0", "3.9"}, {"41"}, false},
    // Products of elements not above 0 and not below (C + D) / C = -2.
    {"practice_v14", "1", "-3", {"-1", "-2", "-3", "0"}, {"0"}, false},
    {"practice_v14", "2", "-6", {"-1", "-2", "-3"}, {"2"}, false}, // C + D / C would be -1
    {"practice_v14", "0", "5", {"-1"}, {"-1"}, true},
    {"practice_v14", "-0", "5", {"-1"}, {"-1"}, true},
    {"practice_v14", "abc", "5", {"-1"}, {"-1"}, true},
    {"practice_v1", "-1", "1", {"-1", "0", "1", "1.5", "-2"}, {"3"}, false},
    // Unguarded division: a zero C makes T infinite, or NaN with a zero D (selects nothing).
    {"practice_v6", "0", "4", {"5"}, {"0"}, false},
    {"practice_v6", "0", "-4", {"5"}, {"25"}, false},
    {"practice_v6", "0", "0", {"5"}, {"0"}, false},
    // A threshold below 0 still selects positive elements only: 3 and 1 of these.
    {"practice_v6", "1", "-2", {"-1", "3", "0", "-3", "1"}, {"10"}, false},
    // Overflow shows as infinity and does not carry into the next query.
    {"practice_v6", "1", "0", {"1e200", "1e200"}, {"inf"}, false},
    // Elements on each bound, and outside the bounds between elements inside them; a zero C where
    // the deliverable has no guard.
    {"practice_v1", "0", "1", {"1", "-1", "0", "2", "0.5"}, {"3"}, false},
    {"practice_v5", "1", "3", {"1", "5", "2", "0.5", "3", "-2"}, {"3"}, false},
    {"practice_v5", "0", "2", {"0", "2", "-1", "1"}, {"2"}, false},
    {"practice_v8", "-2", "2", {"-2", "5", "0", "2", "-3", "1", "1", "-1"}, {"2", "1", "3"}, false},
    {"practice_v8", "0", "0", {"0", "1", "-1"}, {"0", "1", "0"}, false},
    {"practice_v4", "2", "-1", {"-2", "-3", "1", "-1", "0"}, {"-9"}, false}, // T = C * D = -2
    {"practice_v4", "0", "5", {"-1", "1"}, {"0"}, false},
    {"practice_v4_early", "2", "-1", {"-2", "-3", "1", "-1", "0"}, {"-9"}, false},
    {"practice_v4_early", "0", "5", {"-1", "1"}, {"0"}, false},
};

TEST(ArrayQuery, AggregatesOfEachDeliverable) {
    for (const QueryCase& c : query_cases) {
        if (!is_deliverable(c.deliverable))
            continue;
        SCOPED_TRACE(std::string("C=") + (c.c ? c.c : "(default)") + " with " +
                     std::to_string(c.elements.size()) + " elements");
        std::vector<std::string> results;
        run_program([&] {
            HWND window = open_task_window(3);
            for (const char* element : c.elements)
                add(window, element);
            query(window, c.c, c.d);
            results = shown_results();
        });
        EXPECT_EQ(results, c.results);
        std::vector<std::string> boxes = box_texts();
        EXPECT_EQ(std::count(boxes.begin(), boxes.end(), DIVISION_BY_ZERO_TEXT),
                  c.division_box ? 1 : 0);
    }
}

TEST(ArrayQuery, ZeroCGuardShowsItsBoxAfterTheResult) {
    if (!is_deliverable("practice_v14"))
        GTEST_SKIP();
    std::string result_while_box_up;
    run_program([&] {
        HWND window = open_task_window(3);
        standin::on_message_box([&](const standin::MessageBoxRecord& box) {
            result_while_box_up = text(task3_result_edit);
            EXPECT_EQ(box.owner, window);
            EXPECT_TRUE(box.null_title);
        });
        query(window, "0", "1");
    });
    EXPECT_EQ(result_while_box_up, "-1");
    EXPECT_EQ(box_texts(), std::vector<std::string>{DIVISION_BY_ZERO_TEXT});
}

TEST(ArrayStore, EachAdditionIsConfirmedAfterItIsStored) {
    std::vector<std::pair<unsigned, double>> seen_at_box;
    run_program([&] {
        HWND window = open_task_window(3);
        standin::on_message_box([&](const standin::MessageBoxRecord& box) {
            EXPECT_EQ(box.owner, window);
            EXPECT_TRUE(box.null_title);
            EXPECT_EQ(box.type, (UINT)(MB_OK | MB_ICONINFORMATION));
            seen_at_box.push_back({element_count, element_store[element_count - 1]});
        });
        add(window, "1.5");
        add(window, "-2");
        EXPECT_EQ(text(task3_element_edit), "-2"); // the field keeps its text
    });
    EXPECT_EQ(element_count, 2);
    if (profile.array.added_text) {
        EXPECT_EQ(box_texts(), std::vector<std::string>(2, profile.array.added_text));
        EXPECT_EQ(seen_at_box, (std::vector<std::pair<unsigned, double>>{{1, 1.5}, {2, -2}}));
    } else {
        EXPECT_TRUE(box_texts().empty());
    }
}

TEST(ArrayStore, ReopeningTheWindowEmptiesTheStore) {
    std::vector<std::string> before, after, empty;
    run_program([&] {
        HWND window = open_task_window(3);
        query(window, "1", "1");
        empty = shown_results();
        add(window, "-5"), add(window, "5"), add(window, "0");
        query(window, "-10", "10");
        before = shown_results();
        standin::close(window);
        window = open_task_window(3);
        EXPECT_EQ(element_count, 0);
        query(window, "-10", "10");
        after = shown_results();
    });
    EXPECT_NE(before, empty);
    EXPECT_EQ(after, empty);
}

TEST(ArrayStore, TheHundredAndFirstElementIsRefused) {
    for (int additions : {101, 1000}) {
        std::vector<std::string> boxes;
        run_program([&] {
            HWND window = open_task_window(3);
            for (int i = 0; i < additions; ++i)
                add(window, i == 0 ? "7" : nullptr);
        });
        EXPECT_EQ(element_count, element_capacity);
        for (double element : element_store)
            EXPECT_EQ(element, 7);
        std::vector<std::string> refusals;
        for (const std::string& box : box_texts())
            if (box == STORE_FULL_TEXT)
                refusals.push_back(box);
        EXPECT_EQ(refusals.size(), (size_t)(additions - 100));
        if (profile.array.added_text) {
            EXPECT_EQ(box_texts().size(), (size_t)additions);
        }
    }
}

TEST(ArrayStore, EmptyElementTextReadsAsZeroNotTheOldSlotValue) {
    std::vector<std::string> with_old_value, with_zero;
    run_program([&] {
        HWND window = open_task_window(3);
        add(window, "-1");
        standin::close(window);
        window = open_task_window(3);
        add(window, "");
        EXPECT_EQ(element_store[0], 0);
        query(window, "-10", "10");
        with_zero = shown_results();
        standin::close(window);
        window = open_task_window(3);
        add(window, "0");
        query(window, "-10", "10");
        with_old_value = shown_results();
    });
    EXPECT_EQ(with_zero, with_old_value);
}

} // namespace
