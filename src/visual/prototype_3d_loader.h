#pragma once

#include <string>

#include "visual/load_services.h"
#include "visual/prototype_3d.h"
#include "visual/sprite_prototype_loader.h"

namespace qs {

class MeshLibrary;

// Reads one .m3d text into a 3D prototype. The lines are those of a .spr file; a part line
// names a mesh file (no alpha image), a "+" line adds one more mesh to the part above as
// an animation frame, and keys after a group's count are read and ignored. Each mesh is
// loaded into the mesh library once per bare name.
class Prototype3DLoader : private PrototypeFieldReader {
public:
    // `path` is the .m3d file's content name; its folder is where meshes are looked up.
    Prototype3DLoader(const LoadServices& load, MeshLibrary& meshes, TMulti3DPrototype& prototype,
                      const std::string& path);

    void read(const std::string& text);

private:
    struct PartKeys {
        int animSpeed = 0;
        bool animLoop = true;
    };

    void readCommonLine(const std::string& line) override;
    void readGroupHeader(const std::string& line) override;
    void readPartLine(const std::string& line) override;
    void readContinuationLine(const std::string& line) override;
    void readPartKeys(const std::string& line, Prototype3DPart& part);
    // The library index of the mesh a part or "+" line names, loading it when new; -1 when
    // it cannot be had.
    int meshOf(const std::string& field);
    void updateFrameCount();
    void closeGroups() override;

    MeshLibrary& meshes_;
    TMulti3DPrototype& prototype_;
    std::string folder_;
    int currentPart_ = -1;
    PartKeys currentKeys_;
    int widthKey_ = 0, heightKey_ = 0, depthKey_ = 0;
};

}  // namespace qs
