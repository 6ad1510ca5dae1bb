#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/list_entry.h"
#include "visual/load_services.h"
#include "visual/mesh_library.h"
#include "visual/prototype_3d.h"
#include "visual/sprite_prototype.h"
#include "visual/texture_library.h"

namespace qs {

class ImagePrefetcher;

// Every prototype loaded during the run, found by name; nothing is ever unloaded, so a
// .spr file is read and its images uploaded once however many objects are built from it.
class PrototypeLibrary {
public:
    static constexpr int kSpritePrototype = 0;
    static constexpr int k3DPrototype = 1;

    explicit PrototypeLibrary(const LoadServices& load);

    // The index of the prototype a name stands for, or -1. `kind` 0: multisprites, 1: 3D.
    // A name ending in ".spr" (any case) is looked up by its bare file name, case kept:
    // "graphics\a\Ball.spr" finds "Ball" but not "ball".
    int FindPrototype(const std::string& name, int kind) const;

    // Reads a .spr file into a free slot and returns the slot, also when the file is
    // missing (the slot then stays free and empty).
    int LoadSpritePrototype(const std::string& path);
    // The same with the file's text already in memory.
    int LoadSpritePrototypeFromText(const std::string& path, const std::string& text);

    // Reads an .m3d file into a free slot of the 3D prototypes and returns the slot, also
    // when the file is missing (the slot then stays free and empty). Its meshes go to the
    // mesh library, once per bare name.
    int Load3DPrototype(const std::string& path);
    // The same with the file's text already in memory.
    int Load3DPrototypeFromText(const std::string& path, const std::string& text);

    // One line of a resource list: "name, file[, loop]" or just "file". Visual entries load
    // their prototype unless it is loaded already (then -1); audio entries go to
    // audioEntryLoader and return what it returns.
    int64_t LoadResourceEntry(const std::string& line);
    // The same for an entry of a list: every problem it meets names the list and the line.
    int64_t LoadResourceEntry(const ListEntry& entry);

    const TMultiSpritePrototype* prototypeAt(int index) const {
        if (index < 0 || index >= static_cast<int>(prototypes_.size())) return nullptr;
        return &prototypes_[index];
    }
    int prototypeCount() const { return static_cast<int>(prototypes_.size()); }
    const TMulti3DPrototype* prototype3DAt(int index) const {
        if (index < 0 || index >= static_cast<int>(prototypes3D_.size())) return nullptr;
        return &prototypes3D_[index];
    }
    int prototype3DCount() const { return static_cast<int>(prototypes3D_.size()); }
    // The files, log and device the prototypes were loaded through.
    const LoadServices& services() const { return load_; }
    const MeshLibrary& meshes() const { return meshes_; }
    MeshLibrary& meshes() { return meshes_; }
    const TextureLibrary& textures() const { return textures_; }
    TextureLibrary& textures() { return textures_; }

    // Creates every texture page the device lost and fills it again, cutting its tiles anew
    // from the image files. False when something could not be restored (logged).
    bool restorePages();
    // Gives back the pages of the prototype's images that no other prototype shows: for a
    // prototype no live object will show for a long time (the logo after the intro). The
    // prototype stays in the library.
    void releaseImages(int prototype);
    // Cuts and places again the images releaseImages() gave back; nothing when they are in
    // place. Every object built from the prototype calls it first.
    void ensureImages(int prototype);

    // While a list loads: loaders take their images from the prefetcher first (nothing:
    // every image is decoded by its loader).
    void usePrefetcher(ImagePrefetcher* prefetcher) { prefetcher_ = prefetcher; }
    // Asks the prefetcher for the images a resource entry will decode when it loads.
    void prefetchEntry(const std::string& entry);

    // Audio entries of resource lists ("ogg", "mp3", "wav", "xm", "s3m", "mo3"): name and
    // file are the entry's fields, extension lower-case, field3 trimmed ("loop" asks for
    // looping), line the whole line. Unset: the entry is logged and skipped.
    std::function<int64_t(const std::string& name, const std::string& file,
                          const std::string& extension, const std::string& field3,
                          const std::string& line)>
        audioEntryLoader;

private:
    // Reads a prototype file into a slot through `fromText`; a missing file takes an empty
    // slot and is reported as `missing`.
    template <class Prototype, class FromText>
    int loadFile(std::vector<Prototype>& slots, const std::string& path, const char* missing, FromText fromText);

    LoadServices load_;
    std::vector<TMultiSpritePrototype> prototypes_;
    TextureLibrary textures_;
    std::vector<TMulti3DPrototype> prototypes3D_;
    MeshLibrary meshes_;
    ImagePrefetcher* prefetcher_ = nullptr;
};

// The key a prototype name is looked up by: for a name ending in ".spr" the bare file name
// without it, case kept; for any other the trimmed, lower-cased name.
std::string prototypeKey(const std::string& name);

}  // namespace qs
