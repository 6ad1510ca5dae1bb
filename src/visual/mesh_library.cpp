#include "visual/mesh_library.h"

#include "core/text_util.h"
#include "render/platform.h"
#include "visual/image_decoder.h"
#include "visual/load_services.h"
#include "visual/obj_mesh_reader.h"
#include "visual/tile_cutter.h"

namespace qs {

namespace {

// Larger textures than this are refused: no renderer is bound to take them.
constexpr int kMaxTextureSide = 4096;

}  // namespace

int MeshLibrary::find(const std::string& name) const {
    if (name.empty()) return -1;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

int MeshLibrary::load(const std::string& path, const std::string& name) {
    std::optional<std::string> text = load_.files.readContent(path);
    if (!text) return -1;
    return loadText(path, name, *text);
}

int MeshLibrary::loadText(const std::string& path, const std::string& name,
                          const std::string& text) {
    ObjMeshReader reader(load_, *this, path);
    std::unique_ptr<Mesh> mesh = reader.read(text);
    size_t slot = 0;
    while (slot < entries_.size() && !entries_[slot].name.empty()) ++slot;
    if (slot == entries_.size()) entries_.emplace_back();
    entries_[slot].name = name;
    entries_[slot].mesh = std::move(mesh);
    return static_cast<int>(slot);
}

int MeshLibrary::textureFor(const std::string& path) {
    const std::string key = toLower(FileSystem::normaliseName(path));
    for (size_t i = 0; i < textures_.size(); ++i) {
        if (textures_[i].path == key) return static_cast<int>(i);
    }
    const ImageKind kind = imageKindOf(path);
    if (kind == ImageKind::Unknown) {
        load_.log.error("the mesh texture \"" + path +
                       "\" is not a png, bmp, jpg or tga image; drawn without it");
        return -1;
    }
    std::optional<std::string> file = load_.files.readContent(path);
    if (!file) {
        load_.log.error("the mesh texture \"" + path + "\" is missing; drawn without it");
        return -1;
    }
    DecodedImage image;
    std::string error;
    if (!decodeImage(kind, *file, image, error)) {
        load_.log.error("the mesh texture \"" + path + "\" cannot be decoded (" + error +
                       "); drawn without it");
        return -1;
    }
    if (image.width <= 0 || image.height <= 0 || image.width > kMaxTextureSide ||
        image.height > kMaxTextureSide) {
        load_.log.error("the mesh texture \"" + path + "\" is " + std::to_string(image.width) +
                       " x " + std::to_string(image.height) + ", beyond " +
                       std::to_string(kMaxTextureSide) + " pixels a side; drawn without it");
        return -1;
    }
    Texture texture;
    texture.path = key;
    texture.width = image.width;
    texture.height = image.height;
    texture.argb.resize(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
        convertPixels(image, nullptr, 0, y, image.width,
                      texture.argb.data() + static_cast<size_t>(y) * image.width);
    const int id = static_cast<int>(textures_.size());
    texture.onDevice = load_.platform.device().createMeshTexture(id, texture.width, texture.height,
                                                                  texture.argb.data());
    if (!texture.onDevice)
        load_.log.error("the mesh texture \"" + path + "\" cannot be made a device texture");
    textures_.push_back(std::move(texture));
    return id;
}

bool MeshLibrary::restoreTextures(RenderDevice& device) {
    bool ok = true;
    for (size_t i = 0; i < textures_.size(); ++i) {
        Texture& texture = textures_[i];
        texture.onDevice = device.createMeshTexture(static_cast<int>(i), texture.width,
                                                    texture.height, texture.argb.data());
        if (!texture.onDevice) {
            load_.log.error("cannot create the mesh texture \"" + texture.path + "\" again");
            ok = false;
        }
    }
    return ok;
}

}  // namespace qs
