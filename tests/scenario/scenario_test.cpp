// The end-to-end scenario (tests/e2e/scenario.h) played on this build through the script runner,
// as the shipped tests play it on the release programs and the Wine tests on the real windows.
#include "tests/shipped/scenario_scripts.h"

#include <gtest/gtest.h>

namespace {

TEST(EndToEndScenario, MeetsTheExpectations) {
    for (const ScriptedRun& run : end_to_end_runs()) {
        std::string found = problems(run, play(run.script)); // printed as text, not escaped
        EXPECT_TRUE(found.empty()) << found << "script:\n" << run.script;
    }
}

// The runner escapes quotes, backslashes and bytes outside printable ASCII; all read back.
TEST(EndToEndScenario, RunnerOutputReadsBackByteForByte) {
    const std::string word = "main:\x01\"\\\x7F\xB3/";
    std::vector<std::string> out = play("click " + word + "\n");
    ASSERT_FALSE(out.empty());
    EXPECT_NE(parse_json(out[0])["error"].text.find("'" + word + "'"), std::string::npos) << out[0];
}

} // namespace
