#include "content/material.h"

#include "content/file_path.h"
#include "content/text_scan.h"

#include <tinyxml2.h>

#include <cstdio>
#include <string_view>

namespace {

void applyParam(Material& m, XmlElement& param) {
    const std::string type = param.attribute("Type");
    const std::string value = param.attribute("Value");
    if (type == "Diffuse") scanFloats(value, m.diffuseColor, 3);
    else if (type == "Specular") scanFloats(value, m.specularColor, 3);
    else if (type == "Opacity") scanFloats(value, &m.opacity, 1);
    else if (type == "Glossiness") scanFloats(value, &m.glossiness, 1);
    else if (type == "SpecularLevel") scanFloats(value, &m.specularLevel, 1);
}

void applyTexture(Material& m, XmlElement& entry) {
    const std::string type = entry.attribute("Type");
    const std::string name = FilePath(entry.attribute("File")).name();
    if (type == "Diffuse") m.diffuseMapName = name;
    else if (type == "Opacity") m.opacityMapName = name;
    else if (type == "Bump") m.bumpMapName = name;
    else if (type == "Lightmap") m.lightMapName = name;
    else if (type == "Environment") {
        m.environmentMapName = name;
        scanFloats(entry.attribute("Reflection"), &m.reflection, 1);
    }
}

bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

// A texture name as a File value whose base name is the name again.
bool fileFor(const std::string& name, std::string& file, std::string* error) {
    if (name.find_first_of("/\\") != std::string::npos)
        return fail(error, "texture name \"" + name + "\" holds a path separator");
    // A trailing dot keeps a dotted name whole ("a.b." has the name "a.b").
    file = name.find('.') != std::string::npos ? name + "." : name;
    return true;
}

std::string colour(const float c[3]) {
    return formatFloat(c[0]) + ";" + formatFloat(c[1]) + ";" + formatFloat(c[2]);
}

}  // namespace

std::unique_ptr<Material> parseMaterial(XmlElement& root) {
    auto m = std::make_unique<Material>();
    m->name = root.attribute("Name");
    for (auto& child : root.children) {
        if (child->name == "Param") {
            applyParam(*m, *child);
        } else if (child->name == "Textures") {
            for (auto& entry : child->children) applyTexture(*m, *entry);
        }
    }
    return m;
}

std::unique_ptr<Material> readMaterialFile(const std::string& path, std::string* error) {
    auto root = XmlElement::load(path);
    if (!root) {
        if (error) *error = "cannot be read as XML";
        return nullptr;
    }
    return parseMaterial(*root);
}

Material* loadMaterial(const std::string& path) { return readMaterialFile(path).release(); }

bool writeMaterial(const Material& m, std::string& xml, std::string* error) {
    tinyxml2::XMLDocument doc;
    doc.InsertEndChild(doc.NewDeclaration());
    tinyxml2::XMLElement* root = doc.NewElement("Material");
    doc.InsertEndChild(root);
    root->SetAttribute("Name", m.name.c_str());
    auto param = [&](const char* type, const std::string& value) {
        tinyxml2::XMLElement* p = root->InsertNewChildElement("Param");
        p->SetAttribute("Type", type);
        p->SetAttribute("Value", value.c_str());
    };
    param("Diffuse", colour(m.diffuseColor));
    param("Opacity", formatFloat(m.opacity));
    param("Specular", colour(m.specularColor));
    param("Glossiness", formatFloat(m.glossiness));
    param("SpecularLevel", formatFloat(m.specularLevel));
    tinyxml2::XMLElement* textures = root->InsertNewChildElement("Textures");
    auto entry = [&](const char* type, const std::string& name, bool always) -> tinyxml2::XMLElement* {
        if (name.empty() && !always) return nullptr;
        std::string file;
        if (!fileFor(name, file, error)) return nullptr;
        tinyxml2::XMLElement* e = textures->InsertNewChildElement("Texture");
        e->SetAttribute("Type", type);
        e->SetAttribute("File", file.c_str());
        return e;
    };
    const std::pair<const char*, const std::string*> maps[] = {{"Diffuse", &m.diffuseMapName},
                                                               {"Opacity", &m.opacityMapName},
                                                               {"Bump", &m.bumpMapName},
                                                               {"Lightmap", &m.lightMapName}};
    for (auto [type, name] : maps)
        if (!name->empty() && !entry(type, *name, false)) return false;
    if (!m.environmentMapName.empty() || m.reflection != 0.0f) {
        tinyxml2::XMLElement* e = entry("Environment", m.environmentMapName, true);
        if (!e) return false;
        e->SetAttribute("Reflection", formatFloat(m.reflection).c_str());
    }
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    const std::string_view printed(printer.CStr(),
                                   static_cast<std::size_t>(printer.CStrSize() > 0 ? printer.CStrSize() - 1 : 0));
    // A raw carriage return in an attribute reads back as a line feed: the
    // printer writes them as they are (and only values can hold one), so
    // they go out as character references.
    xml.clear();
    for (const char c : printed) {
        if (c == '\r') xml += "&#13;";
        else xml += c;
    }
    return true;
}

bool saveMaterial(const Material& material, const std::string& path, std::string* error) {
    std::string xml;
    if (!writeMaterial(material, xml, error)) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return fail(error, "cannot write " + path);
    bool good = std::fwrite(xml.data(), 1, xml.size(), f) == xml.size();
    good = std::fclose(f) == 0 && good;
    return good || fail(error, "cannot write " + path);
}
