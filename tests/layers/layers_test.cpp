// The layers of src/ and what each may include. A folder sees its own headers and those of
// the layers below it; an include that reaches up or across fails here with the file, the
// line and the rule it breaks, so the build's libraries stay linked only downward.
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// Bottom to top. "game/view" is the game's scene, above the pure rules in "game".
const std::map<std::string, std::set<std::string>> kMayInclude = {
    {"core", {"core"}},
    {"render", {"core", "render"}},
    {"visual", {"core", "render", "visual"}},
    {"scene", {"core", "render", "visual", "scene"}},
    {"audio", {"core", "audio"}},
    {"profile", {"core", "profile"}},
    {"game", {"core", "profile", "game"}},
    {"ui", {"core", "render", "visual", "scene", "audio", "profile", "game", "ui"}},
    {"menu", {"core", "render", "visual", "scene", "audio", "profile", "game", "ui", "menu"}},
    {"game/view", {"core", "render", "visual", "scene", "audio", "profile", "game", "ui", "game/view"}},
    {"app", {"core", "render", "visual", "scene", "audio", "profile", "game", "ui", "menu", "game/view", "app"}},
};

// The folder an include or a source file belongs to: "game/view/x.h" is "game/view".
std::string folderOf(const std::string& path) {
    const size_t slash = path.find('/');
    if (slash == std::string::npos) return "";
    const std::string top = path.substr(0, slash);
    if (top == "game" && path.compare(slash + 1, 5, "view/") == 0) return "game/view";
    return top;
}

struct Breach {
    std::string file;
    int line;
    std::string included;
};

std::vector<Breach> breachesIn(const fs::path& src) {
    static const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<Breach> found;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
        const std::string file = fs::relative(entry.path(), src).generic_string();
        const auto rule = kMayInclude.find(folderOf(file));
        if (rule == kMayInclude.end()) {
            found.push_back({file, 0, "(a folder the layer table does not know)"});
            continue;
        }
        std::ifstream in(entry.path());
        std::string text;
        int line = 0;
        while (std::getline(in, text)) {
            ++line;
            std::smatch match;
            if (!std::regex_search(text, match, include)) continue;
            const std::string target = folderOf(match[1]);
            if (target.empty()) continue;  // a header beside the file, or a system one in quotes
            if (!rule->second.count(target)) found.push_back({file, line, match[1]});
        }
    }
    return found;
}

TEST(Layers, EveryIncludeRunsDownwardOrWithinItsFolder) {
    const fs::path src = fs::path(QUIBBLESTAR_SOURCE_DIR) / "src";
    ASSERT_TRUE(fs::is_directory(src)) << src;
    for (const Breach& b : breachesIn(src))
        ADD_FAILURE() << "src/" << b.file << " line " << b.line << " includes " << b.included << ", which the layer "
                      << folderOf(b.file) << " may not see";
}

TEST(Layers, AnUpwardIncludeIsFound) {
    const fs::path src = fs::temp_directory_path() / "qs_layers_fixture" / "src";
    fs::remove_all(src.parent_path());
    fs::create_directories(src / "visual");
    fs::create_directories(src / "game" / "view");
    std::ofstream(src / "visual" / "sprite.cpp") << "#include \"visual/sprite.h\"\n"
                                                    "#include \"core/log.h\"\n"
                                                    "#include \"app/context.h\"\n";
    std::ofstream(src / "game" / "view" / "zone.cpp") << "#include \"game/view/zone.h\"\n"
                                                         "#include \"game/rules.h\"\n"
                                                         "#include \"menu/menu_scene.h\"\n";
    std::ofstream(src / "game" / "rules.cpp") << "#include \"game/view/zone.h\"\n";
    std::vector<Breach> found = breachesIn(src);
    fs::remove_all(src.parent_path());

    std::set<std::string> said;
    for (const Breach& b : found) said.insert(b.file + ":" + std::to_string(b.line) + " " + b.included);
    EXPECT_EQ(said,
              (std::set<std::string>{"visual/sprite.cpp:3 app/context.h", "game/view/zone.cpp:3 menu/menu_scene.h",
                                     "game/rules.cpp:1 game/view/zone.h"}));
}

}  // namespace
