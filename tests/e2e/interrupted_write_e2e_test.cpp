// The programs killed (SIGKILL) at random moments while they write their files: the configurator
// while it closes (settings file and image backup), torvane-cli while it writes a parameter file
// (defaults -o, normalize over the file itself), the service batch (save-all-new, compare-all-new) and
// a read from the simulated unit (its restore point, then its parameter file).
// After every kill each file must be the old one or the new one, whole. The moments are seeded
// (TORVANE_KILL_SEED, default 1) and spread over the time a complete run of the writer takes. Writing
// a file takes microseconds, too short for a random kill to land in; so the programs run with
// slow_writes preloaded, which writes every file in two halves with a pause after each: a writer that
// writes in place then leaves a half-written file behind in most rounds whose kill lands in it.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "e2e/sim_process.h"
#include "editor/page_catalogue.h"
#include "files/atomic_write.h"
#include "files/default_image.h"
#include "files/parameter_file.h"
#include "files/restore_points.h"
#include "files/service_batch.h"
#include "image/catalogue.h"
#include "image/device_image.h"

#if defined(TORVANE_HAVE_SHELL_CORE)
#include "settings/ini_file.h"
#include "settings/platform_paths.h"
#include "settings/startup_settings.h"
#endif

namespace torvane {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Env = std::vector<std::pair<std::string, std::string>>;

constexpr int Rounds = 20;

// The environment that slows the children's file writes down (nothing in a sanitizer build).
Env SlowWrites() {
#ifdef TORVANE_SLOW_WRITES_PATH
    constexpr const char* SlowWritePauseUs = "2000";
    return {{"LD_PRELOAD", TORVANE_SLOW_WRITES_PATH}, {"TORVANE_SLOW_WRITES_US", SlowWritePauseUs}};
#else
    return {};
#endif
}

std::uint32_t KillSeed() {
    const char* s = std::getenv("TORVANE_KILL_SEED");
    return s != nullptr && *s != '\0' ? static_cast<std::uint32_t>(std::strtoul(s, nullptr, 10)) : 1u;
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
}

std::string Contents(const fs::path& path) {
    return ReadWholeFile(path.string()).value_or(std::string{});
}

// One file a writer replaces: what it held before, and how to recognise the whole new file.
struct Expected {
    fs::path path;
    std::string old;
    std::function<bool(const std::string&)> isNew;
};

Expected ExactlyOneOf(fs::path path, std::string old, std::string fresh) {
    return {std::move(path), std::move(old),
            [fresh = std::move(fresh)](const std::string& s) { return s == fresh; }};
}

// How the files of one writer were found after the kills.
struct Tally {
    int killed = 0;                   // rounds in which the kill came before the program ended
    int old = 0;                      // files found as they were before
    int fresh = 0;                    // files found completely rewritten
    std::vector<std::string> broken;  // files neither old nor new, with the round

