#include "visual/prototype_3d_loader.h"

#include "core/comma_fields.h"
#include "core/text_util.h"
#include "visual/load_services.h"
#include "visual/mesh_library.h"
#include "visual/obj_mesh_reader.h"

namespace qs {

Prototype3DLoader::Prototype3DLoader(const LoadServices& load, MeshLibrary& meshes,
                                     TMulti3DPrototype& prototype, const std::string& path)
    : PrototypeFieldReader(load, path), meshes_(meshes), prototype_(prototype),
      folder_(folderOf(path)) {}

void Prototype3DLoader::read(const std::string& text) {
    readLines(text);
    if (widthKey_ > 0) prototype_.width = widthKey_;
    if (heightKey_ > 0) prototype_.height = heightKey_;
    if (depthKey_ > 0) prototype_.depth = depthKey_;
}

void Prototype3DLoader::readCommonLine(const std::string& line) {
    struct Line {
        TMulti3DPrototype& p;
        int& width;
        int& height;
        int& depth;
    };
    static constexpr PrototypeKey<Line> kKeys[] = {
        {"sprite_z", [](Line& l) -> KeySlot { return &l.p.sprite_z; }},
        {"x", [](Line& l) -> KeySlot { return &l.p.x; }},
        {"y", [](Line& l) -> KeySlot { return &l.p.y; }},
        {"z", [](Line& l) -> KeySlot { return &l.p.z; }},
        {"alpha", [](Line& l) -> KeySlot { return &l.p.alpha; }},
        {"angle_vector_x", [](Line& l) -> KeySlot { return &l.p.angle_vector_x; }},
        {"angle_vector_y", [](Line& l) -> KeySlot { return &l.p.angle_vector_y; }},
        {"angle_vector_z", [](Line& l) -> KeySlot { return &l.p.angle_vector_z; }},
        {"angle", [](Line& l) -> KeySlot { return Degrees{&l.p.angle}; }},
        {"trigger", [](Line& l) -> KeySlot { return &l.p.trigger; }},
        {"color", [](Line& l) -> KeySlot { return &l.p.color; }},
        {"map_koeff_x", [](Line& l) -> KeySlot { return &l.p.map_koeff_x; }},
        {"map_koeff_y", [](Line& l) -> KeySlot { return &l.p.map_koeff_y; }},
        {"map_koeff_z", [](Line& l) -> KeySlot { return &l.p.map_koeff_z; }},
        {"width", [](Line& l) -> KeySlot { return &l.width; }},
        {"height", [](Line& l) -> KeySlot { return &l.height; }},
        {"depth", [](Line& l) -> KeySlot { return &l.depth; }},
        {"scale", [](Line& l) -> KeySlot { return EveryAxis{&l.p.scale_x, &l.p.scale_y, &l.p.scale_z}; }},
        {"scale_x", [](Line& l) -> KeySlot { return &l.p.scale_x; }},
        {"scale_y", [](Line& l) -> KeySlot { return &l.p.scale_y; }},
        {"scale_z", [](Line& l) -> KeySlot { return &l.p.scale_z; }},
        {"rot_center_x", [](Line& l) -> KeySlot { return &l.p.rot_center_x; }},
        {"rot_center_y", [](Line& l) -> KeySlot { return &l.p.rot_center_y; }},
        {"rot_center_z", [](Line& l) -> KeySlot { return &l.p.rot_center_z; }},
    };
    Line target{prototype_, widthKey_, heightKey_, depthKey_};
    readKeys(line, 1, kKeys, target, "Unknown common multi3dobject's variable");
}

void Prototype3DLoader::readGroupHeader(const std::string& line) {
    // Keys after the count are allowed and mean nothing.
    startGroup(trim(GetCommaField(line, 1)), prototype_.groups, static_cast<int>(prototype_.parts.size()));
}

void Prototype3DLoader::readPartKeys(const std::string& line, Prototype3DPart& part) {
    struct Line {
        Prototype3DPart& part;
        PartKeys& keys;
    };
    static constexpr PrototypeKey<Line> kKeys[] = {
        {"anim_speed", [](Line& l) -> KeySlot { return &l.keys.animSpeed; }},
        {"anim_loop", [](Line& l) -> KeySlot { return NonZeroFlag{&l.keys.animLoop}; }},
        {"x", [](Line& l) -> KeySlot { return &l.part.x; }},
        {"y", [](Line& l) -> KeySlot { return &l.part.y; }},
        {"z", [](Line& l) -> KeySlot { return &l.part.z; }},
        {"alpha", [](Line& l) -> KeySlot { return &l.part.alpha; }},
        {"alpha_mode", [](Line& l) -> KeySlot { return &l.part.alpha_mode; }},
        {"angle_vector_x", [](Line& l) -> KeySlot { return &l.part.angle_vector_x; }},
        {"angle_vector_y", [](Line& l) -> KeySlot { return &l.part.angle_vector_y; }},
        {"angle_vector_z", [](Line& l) -> KeySlot { return &l.part.angle_vector_z; }},
        {"angle", [](Line& l) -> KeySlot { return Degrees{&l.part.angle}; }},
        {"scale", [](Line& l) -> KeySlot { return EveryAxis{&l.part.scale_x, &l.part.scale_y, &l.part.scale_z}; }},
        {"scale_x", [](Line& l) -> KeySlot { return &l.part.scale_x; }},
        {"scale_y", [](Line& l) -> KeySlot { return &l.part.scale_y; }},
        {"scale_z", [](Line& l) -> KeySlot { return &l.part.scale_z; }},
    };
    Line target{part, currentKeys_};
    readKeys(line, 2, kKeys, target, "Unknown variable in the sprite's part of the multisprite");
}

int Prototype3DLoader::meshOf(const std::string& field) {
    const std::string path = foldParentFolders(folder_ + trim(field));
    if (!load_.files.contentExists(path))
        load_.log.error("ERROR: prototype3d_create_mesh_file_not_found \"" + path + "\"");
    // Meshes are shared by bare name, whichever folder names them.
    const std::string name = withoutExtension(withoutFolders(path));
    int index = meshes_.find(name);
    if (index >= 0) return index;
    if (!endsWithNoCase(path, ".obj")) {
        problem("\"" + path + "\" is not an OBJ mesh; no frame added");
        return -1;
    }
    index = meshes_.load(path, name);
    if (index < 0) problem("the mesh \"" + path + "\" cannot be read; no frame added");
    return index;
}

void Prototype3DLoader::readPartLine(const std::string& line) {
    currentKeys_ = PartKeys{};
    Prototype3DPart part;
    part.group = static_cast<int>(prototype_.groups.size()) - 1;
    readPartKeys(line, part);
    currentPart_ = static_cast<int>(prototype_.parts.size());
    prototype_.parts.push_back(part);
    const int mesh = meshOf(GetCommaField(line, 1));
    if (mesh >= 0) prototype_.parts[currentPart_].meshes.push_back(mesh);
    updateFrameCount();
}

void Prototype3DLoader::readContinuationLine(const std::string& line) {
    if (currentPart_ < 0) {
        problem("a \"+\" line before any part line; line skipped");
        return;
    }
    const int mesh = meshOf(GetCommaField(trim(line.substr(1)), 1));
    if (mesh >= 0) prototype_.parts[currentPart_].meshes.push_back(mesh);
    updateFrameCount();
}

void Prototype3DLoader::updateFrameCount() {
    Prototype3DPart& part = prototype_.parts[currentPart_];
    settleAnimation(static_cast<int>(part.meshes.size()), currentKeys_.animSpeed,
                    currentKeys_.animLoop, part.anim_speed, part.anim_loop);
}

void Prototype3DLoader::closeGroups() {
    shortenGroups(prototype_.groups, static_cast<int>(prototype_.parts.size()));
}

}  // namespace qs
