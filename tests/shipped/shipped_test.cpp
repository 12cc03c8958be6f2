// The release program itself (build/mingw-i686/bin/<deliverable>.exe), loaded into this 32-bit
// process and driven through the script runner: the end-to-end expectations, and random inputs
// against the same program built here from the same sources.
#include "shell/shell.h"
#include "tasks/tabulation/tabulation.h"
#include "tests/e2e/expectations.h"
#include "tests/shipped/pe_loader.h"
#include "tests/shipped/script_player.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <vector>

namespace {

std::string shipped_program() {
    return std::string(SHIPPED_PROGRAMS_DIR) + "/" + deliverable_name + ".exe";
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// The runner's output for `script`, played on the program at `path`, or on the program built into
// this test when `path` is empty.
std::vector<std::string> play(const std::string& script, const std::string& path,
                              unsigned time_limit_milliseconds = 60000) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    std::istringstream in(script);
    if (path.empty()) {
        play_script(in, out, [](unsigned* exit_code, std::string*) {
            reset_program_state();
            *exit_code = (unsigned)app_main(GetModuleHandleA(0));
            return true;
        });
    } else {
        LoadedProgram program;
        std::string reason;
        if (!load_program(path.c_str(), &program, &reason)) {
            ADD_FAILURE() << path << ": " << reason << " (build the mingw-i686 preset first)";
            fclose(out);
            free(buffer);
            return {};
        }
        play_script(
            in, out,
            [&](unsigned* exit_code, std::string* why) {
                return run_program_entry(program, exit_code, why);
            },
            time_limit_milliseconds);
        unload_program(&program);
    }
    fclose(out);
    std::string text(buffer, size);
    free(buffer);
    return lines_of(text);
}

std::string hex_of(const std::string& bytes) {
    std::string hex;
    char digits[3];
    for (unsigned char c : bytes) {
        snprintf(digits, sizeof digits, "%02x", c);
        hex += digits;
    }
    return hex;
}

std::string bytes_of_hex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += (char)std::stoi(hex.substr(i, 2), nullptr, 16);
    return bytes;
}

// Just enough JSON for the runner's output: objects, lists, strings without escapes beyond \" and
// \\, integers, true, false and null.
struct Json {
    std::string text; // strings; numbers and literals as written
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> fields;

    const Json& operator[](const std::string& key) const {
        static const Json missing = {"(missing)", {}, {}};
        for (const auto& field : fields)
            if (field.first == key)
                return field.second;
        return missing;
    }
    long number() const { return std::atol(text.c_str()); }
};

Json parse_json(const std::string& line, size_t* at) {
    Json value;
    char c = line[*at];
    if (c == '{' || c == '[') {
        ++*at;
        while (line[*at] != (c == '{' ? '}' : ']') && *at < line.size()) {
            if (c == '{') {
                std::string key = parse_json(line, at).text;
                ++*at; // ':'
                value.fields.push_back({key, parse_json(line, at)});
            } else {
                value.items.push_back(parse_json(line, at));
            }
            if (line[*at] == ',')
                ++*at;
        }
        ++*at;
    } else if (c == '"') {
        for (++*at; *at < line.size() && line[*at] != '"'; ++*at)
            value.text += line[*at] == '\\' ? line[++*at] : line[*at];
        ++*at;
    } else {
        while (*at < line.size() && line[*at] != ',' && line[*at] != '}' && line[*at] != ']')
            value.text += line[(*at)++];
    }
    return value;
}

Json parse_json(const std::string& line) {
    size_t at = 0;
    return parse_json(line, &at);
}

// One expected output line: the exact text, or a check of its parsed object that says what is
// wrong (empty: nothing).
struct ExpectedLine {
    std::string exact;
    std::function<std::string(const Json&)> check;
};

struct Script {
    std::string text;
    std::vector<ExpectedLine> expected;

    void act(const std::string& line) { text += line + "\n"; }
    void act(const std::string& line, const std::string& expected_line) {
        act(line);
        expected.push_back({expected_line, nullptr});
    }
};