    void check(const std::vector<Expected>& files, int round) {
        for (const Expected& e : files) {
            const std::optional<std::string> now = ReadWholeFile(e.path.string());
            if (!now) {
                broken.push_back("round " + std::to_string(round) + ": " + e.path.string() + " is missing");
            } else if (*now == e.old) {
                ++old;
            } else if (e.isNew(*now)) {
                ++fresh;
            } else {
                broken.push_back("round " + std::to_string(round) + ": " + e.path.string() + " is torn (" +
                                 std::to_string(now->size()) + " bytes)");
            }
        }
    }
    void report(const std::string& writer) const {
        std::printf(
            "[kill] %-34s %2d rounds, killed while running in %2d; files old %4d, new %4d, torn %zu\n",
            writer.c_str(), Rounds, killed, old, fresh, broken.size());
    }
};

// A child with its own working directory and environment, output thrown away.
pid_t Launch(const std::string& program, std::vector<std::string> args, const fs::path& cwd,
             const Env& env = {}) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(cwd.c_str()) != 0) ::_exit(126);
        for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
        std::FILE* null = std::fopen("/dev/null", "w");
        if (null != nullptr) {
            ::dup2(::fileno(null), STDOUT_FILENO);
            ::dup2(::fileno(null), STDERR_FILENO);
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

// Waits for the child; true when it ended by itself (rather than by the kill).
bool Reap(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return !(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

void KillAfter(pid_t pid, std::chrono::microseconds delay, const Clock::time_point& from) {
    std::this_thread::sleep_until(from + delay);
    ::kill(pid, SIGKILL);
}

// --- torvane-cli ------------------------------------------------------------------------------------

#ifdef TORVANE_CLI_PATH

class CliKill : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("torvane-kill-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the command to its end once in a fresh directory (prepared by `prepare`) and returns how
    // long it took; then, round after round, prepares again, starts it and kills it at a random
    // moment of that time, and checks the files. `expected` gives the files with their old contents.
    Tally killRounds(const std::vector<std::string>& args, const std::function<void()>& prepare,
                     const std::function<std::vector<Expected>()>& expected) {
        std::mt19937 rng(KillSeed());
        Tally tally;
        prepare();
        const Clock::time_point start = Clock::now();
        const pid_t calibration = Launch(TORVANE_CLI_PATH, args, dir_, SlowWrites());
        EXPECT_TRUE(Reap(calibration));
        const auto full = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
        std::uniform_int_distribution<long> moment(0, full.count() * 6 / 5);
        for (int round = 1; round <= Rounds; ++round) {
            fs::remove_all(dir_);
            fs::create_directories(dir_);
            prepare();
            const std::vector<Expected> files = expected();
            const Clock::time_point t0 = Clock::now();
            const pid_t pid = Launch(TORVANE_CLI_PATH, args, dir_, SlowWrites());
            KillAfter(pid, std::chrono::microseconds(moment(rng)), t0);
            if (!Reap(pid)) ++tally.killed;
            tally.check(files, round);
        }
        return tally;
    }

    fs::path dir_;
};

// An older configuration in the place of the output, so old and new differ.
std::string OldParameterFile() {
    return FormatParameterFile(NewImageForBike(10), "kept from before");
}

TEST_F(CliKill, DefaultsOutputIsOldOrNewWhole) {
    const fs::path out = dir_ / "type3.ign";
    const std::string fresh = FormatParameterFile(NewImageForBike(3));
    const Tally tally = killRounds(
        {"defaults", "--bike", "3", "-o", "type3.ign"}, [&] { WriteFile(out, OldParameterFile()); },
        [&] { return std::vector<Expected>{ExactlyOneOf(out, OldParameterFile(), fresh)}; });
    tally.report("torvane-cli defaults -o");
    EXPECT_TRUE(tally.broken.empty()) << ::testing::PrintToString(tally.broken);
}

TEST_F(CliKill, NormalizeOverItselfIsOldOrNewWhole) {
    // A hand-edited file: values out of their ranges, which normalize repairs.
    DeviceImage edited = NewImageForBike(20);
    for (std::size_t i = 400; i < 460; ++i) edited.setByte(i, 255);
    const std::string old = FormatParameterFile(edited, "hand edited");
    const fs::path file = dir_ / "hand_edited.ign";
    WriteFile(file, old);
    ASSERT_TRUE(Reap(Launch(TORVANE_CLI_PATH, {"normalize", "hand_edited.ign"}, dir_)));
    const std::string fresh = Contents(file);
    ASSERT_NE(fresh, old) << "normalize must change the file for the test to tell old from new";

    const Tally tally = killRounds(
        {"normalize", "hand_edited.ign"}, [&] { WriteFile(file, old); },
        [&] { return std::vector<Expected>{ExactlyOneOf(file, old, fresh)}; });
    tally.report("torvane-cli normalize FILE");
    EXPECT_TRUE(tally.broken.empty()) << ::testing::PrintToString(tally.broken);
}

// The batch files of every type: an earlier set in new_ign/, each replaced by the type's defaults.
std::vector<Expected> BatchFiles(const fs::path& dir) {
    std::vector<Expected> files;
    for (int code = 0; code < MotorcycleTypeCount; ++code) {
        const fs::path path = dir / BatchNewFolder / BatchFileName(ItemOfCode(code));
        files.push_back(ExactlyOneOf(path, FormatParameterFile(NewImageForBike(code), "earlier set"),
                                     FormatParameterFile(NewImageForBike(code))));
    }
    return files;
}

TEST_F(CliKill, SaveAllNewLeavesEveryTypeFileOldOrNewWhole) {
    const auto prepare = [&] {
        for (const Expected& e : BatchFiles(dir_)) WriteFile(e.path, e.old);
    };
    const Tally tally = killRounds({"save-all-new"}, prepare, [&] { return BatchFiles(dir_); });
    tally.report("torvane-cli save-all-new (50 files)");
    EXPECT_TRUE(tally.broken.empty()) << ::testing::PrintToString(tally.broken);
}

TEST_F(CliKill, CompareAllNewReportIsOldOrNewWhole) {
    const fs::path report = dir_ / BatchNewFolder / BatchReportName;
    const std::string old = "report of an earlier comparison\n";
    const auto prepare = [&] {
        for (int code = 0; code < MotorcycleTypeCount; code += 7) {
            const std::string name = BatchFileName(ItemOfCode(code));
            WriteFile(dir_ / BatchOldFolder / name,
                      FormatParameterFile(NewImageForBike(code), "earlier set"));
            WriteFile(dir_ / BatchNewFolder / name, FormatParameterFile(NewImageForBike(code)));
        }
        WriteFile(report, old);
    };
    prepare();
    ASSERT_TRUE(Reap(Launch(TORVANE_CLI_PATH, {"compare-all-new"}, dir_)));
    const std::string fresh = Contents(report);
    ASSERT_NE(fresh, old);
    const Tally tally = killRounds({"compare-all-new"}, prepare,
                                   [&] { return std::vector<Expected>{ExactlyOneOf(report, old, fresh)}; });
    tally.report("torvane-cli compare-all-new");
    EXPECT_TRUE(tally.broken.empty()) << ::testing::PrintToString(tally.broken);
}

#endif  // TORVANE_CLI_PATH

// --- the configurator -------------------------------------------------------------------------------

#if defined(TORVANE_WINDOW_PATH) && defined(TORVANE_HAVE_SHELL_CORE)

constexpr int ClosePage =
    5;  // the page the window is opened on, so its settings file differs from the old one

// An old settings file as another version left it: a comment, another program's section.
std::string OldSettings() {
    return "; written "
           "before\n[BASIC]\nLeft=40\nTop=30\nWidth=1000\nHeight=700\nPageControl1->ActivePageIndex=0\n"
           "[Elsewhere]\nKept=yes\n";
}

// A settings file the window wrote completely: it parses to exactly itself, holds every start-up key,
// kept the other program's section and has the page the window was on.
bool IsWholeSettings(const std::string& text) {
    IniFile ini;
    ini.parse(text);
    if (ini.text() != text) return false;
    for (std::string_view key :
         {"Left", "Top", "Height", "Width", "ComPort", "Language", "File", "IniDir",
          "PageControl1->ActivePageIndex", "CheckBoxZobrMs_Uni->Checked", "CheckBoxExtMonitor->Checked",
          "CheckBoxAll_PolohaA->Checked", "CheckBoxAll_PolohaB->Checked"})
        if (ini.readString(SettingsSection, key, "\x01") == "\x01") return false;
    return ini.readString("Elsewhere", "Kept", "") == "yes" &&
           ini.readInteger(SettingsSection, "PageControl1->ActivePageIndex", -1) == ClosePage;
}

// An old backup in a looser layout than the window's (one blank between numbers, no line breaks).
std::string OldBackup() {
    const DeviceImage image = NewImageForBike(7);
    std::string out;
    for (std::size_t i = BlockSize; i < ImageSize; ++i) out += std::to_string(image.byteAt(i)) + " ";
    for (int page = 0; page < 19; ++page) out += "0 ";
    for (int k = 0; k < 10; ++k) out += std::to_string(100 + 10 * k) + " ";
    return out;
}

// A backup the window wrote completely: every number is there and the text is exactly the window's
// layout of what it holds.
bool IsWholeBackup(const std::string& text) {
    DeviceImage image;
    AllStates states{};
    const BackupReadCounts counts = ReadImageBackup(text, image, states);
    return counts.imageBytes == ImageSize - BlockSize && counts.allStates == states.size() &&
           counts.iapWords == image.IapAxis.size() && ImageBackupText(image, states) == text;
}

class WindowKill : public ::testing::Test {
  protected:
    void SetUp() override {
        home_ = fs::temp_directory_path() / ("torvane-kill-window-" + std::to_string(::getpid()));
        fs::remove_all(home_);
    }
    void TearDown() override { fs::remove_all(home_); }

    std::vector<Expected> prepare() {
        fs::remove_all(home_);
        const fs::path dir = home_ / "torvane";
        WriteFile(dir / SettingsFileName(), OldSettings());
        WriteFile(dir / ImageBackupFileName(), OldBackup());
        return {{dir / SettingsFileName(), OldSettings(), IsWholeSettings},
                {dir / ImageBackupFileName(), OldBackup(), IsWholeBackup}};
    }

    // Starts the window on the simulated unit and waits until it is shown; -1 when it is not.
    pid_t startWindow() {
        Env env = SlowWrites();
        env.insert(env.end(), {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_CONFIG_HOME", home_.string()}});
        const e2e::Spawned child = e2e::SpawnWithOutput(
            TORVANE_WINDOW_PATH, {"--simulate", "--report-startup", "--page", std::to_string(ClosePage)},
            env);
        if (child.out < 0) return -1;
        const bool shown = e2e::ReadLine(child.out, std::chrono::seconds(20)).starts_with("startup-ms");
        ::close(child.out);
        if (!shown) {
            ::kill(child.pid, SIGKILL);
            ::waitpid(child.pid, nullptr, 0);
            return -1;
        }
        return child.pid;
    }

    fs::path home_;
};

// A termination signal makes the window close in order and write both files; the kill comes at a
// random moment of that close.
TEST_F(WindowKill, SettingsAndBackupAreOldOrNewWholeWhenKilledWhileClosing) {
    std::mt19937 rng(KillSeed());
    std::vector<Expected> files = prepare();
    pid_t pid = startWindow();
    ASSERT_GT(pid, 0) << "the window did not start";
    const Clock::time_point start = Clock::now();
    ::kill(pid, SIGTERM);
    ASSERT_TRUE(Reap(pid));
    const auto close = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    Tally calibration;
    calibration.check(files, 0);
    ASSERT_EQ(calibration.fresh, 2) << "a complete close must write both files anew";

    std::uniform_int_distribution<long> moment(0, close.count() * 6 / 5);
    Tally tally;
    for (int round = 1; round <= Rounds; ++round) {
        files = prepare();
        pid = startWindow();
        ASSERT_GT(pid, 0) << "the window did not start in round " << round;
        const Clock::time_point t0 = Clock::now();
        ::kill(pid, SIGTERM);
        KillAfter(pid, std::chrono::microseconds(moment(rng)), t0);
        if (!Reap(pid)) ++tally.killed;
        tally.check(files, round);
    }
    tally.report("torvane (settings + image backup)");
    EXPECT_TRUE(tally.broken.empty()) << ::testing::PrintToString(tally.broken);
}

#endif  // TORVANE_WINDOW_PATH && TORVANE_HAVE_SHELL_CORE

// --- restore points ----------------------------------------------------------------------------------

#ifdef TORVANE_CLI_PATH

// torvane-cli read against torvane-unit-sim on a pseudo-terminal, killed while it writes its restore
// point ($XDG_CONFIG_HOME/torvane/restore/) and then the parameter file. The transfer takes about
// 1.5 s at the 55 ms tick and the files are written at its end, so the writes are slowed more than
// in the other cases and the kills fall into the last part of the run, where the writes are.
TEST_F(CliKill, ReadLeavesEveryRestorePointAndItsFileOldOrNewWhole) {
    constexpr int RestoreRounds = 8;
    const Env env = [] {
        Env e = SlowWrites();
        for (auto& [name, value] : e)
            if (name == "TORVANE_SLOW_WRITES_US") value = "40000";
        return e;
    }();
    const fs::path restore = dir_ / "config" / "torvane" / "restore";
    const fs::path out = dir_ / "unit.ign";
    const std::vector<fs::path> older = {restore / "2020-01-01_10-00-00-read.ign",
                                         restore / "2020-01-02_10-00-00-program.ign"};
    const auto prepare = [&] {
        fs::remove_all(dir_);
        for (const fs::path& p : older) WriteFile(p, OldParameterFile());
        WriteFile(out, OldParameterFile());
    };
    const auto runRead = [&](std::optional<std::chrono::microseconds> killAt) {
        e2e::SimProcess sim(TORVANE_UNIT_SIM_PATH, {});
        EXPECT_FALSE(sim.terminal().empty()) << "the simulator printed no terminal";
        Env childEnv = env;
        childEnv.emplace_back("XDG_CONFIG_HOME", (dir_ / "config").string());
        const Clock::time_point t0 = Clock::now();
        const pid_t pid =
            Launch(TORVANE_CLI_PATH, {"read", "--port", sim.terminal(), "-o", out.string()}, dir_, childEnv);
        if (killAt) KillAfter(pid, *killAt, t0);
        const bool ended = Reap(pid);
        return std::pair{ended, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0)};
    };

    // A complete read gives the new file and the new point, and how long the run takes.
    prepare();
    const auto [calibrationEnded, full] = runRead(std::nullopt);
    ASSERT_TRUE(calibrationEnded);
    const std::string fresh = Contents(out);
    ASSERT_NE(fresh, OldParameterFile());
    ASSERT_EQ(ListRestorePoints(restore).size(), older.size() + 1);
    ASSERT_EQ(Contents(ListRestorePoints(restore).front().path), fresh);

    std::mt19937 rng(KillSeed());
    std::uniform_int_distribution<long> moment(std::max<long>(0, full.count() - 400'000),
                                               full.count() + 50'000);
    Tally tally;
    int newPoints = 0;
    for (int round = 1; round <= RestoreRounds; ++round) {
        prepare();
        std::vector<Expected> files = {ExactlyOneOf(out, OldParameterFile(), fresh)};
        for (const fs::path& p : older)
            files.push_back(ExactlyOneOf(p, OldParameterFile(), OldParameterFile()));
        const auto [ended, took] = runRead(std::chrono::microseconds(moment(rng)));
        if (!ended) ++tally.killed;
        tally.check(files, round);
        // A point the read left is whole: the listing never offers a torn one.
        for (const RestorePoint& p : ListRestorePoints(restore)) {
            if (std::ranges::find(older, p.path) != older.end()) continue;
            ++newPoints;
            if (Contents(p.path) != fresh)
                tally.broken.push_back("round " + std::to_string(round) + ": " + p.path.string() +
                                       " is torn");
        }
    }
    std::printf(
        "[kill] torvane-cli read (restore point)     %2d rounds, killed while running in %2d; "
        "new points %d, file old %d, new %d, torn %zu\n",
        RestoreRounds, tally.killed, newPoints, tally.old - RestoreRounds * static_cast<int>(older.size()),
        tally.fresh, tally.broken.size());
    EXPECT_TRUE(tally.broken.empty()) << ::testing::PrintToString(tally.broken);
}

#endif  // TORVANE_CLI_PATH

}  // namespace
}  // namespace torvane
