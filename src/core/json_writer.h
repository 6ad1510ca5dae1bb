#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qs {

// A small streaming JSON writer for the state dump and the tools' reports.
class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const std::string& name);
    JsonWriter& value(const std::string& text);
    JsonWriter& value(const char* text) { return value(std::string(text)); }
    JsonWriter& value(int64_t number);
    JsonWriter& value(int number) { return value(static_cast<int64_t>(number)); }
    JsonWriter& value(uint32_t number) { return value(static_cast<int64_t>(number)); }
    JsonWriter& value(uint64_t number) { return value(static_cast<int64_t>(number)); }
    JsonWriter& value(double number);
    JsonWriter& value(bool flag);
    JsonWriter& null();

    template <typename T>
    JsonWriter& field(const std::string& name, const T& v) {
        key(name);
        return value(v);
    }

    const std::string& str() const { return out_; }
    static std::string escape(const std::string& text);

private:
    void separate();
    std::string out_;
    std::vector<bool> first_;  // per open container: nothing written in it yet
    bool afterKey_ = false;
};

}  // namespace qs
