// Time of a full defaults pass, the work behind New, a type change and every type of the service batch.
#include <benchmark/benchmark.h>

#include "image/defaults.h"
#include "image/fields.h"

namespace {

using namespace torvane;

void BM_ApplyDefaultsFullType32(benchmark::State& state) {
    DeviceImage image;
    InjectionWork work;
    DefaultsState defaults;
    SetFieldValue(image, Field(FieldId::Bike), 0, StartupBikeCode);
    for (auto _ : state) {
        ApplyDefaults(image, work, defaults, false, 0);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_ApplyDefaultsFullType32);

void BM_ApplyDefaultsEveryType(benchmark::State& state) {
    DeviceImage image;
    InjectionWork work;
    DefaultsState defaults;
    for (auto _ : state) {
        for (int code = 0; code < MotorcycleTypeCount; ++code) {
            SetFieldValue(image, Field(FieldId::Bike), 0, code);
            ApplyDefaults(image, work, defaults, false, 0);
        }
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_ApplyDefaultsEveryType);

}  // namespace
