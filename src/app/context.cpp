#include "app/context.h"

#include "render/platform.h"

namespace qs {

Context::Context(std::unique_ptr<Clock> clock, FileSystem fileSystem, Platform& platform,
                 uint32_t seed)
    : files(std::move(fileSystem)),
      log(files.userPath("log.txt")),
      random(seed),
      clock_(std::move(clock)),
      platform_(platform) {}

void Context::ReadOptions() {
    qs::ReadOptions(options, files.userPath(kOptionsFile), log,
                    [this](const std::string& caption, const std::string& text) {
                        platform_.showMessageBox(caption, text);
                    });
}

bool Context::WriteOptionValue(const std::string& key, const std::string& value) {
    return qs::WriteOptionValue(files.userPath(kOptionsFile), key, value, log);
}

}  // namespace qs