std::string box_json(const char* owner, const char* text) {
    return std::string("{\"owner\":\"") + owner + "\",\"text_hex\":\"" + hex_of(text) +
           "\",\"caption_null\":true,\"type\":64}";
}

std::string click_line(const std::string& control, const std::string& boxes = "") {
    return "{\"click\":\"" + control + "\",\"boxes\":[" + boxes + "]}";
}

std::string control(const char* window, char mark, int number) {
    return window + std::string(1, mark) + std::to_string(number);
}

bool caption_matches(const std::string& actual, const std::string& expected) {
    size_t star = expected.find('*');
    if (star == std::string::npos)
        return actual == expected;
    std::string head = expected.substr(0, star), tail = expected.substr(star + 1);
    return actual.size() >= head.size() + tail.size() &&
           actual.compare(0, head.size(), head) == 0 &&
           actual.compare(actual.size() - tail.size(), tail.size(), tail) == 0;
}

std::string check_place(const Json& window, int x, int y, int width, int height) {
    bool placed = x == platform_placed || (window["x"].number() == x && window["y"].number() == y);
    if (!placed || window["width"].number() != width || window["height"].number() != height)
        return "place and size";
    return "";
}

std::string check_texts(const Json& window, const FieldText* fields) {
    const std::vector<Json>& children = window["children"].items;
    for (int i = 0; i < max_fields && fields[i].order; ++i) {
        if ((size_t)fields[i].order > children.size() ||
            bytes_of_hex(children[fields[i].order - 1]["text_hex"].text) != fields[i].text)
            return "text of control " + std::to_string(fields[i].order);
    }
    return "";
}

const char* const task_names[] = {"task1", "task2", "task3"};

// `windows` with the main window and the three task windows open, in that order; initial texts
// checked when asked.
void expect_all_windows(Script* script, const Deliverable& d, bool initial_texts) {
    script->act("windows");
    script->expected.push_back({"", [&d](const Json& w) -> std::string {
                                    if (w["window"].text != "main")
                                        return "first window " + w["window"].text;
                                    return check_place(w, d.x, d.y, d.width, d.height);
                                }});
    for (int t = 0; t < 3; ++t) {
        const TaskCase& task = d.tasks[t];
        script->expected.push_back(
            {"", [&task, t, initial_texts](const Json& w) -> std::string {
                 if (w["window"].text != task_names[t] || w["class"].text != task.class_name)
                     return "window " + w["window"].text + " of class " + w["class"].text;
                 if (bytes_of_hex(w["caption_hex"].text) != task.caption)
                     return "caption";
                 if (w["owner"].text != "main")
                     return "owner " + w["owner"].text;
                 if (w["children"].items.size() != (size_t)task.control_count)
                     return "number of controls";
                 std::string place = check_place(w, task.x, task.y, task.width, task.height);
                 return place.empty() && initial_texts ? check_texts(w, task.initial) : place;
             }});
    }
}

void set_fields(Script* script, const char* window, const FieldText* fields) {
    for (int i = 0; i < max_fields && fields[i].order; ++i)
        script->act("set " + control(window, '#', fields[i].order) + " " + hex_of(fields[i].text));
}

void get_fields(Script* script, const char* window, const FieldText* fields) {
    for (int i = 0; i < max_fields && fields[i].order; ++i) {
        std::string name = control(window, '#', fields[i].order);
        script->act("get " + name,
                    "{\"get\":\"" + name + "\",\"text_hex\":\"" + hex_of(fields[i].text) + "\"}");
    }
}

