#pragma once

#include <string>
#include <vector>

#include "core/comma_fields.h"
#include "core/text_util.h"
#include "visual/image_decoder.h"
#include "visual/load_services.h"
#include "visual/prototype_keys.h"
#include "visual/sprite_prototype.h"
#include "visual/texture_library.h"
#include "visual/tile_cutter.h"

namespace qs {

class ImagePrefetcher;

inline constexpr int kMaxPrototypeFields = 100;
// No real prototype comes near this; a larger count is a damaged file.
inline constexpr int kMaxPartsPerPrototype = 4096;

// The lines of a .spr text as the loader sees them: a CR ends a line and LFs are dropped
// (so a file with LF line ends is one line), each line cut to 255 characters, trimmed,
// lower-cased and stripped of its ";" comment. Empty lines are left out.
struct PrototypeLine {
    int number = 0;  // 1-based, counting every CR-ended line of the file
    std::string text;
};
std::vector<PrototypeLine> prototypeLines(const std::string& text);

// "graphics\menu\..\back.png" -> "graphics\back.png".
std::string foldParentFolders(std::string path);

// The file name after the last folder separator, and a file name without its extension.
std::string withoutFolders(const std::string& path);
std::string withoutExtension(const std::string& name);

// Calls handle(key, value) for each key=value field of a prototype line from field `first`
// on (at most 100 fields), stopping at the first empty field, at a field without "=" and
// at one that starts with "=". Keys are trimmed and lower-cased, values trimmed.
template <typename Handle>
void forEachKeyField(const std::string& line, int first, Handle handle);

// The reading of key=value values shared by the prototype file formats. A malformed value
// is logged with the file and line and leaves the key as it was; an unknown key is logged
// and shown in a message box.
class PrototypeFieldReader {
protected:
    PrototypeFieldReader(const LoadServices& load, const std::string& path) : load_(load), path_(path) {}

    bool intValue(const std::string& key, const std::string& value, int& out);
    bool realValue(const std::string& key, const std::string& value, double& out);
    bool floatValue(const std::string& key, const std::string& value, float& out);
    // Degrees in the file, radians in memory.
    bool degreesValue(const std::string& key, const std::string& value, double& out);
    // The integer's low byte, as the alpha keys keep it.
    bool byteValue(const std::string& key, const std::string& value, uint8_t& out);
    void unknownKey(const char* what, const std::string& key);
    void problem(const std::string& message);
    // Reads the value into the slot, as the slot's kind says.
    void store(const std::string& key, const std::string& value, const KeySlot& slot);
    // Reads the key=value fields of `line` from field `first` on through the line's key table;
    // a key the table lacks is reported as `unknownWhat`.
    template <class Target, size_t N>
    void readKeys(const std::string& line, int first, const PrototypeKey<Target> (&table)[N], Target& target,
                  const char* unknownWhat);

    // Walks the lines of a prototype text: the common line first, then group headers, the
    // part lines each header counts, and "+" continuation lines; then closes the groups.
    void readLines(const std::string& text);
    virtual void readCommonLine(const std::string& line) = 0;
    virtual void readGroupHeader(const std::string& line) = 0;
    virtual void readPartLine(const std::string& line) = 0;
    virtual void readContinuationLine(const std::string& line) = 0;
    virtual void closeGroups() = 0;
    virtual ~PrototypeFieldReader() = default;
    // A part of one frame (or mesh) never animates, whatever its keys say.
    static void settleAnimation(int frames, int animSpeedKey, bool animLoopKey, double& speed,
                                bool& loop) {
        speed = frames >= 2 ? animSpeedKey / 1000.0 : 0;
        loop = frames >= 2 && animLoopKey;
    }
    // Groups cut short by the end of the file keep the parts they got (logged).
    void shortenGroups(std::vector<PartGroup>& groups, int parts);
    // A group header: a new group of `count` parts starting after the parts read so far.
    void startGroup(const std::string& countText, std::vector<PartGroup>& groups, int partsSoFar);

