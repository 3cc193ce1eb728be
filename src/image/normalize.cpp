#include "image/normalize.h"

#include <algorithm>
#include <array>

#include "image/fields.h"

namespace torvane {

namespace {

// The fields the pass works on, looked up once by name.
struct Fields {
    // Axes with the lower bound i + 3, then those with the lower bound i (servo axes).
    std::array<const FieldInfo*, 7> raisedAxes{&Field(FieldId::RpmAdv),    &Field(FieldId::RpmJet1A),
                                               &Field(FieldId::RpmJetB),   &Field(FieldId::RpmJet2A),
                                               &Field(FieldId::RpmIap),    &Field(FieldId::PolohaARpm),
                                               &Field(FieldId::PolohaBRpm)};
    std::array<const FieldInfo*, 2> servoAxes{&Field(FieldId::RpmServoIn), &Field(FieldId::RpmServoEx)};
    // Order in which the axes are made strictly rising.
    std::array<const FieldInfo*, 11> risingAxes{
        &Field(FieldId::RpmAdv),     &Field(FieldId::RpmJet1A),   &Field(FieldId::RpmJetB),
        &Field(FieldId::RpmJet2A),   &Field(FieldId::RpmJet3A),   &Field(FieldId::RpmJet4A),
        &Field(FieldId::RpmIap),     &Field(FieldId::RpmServoIn), &Field(FieldId::RpmServoEx),
        &Field(FieldId::PolohaARpm), &Field(FieldId::PolohaBRpm)};
    std::array<const FieldInfo*, 2> servoMaps{&Field(FieldId::ServoInValue), &Field(FieldId::ServoExValue)};
    std::array<const FieldInfo*, 2> positions{&Field(FieldId::PolohaAPoz), &Field(FieldId::PolohaBPoz)};
    std::array<const FieldInfo*, 5> jetMaps{&Field(FieldId::Jet1A), &Field(FieldId::Jet2A),
                                            &Field(FieldId::Jet3A), &Field(FieldId::Jet4A),
                                            &Field(FieldId::Iap)};
    std::array<const FieldInfo*, 4> syticCas{&Field(FieldId::SyticCas1), &Field(FieldId::SyticCas2),
                                             &Field(FieldId::SyticCas3), &Field(FieldId::SyticCas4)};
    std::array<const FieldInfo*, 4> syticKorekce{
        &Field(FieldId::SyticKorekce0), &Field(FieldId::SyticKorekce1), &Field(FieldId::SyticKorekce2),
        &Field(FieldId::SyticKorekce3)};
    const FieldInfo& iapAxis = Field(FieldId::IapAxis);
    const FieldInfo& advance = Field(FieldId::Advance);
    const FieldInfo& jetB = Field(FieldId::JetB);
    const FieldInfo& bike = Field(FieldId::Bike);
    const FieldInfo& baseAdvance = Field(FieldId::BaseAdvance);
    const FieldInfo& lobeWidth = Field(FieldId::LobeWidth);
    const FieldInfo& tps0 = Field(FieldId::Tps0);
    const FieldInfo& tps100 = Field(FieldId::Tps100);
    const FieldInfo& startJet = Field(FieldId::StartJet);
    const FieldInfo& pilotLight1 = Field(FieldId::PilotLight1);
    const FieldInfo& pilotLight2 = Field(FieldId::PilotLight2);
    const FieldInfo& gas1 = Field(FieldId::Gas1);
    const FieldInfo& gas2 = Field(FieldId::Gas2);
    const FieldInfo& gasT = Field(FieldId::GasT);
    const FieldInfo& gasD = Field(FieldId::GasD);
    const FieldInfo& retard1 = Field(FieldId::Retard1);
    const FieldInfo& retard2 = Field(FieldId::Retard2);
    const FieldInfo& retardT = Field(FieldId::RetardT);
    const FieldInfo& retardD = Field(FieldId::RetardD);
    const FieldInfo& gasJetKor1 = Field(FieldId::GasJetKor1);
    const FieldInfo& gasJetKor2 = Field(FieldId::GasJetKor2);
    const FieldInfo& iapTpsMin = Field(FieldId::IapTpsMin);
    const FieldInfo& iapTpsMax = Field(FieldId::IapTpsMax);
    const FieldInfo& iapRpmMin = Field(FieldId::IapRpmMin);
    const FieldInfo& iapRpmMax = Field(FieldId::IapRpmMax);
    const FieldInfo& apsNapeti1 = Field(FieldId::ApsNapeti1);
    const FieldInfo& apsNapeti2 = Field(FieldId::ApsNapeti2);
    const FieldInfo& iapsNapeti1 = Field(FieldId::IapsNapeti1);
    const FieldInfo& iapsNapeti2 = Field(FieldId::IapsNapeti2);
    const FieldInfo& waterSensor = Field(FieldId::WaterSensor);
    const FieldInfo& airSensor = Field(FieldId::AirSensor);
    const FieldInfo& servoInExcitation = Field(FieldId::ServoInExcitation);
    const FieldInfo& servoInStepPeriod = Field(FieldId::ServoInStepPeriod);
    const FieldInfo& idleStepPuls = Field(FieldId::IdleStepPuls);
    const FieldInfo& idleStepPerioda = Field(FieldId::IdleStepPerioda);
    const FieldInfo& pocPalcu = Field(FieldId::PocPalcu);
    const FieldInfo& vynechPalcu = Field(FieldId::VynechPalcu);
    const FieldInfo& toothAngle = Field(FieldId::ToothAngle);
    const FieldInfo& teethPer180 = Field(FieldId::TeethPer180);
    const FieldInfo& teethPer60 = Field(FieldId::TeethPer60);
};

const Fields& F() {
    static const Fields fields;
    return fields;
}

class Pass {
  public:
    explicit Pass(DeviceImage& image) : image_(image) {}

