#include "visual/obj_mesh_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/text_util.h"
#include "visual/load_services.h"
#include "visual/mesh_library.h"
#include "visual/sprite_prototype_loader.h"

namespace qs {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trimView(std::string_view s) {
    while (!s.empty() && (isBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The next blank-separated token of `rest`, which loses it; empty at the end.
std::string_view nextToken(std::string_view& rest) {
    size_t start = 0;
    while (start < rest.size() && isBlank(rest[start])) ++start;
    size_t end = start;
    while (end < rest.size() && !isBlank(rest[end])) ++end;
    std::string_view token = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return token;
}

bool parseFloat(std::string_view token, float& out) {
    if (!token.empty() && token.front() == '+') token.remove_prefix(1);
    float value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc() || end != token.data() + token.size() || !std::isfinite(value))
        return false;
    out = value;
    return true;
}

bool parseIndex(std::string_view token, long& out) {
    if (!token.empty() && token.front() == '+') token.remove_prefix(1);
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), out);
    return error == std::errc() && end == token.data() + token.size() && !token.empty();
}

// Up to `count` numbers from `rest`; how many were read, or -1 when a token is no number.
int readFloats(std::string_view rest, float* out, int count) {
    int read = 0;
    for (std::string_view token = nextToken(rest); !token.empty(); token = nextToken(rest)) {
        if (read == count) break;
        if (!parseFloat(token, out[read])) return -1;
        ++read;
    }
    return read;
}

// Calls handle(number, line) for every line of an OBJ or MTL text, comments removed.
template <typename Handle>
void forEachLine(const std::string& text, Handle handle) {
    std::string_view all(text);
    int number = 0;
    while (!all.empty()) {
        const size_t end = all.find('\n');
        std::string_view line = all.substr(0, end);
        all.remove_prefix(end == std::string_view::npos ? all.size() : end + 1);
        ++number;
        const size_t hash = line.find('#');
        if (hash != std::string_view::npos) line = line.substr(0, hash);
        line = trimView(line);
        if (line.empty()) continue;
        if (!handle(number, line)) return;
    }
}

std::string inQuotes(std::string_view s) { return "\"" + std::string(s) + "\""; }

// A file name from a material or mesh file, made a content name relative to `folder`.
std::string contentName(const std::string& folder, std::string_view name) {
    std::string relative(name);
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return foldParentFolders(folder + relative);
}

}  // namespace

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

ObjMeshReader::ObjMeshReader(const LoadServices& load, MeshLibrary& library, const std::string& path)
    : load_(load), library_(library), path_(path), folder_(folderOf(path)) {}

void ObjMeshReader::problem(const std::string& file, int line, const std::string& message) {
    ++problems_;
    if (problems_ < kMaxProblemsLogged) {
        load_.log.error(file + " line " + std::to_string(line) + ": " + message);
    } else if (problems_ == kMaxProblemsLogged) {
        load_.log.error(file + " line " + std::to_string(line) + ": " + message +
                       " (further problems of " + path_ + " are not reported)");
    }
}

std::unique_ptr<Mesh> ObjMeshReader::read(const std::string& text) {
    auto mesh = std::make_unique<Mesh>();
    mesh->materials.push_back({});  // plain white for faces before any usemtl
    currentMaterial_ = 0;
    if (text.size() > kMaxFileBytes) {
        problem(path_, 0, "the file is larger than " + std::to_string(kMaxFileBytes >> 20) +
                              " MB; not read");
        return mesh;
    }
    forEachLine(text, [&](int number, std::string_view line) {
        lineNumber_ = number;
        return readLine(line, *mesh);
    });
    return mesh;
}

