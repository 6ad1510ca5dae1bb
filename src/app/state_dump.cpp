#include "app/state_dump.h"

#include "app/context.h"
#include "core/json_writer.h"
#include "app/main_form.h"
#include "scene/scene_object_list.h"
#include "scene/particles.h"
#include "audio/audio_state.h"

namespace qs {

std::string dumpState(const Context& ctx, const TMainForm& form) {
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
    json.field("SceneCommand", ctx.input.SceneCommand);
    json.field("keyCode", static_cast<int>(ctx.input.keyCode));
    json.field("shiftState", static_cast<int>(ctx.input.shiftState));
    json.field("hoveredButton", ctx.input.hoveredButton);
    json.field("pressedButton", ctx.input.pressedButton);
    json.field("lastReleasedButton", ctx.input.lastReleasedButton);
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

    if (ctx.audio) writeAudioState(json.key("audio"), *ctx.audio);

    json.endObject();
    return json.str();
}

}  // namespace qs
