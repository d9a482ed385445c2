#pragma once

#include <string>

// Hears how a content scan goes: how many files it is about to load, each
// file it has finished, each file that could not be loaded and each name the
// content uses that no file carries.
class IContentObserver {
public:
    virtual ~IContentObserver() = default;

    // A file could not be loaded, or a name that a geometry or a material
    // uses has no file; the message names it.
    virtual void onError(const std::string& message) = 0;
    // A whole scan starts and will load count files.
    virtual void onBegin(int count) = 0;
    // One more file is done (loaded or not).
    virtual void onProgress() = 0;
    // The whole scan has ended.
    virtual void onFinish() = 0;
};
