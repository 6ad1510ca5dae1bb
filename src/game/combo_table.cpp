#include "game/combo_table.h"

#include <optional>

#include "core/comma_fields.h"
#include "core/file_system.h"
#include "core/log.h"
#include "core/text_util.h"

namespace qs {

std::vector<ComboText> readComboTable(const FileSystem& files, Log& log) {
    std::vector<ComboText> combos;
    std::optional<std::string> text = files.readContent(kComboFile);
    if (!text) {
        log.error(std::string(kComboFile) + " is missing: no combo factor and no combo texts");
        return combos;
    }
    int lineNumber = 0;
    for (const std::string& raw : splitLines(*text)) {
        ++lineNumber;
        const std::string line = cutLine(raw);
        if (trim(line).empty()) continue;
        std::optional<int> threshold = parseInt(GetCommaField(line, 1));
        if (!threshold) {
            log.error(std::string(kComboFile) + " line " + std::to_string(lineNumber) + ": the count \"" +
                      GetCommaField(line, 1) + "\" is not a whole number; line skipped");
            continue;
        }
        combos.push_back({*threshold, GetCommaField(line, 2)});
    }
    if (combos.empty()) log.error(std::string(kComboFile) + " holds no combo line: no combo factor and no combo texts");
    return combos;
}

}  // namespace qs
