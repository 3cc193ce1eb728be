// The Monitor page built offscreen and filled from a simulated unit's monitor frame.
#include "app/monitor/monitor_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "app/monitor/gauge_widget.h"
#include "link/monitor_decoder.h"
#include "link/monitor_readout.h"
#include "sim/unit_model.h"
#include "widgets/named_control.h"

namespace torvane {
namespace {

class MonitorPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        page = new QWidget(&root);
        auto* layout = new QVBoxLayout(page);
        detailed = BuildMonitorPage(page, layout);
        // Labels of the main window that sit outside the page.
        version = new QLabel(&root);
        version->setObjectName("LabelVersion");
        test1 = new QLabel(&root);
        test1->setObjectName("LabelTest1");
        image.setByte(PocKanOutIndex, 2);
        image.setByte(IgnLimiterIndex, 140);
    }
    // The page alone lacks the labels the readout gives on the other pages and in the top row.
    void TearDown() override { MissingControls().clear(); }
    QLabel* label(const char* name) { return root.findChild<QLabel*>(name); }
    GaugeWidget* gauge(const char* name) { return root.findChild<GaugeWidget*>(name); }

    void applyFrame(std::span<const std::uint8_t> frame) {
        ASSERT_TRUE(DecodeMonitorFrame(frame, image, live));
        ApplyMonitorReadout(&root, ComputeMonitorReadout(live, image, detailed->isChecked(), 0));
    }

    QWidget root;
    QWidget* page = nullptr;
    QCheckBox* detailed = nullptr;
    QLabel* version = nullptr;
    QLabel* test1 = nullptr;
    DeviceImage image;
    LiveValues live;
};

TEST_F(MonitorPageTest, EveryReadoutHasItsWidget) {
    ASSERT_NE(detailed, nullptr);
    EXPECT_EQ(detailed->objectName(), "CheckBoxExtMonitor");
    EXPECT_EQ(detailed->text(), "Detailed representation");
    UnitModel unit;
    unit.Advance(5.0);
    ASSERT_TRUE(DecodeMonitorFrame(unit.HandleRequest(MakeMonitorRequest()), image, live));
    const MonitorReadout readout = ComputeMonitorReadout(live, image, false, 0);
    for (const LabelReadout& r : readout.labels) {
        const QString name = QString::fromLatin1(r.name.data(), static_cast<qsizetype>(r.name.size()));
        // LabelEeDataErr and the diagnostic labels belong to the main window; the gear ratios
        // and the idle advance correction are shown on the Gear and Idle pages.
        if (name == "LabelEeDataErr" || name.startsWith("LabelTest") || name == "LabelVersion" ||
            name.startsWith("LabelMonPomerRpmSpeed") || name == "LabelMonGearNapeti" ||
            name == "LabelIdleKorAdv")
            continue;
        EXPECT_NE(page->findChild<QLabel*>(name), nullptr) << name.toStdString();
    }
    for (const GaugeReadout& g : readout.gauges) {
        const QString name = QString::fromLatin1(g.name.data(), static_cast<qsizetype>(g.name.size()));
        EXPECT_NE(page->findChild<GaugeWidget*>(name), nullptr) << name.toStdString();
    }
}

TEST_F(MonitorPageTest, SimulatedFrameFillsLabelsAndGauges) {
    UnitModel unit;
    unit.faults().monitorDataVersion = 69;
    unit.Advance(9.0);  // running up through the gears
    const std::vector<std::uint8_t> frame = unit.HandleRequest(MakeMonitorRequest());
    applyFrame(frame);
    applyFrame(frame);  // the duty needs the speed of a frame before
    const EngineSnapshot s = unit.engine().snapshot();

    EXPECT_EQ(label("LabelRpm")->text(), QString("RPM = %1 ").arg(live.EngineSpeed));
    EXPECT_EQ(gauge("CGaugeRpm")->progress(), std::min(100, live.EngineSpeed / 140));
    EXPECT_EQ(gauge("CGaugeTps")->progress(), live.ThrottleOpening / 10);
    EXPECT_EQ(label("LabelGear")->text(), QString("Gear = %1 ").arg(s.gear));
    EXPECT_TRUE(label("LabelMon_Ign1")->text().startsWith("Advance 1= "));
    EXPECT_TRUE(label("LabelMon_Ign3")->isHidden());
    EXPECT_FALSE(label("LabelMon_Ign2")->isHidden());
    EXPECT_EQ(version->text(), "Unmatched version of PC and Ignition programs!  PC-70, IGN-69");
    EXPECT_EQ(version->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_TRUE(test1->text().startsWith("Test1= "));
    EXPECT_EQ(gauge("CGaugeVoda")->foreColor(), QColor(0, 255, 255));
    EXPECT_EQ(label("LabelNapeti")->palette().color(QPalette::Window), ReadoutQColor(ReadoutColor::Normal));
    // The unit's fall sensor input is idle: no colour.
    EXPECT_EQ(label("LabelMonFallIn")->text(), "Fall sensor - NO");
    EXPECT_FALSE(label("LabelTlak")->text().contains("mV"));

    detailed->setChecked(true);
    applyFrame(frame);
    EXPECT_TRUE(label("LabelTlak")->text().contains("mV"));
}

TEST_F(MonitorPageTest, ColoursAndGaugeFollowTheFrame) {
    DeviceFrame f{};
    f[0] = MonitorAnswerCommand;
    f[150] = ProgramVersion;
    f[23] = 0;         // coolant sensor error
    f[2 * 32] = 0x1B;  // supply 7000 mV
    f[2 * 32 + 1] = 0x58;
    f[2 * 29] = 0x02;  // lambda 700 mV
    f[2 * 29 + 1] = 0xBC;
    f[FrameSize - 1] = FrameChecksum(std::span<const std::uint8_t>(f.data(), FrameSize - 1));
    applyFrame(f);
    EXPECT_EQ(label("LabelVoda")->text(), "Coolant = error");
    EXPECT_EQ(label("LabelVoda")->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(gauge("CGaugeVoda")->progress(), 80);
    EXPECT_EQ(gauge("CGaugeVoda")->foreColor(), QColor(255, 0, 0));
    EXPECT_EQ(label("LabelNapeti")->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(gauge("CGaugeLambda")->progress(), 50);
    EXPECT_EQ(label("LabelMonFallIn")->palette().color(QPalette::Window), QColor(255, 0, 255));
    EXPECT_EQ(version->text(), "");

    // A widget replaced after the first pass is found again.
    delete root.findChild<QLabel*>("LabelRpm");
    auto* replacement = new QLabel(page);
    replacement->setObjectName("LabelRpm");
    applyFrame(f);
    EXPECT_EQ(replacement->text(), "RPM = 0 ");
}

}  // namespace
}  // namespace torvane
