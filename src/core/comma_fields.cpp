#include "core/comma_fields.h"

namespace qs {

std::string GetCommaField(const std::string& line, int n) {
    if (n < 1) return {};
    size_t start = 0;
    for (int field = 1; field < n; ++field) {
        size_t comma = line.find(',', start);
        if (comma == std::string::npos) return {};
        start = comma + 1;
    }
    size_t end = line.find(',', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace qs
