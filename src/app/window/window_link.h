#pragma once
// Joins the window to the link, the image rules and the live monitor: it runs the link session on
// the window's port, answers the session's calls on the window's labels and gauges, and keeps the
// window free of protocol detail.

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "image/device_image.h"
#include "link/live_values.h"

class QCheckBox;
class QVBoxLayout;
class QWidget;

namespace torvane {

class LinkSession;
struct NormalizeResult;
class TFormHlav;
class UnitModel;

class WindowLink {
  public:
    WindowLink(TFormHlav& window, DeviceImage& image, LiveValues& live);
    ~WindowLink();

    // Builds the Monitor page's readouts into page; returns its "Detailed representation" check box.
    static QCheckBox* buildMonitorPage(QWidget* page, QVBoxLayout* layout);

    // The simulated unit starts out holding the window's start image, normalized, so a first Read and
    // its verification agree.
    void seedSimulatedUnit();
    void normalizeImage();
    // What the last normalization reported besides the image (the sensor pages colour their edits by it).
    const NormalizeResult& lastNormalizeResult() const;
    void showUnitHeader();
    void applyLanguage(int languageIndex);

    void setDevice(const std::string& device);
    void OpenComPort(bool quiet);
    void CloseComPort();
    void setSilenceCounter(int ticks);
    void Tick();
    void MenuReadClick();
    void MenuVerifyClick();
    void MenuProgramClick();

    // Called with every monitor frame the unit sends, decoded, also while a datalog replays.
    void setFrameObserver(std::function<void(const LiveValues&)> observer);
    // While a datalog replays, the unit's frames keep their own live values, so they do not fight the
    // replayed ones; the unit's storing countdown still reaches the window. Turned off, the window's
    // live values are the unit's newest again.
    void setReplaying(bool on);
    bool replaying() const;
    // The unit's own newest live values, also while a datalog replays.
    const LiveValues& unitLiveValues() const;
    // The monitor readouts from the given live values (a replayed frame).
    void showReadouts(const LiveValues& live);

    // The built-in simulated unit when the window runs with --simulate, else nullptr.
    UnitModel* simulatedUnit();
    LinkSession& session();

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace torvane
