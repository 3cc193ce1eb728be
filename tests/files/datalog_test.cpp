// Datalogs: decoded monitor frames written as CSV rows and read back into the same live values, the
// header and number format, and a reader that keeps what it can of a damaged log.
#include "files/datalog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <locale>
#include <random>
#include <tuple>

#include "../link/monitor_test_support.h"
#include "link/monitor_decoder.h"

namespace torvane {
namespace {

using testing::MonitorFrameBuilder;

// Frames with every byte random apart from the command and the checksum: all flag combinations,
// sensor errors, and corrections on both sides of their zero come up.
std::vector<DeviceFrame> RandomFrames(int count) {
    std::mt19937 rng(20080314);
    std::vector<DeviceFrame> frames;
    for (int n = 0; n < count; ++n) {
        MonitorFrameBuilder b;
        for (std::size_t i = 1; i < FrameSize - 1; ++i) b.set(i, static_cast<std::uint8_t>(rng()));
        if (n % 7 == 0) b.set(23, 0);
        if (n % 11 == 0) b.set(24, 0);
        frames.push_back(b.frame());
    }
    return frames;
}

// Every value the live operating point and the monitor readouts take from a logged frame.
auto Logged(const LiveValues& l) {
    const MonitorSample& m = l.monitor;
    return std::tuple(
        l.EngineSpeed, l.ThrottleOpening, l.IntakePressure, l.ThrottleSensorMv, l.CoolantTemperature,
        l.AirTemperature, l.Gear, l.AfterStartTimer, l.GearSensorMv, l.SpeedRatio, l.ThrottleShare,
        std::array{l.ThrottleSensorError, l.IntakePressureError, l.ThrottleShareOff,
                   l.InjectionFromThrottleAboveZero, l.InjectionFromThrottleBelowFull, l.IgnLimiterActive,
                   l.JetLimiterActive, l.RetardLimiterActive, l.BaseAdvanceMode},
        m.flags, m.advance, m.injectionA, m.injectionB, m.coolantRaw, m.airRaw, m.pilotLight,
        std::array{m.ambientPressure, m.lambdaMv, m.supplyMv, m.positionA, m.positionB,
                   m.coolantJetCorrection, m.airJetCorrection, m.ambientJetCorrection, m.startJetCorrection,
                   m.supplyJetCorrection, m.coolantAdvanceCorrection, m.potentiometerAdvanceCorrection,
                   m.idleAdvanceCorrection, m.potentiometerJetCorrection, m.roadSpeed},
        m.dutyPercent, l.monitorFrames);
}

class DatalogFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("torvane-datalog-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

TEST_F(DatalogFileTest, DecodedFramesReadBackAsTheSameLiveValues) {
    const std::string path = (dir / "ride.csv").string();
    const DeviceImage image;
    LiveValues live;
    std::vector<LiveValues> decoded;
    std::string error;
    DatalogWriter writer;
    ASSERT_TRUE(writer.open(path, error)) << error;
    const auto frames = RandomFrames(300);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        ASSERT_TRUE(DecodeMonitorFrame(frames[i], image, live));
        decoded.push_back(live);
        ASSERT_TRUE(writer.append(0.055 * static_cast<double>(i), live));
        if (i == 9) {
            // Every row is on disk as soon as it is appended: a reader sees it while the log is open.
            const auto partial = ReadDatalog(path, error);
            ASSERT_TRUE(partial) << error;
            EXPECT_EQ(partial->rows(), 10u);
        }
    }
    EXPECT_EQ(writer.rows(), frames.size());
    writer.close();

    const auto log = ReadDatalog(path, error);
    ASSERT_TRUE(log) << error;
    ASSERT_EQ(log->rows(), frames.size());
    EXPECT_EQ(log->skippedLines, 0u);
    EXPECT_EQ(log->names.size(), DatalogColumns().size());
    EXPECT_NEAR(log->value("time", 299), 16.445, 0.0011);
    for (std::size_t row = 0; row < decoded.size(); ++row)
        EXPECT_TRUE(Logged(LiveValuesFromDatalog(*log, row)) == Logged(decoded[row])) << "row " << row;
    // Frame 0 had both temperature sensors failed: empty cells, read back as the unit's error code.
    EXPECT_TRUE(std::isnan(log->value("coolant", 0)) && std::isnan(log->value("air", 0)));
    EXPECT_EQ(LiveValuesFromDatalog(*log, 0).CoolantTemperature, 180);
}

TEST(DatalogFormatTest, HeaderAndRowsUseEngineeringUnits) {
    const std::string header = DatalogHeader();
    EXPECT_EQ(header.rfind("time [s],rpm [1/min],tps [%],ambient_pressure [kPa],intake_pressure [kPa],"
                           "coolant [C],air [C],lambda [mV],inj_a1 [ms],",
                           0),
              0u);
    EXPECT_NE(header.find(",supply_jet_corr [us],coolant_adv_corr [deg],"), std::string::npos);
    EXPECT_TRUE(header.ends_with(",pilot_light,flags_1,flags_2,flags_3,flags_4")) << header;
    EXPECT_EQ(static_cast<std::size_t>(std::count(header.begin(), header.end(), ',')) + 1,
              DatalogColumns().size());

    const auto frame =
        MonitorFrameBuilder::With(
            {{23, 0}, {24, 87}, {14, 23}, {1, 0xA5}},
            {{24, 3500}, {69, 125}, {26, 1013}, {54, 975}, {55, 975}, {67, 1012}, {50, 1234}, {60, 7}})
            .frame();
    LiveValues live;
    ASSERT_TRUE(DecodeMonitorFrame(frame, DeviceImage(), live));
    // Coolant failed (empty), air -13 C, corrections below and above their zero, one decimal for the
    // unit's 0.1 steps.
    EXPECT_EQ(FormatDatalogRow(12.3456, live),
              "12.346,3500,12.5,101.3,0,,-13,0,2.3,0.0,0.0,0.0,0.0,0.0,0.0,0.0,0,0,0,0,123.4,0.0,0.0,0.0,"
              "-25,-2.5,-100.0,1.2,0.0,0,0,0,0,0.7,0,0,0,0,0,0,165,192,0,0");
}

// A comma decimal separator in the C and the C++ locale must not reach the file.
TEST(DatalogFormatTest, DecimalPointWhateverTheLocale) {
    struct CommaPunct : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    bool cLocale = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE", "cs_CZ.UTF-8", "fr_FR.UTF-8"})
        if (!cLocale) cLocale = std::setlocale(LC_ALL, name) != nullptr;

    LiveValues live;
    live.ThrottleOpening = 125;
    const std::string row = FormatDatalogRow(1.5, live);
    std::string error;
    const auto log = ParseDatalog("time,tps\n2.25,98.7\n", error);

    std::setlocale(LC_ALL, previousC.c_str());
    std::locale::global(previous);
    EXPECT_EQ(row.substr(0, 11), "1.500,0,12.");
    ASSERT_TRUE(log && log->rows() == 1) << error;
    EXPECT_DOUBLE_EQ(log->value("time", 0), 2.25);
    EXPECT_DOUBLE_EQ(log->value("tps", 0), 98.7);
    if (!cLocale) GTEST_SKIP() << "no comma locale installed for the C library";
}

TEST(DatalogReaderTest, KeepsWhatParsesAndCountsTheRest) {
    const std::string text =
        "\xEF\xBB\xBF"
        "time [s], rpm , tps [%],lap marker [n]\r\n"
        "0.000,1200,5.0,1\r\n"
        "\r\n"
        "0.055,1250,,2\r\n"     // an empty cell is a value that was not logged
        "0.110,abc,5.5,3\r\n"   // not a number
        "0.165,1300,5.5\r\n"    // a cell short
        "0.220,1300,5.5,4,9\n"  // a cell too many
        ",1300,5.5,4\n"         // no time
        "0.275,1350,6.0,5\n"
        "0.330,13";  // cut off while being written
    std::string error;
    const auto log = ParseDatalog(text, error);
    ASSERT_TRUE(log) << error;
    EXPECT_EQ(log->names, (std::vector<std::string>{"time", "rpm", "tps", "lap marker"}));
    EXPECT_EQ(log->units, (std::vector<std::string>{"s", "", "%", "n"}));
    ASSERT_EQ(log->rows(), 3u);
    EXPECT_EQ(log->skippedLines, 5u);
    EXPECT_EQ(log->value("lap marker", 2), 5);  // an unknown column is kept for plotting
    EXPECT_TRUE(std::isnan(log->value("tps", 1)));
    EXPECT_EQ(log->value("rpm", 2), 1350);
    EXPECT_EQ(log->value("gear", 0), 0);  // missing column
    EXPECT_EQ(log->value("rpm", 7), 0);   // past the end

    // Replay of a log from another tool: columns it lacks keep their defaults.
    const LiveValues live = LiveValuesFromDatalog(*log, 2);
    EXPECT_EQ(std::tuple(live.EngineSpeed, live.ThrottleOpening, live.CoolantTemperature, live.monitorFrames),
              std::tuple(1350, 60, 0, 3));
    EXPECT_EQ(LiveValuesFromDatalog(*log, 1).ThrottleOpening, 0);

    // Values beyond what the unit can send are held to the field's range.
    const auto wild = ParseDatalog("time,rpm,gear,tps\n0,-5,1e9,123456789\n", error);
    ASSERT_TRUE(wild) << error;
    const LiveValues held = LiveValuesFromDatalog(*wild, 0);
    EXPECT_EQ(std::tuple(held.EngineSpeed, held.Gear, held.ThrottleOpening), std::tuple(0, 255, 65535));
}

TEST_F(DatalogFileTest, UnreadableOrTimelessLogsAreRefused) {
    std::string error;
    EXPECT_FALSE(ReadDatalog((dir / "missing.csv").string(), error));
    EXPECT_NE(error.find("missing.csv"), std::string::npos);
    EXPECT_FALSE(ParseDatalog("rpm,tps\n1000,5\n", error));
    EXPECT_FALSE(ParseDatalog("", error));
    const auto empty = ParseDatalog(DatalogHeader() + "\n", error);
    EXPECT_TRUE(empty && empty->rows() == 0);

    DatalogWriter writer;
    EXPECT_FALSE(writer.open((dir / "no-such-folder" / "x.csv").string(), error));
    EXPECT_FALSE(writer.append(0, LiveValues()));
}

}  // namespace
}  // namespace torvane
