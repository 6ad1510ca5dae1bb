#include "game/replay.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "core/gzip.h"

namespace qs {

namespace {

// A run list line holds at most this many runs: short lines, and a damaged one is easy to find.
constexpr int kRunsPerLine = 16;
// More steps than four billion would be years of play.
constexpr uint64_t kMaxSteps = 0xFFFFFFFFull;

std::string commandName(const GameCommand& command) {
    const std::string text = describe(command);
    return text.substr(0, text.find(' '));
}

// Every command type, each at its default value: the names a replay may use.
template <size_t... I>
std::vector<GameCommand> everyCommand(std::index_sequence<I...>) {
    return {GameCommand(std::in_place_index<I>)...};
}

const std::vector<GameCommand>& commandTypes() {
    static const std::vector<GameCommand> types =
        everyCommand(std::make_index_sequence<std::variant_size_v<GameCommand>>{});
    return types;
}

// Whole words of a line, split at single blanks.
std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    std::string word;
    while (in >> word) out.push_back(word);
    return out;
}

std::optional<uint64_t> parseU64(const std::string& text, uint64_t max) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (max - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<int64_t> parseI64(const std::string& text, int64_t min, int64_t max) {
    if (text.empty()) return std::nullopt;
    const bool negative = text[0] == '-';
    std::optional<uint64_t> magnitude = parseU64(negative ? text.substr(1) : text, 0x7FFFFFFFFFFFFFFFull);
    if (!magnitude) return std::nullopt;
    const int64_t value = negative ? -static_cast<int64_t>(*magnitude) : static_cast<int64_t>(*magnitude);
    if (value < min || value > max) return std::nullopt;
    return value;
}

std::optional<uint64_t> parseHash(const std::string& text) {
    if (text.size() != 16) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) return std::nullopt;
        value = value << 4 | static_cast<uint64_t>(digit);
    }
    return value;
}

// A name as a header line can hold it: control characters become blanks.
std::string lineSafe(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return out;
}

// Reads the replay text line by line, each step checked against what came before.
class ReplayReader {
public:
    explicit ReplayReader(const std::string& text) : text_(text) {}

    std::optional<Replay> read(std::string* error) {
        if (!readAll()) {
            if (error) *error = "line " + std::to_string(line_) + ": " + problem_;
            return std::nullopt;
        }
        return std::move(replay_);
    }

private:
    bool fail(const std::string& why) {
        problem_ = why;
        return false;
    }

    // The next line into current_ (its line ending removed); false at the end of the text.
    bool next() {
        if (pos_ >= text_.size()) {
            ++line_;
            current_.clear();
            return false;
        }
        size_t end = text_.find('\n', pos_);
        if (end == std::string::npos) end = text_.size();
        current_ = text_.substr(pos_, end - pos_);
        if (!current_.empty() && current_.back() == '\r') current_.pop_back();
        pos_ = end + 1;
        ++line_;
        return true;
    }

    // The next line must be "key value..." for this key: its words after the key.
    bool keyed(const char* key, size_t count, std::vector<std::string>* out) {
        if (!next()) return fail(std::string("the file ends where \"") + key + "\" was due (cut short?)");
        std::vector<std::string> w = words(current_);
        if (w.empty() || w[0] != key)
            return fail(std::string("\"") + key + "\" expected, found \"" + current_.substr(0, 40) + "\"");
        if (w.size() != count + 1)
            return fail(std::string("\"") + key + "\" takes " + std::to_string(count) + " value(s), found " +
                        std::to_string(w.size() - 1));
        out->assign(w.begin() + 1, w.end());
        return true;
    }

