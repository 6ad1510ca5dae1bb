// libFuzzer target for the resource list reader (.msl, music.ini, sound.ini). Every entry
// read is trimmed, free of comments and listed once, with its line inside the file; reading
// the same list again in append mode adds nothing.
//   scripts/fuzz 30 fuzz_lists     (builds it and runs on fuzz/corpus/lists)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/load_list.h"
#include "content_root.h"
#include "core/log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzzing::ContentRoot root("lists");
    root.write("fuzz.msl", data, size);
    qs::Log log;
    std::vector<qs::ListEntry> list;
    if (!qs::ReadLoadList(list, " Fuzz ", false, root.files(), log)) abort();  // the file is there
    const int lines = static_cast<int>(std::count(data, data + size, '\n') + std::count(data, data + size, '\r')) + 1;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string& text = list[i].text;
        if (text.empty() || text.find(';') != std::string::npos) abort();
        if (text.front() == ' ' || text.back() == ' ' || text.front() == '\t' || text.back() == '\t') abort();
        if (list[i].line < 1 || list[i].line > lines || list[i].file != "fuzz.msl") abort();
        if (i > 0 && list[i].line <= list[i - 1].line) abort();
        for (size_t j = 0; j < i; ++j)
            if (list[j].text == text) abort();
    }
    const size_t count = list.size();
    if (!qs::ReadLoadList(list, "fuzz", true, root.files(), log) || list.size() != count) abort();
    return 0;
}