    int get(const FieldInfo& f, int e = 0) const { return FieldValue(image_, f, e); }
    void set(const FieldInfo& f, int e, int v) { SetFieldValue(image_, f, e, v); }
    void atMost(const FieldInfo& f, int e, int hi) {
        if (get(f, e) > hi) set(f, e, hi);
    }
    // Never above the top of the field's stored range (the field table's).
    void withinTop(const FieldInfo& f, int e) { atMost(f, e, f.maxStored); }
    void atLeast(const FieldInfo& f, int e, int lo) {
        if (get(f, e) < lo) set(f, e, lo);
    }
    // The second of an ordered pair never below the first.
    void notBelow(const FieldInfo& second, const FieldInfo& first, int e = 0) {
        atLeast(second, e, get(first, e));
    }

  private:
    DeviceImage& image_;
};

void AxisBounds(Pass& p, const Fields& f) {
    for (int i = 0; i < 15; ++i) {
        for (const FieldInfo* axis : f.raisedAxes) p.atLeast(*axis, i, i + 3);
        for (const FieldInfo* axis : f.servoAxes) p.atLeast(*axis, i, i);
        for (const FieldInfo* axis : f.raisedAxes) p.atMost(*axis, i, i + 236);
        for (const FieldInfo* axis : f.servoAxes) p.atMost(*axis, i, i + 236);
        // A closed-throttle servo cell beyond 249 is a leftover of an old coding and means position 1.
        for (const FieldInfo* map : f.servoMaps)
            if (p.get(*map, i) > 249) p.set(*map, i, 1);
        for (const FieldInfo* pos : f.positions) p.withinTop(*pos, i);
    }
}

// A repaired element is one above its predecessor but never beyond the top of its storage: wrapping
// would undo the repair.
void StrictlyRising(Pass& p, const FieldInfo& f, int k, int top) {
    const int previous = p.get(f, k - 1);
    if (previous >= p.get(f, k)) p.set(f, k, std::min(previous + 1, top));
}

void StrictlyFalling(Pass& p, const FieldInfo& f, int m) {
    const int previous = p.get(f, m - 1);
    if (p.get(f, m) >= previous) p.set(f, m, std::max(previous - 1, 0));
}

bool MapCells(Pass& p, const Fields& f) {
    const int bike = p.get(f.bike);
    const bool lobeLimit = bike == 8 || bike == 25;
    const int lobeTop = p.get(f.baseAdvance) + p.get(f.lobeWidth);
    for (int k = 0; k < f.advance.count; ++k) {
        p.withinTop(f.advance, k);
        for (const FieldInfo* map : f.jetMaps) p.withinTop(*map, k);
        p.withinTop(f.jetB, k);
        if (lobeLimit) p.atMost(f.advance, k, lobeTop);
    }
    return lobeLimit;
}

void Scalars(Pass& p, const Fields& f) {
    p.withinTop(f.tps0, 0);
    p.withinTop(f.tps100, 0);
    p.withinTop(f.startJet, 0);
    for (std::size_t k = 0; k < 4; ++k) {
        p.atLeast(*f.syticCas[k], 0, static_cast<int>(k));
        p.atMost(*f.syticCas[k], 0, static_cast<int>(k) + 247);
        p.withinTop(*f.syticKorekce[k], 0);
    }
    for (std::size_t l = 1; l < 4; ++l) {
        const int previous = p.get(*f.syticCas[l - 1]);
        if (previous >= p.get(*f.syticCas[l])) p.set(*f.syticCas[l], 0, previous + 1);
    }
    for (int m = 0; m < f.pilotLight2.count; ++m) p.notBelow(f.pilotLight2, f.pilotLight1, m);
    p.withinTop(f.gas1, 0);
    p.withinTop(f.gas2, 0);
    p.notBelow(f.gas2, f.gas1);
    if (p.get(f.gasT) == 0) p.set(f.gasT, 0, 1);
    p.atMost(f.gasD, 0, 200);
    p.atMost(f.gasT, 0, 200);
    p.withinTop(f.retard1, 0);
    p.withinTop(f.retard2, 0);
    p.notBelow(f.retard2, f.retard1);
    p.atMost(f.retardD, 0, 200);
    if (p.get(f.retardT) == 0) p.set(f.retardT, 0, 1);
    p.atMost(f.retardT, 0, 200);
    p.notBelow(f.gasJetKor2, f.gasJetKor1);
}

// Degrees per tooth pitch and the teeth in 180° and 60°. A tooth count of zero or above 360 would
// give no usable pitch; the derived values are then left as they are.
void Synchronisation(Pass& p, const Fields& f) {
    const int bike = p.get(f.bike);
    if (bike == 9 || bike == 25) {
        p.set(f.toothAngle, 0, p.get(f.lobeWidth));
        p.set(f.teethPer180, 0, 2);
        p.set(f.teethPer60, 0, 1);
        return;
    }
    const int teeth = p.get(f.pocPalcu) + p.get(f.vynechPalcu);
    if (teeth == 0) return;
    const int angle = (360 / teeth) & 0xFF;
    if (angle == 0) return;
    p.set(f.toothAngle, 0, angle);
    p.set(f.teethPer180, 0, 179 / angle + 1);
    p.set(f.teethPer60, 0, 59 / angle + 1);
}

}  // namespace

NormalizeResult NormalizeImage(DeviceImage& image, NormalizeSettings settings) {
    const Fields& f = F();
    Pass p(image);
    NormalizeResult result;

    AxisBounds(p, f);

    for (int j = 1; j < f.iapAxis.count; ++j) StrictlyRising(p, f.iapAxis, j, 0xFFFF);

    for (int k = 1; k < 15; ++k)
        for (const FieldInfo* axis : f.risingAxes) StrictlyRising(p, *axis, k, 0xFF);

    result.advanceLimitedByLobe = MapCells(p, f);

    Scalars(p, f);

    if (settings.languageIndex < 0 || settings.languageIndex > 3) settings.languageIndex = 0;
    if (settings.portIndex < 0 || settings.portIndex > 19) settings.portIndex = 0;
    result.settings = settings;

    p.atMost(f.baseAdvance, 0, 40);
    p.atMost(f.iapTpsMin, 0, 100);
    p.notBelow(f.iapTpsMax, f.iapTpsMin);
    p.notBelow(f.iapRpmMax, f.iapRpmMin);

    result.editApsNapeti1Red = result.editApsNapeti2Red = p.get(f.apsNapeti1) == p.get(f.apsNapeti2);
    result.editIapsNapeti1Red = result.editIapsNapeti2Red = p.get(f.iapsNapeti1) == p.get(f.iapsNapeti2);

    for (int m = 1; m < f.waterSensor.count; ++m) StrictlyFalling(p, f.waterSensor, m);
    for (int m = 1; m < f.airSensor.count; ++m) StrictlyFalling(p, f.airSensor, m);

    p.atMost(f.servoInExcitation, 0, p.get(f.servoInStepPeriod));
    p.atMost(f.idleStepPuls, 0, p.get(f.idleStepPerioda));

    Synchronisation(p, f);
    return result;
}

}  // namespace torvane
