#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

// An owned copy of an XML element: its name, its text (when its first child
// node is text), its attributes and its child elements in document order.
// Comments, declarations and text between child elements are not kept.
class XmlElement {
public:
    // Parses the file and copies its first top-level element; null when the
    // file cannot be read or parsed, or holds no element.
    static std::unique_ptr<XmlElement> load(const std::string& path);
    // The same from a document held in memory.
    static std::unique_ptr<XmlElement> parse(const std::string& document);

    // The attribute's value; an absent attribute gives "" and is added to the
    // attributes with that empty value.
    std::string attribute(const std::string& key);
    // The attribute's value read as a float with a point as decimal
    // separator (whatever the process locale); 0 when it does not parse or is
    // absent.
    float attributeFloat(const std::string& key);

    std::string name;
    std::string text;
    std::map<std::string, std::string> attributes;
    std::vector<std::unique_ptr<XmlElement>> children;
};
