// The end-to-end scenario (tests/e2e/scenario.h) as scripts for the runner (script_player.h), and
// the check of what the runner prints. The host tests play it on the program they are built into,
// the shipped tests on the release programs.
#pragma once

#include "tests/shipped/script_player.h"
#include "tests/shipped/window_snapshot.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The runner's output, one line each, for `script` played while `run` runs the program: by default
// the one built into this test.
std::vector<std::string> play(const std::string& script, const ProgramRun& run = nullptr,
                              unsigned time_limit_milliseconds = 60000);

struct Output;

// One start of the program: its script and the checks of its output, in order.
struct ScriptedRun {
    std::string script;
    std::vector<std::function<void(Output&)>> checks;
};

// The scenario of the deliverable built into this test, or none with a failure when it has no
// expectations or window snapshot.
std::vector<ScriptedRun> end_to_end_runs();

// Every way the output differs from what the run expects; empty when it does not.
std::string problems(const ScriptedRun& run, const std::vector<std::string>& output);
