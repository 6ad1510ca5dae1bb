#include "scene/location_map.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "core/comma_fields.h"
#include "core/file_system.h"
#include "core/log.h"
#include "core/text_util.h"
#include "scene/scene_object_list.h"
#include "visual/sprite_engine.h"

namespace qs {

namespace {
// Far beyond any screen (800 x 600) or scroll a map can have.
constexpr int64_t kFarOff = 100000;
}  // namespace

int load_location_map(SceneObjectList& objects, const std::string& path) {
    int created = 0;
    int result = -1;
    auto finish = [&]() {
        objects.log().WriteLog("load_location_map(\"" + path + "\"), created: " + std::to_string(created));
        return result;
    };
    auto bad = [&](size_t line, const std::string& what) {
        objects.log().error(path + " line " + std::to_string(line) + ": " + what);
    };

    std::optional<std::string> text = objects.files().readContent(path);
    if (!text) {
        objects.log().error("map " + path + " is missing");
        return finish();
    }
    objects.engine().scrollX = 0;
    objects.engine().scrollY = 0;

    const std::vector<std::string> lines = splitLines(*text);
    size_t next = 0;
    auto readCount = [&](const char* what) -> std::optional<int> {
        if (next >= lines.size()) {
            bad(next + 1, std::string("the file ends before the ") + what);
            return std::nullopt;
        }
        std::string line = trim(cutLine(lines[next]));
        std::optional<int> count = parseInt(line);
        if (!count) bad(next + 1, std::string("the ") + what + " \"" + line + "\" is not a whole number");
        ++next;
        return count;
    };

    std::optional<int> prototypeCount = readCount("prototype count");
    if (prototypeCount && *prototypeCount < 0) bad(next, "a negative prototype count; nothing is made");
    if (!prototypeCount || *prototypeCount <= 0) return finish();
    if (*prototypeCount > kMaxMapPrototypes) {
        bad(next, "a map of " + std::to_string(*prototypeCount) + " prototypes is more than the " +
                      std::to_string(kMaxMapPrototypes) + " a map may use; nothing is made");
        return finish();
    }
    std::vector<std::string> prototypes;
    for (int k = 0; k < *prototypeCount; ++k) {
        if (next >= lines.size()) {
            bad(next + 1, "the file ends inside the prototype list");
            return finish();
        }
        std::string name = toLower(trim(cutLine(lines[next++])));
        if (!endsWithNoCase(name, ".spr")) name += ".spr";
        prototypes.push_back(name);
    }

    std::optional<int> objectCount = readCount("object count");
    if (objectCount && *objectCount < 0) bad(next, "a negative object count; nothing is made");
    if (!objectCount || *objectCount <= 0) return finish();
    if (*objectCount > kMaxMapObjects) {
        bad(next, "a map of " + std::to_string(*objectCount) + " objects is more than the " +
                      std::to_string(kMaxMapObjects) + " a screen may hold; nothing is made");
        return finish();
    }
    result = *objectCount;
    const std::string tag = path.size() >= 4 ? path.substr(0, path.size() - 4) : std::string();
    for (int m = 0; m < *objectCount; ++m) {
        if (next >= lines.size()) {
            bad(next + 1, "the file ends inside the object list");
            break;
        }
        const size_t lineNumber = next + 1;
        const std::string line = cutLine(lines[next++]);
        std::optional<int> index = parseInt(trim(GetCommaField(line, 1)));
        std::optional<int> x = parseInt(trim(GetCommaField(line, 2)));
        std::optional<int> y = parseInt(trim(GetCommaField(line, 3)));
        const std::string zField = trim(GetCommaField(line, 4));
        const bool hasZ = !zField.empty();
        const int z = hasZ ? parseInt(zField).value_or(INT32_MIN) : 0;
        if (!index || !x || !y || z == INT32_MIN) {
            bad(lineNumber, "\"" + line + "\" is not an object line (number, x, y[, z]); skipped");
            continue;
        }
        if (*index < 0 || *index >= static_cast<int>(prototypes.size())) {
            bad(lineNumber, "prototype " + std::to_string(*index) + " is not in the map's list; skipped");
            continue;
        }
        // A place no screen reaches is a typing slip; the object is still made where it says.
        if (std::abs(int64_t{*x}) > kFarOff || std::abs(int64_t{*y}) > kFarOff)
            bad(lineNumber, "the place " + std::to_string(*x) + "," + std::to_string(*y) + " lies far off any screen");
        // What the prototype's loading says is said of this map line too.
        Log::Scope scope(objects.log(), path + " line " + std::to_string(lineNumber));
        TMultiSprite& object = objects.create(prototypes[*index]);
        ++created;
        if (!object.isometric) {
            object.x = *x;
            object.y = *y;
        } else {
            object.iso_x = *x;
            object.iso_y = *y;
        }
        if (hasZ) {
            if (object.isometric) object.iso_z = z;
            else object.z = z;
        }
        object.tag = tag;
    }
    return finish();
}

}  // namespace qs
