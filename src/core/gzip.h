#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace qs {

// A text squeezed into the gzip format (what `zcat` reads), at zlib's default level.
std::string gzipText(const std::string& text);

// True when `bytes` starts like a gzip stream.
bool looksGzipped(const std::string& bytes);

// The text inside a gzip stream. Nothing when the stream is damaged, cut short, followed by
// more bytes, or would unpack past `limit` bytes; *error then says what and at which byte of
// the packed input it stopped making sense.
std::optional<std::string> gunzipText(const std::string& bytes, std::size_t limit, std::string* error);

}  // namespace qs
