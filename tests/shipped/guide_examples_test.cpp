// The worked examples of the guide that a release carries (tools/release-readme.txt), played on the
// release program: each shows what the guide says it shows, and the guide still says so in the
// example's item, in Ukrainian and in English.
#include "tasks/array/array.h"
#include "tasks/expression/expression.h"
#include "tasks/tabulation/tabulation.h"
#include "tests/shipped/scenario_scripts.h"
#include "tests/shipped/shipped_program.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

enum class Do {
    type,        // the task's inputs in their order, separated by blanks: X start, X end, DX, EPS;
                 // A, B; the element, C, D. Those not given keep their texts.
    execute,     // a click of the task's Execute button
    add,         // a click of Task 3's Add button
    shows,       // the task's result field shows exactly the text
    shows_start, // the result field's text starts with the text
    shows_rows,  // the X of every row of the table, separated by blanks
    shows_last_row, // the X and the sum of the table's last row, or its X alone
    shows_twice,    // the table is the same rows twice
    box,            // the last click showed this message box, with the system's title
    no_box,         // the last click showed no message box
    main_shows,     // a control of the main window holds the text
};

struct Step {
    Do act;
    const char* text = "";
};

struct Example {
    const char* item; // the guide's item, as each language letters it
    const char* deliverable;
    int task; // whose window the steps act in; 0: none is opened
    std::vector<Step> steps;
};

const Example examples[] = {
    {"а/a", "practice_v1", 1, {{Do::execute}, {Do::shows_start, "При X=1.1\r\n3.987176\r\n"}}},
    {"б/b",
     "practice_v14",
     1,
     {{Do::type, "40 40 1 1000"},
      {Do::execute},
      {Do::shows_last_row, "40 -2.294902"},
      {Do::type, "100 100"},
      {Do::execute},
      {Do::shows_last_row, "100 -1.194046e+026"}}},
    {"в/c",
     "practice_v14",
     1,
     {{Do::type, "0 0.3 0.1"},
      {Do::execute},
      {Do::shows_rows, "0 0.1 0.2"},
      {Do::type, "0 1 0.1"},
      {Do::execute},
      {Do::shows_last_row, "1"}}},
    {"в/c", "practice_v14", 1, {{Do::type, "1 0 1"}, {Do::execute}, {Do::no_box}, {Do::shows}}},
    {"г/d", "practice_v6", 1, {{Do::execute}, {Do::execute}, {Do::shows_twice}}},
    {"ґ/e",
     "practice_v6",
     3,
     {{Do::type, "1234567"},
      {Do::add},
      {Do::execute},
      {Do::shows, "1524155677489"},
      {Do::type, "4.5"},
      {Do::add},
      {Do::execute},
      {Do::shows, "1.524156e+012"}}},
    {"д/f",
     "practice_v14",
     2,
     {{Do::type, "5x 1,5"},
      {Do::execute},
      {Do::shows, "1.2"},
      {Do::type, "5 1"},
      {Do::execute},
      {Do::shows, "1.2"},
      {Do::type, "0 -1"},
      {Do::execute},
      {Do::shows, "-inf"}}},
    {"е/g", "practice_v1", 3, {{Do::add}, {Do::box, "Добавлено у вектор !!!"}}},
    {"є/h", "practice_v5", 0, {{Do::main_shows, "Відкрити ПЕРШЕ завданння"}}},
    {"є/h", "practice_v4", 0, {{Do::main_shows, "X = (A-5)/B]"}}},
};

struct TaskWindow {
    const char* name;
    ControlTable controls;
    std::vector<HWND*> inputs;
    HWND* result;
    int execute_id;
};

TaskWindow task_window_of(int task) {
    if (task == 1)
        return {"task1",
                profile.tabulation.controls,
                {&task1_xstart_edit, &task1_xend_edit, &task1_dx_edit, &task1_eps_edit},
                &task1_result_edit,
                profile.tabulation.execute_id};
    if (task == 2)
        return {"task2",
                profile.expression.controls,
                {&task2_a_edit, &task2_b_edit},
                &task2_result_edit,
                profile.expression.execute_id};
    return {"task3",
            profile.array.controls,
            {&task3_element_edit, &task3_c_edit, &task3_d_edit},
            &task3_result_edit,
            profile.array.execute_id};
}

