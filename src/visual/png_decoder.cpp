#include <csetjmp>
#include <cstring>

#include <png.h>

#include "visual/image_decoder.h"

namespace qs {

namespace {

// Everything with a destructor lives here, outside the function that calls setjmp, so a
// libpng error unwinding through longjmp skips no C++ object.
struct PngReadState {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
    char error[256] = {};
    DecodedImage* image = nullptr;
    std::vector<png_bytep> rows;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (length > state->size - state->position) png_error(png, "the file ends too early");
    std::memcpy(out, state->data + state->position, length);
    state->position += length;
}

void onError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngReadState*>(png_get_error_ptr(png));
    std::strncpy(state->error, message ? message : "libpng error", sizeof state->error - 1);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Sets up the transformations and reads the pixels; returns false after a libpng error.
bool readPng(png_structp png, png_infop info, PngReadState& state, std::string& sizeError) {
    if (setjmp(png_jmpbuf(png))) return false;

    png_set_read_fn(png, &state, readFromMemory);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    if (!checkImageSize(width, height, sizeError)) return false;

    DecodedImage& image = *state.image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);

    if (bitDepth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_packing(png);  // 1, 2 and 4-bit indices become one byte each
        png_colorp entries = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &entries, &count) && entries && count > 0) {
            if (count > 256) count = 256;
            image.palette.resize(static_cast<size_t>(count) * 3);
            for (int i = 0; i < count; ++i) {
                image.palette[i * 3] = entries[i].red;
                image.palette[i * 3 + 1] = entries[i].green;
                image.palette[i * 3 + 2] = entries[i].blue;
            }
        }
        // A palette with a transparency table is the paletted form of an alpha channel.
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        if (png_get_tRNS(png, info, &alpha, &alphaCount, nullptr) && alpha && alphaCount > 0) {
            image.paletteAlpha.assign(image.palette.size() / 3, 255);
            for (int i = 0; i < alphaCount && i < static_cast<int>(image.paletteAlpha.size()); ++i)
                image.paletteAlpha[i] = alpha[i];
            image.hasAlpha = true;
        }
        image.paletted = true;
        image.layout = PixelLayout::Index8;
    } else {
        if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
        if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
            png_set_gray_to_rgb(png);
        bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
        if (png_get_valid(png, info, PNG_INFO_tRNS)) {
            png_set_tRNS_to_alpha(png);
            alpha = true;
        }
        png_set_bgr(png);
        image.hasAlpha = alpha;
        image.layout = alpha ? PixelLayout::Bgra32 : PixelLayout::Bgr24;
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const size_t rowBytes = image.rowBytes();
    if (png_get_rowbytes(png, info) != rowBytes) png_error(png, "unexpected row size");
    image.pixels.resize(rowBytes * image.height);
    state.rows.resize(image.height);
    for (int y = 0; y < image.height; ++y) state.rows[y] = image.pixels.data() + rowBytes * y;
    png_read_image(png, state.rows.data());
    png_read_end(png, nullptr);
    return true;
}

}  // namespace

bool decodePng(const uint8_t* data, size_t size, DecodedImage& image, std::string& error) {
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        error = "not a PNG file";
        return false;
    }
    PngReadState state;
    state.data = data;
    state.size = size;
    state.image = &image;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, onError, onWarning);
    if (!png) {
        error = "libpng could not start";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = "libpng could not start";
        return false;
    }
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
    std::string sizeError;
    bool ok = readPng(png, info, state, sizeError);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        error = !sizeError.empty() ? sizeError : std::string("PNG: ") + state.error;
        image = DecodedImage{};
    }
    return ok;
}

}  // namespace qs