// What the Wine end-to-end driver does, as a script with its expected output.
Script end_to_end_script(const Deliverable& d) {
    Script script;
    script.act("windows");
    script.expected.push_back(
        {"", [&d](const Json& w) -> std::string {
             if (!caption_matches(bytes_of_hex(w["caption_hex"].text), d.caption))
                 return "main caption";
             long style = w["style"].number();
             if ((style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) || !(style & WS_MINIMIZEBOX))
                 return "main style: fixed size, minimize box only";
             if (w["children"].items.size() != (size_t)d.main_control_count)
                 return "number of main controls";
             return check_place(w, d.x, d.y, d.width, d.height);
         }});
    for (int t = 0; t < 3; ++t)
        script.act("click " + control("main", ':', d.launch_ids[t]),
                   click_line(control("main", ':', d.launch_ids[t])));
    expect_all_windows(&script, d, true);

    for (int t = 0; t < 3; ++t) {
        const TaskCase& task = d.tasks[t];
        set_fields(&script, task_names[t], task.typed);
        for (int i = 0; t == 2 && i < max_elements && d.array.elements[i]; ++i) {
            FieldText element[2] = {{d.array.element_order, d.array.elements[i]}, {}};
            set_fields(&script, "task3", element);
            std::string add = control("task3", ':', d.array.add_id);
            script.act(
                "click " + add,
                click_line(add, d.array.added_text ? box_json("task3", d.array.added_text) : ""));
        }
        std::string execute = control(task_names[t], ':', task.execute_id);
        script.act("click " + execute, click_line(execute));
        get_fields(&script, task_names[t], task.results);
    }
    if (d.task1_after_repeats) {
        // Earlier rows give way to each new run: the table never stops taking rows.
        const TaskCase& task1 = d.tasks[0];
        FieldText full_table[2] = {{task1.results[0].order, d.task1_after_repeats}, {}};
        std::string execute = control("task1", ':', task1.execute_id);
        for (int clicks = 2; clicks <= 10; ++clicks) {
            script.act("click " + execute, click_line(execute));
            if (clicks == 3 || clicks == 4 || clicks == 10)
                get_fields(&script, "task1", full_table);
        }
    }
    if (d.guard.box_text) {
        set_fields(&script, "task2", d.guard.typed);
        std::string execute = control("task2", ':', d.tasks[1].execute_id);
        script.act("click " + execute, click_line(execute, box_json("task2", d.guard.box_text)));
        get_fields(&script, "task2", d.guard.results);
    }
    // A second click on a launch button: the notice, never a second window.
    for (int t = 0; t < 3; ++t) {
        std::string launch = control("main", ':', d.launch_ids[t]);
        script.act(
            "click " + launch,
            click_line(launch, d.already_open_text ? box_json("main", d.already_open_text) : ""));
    }
    expect_all_windows(&script, d, false);
    // Closed and opened again: the initial texts are back, and Task 3 starts empty.
    for (int t = 0; t < 3; ++t) {
        script.act(std::string("close ") + task_names[t],
                   std::string("{\"close\":\"") + task_names[t] + "\",\"boxes\":[]}");
        std::string launch = control("main", ':', d.launch_ids[t]);
        script.act("click " + launch, click_line(launch));
    }
    expect_all_windows(&script, d, true);
    set_fields(&script, "task3", d.tasks[2].typed);
    std::string execute = control("task3", ':', d.tasks[2].execute_id);
    script.act("click " + execute, click_line(execute));
    get_fields(&script, "task3", d.array.empty_results);
    script.expected.push_back({"{\"exit\":0}", nullptr});
    return script;
}

// The exit button ends the program with a task window open, as closing does.
Script exit_button_script(const Deliverable& d) {
    Script script;
    std::string launch = control("main", ':', d.launch_ids[0]);
    std::string exit = control("main", ':', d.exit_id);
    script.act("click " + launch, click_line(launch));
    script.act("click " + exit, click_line(exit));
    script.expected.push_back({"{\"exit\":0}", nullptr});
    return script;
}

// Every way the output differs from what the script expects, one line each.
std::vector<std::string> differences(const Script& script, const std::vector<std::string>& out) {
    std::vector<std::string> found;
    for (size_t i = 0; i < std::max(out.size(), script.expected.size()); ++i) {
        if (i >= out.size() || i >= script.expected.size()) {
            found.push_back("output line " + std::to_string(i + 1) + ": " +
                            (i < out.size() ? "unexpected " + out[i] : "missing"));
            continue;
        }
        const ExpectedLine& expected = script.expected[i];
        std::string problem = expected.check             ? expected.check(parse_json(out[i]))
                              : out[i] == expected.exact ? ""
                                                         : "expected " + expected.exact;
        if (!problem.empty())
            found.push_back("output line " + std::to_string(i + 1) + ": " + problem + "\n    " +
                            out[i]);
    }
    return found;
}

