// The release program itself (build/mingw-i686/bin/<deliverable>.exe), loaded into this 32-bit
// process and driven through the script runner: the end-to-end expectations, and random inputs
// against the same program built here from the same sources.
#include "shell/shell.h"
#include "tasks/tabulation/tabulation.h"
#include "tests/e2e/scenario.h"
#include "tests/shipped/pe_loader.h"
#include "tests/shipped/scenario_scripts.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <gtest/gtest.h>
#include <unistd.h>

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

// The runner's output for `script` played on the release program at `path`.
std::vector<std::string> play_shipped(const std::string& script, const std::string& path,
                                      unsigned time_limit_milliseconds = 60000) {
    LoadedProgram program;
    std::string reason;
    if (!load_program(path.c_str(), &program, &reason)) {
        ADD_FAILURE() << path << ": " << reason << " (build the mingw-i686 preset first)";
        return {};
    }
    std::vector<std::string> output = play(
        script,
        [&](unsigned* exit_code, std::string* why) {
            return run_program_entry(program, exit_code, why);
        },
        time_limit_milliseconds);
    unload_program(&program);
    return output;
}

TEST(ShippedProgram, MeetsTheEndToEndExpectations) {
    for (const ScriptedRun& run : end_to_end_runs()) {
        std::string found = problems(run, play_shipped(run.script, shipped_program()));
        EXPECT_TRUE(found.empty()) << found << "script:\n" << run.script;
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
    // A name of this process's own: the temporary folder is shared with other users and runs.
    const std::string changed =
        testing::TempDir() + "changed_practice_v4-" + std::to_string(getpid()) + ".exe";
    ASSERT_TRUE(std::ofstream(changed, std::ios::binary) << bytes) << "cannot write " << changed;
    std::vector<ScriptedRun> runs = end_to_end_runs();
    ASSERT_FALSE(runs.empty());
    EXPECT_NE(problems(runs[0], play_shipped(runs[0].script, changed)), "");
    std::remove(changed.c_str());
}

// A click that keeps the program busy past the time limit ends the run with a timeout error.
TEST(ShippedProgram, AClickPastTheTimeLimitEndsTheRun) {
    if (!is_deliverable("practice_v6"))
        GTEST_SKIP() << "shown on one program";
    // Every row sums a million terms, until the table is full.
    std::string script = "click main:" + std::to_string(profile.task_windows[0].launch_id) +
                         "\nset task1#8 " + hex_of("1e400") + "\nset task1#10 " + hex_of("1e300") +
                         "\nclick task1:" + std::to_string(profile.tabulation.execute_id) + "\n";
    EXPECT_EXIT(play_shipped(script, shipped_program(), 50), testing::ExitedWithCode(3),
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

std::string control(const std::string& window, char mark, int number) {
    return window + mark + std::to_string(number);
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
            script += std::string("close ") + tasks[t].window + "\nclick " +
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
    std::vector<std::string> shipped = play_shipped(script, shipped_program());
    std::vector<std::string> host = play(script);
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