    bool readAll() {
        ReplayHeader& h = replay_.header;
        std::vector<std::string> v;
        if (!next()) return fail("the file is empty");
        {
            std::vector<std::string> w = words(current_);
            if (w.size() != 2 || w[0] != kReplayMagic) return fail("not a quibblestar replay");
            std::optional<uint64_t> format = parseU64(w[1], 1000000);
            if (!format) return fail("the format version \"" + w[1] + "\" is not a number");
            if (*format != static_cast<uint64_t>(kReplayFormatVersion))
                return fail("format version " + w[1] + " (this game reads version " +
                            std::to_string(kReplayFormatVersion) + ")");
            h.formatVersion = static_cast<int>(*format);
        }
        if (!keyed("game-version", 1, &v)) return false;
        h.gameVersion = v[0];
        if (!keyed("content", 1, &v)) return false;
        std::optional<uint64_t> fingerprint = parseHash(v[0]);
        if (!fingerprint) return fail("the content fingerprint is not 16 hexadecimal digits");
        h.contentFingerprint = *fingerprint;
        if (!keyed("seed", 1, &v)) return false;
        std::optional<uint64_t> seed = parseU64(v[0], 0xFFFFFFFFull);
        if (!seed) return fail("the seed is not a number from 0 to 4294967295");
        h.seed = static_cast<uint32_t>(*seed);
        if (!keyed("mode", 1, &v)) return false;
        std::optional<GameMode> mode = parseGameMode(v[0]);
        if (!mode) return fail("the mode \"" + v[0] + "\" is none of arcade, challenge, puzzle");
        h.mode = *mode;
        if (!keyed("beg-level", 1, &v)) return false;
        std::optional<int64_t> begLevel = parseI64(v[0], 0, 9999);
        if (!begLevel) return fail("the start level is not a number from 0 to 9999");
        h.begLevel = static_cast<int>(*begLevel);
        if (!keyed("start", 4, &v)) return false;
        std::optional<int64_t> level = parseI64(v[0], -2147483648LL, 2147483647LL);
        std::optional<int64_t> score = parseI64(v[1], INT64_MIN + 1, INT64_MAX);
        std::optional<int64_t> checkpoint = parseI64(v[2], INT64_MIN + 1, INT64_MAX);
        std::optional<int64_t> continueFlag = parseI64(v[3], -1, 1);
        if (!level || !score || !checkpoint || !continueFlag)
            return fail("the saved start is not level, score, checkpoint score and a continue flag of -1, 0 or 1");
        h.start = SavedProgress{static_cast<int>(*level), *score, *checkpoint, static_cast<int>(*continueFlag)};
        if (!next() || (current_ != "player" && current_.rfind("player ", 0) != 0)) return fail("\"player\" expected");
        h.player = current_.size() > 7 ? current_.substr(7) : std::string();
        if (!keyed("begin-clock", 1, &v)) return false;
        std::optional<uint64_t> begin = parseU64(v[0], 0xFFFFFFFFull);
        if (!begin) return fail("the begin clock is not a number from 0 to 4294967295");
        h.beginClock = static_cast<uint32_t>(*begin);
        while (true) {
            if (!next()) return fail("the file ends in the header (cut short?)");
            std::vector<std::string> w = words(current_);
            if (w.size() == 1 && w[0] == "clock") break;
            if (w.empty() || w[0] != "option")
                return fail("\"option\" or \"clock\" expected, found \"" + current_.substr(0, 40) + "\"");
            if (w.size() != 3) return fail("an option line is \"option KEY VALUE\"");
            std::optional<int64_t> value = parseI64(w[2], -2147483648LL, 2147483647LL);
            if (!value) return fail("the option " + w[1] + " has no whole number");
            h.options.push_back({w[1], static_cast<int>(*value)});
        }
        return readClock() && readCommands() && readHashes() && readResult();
    }

    bool readClock() {
        uint64_t total = 0;
        while (true) {
            if (!next()) return fail("the file ends in the clock runs (cut short?)");
            if (current_ == "commands") break;
            std::vector<std::string> runs = words(current_);
            if (runs.empty() || runs.size() > static_cast<size_t>(kRunsPerLine))
                return fail("a clock line holds 1 to " + std::to_string(kRunsPerLine) + " runs \"DELTA*COUNT\"");
            for (const std::string& run : runs) {
                const size_t star = run.find('*');
                std::optional<uint64_t> delta =
                    star == std::string::npos ? std::nullopt : parseU64(run.substr(0, star), 0xFFFFFFFFull);
                std::optional<uint64_t> count =
                    star == std::string::npos ? std::nullopt : parseU64(run.substr(star + 1), 0xFFFFFFFFull);
                if (!delta || !count || *count == 0)
                    return fail("the clock run \"" + run.substr(0, 30) + "\" is not DELTA*COUNT with a count from 1");
                total += *count;
                if (total > kMaxSteps) return fail("more steps than any game has");
                replay_.clock.push_back({static_cast<uint32_t>(*delta), static_cast<uint32_t>(*count)});
            }
        }
        steps_ = total;
        return true;
    }