// The control that keeps its handle in `handle`, by creation order, as the runner names it.
std::string field(const TaskWindow& window, HWND* handle) {
    for (int i = 0; i < window.controls.count; ++i)
        if (window.controls.rows[i].handle == handle)
            return window.name + std::string("#") + std::to_string(i + 1);
    return "(none)";
}

std::vector<std::string> words(const std::string& text, const char* separator = " ") {
    std::vector<std::string> parts;
    for (size_t at = 0; at <= text.size();) {
        size_t end = std::min(text.find(separator, at), text.size());
        if (end > at)
            parts.push_back(text.substr(at, end - at));
        at = end + strlen(separator);
    }
    return parts;
}

std::string script_of(const Example& example) {
    const TaskWindow window = task_window_of(example.task);
    std::string script;
    if (example.task)
        script +=
            "click main:" + std::to_string(profile.task_windows[example.task - 1].launch_id) + "\n";
    for (const Step& step : example.steps) {
        switch (step.act) {
        case Do::type: {
            std::vector<std::string> values = words(step.text);
            for (size_t i = 0; i < values.size(); ++i)
                script += "set " + field(window, window.inputs[i]) + " " + hex_of(values[i]) + "\n";
            break;
        }
        case Do::execute:
        case Do::add:
            script +=
                "click " + std::string(window.name) + ":" +
                std::to_string(step.act == Do::add ? profile.array.add_id : window.execute_id) +
                "\n";
            break;
        case Do::box:
        case Do::no_box: break;
        case Do::main_shows: script += "windows\n"; break;
        default: script += "get " + field(window, window.result) + "\n";
        }
    }
    return script;
}

// X and the sum of each row of a Task 1 table: the label and X, CR LF, the sum, CR LF.
std::vector<std::pair<std::string, std::string>> rows_of(const std::string& table) {
    std::vector<std::string> lines = words(table, "\r\n");
    std::vector<std::pair<std::string, std::string>> rows;
    for (size_t i = 0; i + 1 < lines.size(); i += 2)
        rows.push_back({lines[i].substr(strlen(profile.tabulation.row_label)), lines[i + 1]});
    return rows;
}

// What the program showed that differs from the example's steps, or nothing.
std::string shown_problems(const Example& example, const std::vector<std::string>& output) {
    std::string problems, last_click = "none";
    size_t at = example.task ? 1 : 0; // the launch click
    for (const Step& step : example.steps) {
        const std::string expected = step.text;
        std::string shown;
        if (step.act == Do::type)
            continue;
        if (step.act == Do::execute || step.act == Do::add) {
            last_click = at < output.size() ? output[at++] : "none";
            continue;
        }
        if (step.act == Do::box || step.act == Do::no_box) {
            const std::vector<Json> boxes = parse_json(last_click)["boxes"].items;
            bool as_said = step.act == Do::no_box
                               ? boxes.empty()
                               : boxes.size() == 1 &&
                                     boxes[0]["text_hex"].text == hex_of(expected) &&
                                     boxes[0]["caption_null"].text == "true";
            if (!as_said)
                problems += "the click: " + last_click + "\n";
            continue;
        }
        if (step.act == Do::main_shows) {
            bool found = false;
            for (; at < output.size() && output[at].rfind("{\"window\"", 0) == 0; ++at) {
                const Json window = parse_json(output[at]);
                for (const Json& child : window["children"].items) {
                    std::string text;
                    bytes_of_hex(child["text_hex"].text, &text);
                    found |= text.find(expected) != std::string::npos;
                }
            }
            if (!found)
                problems +=
                    "no control of the main window holds " + utf8_from_1251(expected) + "\n";
            continue;
        }
        std::string text;
        if (at < output.size())
            bytes_of_hex(parse_json(output[at++])["text_hex"].text, &text);
        std::vector<std::pair<std::string, std::string>> rows = rows_of(text);
        if (step.act == Do::shows)
            shown = text;
        else if (step.act == Do::shows_start)
            shown = text.substr(0, expected.size());
        else if (step.act == Do::shows_rows)
            for (const auto& row : rows)
                shown += (shown.empty() ? "" : " ") + row.first;
        else if (step.act == Do::shows_last_row && !rows.empty())
            shown = rows.back().first +
                    (expected.find(' ') != std::string::npos ? " " + rows.back().second : "");
        else if (step.act == Do::shows_twice && !text.empty())
            shown = text.substr(0, text.size() / 2) == text.substr(text.size() / 2) ? "" : text;
        if (shown != expected)
            problems += "shows \"" + utf8_from_1251(shown) + "\", the guide \"" +
                        utf8_from_1251(expected) + "\"\n";
    }
    if (at >= output.size() || output[at] != "{\"exit\":0}" || at + 1 != output.size())
        problems += "output after the steps: " + (at < output.size() ? output[at] : "none") + "\n";
    return problems;
}

