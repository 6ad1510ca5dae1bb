#pragma once

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

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

// The text of the value after the first "key": (an object, an array, a string or a number),
// or nothing when the key is absent.
inline std::string jsonValue(const std::string& json, const std::string& key) {
    const std::string pattern = "\"" + key + "\":";
    const size_t at = json.find(pattern);
    if (at == std::string::npos) return {};
    const size_t start = at + pattern.size();
    int depth = 0;
    bool inString = false;
    size_t i = start;
    for (; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
                if (depth == 0) return json.substr(start, i + 1 - start);
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (depth == 0) break;
            if (--depth == 0) return json.substr(start, i + 1 - start);
        } else if (c == ',' && depth == 0) {
            break;
        }
    }
    return json.substr(start, i - start);
}

// The strings of a JSON array of strings (escapes of quotes and backslashes undone).
inline std::vector<std::string> jsonStrings(const std::string& array) {
    std::vector<std::string> strings;
    std::string current;
    bool inString = false;
    for (size_t i = 0; i < array.size(); ++i) {
        const char c = array[i];
        if (!inString) {
            if (c == '"') inString = true;
            continue;
        }
        if (c == '\\' && i + 1 < array.size()) {
            current += array[++i];
        } else if (c == '"') {
            strings.push_back(current);
            current.clear();
            inString = false;
        } else {
            current += c;
        }
    }
    return strings;
}

// What the recording sound library was asked to do, by sound name: "play NAME #CHANNEL" for
// every sample played and "stop #CHANNEL" for every channel stopped, in order. The channel
// numbers are worked out the way the recording library hands them out (one counter for the
// loads and the plays), so a run must not have dropped any call.
inline std::vector<std::string> soundLog(const std::string& dump) {
    std::map<long, std::string> names;
    const std::string sounds = jsonValue(dump, "sounds");
    static const std::regex entry("\\{\"name\":\"([^\"]*)\",\"kind\":-?\\d+,\"handle\":(\\d+)");
    for (auto it = std::sregex_iterator(sounds.begin(), sounds.end(), entry); it != std::sregex_iterator(); ++it)
        names[std::stol((*it)[2])] = (*it)[1];
    std::vector<std::string> log;
    long handle = 0;
    for (const std::string& call : jsonStrings(jsonValue(dump, "calls"))) {
        if (call.rfind("load_", 0) == 0) {
            ++handle;
        } else if (call.rfind("play_sample ", 0) == 0) {
            const long sample = std::stol(call.substr(12));
            if (sample == 0) continue;
            ++handle;
            log.push_back("play " + (names.count(sample) ? names[sample] : "?") + " #" + std::to_string(handle));
        } else if (call.rfind("stop ", 0) == 0) {
            log.push_back("stop #" + call.substr(5));
        }
    }
    return log;
}

// How often a sound was played in a run.
inline int timesPlayed(const std::string& dump, const std::string& name) {
    int count = 0;
    for (const std::string& line : soundLog(dump))
        if (line.rfind("play " + name + " #", 0) == 0) ++count;
    return count;
}

inline std::string game() { return QUIBBLESTAR_BINARY; }
inline std::string dataDir() { return std::string(QUIBBLESTAR_SOURCE_DIR) + "/data"; }

}  // namespace qs::test
