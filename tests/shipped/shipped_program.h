// The release program of the deliverable this test links, loaded into this 32-bit process.
#pragma once

#include <string>
#include <vector>

// SHIPPED_PROGRAMS_DIR/<deliverable>.exe
std::string shipped_program();

// The runner's output for `script` played on the release program at `path`.
std::vector<std::string> play_shipped(const std::string& script,
                                      const std::string& path = shipped_program(),
                                      unsigned time_limit_milliseconds = 60000);