    LoadServices load_;
    std::string path_;
    int lineNumber_ = 0;
    // A file of junk must not flood the log and the screen: the first problems are said,
    // the rest counted and said once at the end.
    int problems_ = 0;
    bool reportProblem();
    int remainingParts_ = 0;  // part lines the current group header still counts
};

// Reads one .spr text into a prototype: the common line, group headers, part lines and "+"
// continuation lines, loading every image it names into the texture library. Bad content
// is logged with the file and line and the line (or key) is skipped; nothing here stops
// the program.
class SpritePrototypeLoader : private PrototypeFieldReader {
public:
    // `path` is the .spr file's content name; its folder is where images are looked up.
    SpritePrototypeLoader(const LoadServices& load, TextureLibrary& textures, TMultiSpritePrototype& prototype,
                          const std::string& path);

    void read(const std::string& text);
    // Images decoded ahead are taken from here (nothing: each image is decoded here).
    void usePrefetcher(ImagePrefetcher* prefetcher) { prefetcher_ = prefetcher; }

private:
    // What the keys of a part line say beyond the part's own fields.
    struct PartKeys {
        int frameWidth = 0;
        int frameHeight = 0;
        int animSpeed = 0;
        bool animLoop = true;
        int textureSize = 0;
    };
    struct ImageSpec {
        std::string imagePath;
        std::string alphaPath;  // empty without "|"
        std::string textureName;
    };
    // A decoded image and, when a TGA alpha image goes with it, its mask.
    struct LoadedImage {
        DecodedImage image;
        std::vector<uint8_t> maskBytes;
        AlphaMask mask;
        bool masked = false;
    };

    void readCommonLine(const std::string& line) override;
    void readGroupHeader(const std::string& line) override;
    void readPartLine(const std::string& line) override;
    void readContinuationLine(const std::string& line) override;
    void readPartKeys(const std::string& line, PrototypePart& part, PartKeys& keys);

    ImageSpec imageSpec(const std::string& field);
    bool loadImage(const ImageSpec& spec, LoadedImage& loaded);
    int loadSheet(const ImageSpec& spec, const PrototypePart& part, const PartKeys& keys);
    void appendContinuationFrame(TextureSheet& sheet, SheetFrame frame);
    void updateFrameCount();
    void closeGroups() override;
    void settleObjectSize();

    TextureLibrary& textures_;
    TMultiSpritePrototype& prototype_;
    std::string folder_;
    int currentPart_ = -1;
    PartKeys currentKeys_;
    int continuations_ = 0;  // "+" frames added to the current part so far
    int widthKey_ = 0;
    int heightKey_ = 0;
    ImagePrefetcher* prefetcher_ = nullptr;
};

// The images a .spr file's part and "+" lines name, as content names (for decoding them
// ahead); `path` is the .spr file's content name.
std::vector<std::string> imagesNamedBy(const std::string& path, const std::string& text);

template <typename Handle>
void forEachKeyField(const std::string& line, int first, Handle handle) {
    for (int n = first; n <= kMaxPrototypeFields; ++n) {
        const std::string field = trim(GetCommaField(line, n));
        const size_t equals = field.find('=');
        if (field.empty() || equals == std::string::npos || equals == 0) return;
        handle(toLower(trim(field.substr(0, equals))), trim(field.substr(equals + 1)));
    }
}

template <class Target, size_t N>
void PrototypeFieldReader::readKeys(const std::string& line, int first, const PrototypeKey<Target> (&table)[N],
                                    Target& target, const char* unknownWhat) {
    forEachKeyField(line, first, [&](const std::string& key, const std::string& value) {
        for (const PrototypeKey<Target>& row : table) {
            if (key == row.name) {
                store(key, value, row.slot(target));
                return;
            }
        }
        unknownKey(unknownWhat, key);
    });
}

}  // namespace qs
