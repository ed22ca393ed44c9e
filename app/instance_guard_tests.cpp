#include "app/instance_guard.h"

#include <gtest/gtest.h>

#include "runtime/fake/fake_runtime.h"

namespace {

rt::ProcessList ProcessesNamed(std::vector<std::string> names) {
    std::vector<rt::ProcessInfo> processes;
    uint32_t id = 100;
    for (auto& name : names) processes.push_back({id++, name});
    return rt::ProcessList(processes);
}

struct GuardCase {
    std::vector<std::string> names;
    int32_t expected;
};

class InstanceGuardTest : public testing::TestWithParam<GuardCase> {};

TEST_P(InstanceGuardTest, CountsExactCaseSensitiveMatches) {
    EXPECT_EQ(app::CountRunningInstances(ProcessesNamed(GetParam().names)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, InstanceGuardTest,
    testing::Values(GuardCase{{}, 0},                                                    // no snapshot
                    GuardCase{{"explorer.exe", "Sonitra.exe"}, 1},                       // this copy alone
                    GuardCase{{"Sonitra.exe", "wine.exe", "Sonitra.exe"}, 2},             // a second copy
                    GuardCase{{"Sonitra.EXE", "sonitra.exe", "SONITRA.EXE"}, 0},         // case differs
                    GuardCase{{"Sonitra2.exe", "Sonitra.exe ", " Sonitra.exe", ""}, 0},  // other names, empty
                    GuardCase{{"C:\\x\\Sonitra.exe"}, 0}));                              // names carry no folder

TEST(RunTimeArray, ChecksBoundsWithCodesFourAndOne) {
    const rt::ProcessList list = ProcessesNamed({"a.exe", "b.exe"});
    EXPECT_EQ(list.At(1).name, "a.exe");
    EXPECT_EQ(list.At(2).name, "b.exe");
    for (auto [index, code] : {std::pair{0, 4}, {-5, 4}, {3, 1}}) {
        try {
            list.At(index);
            ADD_FAILURE() << "index " << index << " was accepted";
        } catch (const rt::fake::ProgramEnded& ended) {
            EXPECT_EQ(ended.exitCode, -1);
            EXPECT_EQ(ended.errorCode, code);
        }
    }
}

}  // namespace
