#pragma once

#include <string>
#include <vector>

#include "core/list_entry.h"

namespace qs {

class FileSystem;
class Log;

// Reads a resource list ("loading" -> loading.msl, "music.ini", ...) into `list`, replacing
// it unless `append`. Entries are trimmed, comments dropped, repeated entries skipped (the
// first one stays); each keeps the list's file name and its line. A missing list is logged
// and leaves the list as it was (emptied when replacing); returns false then.
bool ReadLoadList(std::vector<ListEntry>& list, const std::string& name, bool append,
                  const FileSystem& files, Log& log);

// The file name a list name stands for: lower-cased, trimmed, ".msl" added without a ".".
std::string loadListFileName(const std::string& name);

}  // namespace qs
