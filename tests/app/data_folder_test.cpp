#include "app/data_folder.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_support.h"

namespace qs {
namespace {

using test::TempDir;

// A prefix with an installed game (prefix/bin and prefix/share/quibblestar with main.msl), a
// checkout's data folder, and folders that only look like content.
class DataFolderTest : public ::testing::Test {
protected:
    DataFolderTest() {
        dir.write("prefix/bin/quibblestar", "");
        dir.write("prefix/share/quibblestar/main.msl", "");
        dir.write("checkout/data/main.msl", "");
        dir.write("empty-prefix/bin/quibblestar", "");
        dir.write("empty-prefix/share/quibblestar/readme.txt", "not the game's content");
    }
    std::string at(const std::string& name) const { return (dir / name).string(); }

    TempDir dir;
};

TEST_F(DataFolderTest, TakesTheFirstPlaceInOrder) {
    struct Case {
        const char* what;
        DataFolderPlaces places;
        std::string folder;
        std::string origin;
    };
    const Case cases[] = {
        {"--data first, taken as given even when it is not there",
         {at("nowhere"), at("env"), at("prefix/bin"), "../share/quibblestar", at("checkout/data")},
         at("nowhere"), "--data"},
        {"then the environment, taken as given",
         {"", at("env"), at("prefix/bin"), "../share/quibblestar", at("checkout/data")},
         at("env"), "QUIBBLESTAR_DATA"},
        {"then beside the program, the path tidied",
         {"", "", at("prefix/bin"), "../share/quibblestar", at("checkout/data")},
         at("prefix/share/quibblestar"), "beside the program"},
        {"a folder beside the program without main.msl is passed over",
         {"", "", at("empty-prefix/bin"), "../share/quibblestar", at("checkout/data")},
         at("checkout/data"), "the source tree"},
        {"no folder beside the program at all",
         {"", "", at("checkout"), "../share/quibblestar", at("checkout/data")},
         at("checkout/data"), "the source tree"},
        {"the program's folder unknown",
         {"", "", "", "../share/quibblestar", at("checkout/data")},
         at("checkout/data"), "the source tree"},
        {"an installed game whose checkout is gone",
         {"", "", at("prefix/bin"), "../share/quibblestar", at("gone/data")},
         at("prefix/share/quibblestar"), "beside the program"},
    };
    for (const Case& c : cases) {
        std::string error;
        std::optional<DataFolder> found = findDataFolder(c.places, &error);
        ASSERT_TRUE(found.has_value()) << c.what << ": " << error;
        EXPECT_EQ(found->path, c.folder) << c.what;
        EXPECT_EQ(found->origin, c.origin) << c.what;
    }
}

TEST_F(DataFolderTest, NoContentAnywhereIsRefusedNamingEveryPlaceTried) {
    struct Case {
        const char* what;
        DataFolderPlaces places;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {"an installed game without its content, the checkout gone",
         {"", "", at("empty-prefix/bin"), "../share/quibblestar", at("gone/data")},
         {"found no content folder", "--data: not given", "$QUIBBLESTAR_DATA: not set",
          at("empty-prefix/share/quibblestar") + " (beside the program): no main.msl in it",
          at("gone/data") + " (the source tree): no such folder", "--data DIR"}},
        {"the program's folder unknown and no checkout built in",
         {"", "", "", "../share/quibblestar", ""},
         {"the program's own folder: unknown", "--data DIR"}},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(findDataFolder(c.places, &error).has_value()) << c.what;
        for (const std::string& part : c.said)
            EXPECT_NE(error.find(part), std::string::npos) << c.what << ": no \"" << part << "\" in\n" << error;
    }
}

}  // namespace
}  // namespace qs
