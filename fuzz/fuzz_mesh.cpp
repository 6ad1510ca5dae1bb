// libFuzzer target for the 3D readers: the first byte picks the reader (OBJ mesh, MTL
// material file, .m3d prototype), the rest is its text. Meshes read are then put through
// the 3D pass, so every index the readers hand out is followed.
//   clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc \
//     -DQUIBBLESTAR_DEFAULT_DATA='"data"' fuzz/fuzz_mesh.cpp \
//     $(ls src/*/*.cpp | grep -v src/app/main.cpp) $(pkg-config --cflags --libs sdl2 SDL2_mixer) \
//     -lpng -ljpeg -lz -o build-fuzz/fuzz_mesh
//   build-fuzz/fuzz_mesh -close_fd_mask=2 fuzz/corpus/mesh   (the readers report on stderr)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/context.h"
#include "render/null_device.h"
#include "render/platform.h"
#include "render/png_writer.h"
#include "visual/mesh_library.h"
#include "visual/obj_mesh_reader.h"
#include "visual/object_3d.h"
#include "visual/object_3d_pass.h"
#include "visual/prototype_library.h"

namespace {

class MemoryDevice final : public qs::SilentRenderDevice {
public:
    bool createPage(int, int) override { return true; }
    bool writePage(int, int, int, int, int, const uint8_t*) override { return true; }
    bool hasPage(int) const override { return true; }
    void releasePages() override {}
    void releasePage(int) override {}
    bool createMeshTexture(int id, int width, int height, const uint32_t* argb) override {
        if (id < 0 || width <= 0 || height <= 0 || !argb) abort();
        textures_ = std::max(textures_, id + 1);
        return true;
    }
    bool drawTriangles(int texture, bool, const qs::ScreenVertex* vertices, int count) override {
        if (texture >= textures_ || count % 3 != 0) abort();
        for (int i = 0; i < count; ++i)  // every vertex is read, as a renderer would
            if (vertices[i].x != vertices[i].x) abort();
        return true;
    }

private:
    int textures_ = 0;
};


struct World {
    World() {
        root = std::filesystem::temp_directory_path() / "qs-fuzz-mesh";
        std::filesystem::create_directories(root / "meshes");
        auto write = [&](const std::string& name, const std::string& contents) {
            std::ofstream(root / name, std::ios::binary) << contents;
        };
        qs::writePng((root / "meshes/skin.png").string(), 4, 4,
                     std::vector<uint32_t>(16, 0xFF808080u), nullptr);
        write("meshes/m.mtl", "newmtl a\nKd 1 0 0\nmap_Kd skin.png\nnewmtl b\nd 0.5\n");
        write("meshes/tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
        ctx = std::make_unique<qs::Context>(std::make_unique<qs::VirtualClock>(0),
                                            qs::FileSystem(root, root / "user"), platform, 1);
    }
    std::filesystem::path root;
    MemoryDevice device;
    qs::NullPlatform platform{device};
    std::unique_ptr<qs::Context> ctx;
};

void checkMesh(const qs::Mesh& mesh, const qs::MeshLibrary& meshes) {
    for (const qs::Mesh::Triangle& t : mesh.triangles) {
        if (t.material < 0 || t.material >= static_cast<int>(mesh.materials.size())) abort();
        for (const qs::Mesh::Corner& c : t.corners) {
            if (c.position < 0 || c.position >= mesh.positionCount()) abort();
            if (c.texcoord < -1 || c.texcoord >= mesh.texcoordCount()) abort();
        }
    }
    for (const qs::MeshMaterial& m : mesh.materials)
        if (m.texture < -1 || m.texture >= meshes.textureCount()) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World world;
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    qs::PrototypeLibrary library(world.ctx->prototypes->services());
    qs::MeshLibrary& meshes = library.meshes();
    qs::Object3DList objects;
    switch (data[0] % 3) {
        case 0: {
            const int index = meshes.loadText("meshes\\fuzz.obj", "fuzz", "mtllib m.mtl\n" + text);
            const qs::Mesh* mesh = meshes.meshAt(index);
            if (!mesh) abort();
            checkMesh(*mesh, meshes);
            const int prototype = library.Load3DPrototypeFromText(
                "meshes\\fuzz.m3d", "x=5,angle_vector_y=1,angle=30\r1\rfuzz.obj\r");
            qs::TMultiObject3D* object = objects.create(library, prototype);
            if (!object) abort();
            object->z = 3;
            objects.CameraTable[0].projection.at(2, 3) = 0.01f;  // a touch of perspective
            qs::draw3DPass(world.platform.device(), objects, meshes, 1, 2);
            break;
        }
        case 1: {
            qs::Mesh mesh;
            qs::ObjMeshReader reader(world.ctx->prototypes->services(), meshes, "meshes\\fuzz.obj");
            reader.readMaterials(text, "meshes\\fuzz.mtl", mesh);
            checkMesh(mesh, meshes);
            break;
        }
        default: {
            const int index = library.Load3DPrototypeFromText("meshes\\fuzz.m3d", text);
            const qs::TMulti3DPrototype* prototype = library.prototype3DAt(index);
            if (!prototype) abort();
            for (const qs::Prototype3DPart& part : prototype->parts)
                for (int mesh : part.meshes)
                    if (!meshes.meshAt(mesh)) abort();
            for (const qs::PartGroup& group : prototype->groups)
                if (group.firstPart < 0 || group.count < 0 ||
                    group.firstPart + group.count > static_cast<int>(prototype->parts.size()))
                    abort();
            qs::TMultiObject3D* object = objects.create(library, index);
            if (!object) abort();
            object->Move(1000);
            qs::draw3DPass(world.platform.device(), objects, meshes, 0, 0);
            break;
        }
    }
    return 0;
}
