#include "visual/sprite_prototype_loader.h"

#include <cmath>

#include "core/comma_fields.h"
#include "core/text_util.h"
#include "render/platform.h"
#include "visual/image_prefetcher.h"
#include "visual/load_services.h"

namespace qs {

namespace {

constexpr size_t kMaxLine = 255;
// A part that would cut into more tiles than this is refused: no real sheet comes near it,
// and a hostile frame size must not exhaust memory.
constexpr int64_t kMaxTilesPerImage = 65536;
constexpr double kPi = 3.14159265358979323846;

}  // namespace

std::vector<PrototypeLine> prototypeLines(const std::string& text) {
    std::vector<PrototypeLine> lines;
    std::string raw;
    int number = 0;
    auto finish = [&]() {
        ++number;
        std::string line = toLower(trim(cutLine(raw, kMaxLine)));
        const size_t comment = line.find(';');
        if (comment != std::string::npos) line = trim(line.substr(0, comment));
        if (!line.empty()) lines.push_back({number, line});
        raw.clear();
    };
    for (char c : text) {
        if (c == '\n') continue;
        if (c == '\r') {
            finish();
        } else {
            raw += c;
        }
    }
    if (!raw.empty()) finish();
    return lines;
}

std::string withoutFolders(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withoutExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string foldParentFolders(std::string path) {
    for (size_t up = path.find("\\..\\"); up != std::string::npos; up = path.find("\\..\\")) {
        const size_t folder = up == 0 ? std::string::npos : path.rfind('\\', up - 1);
        if (folder == std::string::npos)
            path.erase(0, up + 4);  // the only folder goes
        else
            path.erase(folder + 1, up + 4 - (folder + 1));
    }
    return path;
}

SpritePrototypeLoader::SpritePrototypeLoader(const LoadServices& load, TextureLibrary& textures,
                                             TMultiSpritePrototype& prototype,
                                             const std::string& path)
    : PrototypeFieldReader(load, path), textures_(textures), prototype_(prototype) {
    const size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos) folder_ = path.substr(0, slash + 1);
}

namespace {
constexpr int kProblemsSaid = 20;
}  // namespace

bool PrototypeFieldReader::reportProblem() { return ++problems_ <= kProblemsSaid; }

void PrototypeFieldReader::problem(const std::string& message) {
    if (reportProblem()) load_.log.error(path_ + " line " + std::to_string(lineNumber_) + ": " + message);
}

void PrototypeFieldReader::unknownKey(const char* what, const std::string& key) {
    // The box names the file and line too: the player has no other way to find it.
    if (!reportProblem()) return;
    const std::string text = path_ + " line " + std::to_string(lineNumber_) + ": " + what + " \"" + key + "\"!";
    load_.log.error(text);
    load_.platform.showMessageBox("Error", text);
}

bool PrototypeFieldReader::intValue(const std::string& key, const std::string& value, int& out) {
    if (std::optional<int> parsed = parseIntOrHex(value)) {
        out = *parsed;
        return true;
    }
    problem("the value \"" + value + "\" of " + key + " is not a whole number; key ignored");
    return false;
}

bool PrototypeFieldReader::realValue(const std::string& key, const std::string& value,
                                     double& out) {
    std::optional<double> parsed = parseReal(value);
    if (parsed && std::isfinite(*parsed)) {
        out = *parsed;
        return true;
    }
    problem("the value \"" + value + "\" of " + key + " is not a number; key ignored");
    return false;
}

bool PrototypeFieldReader::degreesValue(const std::string& key, const std::string& value,
                                        double& out) {
    double degrees = 0;
    if (!realValue(key, value, degrees)) return false;
    out = degrees / 360 * 2 * kPi;
    return true;
}

bool PrototypeFieldReader::floatValue(const std::string& key, const std::string& value,
                                      float& out) {
    double real = 0;
    if (!realValue(key, value, real)) return false;
    if (std::fabs(real) > 3.0e38) {
        problem("the value \"" + value + "\" of " + key + " is out of range; key ignored");
        return false;
    }
    out = static_cast<float>(real);
    return true;
}

void PrototypeFieldReader::store(const std::string& key, const std::string& value, const KeySlot& slot) {
    struct Store {
        PrototypeFieldReader& reader;
        const std::string& key;
        const std::string& value;
        void operator()(int* field) const { reader.intValue(key, value, *field); }
        void operator()(double* field) const { reader.realValue(key, value, *field); }
        void operator()(float* field) const { reader.floatValue(key, value, *field); }
        void operator()(uint8_t* field) const { reader.byteValue(key, value, *field); }
        void operator()(bool* field) const { *field = value == "1"; }
        void operator()(NonZeroFlag flag) const {
            int number = 0;
            if (reader.intValue(key, value, number)) *flag.field = number != 0;
        }
        void operator()(Degrees degrees) const { reader.degreesValue(key, value, *degrees.field); }
        void operator()(EveryAxis axes) const {
            double scale = 1;
            if (!reader.realValue(key, value, scale)) return;
            *axes.x = *axes.y = scale;
            if (axes.z) *axes.z = scale;
        }
    };
    std::visit(Store{*this, key, value}, slot);
}

bool PrototypeFieldReader::byteValue(const std::string& key, const std::string& value,
                                     uint8_t& out) {
    int number = 0;
    if (!intValue(key, value, number)) return false;
    out = static_cast<uint8_t>(number & 0xFF);
    return true;
}

void PrototypeFieldReader::readLines(const std::string& text) {
    bool first = true;
    for (const PrototypeLine& line : prototypeLines(text)) {
        lineNumber_ = line.number;
        if (first) {
            readCommonLine(line.text);
            first = false;
        } else if (line.text[0] == '+') {
            readContinuationLine(line.text);
        } else if (remainingParts_ > 0) {
            --remainingParts_;
            readPartLine(line.text);
        } else {
            readGroupHeader(line.text);
        }
    }
    closeGroups();
    if (problems_ > kProblemsSaid)
        load_.log.error(path_ + ": " + std::to_string(problems_ - kProblemsSaid) + " more problems");
}

void SpritePrototypeLoader::read(const std::string& text) {
    readLines(text);
    settleObjectSize();
    if (prototype_.parts.empty()) load_.log.error(path_ + ": no part line: the prototype shows nothing");
}

void PrototypeFieldReader::shortenGroups(std::vector<PartGroup>& groups, int parts) {
    // A file that ends early leaves its last group short: it holds the parts it got.
    for (PartGroup& group : groups) {
        if (int64_t{group.firstPart} + group.count > parts) {
            load_.log.error(path_ + " line " + std::to_string(lineNumber_) + ": the file ends inside a group of " +
                           std::to_string(group.count) + " parts, after " + std::to_string(parts - group.firstPart) +
                           ": it is cut short");
            group.count = parts - group.firstPart;
        }
    }
}

void SpritePrototypeLoader::closeGroups() {
    shortenGroups(prototype_.groups, static_cast<int>(prototype_.parts.size()));
}

void SpritePrototypeLoader::readCommonLine(const std::string& line) {
    struct Line {
        TMultiSpritePrototype& p;
        int& width;
        int& height;
    };
    static constexpr PrototypeKey<Line> kKeys[] = {
        {"z", [](Line& l) -> KeySlot { return &l.p.z; }},
        {"x", [](Line& l) -> KeySlot { return &l.p.x; }},
        {"y", [](Line& l) -> KeySlot { return &l.p.y; }},
        {"flip_x", [](Line& l) -> KeySlot { return &l.p.flip_x; }},
        {"flip_y", [](Line& l) -> KeySlot { return &l.p.flip_y; }},
        {"alpha", [](Line& l) -> KeySlot { return &l.p.alpha; }},
        {"angle", [](Line& l) -> KeySlot { return Degrees{&l.p.angle}; }},
        {"trigger", [](Line& l) -> KeySlot { return &l.p.trigger; }},
        {"color", [](Line& l) -> KeySlot { return &l.p.color; }},
        {"map_koeff", [](Line& l) -> KeySlot { return &l.p.map_koeff; }},
        {"width", [](Line& l) -> KeySlot { return &l.width; }},
        {"height", [](Line& l) -> KeySlot { return &l.height; }},
        {"scale", [](Line& l) -> KeySlot { return EveryAxis{&l.p.scale_x, &l.p.scale_y}; }},
        {"scale_x", [](Line& l) -> KeySlot { return &l.p.scale_x; }},
        {"scale_y", [](Line& l) -> KeySlot { return &l.p.scale_y; }},
        {"rot_center_x", [](Line& l) -> KeySlot { return &l.p.rot_center_x; }},
        {"rot_center_y", [](Line& l) -> KeySlot { return &l.p.rot_center_y; }},
        {"isometric", [](Line& l) -> KeySlot { return &l.p.isometric; }},
        {"iso_x", [](Line& l) -> KeySlot { return &l.p.iso_x; }},
        {"iso_y", [](Line& l) -> KeySlot { return &l.p.iso_y; }},
        {"iso_z", [](Line& l) -> KeySlot { return &l.p.iso_z; }},
    };
    Line target{prototype_, widthKey_, heightKey_};
    readKeys(line, 1, kKeys, target, "Unknown common multisprite's variable");
}

void PrototypeFieldReader::startGroup(const std::string& countText, std::vector<PartGroup>& groups,
                                      int partsSoFar) {
    std::optional<int> count = parseIntOrHex(countText);
    if (!count || *count < 0) {
        problem("expected the part count of a group, found \"" + countText + "\"; line skipped");
        return;
    }
    if (*count > kMaxPartsPerPrototype) {
        problem("a group of " + std::to_string(*count) + " parts is more than the " +
                std::to_string(kMaxPartsPerPrototype) + " a prototype may hold; line skipped");
        return;
    }
    PartGroup group;
    group.firstPart = partsSoFar;
    group.count = *count;
    group.selection = -1;
    groups.push_back(group);
    remainingParts_ = *count;
}

void SpritePrototypeLoader::readGroupHeader(const std::string& line) {
    startGroup(line, prototype_.groups, static_cast<int>(prototype_.parts.size()));
}

void SpritePrototypeLoader::readPartKeys(const std::string& line, PrototypePart& part, PartKeys& keys) {
    struct Line {
        PrototypePart& part;
        PartKeys& keys;
    };
    static constexpr PrototypeKey<Line> kKeys[] = {
        {"frame_width", [](Line& l) -> KeySlot { return &l.keys.frameWidth; }},
        {"frame_height", [](Line& l) -> KeySlot { return &l.keys.frameHeight; }},
        {"anim_speed", [](Line& l) -> KeySlot { return &l.keys.animSpeed; }},
        {"anim_loop", [](Line& l) -> KeySlot { return &l.keys.animLoop; }},
        {"filter", [](Line& l) -> KeySlot { return &l.part.filter; }},
        {"border", [](Line& l) -> KeySlot { return &l.part.border; }},
        {"x", [](Line& l) -> KeySlot { return &l.part.x; }},
        {"y", [](Line& l) -> KeySlot { return &l.part.y; }},
        {"z", [](Line& l) -> KeySlot { return &l.part.z; }},
        {"texture_size", [](Line& l) -> KeySlot { return &l.keys.textureSize; }},
        {"flip_x", [](Line& l) -> KeySlot { return &l.part.flip_x; }},
        {"flip_y", [](Line& l) -> KeySlot { return &l.part.flip_y; }},
        {"alpha", [](Line& l) -> KeySlot { return &l.part.alpha; }},
        {"alpha_mode", [](Line& l) -> KeySlot { return &l.part.alpha_mode; }},
        {"angle", [](Line& l) -> KeySlot { return Degrees{&l.part.angle}; }},
        {"sprite_type", [](Line& l) -> KeySlot { return &l.part.sprite_type; }},
        {"scale", [](Line& l) -> KeySlot { return EveryAxis{&l.part.scale_x, &l.part.scale_y}; }},
        {"scale_x", [](Line& l) -> KeySlot { return &l.part.scale_x; }},
        {"scale_y", [](Line& l) -> KeySlot { return &l.part.scale_y; }},
        {"color", [](Line& l) -> KeySlot { return &l.part.color; }},
    };
    Line target{part, keys};
    readKeys(line, 2, kKeys, target, "Unknown variable in the sprite's part of the multisprite");
}

std::vector<std::string> imagesNamedBy(const std::string& path, const std::string& text) {
    const size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::vector<std::string> images;
    bool common = true;
    for (const PrototypeLine& line : prototypeLines(text)) {
        if (common) {  // the first line holds the object's keys
            common = false;
            continue;
        }
        std::string field = line.text[0] == '+' ? line.text.substr(1) : line.text;
        field = trim(GetCommaField(field, 1));
        field = trim(field.substr(0, field.find('|')));
        if (imageKindOf(field) != ImageKind::Unknown)
            images.push_back(foldParentFolders(folder + field));
    }
    return images;
}

SpritePrototypeLoader::ImageSpec SpritePrototypeLoader::imageSpec(const std::string& field) {
    ImageSpec spec;
    std::string image = trim(field);
    const size_t bar = image.find('|');
    if (bar != std::string::npos) {
        const std::string alpha = trim(image.substr(bar + 1));
        image = trim(image.substr(0, bar));
        spec.alphaPath = foldParentFolders(folder_ + alpha);
        if (!load_.files.contentExists(spec.alphaPath))
            load_.log.error("ERROR: prototype_create_alpha_texture_file_not_found \"" +
                           spec.alphaPath + "\"");
    }
    spec.imagePath = foldParentFolders(folder_ + image);
    if (!load_.files.contentExists(spec.imagePath))
        load_.log.error("ERROR: prototype_create_texture_file_not_found \"" + spec.imagePath +
                       "\"");
    spec.textureName = withoutExtension(withoutFolders(spec.imagePath));
    return spec;
}

bool SpritePrototypeLoader::loadImage(const ImageSpec& spec, LoadedImage& loaded) {
    const ImageKind kind = imageKindOf(spec.imagePath);
    if (kind == ImageKind::Unknown) {
        problem("\"" + spec.imagePath + "\" is not a png, bmp, jpg or tga image; part skipped");
        return false;
    }
    std::optional<PrefetchedImage> ahead;
    if (prefetcher_) ahead = prefetcher_->take(spec.imagePath);
    std::optional<std::string> file;
    if (!ahead) file = load_.files.readContent(spec.imagePath);
    if (ahead ? !ahead->read : !file) {
        problem("the image \"" + spec.imagePath + "\" cannot be read; part skipped");
        return false;
    }
    std::string error;
    if (ahead) {
        loaded.image = std::move(ahead->image);
        error = ahead->error;
    }
    if (ahead ? !ahead->decoded : !decodeImage(kind, *file, loaded.image, error)) {
        problem("the image \"" + spec.imagePath + "\" cannot be decoded (" + error +
                "); part skipped");
        return false;
    }
    if (spec.alphaPath.empty()) return true;

    // Only a TGA alpha image carries the mask; the art never used the other kinds for it.
    if (imageKindOf(spec.alphaPath) != ImageKind::Tga) {
        load_.WriteLog(path_ + " line " + std::to_string(lineNumber_) + ": the alpha image \"" +
                      spec.alphaPath + "\" is not a TGA image and changes nothing");
        return true;
    }
    std::optional<std::string> alphaFile = load_.files.readContent(spec.alphaPath);
    DecodedImage alpha;
    if (!alphaFile) {
        problem("the alpha image \"" + spec.alphaPath + "\" cannot be read; part skipped");
        return false;
    }
    if (!decodeImage(ImageKind::Tga, *alphaFile, alpha, error)) {
        problem("the alpha image \"" + spec.alphaPath + "\" cannot be decoded (" + error +
                "); part skipped");
        return false;
    }
    if (alpha.width < loaded.image.width || alpha.height < loaded.image.height) {
        problem("the alpha image \"" + spec.alphaPath + "\" is smaller than \"" +
                spec.imagePath + "\"; part skipped");
        return false;
    }
    loaded.maskBytes = alphaMaskOf(alpha);
    loaded.mask = AlphaMask{loaded.maskBytes.data(), alpha.width, alpha.height};
    loaded.masked = true;
    return true;
}

// Decodes the part's image and cuts it into frames of a new sheet; -1 when it cannot.
int SpritePrototypeLoader::loadSheet(const ImageSpec& spec, const PrototypePart& part,
                                     const PartKeys& keys) {
    LoadedImage loaded;
    if (!loadImage(spec, loaded)) return -1;
    const DecodedImage& image = loaded.image;
    const int frameWidth = keys.frameWidth != 0 ? keys.frameWidth : image.width;
    const int frameHeight = keys.frameHeight != 0 ? keys.frameHeight : image.height;
    if (frameWidth < 0 || frameHeight < 0 || frameWidth > image.width ||
        frameHeight > image.height) {
        problem("the frame size " + std::to_string(frameWidth) + " x " +
                std::to_string(frameHeight) + " does not fit the image \"" + spec.imagePath +
                "\" (" + std::to_string(image.width) + " x " + std::to_string(image.height) +
                "); part skipped");
        return -1;
    }
    const int columns = image.width / frameWidth;
    const int rows = image.height / frameHeight;
    const int inner = keys.textureSize - 2 * part.border;
    const int tileColumns = tilesAcross(frameWidth, inner);
    const int tileRows = tilesAcross(frameHeight, inner);
    if (int64_t{columns} * rows * tileColumns * tileRows > kMaxTilesPerImage) {
        problem("the image \"" + spec.imagePath + "\" would make more than " +
                std::to_string(kMaxTilesPerImage) + " tiles; part skipped");
        return -1;
    }

    const int index = textures_.allocateSheet(spec.textureName);
    TextureSheet& sheet = textures_.sheets[index];
    sheet.imageWidth = image.width;
    sheet.imageHeight = image.height;
    sheet.frameWidth = frameWidth;
    sheet.frameHeight = frameHeight;
    sheet.textureSize = keys.textureSize;
    sheet.border = part.border;
    sheet.filter = part.filter;
    sheet.tileColumns = tileColumns;
    sheet.tileRows = tileRows;
    sheet.frames.reserve(static_cast<size_t>(columns) * rows);

    FrameCut cut;
    cut.width = frameWidth;
    cut.height = frameHeight;
    cut.textureSize = keys.textureSize;
    cut.border = part.border;
    cut.bytesPerPixel = textures_.bytesPerPixel();
    RenderDevice& device = load_.platform.device();
    for (int fr = 0; fr < rows; ++fr) {
        for (int fc = 0; fc < columns; ++fc) {
            cut.x = fc * frameWidth;
            cut.y = fr * frameHeight;
            SheetFrame frame = cutFrame(image, loaded.masked ? &loaded.mask : nullptr, cut);
            frame.name = spec.textureName;
            frame.source = {spec.imagePath, loaded.masked ? spec.alphaPath : "", cut.x, cut.y};
            textures_.uploadFrame(device, frame, cut.textureSize, sheet.filter);
            sheet.frames.push_back(std::move(frame));
        }
    }
    return index;
}

void SpritePrototypeLoader::readPartLine(const std::string& line) {
    if (prototype_.parts.size() >= static_cast<size_t>(kMaxPartsPerPrototype)) {
        problem("more than " + std::to_string(kMaxPartsPerPrototype) + " parts; line skipped");
        return;
    }
    continuations_ = 0;
    currentKeys_ = PartKeys{};
    const ImageSpec spec = imageSpec(GetCommaField(line, 1));

    PrototypePart part;
    part.group = static_cast<int>(prototype_.groups.size()) - 1;
    part.textureName = spec.textureName;
    readPartKeys(line, part, currentKeys_);
    // Until its image is in place the part is a placeholder with no sheet: it keeps the
    // numbering of its group's parts but shows nothing.
    currentPart_ = static_cast<int>(prototype_.parts.size());
    prototype_.parts.push_back(part);

    if (tileSizeClass(currentKeys_.textureSize) < 0) {
        problem("texture_size " + std::to_string(currentKeys_.textureSize) +
                " is missing or not one of 8, 16, 32, 64, 128, 256; part skipped");
        return;
    }
    if (part.border < 0 || int64_t{2} * part.border >= currentKeys_.textureSize) {
        problem("border " + std::to_string(part.border) + " does not fit tiles of " +
                std::to_string(currentKeys_.textureSize) + "; border 0 used");
        part.border = 0;
        prototype_.parts[currentPart_].border = 0;
    }

    int sheet = -1, frame = -1;
    if (textures_.findFrame(spec.textureName, sheet, frame)) {
        // Decoded before (maybe for another prototype): share its tiles. An image that came
        // in by a "+" line is one frame of another image's sheet; only that frame is its own.
        const bool ownSheet = textures_.sheets[sheet].name == spec.textureName;
        sheet = textures_.shareSheet(sheet, ownSheet ? -1 : frame);
    } else {
        sheet = loadSheet(spec, part, currentKeys_);
        if (sheet < 0) return;
    }
    prototype_.parts[currentPart_].sheet = sheet;
    updateFrameCount();
}

void SpritePrototypeLoader::appendContinuationFrame(TextureSheet& sheet, SheetFrame frame) {
    // A continued part starts from a one-frame image; the "+" frames follow that frame.
    if (continuations_ == 0 && sheet.frames.size() > 1) sheet.frames.resize(1);
    sheet.frames.push_back(std::move(frame));
    ++continuations_;
}

void SpritePrototypeLoader::readContinuationLine(const std::string& line) {
    const std::string rest = trim(line.substr(1));
    if (currentPart_ < 0) {
        problem("a \"+\" line before any part line; line skipped");
        return;
    }
    const ImageSpec spec = imageSpec(GetCommaField(rest, 1));
    const int sheetIndex = prototype_.parts[currentPart_].sheet;
    if (sheetIndex < 0) {
        problem("the part above has no image; \"+\" line skipped");
        return;
    }

    int foundSheet = -1, foundFrame = -1;
    if (textures_.findFrame(spec.textureName, foundSheet, foundFrame)) {
        const TextureSheet& from = textures_.sheets[foundSheet];
        const TextureSheet& to = textures_.sheets[sheetIndex];
        if (from.frameWidth != to.frameWidth || from.frameHeight != to.frameHeight ||
            from.textureSize != to.textureSize || from.border != to.border) {
            problem("the frame of \"" + spec.textureName +
                    "\" was cut with another frame size, texture_size or border than the "
                    "part above; \"+\" line skipped");
            return;
        }
        SheetFrame frame = TextureLibrary::sharedFrame(from.frames[foundFrame]);
        frame.name.clear();
        appendContinuationFrame(textures_.sheets[sheetIndex], std::move(frame));
    } else {
        LoadedImage loaded;
        if (!loadImage(spec, loaded)) return;
        TextureSheet& sheet = textures_.sheets[sheetIndex];
        if (loaded.image.width != sheet.frameWidth || loaded.image.height != sheet.frameHeight) {
            problem("the image \"" + spec.imagePath + "\" is " +
                    std::to_string(loaded.image.width) + " x " +
                    std::to_string(loaded.image.height) + ", not the frame size " +
                    std::to_string(sheet.frameWidth) + " x " + std::to_string(sheet.frameHeight) +
                    "; \"+\" line skipped");
            return;
        }
        FrameCut cut;
        cut.width = sheet.frameWidth;
        cut.height = sheet.frameHeight;
        cut.textureSize = sheet.textureSize;
        cut.border = sheet.border;
        cut.bytesPerPixel = textures_.bytesPerPixel();
        SheetFrame frame = cutFrame(loaded.image, loaded.masked ? &loaded.mask : nullptr, cut);
        frame.name = spec.textureName;
        frame.source = {spec.imagePath, loaded.masked ? spec.alphaPath : "", 0, 0};
        textures_.uploadFrame(load_.platform.device(), frame, cut.textureSize, sheet.filter);
        appendContinuationFrame(sheet, std::move(frame));
    }
    updateFrameCount();
}

void SpritePrototypeLoader::updateFrameCount() {
    PrototypePart& part = prototype_.parts[currentPart_];
    const TextureSheet* sheet = textures_.sheetAt(part.sheet);
    part.frame_count = sheet ? static_cast<int>(sheet->frames.size()) : 0;
    settleAnimation(part.frame_count, currentKeys_.animSpeed, currentKeys_.animLoop, part.anim_speed,
                    part.anim_loop);
}

void SpritePrototypeLoader::settleObjectSize() {
    // The width and height keys win; otherwise the object spans every part's frame at its
    // offset, whether the part's image was decoded here or shared.
    int width = 0, height = 0;
    for (const PrototypePart& part : prototype_.parts) {
        const TextureSheet* sheet = textures_.sheetAt(part.sheet);
        if (!sheet) continue;
        const double right = std::ceil(sheet->frameWidth + part.x);
        const double bottom = std::ceil(sheet->frameHeight + part.y);
        if (right > width) width = right > 1e9 ? 1000000000 : static_cast<int>(right);
        if (bottom > height) height = bottom > 1e9 ? 1000000000 : static_cast<int>(bottom);
    }
    prototype_.width = widthKey_ > 0 ? widthKey_ : width;
    prototype_.height = heightKey_ > 0 ? heightKey_ : height;
}

}  // namespace qs