// The guide's item `letter` ("а" or "a"): its lines up to the next blank one, joined by blanks.
std::string item_of(const std::string& guide, const std::string& letter) {
    size_t start = guide.find("\n" + letter + ") ");
    if (start == std::string::npos)
        return "";
    size_t end = guide.find("\n\n", start + 1);
    std::string item;
    for (char c : guide.substr(start + 1, end - start - 1))
        if (!(c == ' ' || c == '\n') || (item.size() && item.back() != ' '))
            item += c == '\n' ? ' ' : c;
    return item;
}

// Whether `text` stands in `item` as a whole: not inside a longer number or word.
bool stands_in(const std::string& item, const std::string& text) {
    auto part_of_number = [](const std::string& s, size_t at) {
        return at < s.size() && (isalnum((unsigned char)s[at]) ||
                                 ((s[at] == '.' || s[at] == ',') && at + 1 < s.size() &&
                                  isdigit((unsigned char)s[at + 1])));
    };
    for (size_t at = item.find(text); at != std::string::npos; at = item.find(text, at + 1)) {
        bool after_sign = at && (item[at - 1] == '-' || item[at - 1] == '.');
        if (!after_sign && (at == 0 || !isalnum((unsigned char)item[at - 1])) &&
            !part_of_number(item, at + text.size()))
            return true;
    }
    return false;
}

// What the example says the program shows and the guide no longer says, in either language.
std::string guide_problems(const Example& example, const std::string& guide) {
    std::string problems;
    for (const std::string& letter : words(utf8_from_1251(example.item), "/")) {
        std::string item = item_of(guide, letter);
        if (item.empty())
            problems += "the guide has no item " + letter + ")\n";
        for (const Step& step : example.steps) {
            if (step.act == Do::type)
                continue;
            bool x_and_sums = step.act == Do::shows_rows || step.act == Do::shows_last_row;
            for (const std::string& line : words(step.text, "\r\n"))
                for (const std::string& text :
                     x_and_sums ? words(line) : std::vector<std::string>{line})
                    if (!item.empty() && !stands_in(item, utf8_from_1251(text)))
                        problems +=
                            "item " + letter + ") no longer says " + utf8_from_1251(text) + "\n";
        }
    }
    return problems;
}

TEST(ShippedProgram, ShowsWhatTheGuidesExamplesSay) {
    std::ifstream file(GUIDE_FILE);
    std::stringstream guide;
    guide << file.rdbuf();
    ASSERT_FALSE(guide.str().empty()) << GUIDE_FILE;
    for (const Example& example : examples) {
        if (!is_deliverable(example.deliverable))
            continue;
        const std::string name =
            "guide example " + utf8_from_1251(example.item) + ", " + example.deliverable + ": ";
        EXPECT_EQ(guide_problems(example, guide.str()), "") << name << "the guide (" GUIDE_FILE ")";
        const std::string script = script_of(example);
        EXPECT_EQ(shown_problems(example, play_shipped(script)), "") << name << "script:\n"
                                                                     << script;
    }
}

} // namespace
