// The release program itself (build/mingw-i686/bin/<deliverable>.exe), loaded into this 32-bit
// process and driven through the script runner: the end-to-end expectations, and random inputs
// against the same program built here from the same sources.
#include "shell/shell.h"
#include "tasks/tabulation/tabulation.h"
#include "tests/e2e/scenario.h"
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

std::string bytes_of(const std::string& hex) {
    std::string bytes;
    bytes_of_hex(hex, &bytes);
    return bytes;
}

// Enough JSON for the runner's output: objects, lists, strings with every escape the runner writes
// (a byte outside printable ASCII is \u00XX), integers, true, false and null.
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
    char c = *at < line.size() ? line[*at] : 0;
    if (c == '{' || c == '[') {
        for (++*at; *at < line.size() && line[*at] != (c == '{' ? '}' : ']');) {
            if (c == '{') {
                std::string key = parse_json(line, at).text;
                ++*at; // ':'
                value.fields.push_back({key, parse_json(line, at)});
            } else {
                value.items.push_back(parse_json(line, at));
            }
            *at += *at < line.size() && line[*at] == ',';
        }
        ++*at;
    } else if (c == '"') {
        static const std::string escaped = "\"\\/bfnrt", meant = "\"\\/\b\f\n\r\t";
        for (++*at; *at < line.size() && line[*at] != '"'; ++*at) {
            if (line[*at] != '\\' || *at + 1 >= line.size()) {
                value.text += line[*at];
            } else if (line[++*at] == 'u') {
                value.text += (char)std::stoi(line.substr(*at + 1, 4), nullptr, 16);
                *at += 4;
            } else if (escaped.find(line[*at]) != std::string::npos) {
                value.text += meant[escaped.find(line[*at])];
            }
        }
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

const char* const window_names[] = {"main", "task1", "task2", "task3"};

// The runner's output, taken line by line by the checks of the steps, which note each problem.
// An error object is a problem of the step that meets it.
struct Output {
    std::vector<std::string> lines;
    size_t at = 0;
    std::string problems;

    void problem(const std::string& what, const std::string& how) {
        problems += what + ": " + how + (at ? "\n    " + lines[at - 1] : "") + "\n";
    }
    // The next object that has `key`, or null with the problem noted.
    const std::string* next(const std::string& what, const char* key) {
        for (; at < lines.size(); ++at) {
            if (lines[at].find(std::string("{\"") + key + "\"") == 0)
                return &lines[at++];
            if (lines[at].find("{\"error\"") != 0)
                break;
            problems += what + ": " + lines[at] + "\n";
        }
        problems += what + ": no " + key + " object\n";
        return nullptr;
    }
    void expect(const std::string& what, const std::string& line) {
        const std::string* actual = next(what, line.substr(2, line.find('"', 2) - 2).c_str());
        if (actual && *actual != line)
            problem(what, "expected " + line);
    }
};

typedef std::function<void(Output&)> Check;

// One start of the program: its script and the checks of its output, in order.
struct ScriptedRun {
    std::string script;
    std::vector<Check> checks;
};

std::string answered(const char* verb, const std::string& target,
                     const std::vector<ExpectedBox>& boxes) {
    std::string list;
    for (const ExpectedBox& box : boxes)
        list += std::string(list.empty() ? "" : ",") + "{\"owner\":\"" + window_names[box.owner] +
                "\",\"text_hex\":\"" + hex_of(box.text) + "\",\"caption_null\":true,\"type\":64}";
    return "{\"" + std::string(verb) + "\":\"" + target + "\",\"boxes\":[" + list + "]}";
}

std::string control(const std::string& window, char mark, int number) {
    return window + std::string(1, mark) + std::to_string(number);
}

// What is wrong with a window of the `windows` output, or nothing: every window has a fixed size
// and a minimize box, a task window is created shown and owned by the main window.
std::string window_problem(const Json& w, const WindowCase& expected,
                           const std::vector<FieldText>& fields) {
    const std::vector<Json>& children = w["children"].items;
    bool main = w["window"].text == "main";
    long style = w["style"].number();
    if (w["class"].text != expected.class_name)
        return "class " + w["class"].text;
    if (w["owner"].text != (main ? "null" : "main"))
        return "owner " + w["owner"].text;
    if ((style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) ||
        (~style & (WS_MINIMIZEBOX | (main ? 0 : WS_VISIBLE))))
        return "style: fixed size, minimize box, a task window shown";
    if (!caption_matches(bytes_of(w["caption_hex"].text), expected.caption))
        return "caption";
    if ((expected.x != platform_placed &&
         (w["x"].number() != expected.x || w["y"].number() != expected.y)) ||
        w["width"].number() != expected.width || w["height"].number() != expected.height)
        return "place and size";
    if (children.size() != (size_t)expected.control_count)
        return "number of controls";
    for (const FieldText& field : fields)
        if (bytes_of(children[field.order - 1]["text_hex"].text) != field.text)
            return "text of control " + std::to_string(field.order);
    return "";
}

// The scenario (tests/e2e/scenario.h) as scripts for the runner, one per start of the program.
// Steps taken while a box is up are lines marked with a '>' for each box; the click that brought
// the box up prints its line once the box has been answered.
std::vector<ScriptedRun> shipped_runs(const Deliverable& d, const std::vector<Step>& steps) {
    std::vector<ScriptedRun> runs;
    std::vector<Check> held; // the lines of the clicks whose box is up
    for (const Step& step : steps) {
        if (step.act == Act::start)
            runs.emplace_back();
        ScriptedRun& run = runs.back();
        const std::string what = step.what, window = window_names[step.window];
        const std::string target = control(window, ':', step.id);
        const std::string launch = control("main", ':', step.id);
        auto act = [&](const std::string& line) {
            run.script += std::string(held.size(), '>') + (held.empty() ? "" : " ") + line + "\n";
        };
        auto expect = [&](const std::string& line) {
            run.checks.push_back([=](Output& out) { out.expect(what, line); });
        };
        // The one open window of this step, checked as asked.
        auto check_window = [&](std::function<std::string(const Json&)> check) {
            act("windows");
            run.checks.push_back([=](Output& out) {
                int count = 0;
                while (const std::string* line = out.next(what, "window")) {
                    Json w = parse_json(*line);
                    if (w["window"].text == window && count++ == 0)
                        if (std::string problem = check(w); !problem.empty())
                            out.problem(what, problem);
                    if (out.at == out.lines.size() || out.lines[out.at].find("{\"window\"") != 0)
                        break;
                }
                if (count != 1)
                    out.problem(what, std::to_string(count) + " windows " + window);
            });
        };
        switch (step.act) {
        case Act::start:
        case Act::screenshot: break;
        case Act::open:
            act("click " + launch);
            expect(answered("click", launch, {}));
            [[fallthrough]];
        case Act::check_main:
            check_window([&expected = window_of(d, step.window), fields = step.fields](
                             const Json& w) { return window_problem(w, expected, fields); });
            break;
        case Act::type:
            for (const FieldText& field : step.fields)
                act("set " + control(window, '#', field.order) + " " + hex_of(field.text));
            break;
        case Act::click:
            act("click " + target);
            expect(answered("click", target, step.boxes));
            break;
        case Act::click_and_hold: {
            act("click " + target);
            std::string line = answered("click", target, step.boxes);
            held.push_back([=](Output& out) { out.expect(what, line); });
            break;
        }
        case Act::answer:
            run.checks.push_back(held.back());
            held.pop_back();
            break;
        case Act::expect:
            for (const FieldText& field : step.fields) {
                std::string name = control(window, '#', field.order);
                act("get " + name);
                expect("{\"get\":\"" + name + "\",\"text_hex\":\"" + hex_of(field.text) + "\"}");
            }
            break;
        case Act::notice:
            act("click " + launch);
            expect(answered("click", launch, step.boxes));
            if (step.boxes.empty()) {
                act("focus");
                expect("{\"focus\":\"" + window + "\",\"last_flashed\":\"" + window + "\"}");
            }
            check_window([](const Json&) { return std::string(); });
            break;
        case Act::close:
            act("close " + window);
            expect(answered("close", window, {}));
            break;
        case Act::exit:
            for (; !held.empty(); held.pop_back())
                run.checks.push_back(held.back());
            expect("{\"exit\":0}");
            break;
        }
    }
    return runs;
}

// Every way the output differs from what the run expects.
std::string problems(const ScriptedRun& run, const std::vector<std::string>& lines) {
    Output out;
    out.lines = lines;
    for (const Check& check : run.checks)
        check(out);
    for (; out.at < lines.size(); ++out.at)
        out.problems += "unexpected output: " + lines[out.at] + "\n";
    return out.problems;
}

// The scenario's runs, or none with a failure when the deliverable has no expectations.
std::vector<ScriptedRun> end_to_end_runs() {
    const Deliverable* d = expectations_of(deliverable_name);
    if (!d) {
        ADD_FAILURE() << "no end-to-end expectations for " << deliverable_name
                      << " in tests/e2e/expectations.cpp";
        return {};
    }
    return shipped_runs(*d, scenario(*d, false));
}

TEST(ShippedProgram, MeetsTheEndToEndExpectations) {
    for (const ScriptedRun& run : end_to_end_runs())
        EXPECT_EQ(problems(run, play(run.script, shipped_program())), "") << "script:\n"
                                                                          << run.script;
}

// The runner escapes quotes, backslashes and bytes outside printable ASCII; all read back.
TEST(ShippedProgram, OutputReadsBackByteForByte) {
    const std::string word = "main:\x01\"\\\x7F\xB3/";
    std::vector<std::string> out = play("click " + word + "\n", "");
    ASSERT_FALSE(out.empty());
    EXPECT_NE(parse_json(out[0])["error"].text.find("'" + word + "'"), std::string::npos) << out[0];
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
    std::vector<ScriptedRun> runs = end_to_end_runs();
    ASSERT_FALSE(runs.empty());
    EXPECT_NE(problems(runs[0], play(runs[0].script, changed)), "");
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
            script += std::string("close ") + window_names[t + 1] + "\nclick " +
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
