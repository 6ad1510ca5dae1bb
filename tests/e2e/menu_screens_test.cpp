#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "render/picture.h"
#include "test_support.h"

namespace qs {
namespace {

using namespace qs::test;

// A text of a screen: its file under text/, the values its placeholders get,
// and the object whose body every one of its letters must stay on.
struct ShownText {
    std::string file;
    std::string values;
    std::string panel;
};

struct MenuScreen {
    std::string name;
    std::vector<std::string> maps;
    std::vector<ShownText> texts;
};

// Every menu screen and dialog as the menu will build it: the maps it loads and its texts.
// The menu's dialogs stand over the menu panel, as they will in the game.
const std::vector<MenuScreen>& screens() {
    auto over = [](std::vector<std::string> maps) {
        maps.insert(maps.begin(), "menu.map");
        return maps;
    };
    static const std::vector<MenuScreen> table = {
        {"main_menu", over({"menu_buttons_mainmenu.map"}),
         {{"game_title_menu", "", "menu_panel"}, {"menu_text_button1", "", "menu_panel"}}},
        {"main_menu_lit_player", over({"menu_buttons_mainmenu.map"}),
         {{"game_title_menu", "", "menu_panel"}, {"menu_text_button2", "", "menu_panel"}}},
        {"game_type_arcade", over({"menu_buttons_select_game_type.map"}),
         {{"game_title_start", "", "menu_panel"}, {"choose_game_type", "", "menu_panel"},
          {"game_comment_arcade", "", "menu_panel"}}},
        {"game_type_challenge", over({"menu_buttons_select_game_type.map"}),
         {{"game_title_start", "", "menu_panel"}, {"game_comment_challenge", "", "menu_panel"}}},
        {"game_type_puzzle", over({"menu_buttons_select_game_type.map"}),
         {{"game_title_start", "", "menu_panel"}, {"game_comment_puzzle", "", "menu_panel"}}},
        {"game_message_arcade", over({"game_message.map"}), {{"game_message_arcade", "", "dialog_message"}}},
        {"game_message_challenge", over({"game_message.map"}),
         {{"game_message_challenge", "", "dialog_message"}}},
        {"game_message_puzzle", over({"game_message.map"}), {{"game_message_puzzle", "", "dialog_message"}}},
        {"continue", over({"continue_last_game.map"}), {{"continue_game", "117,123456789", "dialog_small"}}},
        {"continue_after_loss", over({"continue_last_game.map"}),
         {{"continue_game_after_loss", "115,123456789", "dialog_small"}}},
        {"exit", over({"exit_to_windows.map"}), {{"exit_to_windows", "", "dialog_small"}}},
        {"player_list", over({"input_player_name_back.map", "select_player.map"}),
         {{"choose_player", "", "dialog_player"}, {"create_player1", "", "dialog_player"}}},
        {"player_list_lit_new", over({"input_player_name_back.map", "select_player.map"}),
         {{"choose_player", "", "dialog_player"}, {"create_player2", "", "dialog_player"}}},
        {"name_entry", over({"input_player_name_back.map", "input_player_name.map"}),
         {{"your_name", "", "dialog_player"}, {"game_title_players", "", "menu_panel"}}},
        {"rename", over({"input_player_name_back.map", "input_player_name.map"}),
         {{"rename_player", "", "dialog_player"}}},
        {"delete_question", over({"input_player_name_back.map", "name_confirm.map"}),
         {{"delete_player", "", "dialog_player"}}},
        {"name_taken", over({"input_player_name_back.map", "name_message.map"}),
         {{"your_name", "", "dialog_player"}, {"name_already_exists", "", "dialog_player"}}},
        {"no_name", over({"input_player_name_back.map", "name_message.map"}),
         {{"your_name", "", "dialog_player"}, {"please_enter_name", "", "dialog_player"}}},
        {"options", over({"menu_buttons_music_sound_fullscreen.map"}),
         {{"game_title_options", "", "menu_panel"}, {"game_options", "", "menu_panel"}}},
        {"records_arcade", over({"menu_scores.map"}),
         {{"game_title_scores", "", "menu_panel"}, {"scores_title_arcade", "", "menu_panel"},
          {"scores_title_footer", "", "menu_panel"}}},
        {"records_challenge", over({"menu_scores.map"}), {{"scores_title_challenge", "", "menu_panel"}}},
        {"records_puzzle", over({"menu_scores.map"}), {{"scores_title_puzzle", "", "menu_panel"}}},
        {"help_page1", over({"menu_help.map"}),
         {{"help_title", "", "menu_panel"}, {"help_page1", "", "menu_panel"}}},
        {"help_page2", over({"menu_help.map"}), {{"help_title", "", "menu_panel"}, {"help_page2", "", "menu_panel"}}},
    };
    return table;
}

constexpr int kBuildAt = 600;  // the intro's backdrop is up by then
constexpr int kShotAt = 800;

// A text's tag apart from the maps' tags (exit_to_windows is both a map and a text).
std::string tagOf(const ShownText& text) { return "text_" + text.file; }

std::string scriptFor(const MenuScreen& screen, const TempDir& dir, const std::string& stem) {
    std::string script;
    for (const std::string& map : screen.maps) script += std::to_string(kBuildAt) + " map " + map + "\n";
    for (const ShownText& text : screen.texts)
        script += std::to_string(kBuildAt) + " text text\\" + text.file + ".txt " + tagOf(text) +
                  (text.values.empty() ? "" : " " + text.values) + "\n";
    script += std::to_string(kShotAt) + " screenshot " + (dir / (stem + ".png")).string() + "\n";
    script += std::to_string(kShotAt) + " dump_state " + (dir / (stem + ".json")).string() + " objects\n";
    script += std::to_string(kShotAt + 10) + " quit\n";
    return script;
}

struct ScreenRun {
    RunResult run;
    Picture picture;
    std::string dump;
};

ScreenRun runScreen(const MenuScreen& screen, const TempDir& dir) {
    const std::string stem = screen.name;
    auto script = dir.write(stem + ".script", scriptFor(screen, dir, stem));
    ScreenRun result;
    result.run = runCommand(game() + " --headless --strict-content --seed 5 --data " + dataDir() + " --user-dir " +
                            (dir / ("user_" + stem)).string() + " --script " + script.string() + " 2>&1");
    if (std::filesystem::exists(dir / (stem + ".png"))) result.picture = readPicture(dir / (stem + ".png"));
    if (std::filesystem::exists(dir / (stem + ".json"))) result.dump = readFile(dir / (stem + ".json"));
    if (const char* keep = std::getenv("QUIBBLESTAR_KEEP_SCREENSHOTS"); keep && std::filesystem::exists(dir / (stem + ".png")))
        std::filesystem::copy_file(dir / (stem + ".png"), std::string(keep) + "/menu_" + stem + ".png",
                                   std::filesystem::copy_options::overwrite_existing);
    return result;
}

struct SceneObject {
    std::string tag, name;
    int x = 0, y = 0, width = 0, height = 0;
    bool shown = false;
    int left = 0, top = 0, right = 0, bottom = 0;  // the drawn box
};

std::vector<SceneObject> objectsOf(const std::string& dump) {
    std::vector<SceneObject> objects;
    const std::string list = jsonValue(dump, "objects");
    static const std::regex entry(
        "\\{\"tag\":\"([^\"]*)\",\"name\":\"([^\"]*)\",\"x\":(-?\\d+),\"y\":(-?\\d+),\"width\":(-?\\d+),"
        "\"height\":(-?\\d+)(,\"box\":\\[(-?\\d+),(-?\\d+),(-?\\d+),(-?\\d+)\\])?\\}");
    for (auto it = std::sregex_iterator(list.begin(), list.end(), entry); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        SceneObject o;
        o.tag = m[1];
        o.name = m[2];
        o.x = std::stoi(m[3]);
        o.y = std::stoi(m[4]);
        o.width = std::stoi(m[5]);
        o.height = std::stoi(m[6]);
        o.shown = m[7].matched;
        if (o.shown) {
            o.left = std::stoi(m[8]);
            o.top = std::stoi(m[9]);
            o.right = std::stoi(m[10]);
            o.bottom = std::stoi(m[11]);
        }
        objects.push_back(o);
    }
    return objects;
}

// Runs every screen once, and the same run without a screen for the picture it covers.
class MenuScreens : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        runs_ = new std::map<std::string, ScreenRun>;
        background_ = new ScreenRun(runScreen({"background", {}, {}}, *dir_));
        for (const MenuScreen& screen : screens()) (*runs_)[screen.name] = runScreen(screen, *dir_);
    }
    static void TearDownTestSuite() {
        delete runs_;
        delete background_;
        delete dir_;
    }
    static TempDir* dir_;
    static std::map<std::string, ScreenRun>* runs_;
    static ScreenRun* background_;
};

