#pragma once

// Holds one process-wide T, created on first use. destroyInstance deletes it
// (its destructor tears it down) and resets the holder, so a later call to
// instance creates a fresh one.
template <typename T>
class GenericSingleton {
public:
    static T* instance() {
        if (!pointer) pointer = new T();
        return pointer;
    }
    static bool exists() { return pointer != nullptr; }
    static void destroyInstance() {
        T* old = pointer;
        pointer = nullptr;
        delete old;
    }

private:
    static inline T* pointer = nullptr;
};
