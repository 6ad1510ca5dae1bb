#include "app/script_runner.h"

#include <iostream>

#include "app/context.h"
#include "app/main_form.h"
#include "app/state_dump.h"
#include "core/file_system.h"
#include "game/gameplay.h"
#include "game/shot_simulator.h"
#include "game/view/field_view.h"
#include "render/sdl_platform.h"
#include "scene/location_map.h"
#include "scene/particles.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "visual/prototype_library.h"

namespace qs {

ScriptRunner::ScriptRunner(Script script, TMainForm& form, Context& ctx, HeadlessPlatform* headless)
    : script_(std::move(script)), form_(form), ctx_(ctx), headless_(headless) {}

ScriptRunner::~ScriptRunner() = default;

void ScriptRunner::deliverInput(uint32_t now) {
    while (nextInput_ < script_.commands.size() && script_.commands[nextInput_].time <= now) {
        const ScriptCommand& command = script_.commands[nextInput_++];
        if (command.isOutput()) continue;
        // The scene's own hover pass ran since; the script's buttons decide for its input.
        if (!buttons_.empty()) hoverButtons();
        apply(command);
    }
    if (!buttons_.empty()) hoverButtons();
    stepField();
}

bool ScriptRunner::runOutput(uint32_t now) {
    bool goOn = true;
    if (!buttons_.empty()) hoverButtons();
    while (nextOutput_ < script_.commands.size() && script_.commands[nextOutput_].time <= now) {
        const ScriptCommand& command = script_.commands[nextOutput_++];
        if (command.kind == ScriptCommand::Kind::Quit) goOn = false;
        if (!command.isOutput()) continue;
        std::string error;
        if (command.kind == ScriptCommand::Kind::Screenshot) {
            if (!ctx_.platform().device().saveScreenshot(command.path, &error)) {
                std::cerr << "quibblestar: screenshot " << command.path << " failed: " << error << '\n';
                outputFailed_ = true;
            }
        } else {
            std::string json = dumpState(ctx_, form_, command.withObjects) + "\n";
            if (!FileSystem::writeFileAtomic(command.path, json, &error)) {
                std::cerr << "quibblestar: dump_state " << command.path << " failed: " << error << '\n';
                outputFailed_ = true;
            }
        }
    }
    return goOn;
}

void ScriptRunner::apply(const ScriptCommand& command) {
    using Kind = ScriptCommand::Kind;
    switch (command.kind) {
        case Kind::MouseMove:
            if (headless_) {
                bool inside = command.x >= 0 && command.x < kScreenWidth && command.y >= 0 &&
                              command.y < kScreenHeight;
                headless_->setMouse(command.x, command.y, inside);
            } else {
                ctx_.platform().warpMouse(command.x, command.y);  // a window's real pointer
            }
            form_.onMouseMove();
            break;
        case Kind::MouseLeave:
            if (headless_) headless_->setMouse(-1000, -1000, false);
            break;
        case Kind::MouseDown: form_.onMouseDown(command.button); break;
        case Kind::MouseUp: form_.onMouseUp(command.button); break;
        case Kind::Click:
            form_.onMouseDown(command.button);
            form_.onMouseUp(command.button);
            break;
        case Kind::KeyDown: form_.onKeyDown(command.key, command.shift); break;
        case Kind::KeyUp: form_.onKeyUp(command.key); break;
        case Kind::FocusLost: form_.onDeactivate(); break;
        case Kind::FocusGained: form_.onActivate(); break;
        case Kind::Minimize: form_.onMinimize(); break;
        case Kind::Restore: form_.onRestore(); break;
        case Kind::ToggleFullscreen: form_.onToggleFullscreen(); break;
        case Kind::WindowSize:
            if (!ctx_.platform().resizeWindow(command.x, command.y))
                std::cerr << "script line " << command.line << ": no window to resize\n";
            break;
        case Kind::LoadMap: load_location_map(*ctx_.sceneObjects, command.path); break;
        case Kind::ShowText: ShowTextFile(*ctx_.sceneObjects, command.path, command.tag, command.values); break;
        case Kind::Particles:
            for (int i = 0; i < command.count; ++i)
                ctx_.particles->Create(command.type, command.x, command.y);
            break;
        case Kind::Button: {
            int slot = ctx_.sceneObjects->FindSceneObject(command.path, -1, "");
            if (slot < 0) {
                std::cerr << "script line " << command.line << ": no object " << command.path << '\n';
                break;
            }
            buttons_.push_back({command.button, slot});
            // A screen under test: its buttons' releases come here, not to the scene.
            ctx_.hooks.HandleButtonRelease = [this] {
                ctx_.input.lastReleasedButton = ctx_.input.pressedButton;
            };
            break;
        }
        case Kind::Field: openField(command); break;
        case Kind::Shoot: shoot(command); break;
        default: break;
    }
}

void ScriptRunner::openField(const ScriptCommand& command) {
    view_.reset();
    field_ = std::make_unique<ShotSimulator>(ctx_.log);
    SimulatorSetup setup;
    setup.contentRoot = ctx_.files.contentRoot();
    setup.mode = parseGameMode(command.path).value_or(kModeArcade);
    setup.level = command.count;
    setup.seed = ctx_.random.seed();
    if (!field_->load(setup)) {
        field_.reset();
        return;
    }
    view_ = std::make_unique<FieldView>(ctx_);
    BallGrid& grid = field_->game().grid;
    grid.setView(view_.get());
    for (int row = BallGrid::kFirstRow; row <= BallGrid::kLastRow; ++row) {
        for (int column = 0; column < BallGrid::kColumns; ++column) {
            const GridCell* cell = grid.cellAt(column, row);
            if (cell && !cell->empty())
                view_->cellFilled(column, row, *cell, grid.cellX(column, row), grid.cellY(row));
        }
    }
    field_->game().events.clear();
    fieldSteps_ = ctx_.frame.sceneStepsRun;
}

void ScriptRunner::shoot(const ScriptCommand& command) {
    if (!field_) return;
    Gameplay& game = field_->game();
    game.aim.smoothTurn = false;
    updateAim(game.aim, command.x, command.y, kScreenWidth, kScreenHeight);
    game.updatePath();
    int kind = command.type != 0 ? command.type : field_->currentKind();
    fire(game, kind, 0, 0);
}

void ScriptRunner::stepField() {
    if (!field_) return;
    for (; fieldSteps_ < ctx_.frame.sceneStepsRun; ++fieldSteps_) {
        if (field_->game().ball) stepShotBall(field_->game());
        view_->update(field_->game());
    }
}

void ScriptRunner::hoverButtons() {
    ctx_.handlers.ReadMousePosition(true);
    InputState& in = ctx_.input;
    in.hoveredButton = -1;
    for (const auto& [number, slot] : buttons_) {
        TMultiSprite* object = ctx_.sceneObjects->at(slot);
        if (!object) continue;
        bool over = ctx_.sceneObjects->ObjectContainsPoint(*object, in.mouseX, in.mouseY, 0, 0,
                                                           ctx_.prototypes->textures());
        if (over) in.hoveredButton = number;
        int frame = !over ? 0 : in.pressedButton == number ? 2 : 1;
        if (!object->sprites.empty() && object->sprites[0]->animCount > frame)
            object->sprites[0]->animPos = frame;
    }
}

}  // namespace qs
