#include <gtest/gtest.h>

#include "render/png_writer.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "scene/text_objects.h"
#include "test_support.h"

namespace qs {
namespace {

// A font of three 16 x 16 glyphs: A (width 10), B (width 12) and the blank (width 4).
struct TextWorld {
    TextWorld() {
        std::filesystem::create_directories(world.dir / "data/fonts");
        std::vector<uint32_t> pixels(48 * 16, 0xFFFFFFFF);
        writePng((world.dir / "data/fonts/test.png").string(), 48, 16, pixels, nullptr);
        world.content("fonts/test.spr", "z=2\r1\rtest.png,texture_size=16,frame_width=16\r");
        world.content("fonts/test.pos", "; widths\r\n1\r\n#65\r\n10\r\n12\r\n#32\r\n4 ; blank\r\n#300\r\n9\r\n");
        world.ctx->log.setFile(world.dir / "log.txt");
        world.ctx->log.setEnabled(true);
    }
    SceneObjectList& objects() { return *world.ctx->sceneObjects; }
    TMultiSprite* glyph(const std::string& tag, int n) {
        return objects().at(objects().FindSceneObject("test", n, tag));
    }
    std::string log() { return test::readFile(world.dir / "log.txt"); }
    test::TestWorld world;
    const std::string font = "fonts\\test.spr";
};

TEST(TextObjects, WidthsSpacingAndAlignment) {
    TextWorld w;
    Context& ctx = *w.world.ctx;
    EXPECT_DOUBLE_EQ(MeasureText(*ctx.sceneObjects, "AB", w.font, 1), 23);
    EXPECT_DOUBLE_EQ(MeasureText(*ctx.sceneObjects, "AB", w.font, 2), 46);
    EXPECT_DOUBLE_EQ(MeasureText(*ctx.sceneObjects, "AB", "fonts\\test.png", 1), 0);

    EXPECT_DOUBLE_EQ(create_txt(*ctx.sceneObjects, "AB", -1, w.font, 100, 50, 1, -1, "centred", kAlignCentre), 22);
    EXPECT_DOUBLE_EQ(w.glyph("centred", 0)->x, 89.5);
    EXPECT_DOUBLE_EQ(w.glyph("centred", 1)->x, 100.5);
    EXPECT_EQ(w.glyph("centred", 0)->z, 2);  // -1 keeps the font's z
    EXPECT_EQ(w.glyph("centred", 1)->sprites[0]->animPos, 1);  // B is the second glyph

    create_txt(*ctx.sceneObjects, "AB", 9, w.font, 100, 50, 1, 0x00FF00, "right", kAlignRight);
    EXPECT_DOUBLE_EQ(w.glyph("right", 0)->x, 100 - 23 + 1);
    EXPECT_EQ(w.glyph("right", 0)->z, 9);
    EXPECT_EQ(w.glyph("right", 0)->color, 0x00FF00);

    create_txt(*ctx.sceneObjects, "A", -1, w.font, 100, 50, 1, -1, "left", kAlignLeft);
    EXPECT_DOUBLE_EQ(w.glyph("left", 0)->x, 101);
}

TEST(TextObjects, BlanksAndUnknownCharactersMoveThePenOnly) {
    TextWorld w;
    Context& ctx = *w.world.ctx;
    EXPECT_DOUBLE_EQ(create_txt(*ctx.sceneObjects, "   ", -1, w.font, 0, 0, 2, -1, "blanks", kAlignLeft), 24);
    EXPECT_EQ(w.objects().liveCount(), 0);
    EXPECT_NE(w.log().find("create_txt(\"blanks\"), created: 0"), std::string::npos);

    // "?" has no width: frame 0, and the pen moves by spacing - 1.
    create_txt(*ctx.sceneObjects, "?A", -1, w.font, 0, 0, 1, -1, "unknown", kAlignLeft);
    EXPECT_EQ(w.glyph("unknown", 0)->sprites[0]->animPos, 0);
    EXPECT_DOUBLE_EQ(w.glyph("unknown", 1)->x, 0 + (1 - 1) + 1);

    EXPECT_EQ(w.objects().unload_by_tag("unknown"), 2);
    EXPECT_EQ(w.objects().liveCount(), 0);

    EXPECT_EQ(create_txt(*ctx.sceneObjects, "", -1, w.font, 0, 0, 1, -1, "empty", kAlignLeft), 0);
    EXPECT_EQ(w.log().find("\"empty\""), std::string::npos);
}

TEST(TextObjects, CharacterCodesFarOutsideAByteAreRefusedWithTheirLine) {
    // Counting on from the largest int used to overflow.
    TextWorld w;
    w.world.content("fonts/far.spr", "z=2\r1\rtest.png,texture_size=16,frame_width=16\r");
    w.world.content("fonts/far.pos", "1\r\n#2147483647\r\n9\r\n9\r\n#65\r\n7\r\n");
    FontWidths widths;
    EXPECT_TRUE(readFontWidths(*w.world.ctx->sceneObjects, "fonts\\far.spr", widths));
    EXPECT_NE(w.log().find("far.pos line 2: \"#2147483647\" is not a character code"), std::string::npos)
        << w.log();
    EXPECT_EQ(widths.width['A'], 7);
}

TEST(TextObjects, FontWithoutWidthFileShowsNothing) {
    TextWorld w;
    w.world.content("fonts/nowidth.spr", "z=2\r1\rtest.png,texture_size=16,frame_width=16\r");
    EXPECT_EQ(create_txt(*w.world.ctx->sceneObjects, "AB", -1, "fonts\\nowidth.spr", 0, 0, 1, -1, "t", 1), 0);
    EXPECT_EQ(w.objects().liveCount(), 0);
    EXPECT_NE(w.log().find("nowidth.pos is missing"), std::string::npos);
}

TEST(TextFile, SectionsSettingsAndPlaceholders) {
    TextWorld w;
    w.world.content("text/stats.txt",
                    "; a screen\r\nfont=fonts\\test.spr\r\nsize=1\r\nx=100\r\ny=10\r\nleading=20\r\nalign=left\r\n"
                    "#begin\r\n%1; has %2; points\r\n\r\nA%3;B\r\n#end\r\n"
                    "y=200\r\ncolor=255\r\n#begin\r\nAB\r\nScore: 100%\r\n#end\r\n");
    ASSERT_TRUE(ShowTextFile(*w.world.ctx->sceneObjects, "text\\stats.txt", "stats", "AB,A"));
    // Line 1: "AB has A points"; line 2 empty; line 3: "A" + missing value + "B".
    TMultiSprite* first = w.glyph("stats", 0);
    ASSERT_NE(first, nullptr);
    EXPECT_DOUBLE_EQ(first->y, 10);
    EXPECT_NE(w.log().find("placeholder %3; has no value"), std::string::npos);
    // The second section starts at the new y and keeps the earlier settings.
    int lastSlot = -1;
    for (int i = 0;; ++i) {
        int slot = w.world.ctx->sceneObjects->FindSceneObject("test", i, "stats");
        if (slot < 0) break;
        lastSlot = slot;
    }
    TMultiSprite* last = w.world.ctx->sceneObjects->at(lastSlot);
    EXPECT_DOUBLE_EQ(last->y, 220);  // "Score: 100%" is the second line of the second block
    EXPECT_EQ(last->color, 255);

    EXPECT_EQ(fillPlaceholders("%1; has %2; points", {"Player1", "120"}), "Player1 has 120 points");
    EXPECT_EQ(fillPlaceholders("cut %1", {"x"}), "cut ");
    EXPECT_EQ(fillPlaceholders("%x;!", {"x"}), "!");
}

TEST(TextFile, AFileBeyondTheSizeOfAnyScreenTextIsReadOnlyThatFar) {
    TextWorld w;
    std::string text = "font=fonts\\test.spr\r\nsize=1\r\nleading=1\r\n#begin\r\n";
    for (int i = 0; i < 20000; ++i) text += "A\r\n";
    w.world.content("text/long.txt", text);
    EXPECT_TRUE(ShowTextFile(*w.world.ctx->sceneObjects, "text\\long.txt", "long"));
    EXPECT_NE(w.log().find("text\\long.txt holds 60048 characters, more than the " +
                           std::to_string(kMaxTextFileBytes)),
              std::string::npos)
        << w.log();
    EXPECT_LT(w.objects().liveCount(), static_cast<int>(kMaxTextFileBytes) / 2);
}

TEST(TextFile, SettingsWithoutSectionOrFontShowNothing) {
    TextWorld w;
    w.world.content("text/none.txt", "font=fonts\\test.spr\r\nsize=1\r\n");
    w.world.content("text/nofont.txt", "size=1\r\n#begin\r\nAB\r\n#end\r\n");
    EXPECT_TRUE(ShowTextFile(*w.world.ctx->sceneObjects, "text\\none.txt", "a"));
    EXPECT_TRUE(ShowTextFile(*w.world.ctx->sceneObjects, "text\\nofont.txt", "b"));
    EXPECT_FALSE(ShowTextFile(*w.world.ctx->sceneObjects, "text\\missing.txt", "c"));
    EXPECT_EQ(w.objects().liveCount(), 0);
}

}  // namespace
}  // namespace qs
