#include "anim/game_object.h"

void GameObject::update(float, float) {}

const std::vector<SubMesh*>& GameObject::submeshes() const {
    static const std::vector<SubMesh*> none;
    return none;
}

void GameObject::problems(std::vector<std::string>&) const {}
