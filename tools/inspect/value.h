#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A document tree that the inspector builds once per file and prints either
// as JSON or as indented text.
class Value {
public:
    enum class Kind { Null, Bool, Integer, Float, String, Array, Object };

    Value() = default;
    static Value null() { return Value(); }
    static Value boolean(bool b);
    static Value integer(std::int64_t i);
    static Value number(float f);
    static Value string(std::string s);
    static Value array();
    static Value object();
    static Value floats(const float* v, int n);

    // Appends to an array.
    Value& push(Value v);
    // Adds a member to an object (members keep their order).
    Value& set(const std::string& key, Value v);

    Kind kind() const { return kind_; }
    bool isScalar() const { return kind_ != Kind::Array && kind_ != Kind::Object; }
    bool b() const { return b_; }
    std::int64_t i() const { return i_; }
    float f() const { return f_; }
    const std::string& s() const { return s_; }
    const std::vector<Value>& items() const { return items_; }
    const std::vector<std::pair<std::string, Value>>& members() const { return members_; }

private:
    Kind kind_ = Kind::Null;
    bool b_ = false;
    std::int64_t i_ = 0;
    float f_ = 0;
    std::string s_;
    std::vector<Value> items_;
    std::vector<std::pair<std::string, Value>> members_;
};

// One JSON document, indented two spaces, ending in a newline. Arrays of
// scalars stay on one line. Floats print with the fewest digits that read
// back to the same float; NaN and infinities, which JSON cannot hold, print
// as null.
std::string toJson(const Value& v);
// The same tree as indented "key: value" lines for reading.
std::string toText(const Value& v);
// s as a quoted JSON string; bytes that are not valid UTF-8 become \u00XX.
std::string jsonQuote(const std::string& s);
