#include "display/display_rules.h"

#include <cstdio>

#include "editor/page_catalogue.h"
#include "image/fields.h"
#include "text/message_table.h"

namespace torvane {
namespace {

constexpr int Rows = 10;
constexpr int Columns = 15;

std::string Indexed(std::string_view base, int i) {
    return std::string(base) + "[" + std::to_string(i) + "]";
}
std::string Numbered(std::string_view base, int i) {
    return std::string(base) + std::to_string(i);
}

// Collects the shapes of one refresh.
class Shaper {
  public:
    explicit Shaper(DisplayShape& out) : out_(out) {}

    ElementShape& at(std::string name) {
        ElementShape& e = out_.elements.emplace_back();
        e.name = std::move(name);
        return e;
    }
    void show(std::string name, bool visible) { at(std::move(name)).visible = visible; }
    // A field's spin with its caption, both named after the field ("UpDownTop2" / "LabelTop2").
    void showField(FieldId field, bool visible) {
        const std::string subject(Field(field).name);
        show("UpDown" + subject, visible);
        show("Label" + subject, visible);
    }
    void enable(std::string name, bool enabled) { at(std::move(name)).enabled = enabled; }
    void text(std::string name, std::string value) { at(std::move(name)).text = std::move(value); }
    void color(std::string name, Paint paint) { at(std::move(name)).color = paint; }

