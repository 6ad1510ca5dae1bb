#pragma once

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace qs::test {

struct RunResult {
    int exitCode = -1;
    std::string output;  // standard output
};

// Runs a shell command line and captures its standard output.
inline RunResult runCommand(const std::string& command) {
    RunResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The number after "key": in a flat JSON text, or nothing.
inline std::optional<long long> jsonNumber(const std::string& json, const std::string& key) {
    std::string pattern = "\"" + key + "\":";
    size_t at = json.find(pattern);
    if (at == std::string::npos) return std::nullopt;
    return std::strtoll(json.c_str() + at + pattern.size(), nullptr, 10);
}

inline std::string game() { return QUIBBLESTAR_BINARY; }
inline std::string dataDir() { return std::string(QUIBBLESTAR_SOURCE_DIR) + "/data"; }

}  // namespace qs::test
