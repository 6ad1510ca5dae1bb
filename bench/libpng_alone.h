#pragma once

// Decoding a PNG file the plain libpng way, every row to 8 bits a channel: the yardstick the
// loading benchmarks hold the game's loading against.
#include <png.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace qs::bench {

struct MemoryReader {
    const std::string* data;
    size_t position = 0;
};

inline void readMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > reader->data->size() - reader->position) png_error(png, "short");
    std::memcpy(out, reader->data->data() + reader->position, length);
    reader->position += length;
}

// The decoded size in bytes, 0 for a file libpng refuses.
inline size_t decodeWithLibpng(const std::string& file, std::vector<uint8_t>& pixels) {
    MemoryReader reader{&file};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return 0;
    }
    png_set_read_fn(png, &reader, readMemory);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_read_update_info(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    pixels.resize(rowBytes * height);
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + rowBytes * y;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return pixels.size();
}

}  // namespace qs::bench