  private:
    DisplayShape& out_;
};

bool OneOrTwoTooth(const DeviceImage& image) {
    const int s = FieldValueOf(image, FieldId::Synchro1);
    return s == 5 || s == 6;
}

int Channels(const DeviceImage& image) {
    return FieldValueOf(image, FieldId::PocKanOut);
}

void ShapeBike(const DeviceImage& image, Shaper& s) {
    s.show("GroupBoxIntakePort", FieldValueOf(image, FieldId::Bike) == 46);
}

void ShapeSynchro(const DeviceImage& image, Shaper& s) {
    s.show("GroupBoxSynchro", FieldValueOf(image, FieldId::BikeSecial) != 0);
    const int n = Channels(image);
    for (int k = 2; k <= 4; ++k) s.showField(FieldRun(FieldId::Top1, k - 1), n >= k);
    const int synchro2 = FieldValueOf(image, FieldId::Synchro2);
    s.show("GroupBoxKyvani1", synchro2 == 2 || synchro2 == 3);
    s.show("GroupBoxKyvani2", synchro2 == 3);
}

void ShapeSensors(const DeviceImage& image, Shaper& s) {
    s.showField(FieldId::PotencRozsah, FieldValueOf(image, FieldId::PotencMode) != 0);
}

void ShapeIdle(const DeviceImage& image, int language, Shaper& s) {
    const int m = FieldValueOf(image, FieldId::IdleMode);
    const bool advance = FieldValueOf(image, FieldId::IdleAdvOn) != 0;
    const bool servoIn = FieldValueOf(image, FieldId::ServoInEnable) != 0;
    s.show("GroupBoxIdleServoPoz", m != 0);
    s.show("CheckBoxIdleSmerReg", m != 0);
    s.showField(FieldId::IdleStepPuls, m != 0);
    s.showField(FieldId::IdleStepPerioda, m != 0);
    s.show("LabelIdleKorAdv", advance);
    s.show("GroupBoxIdleAdvPoz", advance);
    for (FieldId f : {FieldId::IdleAdvNaRpm, FieldId::IdleAdvNaCas, FieldId::IdleMaxAdv})
        s.showField(f, advance);
    s.showField(FieldId::IdleRpmMez, advance || m == 2);
    s.showField(FieldId::IdleTpsMez, advance || m == 2);
    s.showField(FieldId::IdleHyster, m == 2);

    ElementShape& err = s.at("LabelIdleModeErr");
    std::string caption;
    switch (m) {
        case 1:
            err.visible = !servoIn;
            if (!servoIn) err.text = MessageText(MsgIntakeServoMustBeEnabled, language);
            caption = MessageText(MsgIntakeServoStartPosition, language) +
                      (FieldValueOf(image, FieldId::ServoInProcent) != 0 ? " [%]" : " [mV]");
            break;
        case 2:
            err.visible = servoIn;
            if (servoIn) err.text = MessageText(MsgIntakeServoMustBeDisabled, language);
            caption = MessageText(MsgDesiredRpm, language);
            break;
        case 3:
            err.visible = FieldValueOf(image, FieldId::ServoInEnable) == 1;
            if (*err.visible) err.text = MessageText(MsgIntakeServoMustBeDisabled, language);
            caption = MessageText(MsgTpsMinInServoSteps, language);
            break;
        default:
            err.visible = false;
            break;
    }
    if (!caption.empty()) s.text("GroupBoxIdleServoPoz", caption);
}

void ShapeGas(const DeviceImage& image, Shaper& s) {
    const bool on = FieldValueOf(image, FieldId::Gas) != 0;
    s.show("GroupBoxGas", on);
    s.show("GroupBoxRetard", on);
}

void ShapeRace(const DeviceImage& image, DisplayShape& out, Shaper& s) {
    const int bike = FieldValueOf(image, FieldId::Bike);
    const bool canShowTemperature = bike >= 43 && bike <= 49;
    s.enable("CheckBoxTempDisplay", canShowTemperature);
    if (!canShowTemperature) out.clearTempDisplay = true;
    const int system = FieldValueOf(image, FieldId::GearSystem);
    const int gears = FieldValueOf(image, FieldId::PocetGear);
    s.show("LabelRaceGear1", system != 3);
    for (int k = 2; k <= 6; ++k) {
        const bool shown = gears >= k && system != 3;
        s.show(Numbered("LabelRaceGear", k), shown);
        for (const char* f :
             {"UpDownPilotLight1", "UpDownPilotLight2", "UpDownClutchTime", "UpDownClutchPause"})
            s.show(Indexed(f, k - 1), shown);
    }
}

void ShapeGear(const DeviceImage& image, Shaper& s) {
    const int system = FieldValueOf(image, FieldId::GearSystem);
    const int gears = FieldValueOf(image, FieldId::PocetGear);
    s.show("GroupBoxNapetiProGear", system == 0);
    s.show("GroupBoxRpmSpeedProGear", system == 1);
    s.show("GroupBoxMonAutoGear", system == 2);
    s.show("LabelMonPomerRpmSpeed", system == 1 || system == 2);
    s.showField(FieldId::PocetGear, system != 3);
    const bool buttons = system == 0 || system == 1;
    s.show("ButtonGear0", buttons);
    s.show("ButtonGear1", buttons);
    for (int k = 2; k <= 6; ++k) s.show(Numbered("ButtonGear", k), buttons && gears >= k);
    for (int k = 2; k <= 6; ++k) {
        const bool shown = gears >= k;
        for (const char* l :
             {"LabelGear", "LabelPomerRpmSpeed", "LabelMonGearAuto", "LabelMonPomerRpmSpeedAuto"})
            s.show(Numbered(l, k), shown);
    }
    s.show("LabelGearKor1", system != 3);
    for (int k = 2; k <= 6; ++k) {
        const bool shown = gears >= k && system != 3;
        s.show(Numbered("LabelGearKor", k), shown);
        s.show(Indexed("UpDownGearNapeti", k), shown);
        s.show(Indexed("UpDownGearPomer", k - 1), shown);
        s.show(Indexed("UpDownGearKorAdv", k - 1), shown);
        s.show(Indexed("UpDownGearKorJet", k - 1), shown);
    }
}

// The shown state of each kind of map element in a mode.
struct ModeVisibility {
    bool rpmFields, rpmUpDowns, columnButtons, cells, cellsEnabled, cellUpDowns, times, rowCaptions, tools,
        bevel;
};
constexpr ModeVisibility kModes[] = {
    /*0*/ {false, false, false, false, false, false, false, false, false, false},
    /*1*/ {true, true, true, true, true, true, false, true, true, true},
    /*2*/ {true, false, false, true, false, false, false, true, false, true},
    /*3*/ {true, true, true, false, false, true, true, true, true, true},
    /*4*/ {true, false, false, false, false, false, true, true, false, true},
    /*5*/ {true, true, false, true, true, true, false, false, true, true},
    /*6*/ {false, false, false, true, true, true, false, true, true, true},
};

// The injection map a page shows as times, if any.
std::optional<InjectionMap> TimesMap(int page) {
    const MapPageInfo* info = MapPageOf(page);
    return info != nullptr ? info->injection : std::nullopt;
}

void ShapeMiscFields(const DeviceImage& image, int page, int mode, int language, Shaper& s) {
    const int n = Channels(image);
    std::array<bool, 6> field{};
    std::array<bool, 5> caption{};
    std::array<std::string, 5> captionText;
    bool ms = false;
    const bool coupled = FieldValueOf(image, FieldId::Jet1423Mode) == 1;
    switch (page) {
        case PageAdvance:
            field[4] = true;
            caption[0] = true;
            captionText[0] = MessageText(MsgBaseAdvance, language);
            for (int k = 0; k < 4; ++k) field[static_cast<std::size_t>(k)] = n > k;
            caption[1] = true;
            captionText[1] = ChannelCorrectionText(language, static_cast<std::uint8_t>(n));
            field[5] = caption[2] = OneOrTwoTooth(image);
            captionText[2] = MessageText(MsgLobeWidth, language);
            break;
        case PageJet1A:
            field[0] = field[1] = field[2] = field[3] = true;
            for (int k = 0; k < 5; ++k) {
                // IAP -> TP over the throttle and speed limits of the first injection map.
                static constexpr Message kJetCaptions[] = {MsgIapToTp, MsgTpsMin, MsgTpsMax, MsgRpmMin,
                                                           MsgRpmMax};
                caption[static_cast<std::size_t>(k)] = true;
                captionText[static_cast<std::size_t>(k)] =
                    MessageText(kJetCaptions[static_cast<std::size_t>(k)], language);
            }
            ms = true;
            break;
        case PageJet2A:
        case PageJet3A:
        case PageJet4A:
            ms = !coupled;
            break;
        case PageIap:
            for (int k = 0; k < 4; ++k) field[static_cast<std::size_t>(k)] = n > k;
            caption[1] = true;
            captionText[1] = ChannelCorrectionText(language, static_cast<std::uint8_t>(n));
            ms = true;
            break;
        case PageServoIn:
        case PageServoEx:
            if (mode != MapHidden) {
                field[0] = caption[1] = true;
                captionText[1] = MessageText(MsgHysteresis, language);
                if (page == PageServoIn && FieldValueOf(image, FieldId::ServoInStep) != 0) {
                    field[2] = field[3] = caption[3] = caption[4] = true;
                    captionText[3] = MessageText(MsgPeriod, language);
                    captionText[4] = MessageText(MsgExcitation, language);
                }
            }
            break;
        default:
            break;
    }
    for (int k = 0; k < 6; ++k) s.show(Indexed("UpDownMisc_Uni", k), field[static_cast<std::size_t>(k)]);
    for (int k = 0; k < 5; ++k) {
        ElementShape& e = s.at(Indexed("LabelMisc_Uni", k));
        e.visible = caption[static_cast<std::size_t>(k)];
        if (*e.visible) e.text = captionText[static_cast<std::size_t>(k)];
    }
    s.show("CheckBoxZobrMs_Uni", ms);
}

void ShapeServoControls(const DeviceImage& image, int page, int mode, Shaper& s) {
    const bool servo = page == PageServoIn || page == PageServoEx;
    s.show("CheckBoxServoEnable", servo);
    s.show("CheckBoxProcenta", servo && mode != MapHidden);
    s.show("RadioGroupServoMode", servo && mode != MapHidden);
    s.show("CheckBoxStepMotor", page == PageServoIn && mode != MapHidden);
    s.enable("CheckBoxStepMotor", FieldValueOf(image, FieldId::Bike) != 46);
}

void ShapeMapPage(const DeviceImage& image, const DisplayInputs& in, DisplayShape& out, Shaper& s) {
    const int page = in.page;
    const int mode = MapDisplayMode(image, page, in.ms);
    out.mapMode = mode;
    out.row9AtTop = mode == MapFullThrottle;
    const ModeVisibility& v = kModes[mode];

    s.show("LabelRpm_Uni", v.rpmFields);
    for (int c = 0; c < Columns; ++c) {
        ElementShape& e = s.at(Indexed("UpDownRpm_Uni", c));
        e.visible = v.rpmFields;
        e.upDowns = v.rpmUpDowns;
        s.show(Indexed("CSpinButtonColumn_Uni", c), v.columnButtons);
    }
    const std::optional<InjectionMap> times = TimesMap(page);
    const FieldInfo* timesField = times ? &Field(InjectionMapField(*times)) : nullptr;
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Columns; ++c) {
            const int k = r * Columns + c;
            bool inView = true;
            if (mode == MapFullThrottle) inView = r == 9;
            if (mode == MapLowestRpm) inView = c == 0;
            // In the times views the up-downs stay on their fields, under the labels.
            ElementShape& cell = s.at(Indexed("UpDownCell_Uni", k));
            cell.visible = inView && (v.cells || v.cellUpDowns);
            cell.enabled = v.cellsEnabled || v.cellUpDowns;
            cell.upDowns = v.cellUpDowns;
            ElementShape& label = s.at(Indexed("LabelCell_Uni", k));
            label.visible = v.times;
            if (v.times && timesField != nullptr)
                label.text = TimeLabelText(static_cast<std::uint16_t>(FieldValue(image, *timesField, k)));
        }
    }
    const bool iapPage = page == PageIap;
    for (int r = 0; r < Rows; ++r) {
        s.show(Indexed("LabelRow_Uni", r), v.rowCaptions && !iapPage);
        s.show(Indexed("UpDownIap_Uni", r), iapPage && v.rowCaptions);
    }
    ElementShape& axis = s.at("LabelAxis_Uni");
    axis.visible = v.rowCaptions;
    axis.text = iapPage ? "IAP [kPa]" : "TPS";
    s.show("CSpinButtonTools_Uni", v.tools);
    s.show("CheckBoxAll_Uni", v.tools);
    s.show("BevelGrid_Uni", v.bevel);
    s.show("CheckBoxTps_Uni", page == PageAdvance);

