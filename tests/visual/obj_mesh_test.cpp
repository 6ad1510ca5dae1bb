#include <array>

#include <gtest/gtest.h>

#include "render/png_writer.h"
#include "test_support.h"
#include "visual/mesh_library.h"
#include "visual/obj_mesh_reader.h"
#include "visual/prototype_library.h"

namespace qs {
namespace {

using Triangle = std::array<int, 3>;  // point indices

struct MeshWorld {
    MeshWorld() { world.ctx->log.setEnabled(true); }
    MeshLibrary& meshes() { return world.ctx->prototypes->meshes(); }
    const Mesh& load(const std::string& text, const std::string& path = "meshes\\m.obj") {
        return *meshes().meshAt(meshes().loadText(path, "m", text));
    }
    std::string logText() { return test::readFile(world.dir / "user/log.txt"); }
    test::FakeDevice& device() { return world.platform.fakeDevice(); }
    test::TestWorld world;
};

std::vector<Triangle> trianglesOf(const Mesh& mesh) {
    std::vector<Triangle> out;
    for (const Mesh::Triangle& t : mesh.triangles)
        out.push_back({t.corners[0].position, t.corners[1].position, t.corners[2].position});
    return out;
}

const std::string kFourPoints = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";
const std::string kFivePoints = kFourPoints + "v 0.5 2 0\n";

TEST(ObjMesh, FacesAndTheirIndices) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<Triangle> triangles;
        const char* logged;  // nullptr: nothing logged
    };
    const Case cases[] = {
        {"a quad is fanned from its first corner", kFourPoints + "f 1 2 3 4\n",
         {{0, 1, 2}, {0, 2, 3}}, nullptr},
        {"a pentagon makes three triangles", kFivePoints + "f 1 2 3 5 4\n",
         {{0, 1, 2}, {0, 2, 4}, {0, 4, 3}}, nullptr},
        {"negative indices count back from the last point read",
         "v 0 0 0\nv 1 0 0\nv 1 1 0\nf -3 -2 -1\nv 0 1 0\nf -1 -4 -2\n", {{0, 1, 2}, {3, 0, 2}},
         nullptr},
        {"all corner forms", kFourPoints + "vt 0 0\nvt 1 0\nvt 1 1\nvn 0 0 1\n"
                                          "f 1/1/1 2/2/1 3/3/1\nf 1//1 3//1 4//1\nf 1/1 2/2 3/3\n",
         {{0, 1, 2}, {0, 2, 3}, {0, 1, 2}}, nullptr},
        {"comments, CR LF line ends and other statements",
         "# a mesh\r\no thing\r\ng side\r\ns 1\r\n" + kFourPoints + "l 1 2\r\nf 1 2 3 # tail\r\n",
         {{0, 1, 2}}, nullptr},
        {"a point index beyond the points is skipped, the next face kept",
         kFourPoints + "f 1 2 9\nf 2 3 4\n", {{1, 2, 3}},
         "meshes\\m.obj line 5: point index 9 is out of range (4 so far); face skipped"},
        {"a face may not name a point defined after it", "f 1 2 3\n" + kFourPoints,
         {}, "line 1: point index 1 is out of range (0 so far)"},
        {"index 0 means nothing", kFourPoints + "f 0 1 2\n", {}, "point index 0 is out of range"},
        {"a negative index before the first point", kFourPoints + "f -5 1 2\n", {},
         "point index -5 is out of range"},
        {"a texture point out of range", kFourPoints + "vt 0 0\nf 1/1 2/2 3/1\n", {},
         "texture point index 2 is out of range (1 so far)"},
        {"a normal out of range", kFourPoints + "f 1//1 2//1 3//1\n", {},
         "normal index 1 is out of range (0 so far)"},
        {"two corners are no face", kFourPoints + "f 1 2\n", {},
         "a face needs 3 corners, this one has 2"},
        {"letters are no index", kFourPoints + "f a b c\n", {}, "\"a\" is not a point index"},
        {"four fields in a corner", kFourPoints + "f 1/1/1/1 2 3\n", {}, "malformed face corner"},
        {"a malformed point keeps the numbering of those after it",
         "v 1 x 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 2 3 4\n", {{1, 2, 3}},
         "line 1: malformed v line \"v 1 x 0\"; taken as zero"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MeshWorld w;
        const Mesh& mesh = w.load(c.text);
        EXPECT_EQ(trianglesOf(mesh), c.triangles);
        if (c.logged)
            EXPECT_NE(w.logText().find(c.logged), std::string::npos) << w.logText();
        else
            EXPECT_EQ(w.world.ctx->log.errorCount(), 0) << w.logText();
    }
}

TEST(ObjMesh, AFaceWithTooManyCornersIsSkipped) {
    MeshWorld w;
    std::string text = kFourPoints + "f";
    for (int i = 0; i <= ObjMeshReader::kMaxFaceCorners; ++i) text += " " + std::to_string(1 + i % 4);
    const Mesh& mesh = w.load(text + "\nf 1 2 3\n");
    EXPECT_EQ(mesh.triangles.size(), 1u);
    EXPECT_NE(w.logText().find("a face with more than 256 corners; face skipped"), std::string::npos);
}

TEST(ObjMesh, TextureCoordinatesCountFromTheTopOfTheImage) {
    MeshWorld w;
    const Mesh& mesh = w.load(kFourPoints + "vt 0.25 0.75\nvt 1\nf 1/1 2/2 3/1\n");
    ASSERT_EQ(mesh.texcoords, (std::vector<float>{0.25f, 0.25f, 1.0f, 1.0f}));
    ASSERT_EQ(mesh.triangles.size(), 1u);
    EXPECT_EQ(mesh.triangles[0].corners[0].texcoord, 0);
    EXPECT_EQ(mesh.triangles[0].corners[1].texcoord, 1);
}

TEST(ObjMesh, MaterialsGiveColourOpacityAndTexture) {
    MeshWorld w;
    std::filesystem::create_directories(w.world.dir / "data/meshes/art");
    ASSERT_TRUE(writePng((w.world.dir / "data/meshes/art/skin.png").string(), 2, 1,
                         {0xFFFF0000u, 0x8000FF00u}, nullptr));
    w.world.content("meshes/m.mtl",
                    "# materials\n"
                    "newmtl red\nKa 1 1 1\nKd 1 0 0\n"
                    "newmtl grey\nKd 0.5\nd 0.25\n"
                    "newmtl clear\nTr 0.75\n"
                    "newmtl bright\nKd 2 -1 0.5\n"
                    "newmtl skin\nKd 1 1 1\nmap_Kd -s 1 1 1 -clamp on art/skin.png\n");
    const Mesh& mesh = w.load(
        "mtllib m.mtl\n" + kFourPoints +
        "f 1 2 3\nusemtl red\nf 1 2 3\nusemtl grey\nf 1 2 3\nusemtl clear\nf 1 2 3\n"
        "usemtl bright\nf 1 2 3\nusemtl skin\nf 1 2 3\nusemtl nothing\nf 1 2 3\n");
    ASSERT_EQ(mesh.triangles.size(), 7u);
    auto material = [&](int face) { return mesh.materials[mesh.triangles[face].material]; };
    EXPECT_EQ(material(0).name, "");  // before any usemtl: plain white
    EXPECT_EQ(material(0).red, 1);
    EXPECT_EQ(material(0).texture, -1);
    EXPECT_EQ(material(1).name, "red");
    EXPECT_EQ(material(1).red, 1);
    EXPECT_EQ(material(1).green, 0);
    EXPECT_EQ(material(2).blue, 0.5f);  // one value stands for all three
    EXPECT_EQ(material(2).alpha, 0.25f);
    EXPECT_EQ(material(3).alpha, 0.25f);  // Tr is the transparency
    EXPECT_EQ(material(4).red, 1);        // clamped into 0..1
    EXPECT_EQ(material(4).green, 0);
    EXPECT_EQ(material(5).texture, 0);
    EXPECT_EQ(material(6).name, "");
    EXPECT_NE(w.logText().find("meshes\\m.obj line 17: no material \"nothing\" is defined"),
              std::string::npos)
        << w.logText();

    // The texture went to the device as A8R8G8B8 pixels.
    ASSERT_EQ(w.device().meshTextures.count(0), 1u);
    const test::FakeDevice::MeshTexture& texture = w.device().meshTextures[0];
    EXPECT_EQ(texture.width, 2);
    EXPECT_EQ(texture.height, 1);
    EXPECT_EQ(texture.argb, (std::vector<uint32_t>{0xFFFF0000u, 0x8000FF00u}));

    // A second mesh using the same image shares it; a new device gets it again.
    w.world.content("meshes/other.mtl", "newmtl skin2\nmap_Kd art/SKIN.png\n");
    const Mesh& other = w.load("mtllib other.mtl\n" + kFourPoints + "usemtl skin2\nf 1 2 3\n",
                               "meshes\\other.obj");
    EXPECT_EQ(other.materials[other.triangles[0].material].texture, 0);
    EXPECT_EQ(w.meshes().textureCount(), 1);
    EXPECT_EQ(w.device().meshTexturesCreated, 1);
    EXPECT_TRUE(w.meshes().restoreTextures(w.device()));
    EXPECT_EQ(w.device().meshTexturesCreated, 2);
}

TEST(ObjMesh, MissingMaterialFilesAndTexturesLeaveFacesPlain) {
    MeshWorld w;
    w.world.content("meshes/m.mtl", "Kd 1 0 0\nnewmtl a\nmap_Kd gone.png\nnewmtl b\nKd red\n");
    const Mesh& mesh = w.load("mtllib nothere.mtl m.mtl\n" + kFourPoints +
                              "usemtl a\nf 1 2 3\nusemtl b\nf 1 2 3\n");
    ASSERT_EQ(mesh.triangles.size(), 2u);
    EXPECT_EQ(mesh.materials[mesh.triangles[0].material].texture, -1);
    EXPECT_EQ(mesh.materials[mesh.triangles[1].material].red, 1);
    const std::string log = w.logText();
    for (const char* line :
         {"meshes\\m.obj line 1: the material file \"meshes\\nothere.mtl\" is missing",
          "meshes\\m.mtl line 1: Kd outside a material; line skipped",
          "the mesh texture \"meshes\\gone.png\" is missing",
          "meshes\\m.mtl line 5: malformed Kd line \"Kd red\""})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    EXPECT_TRUE(w.device().meshTextures.empty());
}

}  // namespace
}  // namespace qs
