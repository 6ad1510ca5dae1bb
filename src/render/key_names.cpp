#include <cctype>
#include <cstdlib>
#include <string>

#include "render/key_codes.h"

namespace qs {

int virtualKeyFromName(const char* name) {
    if (!name || !*name) return 0;
    // One character is that key ("7" is the digit key); longer numbers are codes ("65").
    if (name[1] == '\0') {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
        if (c >= 'a' && c <= 'z') return kVkA + (c - 'a');
        if (c >= '0' && c <= '9') return kVk0 + (c - '0');
        return 0;
    }
    char* end = nullptr;
    long number = std::strtol(name, &end, 10);
    if (*end == '\0') return (number > 0 && number < 256) ? static_cast<int>(number) : 0;
    std::string lower;
    for (const char* p = name; *p; ++p) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    static const struct { const char* name; int code; } kNamed[] = {
        {"backspace", kVkBack}, {"tab", kVkTab},       {"enter", kVkReturn},
        {"return", kVkReturn},  {"shift", kVkShift},   {"ctrl", kVkControl},
        {"alt", kVkMenu},       {"pause", kVkPause},   {"escape", kVkEscape},
        {"esc", kVkEscape},     {"space", kVkSpace},   {"pageup", kVkPrior},
        {"pagedown", kVkNext},  {"end", kVkEnd},       {"home", kVkHome},
        {"left", kVkLeft},      {"up", kVkUp},         {"right", kVkRight},
        {"down", kVkDown},      {"insert", kVkInsert}, {"delete", kVkDelete},
        {"minus", kVkMinus},
        {"period", kVkPeriod},
    };
    for (const auto& entry : kNamed) {
        if (lower == entry.name) return entry.code;
    }
    if (lower.size() == 1 && lower[0] >= 'a' && lower[0] <= 'z') return kVkA + (lower[0] - 'a');
    if (lower.size() == 1 && lower[0] >= '0' && lower[0] <= '9') return kVk0 + (lower[0] - '0');
    if (lower.size() >= 2 && lower[0] == 'f') {
        int n = std::atoi(lower.c_str() + 1);
        if (n >= 1 && n <= 12) return kVkF1 + n - 1;
    }
    return 0;
}

}  // namespace qs
