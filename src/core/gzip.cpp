#include "core/gzip.h"

#include <zlib.h>

namespace qs {

namespace {

// 15 bits of window, plus 16: the gzip wrapper rather than the bare zlib one.
constexpr int kGzipWindowBits = 15 + 16;

}  // namespace

std::string gzipText(const std::string& text) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    std::string out(deflateBound(&stream, static_cast<uLong>(text.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return rc == Z_STREAM_END ? out : std::string();
}

bool looksGzipped(const std::string& bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
           static_cast<unsigned char>(bytes[1]) == 0x8b;
}

std::optional<std::string> gunzipText(const std::string& bytes, std::size_t limit, std::string* error) {
    auto fail = [&](const std::string& why, uLong at) -> std::optional<std::string> {
        if (error) *error = "byte " + std::to_string(at) + ": " + why;
        return std::nullopt;
    };
    z_stream stream{};
    if (inflateInit2(&stream, kGzipWindowBits) != Z_OK) return fail("cannot unpack (out of memory)", 0);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    std::string out;
    char buffer[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        rc = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
        if (out.size() > limit) {
            const uLong at = stream.total_in;
            inflateEnd(&stream);
            return fail("unpacks to more than " + std::to_string(limit) + " bytes", at);
        }
        if (rc == Z_BUF_ERROR && stream.avail_in == 0) break;
    }
    const uLong at = stream.total_in;
    const char* message = stream.msg;
    inflateEnd(&stream);
    if (rc == Z_STREAM_END) {
        if (at != bytes.size()) return fail("more bytes after the packed text", at);
        return out;
    }
    if (rc == Z_BUF_ERROR || rc == Z_OK) return fail("the packed text is cut short", at);
    return fail(std::string("the packed text is damaged") + (message ? std::string(" (") + message + ")" : ""), at);
}

}  // namespace qs
