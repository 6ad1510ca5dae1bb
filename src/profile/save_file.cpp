#include "profile/save_file.h"

#include "core/file_system.h"
#include "core/log.h"

namespace qs {

bool isSaveControl(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return (u < 0x20 && c != '\t') || u == 0x7F;
}

std::string soundSaveLine(std::string line, std::size_t limit, const std::function<void(std::string)>& damage) {
    if (line.size() > limit) {
        damage("longer than " + std::to_string(limit) + " characters; the rest is dropped");
        line.resize(limit);
    }
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (isSaveControl(line[i])) {
            damage("control character " + std::to_string(static_cast<unsigned char>(line[i])) + " at column " +
                   std::to_string(i + 1) + "; the rest is dropped");
            line.resize(i);
            break;
        }
    }
    return line;
}

bool hasTextAfterField(const std::string& line, int field) {
    std::size_t start = 0;
    for (int f = 1; f <= field; ++f) {
        start = line.find(',', start);
        if (start == std::string::npos) return false;
        ++start;
    }
    for (std::size_t i = start; i < line.size(); ++i)
        if (line[i] != ',' && static_cast<unsigned char>(line[i]) > ' ') return true;
    return false;
}

bool writeSave(const std::filesystem::path& path, const std::string& text,
               std::optional<std::string>& damagedOriginal, Log& log) {
    std::string error;
    if (damagedOriginal) {
        std::filesystem::path kept = path;
        kept += ".bad";
        if (!FileSystem::writeFileAtomic(kept, *damagedOriginal, &error)) {
            log.error(path.string() + " is not saved: its damaged original could not be kept as " + kept.string() +
                      " (" + error + ")");
            return false;
        }
        log.WriteLog(path.string() + " was damaged; the original is kept as " + kept.string());
        damagedOriginal.reset();
    }
    if (!FileSystem::writeFileAtomic(path, text, &error)) {
        log.error(path.string() + " is not saved: " + error);
        return false;
    }
    return true;
}

}  // namespace qs
