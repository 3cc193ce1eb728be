// The long run of random tuner operations on the window, offscreen, against the built-in simulated
// unit: the driver of the random test (tests/app/random_operations.h) with many more sequences.
// Prints every violation with its steps and the shortest sequence found (those of the faults awaiting a
// fix marked so), how often each operation ran, then one summary line: sequences and steps run,
// violations, wall time. Exits 1 when a check broke in a way no fault awaiting a fix explains.
//
//   build/bin/random_operations_bench [--sequences N] [--first I] [--steps N] [--seed S]
//                                    [--no-shrink] [--progress]
//
// --first I --sequences 1 runs sequence I of a seed's run alone, as a violation names it.
// The seed defaults to TORVANE_RANDOM_SEED, else 1.

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "random_operations.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    torvane::random_ops::RunOptions opts;
    opts.seed = torvane::random_ops::SeedFromEnvironment(1);
    opts.sequences = 2000;
    opts.steps = 50;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--sequences" && hasValue) {
            opts.sequences = std::atoi(argv[++i]);
        } else if (arg == "--first" && hasValue) {
            opts.first = std::atoi(argv[++i]);
        } else if (arg == "--steps" && hasValue) {
            opts.steps = std::atoi(argv[++i]);
        } else if (arg == "--seed" && hasValue) {
            opts.seed = std::strtoull(argv[++i], nullptr, 0);
        } else if (arg == "--no-shrink") {
            opts.shrink = false;
        } else if (arg == "--progress") {
            opts.progress = true;
        } else {
            std::cerr << "usage: random_operations_bench [--sequences N] [--first I] [--steps N] [--seed S] "
                         "[--no-shrink] [--progress]\n";
            return 2;
        }
    }
    opts.out = &std::cout;
    // The faults awaiting their fix are reported like the others; the exit code counts only new ones.
    opts.awaitingFix = torvane::random_ops::FaultsAwaitingFix();
    opts.shrinkKnown = true;

    const torvane::random_ops::RunSummary s = torvane::random_ops::RunSequences(opts);
    std::cout << "operations (done / not offered):";
    for (const auto& [op, n] : s.done)
        std::cout << " " << op << " " << n << "/" << (s.notOffered.contains(op) ? s.notOffered.at(op) : 0)
                  << ";";
    std::cout << "\nsteps that asked whether to program: " << s.programQuestions << "\n";
    std::cout << "seed " << opts.seed << ": " << s.sequences << " sequences, " << s.steps << " steps, "
              << s.violations.size() + s.known.size() << " violations (" << s.known.size()
              << " of faults awaiting a fix), " << s.seconds << " s wall time\n";
    return s.violations.empty() ? 0 : 1;
}
