#pragma once
// The simulated unit as it behaves on the wire: it keeps the 11 blocks, answers program, read,
// verify and monitor requests, counts down its storing work after programming, and can be made to
// misbehave through named fault knobs.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/device_image.h"
#include "link/frame.h"
#include "sim/engine_model.h"

namespace torvane {

// Build-date month as the unit stores it: the low byte of the sum of the letters of the English
// three-letter abbreviation ("Jan" = 25). 0 for a month outside 1..12.
std::uint8_t MonthCode(int month);

// What the unit says about itself in block 0.
struct UnitIdentity {
    std::string name = "Jet";  // three characters; shorter names are padded with blanks
    std::uint8_t version = 1;
    std::uint8_t day = 14;
    int month = 3;
    int year = 2008;
    std::uint8_t hour = 16;
    std::uint8_t minute = 21;
    std::uint8_t dataVersion = ProgramVersion;
    std::string longName;  // up to 30 characters; empty leaves the short name in use
};

// Ways the unit can misbehave. Counters ("every Nth") run over the answers the unit gives; 0 = off.
struct UnitFaults {
    bool silent = false;           // the unit ignores everything
    int dropEvery = 0;             // every Nth answer is lost
    double dropProbability = 0.0;  // each answer is lost with this probability (seeded)
    int corruptEvery = 0;          // every Nth answer carries a wrong checksum
    int noiseEvery = 0;            // every Nth answer comes with stray bytes before and after it
    int lateAnswerPolls = 0;       // the loopback port holds each answer back for this many polls
    int lateAnswerMs = 0;          // the terminal server holds each answer back this long
    std::optional<std::uint8_t> headerDataVersion;   // replaces the data version in block 0
    std::optional<std::uint8_t> monitorDataVersion;  // replaces the data version in monitor frames
    std::optional<int> wrongEchoBlock;               // the program echo of this block differs in one byte
    std::optional<int> wrongVerifyBlock;             // read/verify answers of this block differ in one byte
    std::optional<int> stopAfterReadBlock;           // reads of later blocks get no answer
};

inline constexpr std::size_t NoiseBytesBefore = 3;
inline constexpr std::size_t NoiseBytesAfter = 5;
inline constexpr std::size_t WrongBytePosition = 150;  // payload byte that a wrong echo alters
inline constexpr std::uint16_t SavingCountdownStart = 6060;
inline constexpr double SavingSeconds = 3.0;   // time the unit needs to store its data
inline constexpr int ProgrammableBlocks = 10;  // blocks 1..10; block 0 is the header

class UnitModel {
  public:
    explicit UnitModel(UnitIdentity identity = {}, std::uint64_t seed = 1);

    // One request frame in, the answer bytes out (empty = the unit stays silent).
    std::vector<std::uint8_t> HandleRequest(std::span<const std::uint8_t> request);
    // Moves the engine and the storing countdown on.
    void Advance(double seconds);

    UnitFaults& faults() { return faults_; }
    const UnitFaults& faults() const { return faults_; }

    const UnitIdentity& identity() const { return identity_; }
    void setIdentity(const UnitIdentity& identity);
    void setDataVersion(std::uint8_t version);

    // Block 0 is the header the unit sends; blocks 1..10 are what was programmed.
    const DeviceImage& storedImage() const { return stored_; }
    // Replaces blocks 1..10 (block 0 stays the unit's header).
    void setStoredImage(const DeviceImage& image);

    std::uint16_t savingCountdown() const;
    std::uint16_t programmingCount() const { return programmingCount_; }
    const EngineModel& engine() const { return engine_; }
    EngineModel& engine() { return engine_; }
    MonitorContext monitorContext() const;

    std::size_t requestsAccepted() const { return requestsAccepted_; }
    std::size_t answersSent() const { return answersSent_; }

  private:
    std::optional<DeviceFrame> answerFor(const DeviceFrame& request);
    std::vector<std::uint8_t> applyLineFaults(const DeviceFrame& answer);
    void writeHeader();
    std::uint64_t nextRandom();

    UnitIdentity identity_;
    UnitFaults faults_;
    DeviceImage stored_;
    EngineModel engine_;
    double savingLeft_ = 0;  // countdown units still to go
    std::uint16_t programmingCount_ = 0;
    std::uint64_t rng_;
    std::size_t requestsAccepted_ = 0;
    std::size_t answersSent_ = 0;
    std::size_t answersDue_ = 0;  // answers the unit meant to give, lost or not
};

}  // namespace torvane
