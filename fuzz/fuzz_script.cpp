// libFuzzer target for the headless run's script reader. A script read is in time order,
// its mouse buttons are left, right or middle and its counts are sane; a script refused
// always says why.
//   scripts/fuzz 30 fuzz_script     (builds it and runs on fuzz/corpus/script)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<qs::Script> script = qs::parseScript(text, &error);
    if (!script) {
        if (error.empty()) abort();
        return 0;
    }
    using Kind = qs::ScriptCommand::Kind;
    for (size_t i = 0; i < script->commands.size(); ++i) {
        const qs::ScriptCommand& c = script->commands[i];
        if (i > 0 && c.time < script->commands[i - 1].time) abort();
        if ((c.kind == Kind::MouseDown || c.kind == Kind::MouseUp || c.kind == Kind::Click) &&
            (c.button < 1 || c.button > 3))
            abort();
        if (c.kind == Kind::Button && c.button < 0) abort();
        if (c.line < 1) abort();
    }
    return 0;
}