    // The channel caption of the injection maps that Inj-1A drives.
    const int n = Channels(image);
    const int jetMode = FieldValueOf(image, FieldId::Jet1423Mode);
    const bool identical = jetMode == 2;
    ElementShape& channels = s.at("LabelChannels_Uni");
    channels.visible = page >= PageJet1A && page <= PageJet4A && (jetMode == 1 || identical) && n != 1;
    channels.text = ChannelCaption(n, identical);
    channels.color = identical ? Paint::Aqua : Paint::Yellow;

    ShapeMiscFields(image, page, mode, in.language, s);
    ShapeServoControls(image, page, mode, s);
}

}  // namespace

int MapDisplayMode(const DeviceImage& image, int page, bool ms) {
    const bool coupled = FieldValueOf(image, FieldId::Jet1423Mode) == 1;
    switch (page) {
        case PageAdvance:
            return FieldValueOf(image, FieldId::AdvanceTps) != 0 ? MapEditable : MapFullThrottle;
        case PageJet1A:
        case PageIap:
            return ms ? MapTimes : MapEditable;
        case PageJet2A:
        case PageJet3A:
        case PageJet4A:
            if (coupled) return ms ? MapTimesReadOnly : MapReadOnly;
            return ms ? MapTimes : MapEditable;
        case PageJetB:
            return MapEditable;
        case PageServoIn:
        case PageServoEx: {
            const bool intake = page == PageServoIn;
            if (FieldValueOf(image, intake ? FieldId::ServoInEnable : FieldId::ServoExEnable) == 0)
                return MapHidden;
            switch (FieldValueOf(image, intake ? FieldId::ServoInMode : FieldId::ServoExMode)) {
                case 1:
                    return MapFullThrottle;
                case 2:
                    return MapLowestRpm;
                default:
                    return MapEditable;
            }
        }
        default:
            return MapHidden;
    }
}