    bool readCommands() {
        uint64_t last = 0;
        std::optional<command::Pointer> pointer;
        while (true) {
            if (!next()) return fail("the file ends in the commands (cut short?)");
            if (current_ == "hashes") break;
            const size_t space = current_.find(' ');
            std::optional<uint64_t> later =
                space == std::string::npos ? std::nullopt : parseU64(current_.substr(0, space), kMaxSteps);
            if (!later) return fail("a command line is \"STEPS COMMAND\" (STEPS after the line before)");
            const uint64_t step = last + *later;
            if (step >= steps_)
                return fail("step " + std::to_string(step) + " is past the last step (" + std::to_string(steps_) +
                            " steps in the clock runs)");
            const std::string text = current_.substr(space + 1);
            std::optional<GameCommand> command;
            if (text.rfind("move ", 0) == 0) {
                if (!pointer) return fail("a pointer move with no pointer position before it");
                const std::vector<std::string> w = words(text);
                std::optional<int64_t> dx = w.size() == 3 ? parseI64(w[1], -200000, 200000) : std::nullopt;
                std::optional<int64_t> dy = w.size() == 3 ? parseI64(w[2], -200000, 200000) : std::nullopt;
                if (!dx || !dy) return fail("a pointer move is \"move DX DY\"");
                command = parseReplayCommand("pointer " + std::to_string(pointer->x + *dx) + " " +
                                             std::to_string(pointer->y + *dy));
                if (!command) return fail("the pointer moves out of every picture");
            } else {
                command = parseReplayCommand(text);
                if (!command) return fail("\"" + text.substr(0, 40) + "\" is no command of the game");
            }
            if (const auto* p = std::get_if<command::Pointer>(&*command)) pointer = *p;
            replay_.commands.push_back({step, *command});
            last = step;
        }
        return true;
    }

    bool readHashes() {
        uint64_t last = 0;
        while (true) {
            if (!next()) return fail("the file ends in the state hashes (cut short?)");
            if (current_.rfind("result ", 0) == 0) break;
            std::vector<std::string> w = words(current_);
            std::optional<uint64_t> steps = w.size() == 2 ? parseU64(w[0], kMaxSteps) : std::nullopt;
            std::optional<uint64_t> hash = w.size() == 2 ? parseHash(w[1]) : std::nullopt;
            if (!steps || !hash) return fail("a hash line is \"STEPS HASH\" (16 hexadecimal digits)");
            if (*steps <= last && !replay_.hashes.empty())
                return fail("the hash after step " + std::to_string(*steps) + " is out of order");
            if (*steps > steps_) return fail("a hash after step " + std::to_string(*steps) + ", past the last step");
            replay_.hashes.push_back({*steps, *hash});
            last = *steps;
        }
        return true;
    }

    bool readResult() {
        std::vector<std::string> w = words(current_);
        if (w.size() != 6) return fail("the result is \"result MODE LEVEL SCORE HASH STEPS\"");
        ReplayResult& r = replay_.result;
        std::optional<GameMode> mode = parseGameMode(w[1]);
        std::optional<int64_t> level = parseI64(w[2], -2147483648LL, 2147483647LL);
        std::optional<int64_t> score = parseI64(w[3], INT64_MIN + 1, INT64_MAX);
        std::optional<uint64_t> hash = parseHash(w[4]);
        std::optional<uint64_t> steps = parseU64(w[5], kMaxSteps);
        if (!mode || !level || !score || !hash || !steps)
            return fail("the result is \"result MODE LEVEL SCORE HASH STEPS\"");
        if (*steps != steps_)
            return fail("the result is after step " + w[5] + " but the clock runs hold " + std::to_string(steps_));
        r = ReplayResult{*mode, static_cast<int>(*level), *score, *hash, *steps};
        if (!next() || current_ != "end") return fail("\"end\" expected after the result (cut short?)");
        while (next())
            if (!current_.empty()) return fail("text after \"end\"");
        return true;
    }

    const std::string& text_;
    size_t pos_ = 0;
    int line_ = 0;
    std::string current_;
    std::string problem_;
    uint64_t steps_ = 0;
    Replay replay_;
};

}  // namespace

uint64_t Replay::stepCount() const {
    uint64_t total = 0;
    for (const ClockRun& run : clock) total += run.count;
    return total;
}

std::string hashText(uint64_t hash) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, hash);
    return text;
}

std::string replayCommandText(const GameCommand& command) {
    // The bot's aim must come back to the very same double: hexadecimal keeps every bit.
    if (const auto* aim = std::get_if<command::AimAngle>(&command)) {
        char text[64];
        std::snprintf(text, sizeof text, "aim_angle %a", aim->radians);
        return text;
    }
    return describe(command);
}

