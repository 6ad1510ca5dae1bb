#pragma once

#include <string>

namespace qs {

// One entry of a resource list and where it was read, so that whatever goes wrong with it
// later (the loading phase loads entries frames after the list was read) can say where to
// look.
struct ListEntry {
    std::string text;  // trimmed, comment removed: "name, file[, loop]" or just "file"
    std::string file;  // the list's file name ("main.msl"); empty for an entry from nowhere
    int line = 0;      // from 1

    // "main.msl line 12", or nothing for an entry that came from no list.
    std::string where() const {
        return file.empty() ? std::string() : file + " line " + std::to_string(line);
    }
};

}  // namespace qs