bool ObjMeshReader::readLine(std::string_view line, Mesh& mesh) {
    std::string_view rest = line;
    const std::string_view keyword = nextToken(rest);
    if (keyword == "v" || keyword == "vt" || keyword == "vn") {
        const bool point = keyword == "v", normal = keyword == "vn";
        const int elements = point ? mesh.positionCount() : normal ? normals_ : mesh.texcoordCount();
        if (elements >= kMaxElements) {
            problem(path_, lineNumber_, "more than " + std::to_string(kMaxElements) + " " +
                                            std::string(keyword) +
                                            " lines; the rest of the file is skipped");
            return false;
        }
        float values[3] = {0, 0, 0};
        const int needed = keyword == "vt" ? 1 : 3;
        const int read = readFloats(rest, values, 3);
        if (read < needed) {
            // A placeholder keeps the numbering of the elements after it.
            problem(path_, lineNumber_, "malformed " + std::string(keyword) + " line " +
                                            inQuotes(line) + "; taken as zero");
            values[0] = values[1] = values[2] = 0;
        }
        if (point) {
            mesh.positions.insert(mesh.positions.end(), values, values + 3);
        } else if (normal) {
            ++normals_;
        } else {
            mesh.texcoords.push_back(values[0]);
            mesh.texcoords.push_back(1.0f - values[1]);  // OBJ counts v from the bottom
        }
    } else if (keyword == "f") {
        if (static_cast<int>(mesh.triangles.size()) >= kMaxTriangles) {
            problem(path_, lineNumber_, "more than " + std::to_string(kMaxTriangles) +
                                            " triangles; the rest of the file is skipped");
            return false;
        }
        readFace(rest, mesh);
    } else if (keyword == "usemtl") {
        useMaterial(trimView(rest));
    } else if (keyword == "mtllib") {
        readMaterialLibraries(rest, mesh);
    }
    // Groups, objects, smoothing, lines, points and free-form geometry draw nothing here.
    return true;
}

bool ObjMeshReader::resolveIndex(std::string_view token, int count, const char* what, int& out) {
    long index = 0;
    if (!parseIndex(token, index)) {
        problem(path_, lineNumber_, inQuotes(token) + " is not a " + what + " index; face skipped");
        return false;
    }
    // 1 is the first element, -1 the last one read so far.
    const long resolved = index > 0 ? index - 1 : count + index;
    if (index == 0 || resolved < 0 || resolved >= count) {
        problem(path_, lineNumber_, std::string(what) + " index " + std::to_string(index) +
                                        " is out of range (" + std::to_string(count) +
                                        " so far); face skipped");
        return false;
    }
    out = static_cast<int>(resolved);
    return true;
}

void ObjMeshReader::readFace(std::string_view rest, Mesh& mesh) {
    Mesh::Corner corners[kMaxFaceCorners];
    int count = 0;
    for (std::string_view token = nextToken(rest); !token.empty(); token = nextToken(rest)) {
        if (count == kMaxFaceCorners) {
            problem(path_, lineNumber_, "a face with more than " +
                                            std::to_string(kMaxFaceCorners) +
                                            " corners; face skipped");
            return;
        }
        // point[/[texture point][/normal]]
        std::string_view parts[3];
        int fields = 0;
        for (;;) {
            const size_t slash = token.find('/');
            if (fields == 3) {
                problem(path_, lineNumber_, "malformed face corner; face skipped");
                return;
            }
            parts[fields++] = token.substr(0, slash);
            if (slash == std::string_view::npos) break;
            token.remove_prefix(slash + 1);
        }
        Mesh::Corner& corner = corners[count];
        int normal = 0;
        if (!resolveIndex(parts[0], mesh.positionCount(), "point", corner.position)) return;
        corner.texcoord = -1;
        if (fields >= 2 && !parts[1].empty() &&
            !resolveIndex(parts[1], mesh.texcoordCount(), "texture point", corner.texcoord))
            return;
        if (fields == 3 && !resolveIndex(parts[2], normals_, "normal", normal)) return;
        ++count;
    }
    if (count < 3) {
        problem(path_, lineNumber_, "a face needs 3 corners, this one has " +
                                        std::to_string(count) + "; face skipped");
        return;
    }
    // Polygons are taken as convex and fanned from their first corner.
    for (int i = 1; i + 1 < count; ++i) {
        Mesh::Triangle triangle;
        triangle.corners[0] = corners[0];
        triangle.corners[1] = corners[i];
        triangle.corners[2] = corners[i + 1];
        triangle.material = currentMaterial_;
        mesh.triangles.push_back(triangle);
    }
}

void ObjMeshReader::useMaterial(std::string_view name) {
    auto found = materialIndex_.find(name);
    if (found != materialIndex_.end()) {
        currentMaterial_ = found->second;
        return;
    }
    currentMaterial_ = 0;
    if (unknownMaterialsLogged_.emplace(std::string(name), true).second)
        problem(path_, lineNumber_, "no material " + inQuotes(name) + " is defined; plain white used");
}

