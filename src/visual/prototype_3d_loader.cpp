#include "visual/prototype_3d_loader.h"

#include "core/comma_fields.h"
#include "visual/load_services.h"
#include "core/text_util.h"
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
    TMulti3DPrototype& p = prototype_;
    forEachKeyField(line, 1, [&](const std::string& key, const std::string& value) {
        if (key == "sprite_z") intValue(key, value, p.sprite_z);
        else if (key == "x") realValue(key, value, p.x);
        else if (key == "y") realValue(key, value, p.y);
        else if (key == "z") realValue(key, value, p.z);
        else if (key == "alpha") byteValue(key, value, p.alpha);
        else if (key == "angle_vector_x") floatValue(key, value, p.angle_vector_x);
        else if (key == "angle_vector_y") floatValue(key, value, p.angle_vector_y);
        else if (key == "angle_vector_z") floatValue(key, value, p.angle_vector_z);
        else if (key == "angle") degreesValue(key, value, p.angle);
        else if (key == "trigger") p.trigger = value == "1";
        else if (key == "color") intValue(key, value, p.color);
        else if (key == "map_koeff_x") realValue(key, value, p.map_koeff_x);
        else if (key == "map_koeff_y") realValue(key, value, p.map_koeff_y);
        else if (key == "map_koeff_z") realValue(key, value, p.map_koeff_z);
        else if (key == "width") intValue(key, value, widthKey_);
        else if (key == "height") intValue(key, value, heightKey_);
        else if (key == "depth") intValue(key, value, depthKey_);
        else if (key == "scale") {
            double scale = 1;
            if (realValue(key, value, scale)) p.scale_x = p.scale_y = p.scale_z = scale;
        } else if (key == "scale_x") realValue(key, value, p.scale_x);
        else if (key == "scale_y") realValue(key, value, p.scale_y);
        else if (key == "scale_z") realValue(key, value, p.scale_z);
        else if (key == "rot_center_x") realValue(key, value, p.rot_center_x);
        else if (key == "rot_center_y") realValue(key, value, p.rot_center_y);
        else if (key == "rot_center_z") realValue(key, value, p.rot_center_z);
        else unknownKey("Unknown common multi3dobject's variable", key);
    });
}

void Prototype3DLoader::readGroupHeader(const std::string& line) {
    // Keys after the count are allowed and mean nothing.
    startGroup(trim(GetCommaField(line, 1)), prototype_.groups, static_cast<int>(prototype_.parts.size()));
}

void Prototype3DLoader::readPartKeys(const std::string& line, Prototype3DPart& part) {
    forEachKeyField(line, 2, [&](const std::string& key, const std::string& value) {
        int number = 0;
        if (key == "anim_speed") intValue(key, value, currentKeys_.animSpeed);
        else if (key == "anim_loop") {
            if (intValue(key, value, number)) currentKeys_.animLoop = number != 0;
        } else if (key == "x") realValue(key, value, part.x);
        else if (key == "y") realValue(key, value, part.y);
        else if (key == "z") realValue(key, value, part.z);
        else if (key == "alpha") byteValue(key, value, part.alpha);
        else if (key == "alpha_mode") byteValue(key, value, part.alpha_mode);
        else if (key == "angle_vector_x") floatValue(key, value, part.angle_vector_x);
        else if (key == "angle_vector_y") floatValue(key, value, part.angle_vector_y);
        else if (key == "angle_vector_z") floatValue(key, value, part.angle_vector_z);
        else if (key == "angle") degreesValue(key, value, part.angle);
        else if (key == "scale") {
            double scale = 1;
            if (realValue(key, value, scale)) part.scale_x = part.scale_y = part.scale_z = scale;
        } else if (key == "scale_x") realValue(key, value, part.scale_x);
        else if (key == "scale_y") realValue(key, value, part.scale_y);
        else if (key == "scale_z") realValue(key, value, part.scale_z);
        else unknownKey("Unknown variable in the sprite's part of the multisprite", key);
    });
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
