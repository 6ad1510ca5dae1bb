#include "visual/image_prefetcher.h"

#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "image_fixtures.h"
#include "test_support.h"
#include "visual/prototype_library.h"
#include "visual/sprite_prototype_loader.h"

namespace qs {
namespace {

using test::makeRgbaPng;

std::string gradientPng(int width, int height) {
    return makeRgbaPng(width, height, [](int x, int y) {
        return 0xFF000000u | static_cast<uint32_t>(x & 0xFF) << 16 | static_cast<uint32_t>(y & 0xFF) << 8;
    });
}

TEST(ImagePrefetcher, HandsOverWhatTheLoaderWouldHaveDecodedFailuresIncluded) {
    test::TestWorld world;
    const std::string png = gradientPng(40, 30);
    world.content("a.png", png);
    world.content("broken.png", png.substr(0, 60));
    ImagePrefetcher prefetcher(world.ctx->files);
    for (const char* name : {"a.png", "broken.png", "missing.png", "a.png"}) prefetcher.request(name);
    // Taken only once the thread has them all (else a take leaves the image to its caller).
    for (int wait = 0; wait < 5000 && prefetcher.readyCount() < 3; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(prefetcher.readyCount(), 3u);

    std::optional<PrefetchedImage> a = prefetcher.take("a.png");
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->read);
    ASSERT_TRUE(a->decoded);
    DecodedImage direct;
    std::string error;
    ASSERT_TRUE(decodeImage(ImageKind::Png, png, direct, error));
    EXPECT_EQ(a->image.width, 40);
    EXPECT_EQ(a->image.pixels, direct.pixels);

    std::optional<PrefetchedImage> broken = prefetcher.take("broken.png");
    ASSERT_TRUE(broken);
    EXPECT_TRUE(broken->read);
    EXPECT_FALSE(broken->decoded);
    EXPECT_FALSE(broken->error.empty());
    std::optional<PrefetchedImage> missing = prefetcher.take("missing.png");
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->read);

    // Asked for twice, decoded once: the second take finds nothing to hand over.
    EXPECT_FALSE(prefetcher.take("a.png"));
    EXPECT_FALSE(prefetcher.take("never-asked.png"));
}

TEST(ImagePrefetcher, BeginsNothingBeyondItsBudgetAndLeavesThatToTheLoader) {
    test::TestWorld world;
    world.content("a.png", gradientPng(8, 8));
    ImagePrefetcher prefetcher(world.ctx->files, 0);
    prefetcher.request("a.png");
    EXPECT_FALSE(prefetcher.take("a.png"));
    EXPECT_EQ(prefetcher.readyCount(), 0u);
}

TEST(ImagePrefetcher, ImagesNamedByASprAreItsPartAndContinuationImages) {
    const std::string text =
        "z=0, x=1\r\n"
        "2\r\n"
        "body.png, texture_size=64\r\n"
        "glow.png | glow_alpha.tga, texture_size=32\r\n"
        "+next.PNG\r\n"
        "..\\shared\\ring.jpg, texture_size=32\r\n"
        "not_an_image, texture_size=32\r\n";
    EXPECT_EQ(imagesNamedBy("graphics\\balls\\ball.spr", text),
              (std::vector<std::string>{"graphics\\balls\\body.png", "graphics\\balls\\glow.png",
                                        "graphics\\balls\\next.png", "graphics\\shared\\ring.jpg"}));
    EXPECT_TRUE(imagesNamedBy("a.spr", "body.png\r\n").empty());  // a common line only
}

// The pages a set of prototypes leaves on the device, with and without decoding ahead.
std::map<int, test::FakeDevice::Page> pagesAfterLoading(bool ahead) {
    test::TestWorld world;
    world.ctx->log.setEnabled(true);
    world.content("a.spr", "z=0\r\n2\r\nstrip.png, texture_size=32, frame_width=32\r\nwide.png, texture_size=64\r\n");
    world.content("b.spr", "z=0\r\n1\r\nstrip.png, texture_size=32\r\n+extra.png\r\n");
    world.content("c.spr", "z=0\r\n1\r\nmissing.png, texture_size=32\r\n");
    world.content("strip.png", gradientPng(128, 32));
    world.content("wide.png", gradientPng(100, 70));
    world.content("extra.png", gradientPng(32, 32));
    PrototypeLibrary& library = *world.ctx->prototypes;
    ImagePrefetcher prefetcher(world.ctx->files);
    if (ahead) {
        library.usePrefetcher(&prefetcher);
        for (const char* entry : {"a.spr", "b.spr", "c.spr"}) library.prefetchEntry(entry);
    }
    for (const char* entry : {"a.spr", "b.spr", "c.spr"}) library.LoadResourceEntry(entry);
    library.usePrefetcher(nullptr);
    const std::string log = test::readFile(world.dir / "user/log.txt");
    EXPECT_NE(log.find("the image \"missing.png\" cannot be read"), std::string::npos) << ahead;
    return world.platform.fakeDevice().pages;
}

TEST(ImagePrefetcher, LoadingWithImagesDecodedAheadFillsTheSamePages) {
    const std::map<int, test::FakeDevice::Page> plain = pagesAfterLoading(false);
    const std::map<int, test::FakeDevice::Page> ahead = pagesAfterLoading(true);
    ASSERT_EQ(plain.size(), ahead.size());
    ASSERT_FALSE(plain.empty());
    for (const auto& [index, page] : plain) EXPECT_EQ(ahead.at(index).pixels, page.pixels) << index;
}

}  // namespace
}  // namespace qs
