#include "app/content_check.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/context.h"
#include "app/load_list.h"
#include "core/comma_fields.h"
#include "core/options.h"
#include "core/text_util.h"
#include "game/ball_grid.h"
#include "game/combo_table.h"
#include "game/level_files.h"
#include "render/null_device.h"
#include "scene/location_map.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "scene/text_objects.h"
#include "visual/prototype_library.h"
#include "visual/sprite_prototype.h"

namespace qs {

namespace fs = std::filesystem;

namespace {

// The maps and texts the menu and the game open by name: a strict run fails without any of them.
const char* const kScreenFiles[] = {
    "menu.map", "game_stat.map", "continue_last_game.map", "exit_to_menu.map", "exit_to_windows.map",
    "game_message.map", "game_over.map", "input_player_name.map", "input_player_name_back.map",
    "menu_buttons_mainmenu.map", "menu_buttons_music_sound_fullscreen.map", "menu_buttons_select_game_type.map",
    "menu_help.map", "menu_scores.map", "name_confirm.map", "name_message.map", "select_player.map",
    "try_again.map", "try_again_puzzle.map",
    "text\\best_combo.txt", "text\\choose_game_type.txt", "text\\choose_player.txt", "text\\congratulations.txt",
    "text\\continue_game.txt", "text\\continue_game_after_loss.txt", "text\\create_player1.txt",
    "text\\create_player2.txt", "text\\delete_player.txt", "text\\exit_to_menu.txt", "text\\exit_to_windows.txt",
    "text\\game_comment_arcade.txt", "text\\game_comment_challenge.txt", "text\\game_comment_puzzle.txt",
    "text\\game_message_arcade.txt", "text\\game_message_challenge.txt", "text\\game_message_puzzle.txt",
    "text\\game_options.txt", "text\\game_over.txt", "text\\game_over_checkpoint.txt", "text\\game_title_arcade.txt",
    "text\\game_title_challenge.txt", "text\\game_title_menu.txt", "text\\game_title_options.txt",
    "text\\game_title_players.txt", "text\\game_title_puzzle.txt", "text\\game_title_scores.txt", "text\\game_title_start.txt",
    "text\\help_page1.txt", "text\\help_page2.txt", "text\\help_title.txt", "text\\menu_text_button1.txt",
    "text\\menu_text_button2.txt", "text\\name_already_exists.txt", "text\\please_enter_name.txt",
    "text\\rename_player.txt", "text\\scores_title_arcade.txt", "text\\scores_title_challenge.txt",
    "text\\scores_title_footer.txt", "text\\scores_title_puzzle.txt", "text\\stat_title.txt",
    "text\\stat_with_best_shot.txt", "text\\stat_with_bonus.txt", "text\\try_again.txt",
    "text\\try_again_puzzle.txt", "text\\your_name.txt",
};

const char* const kSoundExtensions[] = {"ogg", "mp3", "wav", "xm", "s3m", "mo3"};

// "graphics/balls/ball1.spr" -> "graphics\balls\ball1.spr", the form the game names files in.
std::string gameName(const fs::path& relative) {
    std::string name = relative.generic_string();
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

class ContentChecker {
public:
    ContentChecker(const std::string& root, std::ostream& report, SoundDecoder decodeSound)
        : root_(root),
          decodeSound_(std::move(decodeSound)),
          report_(report),
          // A loader's message box repeats the error it has just logged; only a box of its own counts.
          platform_([this](const std::string&, const std::string& text) {
              const bool said = lastProblem_.size() >= text.size() &&
                                lastProblem_.compare(lastProblem_.size() - text.size(), text.size(), text) == 0;
              if (!said) problem(text);
          }),
          ctx_(std::make_unique<VirtualClock>(), FileSystem(root, fs::temp_directory_path() / "quibblestar-check"), platform_, 1) {
        ctx_.log.setErrorSink([this](const std::string& message) { problem(message); });
        ctx_.prototypes->textures().choosePixelFormat(false);
    }

    int run() {
        std::vector<fs::path> files;
        std::error_code ec;
        for (fs::recursive_directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
            if (it->is_regular_file()) files.push_back(fs::relative(it->path(), root_));
        }
        if (ec) problem("cannot read the content folder " + root_ + ": " + ec.message());
        std::sort(files.begin(), files.end());
        checkRequired();
        // Font width files last: the pictures of their fonts are loaded by then, and a width
        // file is measured against the glyphs its font draws.
        std::stable_partition(files.begin(), files.end(),
                              [](const fs::path& file) { return toLower(file.extension().string()) != ".pos"; });
        for (const fs::path& file : files) check(file);
        report_ << checked_ << " files checked, " << problems_ << " problems\n";
        return problems_;
    }

private:
    void problem(const std::string& message) {
        ++problems_;
        lastProblem_ = message;
        // Most readers name the file in their messages; the others get it here.
        if (message.find(current_) == std::string::npos && !current_.empty())
            report_ << current_ << ": " << message << '\n';
        else
            report_ << message << '\n';
    }

    // What the game asks for by name, whether or not the folder walk meets it.
    void checkRequired() {
        current_.clear();
        for (const char* name : {"main.msl", "loading.msl", "music.ini", "sound.ini", "main.map", "options.txt",
                                 "text\\combo.txt"}) {
            if (!ctx_.files.contentExists(name)) problem(std::string(name) + " is missing: the game cannot start without it");
        }
        for (const char* name : kScreenFiles) {
            if (!ctx_.files.contentExists(name)) problem(std::string(name) + " is missing: a screen of the game loads it by name");
        }
        for (GameMode mode : {kModeArcade, kModeChallenge, kModePuzzle}) {
            const std::string first = levelFileName(mode, 1);
            if (!ctx_.files.contentExists(first)) problem(first + " is missing: every mode starts there");
        }
    }

    void check(const fs::path& relative) {
        const std::string name = gameName(relative);
        const std::string ext = toLower(relative.extension().string());
        const std::string folder = toLower(relative.parent_path().generic_string());
        current_ = name;
        if (ext == ".spr") {
            ++checked_;
            // Every file is read, also one whose bare name another folder's prototype shares.
            ctx_.prototypes->LoadSpritePrototype(name);
        } else if (toLower(relative.generic_string()) == "options.txt") {
            ++checked_;
            std::string why;
            std::optional<std::string> text = FileSystem::readFile(fs::path(root_) / relative, &why, kOptionsFileLimit);
            if (!text) {
                problem(name + " cannot be read (" + why + ")");
            } else {
                GameOptions scratch = defaultOptions();
                applyOptionsText(scratch, *text, ctx_.log, name);
                // A new player's folder gets this file: every key it lacks is a setting the
                // player cannot see or change.
                const std::vector<std::string> missing = missingOptionKeys(*text);
                if (!missing.empty()) {
                    std::string names;
                    for (const std::string& key : missing) names += (names.empty() ? "" : ", ") + key;
                    problem(name + " has no value for " + names);
                }
            }
        } else if (ext == ".pos") {
            ++checked_;
            checkFontWidths(*ctx_.sceneObjects, name.substr(0, name.size() - 3) + "spr");
        } else if (ext == ".map") {
            ++checked_;
            load_location_map(*ctx_.sceneObjects, name);
            ctx_.sceneObjects->unload_by_tag(name);
        } else if (ext == ".msl" || (ext == ".ini" && folder != "levels")) {
            ++checked_;
            checkList(name);
        } else if (ext == ".ini" && folder == "levels") {
            ++checked_;
            checkLevel(relative.stem().string(), name);
        } else if (ext == ".txt" && folder == "text") {
            ++checked_;
            if (toLower(relative.filename().string()) == "combo.txt") readComboTable(ctx_.files, ctx_.log);
            else {
                checkText(name);
            }
        }
    }

    void checkText(const std::string& name) {
        ShowTextFile(*ctx_.sceneObjects, name, "content_check", "1,2,3,4,5,6,7,8,9");
        ctx_.sceneObjects->unload_by_tag("content_check");
    }

    void checkList(const std::string& name) {
        std::vector<ListEntry> entries;
        ReadLoadList(entries, name, false, ctx_.files, ctx_.log);
        for (const ListEntry& entry : entries) {
            const std::string& text = entry.text;
            std::string file = text.find(", ") != std::string::npos ? trim(GetCommaField(text, 2)) : text;
            size_t dot = file.find('.');
            std::string ext = dot == std::string::npos ? "" : toLower(trim(file.substr(dot + 1)));
            bool sound = std::find(std::begin(kSoundExtensions), std::end(kSoundExtensions), ext) !=
                         std::end(kSoundExtensions);
            if (file.empty()) {
                ctx_.prototypes->LoadResourceEntry(entry);  // which says what is wrong with it
            } else if (sound) {
                std::optional<fs::path> path = ctx_.files.resolveContent(file);
                std::string why;
                if (!path)
                    problem(entry.where() + ": sound file " + file + " is missing");
                else if (decodeSound_ && !decodeSound_(path->string(), &why))
                    problem(entry.where() + ": sound file " + file + " does not decode: " + why);
            } else if (!ctx_.files.contentExists(file)) {
                problem(entry.where() + ": " + file + " is missing");
            } else {
                ctx_.prototypes->LoadResourceEntry(entry);
            }
        }
    }

    void checkLevel(const std::string& stem, const std::string& name) {
        // "arcade-01", "challenge-12", "puzzle-03"
        size_t dash = stem.rfind('-');
        std::optional<int> level = dash == std::string::npos ? std::nullopt : parseInt(stem.substr(dash + 1));
        std::string kind = toLower(stem.substr(0, dash == std::string::npos ? 0 : dash));
        const std::optional<GameMode> mode = parseGameMode(kind);
        if (!level || !mode) {
            problem(name + ": not a level file name (arcade-NN, challenge-NN or puzzle-NN)");
            return;
        }
        const int number = level.value_or(0);
        // The game asks for "arcade-01", never "arcade-1": a file by another name is never read.
        if (toLower(name) != toLower(levelFileName(*mode, number))) {
            problem(name + ": the game reads this level as " + levelFileName(*mode, number));
            return;
        }
        LevelValues values;
        BallGrid grid;
        if (*mode == kModePuzzle)
            ReadPuzzleLevel(ctx_.files, ctx_.log, name, number, values, grid);
        else
            ReadArcadeLevel(ctx_.files, ctx_.log, *mode, number, values, grid);
    }

    std::string root_;
    SoundDecoder decodeSound_;
    std::ostream& report_;
    NullPlatform platform_;
    Context ctx_;
    std::string current_;
    std::string lastProblem_;
    int checked_ = 0;
    int problems_ = 0;
};

}  // namespace

std::vector<std::string> filesOpenedByName() { return {std::begin(kScreenFiles), std::end(kScreenFiles)}; }

int checkContent(const std::string& contentRoot, std::ostream& report, const SoundDecoder& decodeSound) {
    ContentChecker checker(contentRoot, report, decodeSound);
    return checker.run();
}

}  // namespace qs
