#include "visual/image_prefetcher.h"

#include <algorithm>

#include "core/cpu_time.h"
#include "core/file_system.h"

namespace qs {

ImagePrefetcher::ImagePrefetcher(const FileSystem& files, size_t budgetBytes)
    : files_(files), budget_(budgetBytes), thread_([this] { run(); }) {}

ImagePrefetcher::~ImagePrefetcher() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void ImagePrefetcher::request(const std::string& imagePath) {
    if (imageKindOf(imagePath) == ImageKind::Unknown) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!asked_.insert(imagePath).second) return;
        entries_[imagePath] = Entry{};
        queue_.push_back(imagePath);
    }
    wake_.notify_one();
}

std::optional<PrefetchedImage> ImagePrefetcher::take(const std::string& imagePath) {
    std::unique_lock<std::mutex> lock(mutex_);
    auto it = entries_.find(imagePath);
    if (it == entries_.end()) return std::nullopt;
    if (it->second.state == State::Queued) {
        // Not begun: the caller is as quick decoding it itself.
        queue_.erase(std::remove(queue_.begin(), queue_.end(), imagePath), queue_.end());
        entries_.erase(it);
        return std::nullopt;
    }
    ready_.wait(lock, [&] { return it->second.state == State::Done; });
    PrefetchedImage result = std::move(it->second.result);
    held_ -= it->second.bytes;
    entries_.erase(it);
    wake_.notify_one();  // room under the budget again
    return result;
}

size_t ImagePrefetcher::readyCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<size_t>(std::count_if(entries_.begin(), entries_.end(), [](const auto& e) {
        return e.second.state == State::Done;
    }));
}

double ImagePrefetcher::decodingCpuMs() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return decodingCpuMs_;
}

void ImagePrefetcher::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || (!queue_.empty() && held_ < budget_); });
        if (stop_) return;
        const std::string path = queue_.front();
        queue_.pop_front();
        auto it = entries_.find(path);
        if (it == entries_.end()) continue;
        it->second.state = State::Running;
        lock.unlock();

        PrefetchedImage result;
        std::optional<std::string> file = files_.readContent(path);
        result.read = file.has_value();
        if (file) result.decoded = decodeImage(imageKindOf(path), *file, result.image, result.error);

        const double cpuMs = threadCpuMs();
        lock.lock();
        decodingCpuMs_ = cpuMs;
        // Entries only leave the map by take(), which waits for a running one: `it` holds.
        it->second.bytes = result.image.pixels.size();
        it->second.result = std::move(result);
        it->second.state = State::Done;
        held_ += it->second.bytes;
        ready_.notify_all();
    }
}

}  // namespace qs
