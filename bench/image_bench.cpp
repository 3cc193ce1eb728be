// Cost of the passes every edit runs: NormalizeImage, and the reference and percentage view of the
// five injection maps that each map page pass recomputes.
#include <benchmark/benchmark.h>

#include "image/conversions.h"
#include "image/device_image.h"
#include "image/normalize.h"

namespace {

using namespace torvane;

// Every configuration byte set, many of them out of shape, so that each rule has work to do.
DeviceImage FilledImage() {
    DeviceImage image;
    for (std::size_t i = 300; i < ImageSize; ++i) image.setByte(i, static_cast<std::uint8_t>(i * 37 + 11));
    for (std::size_t j = 0; j < image.IapAxis.size(); ++j)
        image.IapAxis[j] = static_cast<std::uint16_t>(900 - 40 * j);
    return image;
}

void BM_NormalizeFilledImage(benchmark::State& state) {
    const DeviceImage filled = FilledImage();
    for (auto _ : state) {
        DeviceImage image = filled;
        benchmark::DoNotOptimize(NormalizeImage(image));
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_NormalizeFilledImage);

void BM_NormalizeNormalizedImage(benchmark::State& state) {
    DeviceImage image = FilledImage();
    NormalizeImage(image);
    for (auto _ : state) {
        benchmark::DoNotOptimize(NormalizeImage(image));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_NormalizeNormalizedImage);

void BM_InjectionReferenceAndPercent(benchmark::State& state) {
    DeviceImage image = FilledImage();
    NormalizeImage(image);
    InjectionWork work;
    for (auto _ : state) {
        SelectReferenceTables(image, work);
        ComputeInjectionReference(image, work);
        InjectionPercentFromImage(image, work);
        benchmark::DoNotOptimize(work);
    }
}
BENCHMARK(BM_InjectionReferenceAndPercent);

}  // namespace