const Deliverable& expectations() {
    for (const Deliverable& d : deliverables)
        if (is_deliverable(d.name))
            return d;
    ADD_FAILURE() << "no end-to-end expectations for " << deliverable_name;
    return deliverables[0];
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

TEST(ShippedProgram, MeetsTheEndToEndExpectations) {
    const Deliverable& d = expectations();
    Script script = end_to_end_script(d);
    EXPECT_EQ(joined(differences(script, play(script.text, shipped_program()))), "") << "script:\n"
                                                                                     << script.text;
    if (!d.already_open_text) {
        // The notice without a box: each open window flashes and takes the focus.
        EXPECT_EQ(standin::flashed_windows().size(), 3u);
        EXPECT_EQ(standin::flashed_windows(), standin::focused_windows());
    }
    if (d.exit_id) {
        Script exit = exit_button_script(d);
        EXPECT_EQ(joined(differences(exit, play(exit.text, shipped_program()))), "");
    }
}

// A copy with one byte of its power-of-ten table changed (10^1 is no longer exact) must fail.
TEST(ShippedProgram, AChangedByteFailsTheRun) {
    if (!is_deliverable("practice_v4"))
        GTEST_SKIP() << "shown on one program";
    std::ifstream original(shipped_program(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
    const std::string ten("\0\0\0\0\0\0\0\xA0\x02\x40", 10); // 10 in the 80-bit format
    size_t at = bytes.find(ten);
    ASSERT_NE(at, std::string::npos);
    bytes[at + 6] = '\x01';
    std::string changed = testing::TempDir() + "changed_practice_v4.exe";
    std::ofstream(changed, std::ios::binary) << bytes;
    Script script = end_to_end_script(expectations());
    EXPECT_NE(joined(differences(script, play(script.text, changed))), "");
}

// A click that keeps the program busy past the time limit ends the run with a timeout error.
TEST(ShippedProgram, AClickPastTheTimeLimitEndsTheRun) {
    if (!is_deliverable("practice_v6"))
        GTEST_SKIP() << "shown on one program";
    // Every row sums a million terms, until the table is full.
    std::string script = "click main:" + std::to_string(profile.task_windows[0].launch_id) +
                         "\nset task1#8 " + hex_of("1e400") + "\nset task1#10 " + hex_of("1e300") +
                         "\nclick task1:" + std::to_string(profile.tabulation.execute_id) + "\n";
    EXPECT_EXIT(play(script, shipped_program(), 50), testing::ExitedWithCode(3),
                "timeout.*line 4: click task1:");
}

// Random input texts: short decimals, 17 digits, extreme exponents, malformed, empty and long.
std::string random_text(std::mt19937& random) {
    auto digits = [&](unsigned count) {
        std::string text;
        while (count--)
            text += (char)('0' + random() % 10);
        return text;
    };
    std::string sign = random() % 3 ? "" : "-";
    switch (random() % 8) {
    case 0:
    case 1:
        return sign + digits(1 + random() % 4) + (random() % 2 ? "." + digits(random() % 4) : "");
    case 2: return sign + digits(1) + "." + digits(16) + (random() % 2 ? "e-" : "e") + digits(2);
    case 3: {
        static const char* const exponents[] = {"308",   "309",   "-307",      "-308",
                                                "-320",  "-324",  "-325",      "4863",
                                                "-4864", "99999", "2147483648"};
        return sign + digits(1 + random() % 3) + "e" + exponents[random() % 11];
    }
    case 4: {
        static const char alphabet[] = "0123456789+-.eE ,x\xB3";
        std::string text;
        for (unsigned n = 1 + random() % 8; n--;)
            text += alphabet[random() % (sizeof alphabet - 1)];
        return text;
    }
    case 5: return "";
    case 6: return sign + digits(1) + "." + digits(400 + random() % 300);
    default: {
        static const char* const specials[] = {"-0", "inf", "nan",    ".",        "1e",     "-",
                                               "+",  "0.1", "1e-310", "4.9e-324", "-1e308", "0"};
        return specials[random() % 12];
    }
    }
}

// Task 1's term limit stays small, so that thousands of clicks run in seconds under emulation.
std::string random_term_limit(std::mt19937& random) {
    static const char* const limits[] = {"0",  "1",   "2", "5",   "10",  "30", "100",
                                         "-3", "2.5", "",  "abc", "1e2", "15"};
    return limits[random() % 13];
}

struct TaskControls {
    const char* window;
    ControlTable table;
    std::vector<int> buttons;
};

// Each task's input edits, buttons and result edits, by creation order, from the profile.
std::vector<TaskControls> task_controls() {
    return {{"task1", profile.tabulation.controls, {profile.tabulation.execute_id}},
            {"task2", profile.expression.controls, {profile.expression.execute_id}},
            {"task3", profile.array.controls, {profile.array.add_id, profile.array.execute_id}}};
}

std::string random_script(std::mt19937& random, int clicks) {
    std::string script;
    for (int t = 0; t < 3; ++t)
        script += "click " + control("main", ':', profile.task_windows[t].launch_id) + "\n";
    std::vector<TaskControls> tasks = task_controls();
    for (int click = 0; click < clicks; ++click) {
        unsigned choice = random() % 100;
        int t = choice < 20 ? 0 : choice < 60 ? 1 : 2;
        if (choice % 50 == 7) { // now and then a task window closed and opened again
            script += std::string("close ") + task_names[t] + "\nclick " +
                      control("main", ':', profile.task_windows[t].launch_id) + "\n";
            continue;
        }
        if (choice % 50 == 13)
            script += "windows\n";
        const TaskControls& task = tasks[t];
        std::vector<int> results;
        for (int i = 0; i < task.table.count; ++i) {
            const ControlSpec& row = task.table.rows[i];
            if (std::string(row.class_name) != "edit" || !row.handle)
                continue;
            if (row.style & ES_READONLY) {
                results.push_back(i + 1);
            } else if (random() % 10 < 7) {
                std::string text =
                    row.handle == &task1_eps_edit ? random_term_limit(random) : random_text(random);
                script += "set " + control(task.window, '#', i + 1) + " " + hex_of(text) + "\n";
            }
        }
        int button = task.buttons[random() % task.buttons.size()];
        script += "click " + control(task.window, ':', button) + "\n";
        for (int order : results)
            script += "get " + control(task.window, '#', order) + "\n";
    }
    return script;
}

// The same random script on the release program and on the program built here from the same
// sources: every text, box and exit code byte for byte the same.
TEST(ShippedProgram, GivesTheHostBuildsOutputOnRandomInputs) {
    const int clicks = 10000;
    std::mt19937 random(4863 + std::hash<std::string>()(deliverable_name) % 1000);
    std::string script = random_script(random, clicks);
    std::vector<std::string> shipped = play(script, shipped_program());
    std::vector<std::string> host = play(script, "");
    ASSERT_FALSE(host.empty());
    EXPECT_EQ(host.back(), "{\"exit\":0}");
    for (size_t i = 0; i < std::max(shipped.size(), host.size()); ++i) {
        std::string a = i < shipped.size() ? shipped[i] : "(none)";
        std::string b = i < host.size() ? host[i] : "(none)";
        ASSERT_EQ(a, b) << "output line " << i + 1 << " differs: release program, then host build";
    }
    size_t click_lines = 0;
    for (const std::string& line : host)
        click_lines += line.compare(0, 9, "{\"click\":") == 0;
    printf("%s: %zu clicks, %zu output lines alike\n", deliverable_name, click_lines, host.size());
}

} // namespace
