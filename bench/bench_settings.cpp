// Loading and saving the plug-in settings file (33 properties).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "base/Files.h"
#include "settings/dsConfig.h"

namespace {

using quorvel::dsConfig::TConfig;

std::string BenchFile() {
    const auto folder = std::filesystem::temp_directory_path() / "quorvel-bench";
    std::filesystem::create_directories(folder);
    return (folder / "configuration.xml").string();
}

void BM_SettingsSave(benchmark::State& state) {
    TConfig config;
    config.FileName = BenchFile();
    for (auto _ : state) benchmark::DoNotOptimize(config.Save());
}
BENCHMARK(BM_SettingsSave);

void BM_SettingsLoad(benchmark::State& state) {
    TConfig written;
    written.FileName = BenchFile();
    if (!written.Save()) state.SkipWithError("cannot write the settings file");
    TConfig config;
    for (auto _ : state) benchmark::DoNotOptimize(config.Load(written.FileName));
}
BENCHMARK(BM_SettingsLoad);

void BM_SettingsConstruct(benchmark::State& state) {
    for (auto _ : state) {
        TConfig config;
        benchmark::DoNotOptimize(config.FreqSample);
    }
}
BENCHMARK(BM_SettingsConstruct);

}  // namespace
