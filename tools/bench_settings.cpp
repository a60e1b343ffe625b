// Reading and writing the settings text of 10,000 entries (the file work without the disk or icons).
#include <benchmark/benchmark.h>

#include "app/SettingsText.h"
#include "toolkit/Classes.h"

namespace {

struct TAcceptAll : IRegiLoadHost {
    TStringList files, flags, hints;
    bool EntryExists(const std::string&) override { return true; }
    bool AskRemoveMissing(const std::string&) override { return false; }
    void AppendEntry(const TRegiEntry& e) override {
        files.Add(e.Path);
        flags.Add(e.Flag);
        hints.Add(e.Hint);
    }
};

std::string MakeFile(int n) {
    TStringList files, flags, hints;
    for (int i = 0; i < n; ++i) {
        files.Add("C:\\Program Files\\表示ソフト\\アプリケーション" + std::to_string(i) + ".exe");
        flags.Add(i % 3 == 0 ? "True" : "False");
        hints.Add(i % 2 == 0 ? "ヒント" + std::to_string(i) : "");
    }
    TLauncherSettings s = NoFileDefaults(1920, 1080);
    s.NumOfRegi = n;
    return FormatSettings(s, 100, 200, files, flags, hints);
}

void BM_ReadSettings(benchmark::State& state) {
    std::string text = MakeFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto lines = SplitTextLines(text);
        TLauncherSettings s = ReadSettingsValues(lines, 1920, 1080);
        TAcceptAll host;
        ReadRegisteredFiles(lines, host);
        benchmark::DoNotOptimize(s);
        benchmark::DoNotOptimize(host.files.Count());
    }
}

void BM_WriteSettings(benchmark::State& state) {
    std::string text = MakeFile(static_cast<int>(state.range(0)));
    auto lines = SplitTextLines(text);
    TLauncherSettings s = ReadSettingsValues(lines, 1920, 1080);
    TAcceptAll host;
    ReadRegisteredFiles(lines, host);
    for (auto _ : state) {
        std::string out = FormatSettings(s, 100, 200, host.files, host.flags, host.hints);
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_ReadAndWriteSettings(benchmark::State& state) {
    std::string text = MakeFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto lines = SplitTextLines(text);
        TLauncherSettings s = ReadSettingsValues(lines, 1920, 1080);
        TAcceptAll host;
        ReadRegisteredFiles(lines, host);
        std::string out = FormatSettings(s, 100, 200, host.files, host.flags, host.hints);
        benchmark::DoNotOptimize(out.data());
    }
}

}  // namespace

BENCHMARK(BM_ReadSettings)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteSettings)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndWriteSettings)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
