#include "visual/prototype_library.h"

#include "core/comma_fields.h"
#include "core/text_util.h"
#include "render/platform.h"
#include "visual/image_decoder.h"
#include "visual/image_prefetcher.h"
#include "visual/load_services.h"
#include "visual/prototype_3d_loader.h"
#include "visual/sprite_prototype_loader.h"
#include "visual/tile_cutter.h"

namespace qs {

namespace {

constexpr size_t kMaxName = 255;
constexpr size_t kSlotsPerGrowth = 256;

bool isAudioExtension(const std::string& extension) {
    for (const char* audio : {"ogg", "mp3", "wav", "xm", "s3m", "mo3"}) {
        if (extension == audio) return true;
    }
    return false;
}

// Cuts frames again from their image files, decoding each image (and its alpha image) once
// for a run of frames that come from it.
class FrameRecutter {
public:
    FrameRecutter(const FileSystem& files, int bytesPerPixel)
        : files_(files), bytesPerPixel_(bytesPerPixel) {}

    bool operator()(const TextureSheet& sheet, const SheetFrame& frame, SheetFrame& cut) {
        const FrameSource& source = frame.source;
        if (source.imagePath != imagePath_ || source.alphaPath != alphaPath_) {
            imagePath_ = source.imagePath;
            alphaPath_ = source.alphaPath;
            decoded_ = decode();
        }
        if (!decoded_ || source.x < 0 || source.y < 0 ||
            int64_t{source.x} + sheet.frameWidth > image_.width ||
            int64_t{source.y} + sheet.frameHeight > image_.height)
            return false;
        FrameCut how;
        how.x = source.x;
        how.y = source.y;
        how.width = sheet.frameWidth;
        how.height = sheet.frameHeight;
        how.textureSize = sheet.textureSize;
        how.border = sheet.border;
        how.bytesPerPixel = bytesPerPixel_;
        const AlphaMask mask{maskBytes_.data(), maskWidth_, maskHeight_};
        cut = cutFrame(image_, alphaPath_.empty() ? nullptr : &mask, how);
        return true;
    }

private:
    bool decode() {
        image_ = DecodedImage{};
        maskBytes_.clear();
        std::string error;
        std::optional<std::string> file = files_.readContent(imagePath_);
        if (!file || !decodeImage(imageKindOf(imagePath_), *file, image_, error)) return false;
        if (alphaPath_.empty()) return true;
        std::optional<std::string> alphaFile = files_.readContent(alphaPath_);
        DecodedImage alpha;
        if (!alphaFile || !decodeImage(ImageKind::Tga, *alphaFile, alpha, error) ||
            alpha.width < image_.width || alpha.height < image_.height)
            return false;
        maskBytes_ = alphaMaskOf(alpha);
        maskWidth_ = alpha.width;
        maskHeight_ = alpha.height;
        return true;
    }

    const FileSystem& files_;
    int bytesPerPixel_;
    std::string imagePath_;
    std::string alphaPath_;
    bool decoded_ = false;
    DecodedImage image_;
    std::vector<uint8_t> maskBytes_;
    int maskWidth_ = 0;
    int maskHeight_ = 0;
};

}  // namespace

bool PrototypeLibrary::restorePages() {
    FrameRecutter recutter(load_.files, textures_.bytesPerPixel());
    return textures_.restorePages(load_.platform.device(), std::ref(recutter));
}

void PrototypeLibrary::releaseImages(int prototype) {
    const TMultiSpritePrototype* proto = prototypeAt(prototype);
    if (!proto) return;
    for (const PrototypePart& part : proto->parts) {
        if (textures_.tilesUnshared(part.sheet))
            textures_.releaseTiles(load_.platform.device(), part.sheet);
    }
}

void PrototypeLibrary::ensureImages(int prototype) {
    const TMultiSpritePrototype* proto = prototypeAt(prototype);
    if (!proto) return;
    FrameRecutter recutter(load_.files, textures_.bytesPerPixel());
    for (const PrototypePart& part : proto->parts) {
        const TextureSheet* sheet = textures_.sheetAt(part.sheet);
        if (sheet && sheet->released)
            textures_.reloadTiles(load_.platform.device(), part.sheet, std::ref(recutter));
    }
}

std::string prototypeKey(const std::string& name) {
    const std::string trimmed = trim(cutLine(name, kMaxName));
    if (endsWithNoCase(trimmed, ".spr"))
        return withoutFolders(trimmed.substr(0, trimmed.size() - 4));
    return toLower(trimmed);
}

PrototypeLibrary::PrototypeLibrary(const LoadServices& load) : load_(load), textures_(load.log), meshes_(load) {}

namespace {

// The slot of the prototype of a name among one kind's slots, or -1.
template <class Prototype>
int findByName(const std::vector<Prototype>& slots, const std::string& key) {
    for (size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].name == key) return static_cast<int>(i);
    }
    return -1;
}

// A free slot of one kind (a nameless one, or a new one at the end), emptied.
template <class Prototype>
int takeSlot(std::vector<Prototype>& slots) {
    int slot = findByName(slots, std::string());
    if (slot < 0) {
        if (slots.size() == slots.capacity()) slots.reserve(slots.capacity() + kSlotsPerGrowth);
        slots.emplace_back();
        slot = static_cast<int>(slots.size() - 1);
    }
    slots[static_cast<size_t>(slot)] = Prototype{};
    return slot;
}

}  // namespace

