#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace qs {

// The diagnostic trace "log.txt". Off by default; when on, every entry is appended and the
// file closed again, so the log is complete up to the last entry even after a crash.
class Log {
public:
    using Stamp = std::function<std::string()>;

    explicit Log(std::filesystem::path file = {}, Stamp stamp = {});

    void setFile(std::filesystem::path file) { file_ = std::move(file); }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool enabled() const { return enabled_; }
    // Entries also echoed to stderr (headless runs show what went wrong without a file).
    void setEcho(bool echo) { echo_ = echo; }

    // One entry: time stamp, " : ", message, CR LF, the whole cut at 255 characters.
    // A failing write is swallowed: the log must never take the game down.
    void WriteLog(const std::string& message);

    // Content and save errors are worth seeing even with the log off: they always reach
    // stderr in headless runs and the log when it is on.
    void error(const std::string& message);

    static std::string localStamp();

    // While a Scope lives, every error starts with the place it names ("main.msl line 12: "):
    // a list entry's problems are found deep inside the loaders, which know nothing of the
    // list. Scopes nest, outermost first.
    class Scope {
    public:
        Scope(Log& log, std::string where);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Log& log_;
    };

    // Receives every error instead of stderr (the content checker, strict runs).
    void setErrorSink(std::function<void(const std::string&)> sink) { errorSink_ = std::move(sink); }
    int errorCount() const { return errorCount_; }

private:
    std::filesystem::path file_;
    Stamp stamp_;
    bool enabled_ = false;
    bool echo_ = false;
    std::string lastError_;
    std::function<void(const std::string&)> errorSink_;
    int errorCount_ = 0;
    std::vector<std::string> places_;  // the live scopes' places; empty ones say nothing
};

}  // namespace qs