std::string ChannelCaption(int channels, bool identical) {
    switch (channels) {
        case 2:
            return identical ? "  1 = 2  " : "  1 -> 2  ";
        case 3:
            return identical ? "  1 = 2 = 3  " : "  1 -> 2, 3  ";
        default:
            return identical ? "  1 = 2 = 3 = 4  " : "  1 -> 2, 3, 4  ";
    }
}

std::string TimeLabelText(std::uint16_t microseconds) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%5.3f ", microseconds * 0.001);
    return buffer;
}

DisplayShape ShapeDisplay(const DeviceImage& image, const DisplayInputs& in) {
    DisplayShape out;
    Shaper s(out);
    switch (in.page) {
        case PageBike:
            ShapeBike(image, s);
            break;
        case PageSynchro:
            ShapeSynchro(image, s);
            break;
        case PageCidla:
            ShapeSensors(image, s);
            break;
        case PageIdle:
            ShapeIdle(image, in.language, s);
            break;
        case PageGas:
            ShapeGas(image, s);
            break;
        case PageRace:
            ShapeRace(image, out, s);
            break;
        case PageGear:
            ShapeGear(image, s);
            break;
        default:
            if (IsMapPage(in.page)) ShapeMapPage(image, in, out, s);
            break;
    }
    const int jetMode = FieldValueOf(image, FieldId::Jet1423Mode);
    out.jetMenu = jetMode == 1 ? 1 : jetMode == 2 ? 2 : 0;
    const bool identical = jetMode == 2;
    const int n = Channels(image);
    for (int k = 0; k < 3; ++k) out.injectionTabs[static_cast<std::size_t>(k)] = !identical && n >= k + 2;
    s.show("LabelSnimacCkps", true);
    s.show("LabelSnimacCmps", true);
    s.color("CheckBoxProgHned", in.progHned ? Paint::Red : Paint::ButtonFace);
    return out;
}

}  // namespace torvane
