// Plays a script of user actions against a program that runs its message loop on the window-system
// stand-in, and prints what happened: one JSON object per line. The script language and its output
// are described in README.md, "The shipped programs under test".
#pragma once

#include <cstdio>
#include <functional>
#include <istream>
#include <string>

#include "tests/shipped/runner_output.h"

// Starts the program and returns once it has exited, with its exit code; false, with the reason,
// when it ended otherwise.
typedef std::function<bool(unsigned* exit_code, std::string* reason)> ProgramRun;

// Plays `script` while `run` runs the program; returns the number of error objects printed.
// A click or close that takes longer than `time_limit_milliseconds` prints a timeout error and ends
// the process, as does a crash of the program.
int play_script(std::istream& script, FILE* out, const ProgramRun& run,
                unsigned time_limit_milliseconds = 60000);
