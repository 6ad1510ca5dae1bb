#include "render/png_writer.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace qs {
namespace {

// A picture that cannot be written says where and why: the path and the system's reason.
TEST(PngWriter, AFailedWriteSaysThePathAndTheReason) {
    test::TempDir dir;
    const std::string path = (dir / "no such folder/shot.png").string();
    std::string error;
    EXPECT_FALSE(writePng(path, 2, 2, std::vector<uint32_t>(4, 0xFF000000u), &error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

}  // namespace
}  // namespace qs
