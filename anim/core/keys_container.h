#pragma once

// The part of every keyframe curve that does not depend on the value type, so
// that code holding curves of several types can count and remove their keys.
class IKeysContainer {
public:
    virtual ~IKeysContainer() = default;

    virtual int keyCount() const = 0;
    // Removes the key at index; later keys move down by one. An index outside
    // [0, keyCount()) is ignored.
    virtual void removeKey(int index) = 0;
};
