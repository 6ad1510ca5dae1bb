#include "render/png_writer.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <png.h>

namespace qs {

bool writePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb,
              std::string* error) {
    // The system's own reason (a missing folder, a full disk) goes with the message.
    auto fail = [&](const char* why, int code = 0) {
        if (error) *error = std::string(why) + ": " + path + (code ? std::string(" (") + std::strerror(code) + ")" : "");
        return false;
    };
    if (width <= 0 || height <= 0 || argb.size() < static_cast<size_t>(width) * height)
        return fail("no picture to write");
    bool opaque = true;
    for (uint32_t p : argb) {
        if ((p >> 24) != 0xFF) {
            opaque = false;
            break;
        }
    }
    const int channels = opaque ? 3 : 4;
    std::vector<uint8_t> rows(static_cast<size_t>(width) * height * channels);
    for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
        uint32_t p = argb[i];
        uint8_t* out = &rows[i * channels];
        out[0] = static_cast<uint8_t>(p >> 16);
        out[1] = static_cast<uint8_t>(p >> 8);
        out[2] = static_cast<uint8_t>(p);
        if (channels == 4) out[3] = static_cast<uint8_t>(p >> 24);
    }

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return fail("cannot create", errno);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return fail("out of memory writing");
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return fail("cannot write", errno);
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, &rows[static_cast<size_t>(y) * width * channels]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 ? true : fail("cannot close", errno);
}

}  // namespace qs
