#pragma once
// Random sequences of what a tuner does with the window, against the built-in simulated unit: typing
// into fields and map cells, arrows, check boxes and selectors, page switches, the map tools and the
// cell operations, undo and redo (also by key from a field), New, the type change, files and restore
// points, Read, Verify and Program, programming after change, the language. After every step the
// ticks run until the link is idle, then the window is checked:
//   unit-holds-image      with programming after change on (from the step that ticks it, or once the
//                         unit has held them), the unit holds the window's blocks 1..10 (unless a
//                         programming question of the step was answered No);
//   unit-type-changed     the unit's motorcycle type changes only through Program, New, the type
//                         change, Open, a restore point or a programming question answered Yes;
//   undo-redo             Undo then Redo gives back the image; one Undo of an edit changes only the
//                         bytes that edit changed; every operation leaves the image in the history;
//   page-equals-image     the page-to-image pass on the state shown changes no byte;
//   image-normalized      the image is its own normalization;
// and besides: a Cancel of the type change changes nothing, Ctrl+Z and Ctrl+Alt+Z reach the
// configuration's history from a field, a transfer ends, a transfer to the fault-free unit passes.
// A sequence is a function of its seed; a violation is reported with every step as run and with the
// shortest sub-sequence found that still shows it.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace torvane::random_ops {

struct Violation {
    std::string check;   // the name of the broken check, as listed above
    std::string detail;  // what differed, where
    std::uint64_t runSeed = 0;
    int sequence = 0;
    std::uint64_t sequenceSeed = 0;
    std::string breakingOp;             // the operation of the step that broke it
    std::vector<std::string> steps;     // every step as run, up to the one that broke the check
    std::vector<std::string> shortest;  // the shortest sequence found that breaks the same check
    std::string shortestDetail;         // what differed at its end
    std::string knownFault;             // the fault awaiting a fix that explains it, if one does
};

// A fault the random test has found and that waits for its fix: the violations it explains are
// counted apart, so a short run stays green while the fix is being made.
struct KnownFault {
    std::string name;  // the fault, as the report names it
    std::function<bool(const Violation&)> explains;
};

// The faults found so far that are not fixed yet. Remove an entry once its fix is in.
std::vector<KnownFault> FaultsAwaitingFix();

struct RunOptions {
    std::uint64_t seed = 1;
    int first = 0;  // the number of the first sequence: a violation's sequence alone is run again by it
    int sequences = 40;
    int steps = 50;
    // Look for a shorter sequence showing each violation (replays the sequence without some of its steps).
    bool shrink = true;
    int shrinkReplays = 150;
    // Violations that these explain are counted apart (a sequence that shows one still ends there).
    // A violation is shrunk once per check and operation in a run; one of a known fault only with
    // shrinkKnown.
    std::vector<KnownFault> awaitingFix;
    bool shrinkKnown = false;
    // Where violations (and, with progress on, a line per sequence) are written; none when null.
    std::ostream* out = nullptr;
    bool progress = false;
};

struct RunSummary {
    int sequences = 0;
    long long steps = 0;
    std::vector<Violation> violations;  // those no known fault explains
    std::vector<Violation> known;       // those explained by a fault awaiting its fix
    double seconds = 0;
    // How often each operation was done, and how often the window did not offer it when its turn came
    // (its control hidden or disabled, its key lost); how many steps asked whether to program.
    std::map<std::string, long long> done, notOffered;
    long long programQuestions = 0;
};

// One sequence by its own seed, without shrinking: its steps as run and what broke, if anything.
struct SequenceResult {
    std::vector<std::string> steps;
    std::string check;  // empty when every check held
    std::string detail;
    std::string breakingOp;
};
SequenceResult RunSequence(std::uint64_t sequenceSeed, int steps);

// Runs opts.sequences sequences of opts.steps steps from sequence opts.first on; sequence i uses
// SequenceSeed(opts.seed, i).
// Needs a QApplication.
RunSummary RunSequences(const RunOptions& opts);

std::uint64_t SequenceSeed(std::uint64_t runSeed, int sequence);

// The runs' seed: TORVANE_RANDOM_SEED when set (decimal or 0x hex), else fallback.
std::uint64_t SeedFromEnvironment(std::uint64_t fallback);
// A whole number from the environment variable name, else fallback.
int NumberFromEnvironment(const char* name, int fallback);

// The violation as the report prints it: seed, sequence, check, the steps, the shortest sequence.
std::string Describe(const Violation& v);

}  // namespace torvane::random_ops
