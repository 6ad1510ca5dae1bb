#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "visual/load_services.h"
#include "visual/mesh.h"

namespace qs {

class RenderDevice;

// Every mesh the 3D prototypes name, loaded once per bare name and kept for the run, and
// the textures their materials use, kept as pixels so a new device gets them again.
class MeshLibrary {
public:
    explicit MeshLibrary(const LoadServices& load) : load_(load) {}

    // The entry holding the mesh of that name, or -1.
    int find(const std::string& name) const;
    // Reads an OBJ mesh (with its materials and textures) into the first free entry, named
    // `name`. -1 when the file cannot be read; a malformed file loads what is sound in it.
    int load(const std::string& path, const std::string& name);
    // The same with the file's text already in memory.
    int loadText(const std::string& path, const std::string& name, const std::string& text);

    const Mesh* meshAt(int index) const {
        if (index < 0 || index >= count()) return nullptr;
        return entries_[index].mesh.get();
    }
    int count() const { return static_cast<int>(entries_.size()); }

    struct Texture {
        std::string path;
        int width = 0, height = 0;
        std::vector<uint32_t> argb;  // A8R8G8B8, top row first
        bool onDevice = false;
    };
    // The id of the texture decoded from an image file, decoding it (once per path) and
    // handing it to the device; -1 (logged) when it cannot be had.
    int textureFor(const std::string& path);
    const Texture* textureAt(int id) const {
        if (id < 0 || id >= static_cast<int>(textures_.size())) return nullptr;
        return &textures_[id];
    }
    int textureCount() const { return static_cast<int>(textures_.size()); }

    // Hands every texture to a new device; false when one could not be created.
    bool restoreTextures(RenderDevice& device);

private:
    struct Entry {
        std::string name;  // empty: free
        std::unique_ptr<Mesh> mesh;
    };

    LoadServices load_;
    std::vector<Entry> entries_;
    std::vector<Texture> textures_;
};

}  // namespace qs
