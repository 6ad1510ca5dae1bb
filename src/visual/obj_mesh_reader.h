#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "visual/load_services.h"
#include "visual/mesh.h"

namespace qs {

class MeshLibrary;

// Reads a Wavefront OBJ mesh: points (v), texture coordinates (vt), normals (vn), faces (f)
// of any corner count fanned into triangles, negative (relative) indices, materials from the
// files that mtllib names (Kd colour, d or Tr opacity, map_Kd texture). Every index is
// checked; a malformed line is logged with file and line and skipped, and a file beyond the
// size limits is read only up to them.
class ObjMeshReader {
public:
    static constexpr size_t kMaxFileBytes = size_t{64} << 20;
    static constexpr int kMaxElements = 1 << 21;  // points, texture points, normals each
    static constexpr int kMaxTriangles = 1 << 21;
    static constexpr int kMaxFaceCorners = 256;
    static constexpr int kMaxMaterials = 4096;
    static constexpr int kMaxProblemsLogged = 20;

    // `path` is the OBJ file's content name; material files are looked up in its folder.
    ObjMeshReader(const LoadServices& load, MeshLibrary& library, const std::string& path);

    std::unique_ptr<Mesh> read(const std::string& text);
    // Adds the materials of one MTL text to the mesh's table (textures through the library).
    void readMaterials(const std::string& text, const std::string& mtlPath, Mesh& mesh);

private:
    // Returns false when the rest of the file is to be skipped.
    bool readLine(std::string_view line, Mesh& mesh);
    void readFace(std::string_view rest, Mesh& mesh);
    bool resolveIndex(std::string_view token, int count, const char* what, int& out);
    void readMaterialLibraries(std::string_view rest, Mesh& mesh);
    void useMaterial(std::string_view name);
    int textureOf(std::string_view rest, const std::string& mtlPath);
    void problem(const std::string& file, int line, const std::string& message);

    LoadServices load_;
    MeshLibrary& library_;
    std::string path_;
    std::string folder_;
    int lineNumber_ = 0;
    int currentMaterial_ = 0;
    int normals_ = 0;
    int problems_ = 0;
    std::map<std::string, int, std::less<>> materialIndex_;
    std::map<std::string, bool, std::less<>> unknownMaterialsLogged_;
};

// The folder part of a content name, up to and including its last separator.
std::string folderOf(const std::string& path);

}  // namespace qs
