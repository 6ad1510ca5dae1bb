// Loading the game's real content (data/): the loading screen, the logo and every visual entry
// of main.msl, as the first frame and the menu's loading phase load them, against decoding the
// same image files alone (libpng for PNG, libjpeg for JPEG).
//   build/bench_bench_content_loading     prints all three and the ratio load / decode alone
// BM_LoadContent runs on one thread (its CPU time is the whole cost); BM_LoadContentAhead
// decodes the next entries' images on a second thread as the game does (its real time is
// what the player waits, its CPU time counts both threads).
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/context.h"
#include "app/load_list.h"
#include "core/comma_fields.h"
#include "core/text_util.h"
#include "libpng_alone.h"
#include "render/null_device.h"
#include "visual/image_decoder.h"
#include "visual/image_prefetcher.h"
#include "visual/prototype_library.h"
#include "visual/sprite_prototype_loader.h"

namespace {

namespace fs = std::filesystem;

const char* const kLogoParts[] = {
    "graphics\\logo set\\bubble_top.spr",      "graphics\\logo set\\bubble_bottom.spr",
    "graphics\\logo set\\earth_traectory.spr", "graphics\\logo set\\flash_text.spr",
    "graphics\\logo set\\earth_flash.spr",
};

fs::path dataRoot() {
    if (const char* root = std::getenv("QUIBBLESTAR_DATA")) return root;
    return fs::path(QUIBBLESTAR_SOURCE_DIR) / "data";
}

// The visual entries the game loads before the menu is ready, in its order.
struct ContentList {
    ContentList() : files(dataRoot(), fs::temp_directory_path() / "qs-bench-content-user") {
        qs::Log log;
        std::vector<qs::ListEntry> loading, main;
        qs::ReadLoadList(loading, "loading", false, files, log);
        qs::ReadLoadList(main, "main", false, files, log);
        for (const qs::ListEntry& entry : loading) entries.push_back(entry.text);
        for (const char* logo : kLogoParts) entries.push_back(logo);
        for (const qs::ListEntry& entry : main) entries.push_back(entry.text);
        std::set<std::string> seen;
        for (const std::string& entry : entries) {
            const std::string file =
                qs::trim(entry.find(", ") != std::string::npos ? qs::GetCommaField(entry, 2) : entry);
            std::optional<std::string> text = files.readContent(file);
            if (!text) continue;
            for (const std::string& image : qs::imagesNamedBy(file, *text)) {
                std::optional<fs::path> path = files.resolveContent(image);
                if (path && seen.insert(path->string()).second) images.push_back(*path);
            }
        }
    }
    qs::FileSystem files;
    std::vector<std::string> entries;
    std::vector<fs::path> images;
};

ContentList& content() {
    static ContentList instance;
    return instance;
}

void loadContent(benchmark::State& state, bool ahead) {
    qs::MemoryPageDevice device;
    qs::NullPlatform platform(device, [](const std::string&, const std::string&) {});
    qs::Context ctx(std::make_unique<qs::VirtualClock>(0), content().files, platform, 1);
    const std::vector<std::string>& entries = content().entries;
    size_t pages = 0;
    for (auto _ : state) {
        // A fresh library each time: a loaded image would otherwise only be shared.
        qs::PrototypeLibrary library(ctx.prototypes->services());
        library.audioEntryLoader = [](const std::string&, const std::string&, const std::string&,
                                      const std::string&, const std::string&) { return int64_t{0}; };
        std::unique_ptr<qs::ImagePrefetcher> prefetcher;
        if (ahead) {
            prefetcher = std::make_unique<qs::ImagePrefetcher>(content().files);
            library.usePrefetcher(prefetcher.get());
        }
        size_t askedUpTo = 0;
        for (size_t i = 0; i < entries.size(); ++i) {
            for (; ahead && askedUpTo < std::min(entries.size(), i + 5); ++askedUpTo)
                if (askedUpTo > i) library.prefetchEntry(entries[askedUpTo]);
            benchmark::DoNotOptimize(library.LoadResourceEntry(entries[i]));
        }
        library.usePrefetcher(nullptr);
        state.PauseTiming();
        pages = library.textures().pages.size();
        prefetcher.reset();
        device.releasePages();
        state.ResumeTiming();
    }
    state.counters["entries"] = static_cast<double>(entries.size());
    state.counters["pages"] = static_cast<double>(pages);
}

void BM_LoadContent(benchmark::State& state) { loadContent(state, false); }
void BM_LoadContentAhead(benchmark::State& state) { loadContent(state, true); }

void BM_DecodeAlone(benchmark::State& state) {
    std::vector<uint8_t> pixels;
    for (auto _ : state) {
        for (const fs::path& path : content().images) {
            // Reading the file is part of it, as it is for the loader.
            std::optional<std::string> file = qs::FileSystem::readFile(path);
            if (!file) continue;
            if (qs::imageKindOf(path.string()) == qs::ImageKind::Png) {
                benchmark::DoNotOptimize(qs::bench::decodeWithLibpng(*file, pixels));
            } else {  // the game's JPEG decoder is libjpeg and nothing more
                qs::DecodedImage image;
                std::string error;
                benchmark::DoNotOptimize(
                    qs::decodeImage(qs::imageKindOf(path.string()), *file, image, error));
            }
        }
    }
    state.counters["images"] = static_cast<double>(content().images.size());
}

BENCHMARK(BM_LoadContent)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadContentAhead)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_DecodeAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Prints the usual table, then the loading's cost over the decoding alone.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            cpu_[run.run_name.function_name] = run.GetAdjustedCPUTime();
            real_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto load = cpu_.find("BM_LoadContent");
        const auto decode = cpu_.find("BM_DecodeAlone");
        if (load == cpu_.end() || decode == cpu_.end() || decode->second <= 0) return;
        std::printf("\ncontent loading %.1f ms CPU, decoding alone %.1f ms CPU, ratio %.3f (goal <= 1.3)\n",
                    load->second, decode->second, load->second / decode->second);
        const auto ahead = real_.find("BM_LoadContentAhead");
        if (ahead != real_.end())
            std::printf("with the next images decoded on a second thread: %.1f ms to wait, %.1f ms CPU in all\n",
                        ahead->second, cpu_["BM_LoadContentAhead"]);
    }

private:
    std::map<std::string, double> cpu_, real_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::cout << content().entries.size() << " entries, " << content().images.size()
              << " images under " << dataRoot().string() << "\n";
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
