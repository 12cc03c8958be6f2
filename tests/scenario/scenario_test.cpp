// The end-to-end scenario (tests/e2e/scenario.h) played on this build through the script runner,
// as the shipped tests play it on the release programs and the Wine tests on the real windows.
#include "tests/e2e/behaviours.h"
#include "tests/shipped/scenario_scripts.h"
#include "tests/support/deliverable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>

namespace {

TEST(EndToEndScenario, MeetsTheExpectations) {
    for (const ScriptedRun& run : end_to_end_runs()) {
        std::string found = problems(run, play(run.script)); // printed as text, not escaped
        EXPECT_TRUE(found.empty()) << found << "script:\n" << run.script;
    }
}

// Each behaviour of the inventory that the deliverable has is walked by a step of its scenario,
// and no step walks one that it does not have.
TEST(EndToEndScenario, WalksEveryBehaviourOfTheInventory) {
    const Deliverable* d = expectations_of(deliverable_name);
    ASSERT_NE(d, nullptr);
    ASSERT_NE(behaviour_cases_of(deliverable_name), nullptr)
        << "no cases of " << deliverable_name << " in tests/e2e/behaviours.cpp";
    std::set<std::string> walked;
    for (const Step& step : scenario(*d, false)) {
        std::istringstream names(step.walks);
        for (std::string name; names >> name;)
            walked.insert(name);
    }
    int has = 0;
    for (const Behaviour& behaviour : behaviour_inventory()) {
        bool listed = has_behaviour(behaviour, deliverable_name);
        has += listed;
        EXPECT_EQ(walked.erase(behaviour.name) == 1, listed)
            << behaviour.name << " (" << behaviour.what << ") is "
            << (listed ? "walked by no step" : "not the deliverable's, but a step walks it");
    }
    for (const std::string& name : walked)
        ADD_FAILURE() << "a step walks " << name << ", which the inventory does not list";
    std::printf("%s has %d of the inventory's %zu behaviours\n", deliverable_name, has,
                behaviour_inventory().size());
}

// The runner escapes quotes, backslashes and bytes outside printable ASCII; all read back.
TEST(EndToEndScenario, RunnerOutputReadsBackByteForByte) {
    const std::string word = "main:\x01\"\\\x7F\xB3/";
    std::vector<std::string> out = play("click " + word + "\n");
    ASSERT_FALSE(out.empty());
    EXPECT_NE(parse_json(out[0])["error"].text.find("'" + word + "'"), std::string::npos) << out[0];
}

} // namespace
