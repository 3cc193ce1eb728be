#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace torvane {
namespace {

std::optional<SimOptions> Parse(std::vector<std::string> args, std::string* errorOut = nullptr) {
    std::string error;
    auto o = ParseSimOptions(args, error);
    if (errorOut) *errorOut = error;
    return o;
}

TEST(SimOptions, DefaultsAreAHealthyVersion70Unit) {
    const auto o = Parse({});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->identity.dataVersion, ProgramVersion);
    EXPECT_FALSE(o->faults.silent);
    EXPECT_EQ(o->faults.dropEvery, 0);
    EXPECT_FALSE(o->help);
}

TEST(SimOptions, FaultOptionsReachTheKnobs) {
    const auto o = Parse({"--version",
                          "69",
                          "--drop-every",
                          "3",
                          "--corrupt-every",
                          "4",
                          "--noise-every",
                          "5",
                          "--silent",
                          "--late-ms",
                          "120",
                          "--seed",
                          "42",
                          "--quiet",
                          "--drop-probability",
                          "0.25",
                          "--wrong-echo-block",
                          "4",
                          "--wrong-verify-block",
                          "0",
                          "--stop-after-read-block",
                          "6",
                          "--header-version",
                          "71",
                          "--monitor-version",
                          "72"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->identity.dataVersion, 69);
    EXPECT_EQ(o->faults.dropEvery, 3);
    EXPECT_EQ(o->faults.corruptEvery, 4);
    EXPECT_EQ(o->faults.noiseEvery, 5);
    EXPECT_TRUE(o->faults.silent);
    EXPECT_EQ(o->faults.lateAnswerMs, 120);
    EXPECT_EQ(o->seed, 42u);
    EXPECT_TRUE(o->quiet);
    EXPECT_DOUBLE_EQ(o->faults.dropProbability, 0.25);
    EXPECT_EQ(o->faults.wrongEchoBlock, 4);
    EXPECT_EQ(o->faults.wrongVerifyBlock, 0);
    EXPECT_EQ(o->faults.stopAfterReadBlock, 6);
    EXPECT_EQ(o->faults.headerDataVersion, 71);
    EXPECT_EQ(o->faults.monitorDataVersion, 72);
}

TEST(SimOptions, BadArgumentsAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {{"--version"},
                                                       {"--version", "256"},
                                                       {"--version", "-1"},
                                                       {"--drop-every", "x"},
                                                       {"--late-ms", "12ms"},
                                                       {"--drop-probability", "1.5"},
                                                       {"--drop-probability", "nan"},
                                                       {"--wrong-echo-block", "0"},
                                                       {"--stop-after-read-block", "11"},
                                                       {"--frobnicate"},
                                                       {"--seed", ""},
                                                       {"--seed", "99999999999999999999999"}};
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(Parse(args, &error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

TEST(SimOptions, EngineCanBeHeldOrSwept) {
    auto o = Parse({"--hold", "6000,30"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->motion, EngineMotion::Hold);
    EXPECT_EQ(o->holdPoint.rpm, 6000);
    EXPECT_EQ(o->holdPoint.throttlePercent, 30);
    o = Parse({"--sweep"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->motion, EngineMotion::Sweep);
    std::string error;
    for (const char* bad : {"6000", "6000,101", "-1,20", "25001,0", "a,b", "6000,30,1", ""}) {
        EXPECT_FALSE(Parse({"--hold", bad}, &error)) << bad;
        EXPECT_NE(error.find("--hold"), std::string::npos) << bad;
    }
    EXPECT_FALSE(Parse({"--hold"}, &error));
}

}  // namespace
}  // namespace torvane
