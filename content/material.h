#pragma once

#include "content/xml_element.h"

#include <memory>
#include <string>

struct Texture;

// Surface appearance of submeshes, from a material file. Texture pointers are
// set by the content manager's resolve pass from the names.
class Material {
public:
    std::string name;
    float diffuseColor[3] = {0.6f, 0.6f, 0.6f};
    float opacity = 1.0f;
    float specularColor[3] = {1.0f, 1.0f, 1.0f};
    float glossiness = 0.3f;
    float specularLevel = 1.0f;
    float reflection = 0.0f;
    std::string diffuseMapName;
    Texture* diffuseMap = nullptr;
    std::string opacityMapName;
    Texture* opacityMap = nullptr;
    std::string bumpMapName;
    Texture* bumpMap = nullptr;
    std::string environmentMapName;  // kept as text, never resolved
    std::string lightMapName;
    Texture* lightMap = nullptr;
};

// Builds a material from the root element of a material file: "Name" on the
// root, "Param" children (Type, Value) and texture entries inside "Textures"
// children (Type, File, and Reflection for "Environment"). A value that does
// not scan completely leaves the field as it was.
std::unique_ptr<Material> parseMaterial(XmlElement& root);

// Loads the XML tree and parses it; null when the file cannot be read or is
// not well-formed XML (error says which, when given).
std::unique_ptr<Material> readMaterialFile(const std::string& path, std::string* error = nullptr);

// The engine's loader: a new Material or null.
Material* loadMaterial(const std::string& path);

// The material as a material file that parseMaterial reads back to the same
// fields: every colour and scalar as a Param, every non-empty texture name as
// a texture entry (and an "Environment" entry whenever a reflection or an
// environment map is set). Texture names are stored so that reducing them to
// a base name gives them back; a name holding a path separator cannot be
// stored and gives false with the reason.
bool writeMaterial(const Material& material, std::string& xml, std::string* error = nullptr);
bool saveMaterial(const Material& material, const std::string& path, std::string* error = nullptr);
