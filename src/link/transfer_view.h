#pragma once
// What the link session asks of the window: the transfer status label and gauge, the no-connection
// label, the unit's version texts, the image on the pages, and the port menu. Every call has a
// harmless default so a caller without a window (the command-line tool) overrides only what it shows.

#include <cstdint>
#include <span>
#include <string>

#include "link/unit_header.h"

namespace torvane {

// What a passed verification followed: a read, a programming, or a Verify of its own.
enum class VerifiedAfter : std::uint8_t { Read, Program, Verify };

class TransferView {
  public:
    virtual ~TransferView() = default;

    // LabelHlaseni: caption, and whether it shows in the failure colour (red) or the normal one.
    virtual void setStatusText(const std::string& /*text*/) {}
    virtual void setStatusFailure(bool /*failure*/) {}
    virtual void setStatusVisible(bool /*visible*/) {}
    // CGaugeProgram, 0..100.
    virtual void setGaugeValue(int /*value*/) {}
    virtual void setGaugeVisible(bool /*visible*/) {}

    // LabelSpojeni ("No connection with PC").
    virtual void setConnectionLabelVisible(bool /*visible*/) {}
    // While a print job is being prepared the no-connection label stays hidden.
    virtual bool printJobInProgress() const { return false; }

    // Modal box for the version mismatch; ticks may run nested while it is open.
    virtual void showVersionMessage(const std::string& /*text*/) {}
    // Modal box for a failed port open.
    virtual void showPortError(const std::string& /*text*/) {}
    // Check mark on the port menu entry checkedIndex (0..19); any other value checks none.
    virtual void setPortChecks(int /*checkedIndex*/) {}

    // LabelFile2: the name of the loaded parameter file; emptied when a read starts.
    virtual void clearLoadedFileCaption() {}
    // The active page's values into the device image (before verifying or programming).
    virtual void takeActivePageIntoImage() {}
    // Repair the device image and show it on the pages.
    virtual void normalizeAndShowImage() {}
    // A read has brought in all blocks (unitBlocks: blocks 1 to 10 as the unit sent them) and the image,
    // repaired, is on the pages; its verification follows.
    virtual void readCompleted(std::span<const std::uint8_t> /*unitBlocks*/) {}
    // The unit echoed block 1..10 exactly as the image holds it: it holds that block now.
    virtual void blockProgrammed(int /*block*/) {}
    // The unit holds exactly the PC's image (blocks 1 to 10): a verification passed.
    virtual void verificationPassed(VerifiedAfter /*after*/) {}
    // "Verify error!": block is the one that kept differing; unitBlock is the unit's last answer for it
    // (empty when none came).
    virtual void verificationFailed(int /*block*/, std::span<const std::uint8_t> /*unitBlock*/) {}
    // LabelVerze1..3.
    virtual void showHeaderTexts(const UnitHeaderTexts& /*texts*/) {}
};

}  // namespace torvane