void ObjMeshReader::readMaterialLibraries(std::string_view rest, Mesh& mesh) {
    const int objLine = lineNumber_;
    for (std::string_view name = nextToken(rest); !name.empty(); name = nextToken(rest)) {
        const std::string mtlPath = contentName(folder_, name);
        std::optional<std::string> text = load_.files.readContent(mtlPath);
        if (!text) {
            problem(path_, objLine, "the material file " + inQuotes(mtlPath) +
                                        " is missing; its materials are drawn plain white");
            continue;
        }
        if (text->size() > kMaxFileBytes) {
            problem(mtlPath, 0, "the file is too large; not read");
            continue;
        }
        readMaterials(*text, mtlPath, mesh);
    }
    lineNumber_ = objLine;
}

void ObjMeshReader::readMaterials(const std::string& text, const std::string& mtlPath, Mesh& mesh) {
    if (mesh.materials.empty()) mesh.materials.push_back({});
    MeshMaterial* material = nullptr;
    forEachLine(text, [&](int number, std::string_view line) {
        std::string_view rest = line;
        const std::string_view keyword = nextToken(rest);
        if (keyword == "newmtl") {
            const std::string_view name = trimView(rest);
            material = nullptr;
            auto found = materialIndex_.find(name);
            if (found != materialIndex_.end()) {
                material = &mesh.materials[found->second];
                *material = MeshMaterial{std::string(name)};
            } else if (static_cast<int>(mesh.materials.size()) > kMaxMaterials) {
                problem(mtlPath, number, "more than " + std::to_string(kMaxMaterials) +
                                             " materials; " + inQuotes(name) + " skipped");
            } else {
                materialIndex_.emplace(std::string(name), static_cast<int>(mesh.materials.size()));
                mesh.materials.push_back(MeshMaterial{std::string(name)});
                material = &mesh.materials.back();
            }
            return true;
        }
        if (keyword != "Kd" && keyword != "d" && keyword != "Tr" && keyword != "map_Kd")
            return true;  // ambient, specular, illumination models: no use without lights
        if (!material) {
            problem(mtlPath, number, std::string(keyword) + " outside a material; line skipped");
            return true;
        }
        if (keyword == "map_Kd") {
            material->texture = textureOf(rest, mtlPath);
            return true;
        }
        float values[3] = {0, 0, 0};
        if (keyword == "d" && trimView(rest).substr(0, 5) == "-halo") nextToken(rest);
        const int read = readFloats(rest, values, 3);
        if (read < 1) {
            problem(mtlPath, number, "malformed " + std::string(keyword) + " line " +
                                         inQuotes(line) + "; line skipped");
            return true;
        }
        auto unit = [](float v) { return std::clamp(v, 0.0f, 1.0f); };
        if (keyword == "Kd") {
            // One value stands for all three channels.
            material->red = unit(values[0]);
            material->green = unit(read >= 2 ? values[1] : values[0]);
            material->blue = unit(read >= 3 ? values[2] : values[0]);
        } else if (keyword == "d") {
            material->alpha = unit(values[0]);
        } else {
            material->alpha = 1.0f - unit(values[0]);
        }
        return true;
    });
}

int ObjMeshReader::textureOf(std::string_view rest, const std::string& mtlPath) {
    // Options come before the file name: -o, -s and -t take up to three numbers, -mm two,
    // the others one.
    std::string_view token = nextToken(rest);
    while (!token.empty() && token.front() == '-') {
        int arguments = 1;
        if (token == "-o" || token == "-s" || token == "-t") arguments = 3;
        if (token == "-mm") arguments = 2;
        for (int i = 0; i < arguments; ++i) {
            std::string_view saved = rest;
            std::string_view argument = nextToken(rest);
            float number = 0;
            if (argument.empty() || (arguments == 3 && i > 0 && !parseFloat(argument, number))) {
                rest = saved;
                break;
            }
        }
        token = nextToken(rest);
    }
    // The file name is the rest of the line, blanks and all.
    const std::string_view name =
        trimView(std::string_view(token.data(), rest.data() + rest.size() - token.data()));
    if (token.empty() || name.empty()) {
        load_.log.error(mtlPath + ": a map_Kd line names no file");
        return -1;
    }
    return library_.textureFor(contentName(folderOf(mtlPath), name));
}

}  // namespace qs
