// The end-to-end scenario (tests/e2e/scenario.h) as scripts for the runner (script_player.h), and
// the check of what the runner prints. The host tests play it on the program they are built into,
// the shipped tests on the release programs.
#pragma once

#include "tests/shipped/script_player.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The runner's output, one line each, for `script` played while `run` runs the program: by default
// the one built into this test.
std::vector<std::string> play(const std::string& script, const ProgramRun& run = nullptr,
                              unsigned time_limit_milliseconds = 60000);

// Enough JSON for the runner's output: objects, lists, strings with every escape the runner writes
// (a byte outside printable ASCII is \u00XX), integers, true, false and null.
struct Json {
    std::string text; // strings; numbers and literals as written
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> fields;

    const Json& operator[](const std::string& key) const;
    long number() const;
};
Json parse_json(const std::string& line);

struct Output;

// One start of the program: its script and the checks of its output, in order.
struct ScriptedRun {
    std::string script;
    std::vector<std::function<void(Output&)>> checks;
};

// The scenario of the deliverable built into this test, or none with a failure when it has no
// expectations.
std::vector<ScriptedRun> end_to_end_runs();

// Every way the output differs from what the run expects; empty when it does not.
std::string problems(const ScriptedRun& run, const std::vector<std::string>& output);
