#include "content/image_prefetch.h"

#include <algorithm>

ImagePrefetch::ImagePrefetch(std::vector<std::string> paths, unsigned threads, std::size_t ahead)
    : paths_(std::move(paths)), ahead_(std::max<std::size_t>(1, ahead)), slots_(paths_.size()) {
    const unsigned count = std::max(1u, threads);
    workers_.reserve(count);
    for (unsigned i = 0; i < count; ++i) workers_.emplace_back([this] { work(); });
}

ImagePrefetch::~ImagePrefetch() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void ImagePrefetch::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || claimed_ >= paths_.size() || claimed_ < next_ + ahead_; });
        if (stopping_ || claimed_ >= paths_.size()) return;
        const std::size_t index = claimed_++;
        lock.unlock();
        Image image;
        const bool decoded = loadImage(paths_[index], image);
        if (decoded) flipRows(image);
        lock.lock();
        Slot& slot = slots_[index];
        slot.image = std::move(image);
        slot.decoded = decoded;
        slot.ready = true;
        changed_.notify_all();
    }
}

bool ImagePrefetch::take(const std::string& path, Image& image, bool& decoded) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (next_ >= paths_.size() || paths_[next_] != path) return false;
    Slot& slot = slots_[next_];
    changed_.wait(lock, [&slot] { return slot.ready; });
    image = std::move(slot.image);
    decoded = slot.decoded;
    slot = Slot{};
    ++next_;
    lock.unlock();
    changed_.notify_all();
    return true;
}
