#include "ui/scene_services.h"

#include <cstdlib>

#include "audio/audio.h"
#include "audio/recording_audio_backend.h"
#include "profile/player_store.h"
#include "profile/records_store.h"
#include "render/platform.h"
#include "scene/particles.h"
#include "scene/scene_object_list.h"
#include "ui/dialog_fade.h"
#include "visual/object_3d.h"
#include "visual/prototype_library.h"
#include "visual/sprite_engine.h"

namespace qs {

SceneServices::SceneServices(std::unique_ptr<Clock> clock, FileSystem fileSystem, Platform& platform,
                 uint32_t seed)
    : files(std::move(fileSystem)),
      log(files.userPath("log.txt")),
      random(seed),
      clock_(std::move(clock)),
      platform_(platform) {
    prototypes = std::make_unique<PrototypeLibrary>(LoadServices{files, log, platform_, options});
    spriteEngine = std::make_unique<SpriteEngine>();
    sceneObjects = std::make_unique<SceneObjectList>(SpriteWorld{*prototypes, *spriteEngine, frame.gameClock});
    particles = std::make_unique<ParticleList>(*sceneObjects, random, frame.gameClock);
    objects3D = std::make_unique<Object3DList>();
    sceneObjects->use3DObjects(objects3D.get());
    dialogFade = std::make_unique<DialogFade>(*sceneObjects);
    audio = std::make_unique<Audio>(audioServices(), std::make_unique<RecordingAudioBackend>(files, log));
    // Sound lines of the resource lists land in the sound table of whichever audio is current.
    prototypes->audioEntryLoader = [this](const std::string& name, const std::string& file,
                                          const std::string& extension, const std::string& field3,
                                          const std::string& line) {
        return audio->addSoundEntry(name, file, extension, field3, line);
    };
}

void SceneServices::openPlayers() {
    players = std::make_unique<PlayerStore>(
        files, log,
        [this](const std::string& key, const std::string& value) {
            if (!WriteOptionValue(key, value)) return false;
            if (key == "player_index") options.player_index = std::atoi(value.c_str());
            return true;
        },
        [this](const std::string& text) { platform_.showMessageBox("Quibblestar", text); },
        options.player_index);
    players->ReadPlayers();
}

void SceneServices::openRecords() {
    records = std::make_unique<RecordsStore>(
        files, log, [this](const std::string& text) { platform_.showMessageBox("Quibblestar", text); });
}

void SceneServices::useAudioBackend(std::unique_ptr<AudioBackend> backend) {
    audio = std::make_unique<Audio>(audioServices(), std::move(backend));
}

AudioServices SceneServices::audioServices() { return {options, log, frame.frameTick, frame.appActive}; }

SceneServices::~SceneServices() {
    // Particles and objects first: their image sprites leave the engine as they go.
    particles.reset();
    dialogFade.reset();
    sceneObjects.reset();
    spriteEngine.reset();
}

const GameOptions& SceneServices::shippedOptions() {
    // The content folder's file completes a user file that lacks keys (one kept from an
    // older version, or cut short by hand); its own gaps take the program's values.
    if (!shippedOptions_) {
        shippedOptions_ = std::make_unique<GameOptions>(defaultOptions());
        if (std::optional<std::filesystem::path> path = files.resolveContent(kOptionsFile)) {
            std::string why;
            if (std::optional<std::string> text = FileSystem::readFile(*path, &why, kOptionsFileLimit)) {
                applyOptionsText(*shippedOptions_, *text, log, path->string());
                // New players' folders are seeded with this file: a key it lacks is a setting
                // they never see (the checker says the same).
                std::string names;
                for (const std::string& key : missingOptionKeys(*text)) names += (names.empty() ? "" : ", ") + key;
                if (!names.empty()) log.error("the shipped settings " + path->string() + " have no value for " + names);
            } else {
                log.error("the shipped settings " + path->string() + " cannot be read (" + why + ")");
            }
        } else {
            log.error("the content folder has no options.txt: new players' folders get no settings file");
        }
        shippedOptions_->musicVolumeShownStale = shippedOptions_->soundVolumeShownStale = false;
    }
    return *shippedOptions_;
}

void SceneServices::ReadOptions() {
    // The options are read again at every scene start, each time over the shipped values;
    // a missing file is said once a run.
    options = shippedOptions();
    qs::ReadOptions(options, files.userPath(kOptionsFile), log,
                    [this](const std::string& caption, const std::string& text) {
                        if (optionsMissingShown_) return;
                        optionsMissingShown_ = true;
                        platform_.showMessageBox(caption, text);
                    });
}

bool SceneServices::WriteOptionValue(const std::string& key, const std::string& value) {
    return qs::WriteOptionValue(files.userPath(kOptionsFile), key, value, log);
}

}  // namespace qs
