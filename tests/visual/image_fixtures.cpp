#include "image_fixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>
#include <png.h>

namespace qs::test {

namespace {

void appendPng(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

void put16(std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

}  // namespace

std::string makePng(int width, int height, int colorType, const std::vector<uint8_t>& pixels,
                    const std::vector<uint8_t>& palette, const std::vector<uint8_t>& transparency,
                    int bitDepth) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng could not write the fixture");
    }
    png_set_write_fn(png, &out, appendPng, nullptr);
    png_set_IHDR(png, info, width, height, bitDepth, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> entries;
    for (size_t i = 0; i + 2 < palette.size(); i += 3)
        entries.push_back({palette[i], palette[i + 1], palette[i + 2]});
    if (!entries.empty()) png_set_PLTE(png, info, entries.data(), static_cast<int>(entries.size()));
    if (!transparency.empty())
        png_set_tRNS(png, info, transparency.data(), static_cast<int>(transparency.size()),
                     nullptr);
    png_write_info(png, info);
    int channels = colorType == PNG_COLOR_TYPE_RGB          ? 3
                   : colorType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                   : colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                            : 1;
    const size_t rowBytes = (static_cast<size_t>(width) * channels * bitDepth + 7) / 8;
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(pixels.data() + rowBytes * y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::string makeJpeg(int width, int height, const std::vector<uint8_t>& rgb) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.data() + cinfo.next_scanline * width * 3);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    free(buffer);
    return out;
}

std::string makeBmp(int width, int height, int bits, const std::vector<uint8_t>& pixels,
                    const std::vector<uint8_t>& palette, bool topDown) {
    const size_t pixelBytes = bits / 8;
    const size_t rowBytes = width * pixelBytes;
    const size_t stride = (rowBytes + 3) / 4 * 4;
    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size());
    std::string s = "BM";
    put32(s, offset + static_cast<uint32_t>(stride * height));
    put32(s, 0);
    put32(s, offset);
    put32(s, 40);
    put32(s, width);
    put32(s, static_cast<uint32_t>(topDown ? -height : height));
    put16(s, 1);
    put16(s, bits);
    put32(s, 0);  // no compression
    put32(s, static_cast<uint32_t>(stride * height));
    put32(s, 2835);
    put32(s, 2835);
    put32(s, static_cast<uint32_t>(palette.size() / 4));
    put32(s, 0);
    s.append(palette.begin(), palette.end());
    for (int r = 0; r < height; ++r) {
        const int y = topDown ? r : height - 1 - r;
        s.append(pixels.begin() + rowBytes * y, pixels.begin() + rowBytes * (y + 1));
        s.append(stride - rowBytes, '\0');
    }
    return s;
}

std::string makeTga(int type, int width, int height, int depth, const std::vector<uint8_t>& pixels,
                    const std::vector<uint8_t>& colourMap, int mapBits, bool topFirst,
                    int mapFirst) {
    std::string s;
    const int mapEntryBytes = (mapBits + 7) / 8;
    s += static_cast<char>(3);  // an image id of three bytes, to be skipped
    s += static_cast<char>(colourMap.empty() ? 0 : 1);
    s += static_cast<char>(type);
    put16(s, mapFirst);
    put16(s, static_cast<unsigned>(colourMap.size() / mapEntryBytes));
    s += static_cast<char>(colourMap.empty() ? 0 : mapBits);
    put16(s, 0);
    put16(s, 0);
    put16(s, width);
    put16(s, height);
    s += static_cast<char>(depth);
    s += static_cast<char>(topFirst ? 0x20 : 0);
    s += "id!";
    s.append(colourMap.begin(), colourMap.end());

    const size_t pixelBytes = (depth + 7) / 8;
    std::vector<uint8_t> stored;
    for (int r = 0; r < height; ++r) {
        const int y = topFirst ? r : height - 1 - r;
        stored.insert(stored.end(), pixels.begin() + pixelBytes * width * y,
                      pixels.begin() + pixelBytes * width * (y + 1));
    }
    if (type < 9) {
        s.append(stored.begin(), stored.end());
        return s;
    }
    const size_t count = stored.size() / pixelBytes;
    auto same = [&](size_t a, size_t b) {
        return std::equal(stored.begin() + a * pixelBytes, stored.begin() + (a + 1) * pixelBytes,
                          stored.begin() + b * pixelBytes);
    };
    for (size_t i = 0; i < count;) {
        size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run)) ++run;
        if (run > 1) {
            s += static_cast<char>(0x80 | (run - 1));
            s.append(stored.begin() + i * pixelBytes, stored.begin() + (i + 1) * pixelBytes);
            i += run;
            continue;
        }
        // A raw packet of every pixel up to the next run.
        size_t raw = 1;
        while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1)))
            ++raw;
        s += static_cast<char>(raw - 1);
        s.append(stored.begin() + i * pixelBytes, stored.begin() + (i + raw) * pixelBytes);
        i += raw;
    }
    return s;
}

}  // namespace qs::test
