#include "editor/page_catalogue.h"

namespace torvane {
namespace {

constexpr std::array<PageInfo, PageCount> kPages{{
    {"TabSheet_Bike", "Bike"},
    {"TabSheet_Synchro", "Synchro"},
    {"TabSheet_Advance", "Advance"},
    {"TabSheet_Jet1A", "Inj-1A"},
    {"TabSheet_Jet2A", "Inj-2A"},
    {"TabSheet_Jet3A", "Inj-3A"},
    {"TabSheet_Jet4A", "Inj-4A"},
    {"TabSheet_JetB", "Inj-B"},
    {"TabSheet_Iap", "Inj-IAP"},
    {"TabSheet_Poloha", "Poloha"},
    {"TabSheet_Korekce", "Korekce"},
    {"TabSheet_Cidla", "Čidla"},
    {"TabSheet_ServoIn", "Intake Servo"},
    {"TabSheet_ServoEx", "Exhaust Servo"},
    {"TabSheet_Idle", "Volnoběh"},
    {"TabSheet_Gas", "N2O"},
    {"TabSheet_Race", "Race"},
    {"TabSheet_Gear", "Gear"},
    {"TabSheet_Monitor", "Monitor"},
}};

constexpr MapPageInfo kMapPages[] = {
    {PageAdvance, FieldId::Advance, FieldId::RpmAdv, 415, 550, false, std::nullopt, false, false, 60},
    {PageJet1A, FieldId::Jet1A, FieldId::RpmJet1A, 430, 350, true, InjectionMap::Jet1A, false, false, 1000},
    {PageJet2A, FieldId::Jet2A, FieldId::RpmJet2A, 445, 500, true, InjectionMap::Jet2A, false, false, 1000},
    {PageJet3A, FieldId::Jet3A, FieldId::RpmJet3A, 460, 650, true, InjectionMap::Jet3A, false, false, 1000},
    {PageJet4A, FieldId::Jet4A, FieldId::RpmJet4A, 475, 800, true, InjectionMap::Jet4A, false, false, 1000},
    {PageJetB, FieldId::JetB, FieldId::RpmJetB, 490, 1900, false, std::nullopt, false, false, 100},
    {PageIap, FieldId::Iap, FieldId::RpmIap, 505, 1025, true, InjectionMap::Iap, false, false, 1000},
    {PageServoIn, FieldId::ServoInValue, FieldId::RpmServoIn, 535, 2500, false, std::nullopt, true, true,
     100},
    {PageServoEx, FieldId::ServoExValue, FieldId::RpmServoEx, 520, 2350, false, std::nullopt, true, false,
     100},
};

}  // namespace

const PageInfo& PageInfoOf(int page) {
    return kPages[static_cast<std::size_t>(page >= 0 && page < PageCount ? page : PageMonitor)];
}

bool IsMapPage(int page) {
    return MapPageOf(page) != nullptr;
}

const MapPageInfo* MapPageOf(int page) {
    for (const MapPageInfo& info : kMapPages) {
        if (info.page == page) return &info;
    }
    return nullptr;
}

}  // namespace torvane
