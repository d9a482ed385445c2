#pragma once

#include "math/mat4.h"

// What a scene node drives: a mesh or an animated camera, matched to its node
// by id.
class ITransformable {
public:
    virtual ~ITransformable() = default;

    virtual bool isCamera() const = 0;
    virtual int id() const = 0;
    // Mesh: the matrix it is drawn with. Camera: its view matrix.
    virtual sm::Mat4& renderMatrix() = 0;
    // Mesh: the node's world matrix without the pivot. Camera: a spare matrix.
    virtual sm::Mat4& nodeMatrix() = 0;
    // Mesh: the transform of its geometry. Camera: the same spare matrix.
    virtual const sm::Mat4& modelMatrix() const = 0;
};
