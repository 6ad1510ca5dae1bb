#include "core/log.h"

#include <cstdio>
#include <ctime>
#include <iostream>

namespace qs {

Log::Log(std::filesystem::path file, Stamp stamp)
    : file_(std::move(file)), stamp_(stamp ? std::move(stamp) : Stamp(&Log::localStamp)) {}

std::string Log::localStamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[64];
    // The time is left out at exactly midnight, as the classic date-time formatting does.
    if (local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0)
        std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &local);
    else
        std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return buffer;
}

void Log::WriteLog(const std::string& message) {
    if (echo_) std::cerr << "log: " << message << '\n';
    if (!enabled_ || file_.empty()) return;
    std::string line = stamp_() + " : " + message + "\r\n";
    if (line.size() > 255) line.resize(255);
    std::FILE* f = std::fopen(file_.c_str(), "ab");
    if (!f) return;
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
}

Log::Scope::Scope(Log& log, std::string where) : log_(log) {
    log_.places_.push_back(std::move(where));
}

Log::Scope::~Scope() { log_.places_.pop_back(); }

void Log::error(const std::string& text) {
    std::string message;
    for (const std::string& place : places_) {
        if (!place.empty()) message += place + ": ";
    }
    message += text;
    ++errorCount_;
    if (errorSink_) {
        errorSink_(message);
        WriteLog(message);
        return;
    }
    // A content error repeated by every object built from the same file is said once.
    if (!echo_ && message != lastError_) std::cerr << "quibblestar: " << message << '\n';
    lastError_ = message;
    WriteLog(message);
}

}  // namespace qs
