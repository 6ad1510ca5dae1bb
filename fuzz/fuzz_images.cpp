// libFuzzer target for the image decoders and the tile cutter.
//   clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc fuzz/fuzz_images.cpp \
//     src/visual/image_decoder.cpp src/visual/png_decoder.cpp src/visual/jpeg_decoder.cpp \
//     src/visual/bmp_decoder.cpp src/visual/tga_decoder.cpp src/visual/tile_cutter.cpp \
//     src/app/text_util.cpp -lpng -ljpeg -o build-fuzz/fuzz_images
// The first byte picks the decoder; the rest is the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "visual/image_decoder.h"
#include "visual/tile_cutter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const auto kind = static_cast<qs::ImageKind>(1 + data[0] % 4);
    qs::DecodedImage image;
    std::string error;
    if (!qs::decodeImage(kind, data + 1, size - 1, image, error)) return 0;

    // Every pixel the loader may read: palette lookups, alpha positions, the mask.
    std::vector<uint8_t> mask = qs::alphaMaskOf(image);
    qs::AlphaMask alpha{mask.data(), image.width, image.height};
    qs::FrameCut cut;
    cut.width = std::min(image.width, 64);
    cut.height = std::min(image.height, 64);
    cut.textureSize = 16;
    cut.border = 1;
    cut.bytesPerPixel = (data[0] & 4) ? 2 : 4;
    qs::cutFrame(image, (data[0] & 8) ? &alpha : nullptr, cut);
    cut.x = image.width - cut.width;
    cut.y = image.height - cut.height;
    qs::cutFrame(image, nullptr, cut);
    return 0;
}
