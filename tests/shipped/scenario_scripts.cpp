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

const Json& Json::operator[](const std::string& key) const {
    static const Json missing = {"(missing)", {}, {}};
    for (const auto& field : fields)
        if (field.first == key)
            return field.second;
    return missing;
}

long Json::number() const {
    return std::atol(text.c_str());
}

namespace {

Json parse_value(const std::string& line, size_t* at) {
    Json value;
    char c = *at < line.size() ? line[*at] : 0;
    if (c == '{' || c == '[') {
        for (++*at; *at < line.size() && line[*at] != (c == '{' ? '}' : ']');) {
            if (c == '{') {
                std::string key = parse_value(line, at).text;
                ++*at; // ':'
                value.fields.push_back({key, parse_value(line, at)});
            } else {
                value.items.push_back(parse_value(line, at));
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

} // namespace

Json parse_json(const std::string& line) {
    size_t at = 0;
    return parse_value(line, &at);
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

const char* const window_names[] = {"main", "task1", "task2", "task3"};
typedef std::function<void(Output&)> Check;

std::string bytes_of(const std::string& hex) {
    std::string bytes;
    bytes_of_hex(hex, &bytes);
    return bytes;
}

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

// What is wrong with a window of the `windows` output, or nothing: every window has a fixed size,
// a close box and a minimize box, a task window is created shown and owned by the main window.
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
        (~style & (WS_SYSMENU | WS_MINIMIZEBOX | (main ? 0 : WS_VISIBLE))))
        return "style: fixed size, close and minimize boxes, a task window shown";
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
std::vector<ScriptedRun> scripted_runs(const Deliverable& d, const std::vector<Step>& steps) {
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
        case Act::screenshot:
        case Act::windows: break; // window_snapshot_<deliverable> compares the runner's listing
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
                    if (const std::string* line = out.next(what, "get"))
                        if (bytes_of(parse_json(*line)["text_hex"].text).find(part) ==
                            std::string::npos)
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

// The scenario's runs, or none with a failure when the deliverable has no expectations.
std::vector<ScriptedRun> end_to_end_runs() {
    const Deliverable* d = expectations_of(deliverable_name);
    if (!d) {
        ADD_FAILURE() << "no end-to-end expectations for " << deliverable_name
                      << " in tests/e2e/expectations.cpp";
        return {};
    }
    return scripted_runs(*d, scenario(*d, false));
}