TempDir* MenuScreens::dir_ = nullptr;
std::map<std::string, ScreenRun>* MenuScreens::runs_ = nullptr;
ScreenRun* MenuScreens::background_ = nullptr;

// Strict content: a missing map, prototype, image or text fails the run. The picture must
// show the screen, not only what stands behind it.
TEST_F(MenuScreens, EveryScreenDrawsFromTheGamesContent) {
    ASSERT_EQ(background_->run.exitCode, 0) << background_->run.output;
    ASSERT_EQ(background_->picture.width, 800);
    for (const MenuScreen& screen : screens()) {
        SCOPED_TRACE(screen.name);
        const ScreenRun& run = runs_->at(screen.name);
        EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
        EXPECT_EQ(run.picture.width, 800);
        EXPECT_EQ(run.picture.height, 600);
        // A dialog's plate alone covers far more than this.
        EXPECT_GT(differentPixels(run.picture, background_->picture), 20000u);
    }
}

// Every letter of every text lies on the body of the panel it is written on: the panel's
// declared size where it has one (the plate without its shadow), else its drawn picture.
TEST_F(MenuScreens, EveryTextLiesWithinItsPanel) {
    for (const MenuScreen& screen : screens()) {
        SCOPED_TRACE(screen.name);
        const ScreenRun& run = runs_->at(screen.name);
        ASSERT_EQ(run.run.exitCode, 0) << run.run.output;
        const std::vector<SceneObject> objects = objectsOf(run.dump);
        ASSERT_FALSE(objects.empty()) << "no objects in the dump";
        for (const ShownText& text : screen.texts) {
            SCOPED_TRACE(text.file + " on " + text.panel);
            const SceneObject* panel = nullptr;
            for (const SceneObject& o : objects)
                if (o.name == text.panel) panel = &o;
            ASSERT_NE(panel, nullptr) << "no panel object";
            int left = panel->left, top = panel->top, right = panel->right, bottom = panel->bottom;
            if (panel->width > 0 && panel->height > 0) {
                left = panel->x, top = panel->y;
                right = panel->x + panel->width, bottom = panel->y + panel->height;
            }
            int glyphs = 0;
            for (const SceneObject& o : objects) {
                if (o.tag != tagOf(text)) continue;
                ++glyphs;
                ASSERT_TRUE(o.shown) << "a letter at " << o.x << ", " << o.y << " is not drawn";
                EXPECT_TRUE(o.left >= left && o.top >= top && o.right <= right && o.bottom <= bottom)
                    << "the letter box " << o.left << "," << o.top << ".." << o.right << "," << o.bottom
                    << " leaves the panel " << left << "," << top << ".." << right << "," << bottom;
            }
            EXPECT_GT(glyphs, 0) << "no letters";
        }
    }
}

}  // namespace
}  // namespace qs
