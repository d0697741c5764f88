// Saving and loading Clavora.ini with many records: every save rewrites the whole file, and
// saves follow every ended pin, so a long list must stay cheap to write.
#include "BenchWorld.h"
#include "pins/ConfigFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// A folder of its own for the file, removed afterwards.
class CBenchFolder {
public:
    CBenchFolder() {
        std::string pattern = (fs::temp_directory_path() / "clavora-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data())) m_dir = pattern;
    }
    ~CBenchFolder() {
        std::error_code ignored;
        if (!m_dir.empty()) fs::remove_all(m_dir, ignored);
    }
    CBenchFolder(const CBenchFolder&) = delete;
    CBenchFolder& operator=(const CBenchFolder&) = delete;

    bool ok() const { return !m_dir.empty(); }
    std::string iniPath() const { return (m_dir / "Clavora.ini").string(); }

private:
    fs::path m_dir;
};

// Records as a user's file holds them: paths, rectangles, some with a transparency.
std::vector<CPinData> savedRecords(int count) {
    std::vector<CPinData> records = makeBenchRecords(count, count);
    for (std::size_t i = 0; i < records.size(); ++i) {
        CPinData& r = records[i];
        r.m_exePath = "C:\\Program Files\\Vendor\\" + r.m_exeName;
        r.m_rectTarget = Rect{static_cast<int>(i), 100, static_cast<int>(i) + 800, 700};
        r.m_transFlag = static_cast<int>(i % 3 == 0);
    }
    return records;
}

void BM_SaveConfig(benchmark::State& state) {
    CBenchFolder folder;
    if (!folder.ok()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::vector<CPinData> records = savedRecords(static_cast<int>(state.range(0)));
    CWriteIniFile writer;
    const CPinSettings settings;
    for (auto _ : state) {
        if (!writePinFile(writer, folder.iniPath(), settings, records)) {
            state.SkipWithError("the file could not be written");
            return;
        }
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(folder.iniPath()));
}
BENCHMARK(BM_SaveConfig)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_LoadConfig(benchmark::State& state) {
    CBenchFolder folder;
    if (!folder.ok()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const int count = static_cast<int>(state.range(0));
    CWriteIniFile writer;
    if (!writePinFile(writer, folder.iniPath(), CPinSettings{}, savedRecords(count))) {
        state.SkipWithError("the file could not be written");
        return;
    }
    std::vector<CPinData> loaded;
    for (auto _ : state) {
        CPinSettings settings;
        loadPinFile(folder.iniPath(), settings, loaded);
        benchmark::DoNotOptimize(loaded.data());
    }
    if (static_cast<int>(loaded.size()) != count) state.SkipWithError("records lost on the way");
}
BENCHMARK(BM_LoadConfig)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
