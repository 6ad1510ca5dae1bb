#include "core/text_util.h"

#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <limits>

namespace qs {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

std::string toLower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

bool endsWithNoCase(const std::string& s, const std::string& suffix) {
    if (s.size() < suffix.size()) return false;
    return toLower(s.substr(s.size() - suffix.size())) == toLower(suffix);
}

std::string cutLine(const std::string& s, size_t limit) {
    return s.size() > limit ? s.substr(0, limit) : s;
}

std::optional<int> parseInt(const std::string& s) {
    if (s.empty()) return std::nullopt;
    size_t i = 0;
    bool negative = false;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        i = 1;
    }
    if (i == s.size()) return std::nullopt;
    long long value = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        value = value * 10 + (s[i] - '0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> parseIntOrHex(const std::string& s) {
    if (!s.empty() && s[0] == '$') {
        if (s.size() == 1 || s.size() > 9) return std::nullopt;
        unsigned long long value = 0;
        for (size_t i = 1; i < s.size(); ++i) {
            int digit;
            char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else return std::nullopt;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        return static_cast<int>(static_cast<uint32_t>(value));
    }
    return parseInt(s);
}

std::optional<double> parseReal(const std::string& s) {
    if (s.empty()) return std::nullopt;
    for (char c : s) {
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
              c == 'e' || c == 'E'))
            return std::nullopt;
    }
    // strtod follows the C locale, whose separator is "." too; the program never changes it.
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || errno == ERANGE) return std::nullopt;
    return value;
}

}  // namespace qs
