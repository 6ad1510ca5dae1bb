#include "profile/save_file.h"

#include "core/file_system.h"
#include "core/log.h"

namespace qs {

bool isSaveControl(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    constexpr unsigned char kFirstPrintable = 0x20;
    constexpr unsigned char kDelete = 0x7F;
    return (u < kFirstPrintable && c != '\t') || u == kDelete;
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

std::filesystem::path damagedCopyPath(const std::filesystem::path& path, int n) {
    std::filesystem::path copy = path;
    copy += n <= 1 ? ".bad" : ".bad." + std::to_string(n);
    return copy;
}

bool keepDamagedOriginal(const std::filesystem::path& path, const std::string& text, Log& log, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target;
    fs::path oldest;
    fs::file_time_type oldestTime = fs::file_time_type::max();
    for (int n = 1; n <= kDamagedCopiesKept; ++n) {
        const fs::path copy = damagedCopyPath(path, n);
        const fs::file_status status = fs::symlink_status(copy, ec);
        if (status.type() == fs::file_type::not_found) {
            if (target.empty()) target = copy;
            continue;
        }
        // The same damage read again (a save that failed after its copy was kept) needs no
        // second copy.
        if (status.type() == fs::file_type::regular && FileSystem::readFile(copy) == text) return true;
        const fs::file_time_type time = fs::last_write_time(copy, ec);
        if (!ec && status.type() == fs::file_type::regular && time < oldestTime) {
            oldestTime = time;
            oldest = copy;
        }
    }
    if (target.empty()) {
        if (oldest.empty()) {
            if (error) *error = "every name for a copy is taken by something that is not a file";
            return false;
        }
        target = oldest;
        log.WriteLog(path.string() + " has been damaged " + std::to_string(kDamagedCopiesKept) +
                     " times; the oldest copy " + target.string() + " gives way to the newest");
    }
    if (!FileSystem::writeFileAtomic(target, text, error)) return false;
    log.WriteLog(path.string() + " was damaged; the original is kept as " + target.string());
    return true;
}

bool writeSave(const std::filesystem::path& path, const std::string& text,
               std::optional<std::string>& damagedOriginal, Log& log, std::string* failure) {
    std::string error;
    auto fail = [&](const std::string& why) {
        if (failure)
            *failure = why;
        else
            log.error(why);
        return false;
    };
    if (damagedOriginal) {
        if (!keepDamagedOriginal(path, *damagedOriginal, log, &error))
            return fail(path.string() + " is not saved: its damaged original could not be kept beside it (" + error +
                        ")");
        damagedOriginal.reset();
    }
    if (!FileSystem::writeFileAtomic(path, text, &error)) return fail(path.string() + " is not saved: " + error);
    return true;
}

SaveReader::Result SaveReader::read(const std::filesystem::path& path, std::size_t limit, std::string& text) {
    namespace fs = std::filesystem;
    if (closed_) return Result::kClosed;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) return Result::kMissing;
    std::string why;
    if (ec) {
        why = ec.message();
    } else if (status.type() != fs::file_type::regular) {
        why = "it is not a regular file";
    } else if (std::optional<std::string> read = FileSystem::readFile(path, &why, limit)) {
        text = std::move(*read);
        return Result::kRead;
    }
    close(path, why);
    return Result::kClosed;
}

void SaveReader::close(const std::filesystem::path& path, const std::string& reason) {
    closed_ = true;
    log_.error(path.string() + " cannot be read (" + reason + "); it will not be written during this run");
    if (tellPlayer_)
        tellPlayer_("The " + kind_ + " " + path.string() + " cannot be read (" + reason + "). It is left as it is, and " +
                    loss_ + " until the game is started again.");
}

}  // namespace qs
