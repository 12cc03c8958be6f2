#include "tests/shipped/scenario_scripts.h"

#include "shell/shell.h"
#include "tests/e2e/behaviours.h"
#include "tests/e2e/scenario.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

std::vector<std::string> play(const std::string& script, const ProgramRun& run,
                              unsigned time_limit_milliseconds) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    std::istringstream in(script);
    ProgramRun built_in = [](unsigned* exit_code, std::string*) {
        reset_program_state();
        *exit_code = (unsigned)app_main(GetModuleHandleA(0));
        return true;
    };
    play_script(in, out, run ? run : built_in, time_limit_milliseconds);
    fclose(out);
    std::istringstream printed(std::string(buffer, size));
    free(buffer);
    std::vector<std::string> lines;
    for (std::string line; std::getline(printed, line);)
        lines.push_back(line);
    return lines;
}

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

namespace {

typedef std::function<void(Output&)> Check;

std::string answered(const char* verb, const std::string& target,
                     const std::vector<ExpectedBox>& boxes) {
    std::string list;
    for (const ExpectedBox& box : boxes)
        list += std::string(list.empty() ? "" : ",") + "{\"owner\":\"" + window_name(box.owner) +
                "\",\"text_hex\":\"" + hex_of(box.text) + "\",\"caption_null\":true,\"type\":64}";
    return "{\"" + std::string(verb) + "\":\"" + target + "\",\"boxes\":[" + list + "]}";
}

std::string control(const std::string& window, char mark, int number) {
    return window + std::string(1, mark) + std::to_string(number);
}

// What is wrong with a window of the `windows` output: every way it differs from its snapshot,
// and whether it has a fixed size, a close box and a minimize box, and, a task window, is created
// shown.
std::string window_problem(const ShownWindow& shown, const ShownWindow& expected) {
    std::string problems;
    for (const std::string& difference : window_differences(expected, shown, false))
        problems += (problems.empty() ? "" : "; ") + difference;
    unsigned long style = shown.window.style;
    bool main = shown.name == "main";
    if ((style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) ||
        (~style & (WS_SYSMENU | WS_MINIMIZEBOX | (main ? 0 : WS_VISIBLE))))
        problems += "; style: fixed size, close and minimize boxes, a task window shown";
    return problems;
}

// The scenario (tests/e2e/scenario.h) as scripts for the runner, one per start of the program.
// Steps taken while a box is up are lines marked with a '>' for each box; the click that brought
// the box up prints its line once the box has been answered.
std::vector<ScriptedRun> scripted_runs(const WindowSnapshot& snapshot,
                                       const std::vector<Step>& steps) {
    std::vector<ScriptedRun> runs;
    std::vector<Check> held; // the lines of the clicks whose box is up
    for (const Step& step : steps) {
        if (step.act == Act::start)
            runs.emplace_back();
        ScriptedRun& run = runs.back();
        const std::string what = step.what, window = window_name(step.window);
        const std::string target = control(window, ':', step.id);
        const std::string launch = control("main", ':', step.id);
        auto act = [&](const std::string& line) {
            run.script += std::string(held.size(), '>') + (held.empty() ? "" : " ") + line + "\n";
        };
        auto expect = [&](const std::string& line) {
            run.checks.push_back([=](Output& out) { out.expect(what, line); });
        };
        // The open windows, checked as asked: what is wrong with them, or nothing.
        auto check_windows =
            [&](std::function<std::string(const std::vector<ShownWindow>&)> check) {
                act("windows");
                run.checks.push_back([=](Output& out) {
                    // One listing: the windows that follow its first, up to the next listing's.
                    std::vector<ShownWindow> windows(1);
                    const std::string* line = out.next(what, "window");
                    if (!line || !window_of_listing(*line, &windows[0]))
                        windows.clear();
                    for (ShownWindow next; !windows.empty() && out.at < out.lines.size() &&
                                           window_of_listing(out.lines[out.at], &next) &&
                                           next.name != windows[0].name;
                         ++out.at)
                        windows.push_back(next);
                    if (std::string problem = check(windows); !problem.empty())
                        out.problems += what + ": " + problem + "\n";
                });
            };
        // The step's window, the one of its name, as its snapshot has it.
        auto check_window = [&](bool with_snapshot) {
            const ShownWindow* found = snapshot.find(window);
            bool listed = found != nullptr;
            ShownWindow expected = listed ? *found : ShownWindow();
            check_windows([=](const std::vector<ShownWindow>& windows) {
                std::vector<const ShownWindow*> named;
                for (const ShownWindow& shown : windows)
                    if (shown.name == window)
                        named.push_back(&shown);
                if (named.size() != 1)
                    return std::to_string(named.size()) + " windows " + window;
                if (!with_snapshot)
                    return std::string();
                if (!listed)
                    return "no window " + window + " in the window snapshot";
                return window_problem(*named[0], expected);
            });
        };
        switch (step.act) {
        case Act::start:
        case Act::screenshot: break;
        case Act::windows:
            check_windows([expected = snapshot.windows](const std::vector<ShownWindow>& windows) {
                std::string problems;
                if (windows.size() != expected.size())
                    problems = std::to_string(windows.size()) + " windows, not " +
                               std::to_string(expected.size());
                for (size_t i = 0; i < windows.size() && i < expected.size(); ++i)
                    if (windows[i].name != expected[i].name)
                        problems += "; window " + std::to_string(i + 1) + " is " + windows[i].name;
                    else if (std::string problem = window_problem(windows[i], expected[i]);
                             !problem.empty())
                        problems += "; " + problem;
                return problems;
            });
            break;
        case Act::open:
            act("click " + launch);
            expect(answered("click", launch, {}));
            [[fallthrough]];
        case Act::check_main: check_window(true); break;
        case Act::type:
            for (const FieldText& field : step.fields)
                act("type " + control(window, '#', field.order) + " " + hex_of(field.text));
            for (const FieldText& field : step.fields) {
                std::string name = control(window, '#', field.order);
                act("get " + name);
                expect("{\"get\":\"" + name + "\",\"text_hex\":\"" +
                       hex_of(typed_text(field.text)) + "\"}");
            }
            break;
        case Act::click:
            for (int time = 0; time < step.times; ++time) {
                act("click " + target);
                expect(answered("click", target, step.boxes));
            }
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
        case Act::expect_part:
            for (const FieldText& field : step.fields) {
                act("get " + control(window, '#', field.order));
                run.checks.push_back([=, part = std::string(field.text)](Output& out) {
                    std::string text;
                    const std::string* line = out.next(what, "get");
                    if (line && (!bytes_of_hex(parse_json(*line)["text_hex"].text, &text) ||
                                 text.find(part) == std::string::npos))
                        out.problem(what, "the text does not hold '" + part + "'");
                });
            }
            break;
        case Act::classes:
            act("classes");
            for (const ClassSetup& c : class_setups())
                expect("{\"class\":\"" + std::string(c.name) +
                       "\",\"style\":" + std::to_string(c.style) + ",\"icon\":\"" + c.icon +
                       "\",\"small_icon\":\"" + c.small_icon + "\",\"cursor\":\"" + c.cursor +
                       "\",\"background\":" + std::to_string(c.background) + "}");
            break;
        case Act::notice:
            act("click " + launch);
            expect(answered("click", launch, step.boxes));
            if (step.boxes.empty()) {
                act("focus");
                expect("{\"focus\":\"" + window + "\",\"last_flashed\":\"" + window + "\"}");
            }
            check_window(false);
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

} // namespace

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

// The scenario's runs, or none with a failure when the deliverable has no expectations or window
// snapshot.
std::vector<ScriptedRun> end_to_end_runs() {
    const Deliverable* d = expectations_of(deliverable_name);
    if (!d) {
        ADD_FAILURE() << "no end-to-end expectations for " << deliverable_name
                      << " in tests/e2e/expectations.cpp";
        return {};
    }
    WindowSnapshot snapshot;
    std::string problem;
    if (!read_window_snapshot(std::string(WINDOW_SNAPSHOTS) + "/" + deliverable_name + ".txt",
                              &snapshot, &problem)) {
        ADD_FAILURE() << problem;
        return {};
    }
    return scripted_runs(snapshot, scenario(*d, false));
}
