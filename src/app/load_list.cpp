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

bool ReadLoadList(std::vector<std::string>& list, const std::string& name, bool append,
                  const FileSystem& files, Log& log) {
    if (!append) list.clear();
    const std::string file = loadListFileName(name);
    std::optional<std::string> text = files.readContent(file);
    if (!text) {
        log.error("resource list " + file + " is missing");
        return false;
    }
    for (const std::string& raw : splitLines(*text)) {
        std::string entry = trim(cutLine(raw));
        if (entry.empty() || entry[0] == ';') continue;
        size_t comment = entry.find(';');
        if (comment != std::string::npos) entry = trim(entry.substr(0, comment));
        if (entry.empty()) continue;
        if (std::find(list.begin(), list.end(), entry) != list.end()) continue;
        list.push_back(entry);
    }
    return true;
}

}  // namespace qs
