#pragma once

#include <string>

// Hears how a content scan goes: how many files it is about to load, each
// file it has finished, and each file that could not be loaded.
class IContentObserver {
public:
    virtual ~IContentObserver() = default;

    // A file could not be loaded; the message names it.
    virtual void onError(const std::string& message) = 0;
    // A whole scan starts and will load count files.
    virtual void onBegin(int count) = 0;
    // One more file is done (loaded or not).
    virtual void onProgress() = 0;
    // The whole scan has ended.
    virtual void onFinish() = 0;
};
