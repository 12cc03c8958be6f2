// The worked examples of the guide that a release carries (tools/release-readme.txt), played on the
// release program: each shows what the guide says it shows, and the guide still says so in the
// example's item, in Ukrainian and in English.
#include "tasks/array/array.h"
#include "tasks/expression/expression.h"
#include "tasks/tabulation/tabulation.h"
#include "tests/shipped/scenario_scripts.h"
#include "tests/shipped/shipped_program.h"
#include "tests/shipped/window_snapshot.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

struct Example {
    const char* item; // the guide's item, as each language letters it
    const char* deliverable;
    int task; // whose window the steps act in; 0: none is opened
    // The steps, each a verb and its text, separated by "; ":
    //   type V...  the task's inputs in their order, separated by blanks (X start, X end, DX, EPS;
    //              A, B; the element, C, D); those not given keep their texts
    //   execute    a click of the task's Execute button; add: of Task 3's Add button
    //   shows T    the task's result field shows exactly T (nothing, without T)
    //   starts T   the result field's text starts with T
    //   rows X...  the X of every row of the table
    //   last X S   the X and the sum of the table's last row, or its X alone
    //   twice      the table holds the same rows twice
    //   box T      the last click showed this message box, with the system's title (none, without
    //   T) main T     a control of the main window holds T
    const char* steps;
};

const Example examples[] = {
    {"а/a", "practice_v1", 1, "execute; starts При X=1.1\r\n3.987176\r\n"},
    {"б/b", "practice_v14", 1,
     "type 40 40 1 1000; execute; last 40 -2.294902; type 100 100; execute; "
     "last 100 -1.194046e+026"},
    {"в/c", "practice_v14", 1,
     "type 0 0.3 0.1; execute; rows 0 0.1 0.2; type 0 1 0.1; execute; last 1"},
    {"в/c", "practice_v14", 1, "type 1 0 1; execute; box; shows"},
    {"г/d", "practice_v6", 1, "execute; execute; twice"},
    {"ґ/e", "practice_v6", 3,
     "type 1234567; add; execute; shows 1524155677489; type 4.5; add; execute; "
     "shows 1.524156e+012"},
    {"д/f", "practice_v14", 2,
     "type 5x 1,5; execute; shows 1.2; type 5 1; execute; shows 1.2; type 0 -1; execute; "
     "shows -inf"},
    {"е/g", "practice_v1", 3, "add; box Добавлено у вектор !!!"},
    {"є/h", "practice_v5", 0, "main Відкрити ПЕРШЕ завданння"},
    {"є/h", "practice_v4", 0, "main X = (A-5)/B]"},
};

std::vector<std::string> words(const std::string& text, const std::string& separator = " ") {
    std::vector<std::string> parts;
    for (size_t at = 0; at <= text.size();) {
        size_t end = std::min(text.find(separator, at), text.size());
        if (end > at)
            parts.push_back(text.substr(at, end - at));
        at = end + separator.size();
    }
    return parts;
}

struct Step {
    std::string verb, text;
};

std::vector<Step> steps_of(const Example& example) {
    std::vector<Step> steps;
    for (const std::string& step : words(example.steps, "; ")) {
        size_t blank = std::min(step.find(' '), step.size());
        steps.push_back({step.substr(0, blank), step.substr(std::min(blank + 1, step.size()))});
    }
    return steps;
}

// The controls a task's steps name, as the runner names them: by creation order, found by the
// globals that keep their handles.
struct TaskWindow {
    std::string name;
    std::vector<std::string> inputs;
    std::string result, execute, add;
};

TaskWindow task_window(int task) {
    const ControlTable tables[] = {profile.tabulation.controls, profile.expression.controls,
                                   profile.array.controls};
    const std::vector<HWND*> inputs[] = {
        {&task1_xstart_edit, &task1_xend_edit, &task1_dx_edit, &task1_eps_edit},
        {&task2_a_edit, &task2_b_edit},
        {&task3_element_edit, &task3_c_edit, &task3_d_edit}};
    HWND* const results[] = {&task1_result_edit, &task2_result_edit, &task3_result_edit};
    const int execute_ids[] = {profile.tabulation.execute_id, profile.expression.execute_id,
                               profile.array.execute_id};
    if (task == 0)
        return {};
    const ControlTable& table = tables[task - 1];
    TaskWindow window;
    window.name = "task" + std::to_string(task);
    auto named = [&](HWND* handle) {
        for (int i = 0; i < table.count; ++i)
            if (table.rows[i].handle == handle)
                return window.name + "#" + std::to_string(i + 1);
        return std::string("(none)");
    };
    for (HWND* input : inputs[task - 1])
        window.inputs.push_back(named(input));
    window.result = named(results[task - 1]);
    window.execute = window.name + ":" + std::to_string(execute_ids[task - 1]);
    window.add = window.name + ":" + std::to_string(profile.array.add_id);
    return window;
}

