#include "anim/core/scene_node.h"

SceneNode* SceneNode::findNode(const std::string& wanted) {
    if (name == wanted) return this;
    for (SceneNode* child : children)
        if (SceneNode* found = child->findNode(wanted)) return found;
    return nullptr;
}

SceneNode* SceneNode::findChild(const std::string& wanted) {
    for (SceneNode* child : children)
        if (child->name == wanted) return child;
    for (SceneNode* child : children)
        if (SceneNode* found = child->findChild(wanted)) return found;
    return nullptr;
}

SceneNode* SceneNode::findNodeById(int wanted) {
    if (id == wanted) return this;
    for (SceneNode* child : children)
        if (SceneNode* found = child->findNodeById(wanted)) return found;
    return nullptr;
}

void SceneNode::collectNodes(std::vector<SceneNode*>& list) {
    list.push_back(this);
    for (SceneNode* child : children) child->collectNodes(list);
}

void SceneNode::bindMeshes(std::span<ITransformable* const> meshes) {
    for (SceneNode* child : children) child->bindMeshes(meshes);
    if (id == 0) return;
    for (ITransformable* mesh : meshes) {
        if (mesh && mesh->id() == id) {
            attachment = mesh;
            return;
        }
    }
}

void SceneNode::bindCamera(ITransformable* camera) {
    for (SceneNode* child : children) child->bindCamera(camera);
    if (id != 0 && camera && camera->id() == id) attachment = camera;
}
