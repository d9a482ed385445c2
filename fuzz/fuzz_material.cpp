// Material reader on arbitrary text. Whatever it builds must write back to a
// material file that reads back to the same fields, unless a texture name
// holds a path separator (the one thing a material file cannot store).
#include "content/material.h"
#include "fuzz/fuzz_check.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

bool sameFloat(float a, float b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;  // -0 and 0 apart
}

bool sameFields(const Material& a, const Material& b) {
    for (int i = 0; i < 3; ++i)
        if (!sameFloat(a.diffuseColor[i], b.diffuseColor[i]) || !sameFloat(a.specularColor[i], b.specularColor[i]))
            return false;
    return a.name == b.name && sameFloat(a.opacity, b.opacity) && sameFloat(a.glossiness, b.glossiness) &&
           sameFloat(a.specularLevel, b.specularLevel) && sameFloat(a.reflection, b.reflection) &&
           a.diffuseMapName == b.diffuseMapName && a.opacityMapName == b.opacityMapName &&
           a.bumpMapName == b.bumpMapName && a.environmentMapName == b.environmentMapName &&
           a.lightMapName == b.lightMapName;
}

bool anyNameHoldsSeparator(const Material& m) {
    for (const std::string* name :
         {&m.diffuseMapName, &m.opacityMapName, &m.bumpMapName, &m.environmentMapName, &m.lightMapName})
        if (name->find_first_of("/\\") != std::string::npos) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto root = XmlElement::parse(std::string(reinterpret_cast<const char*>(data), size));
    if (!root) return 0;
    const std::unique_ptr<Material> material = parseMaterial(*root);
    require(material != nullptr, "a well-formed document gives a material");
    std::string xml;
    std::string error;
    if (!writeMaterial(*material, xml, &error)) {
        require(anyNameHoldsSeparator(*material) && !error.empty(),
                "a material is refused only for a path separator in a texture name, with the reason");
        return 0;
    }
    auto back = XmlElement::parse(xml);
    require(back != nullptr, "a written material is well-formed XML");
    const std::unique_ptr<Material> again = parseMaterial(*back);
    require(sameFields(*material, *again), "a written material reads back to the same fields");
    return 0;
}