int PrototypeLibrary::FindPrototype(const std::string& name, int kind) const {
    const std::string key = prototypeKey(name);
    if (key.empty()) return -1;
    // Only ".spr" is cut off, so an .m3d path never finds its prototype by path.
    return kind == k3DPrototype ? findByName(prototypes3D_, key) : findByName(prototypes_, key);
}

template <class Prototype, class FromText>
int PrototypeLibrary::loadFile(std::vector<Prototype>& slots, const std::string& path, const char* missing,
                               FromText fromText) {
    const std::string file = cutLine(path, kMaxName);
    std::optional<std::string> text = load_.files.readContent(file);
    if (text) return (this->*fromText)(file, *text);
    const int slot = takeSlot(slots);
    load_.WriteLog("index=" + std::to_string(slot));
    load_.log.error(std::string(missing) + ": \"" + file + "\"");
    return slot;
}

int PrototypeLibrary::LoadSpritePrototype(const std::string& path) {
    return loadFile(prototypes_, path, "ERROR_prototype_create_file_not_found",
                    &PrototypeLibrary::LoadSpritePrototypeFromText);
}

int PrototypeLibrary::LoadSpritePrototypeFromText(const std::string& path, const std::string& text) {
    // The first load settles the tile format when start-up has not done so already.
    textures_.choosePixelFormat(load_.options.textures16bit);
    const std::string file = cutLine(path, kMaxName);
    const int slot = takeSlot(prototypes_);
    load_.WriteLog("index=" + std::to_string(slot));
    TMultiSpritePrototype& prototype = prototypes_[static_cast<size_t>(slot)];
    prototype.name = withoutFolders(file.size() >= 4 ? file.substr(0, file.size() - 4) : file);
    prototype.file = file;
    SpritePrototypeLoader loader(load_, textures_, prototype, file);
    loader.usePrefetcher(prefetcher_);
    loader.read(text);
    return slot;
}

int PrototypeLibrary::Load3DPrototype(const std::string& path) {
    return loadFile(prototypes3D_, path, "ERROR_prototype3d_create_file_not_found",
                    &PrototypeLibrary::Load3DPrototypeFromText);
}

int PrototypeLibrary::Load3DPrototypeFromText(const std::string& path, const std::string& text) {
    const std::string file = cutLine(path, kMaxName);
    const int slot = takeSlot(prototypes3D_);
    load_.WriteLog("index=" + std::to_string(slot));
    TMulti3DPrototype& prototype = prototypes3D_[static_cast<size_t>(slot)];
    prototype.name = withoutExtension(withoutFolders(file));
    Prototype3DLoader loader(load_, meshes_, prototype, file);
    loader.read(text);
    return slot;
}

void PrototypeLibrary::prefetchEntry(const std::string& entry) {
    if (!prefetcher_) return;
    const std::string line = cutLine(entry, kMaxName);
    const std::string file =
        trim(line.find(", ") != std::string::npos ? GetCommaField(line, 2) : line);
    const size_t dot = file.find('.');
    const std::string extension =
        dot == std::string::npos ? std::string() : toLower(trim(file.substr(dot + 1)));
    if (file.empty() || isAudioExtension(extension) || extension == "m3d" ||
        FindPrototype(file, kSpritePrototype) >= 0)
        return;
    std::optional<std::string> text = load_.files.readContent(file);
    if (!text) return;
    for (const std::string& image : imagesNamedBy(file, *text)) {
        int sheet = -1, frame = -1;
        if (!textures_.findFrame(withoutExtension(withoutFolders(image)), sheet, frame))
            prefetcher_->request(image);
    }
}

int64_t PrototypeLibrary::LoadResourceEntry(const ListEntry& entry) {
    Log::Scope place(load_.log, entry.where());
    return LoadResourceEntry(entry.text);
}

int64_t PrototypeLibrary::LoadResourceEntry(const std::string& entry) {
    const std::string line = cutLine(entry, kMaxName);
    std::string name, file;
    if (line.find(", ") != std::string::npos) {
        name = trim(GetCommaField(line, 1));
        file = trim(GetCommaField(line, 2));
    } else {
        name = file = trim(line);
    }
    if (file.empty()) {
        load_.log.error("resource entry \"" + line + "\" names no file; skipped");
        return -1;
    }
    const size_t dot = file.find('.');
    const std::string extension =
        dot == std::string::npos ? std::string() : toLower(trim(file.substr(dot + 1)));

    if (isAudioExtension(extension)) {
        if (!audioEntryLoader) {
            load_.log.error("no sound library for the resource entry \"" + line + "\"; skipped");
            return -1;
        }
        return audioEntryLoader(name, file, extension, trim(GetCommaField(line, 3)), line);
    }
    if (extension == "m3d") {
        if (FindPrototype(file, k3DPrototype) != -1) return -1;
        return Load3DPrototype(file);
    }
    if (FindPrototype(file, kSpritePrototype) != -1) return -1;
    return LoadSpritePrototype(file);
}

}  // namespace qs
