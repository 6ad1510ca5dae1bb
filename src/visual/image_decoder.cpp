#include "visual/image_decoder.h"

#include "core/text_util.h"

namespace qs {

ImageKind imageKindOf(const std::string& path) {
    if (path.size() < 4) return ImageKind::Unknown;
    std::string ending = toLower(path.substr(path.size() - 4));
    if (ending == ".png") return ImageKind::Png;
    if (ending == ".bmp") return ImageKind::Bmp;
    if (ending == ".jpg") return ImageKind::Jpeg;
    if (ending == ".tga") return ImageKind::Tga;
    return ImageKind::Unknown;
}

const char* imageKindName(ImageKind kind) {
    switch (kind) {
        case ImageKind::Png: return "PNG";
        case ImageKind::Bmp: return "BMP";
        case ImageKind::Jpeg: return "JPEG";
        case ImageKind::Tga: return "TGA";
        default: return "unknown";
    }
}

int bytesPerPixel(PixelLayout layout) {
    switch (layout) {
        case PixelLayout::Index8: return 1;
        case PixelLayout::Bgr24: return 3;
        case PixelLayout::Bgra32:
        case PixelLayout::Abgr32: return 4;
    }
    return 4;
}

bool checkImageSize(int64_t width, int64_t height, std::string& error) {
    if (width <= 0 || height <= 0) {
        error = "empty image size " + std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    if (width > kMaxImageSide || height > kMaxImageSide || width * height > kMaxImagePixels) {
        error = "image size " + std::to_string(width) + " x " + std::to_string(height) +
                " is beyond the limit";
        return false;
    }
    return true;
}

bool decodeImage(ImageKind kind, const uint8_t* data, size_t size, DecodedImage& image,
                 std::string& error) {
    image = DecodedImage{};
    bool ok = false;
    switch (kind) {
        case ImageKind::Png: ok = decodePng(data, size, image, error); break;
        case ImageKind::Bmp: ok = decodeBmp(data, size, image, error); break;
        case ImageKind::Jpeg: ok = decodeJpeg(data, size, image, error); break;
        case ImageKind::Tga: ok = decodeTga(data, size, image, error); break;
        default: error = "not a supported image type (png, bmp, jpg, tga)"; break;
    }
    if (!ok) {
        image = DecodedImage{};
        return false;
    }
    image.kind = kind;
    return true;
}

std::vector<uint8_t> alphaMaskOf(const DecodedImage& image) {
    std::vector<uint8_t> mask(static_cast<size_t>(image.width) * image.height);
    const int step = bytesPerPixel(image.layout);
    // A 32-bit BMP keeps its alpha first; every other layout starts with a colour byte.
    const int offset = image.layout == PixelLayout::Abgr32 ? 1 : 0;
    const size_t count = mask.size();
    for (size_t i = 0; i < count; ++i) mask[i] = image.pixels[i * step + offset];
    return mask;
}

}  // namespace qs
