#pragma once

#include <cstddef>
#include <cstdint>

namespace qs {

// Little-endian reads from a file held in memory. Callers check has() before reading;
// the reads themselves return 0 outside the buffer rather than touch memory beyond it.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t size() const { return size_; }
    // True when `count` bytes starting at `offset` lie inside the buffer.
    bool has(uint64_t offset, uint64_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    uint8_t u8(uint64_t offset) const { return has(offset, 1) ? data_[offset] : 0; }
    uint16_t u16(uint64_t offset) const {
        return has(offset, 2) ? static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8) : 0;
    }
    uint32_t u32(uint64_t offset) const {
        if (!has(offset, 4)) return 0;
        return static_cast<uint32_t>(data_[offset]) |
               static_cast<uint32_t>(data_[offset + 1]) << 8 |
               static_cast<uint32_t>(data_[offset + 2]) << 16 |
               static_cast<uint32_t>(data_[offset + 3]) << 24;
    }
    int32_t i32(uint64_t offset) const { return static_cast<int32_t>(u32(offset)); }

private:
    const uint8_t* data_;
    size_t size_;
};

}  // namespace qs
