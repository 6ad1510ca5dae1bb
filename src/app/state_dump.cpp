#include "app/state_dump.h"

#include <algorithm>
#include <cmath>

#include "app/context.h"
#include "app/main_form.h"
#include "audio/audio_state.h"
#include "core/json_writer.h"
#include "game/game_session.h"
#include "game/view/game_scene.h"
#include "menu/menu_state.h"
#include "profile/player_store.h"
#include "scene/particles.h"
#include "scene/scene_object_list.h"
#include "visual/multisprite.h"
#include "visual/prototype_library.h"
#include "visual/texture_library.h"

namespace qs {

namespace {

void writeQueuedBall(JsonWriter& json, const char* name, const QueuedBall& ball) {
    json.key(name).beginObject();
    json.field("kind", ball.kind).field("tint", ball.tint).field("bonus", ball.bonus);
    json.endObject();
}

// The menu's own numbers: how far the intro is, the screens' choices, the name being typed.
void writeMenu(JsonWriter& json, const MenuState& m) {
    json.beginObject();
    json.field("introState", m.introState);
    json.field("loadingFinished", m.loadingFinished);
    json.field("menuFadeState", m.menuFadeState);
    json.field("helpPage", m.helpPage);
    json.field("demoPhase", m.demoPhase);
    json.field("listSelection", m.list.selection).field("listTop", m.list.top).field("listRow", m.list.row);
    json.field("keepEdit", m.keepEdit);
    json.field("nameText", m.nameText).field("editMode", m.editMode);
    json.field("arrowDirection", m.arrowDirection);
    json.field("musicStarted", m.musicStarted);
    json.field("continueAsked", m.offer.ask).field("continueAfterLoss", m.offer.afterLoss);
    json.field("checkpointLevel", m.offer.checkpointLevel);
    json.endObject();
}

void writePlayers(JsonWriter& json, const PlayerStore& store) {
    json.beginObject();
    json.field("currentPlayer", store.currentPlayer());
    json.key("list").beginArray();
    for (const PlayerRecord& player : store.players()) {
        json.beginObject().field("name", player.name);
        json.key("modes").beginArray();
        for (const ModeProgress& mode : player.modes) {
            json.beginObject();
            json.field("levelReached", mode.levelReached).field("showMessage", mode.showMessage);
            json.field("levelStartScore", mode.levelStartScore).field("gameState", mode.gameState);
            json.field("checkpointScore", mode.checkpointScore);
            json.endObject();
        }
        json.endArray().endObject();
    }
    json.endArray();
    json.endObject();
}

// The running game: where it is in its flow, its scores and gauge, what is saved for the
// player, and the field itself. Plain values first, so a flat search for a key finds the
// game's own before any of the nested ones.
void writeGame(JsonWriter& json, const GameSession& session) {
    const Gameplay& g = session.game();
    const BallGrid& grid = g.grid;
    const ScoreState& s = g.score;
    json.beginObject();
    json.field("mode", static_cast<int>(g.mode));
    json.field("level", g.level);
    json.field("lastLevel", g.levelValues.lastLevel);
    json.field("state", static_cast<int>(session.state()));
    json.field("screenKind", static_cast<int>(screenKindOf(session)));
    json.field("totalScore", s.totalScore);
    json.field("levelScore", s.levelScore);
    json.field("plainScore", s.plainScore);
    json.field("shownScore", session.shownScore());
    json.field("bestShot", s.bestShot);
    json.field("bestCombo", s.bestCombo);
    json.field("progress", session.progress());
    json.field("shownProgress", session.shownProgress());
    json.field("shotCount", session.shotCount());
    json.field("aimAngle", g.aim.aimAngle);
    json.field("lowestRow", grid.lowestRow);
    json.field("scroll", grid.scroll);
    json.field("levelStartPending", session.levelStartPending());
    json.field("fastDrop", session.fastDropping());
    json.field("pendingDescent", g.levelValues.pendingDescent);
    json.field("pendingClimb", g.pendingClimb);
    json.field("gameWon", session.gameWon());

    const SavedProgress& saved = session.saved();
    json.key("saved").beginObject();
    json.field("level", saved.level).field("score", saved.score);
    json.field("checkpointScore", saved.checkpointScore).field("continueFlag", saved.continueFlag);
    json.endObject();

    json.key("bonuses").beginObject();
    json.key("entries").beginArray();
    for (const ActiveBonus& bonus : g.bonuses.entries)
        if (bonus.type > 0) json.beginObject().field("type", bonus.type).field("state", bonus.state).endObject();
    json.endArray();
    json.key("active").beginArray();
    for (int type = 1; type < kBonusTypeCount; ++type)
        if (g.bonuses.active[type]) json.value(type);
    json.endArray();
    json.endObject();

    json.key("queue").beginObject();
    writeQueuedBall(json, "current", g.queue.current);
    writeQueuedBall(json, "next", g.queue.next);
    json.field("rocketCount", g.queue.rocketCount);
    json.endObject();

    json.key("crystals").beginObject();
    json.field("collected", s.crystalsCollected);
    json.field("inLevel", g.levelValues.crystalsInLevel);
    int flying = 0;
    for (const CrystalIcon& icon : session.crystalIcons())
        if (icon.stepsLeft > 0) ++flying;
    json.field("iconsFlying", flying);
    json.endObject();

    // The field as text, ceiling row first, as the shot simulator prints it: "11 ..LLLL",
    // one letter a cell (. empty, 1-9 colours, B colour bomb, G big bomb, M multiball,
    // L land, C crystal).
    json.key("picture").beginArray();
    for (const std::string& line : fieldPicture(grid)) json.value(line);
    json.endArray();
    json.endObject();
}

// Every live object: its tag and name, its place and declared size, and "box", the screen
// rectangle [left, top, right, bottom] its visible layers' current frames cover (whole pixels
// outwards; absent when nothing of it is shown). Layout checks compare these.
void writeObjects(JsonWriter& json, const Context& ctx) {
    const SceneObjectList& objects = *ctx.sceneObjects;
    const TextureLibrary* textures = ctx.prototypes ? &ctx.prototypes->textures() : nullptr;
    json.beginArray();
    for (int slot = 0; slot < objects.count(); ++slot) {
        const TMultiSprite* object = objects.at(slot);
        if (!object) continue;
        json.beginObject();
        json.field("tag", object->tag).field("name", object->name);
        json.field("x", static_cast<int>(std::lround(object->x))).field("y", static_cast<int>(std::lround(object->y)));
        json.field("width", object->width).field("height", object->height);
        bool any = false;
        double left = 0, top = 0, right = 0, bottom = 0;
        for (const auto& sprite : object->sprites) {
            const TextureSheet* sheet = textures ? textures->sheetAt(sprite->sheet) : nullptr;
            if (!sheet || !sprite->visible || !object->visible) continue;
            const double l = std::trunc(sprite->X), t = std::trunc(sprite->Y);
            const double r = l + sheet->frameWidth * sprite->scaleX * object->scale_x;
            const double b = t + sheet->frameHeight * sprite->scaleY * object->scale_y;
            if (!any) {
                left = l, top = t, right = r, bottom = b;
                any = true;
            } else {
                left = std::min(left, l), top = std::min(top, t);
                right = std::max(right, r), bottom = std::max(bottom, b);
            }
        }
        if (any) {
            json.key("box").beginArray();
            json.value(static_cast<int>(std::floor(left))).value(static_cast<int>(std::floor(top)));
            json.value(static_cast<int>(std::ceil(right))).value(static_cast<int>(std::ceil(bottom)));
            json.endArray();
        }
        json.endObject();
    }
    json.endArray();
}

// What the texture library holds: its pages, the tiles on them, and the bytes of tile
// pixels kept in memory beside the device's pages.
void writeTextures(JsonWriter& json, const TextureLibrary& textures) {
    json.beginObject();
    const int pages = static_cast<int>(textures.pages.size());
    size_t keptBytes = 0;
    int tiles = 0;
    for (const TexturePage& page : textures.pages) tiles += page.tiles;
    for (const TextureSheet& sheet : textures.sheets)
        for (const SheetFrame& frame : sheet.frames)
            for (const TextureTile& tile : frame.tiles) keptBytes += tile.pixels.size();
    json.field("pages", pages).field("pageBytes", static_cast<double>(pages) * kPageSize * kPageSize *
                                                      textures.bytesPerPixel());
    json.field("tiles", tiles);
    json.field("keptTileBytes", static_cast<double>(keptBytes));
    json.endObject();
}

// The scene's pending command as the dump has always shown it: the menu's request (or a key
// waiting), "handled" in a game that has run a step, and "none" otherwise.
int pendingCommand(const Context& ctx) {
    if (ctx.frame.currentScene == kSceneMenu && ctx.menu) {
        if (ctx.menu->pending != kCommandNone) return ctx.menu->pending;
        return ctx.menu->keys.empty() ? kCommandNone : kCommandKey;
    }
    if (ctx.frame.currentScene == kSceneGame && ctx.session && ctx.session->stepCount() > 0) return kCommandHandled;
    return kCommandNone;
}

}  // namespace

std::string dumpState(const Context& ctx, const TMainForm& form, bool withObjects) {
    const FrameState& f = ctx.frame;
    const GameOptions& o = ctx.options;
    JsonWriter json;
    json.beginObject();
    json.field("currentScene", static_cast<int>(f.currentScene));
    json.field("sceneSetupState", f.sceneSetupState);
    json.field("sceneLive", f.sceneLive);
    json.field("sceneChangeRequest", static_cast<int>(f.sceneChangeRequest));
    json.field("appActive", f.appActive);
    json.field("paused", f.paused);
    json.field("frameTick", f.frameTick);
    json.field("gameClock", f.gameClock);
    json.field("stepStart", f.stepStart);
    json.field("framesRun", f.framesRun);
    json.field("framesRendered", f.framesRendered);
    json.field("sceneStepsRun", f.sceneStepsRun);
    json.field("spriteMoves", form.spriteMoves());
    json.field("framesPerSecond", form.framesPerSecond());
    json.field("seed", ctx.random.seed());

    json.key("input").beginObject();
    json.field("mouseX", ctx.input.mouseX);
    json.field("mouseY", ctx.input.mouseY);
    json.field("ScreenKind", ctx.input.ScreenKind);
    json.field("SceneCommand", pendingCommand(ctx));
    json.field("keyCode", static_cast<int>(ctx.input.keyCode));
    json.field("shiftState", static_cast<int>(ctx.input.shiftState));
    json.field("hoveredButton", ctx.input.hoveredButton);
    json.field("pressedButton", ctx.input.pressedButton);
    json.field("lastReleasedButton", ctx.input.lastReleasedButton);
    json.field("focusedButton", ctx.input.focusedButton);
    json.field("pointerDevice", std::string(ctx.input.keysOwnPointer ? "keys" : "mouse"));
    json.endObject();

    json.field("sceneObjects", ctx.sceneObjects->liveCount());
    json.field("particles", ctx.particles->liveCount());
    json.key("comboTexts").beginArray();
    for (const ComboText& combo : ctx.comboTexts) {
        json.beginObject().field("threshold", combo.threshold).field("text", combo.text).endObject();
    }
    json.endArray();

    json.key("options").beginObject();
    json.field("fullscreen", o.fullscreen);
    json.field("mode16bit", o.mode16bit);
    json.field("textures16bit", o.textures16bit);
    json.field("log_enabled", o.log_enabled);
    json.field("music_volume", o.music_volume);
    json.field("sound_volume", o.sound_volume);
    json.field("music_amplify", o.music_amplify);
    json.field("no_sync", o.no_sync);
    json.field("fps_max", o.fps_max);
    json.field("fps_show", o.fps_show);
    json.field("move_cnt", o.move_cnt);
    json.field("wait_vblank", o.wait_vblank);
    json.field("ball_step", o.ball_step);
    json.field("beg_level", o.beg_level);
    json.field("player_index", o.player_index);
    json.endObject();

    if (ctx.session) writeGame(json.key("game"), *ctx.session);
    if (ctx.menu) writeMenu(json.key("menu"), *ctx.menu);
    json.key("records").beginObject();
    json.field("open", ctx.recordsShown.open).field("mode", ctx.recordsShown.mode);
    json.field("rows", ctx.recordsShown.rows).field("highlighted", ctx.recordsShown.highlighted);
    json.endObject();
    if (ctx.players) writePlayers(json.key("players"), *ctx.players);

    if (ctx.audio) writeAudioState(json.key("audio"), *ctx.audio);
    if (ctx.prototypes) writeTextures(json.key("textures"), ctx.prototypes->textures());

    if (withObjects && ctx.sceneObjects) writeObjects(json.key("objects"), ctx);

    json.endObject();
    return json.str();
}

}  // namespace qs
