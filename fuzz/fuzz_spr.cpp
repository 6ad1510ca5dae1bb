// libFuzzer target for the .spr reader: the input is the text of a prototype file whose
// lines may name a few real images (decoded, cut and packed into an in-memory device).
//   clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc \
//     -DQUIBBLESTAR_DEFAULT_DATA='"data"' fuzz/fuzz_spr.cpp \
//     $(ls src/*/*.cpp | grep -v src/app/main.cpp) $(pkg-config --cflags --libs sdl2 SDL2_mixer) \
//     -lpng -ljpeg -lz -o build-fuzz/fuzz_spr
//   build-fuzz/fuzz_spr -close_fd_mask=2 fuzz/corpus/spr   (the loader reports on stderr)
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <png.h>

#include "app/context.h"
#include "render/null_device.h"
#include "render/platform.h"
#include "visual/prototype_library.h"

namespace {

void appendPng(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

std::string rgbaPng(int width, int height) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendPng, nullptr);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            row[x * 4] = static_cast<uint8_t>(x * 8);
            row[x * 4 + 1] = static_cast<uint8_t>(y * 8);
            row[x * 4 + 2] = 0x40;
            row[x * 4 + 3] = (x + y) % 5 == 0 ? 0 : 255;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A grey TGA usable as an alpha image.
std::string greyTga(int width, int height) {
    std::string s(18, '\0');
    s[2] = 3;
    s[12] = static_cast<char>(width);
    s[14] = static_cast<char>(height);
    s[16] = 8;
    s[17] = 0x20;
    for (int i = 0; i < width * height; ++i) s += static_cast<char>(i * 3);
    return s;
}

struct World {
    World() {
        root = std::filesystem::temp_directory_path() / "qs-fuzz-spr";
        std::filesystem::create_directories(root / "graphics");
        auto write = [&](const std::string& name, const std::string& contents) {
            std::ofstream(root / name, std::ios::binary) << contents;
        };
        write("graphics/ball.png", rgbaPng(32, 32));
        write("graphics/strip.png", rgbaPng(128, 32));
        write("graphics/mask.tga", greyTga(32, 32));
        ctx = std::make_unique<qs::Context>(std::make_unique<qs::VirtualClock>(0),
                                            qs::FileSystem(root, root / "user"), platform, 1);
    }
    std::filesystem::path root;
    qs::MemoryPageDevice device;
    qs::NullPlatform platform{device};
    std::unique_ptr<qs::Context> ctx;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World world;
    qs::PrototypeLibrary library(world.ctx->prototypes->services());
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int index = library.LoadSpritePrototypeFromText("graphics\\fuzz.spr", text);
    // Every index the prototype hands out must lead somewhere real.
    const qs::TMultiSpritePrototype* prototype = library.prototypeAt(index);
    if (!prototype) abort();
    for (const qs::PrototypePart& part : prototype->parts) {
        if (part.sheet < 0) continue;
        const qs::TextureSheet* sheet = library.textures().sheetAt(part.sheet);
        if (!sheet || part.frame_count != static_cast<int>(sheet->frames.size())) abort();
        for (const qs::SheetFrame& frame : sheet->frames)
            for (const qs::TextureTile& tile : frame.tiles)
                if (tile.drawable() && !world.platform.device().hasPage(tile.page)) abort();
    }
    for (const qs::PartGroup& group : prototype->groups)
        if (group.firstPart < 0 || group.count < 0 ||
            group.firstPart + group.count > static_cast<int>(prototype->parts.size()))
            abort();
    world.platform.device().releasePages();
    library.restorePages();
    world.platform.device().releasePages();
    // No tile is ever written outside its page.
    if (world.device.refusedWrites() != 0) abort();
    return 0;
}
