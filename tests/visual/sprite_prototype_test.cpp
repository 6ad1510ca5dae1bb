#include <cmath>
#include <cstring>
#include <functional>
#include <tuple>

#include <gtest/gtest.h>

#include "image_fixtures.h"
#include "scene/scene_object_list.h"
#include "test_support.h"
#include "visual/multisprite.h"
#include "visual/prototype_library.h"
#include "visual/sprite_prototype_loader.h"
#include "visual/tile_cutter.h"

namespace qs {
namespace {

using test::makeRgbaPng;
using test::makeTga;

// A .spr text with CR LF line ends, as the game's files have them.
std::string spr(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) text += std::string(line) + "\r\n";
    return text;
}

// A recognisable opaque pixel for every position of an image.
uint32_t pattern(int x, int y) { return 0xFF000000u | (x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x40; }

std::string patternPng(int width, int height) { return makeRgbaPng(width, height, pattern); }

// A content root with a context, its prototype library and a device keeping page pixels.
struct SprWorld {
    SprWorld() { world.ctx->log.setEnabled(true); }

    void file(const std::string& name, const std::string& contents) {
        std::string path = name;
        for (char& c : path)
            if (c == '\\') c = '/';
        world.content(path, contents);
    }
    int load(const std::string& path) { return library().LoadSpritePrototype(path); }

    PrototypeLibrary& library() { return *world.ctx->prototypes; }
    TextureLibrary& textures() { return library().textures(); }
    test::FakeDevice& device() { return world.platform.fakeDevice(); }
    const TMultiSpritePrototype& prototype(int index) { return *library().prototypeAt(index); }
    const TextureSheet& sheetOf(const PrototypePart& part) {
        const TextureSheet* sheet = textures().sheetAt(part.sheet);
        EXPECT_NE(sheet, nullptr);
        static const TextureSheet none;
        return sheet ? *sheet : none;
    }
    std::string logText() { return test::readFile(world.dir / "user/log.txt"); }
    bool logged(const std::string& text) { return logText().find(text) != std::string::npos; }
    std::vector<std::string>& messages() { return world.platform.messages; }

    // The pixel at (x, y) of a device page, as stored (A8R8G8B8 or A4R4G4B4).
    uint32_t pagePixel(int page, int x, int y) {
        const test::FakeDevice::Page& p = device().pages.at(page);
        uint32_t value = 0;
        std::memcpy(&value, p.pixels.data() + (static_cast<size_t>(y) * 256 + x) * p.bytesPerPixel,
                    p.bytesPerPixel);
        return value;
    }

    test::TestWorld world;
};

// Where a tile's texels are: its page and its corner there.
std::tuple<int, int, int> placeOf(const TextureTile& tile) {
    return {tile.page, tile.pageX, tile.pageY};
}

struct SprCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    const char* load;
    std::function<void(SprWorld&, const TMultiSpritePrototype&)> check;
};

TEST(SpritePrototype, FileFormatCases) {
    const std::string ball = patternPng(32, 32);
    std::string longCommon = "x=3,";
    for (int i = 0; i < 62; ++i) longCommon += "y=4,";
    longCommon += "z=99";  // the 255-character cut leaves "z=9"

    const std::vector<SprCase> cases = {
        {"a common line only gives no parts",
         {{"a.spr", spr({"x=5, y=-6.5, z=3, flip_x=1, flip_y=0, trigger=1, isometric=1"})}},
         "a.spr",
         [](SprWorld&, const TMultiSpritePrototype& p) {
             EXPECT_TRUE(p.parts.empty());
             EXPECT_TRUE(p.groups.empty());
             EXPECT_EQ(p.x, 5);
             EXPECT_EQ(p.y, -6.5);
             EXPECT_EQ(p.z, 3);
             EXPECT_TRUE(p.flip_x);
             EXPECT_FALSE(p.flip_y);
             EXPECT_TRUE(p.trigger);
             EXPECT_TRUE(p.isometric);
             EXPECT_EQ(p.width, 0);
         }},
        {"a comment after a value is dropped",
         {{"a.spr", spr({"x=10 ; left", "; a whole comment line", "", "1",
                         "ball.png, texture_size=32 ;, x=99"})},
          {"ball.png", ball}},
         "a.spr",
         [](SprWorld&, const TMultiSpritePrototype& p) {
             EXPECT_EQ(p.x, 10);
             ASSERT_EQ(p.parts.size(), 1u);
             EXPECT_EQ(p.parts[0].x, 0);
         }},
        {"a file with line feeds only is one common line cut at 255 characters",
         {{"a.spr", longCommon + "\n1\nball.png,texture_size=32\n"}, {"ball.png", ball}},
         "a.spr",
         [](SprWorld& w, const TMultiSpritePrototype& p) {
             EXPECT_TRUE(p.parts.empty());
             EXPECT_TRUE(p.groups.empty());
             EXPECT_EQ(p.x, 3);
             EXPECT_EQ(p.y, 4);
             EXPECT_EQ(p.z, 9);
             EXPECT_TRUE(w.messages().empty());
         }},
        {"scale then scale_y sets both, then y only",
         {{"a.spr", spr({"scale=2, scale_y=3", "1",
                         "ball.png, texture_size=32, scale=2, scale_y=3"})},
          {"ball.png", ball}},
         "a.spr",
         [](SprWorld&, const TMultiSpritePrototype& p) {
             EXPECT_EQ(p.scale_x, 2);
             EXPECT_EQ(p.scale_y, 3);
             ASSERT_EQ(p.parts.size(), 1u);
             EXPECT_EQ(p.parts[0].scale_x, 2);
             EXPECT_EQ(p.parts[0].scale_y, 3);
         }},
        {"keys: hex, degrees, low byte of alpha, upper case",
         {{"a.spr", spr({"COLOR=$FF8000, Angle=90, alpha=511, map_koeff=0.5, rot_center_x=4",
                         "1",
                         "Ball.PNG, texture_size=$20, alpha_mode=257, angle=-180, color=$0000ff, "
                         "filter=1, sprite_type=2, z=-4, flip_y=1"})},
          {"ball.png", ball}},
         "a.spr",
         [](SprWorld& w, const TMultiSpritePrototype& p) {
             EXPECT_EQ(p.color, 0xFF8000);
             EXPECT_DOUBLE_EQ(p.angle, M_PI / 2);
             EXPECT_EQ(p.alpha, 255);
             EXPECT_EQ(p.map_koeff, 0.5);
             EXPECT_EQ(p.rot_center_x, 4);
             ASSERT_EQ(p.parts.size(), 1u);
             const PrototypePart& part = p.parts[0];
             EXPECT_EQ(part.textureName, "ball");
             EXPECT_EQ(part.alpha_mode, 1);
             EXPECT_DOUBLE_EQ(part.angle, -M_PI);
             EXPECT_EQ(part.color, 0x0000FF);
             EXPECT_EQ(part.filter, 1);
             EXPECT_EQ(part.sprite_type, 2);
             EXPECT_EQ(part.z, -4);
             EXPECT_TRUE(part.flip_y);
             EXPECT_EQ(w.sheetOf(part).textureSize, 32);
             EXPECT_EQ(w.sheetOf(part).filter, 1);
         }},
        {"reading keys stops at an empty field, a field without = and one starting with =",
         {{"a.spr", spr({"x=1,,y=2", "1", "ball.png, texture_size=32, x=3, junk, y=4"})},
          {"b.spr", spr({"x=1, =5, y=2"})},
          {"ball.png", ball}},
         "a.spr",
         [](SprWorld& w, const TMultiSpritePrototype& p) {
             EXPECT_EQ(p.x, 1);
             EXPECT_EQ(p.y, 0);
             ASSERT_EQ(p.parts.size(), 1u);
             EXPECT_EQ(p.parts[0].x, 3);
             EXPECT_EQ(p.parts[0].y, 0);
             const TMultiSpritePrototype& b = w.prototype(w.load("b.spr"));
             EXPECT_EQ(b.y, 0);
             EXPECT_TRUE(w.messages().empty());
         }},
        {"256x64 with 64x64 frames and 32/1 tiles gives 4 frames of 3x3 tiles",
         {{"a.spr", spr({"z=0", "1",
                         "strip.png, texture_size=32, border=1, frame_width=64, "
                         "frame_height=64"})},
          {"strip.png", patternPng(256, 64)}},
         "a.spr",
         [](SprWorld& w, const TMultiSpritePrototype& p) {
             ASSERT_EQ(p.parts.size(), 1u);
             EXPECT_EQ(p.parts[0].frame_count, 4);
             const TextureSheet& sheet = w.sheetOf(p.parts[0]);
             EXPECT_EQ(sheet.imageWidth, 256);
             EXPECT_EQ(sheet.frameWidth, 64);
             EXPECT_EQ(sheet.tileColumns, 3);
             EXPECT_EQ(sheet.tileRows, 3);
             EXPECT_EQ(sheet.drawnTileSize(), 30);
             ASSERT_EQ(sheet.frames.size(), 4u);
             for (const SheetFrame& frame : sheet.frames) {
                 EXPECT_EQ(frame.name, "strip");
                 ASSERT_EQ(frame.tiles.size(), 9u);
                 EXPECT_EQ(frame.tiles[4].xOffset, 30);
                 EXPECT_EQ(frame.tiles[5].xOffset, 60);
                 EXPECT_EQ(frame.tiles[7].yOffset, 60);
             }
             EXPECT_EQ(p.width, 64);
             EXPECT_EQ(p.height, 64);
             // Frame 1's first tile: its border texel comes from outside the frame (none),
             // then its own pixels from frame pixel (0, 0) = image pixel (64, 0).
             const TextureTile& tile = sheet.frames[1].tiles[0];
             EXPECT_EQ(w.pagePixel(tile.page, tile.pageX, tile.pageY), 0u);
             EXPECT_EQ(w.pagePixel(tile.page, tile.pageX + 1, tile.pageY + 1), pattern(64, 0));
             // The middle tile of frame 1 overlaps its neighbours by the border.
             const TextureTile& middle = sheet.frames[1].tiles[4];
             EXPECT_EQ(w.pagePixel(middle.page, middle.pageX, middle.pageY),
                       pattern(64 + 29, 29));
         }},
        {"a fully transparent tile takes no room",
         {{"a.spr", spr({"z=0", "1", "half.png, texture_size=32"})},
          {"half.png",
           makeRgbaPng(64, 32, [](int x, int y) { return x < 32 ? pattern(x, y) : 0x00FFFFFFu; })}},
         "a.spr",
         [](SprWorld& w, const TMultiSpritePrototype& p) {
             const TextureSheet& sheet = w.sheetOf(p.parts.at(0));
             ASSERT_EQ(sheet.frames.at(0).tiles.size(), 2u);
             const TextureTile& empty = sheet.frames[0].tiles[1];
             EXPECT_FALSE(empty.hasVisiblePixels);
             EXPECT_FALSE(empty.drawable());
             EXPECT_TRUE(empty.pixels.empty());
             EXPECT_EQ(empty.page, -1);
             ASSERT_EQ(w.textures().pages.size(), 1u);
             EXPECT_EQ(w.textures().pages[0].tiles, 1);
             EXPECT_EQ(w.device().pageWrites, 1);
         }},
        {"17 tiles of 64 fill one page and open a second",
         {{"a.spr", spr({"z=0", "1", "tall.png, texture_size=64, frame_height=64"})},
          {"tall.png", patternPng(64, 64 * 17)}},
         "a.spr",
         [](SprWorld& w, const TMultiSpritePrototype& p) {
             EXPECT_EQ(p.parts.at(0).frame_count, 17);
             const std::vector<TexturePage>& pages = w.textures().pages;
             ASSERT_EQ(pages.size(), 2u);
             EXPECT_EQ(pages[0].tiles, 16);
             EXPECT_EQ(pages[1].tiles, 1);
             EXPECT_NE(pages[0].textureIndex, pages[1].textureIndex);
             EXPECT_EQ(w.device().pagesCreated, 2);
             const TextureSheet& sheet = w.sheetOf(p.parts[0]);
             const TextureTile& last = sheet.frames[16].tiles.at(0);
             EXPECT_EQ(last.page, pages[1].textureIndex);
             EXPECT_EQ(last.pageX, 0);
             EXPECT_EQ(last.pageY, 0);
             const TextureTile& sixth = sheet.frames[5].tiles.at(0);
             EXPECT_EQ(sixth.pageX, 64);
             EXPECT_EQ(sixth.pageY, 64);
             EXPECT_DOUBLE_EQ(sixth.u, 0.25);
             EXPECT_EQ(w.pagePixel(sixth.page, 64 + 3, 64 + 2), pattern(3, 5 * 64 + 2));
         }},
        {"edge tiles take their frame pixels and one transparent texel; shelves pack them",
         {{"a.spr", spr({"z=0", "2", "wide.png, texture_size=64", "ball.png, texture_size=32"})},
          {"wide.png", patternPng(100, 30)},
          {"ball.png", ball}},
         "a.spr",
         [](SprWorld& w, const TMultiSpritePrototype& p) {
             const SheetFrame& wide = w.sheetOf(p.parts.at(0)).frames.at(0);
             ASSERT_EQ(wide.tiles.size(), 2u);
             const TextureTile& left = wide.tiles[0];
             const TextureTile& right = wide.tiles[1];
             EXPECT_EQ(left.width, 64);
             EXPECT_EQ(left.height, 30);
             EXPECT_EQ(right.width, 36);
             // One shelf 31 rows high: the right tile follows the left one.
             EXPECT_EQ(right.page, left.page);
             EXPECT_EQ(right.pageX, 64);
             EXPECT_EQ(right.pageY, 0);
             EXPECT_EQ(w.pagePixel(right.page, 64 + 35, 29), pattern(99, 29));
             EXPECT_EQ(w.pagePixel(right.page, 64 + 36, 29), 0u);  // the transparent texel
             EXPECT_EQ(w.pagePixel(right.page, 64 + 35, 30), 0u);
             // A full 32 x 32 tile fits no 31-row shelf: a new shelf below.
             const TextureTile& ball = w.sheetOf(p.parts.at(1)).frames.at(0).tiles.at(0);
             EXPECT_EQ(ball.page, left.page);
             EXPECT_EQ(ball.pageX, 0);
             EXPECT_EQ(ball.pageY, 31);
             EXPECT_EQ(w.pagePixel(ball.page, 5, 31 + 6), pattern(5, 6));
         }},
        {"a single frame never animates",
         {{"a.spr", spr({"z=0", "2", "ball.png, texture_size=32, anim_speed=500, anim_loop=1",
                         "strip.png, texture_size=32, frame_width=64, anim_speed=500"})},
          {"ball.png", ball},
          {"strip.png", patternPng(256, 32)}},
         "a.spr",
         [](SprWorld&, const TMultiSpritePrototype& p) {
             ASSERT_EQ(p.parts.size(), 2u);
             EXPECT_EQ(p.parts[0].frame_count, 1);
             EXPECT_EQ(p.parts[0].anim_speed, 0);
             EXPECT_FALSE(p.parts[0].anim_loop);
             EXPECT_EQ(p.parts[1].frame_count, 4);
             EXPECT_DOUBLE_EQ(p.parts[1].anim_speed, 0.5);
             EXPECT_TRUE(p.parts[1].anim_loop);  // the key's default
         }},
        {"groups take the next N part lines",
         {{"button.spr", spr({"z=0", "3", "ball.png, texture_size=32", "ball.png, texture_size=32",
                              "ball.png, texture_size=32", "1", "ball.png, texture_size=32"})},
          {"ball.png", ball}},
         "button.spr",
         [](SprWorld&, const TMultiSpritePrototype& p) {
             ASSERT_EQ(p.groups.size(), 2u);
             EXPECT_EQ(p.groups[0].firstPart, 0);
             EXPECT_EQ(p.groups[0].count, 3);
             EXPECT_EQ(p.groups[0].selection, -1);
             EXPECT_EQ(p.groups[1].firstPart, 3);
             ASSERT_EQ(p.parts.size(), 4u);
             EXPECT_EQ(p.parts[2].group, 0);
             EXPECT_EQ(p.parts[3].group, 1);
         }},
        {"object size spans every part at its offset unless width and height are given",
         {{"a.spr", spr({"z=0", "2", "ball.png, texture_size=32, x=10.5",
                         "strip.png, texture_size=32, frame_width=64, y=-8"})},
          {"b.spr", spr({"width=300, height=7", "1", "ball.png, texture_size=32, x=10.5"})},
          {"ball.png", ball},
          {"strip.png", patternPng(256, 32)}},
         "a.spr",
         [](SprWorld& w, const TMultiSpritePrototype& p) {
             EXPECT_EQ(p.width, 64);   // max(ceil(32 + 10.5), 64)
             EXPECT_EQ(p.height, 32);  // max(32, 32 - 8)
             const TMultiSpritePrototype& b = w.prototype(w.load("b.spr"));
             EXPECT_EQ(b.width, 300);
             EXPECT_EQ(b.height, 7);
         }},
        {"folders in the image path, \\..\\ folded, any case on disk",
         {{"graphics\\menu\\pause.spr", spr({"z=0", "1", "..\\Shared\\BALL.png, texture_size=32"})},
          {"graphics\\Shared\\Ball.PNG", ball}},
         "graphics\\menu\\pause.spr",
         [](SprWorld& w, const TMultiSpritePrototype& p) {
             EXPECT_EQ(p.name, "pause");
             ASSERT_EQ(p.parts.size(), 1u);
             EXPECT_EQ(p.parts[0].textureName, "ball");
             EXPECT_EQ(w.sheetOf(p.parts[0]).name, "ball");
             EXPECT_FALSE(w.logged("not_found"));
         }},
        {"line ends: CR alone, CR LF, and a last line without one",
         {{"a.spr", "x=2\r1\r\nball.png, texture_size=32"}, {"ball.png", ball}},
         "a.spr",
         [](SprWorld&, const TMultiSpritePrototype& p) {
             EXPECT_EQ(p.x, 2);
             EXPECT_EQ(p.parts.size(), 1u);
         }},
    };

    for (const SprCase& c : cases) {
        SCOPED_TRACE(c.name);
        SprWorld w;
        for (const auto& [name, contents] : c.files) w.file(name, contents);
        const int index = w.load(c.load);
        ASSERT_NE(w.library().prototypeAt(index), nullptr);
        c.check(w, w.prototype(index));
    }
}

TEST(SpritePrototype, TwoPrototypesNamingOneImageDecodeItOnce) {
    SprWorld w;
    w.file("a\\one.spr", spr({"z=0", "1", "ball.png, texture_size=32"}));
    w.file("b\\two.spr", spr({"z=0", "1", "ball.png, texture_size=16, x=40"}));
    w.file("a\\ball.png", patternPng(32, 32));
    w.file("b\\ball.png", makeRgbaPng(32, 32, [](int, int) { return 0xFFFFFFFFu; }));
    const TMultiSpritePrototype& one = w.prototype(w.load("a\\one.spr"));
    const int writes = w.device().pageWrites;
    const TMultiSpritePrototype& two = w.prototype(w.load("b\\two.spr"));

    EXPECT_EQ(w.device().pageWrites, writes);  // nothing decoded or uploaded again
    const TextureSheet& first = w.sheetOf(one.parts.at(0));
    const TextureSheet& second = w.sheetOf(two.parts.at(0));
    EXPECT_NE(one.parts[0].sheet, two.parts[0].sheet);
    EXPECT_EQ(second.textureSize, 32);  // the found sheet's cutting, not this line's keys
    ASSERT_EQ(second.frames.size(), 1u);
    EXPECT_EQ(second.frames[0].tiles.at(0).page, first.frames[0].tiles.at(0).page);
    EXPECT_EQ(second.frames[0].tiles[0].pageX, first.frames[0].tiles[0].pageX);
    EXPECT_EQ(second.frames[0].tiles[0].pageY, first.frames[0].tiles[0].pageY);
    EXPECT_TRUE(second.frames[0].tiles[0].drawable());
    // Only the decoding frame owns the slots, so a restore writes each slot once.
    EXPECT_FALSE(second.frames[0].ownsTiles());
    EXPECT_TRUE(first.frames[0].ownsTiles());
    // The size rule is the same for a shared image.
    EXPECT_EQ(two.width, 72);
    EXPECT_EQ(two.height, 32);
}

TEST(SpritePrototype, ContinuationLinesAddFrames) {
    SprWorld w;
    w.file("anim.spr", spr({"z=0", "1", "f1.png, texture_size=32, anim_speed=100, anim_loop=0",
                            "+ f2.png, texture_size=64", "+f3.png", "+big.png", "+f2.png"}));
    w.file("other.spr", spr({"z=0", "1", "f3.png, texture_size=32", "+f1.png"}));
    w.file("f1.png", makeRgbaPng(32, 32, [](int, int) { return 0xFF000001u; }));
    w.file("f2.png", makeRgbaPng(32, 32, [](int, int) { return 0xFF000002u; }));
    w.file("f3.png", makeRgbaPng(32, 32, [](int, int) { return 0xFF000003u; }));
    w.file("big.png", patternPng(64, 32));
    const TMultiSpritePrototype& anim = w.prototype(w.load("anim.spr"));
    ASSERT_EQ(anim.parts.size(), 1u);
    const PrototypePart& part = anim.parts[0];
    // f1, f2, f3, and f2 again (shared, not decoded twice); big.png has the wrong size.
    EXPECT_EQ(part.frame_count, 4);
    EXPECT_DOUBLE_EQ(part.anim_speed, 0.1);
    EXPECT_FALSE(part.anim_loop);
    const TextureSheet& sheet = w.sheetOf(part);
    ASSERT_EQ(sheet.frames.size(), 4u);
    EXPECT_EQ(sheet.frames[1].name, "f2");
    EXPECT_EQ(sheet.frames[2].name, "f3");
    EXPECT_EQ(sheet.frames[3].name, "");  // a found frame is appended without its name
    EXPECT_EQ(placeOf(sheet.frames[3].tiles.at(0)), placeOf(sheet.frames[1].tiles.at(0)));
    EXPECT_EQ(w.pagePixel(sheet.frames[2].tiles[0].page, sheet.frames[2].tiles[0].pageX,
                          sheet.frames[2].tiles[0].pageY),
              0xFF000003u);
    EXPECT_TRUE(w.logged("line 6: the image \"big.png\" is 64 x 32, not the frame size 32 x 32"));

    // Another prototype starting from f3 (a "+" frame of anim.spr) and continued by f1
    // finds both frames, and shows f3 first, not the sheet f3 was added to.
    const auto f3Place = placeOf(sheet.frames[2].tiles[0]);
    const auto f1Place = placeOf(sheet.frames[0].tiles.at(0));
    const int writes = w.device().pageWrites;
    const TMultiSpritePrototype& other = w.prototype(w.load("other.spr"));
    EXPECT_EQ(w.device().pageWrites, writes);
    EXPECT_EQ(other.parts.at(0).frame_count, 2);
    const TextureSheet& otherSheet = w.sheetOf(other.parts[0]);
    ASSERT_EQ(otherSheet.frames.size(), 2u);
    EXPECT_EQ(placeOf(otherSheet.frames[0].tiles.at(0)), f3Place);
    EXPECT_EQ(placeOf(otherSheet.frames[1].tiles.at(0)), f1Place);
    // ... and never changed the first prototype's frames.
    EXPECT_EQ(w.sheetOf(anim.parts[0]).frames.size(), 4u);
    EXPECT_EQ(w.sheetOf(anim.parts[0]).frames[2].name, "f3");
}

TEST(SpritePrototype, TgaAlphaImageReplacesTheAlpha) {
    SprWorld w;
    // Grey alpha image: 0 on the left column, 0x80 elsewhere.
    std::vector<uint8_t> mask(8 * 8, 0x80);
    for (int y = 0; y < 8; ++y) mask[y * 8] = 0;
    w.file("masked.spr", spr({"z=0", "2", "solid.bmp|mask.tga, texture_size=8",
                              "plain.png | mask.bmp, texture_size=8"}));
    std::vector<uint8_t> bgr(8 * 8 * 3, 0x20);
    w.file("solid.bmp", test::makeBmp(8, 8, 24, bgr));
    w.file("plain.png", patternPng(8, 8));
    w.file("mask.tga", makeTga(3, 8, 8, 8, mask));
    w.file("mask.bmp", test::makeBmp(8, 8, 24, bgr));
    const TMultiSpritePrototype& p = w.prototype(w.load("masked.spr"));
    ASSERT_EQ(p.parts.size(), 2u);
    const TextureTile& tile = w.sheetOf(p.parts[0]).frames.at(0).tiles.at(0);
    EXPECT_EQ(w.pagePixel(tile.page, tile.pageX, tile.pageY), 0x00202020u);
    EXPECT_EQ(w.pagePixel(tile.page, tile.pageX + 1, tile.pageY), 0x80202020u);
    // An alpha image that is not a TGA changes nothing.
    const TextureTile& plain = w.sheetOf(p.parts[1]).frames.at(0).tiles.at(0);
    EXPECT_EQ(w.pagePixel(plain.page, plain.pageX, plain.pageY + 3), pattern(0, 3));
}

TEST(SpritePrototype, TexturesIn16BitModeUseTwoBytesPerPixel) {
    SprWorld w;
    w.world.ctx->options.textures16bit = true;
    w.file("a.spr", spr({"z=0", "1", "ball.png, texture_size=32"}));
    w.file("ball.png", patternPng(32, 32));
    const TMultiSpritePrototype& p = w.prototype(w.load("a.spr"));
    const TextureTile& tile = w.sheetOf(p.parts.at(0)).frames.at(0).tiles.at(0);
    EXPECT_EQ(w.device().pages.at(tile.page).bytesPerPixel, 2);
    EXPECT_EQ(w.pagePixel(tile.page, 17, 5), toA4R4G4B4(pattern(17, 5)));
    // The format was settled by the first load: a later change of the option is ignored.
    w.world.ctx->options.textures16bit = false;
    w.file("b.spr", spr({"z=0", "1", "other.png, texture_size=32"}));
    w.file("other.png", patternPng(32, 32));
    const TMultiSpritePrototype& b = w.prototype(w.load("b.spr"));
    const TextureTile& later = w.sheetOf(b.parts.at(0)).frames.at(0).tiles.at(0);
    EXPECT_EQ(w.device().pages.at(later.page).bytesPerPixel, 2);
    EXPECT_EQ(w.pagePixel(later.page, later.pageX + 17, later.pageY + 5), toA4R4G4B4(pattern(17, 5)));
}

// A file of junk says its first twenty problems and counts the rest, rather than print a
// line (and show a box) for every one.
TEST(SpritePrototype, AFileOfBadPartsSaysTwentyProblemsAndCountsTheRest) {
    SprWorld w;
    std::string text = "z=0\r1000\r";
    for (int i = 0; i < 1000; ++i) text += "ball.png, texture_size=32, speed=3\r";
    w.file("junk.spr", text);
    w.file("ball.png", patternPng(32, 32));
    std::vector<std::string> errors;
    w.world.ctx->log.setErrorSink([&](const std::string& e) { errors.push_back(e); });
    w.load("junk.spr");
    EXPECT_EQ(w.messages().size(), 20u);
    ASSERT_EQ(errors.size(), 21u);
    EXPECT_EQ(errors.back(), "junk.spr: 980 more problems");
}

TEST(SpritePrototype, UnknownKeysShowAMessageBoxAndLoadingGoesOn) {
    SprWorld w;
    w.file("a.spr", spr({"x=1, colour=5, y=2", "1", "ball.png, texture_size=32, speed=3, x=7"}));
    w.file("ball.png", patternPng(32, 32));
    const TMultiSpritePrototype& p = w.prototype(w.load("a.spr"));
    ASSERT_EQ(w.messages().size(), 2u);
    EXPECT_EQ(w.messages()[0], "Error: a.spr line 1: Unknown common multisprite's variable \"colour\"!");
    EXPECT_EQ(w.messages()[1],
              "Error: a.spr line 3: Unknown variable in the sprite's part of the multisprite \"speed\"!");
    EXPECT_EQ(p.y, 2);
    ASSERT_EQ(p.parts.size(), 1u);
    EXPECT_EQ(p.parts[0].x, 7);
}

TEST(SpritePrototype, BadContentIsLoggedAndSkipped) {
    struct Case {
        const char* name;
        std::string spr;
        std::vector<std::string> logLines;
        std::function<void(SprWorld&, const TMultiSpritePrototype&)> check;
    };
    const std::vector<Case> cases = {
        {"missing image: logged, the part stays an empty placeholder of its group",
         spr({"z=0", "2", "nothere.png, texture_size=32", "ball.png, texture_size=32"}),
         {"ERROR: prototype_create_texture_file_not_found \"nothere.png\"",
          "a.spr line 3: the image \"nothere.png\" cannot be read; part skipped"},
         [](SprWorld&, const TMultiSpritePrototype& p) {
             ASSERT_EQ(p.parts.size(), 2u);
             EXPECT_EQ(p.parts[0].sheet, -1);
             EXPECT_EQ(p.parts[0].frame_count, 0);
             EXPECT_GE(p.parts[1].sheet, 0);
             EXPECT_EQ(p.groups.at(0).count, 2);
             EXPECT_EQ(p.width, 32);
         }},
        {"missing alpha image",
         spr({"z=0", "1", "ball.png|nomask.tga, texture_size=32"}),
         {"ERROR: prototype_create_alpha_texture_file_not_found \"nomask.tga\"",
          "a.spr line 3: the alpha image \"nomask.tga\" cannot be read; part skipped"},
         [](SprWorld&, const TMultiSpritePrototype& p) { EXPECT_EQ(p.parts.at(0).sheet, -1); }},
        {"alpha image smaller than the image",
         spr({"z=0", "1", "ball.png|small.tga, texture_size=32"}),
         {"a.spr line 3: the alpha image \"small.tga\" is smaller than \"ball.png\"; part skipped"},
         [](SprWorld&, const TMultiSpritePrototype& p) { EXPECT_EQ(p.parts.at(0).sheet, -1); }},
        {"texture_size missing, or not a tile size",
         spr({"z=0", "3", "ball.png", "ball.png, texture_size=48", "ball.png, texture_size=32"}),
         {"a.spr line 3: texture_size 0 is missing or not one of 8, 16, 32, 64, 128, 256; part "
          "skipped",
          "a.spr line 4: texture_size 48 is missing"},
         [](SprWorld&, const TMultiSpritePrototype& p) {
             ASSERT_EQ(p.parts.size(), 3u);
             EXPECT_EQ(p.parts[0].sheet, -1);
             EXPECT_EQ(p.parts[1].sheet, -1);
             EXPECT_GE(p.parts[2].sheet, 0);
         }},
        {"malformed numbers skip their key; a malformed group count its line",
         spr({"z=abc, x=4, y=1.5.2", "two", "1", "ball.png, texture_size=32, alpha=lots, z=5"}),
         {"a.spr line 1: the value \"abc\" of z is not a whole number; key ignored",
          "a.spr line 1: the value \"1.5.2\" of y is not a number; key ignored",
          "a.spr line 2: expected the part count of a group, found \"two\"; line skipped",
          "a.spr line 4: the value \"lots\" of alpha is not a whole number; key ignored"},
         [](SprWorld&, const TMultiSpritePrototype& p) {
             EXPECT_EQ(p.z, 0);
             EXPECT_EQ(p.x, 4);
             EXPECT_EQ(p.y, 0);
             ASSERT_EQ(p.parts.size(), 1u);
             EXPECT_EQ(p.parts[0].alpha, 255);
             EXPECT_EQ(p.parts[0].z, 5);
         }},
        {"a border of half the tile size or more is treated as 0",
         spr({"z=0", "1", "ball.png, texture_size=32, border=16"}),
         {"a.spr line 3: border 16 does not fit tiles of 32; border 0 used"},
         [](SprWorld& w, const TMultiSpritePrototype& p) {
             EXPECT_EQ(p.parts.at(0).border, 0);
             EXPECT_EQ(w.sheetOf(p.parts[0]).border, 0);
             EXPECT_EQ(w.sheetOf(p.parts[0]).frames.at(0).tiles.size(), 1u);
         }},
        {"a border so large that doubling it would overflow is refused like any other",
         spr({"z=0", "1", "ball.png, texture_size=32, border=1073741824"}),
         {"a.spr line 3: border 1073741824 does not fit tiles of 32; border 0 used"},
         [](SprWorld&, const TMultiSpritePrototype& p) { EXPECT_EQ(p.parts.at(0).border, 0); }},
        {"a group count no prototype could hold is refused",
         spr({"z=0", "2147483647", "ball.png, texture_size=32"}),
         {"a.spr line 2: a group of 2147483647 parts is more than the 4096 a prototype may hold; line "
          "skipped"},
         [](SprWorld&, const TMultiSpritePrototype& p) { EXPECT_TRUE(p.groups.empty()); }},
        {"a frame larger than the image gives no sheet",
         spr({"z=0", "1", "ball.png, texture_size=32, frame_width=33"}),
         {"a.spr line 3: the frame size 33 x 32 does not fit the image \"ball.png\" (32 x 32); "
          "part skipped"},
         [](SprWorld& w, const TMultiSpritePrototype& p) {
             EXPECT_EQ(p.parts.at(0).sheet, -1);
             EXPECT_EQ(w.textures().sheets.size(), 0u);
         }},
        {"an image that is not an image",
         spr({"z=0", "2", "broken.png, texture_size=32", "ball.gif, texture_size=32"}),
         {"a.spr line 3: the image \"broken.png\" cannot be decoded (not a PNG file); part "
          "skipped",
          "a.spr line 4: \"ball.gif\" is not a png, bmp, jpg or tga image; part skipped"},
         [](SprWorld& w, const TMultiSpritePrototype& p) {
             EXPECT_EQ(p.parts.at(0).sheet, -1);
             EXPECT_EQ(p.parts.at(1).sheet, -1);
             // The failed sheet slot is given back.
             EXPECT_EQ(w.textures().sheets.size(), 0u);
         }},
        {"a continuation line with nothing above it",
         spr({"z=0", "+ball.png", "1", "ball.png", "+ball.png"}),
         {"a.spr line 2: a \"+\" line before any part line; line skipped",
          "a.spr line 5: the part above has no image; \"+\" line skipped"},
         [](SprWorld&, const TMultiSpritePrototype& p) { EXPECT_EQ(p.parts.size(), 1u); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SprWorld w;
        w.file("a.spr", c.spr);
        w.file("ball.png", patternPng(32, 32));
        w.file("ball.gif", patternPng(32, 32));
        w.file("small.tga", makeTga(3, 16, 32, 8, std::vector<uint8_t>(16 * 32, 255)));
        w.file("broken.png", "not an image at all");
        const int index = w.load("a.spr");
        for (const std::string& line : c.logLines)
            EXPECT_TRUE(w.logged(line)) << "missing log line: " << line << "\nlog:\n"
                                        << w.logText();
        EXPECT_TRUE(w.messages().empty());
        c.check(w, w.prototype(index));
    }
}

TEST(SpritePrototype, MissingFileLeavesTheSlotFreeForTheNextLoad) {
    SprWorld w;
    w.file("ball.spr", spr({"z=1"}));
    const int missing = w.load("graphics\\nothere.spr");
    EXPECT_TRUE(w.logged("index=0"));
    EXPECT_TRUE(w.logged("ERROR_prototype_create_file_not_found: \"graphics\\nothere.spr\""));
    EXPECT_EQ(w.prototype(missing).name, "");
    EXPECT_TRUE(w.prototype(missing).parts.empty());
    const int loaded = w.load("ball.spr");
    EXPECT_EQ(loaded, missing);
    EXPECT_EQ(w.prototype(loaded).name, "ball");
    EXPECT_EQ(w.load("ball.spr"), 1);  // a direct load does not look for it first
    EXPECT_TRUE(w.logged("index=1"));
}

TEST(SpritePrototype, FailedPageCreationLeavesItsTilesUndrawable) {
    SprWorld w;
    w.file("a.spr", spr({"z=0", "1", "ball.png, texture_size=32"}));
    w.file("b.spr", spr({"z=0", "1", "other.png, texture_size=32"}));
    w.file("ball.png", patternPng(32, 32));
    w.file("other.png", patternPng(32, 32));
    w.device().failPageCreation = true;
    const TMultiSpritePrototype& a = w.prototype(w.load("a.spr"));
    const TextureTile& lost = w.sheetOf(a.parts.at(0)).frames.at(0).tiles.at(0);
    EXPECT_TRUE(lost.hasVisiblePixels);
    EXPECT_FALSE(lost.drawable());
    EXPECT_TRUE(w.logged("cannot create texture page 0 for tiles of 32 pixels"));

    w.device().failPageCreation = false;
    const TMultiSpritePrototype& b = w.prototype(w.load("b.spr"));
    const TextureTile& shown = w.sheetOf(b.parts.at(0)).frames.at(0).tiles.at(0);
    EXPECT_TRUE(shown.drawable());
    EXPECT_EQ(shown.page, 0);
    EXPECT_EQ(w.pagePixel(0, 1, 2), pattern(1, 2));
    // No other tile's page is taken for the lost one.
    EXPECT_FALSE(w.sheetOf(a.parts[0]).frames[0].tiles[0].drawable());
}

TEST(SpritePrototype, RestoreCutsTheLostPagesAgainFromTheImageFiles) {
    SprWorld w;
    w.file("a.spr", spr({"z=0", "2", "strip.png, texture_size=32, frame_width=64",
                         "tall.png, texture_size=64, frame_height=64"}));
    w.file("b.spr", spr({"z=0", "1", "strip.png, texture_size=32"}));
    w.file("c.spr", spr({"z=0", "1", "masked.png|mask.tga, texture_size=32", "+plus.png"}));
    w.file("strip.png", patternPng(256, 32));
    w.file("tall.png", patternPng(64, 64 * 17));
    w.file("masked.png", patternPng(32, 32));
    std::vector<uint8_t> mask(32 * 32);
    for (size_t i = 0; i < mask.size(); ++i) mask[i] = static_cast<uint8_t>(i % 32 * 8);
    w.file("mask.tga", makeTga(3, 32, 32, 8, mask));
    w.file("plus.png", makeRgbaPng(32, 32, [](int, int) { return 0xFF123456u; }));
    const int a = w.load("a.spr");
    w.load("b.spr");
    w.load("c.spr");
    for (const TextureSheet& sheet : w.textures().sheets)
        for (const SheetFrame& frame : sheet.frames)
            for (const TextureTile& tile : frame.tiles) EXPECT_TRUE(tile.pixels.empty());
    const std::map<int, test::FakeDevice::Page> before = w.device().pages;
    const int writes = w.device().pageWrites;
    ASSERT_EQ(before.size(), 2u);

    // Nothing lost: nothing is written.
    EXPECT_TRUE(w.library().restorePages());
    EXPECT_EQ(w.device().pageWrites, writes);

    w.device().releasePages();
    EXPECT_TRUE(w.library().restorePages());
    EXPECT_EQ(w.device().pages.size(), before.size());
    for (const auto& [index, page] : before)
        EXPECT_EQ(w.device().pages.at(index).pixels, page.pixels) << "page " << index;
    // Each slot once: the sheet shared by b.spr writes nothing of its own.
    EXPECT_EQ(w.device().pageWrites - writes, writes);

    // One page lost: only its tiles are written again.
    const int lost = w.sheetOf(w.prototype(a).parts.at(1)).frames.at(16).tiles.at(0).page;
    int onLost = 0;
    for (const TextureSheet& sheet : w.textures().sheets)
        for (const SheetFrame& frame : sheet.frames)
            for (const TextureTile& tile : frame.tiles) onLost += frame.ownsTiles() && tile.page == lost;
    ASSERT_GT(onLost, 0);
    w.device().releasePage(lost);
    const int beforeOne = w.device().pageWrites;
    EXPECT_TRUE(w.library().restorePages());
    EXPECT_EQ(w.device().pageWrites - beforeOne, onLost);
    EXPECT_EQ(w.device().pages.at(lost).pixels, before.at(lost).pixels);

    // An image that went away leaves its tiles empty and says so; the rest comes back.
    std::filesystem::remove(w.world.dir / "data/tall.png");
    w.device().releasePages();
    EXPECT_FALSE(w.library().restorePages());
    EXPECT_TRUE(w.logged("cannot cut the image tall.png again"));
    const TextureTile& strip = w.sheetOf(w.prototype(a).parts.at(0)).frames.at(2).tiles.at(1);
    EXPECT_EQ(w.pagePixel(strip.page, strip.pageX + 3, strip.pageY + 4), pattern(128 + 32 + 3, 4));

    w.device().releasePages();
    w.device().failPageCreation = true;
    EXPECT_FALSE(w.library().restorePages());
}

TEST(SpritePrototype, ReleasedImagesGiveBackTheirPagesAndComeBackForTheNextObject) {
    SprWorld w;
    w.file("logo.spr", spr({"z=0", "1", "logo.png, texture_size=64, frame_width=64"}));
    w.file("ball.spr", spr({"z=0", "1", "ball.png, texture_size=64"}));
    w.file("twin.spr", spr({"z=0", "1", "ball.png, texture_size=64"}));
    w.file("logo.png", patternPng(64 * 20, 64));  // 20 frames: a page and a half
    w.file("ball.png", makeRgbaPng(64, 64, [](int, int) { return 0xFF00FF00u; }));
    const int logo = w.load("logo.spr");
    const int ball = w.load("ball.spr");
    w.load("twin.spr");
    ASSERT_EQ(w.device().pages.size(), 2u);
    const std::map<int, test::FakeDevice::Page> before = w.device().pages;

    w.library().releaseImages(logo);
    w.library().releaseImages(ball);  // twin.spr shows the same slots: kept
    const TextureSheet& logoSheet = w.sheetOf(w.prototype(logo).parts.at(0));
    EXPECT_TRUE(logoSheet.released);
    EXPECT_FALSE(logoSheet.frames.at(3).tiles.at(0).drawable());
    EXPECT_FALSE(w.sheetOf(w.prototype(ball).parts.at(0)).released);
    // The first page only held logo frames; the second keeps the ball.
    EXPECT_EQ(w.device().pages.size(), 1u);
    ASSERT_EQ(w.textures().pages.size(), 1u);
    EXPECT_EQ(w.textures().pages[0].tiles, 1);

    // The next image goes where there is room.
    w.file("next.spr", spr({"z=0", "1", "next.png, texture_size=64"}));
    w.file("next.png", patternPng(64, 64));
    const TextureTile& next = w.sheetOf(w.prototype(w.load("next.spr")).parts.at(0)).frames.at(0).tiles.at(0);
    EXPECT_EQ(next.page, w.textures().pages[0].textureIndex);
    EXPECT_EQ(w.device().pages.size(), 1u);

    TMultiSprite object(w.world.ctx->sceneObjects->world(), "logo.spr");
    EXPECT_FALSE(logoSheet.released);
    ASSERT_EQ(logoSheet.frames.size(), 20u);
    for (int f = 0; f < 20; ++f) {
        const TextureTile& tile = logoSheet.frames[f].tiles.at(0);
        ASSERT_TRUE(tile.drawable());
        EXPECT_EQ(w.pagePixel(tile.page, tile.pageX + 5, tile.pageY + 7), pattern(64 * f + 5, 7));
    }
    // After a device loss the reloaded frames come back too.
    w.device().releasePages();
    EXPECT_TRUE(w.library().restorePages());
    const TextureTile& last = logoSheet.frames[19].tiles.at(0);
    EXPECT_EQ(w.pagePixel(last.page, last.pageX + 5, last.pageY + 7), pattern(64 * 19 + 5, 7));
}

TEST(SpritePrototype, FilteredAndUnfilteredTilesNeverShareAPage) {
    SprWorld w;
    w.file("a.spr", spr({"z=0", "2", "sharp.png, texture_size=32", "soft.png, texture_size=32, filter=1"}));
    w.file("sharp.png", patternPng(32, 32));
    w.file("soft.png", patternPng(32, 32));
    const TMultiSpritePrototype& p = w.prototype(w.load("a.spr"));
    const TextureTile& sharp = w.sheetOf(p.parts.at(0)).frames.at(0).tiles.at(0);
    const TextureTile& soft = w.sheetOf(p.parts.at(1)).frames.at(0).tiles.at(0);
    EXPECT_NE(sharp.page, soft.page);
    EXPECT_EQ(w.textures().pages.size(), 2u);
}

TEST(SpritePrototype, ParentFoldersAreFolded) {
    const std::pair<const char*, const char*> cases[] = {
        {"graphics\\menu\\..\\back.png", "graphics\\back.png"},
        {"a\\b\\c\\..\\..\\d.png", "a\\d.png"},
        {"menu\\..\\back.png", "back.png"},
        {"graphics\\back.png", "graphics\\back.png"},
        {"..\\back.png", "..\\back.png"},
    };
    for (const auto& [path, folded] : cases) EXPECT_EQ(foldParentFolders(path), folded) << path;
}

}  // namespace
}  // namespace qs
