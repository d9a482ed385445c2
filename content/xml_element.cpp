#include "content/xml_element.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <tinyxml2.h>

namespace {

std::unique_ptr<XmlElement> convert(const tinyxml2::XMLElement& source) {
    auto element = std::make_unique<XmlElement>();
    if (const char* name = source.Name()) element->name = name;
    const tinyxml2::XMLNode* first = source.FirstChild();
    if (first && first->ToText()) {
        if (const char* value = first->Value()) element->text = value;
    }
    for (const tinyxml2::XMLAttribute* a = source.FirstAttribute(); a; a = a->Next())
        element->attributes[a->Name()] = a->Value();
    for (const tinyxml2::XMLElement* child = source.FirstChildElement(); child;
         child = child->NextSiblingElement())
        element->children.push_back(convert(*child));
    return element;
}

std::unique_ptr<XmlElement> firstElement(const tinyxml2::XMLDocument& document) {
    for (const tinyxml2::XMLNode* node = document.FirstChild(); node; node = node->NextSibling())
        if (const tinyxml2::XMLElement* element = node->ToElement()) return convert(*element);
    return nullptr;
}

locale_t cLocale() {
    static const locale_t locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

}  // namespace

std::unique_ptr<XmlElement> XmlElement::load(const std::string& path) {
    tinyxml2::XMLDocument document;
    if (document.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS) return nullptr;
    return firstElement(document);
}

std::unique_ptr<XmlElement> XmlElement::parse(const std::string& text) {
    tinyxml2::XMLDocument document;
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) return nullptr;
    return firstElement(document);
}

std::string XmlElement::attribute(const std::string& key) { return attributes[key]; }

float XmlElement::attributeFloat(const std::string& key) {
    const std::string value = attribute(key);
    const char* begin = value.c_str();
    char* end = nullptr;
    const locale_t c = cLocale();
    const float result = c ? strtof_l(begin, &end, c) : std::strtof(begin, &end);
    return end == begin ? 0.0f : result;
}
