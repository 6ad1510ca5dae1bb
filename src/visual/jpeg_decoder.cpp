#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "visual/image_decoder.h"

namespace qs {

namespace {

struct JpegErrorState {
    jpeg_error_mgr manager;  // first, so the library's pointer is also ours
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX] = {};
    bool truncated = false;
};

void onFatalError(j_common_ptr info) {
    auto* state = reinterpret_cast<JpegErrorState*>(info->err);
    (*info->err->format_message)(info, state->message);
    std::longjmp(state->jump, 1);
}

void onMessage(j_common_ptr info, int level) {
    // libjpeg pads a file that ends early with grey and calls it a warning; for us a
    // truncated image is a broken one.
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<JpegErrorState*>(info->err)->truncated = true;
}

void onOutput(j_common_ptr) {}

// Decodes into `image`; false after a libjpeg error. Holds no C++ object, so the longjmp
// out of the library skips no destructor.
bool readJpeg(jpeg_decompress_struct& cinfo, JpegErrorState& errors, const uint8_t* data,
              size_t size, DecodedImage& image, std::string& sizeError) {
    if (setjmp(errors.jump)) return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (!checkImageSize(cinfo.image_width, cinfo.image_height, sizeError)) return false;
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) {
        std::strcpy(errors.message, "unexpected colour components");
        return false;
    }
    image.width = static_cast<int>(cinfo.output_width);
    image.height = static_cast<int>(cinfo.output_height);
    image.layout = PixelLayout::Bgr24;
    image.pixels.resize(image.rowBytes() * image.height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image.pixels.data() + image.rowBytes() * cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
    }
    jpeg_finish_decompress(&cinfo);
    if (errors.truncated) {
        std::strcpy(errors.message, "the file ends too early");
        return false;
    }
    return true;
}

}  // namespace

bool decodeJpeg(const uint8_t* data, size_t size, DecodedImage& image, std::string& error) {
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        error = "not a JPEG file";
        return false;
    }
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    JpegErrorState errors;
    cinfo.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = onFatalError;
    errors.manager.emit_message = onMessage;
    errors.manager.output_message = onOutput;
    std::string sizeError;
    bool ok = readJpeg(cinfo, errors, data, size, image, sizeError);
    jpeg_destroy_decompress(&cinfo);
    if (!ok) {
        error = !sizeError.empty() ? sizeError : std::string("JPEG: ") + errors.message;
        image = DecodedImage{};
    }
    return ok;
}

}  // namespace qs
