#include "app/window/window_link.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QVBoxLayout>

#include "app/monitor/gauge_widget.h"
#include "app/monitor/monitor_page.h"
#include "app/window/tform_hlav.h"
#include "image/conversions.h"
#include "image/defaults.h"
#include "image/fields.h"
#include "image/normalize.h"
#include "link/link_session.h"
#include "link/monitor_decoder.h"
#include "link/monitor_readout.h"
#include "link/qt_serial_port.h"
#include "link/transfer_view.h"
#include "sim/loopback_port.h"
#include "sim/unit_model.h"
#include "text/message_table.h"
#include "widgets/named_control.h"

namespace torvane {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The window's side of the link session: every call lands on a control found by its name, so the
// link never holds widget pointers and the window never holds protocol state.
class WindowTransferView : public TransferView {
  public:
    explicit WindowTransferView(TFormHlav& window) : w_(window) {}

    void setStatusText(const std::string& text) override {
        if (QLabel* l = label("LabelHlaseni")) l->setText(fromUtf8(text));
    }
    void setStatusFailure(bool failure) override {
        QLabel* l = label("LabelHlaseni");
        if (l == nullptr) return;
        QPalette p = l->palette();
        p.setColor(QPalette::Window,
                   failure ? QColor(Qt::red) : QApplication::palette().color(QPalette::Button));
        l->setAutoFillBackground(true);
        l->setPalette(p);
        l->setProperty("failure", failure);
    }
    void setStatusVisible(bool visible) override {
        if (QLabel* l = label("LabelHlaseni")) l->setVisible(visible);
    }
    void setGaugeValue(int value) override {
        if (auto* g = NamedControl<GaugeWidget>(&w_, "CGaugeProgram")) g->setProgress(value);
    }
    void setGaugeVisible(bool visible) override {
        if (auto* g = NamedControl<GaugeWidget>(&w_, "CGaugeProgram")) g->setVisible(visible);
    }
    void setConnectionLabelVisible(bool visible) override {
        if (QLabel* l = label("LabelSpojeni")) l->setVisible(visible);
    }
    void showVersionMessage(const std::string& text) override { w_.prompts().showMessage(fromUtf8(text)); }
    void showPortError(const std::string& text) override { w_.prompts().showMessage(fromUtf8(text)); }
    void setPortChecks(int checkedIndex) override {
        for (int i = 0; i < ComPortEntries; ++i) {
            if (i < WindowActions::ComPorts) w_.actions().comPort(i)->setChecked(i == checkedIndex);
        }
    }
    void clearLoadedFileCaption() override {
        if (QLabel* l = label("LabelFile2")) l->clear();
    }
    void takeActivePageIntoImage() override { w_.PageToImage(); }
    void verificationPassed(VerifiedAfter after) override { w_.onVerificationPassed(after); }
    void readCompleted(std::span<const std::uint8_t> unitBlocks) override { w_.onReadCompleted(unitBlocks); }
    void blockProgrammed(int block) override { w_.onBlockProgrammed(block); }
    void verificationFailed(int block, std::span<const std::uint8_t> unitBlock) override {
        w_.onVerificationFailed(block, unitBlock);
    }
    void normalizeAndShowImage() override {
        w_.NormalizeAll();
        w_.ImageToPage();
        w_.RefreshDisplay();
    }
    void showHeaderTexts(const UnitHeaderTexts& texts) override {
        const std::string* parts[] = {&texts.name, &texts.date, &texts.time};
        for (int i = 0; i < 3; ++i) {
            if (QLabel* l = label(QString("LabelVerze%1").arg(i + 1))) l->setText(fromUtf8(*parts[i]));
        }
    }

  private:
    QLabel* label(const QString& name) const { return NamedControl<QLabel>(&w_, name); }

    TFormHlav& w_;
};

}  // namespace

struct WindowLink::Impl {
    Impl(TFormHlav& owner, DeviceImage& edited, LiveValues& values)
        : window(owner),
          image(edited),
          live(values),
          view(owner),
          port(makePort(owner)),
          session(*port, edited, values, view) {
        session.setDeviceNamer([this](int) { return device; });
        session.setMonitorHandler([this](std::span<const std::uint8_t> frame) { onMonitorFrame(frame); });
    }