std::string script_of(const Example& example) {
    const TaskWindow window = task_window(example.task);
    std::string script;
    if (example.task)
        script +=
            "click main:" + std::to_string(profile.task_windows[example.task - 1].launch_id) + "\n";
    for (const Step& step : steps_of(example)) {
        std::vector<std::string> values = words(step.text);
        if (step.verb == "type")
            for (size_t i = 0; i < values.size(); ++i)
                script += "set " + window.inputs[i] + " " + hex_of(values[i]) + "\n";
        else if (step.verb == "execute" || step.verb == "add")
            script += "click " + (step.verb == "add" ? window.add : window.execute) + "\n";
        else if (step.verb == "main")
            script += "windows\n";
        else if (step.verb != "box")
            script += "get " + window.result + "\n";
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

std::string text_of_hex(const std::string& hex) {
    std::string text;
    bytes_of_hex(hex, &text);
    return text;
}

// What the program showed that differs from the example's steps, or nothing.
std::string shown_problems(const Example& example, const std::vector<std::string>& output) {
    std::string problems, last_click = "none", shown;
    size_t at = example.task ? 1 : 0; // past the launch click
    auto next = [&] { return at < output.size() ? output[at++] : std::string("none"); };
    for (const Step& step : steps_of(example)) {
        if (step.verb == "type")
            continue;
        if (step.verb == "execute" || step.verb == "add") {
            last_click = next();
            continue;
        }
        if (step.verb == "box") {
            const Json click = parse_json(last_click);
            const std::vector<Json>& boxes = click["boxes"].items;
            if (step.text.empty()
                    ? !boxes.empty()
                    : boxes.size() != 1 || text_of_hex(boxes[0]["text_hex"].text) != step.text ||
                          boxes[0]["caption_null"].text != "true")
                problems += "the click: " + last_click + "\n";
            continue;
        }
        if (step.verb == "main") {
            shown = "";
            for (; at < output.size() && output[at].rfind("{\"window\"", 0) == 0; ++at) {
                const Json window = parse_json(output[at]);
                for (const Json& child : window["children"].items)
                    if (text_of_hex(child["text_hex"].text).find(step.text) != std::string::npos)
                        shown = step.text;
            }
        } else {
            const std::string text = text_of_hex(parse_json(next())["text_hex"].text);
            const auto rows = rows_of(text);
            shown = "";
            if (step.verb == "shows")
                shown = text;
            else if (step.verb == "starts")
                shown = text.substr(0, step.text.size());
            else if (step.verb == "rows")
                for (const auto& row : rows)
                    shown += (shown.empty() ? "" : " ") + row.first;
            else if (step.verb == "last" && !rows.empty())
                shown = rows.back().first +
                        (words(step.text).size() > 1 ? " " + rows.back().second : "");
            else if (step.verb == "twice" && (text.empty() || text.substr(0, text.size() / 2) !=
                                                                  text.substr(text.size() / 2)))
                shown = text.empty() ? "(no rows)" : text;
        }
        if (shown != step.text)
            problems += step.verb + ": \"" + utf8_of_1251(shown) + "\", the guide \"" +
                        utf8_of_1251(step.text) + "\"\n";
    }
    if (next() != "{\"exit\":0}" || at != output.size())
        problems += "the run does not end with exit 0 after the steps\n";
    return problems;
}

// The guide's item `letter` ("а" or "a"): its lines up to the next blank one, joined by blanks.
std::string item_of(const std::string& guide, const std::string& letter) {
    size_t start = guide.find("\n" + letter + ") ");
    if (start == std::string::npos)
        return "";
    std::string item;
    for (char c : guide.substr(start + 1, guide.find("\n\n", start + 1) - start - 1))
        if ((c != ' ' && c != '\n') || (!item.empty() && item.back() != ' '))
            item += c == '\n' ? ' ' : c;
    return item;
}

// Whether `text` stands in `item` as a whole: not inside a longer word or number.
bool stands_in(const std::string& item, const std::string& text) {
    auto in_number = [&](size_t at) {
        return at < item.size() && (isalnum((unsigned char)item[at]) ||
                                    (strchr(".,-", item[at]) && at + 1 < item.size() &&
                                     isdigit((unsigned char)item[at + 1])));
    };
    for (size_t at = item.find(text); at != std::string::npos; at = item.find(text, at + 1))
        if ((at == 0 || (!in_number(at - 1) && !strchr(".-", item[at - 1]))) &&
            !in_number(at + text.size()))
            return true;
    return false;
}

// What the example says the program shows and the guide no longer says, in either language.
std::string guide_problems(const Example& example, const std::string& guide) {
    std::string problems;
    for (const std::string& letter : words(utf8_of_1251(example.item), "/")) {
        const std::string item = item_of(guide, letter);
        if (item.empty())
            problems += "the guide has no item " + letter + ")\n";
        for (const Step& step : steps_of(example)) {
            if (item.empty() || step.verb == "type")
                continue;
            bool x_and_sums = step.verb == "rows" || step.verb == "last";
            for (const std::string& line : words(step.text, "\r\n"))
                for (const std::string& text : x_and_sums ? words(line) : std::vector{line})
                    if (!stands_in(item, utf8_of_1251(text)))
                        problems +=
                            "item " + letter + ") no longer says " + utf8_of_1251(text) + "\n";
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
            "guide example " + utf8_of_1251(example.item) + ", " + example.deliverable + ": ";
        EXPECT_EQ(guide_problems(example, guide.str()), "") << name << "the guide (" GUIDE_FILE ")";
        const std::string script = script_of(example);
        EXPECT_EQ(shown_problems(example, play_shipped(script)), "") << name << "script:\n"
                                                                     << script;
    }
}

} // namespace
