// Save and open of parameter files, in memory and through the file system.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/default_image.h"
#include "files/parameter_file.h"
#include "files/service_batch.h"
#include "image/catalogue.h"

namespace {

using namespace torvane;

std::filesystem::path BenchDir() {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "torvane_files_bench";
    std::filesystem::create_directories(dir);
    return dir;
}

void BM_FormatType32(benchmark::State& state) {
    const DeviceImage image = NewImageForBike(32);
    for (auto _ : state) benchmark::DoNotOptimize(FormatParameterFile(image));
}
BENCHMARK(BM_FormatType32);

void BM_ReadType32FullOpen(benchmark::State& state) {
    const std::string text = FormatParameterFile(NewImageForBike(32));
    for (auto _ : state) {
        DeviceImage image;
        benchmark::DoNotOptimize(ReadParameterText(text, image));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReadType32FullOpen);

void BM_SaveParameterFileType32(benchmark::State& state) {
    const DeviceImage image = NewImageForBike(32);
    const std::string path = (BenchDir() / "type32.ign").string();
    for (auto _ : state) benchmark::DoNotOptimize(SaveParameterFile(path, image));
}
BENCHMARK(BM_SaveParameterFileType32);

void BM_LoadParameterFileType32(benchmark::State& state) {
    const std::string path = (BenchDir() / "type32_load.ign").string();
    SaveParameterFile(path, NewImageForBike(32));
    for (auto _ : state) {
        DeviceImage image;
        benchmark::DoNotOptimize(LoadParameterFile(path, image));
    }
}
BENCHMARK(BM_LoadParameterFileType32);

// The batch of all 50 types: defaults, normalization and a saved file each, then all opened again.
void BM_AllTypesSaveThenLoad(benchmark::State& state) {
    const std::filesystem::path dir = BenchDir();
    std::vector<DeviceImage> images;
    for (const CatalogueRow& row : CatalogueRows()) images.push_back(NewImageForBike(row.code));
    for (auto _ : state) {
        for (std::size_t i = 0; i < images.size(); ++i)
            SaveParameterFile((dir / ("t" + std::to_string(i) + ".ign")).string(), images[i]);
        for (std::size_t i = 0; i < images.size(); ++i) {
            DeviceImage image;
            benchmark::DoNotOptimize(
                LoadParameterFile((dir / ("t" + std::to_string(i) + ".ign")).string(), image));
        }
    }
}
BENCHMARK(BM_AllTypesSaveThenLoad)->Unit(benchmark::kMillisecond);

void BM_AllTypesDefaultsWritten(benchmark::State& state) {
    const std::filesystem::path dir = BenchDir();
    for (auto _ : state) {
        for (const CatalogueRow& row : CatalogueRows())
            SaveParameterFile((dir / ("d" + std::to_string(row.code) + ".ign")).string(),
                              NewImageForBike(row.code));
    }
}
BENCHMARK(BM_AllTypesDefaultsWritten)->Unit(benchmark::kMillisecond);

// Save All New of the service menu: defaults, normalization and a saved file for each of the 50 types,
// into new_ign/ of a temporary working directory (the files replaced on every round after the first).
void BM_SaveAllNew(benchmark::State& state) {
    const std::filesystem::path dir = BenchDir() / "batch";
    std::filesystem::create_directories(dir);
    for (auto _ : state) benchmark::DoNotOptimize(SaveAllNew(dir));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveAllNew)->Unit(benchmark::kMillisecond);

}  // namespace