    std::unique_ptr<SerialPort> makePort(TFormHlav& w) {
        if (!w.startOptions().simulate) return std::make_unique<QtSerialPort>();
        unit = std::make_unique<UnitModel>();
        if (w.startOptions().motion == EngineMotion::Hold) unit->engine().hold(w.startOptions().holdPoint);
        if (w.startOptions().motion == EngineMotion::Sweep) unit->engine().sweep();
        return std::make_unique<LoopbackPort>(*unit);
    }

    void onMonitorFrame(std::span<const std::uint8_t> frame);
    void readouts(const LiveValues& values);

    TFormHlav& window;
    DeviceImage& image;
    LiveValues& live;
    WindowTransferView view;
    std::unique_ptr<UnitModel> unit;
    std::unique_ptr<SerialPort> port;
    LinkSession session;
    std::string device;
    NormalizeResult lastNormalize;
    std::function<void(const LiveValues&)> observer;
    bool replaying = false;
    LiveValues unitLive;  // the unit's own live values while a datalog replays
};

void WindowLink::Impl::onMonitorFrame(std::span<const std::uint8_t> frame) {
    if (replaying) {
        if (!DecodeMonitorFrame(frame, image, unitLive)) return;
        live.UnitSavingCountdown = unitLive.UnitSavingCountdown;
        if (observer) observer(unitLive);
        return;
    }
    if (!DecodeMonitorFrame(frame, image, live)) return;
    if (observer) observer(live);
    readouts(live);
}

void WindowLink::Impl::readouts(const LiveValues& values) {
    const auto* detailed = NamedControl<QCheckBox>(&window, "CheckBoxExtMonitor");
    ApplyMonitorReadout(&window,
                        ComputeMonitorReadout(values, image, detailed != nullptr && detailed->isChecked(),
                                              session.languageIndex()));
}

void WindowLink::setFrameObserver(std::function<void(const LiveValues&)> observer) {
    d->observer = std::move(observer);
}

void WindowLink::setReplaying(bool on) {
    if (on == d->replaying) return;
    d->replaying = on;
    if (on) {
        d->unitLive = d->live;
    } else {
        d->live = d->unitLive;
        showReadouts(d->live);
    }
}

bool WindowLink::replaying() const {
    return d->replaying;
}

const LiveValues& WindowLink::unitLiveValues() const {
    return d->replaying ? d->unitLive : d->live;
}

void WindowLink::showReadouts(const LiveValues& live) {
    d->readouts(live);
}

WindowLink::WindowLink(TFormHlav& window, DeviceImage& image, LiveValues& live)
    : d(std::make_unique<Impl>(window, image, live)) {}

WindowLink::~WindowLink() = default;

QCheckBox* WindowLink::buildMonitorPage(QWidget* page, QVBoxLayout* layout) {
    return BuildMonitorPage(page, layout);
}

void WindowLink::seedSimulatedUnit() {
    if (!d->unit) return;
    DeviceImage stored = d->image;
    NormalizeImage(stored);
    d->unit->setStoredImage(stored);
}

void WindowLink::normalizeImage() {
    d->lastNormalize = NormalizeImage(d->image, {d->window.languageIndex(), d->window.comPortIndex()});
}

const NormalizeResult& WindowLink::lastNormalizeResult() const {
    return d->lastNormalize;
}

void WindowLink::showUnitHeader() {
    d->session.DecodeUnitHeader();
}

void WindowLink::applyLanguage(int languageIndex) {
    d->session.setLanguageIndex(languageIndex);
    d->session.DecodeUnitHeader();
}

void WindowLink::setDevice(const std::string& device) {
    d->device = d->unit ? std::string("simulated unit") : device;
}

void WindowLink::OpenComPort(bool quiet) {
    d->session.setComPortIndex(d->window.comPortIndex());
    d->session.setQuietReopen(quiet);
    d->session.OpenComPort();
}

void WindowLink::CloseComPort() {
    d->session.CloseComPort();
}

void WindowLink::setSilenceCounter(int ticks) {
    d->session.setSilenceCounter(static_cast<std::uint16_t>(ticks));
}

void WindowLink::Tick() {
    d->session.Tick();
}

void WindowLink::MenuReadClick() {
    d->session.MenuReadClick();
}

void WindowLink::MenuVerifyClick() {
    d->session.MenuVerifyClick();
}

void WindowLink::MenuProgramClick() {
    d->session.MenuProgramClick();
}

UnitModel* WindowLink::simulatedUnit() {
    return d->unit.get();
}

LinkSession& WindowLink::session() {
    return d->session;
}

}  // namespace torvane