std::optional<GameCommand> parseReplayCommand(const std::string& text) {
    std::vector<std::string> w = words(text);
    if (w.empty()) return std::nullopt;
    if (w[0] == "pointer") {
        std::optional<int64_t> x = w.size() == 3 ? parseI64(w[1], -100000, 100000) : std::nullopt;
        std::optional<int64_t> y = w.size() == 3 ? parseI64(w[2], -100000, 100000) : std::nullopt;
        if (!x || !y) return std::nullopt;
        return command::Pointer{static_cast<int>(*x), static_cast<int>(*y)};
    }
    if (w[0] == "aim_angle") {
        if (w.size() != 2) return std::nullopt;
        char* end = nullptr;
        const double radians = std::strtod(w[1].c_str(), &end);
        if (end != w[1].c_str() + w[1].size() || !(radians > -10 && radians < 10)) return std::nullopt;
        return command::AimAngle{radians};
    }
    if (w.size() != 1) return std::nullopt;
    for (const GameCommand& type : commandTypes())
        if (commandName(type) == w[0]) return type;
    return std::nullopt;
}

std::string replayText(const Replay& replay) {
    const ReplayHeader& h = replay.header;
    std::string out;
    out.reserve(64 * 1024);
    auto line = [&out](const std::string& text) {
        out += text;
        out += '\n';
    };
    line(std::string(kReplayMagic) + " " + std::to_string(h.formatVersion));
    const std::vector<std::string> version = words(h.gameVersion);
    line("game-version " + (version.empty() ? std::string("unknown") : version[0]));
    line("content " + hashText(h.contentFingerprint));
    line("seed " + std::to_string(h.seed));
    line(std::string("mode ") + gameModeName(h.mode));
    line("beg-level " + std::to_string(h.begLevel));
    line("start " + std::to_string(h.start.level) + " " + std::to_string(h.start.score) + " " +
         std::to_string(h.start.checkpointScore) + " " + std::to_string(h.start.continueFlag));
    line(h.player.empty() ? std::string("player") : "player " + lineSafe(h.player));
    line("begin-clock " + std::to_string(h.beginClock));
    for (const ReplayOption& option : h.options) line("option " + option.key + " " + std::to_string(option.value));
    line("clock");
    for (size_t i = 0; i < replay.clock.size(); i += kRunsPerLine) {
        std::string runs;
        for (size_t j = i; j < replay.clock.size() && j < i + kRunsPerLine; ++j) {
            if (!runs.empty()) runs += ' ';
            runs += std::to_string(replay.clock[j].delta) + "*" + std::to_string(replay.clock[j].count);
        }
        line(runs);
    }
    line("commands");
    // Steps count from the line before and a pointer moves from where it was: the numbers
    // stay small, and an hour's file small with them.
    uint64_t last = 0;
    std::optional<command::Pointer> pointer;
    for (const ReplayCommand& command : replay.commands) {
        std::string text = replayCommandText(command.command);
        if (const auto* p = std::get_if<command::Pointer>(&command.command)) {
            if (pointer) text = "move " + std::to_string(p->x - pointer->x) + " " + std::to_string(p->y - pointer->y);
            pointer = *p;
        }
        line(std::to_string(command.step - last) + " " + text);
        last = command.step;
    }
    line("hashes");
    for (const ReplayHash& hash : replay.hashes) line(std::to_string(hash.steps) + " " + hashText(hash.hash));
    const ReplayResult& r = replay.result;
    line(std::string("result ") + gameModeName(r.mode) + " " + std::to_string(r.level) + " " + std::to_string(r.score) +
         " " + hashText(r.hash) + " " + std::to_string(r.steps));
    line("end");
    return out;
}

std::string packReplay(const Replay& replay) { return gzipText(replayText(replay)); }

std::optional<Replay> parseReplay(const std::string& bytes, std::string* error) {
    if (looksGzipped(bytes)) {
        std::optional<std::string> text = gunzipText(bytes, kReplayTextLimit, error);
        if (!text) return std::nullopt;
        return ReplayReader(*text).read(error);
    }
    if (bytes.size() > kReplayTextLimit) {
        if (error) *error = "byte " + std::to_string(kReplayTextLimit) + ": larger than any replay";
        return std::nullopt;
    }
    return ReplayReader(bytes).read(error);
}

}  // namespace qs
