#pragma once

#include "anim/core/transformable.h"

// Minimal mesh and camera for driving scene nodes in tests: they hold the
// matrices a node writes, as the real mesh and camera do.
class TestMesh : public ITransformable {
public:
    explicit TestMesh(int id, sm::Mat4 model = {}) : id_(id), model_(model) {}
    bool isCamera() const override { return false; }
    int id() const override { return id_; }
    sm::Mat4& renderMatrix() override { return render_; }
    sm::Mat4& nodeMatrix() override { return node_; }
    const sm::Mat4& modelMatrix() const override { return model_; }

private:
    int id_;
    sm::Mat4 model_, render_, node_;
};

class TestCamera : public ITransformable {
public:
    explicit TestCamera(int id) : id_(id) {}
    bool isCamera() const override { return true; }
    int id() const override { return id_; }
    sm::Mat4& renderMatrix() override { return view_; }
    sm::Mat4& nodeMatrix() override { return spare_; }
    const sm::Mat4& modelMatrix() const override { return spare_; }

private:
    int id_;
    sm::Mat4 view_, spare_;
};
