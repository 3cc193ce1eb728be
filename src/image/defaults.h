#pragma once
// Default settings of a motorcycle type: writes a complete, plausible configuration for the type held in
// `Bike`, for all pages or only for the page that is shown. The caller normalizes, refreshes the pages
// and records the history afterwards.

#include "image/catalogue.h"
#include "image/conversions.h"
#include "image/device_image.h"

namespace torvane {

// What the defaults remember between calls: the type whose per-type tables were chosen last, and its
// trigger profile. A `Bike` code of 50 or more has no catalogue row, so it keeps the earlier type's
// tables (the start-up type when there was none).
struct DefaultsState {
    int tableCode = StartupBikeCode;
    int triggerProfile = CatalogueRowOfCode(StartupBikeCode).triggerProfile;
};

// Chooses the per-type tables and the trigger profile for the image's `Bike` and returns the code whose
// tables serve it.
int ChooseTypeTables(const DeviceImage& image, DefaultsState& state);

// Synchronization defaults of the type (Synchro page, BikeSecial off, InvInput, Buzeni, BikeConstA[0]).
void ApplySynchronizationDefaults(DeviceImage& image, DefaultsState& state);
// Type constants: BikeConstA[3..5] and the four bytes 570..573 (BikeRevLimit = the type's ignition
// limiter, then BikeConstB).
void ApplyBikeConstants(DeviceImage& image, DefaultsState& state);
// The nine BikeTempCurve words of the type.
void ApplyBikeTempCurve(DeviceImage& image, DefaultsState& state);
// Both parts of the type constants.
void ApplyTypeConstants(DeviceImage& image, DefaultsState& state);

// What a change of motorcycle type does whatever the user answers to the defaults question: the injection
// maps keep their percentages over the references of the new type, and the synchronization fields and
// both parts of the type constants follow the new type.
void ApplyTypeChange(DeviceImage& image, InjectionWork& work, DefaultsState& state);
// Switching the special synchronization setting off restores the type's synchronization and the first
// part of its type constants.
void ApplySpecialSettingOff(DeviceImage& image, DefaultsState& state);

// The defaults of the image's type. pageOnly false writes every page; true writes the fields of page
// pageIndex plus what every pass writes (reference tables, type constants, ServoInMode, ServoExMode,
// temperature sensors, the injection maps rebuilt from their percentages).
void ApplyDefaults(DeviceImage& image, InjectionWork& work, DefaultsState& state, bool pageOnly,
                   int pageIndex);
// The same for a caller that keeps no state: a code of 50 or more gets the start-up type's tables.
void ApplyDefaults(DeviceImage& image, InjectionWork& work, bool pageOnly, int pageIndex);

}  // namespace torvane
