#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "visual/image_decoder.h"

namespace qs {

class FileSystem;

// An image read and decoded ahead of the loader that will cut it: what the loader would
// have got itself, the failure included.
struct PrefetchedImage {
    bool read = false;     // false: the file could not be read
    bool decoded = false;  // false: it could not be decoded (see error)
    DecodedImage image;
    std::string error;
};

// Reads and decodes images on a second thread while the loading goes on, so the next
// prototypes' images are ready when the loader reaches them. The loader still takes the
// images in its own order, and decodes any image itself that the thread has not begun.
class ImagePrefetcher {
public:
    // Images waiting or done are held up to about this many decoded bytes; requests
    // beyond it are left for the loader.
    static constexpr size_t kDefaultBudget = size_t{16} << 20;

    explicit ImagePrefetcher(const FileSystem& files, size_t budgetBytes = kDefaultBudget);
    ~ImagePrefetcher();
    ImagePrefetcher(const ImagePrefetcher&) = delete;
    ImagePrefetcher& operator=(const ImagePrefetcher&) = delete;

    // Asks for an image by its content name; a name asked for before is not decoded again.
    void request(const std::string& imagePath);
    // The image when the thread has it or is decoding it (then waits); nothing when it was
    // never asked for or not begun (the request is dropped: the caller decodes it).
    std::optional<PrefetchedImage> take(const std::string& imagePath);
    // Images decoded and not yet taken.
    size_t readyCount() const;
    // Processor time the thread has spent reading and decoding, up to its last image.
    double decodingCpuMs() const;

private:
    enum class State { Queued, Running, Done };
    struct Entry {
        State state = State::Queued;
        size_t bytes = 0;  // a guess from the file size until decoded
        PrefetchedImage result;
    };
    void run();

    const FileSystem& files_;
    size_t budget_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;   // new work or stop, for the thread
    std::condition_variable ready_;  // an image done, for take()
    std::deque<std::string> queue_;
    std::map<std::string, Entry> entries_;
    std::set<std::string> asked_;
    size_t held_ = 0;
    double decodingCpuMs_ = 0.0;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace qs
