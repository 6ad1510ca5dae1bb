#include "app/load_list.h"

#include <algorithm>

#include "core/file_system.h"
#include "core/log.h"
#include "core/text_util.h"

namespace qs {

std::string loadListFileName(const std::string& name) {
    std::string file = toLower(trim(name));
    if (file.find('.') == std::string::npos) file += ".msl";
    return file;
}

bool ReadLoadList(std::vector<ListEntry>& list, const std::string& name, bool append,
                  const FileSystem& files, Log& log) {
    if (!append) list.clear();
    const std::string file = loadListFileName(name);
    std::optional<std::string> text = files.readContent(file);
    if (!text) {
        log.error("resource list " + file + " is missing");
        return false;
    }
    const std::vector<std::string> lines = splitLines(*text);
    int entries = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string entry = trim(cutLine(lines[i]));
        if (entry.empty() || entry[0] == ';') continue;
        size_t comment = entry.find(';');
        if (comment != std::string::npos) entry = trim(entry.substr(0, comment));
        if (entry.empty()) continue;
        ++entries;
        auto same = [&entry](const ListEntry& listed) { return listed.text == entry; };
        if (std::find_if(list.begin(), list.end(), same) != list.end()) continue;
        list.push_back({entry, file, static_cast<int>(i) + 1});
    }
    // Every list the game reads by name has something to load: an empty one leaves the game
    // without its pictures, music or sounds, which must not pass unnoticed.
    if (entries == 0) log.error("resource list " + file + " lists nothing");
    return true;
}

}  // namespace qs
