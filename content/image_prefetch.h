#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "content/image.h"

// Decodes pictures ahead of the thread that uploads them: worker threads
// decode a list of files in its order (each turned bottom row first, as a
// content texture wants it) while the GL thread takes them one after the
// other, so that decoding the next pictures overlaps uploading this one.
// What is taken is exactly what loadImage and flipRows would have made on
// the spot; the order of the uploads is the caller's own.
class ImagePrefetch {
public:
    // Starts `threads` workers (at least one) over `paths`; at most `ahead`
    // decoded pictures wait to be taken at any time.
    ImagePrefetch(std::vector<std::string> paths, unsigned threads, std::size_t ahead);
    // Stops the workers once their current picture is done; what was not
    // taken is dropped.
    ~ImagePrefetch();
    ImagePrefetch(const ImagePrefetch&) = delete;
    ImagePrefetch& operator=(const ImagePrefetch&) = delete;

    // When `path` is the next picture of the list, waits for it, moves it
    // into `image` (left empty when it could not be decoded), sets `decoded`
    // and returns true. Any other path returns false and takes nothing: the
    // caller decodes it itself.
    bool take(const std::string& path, Image& image, bool& decoded);
    // Whether every picture of the list has been taken.
    bool done() const { return next_ >= paths_.size(); }

private:
    struct Slot {
        Image image;
        bool ready = false;
        bool decoded = false;
    };
    void work();

    const std::vector<std::string> paths_;
    const std::size_t ahead_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;     // the next picture to be taken
    std::size_t claimed_ = 0;  // pictures handed to workers so far
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};
