// Loading sprite prototypes (read the .spr, decode the PNG, cut tiles, pack and write them
// into texture pages) against decoding the same PNG files with libpng alone.
//   build/bench_sprite_loading            prints both and the ratio load / libpng
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <png.h>
#include <unistd.h>

#include "app/context.h"
#include "libpng_alone.h"
#include "render/null_device.h"
#include "render/platform.h"
#include "visual/prototype_library.h"

namespace {

namespace fs = std::filesystem;

void appendPng(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

// Game-like art: soft round shapes over transparency, gradients and a little grain.
std::string artPng(int width, int height, int seed) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendPng, nullptr);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 4);
    uint32_t grain = 12345u + static_cast<uint32_t>(seed);
    const double cx = width * 0.5, cy = height * 0.5, radius = width * 0.45;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grain = grain * 1664525u + 1013904223u;
            const double d = std::hypot(x - cx, y - cy) / radius;
            const double edge = d < 0.9 ? 1.0 : d < 1.0 ? (1.0 - d) * 10 : 0.0;
            uint8_t* p = &row[static_cast<size_t>(x) * 4];
            p[0] = static_cast<uint8_t>((x * 255 / width + seed * 40 + (grain >> 29)) & 0xFF);
            p[1] = static_cast<uint8_t>((y * 255 / height + (grain >> 30)) & 0xFF);
            p[2] = static_cast<uint8_t>(((x + y) * 128 / width + seed * 17) & 0xFF);
            p[3] = static_cast<uint8_t>(edge * 255);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

struct Sprite {
    std::string sprName;  // content name of the .spr file
    std::string pngPath;  // real path of its image
};

// The content set, written once into a temporary content root.
struct Content {
    Content() {
        root = fs::temp_directory_path() / ("qs-bench-sprites-" + std::to_string(::getpid()));
        fs::create_directories(root / "graphics" / "bench");
        struct Spec {
            int size;
            const char* keys;
        };
        const Spec specs[] = {
            {256, "texture_size=256"},
            {256, "texture_size=64, border=1, filter=1"},
            {256, "texture_size=64, frame_width=64, frame_height=64, anim_speed=100"},
            {256, "texture_size=128"},
            {512, "texture_size=256"},
            {512, "texture_size=128, border=1"},
            {512, "texture_size=128, frame_width=128, frame_height=128"},
            {512, "texture_size=64"},
        };
        int n = 0;
        for (const Spec& spec : specs) {
            const std::string name = "art" + std::to_string(n);
            const fs::path png = root / "graphics" / "bench" / (name + ".png");
            std::ofstream(png, std::ios::binary) << artPng(spec.size, spec.size, n);
            std::ofstream(root / "graphics" / "bench" / (name + ".spr"), std::ios::binary)
                << "z=10, x=100, y=50\r\n1\r\n" << name << ".png, " << spec.keys << "\r\n";
            sprites.push_back({"graphics\\bench\\" + name + ".spr", png.string()});
            ++n;
        }
    }
    ~Content() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path root;
    std::vector<Sprite> sprites;
};

Content& content() {
    static Content instance;
    return instance;
}

void BM_LoadSprites(benchmark::State& state) {
    qs::MemoryPageDevice device;
    qs::NullPlatform platform(device, [](const std::string& caption, const std::string& text) {
        std::cerr << caption << ": " << text << '\n';
    });
    qs::Context ctx(std::make_unique<qs::VirtualClock>(0),
                    qs::FileSystem(content().root, content().root / "user"), platform, 1);
    size_t tiles = 0;
    for (auto _ : state) {
        // A fresh library each time: a loaded image would otherwise only be shared.
        qs::PrototypeLibrary library(ctx.prototypes->services());
        for (const Sprite& sprite : content().sprites) {
            const int index = library.LoadSpritePrototype(sprite.sprName);
            benchmark::DoNotOptimize(index);
        }
        state.PauseTiming();
        tiles = 0;
        for (const qs::TextureSheet& sheet : library.textures().sheets)
            for (const qs::SheetFrame& frame : sheet.frames)
                for (const qs::TextureTile& tile : frame.tiles) tiles += tile.drawable();
        platform.device().releasePages();
        state.ResumeTiming();
    }
    state.counters["images"] = static_cast<double>(content().sprites.size());
    state.counters["tiles"] = static_cast<double>(tiles);
}

// The plain libpng way: read the file, decode every row to 8-bit RGBA.
size_t decodeFileWithLibpng(const std::string& path, std::vector<uint8_t>& pixels) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return qs::bench::decodeWithLibpng(buffer.str(), pixels);
}

void BM_DecodeWithLibpngAlone(benchmark::State& state) {
    std::vector<uint8_t> pixels;
    for (auto _ : state) {
        for (const Sprite& sprite : content().sprites)
            benchmark::DoNotOptimize(decodeFileWithLibpng(sprite.pngPath, pixels));
    }
    state.counters["images"] = static_cast<double>(content().sprites.size());
}

BENCHMARK(BM_LoadSprites)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodeWithLibpngAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Prints the usual table, then how much the whole load costs over the decoding alone.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            times_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto load = times_.find("BM_LoadSprites");
        auto decode = times_.find("BM_DecodeWithLibpngAlone");
        if (load == times_.end() || decode == times_.end() || decode->second <= 0) return;
        std::printf("\nsprite loading %.2f ms, libpng alone %.2f ms, ratio %.3f (goal <= 1.3)\n",
                    load->second, decode->second, load->second / decode->second);
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    content();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
