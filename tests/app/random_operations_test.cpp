// Random sequences of a tuner's operations on the window with the built-in simulated unit, checked
// after every step (random_operations.h lists the checks). The seed is fixed so a failure repeats;
// TORVANE_RANDOM_SEED, TORVANE_RANDOM_SEQUENCES and TORVANE_RANDOM_STEPS choose another run.
#include "random_operations.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace torvane::random_ops {
namespace {

constexpr std::uint64_t kSeed = 20261210;

TEST(RandomOperations, SameSeedRunsTheSameSteps) {
    const std::uint64_t seed = SequenceSeed(kSeed, 7);
    const SequenceResult first = RunSequence(seed, 20);
    const SequenceResult second = RunSequence(seed, 20);
    EXPECT_EQ(first.steps, second.steps);
    EXPECT_EQ(first.check, second.check);
    EXPECT_NE(RunSequence(SequenceSeed(kSeed, 8), 20).steps, first.steps);
}

TEST(RandomOperations, EveryCheckHoldsOverShortRuns) {
    RunOptions opts;
    opts.seed = SeedFromEnvironment(kSeed);
    opts.sequences = NumberFromEnvironment("TORVANE_RANDOM_SEQUENCES", 40);
    opts.steps = NumberFromEnvironment("TORVANE_RANDOM_STEPS", 50);
    // Violations of the faults found and not fixed yet (FaultsAwaitingFix) are counted apart.
    opts.awaitingFix = FaultsAwaitingFix();
    std::ostringstream report;
    opts.out = &report;
    const RunSummary summary = RunSequences(opts);
    std::cout << "seed " << opts.seed << ": " << summary.sequences << " sequences, " << summary.steps
              << " steps, " << summary.violations.size() << " violations, " << summary.known.size()
              << " awaiting a fix, " << summary.seconds << " s\n";
    for (const Violation& v : summary.known)
        std::cout << "  awaiting a fix: " << v.knownFault << " (sequence " << v.sequence << ", " << v.check
                  << " after step " << v.steps.size() << ")\n";
    EXPECT_TRUE(summary.violations.empty()) << report.str();
    // The run reaches every operation (but the rare selectors of the special setting and the captures): none
    // is lost to a control it never finds or a key that never arrives.
    for (const char* op :
         {"page",          "type",        "arrow",    "check box", "all box",
          "radio",         "jet mode",    "tool",     "column",    "cells",
          "undo",          "redo",        "undo key", "redo key",  "new",
          "new page",      "type change", "save",     "open",      "open page",
          "restore point", "read",        "verify",   "program",   "programming after change",
          "language",      "hold"})
        EXPECT_GT(summary.done.contains(op) ? summary.done.at(op) : 0, 0) << op;
}

}  // namespace
}  // namespace torvane::random_ops
