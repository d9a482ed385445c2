#include "tools/inspect/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

Value Value::boolean(bool b) {
    Value v;
    v.kind_ = Kind::Bool;
    v.b_ = b;
    return v;
}

Value Value::integer(std::int64_t i) {
    Value v;
    v.kind_ = Kind::Integer;
    v.i_ = i;
    return v;
}

Value Value::number(float f) {
    Value v;
    v.kind_ = Kind::Float;
    v.f_ = f;
    return v;
}

Value Value::string(std::string s) {
    Value v;
    v.kind_ = Kind::String;
    v.s_ = std::move(s);
    return v;
}

Value Value::array() {
    Value v;
    v.kind_ = Kind::Array;
    return v;
}

Value Value::object() {
    Value v;
    v.kind_ = Kind::Object;
    return v;
}

Value Value::floats(const float* f, int n) {
    Value v = array();
    for (int k = 0; k < n; ++k) v.push(number(f[k]));
    return v;
}

Value& Value::push(Value v) {
    items_.push_back(std::move(v));
    return items_.back();
}

Value& Value::set(const std::string& key, Value v) {
    members_.emplace_back(key, std::move(v));
    return members_.back().second;
}

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0.
std::size_t utf8Length(const std::string& s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0 && c >= 0xC2) n = 2;
    else if ((c & 0xF0) == 0xE0) n = 3;
    else if ((c & 0xF8) == 0xF0 && c <= 0xF4) n = 4;
    else return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

std::string scalar(const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Null: return "null";
    case Value::Kind::Bool: return v.b() ? "true" : "false";
    case Value::Kind::Integer: return std::to_string(v.i());
    case Value::Kind::Float: {
        if (!std::isfinite(v.f())) return "null";
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, v.f());
        return std::string(buf, r.ptr);
    }
    case Value::Kind::String: return jsonQuote(v.s());
    default: return {};
    }
}

bool allScalars(const Value& v) {
    for (const Value& item : v.items())
        if (!item.isScalar() && !(item.kind() == Value::Kind::Array && allScalars(item) && item.items().size() <= 16))
            return false;
    return true;
}

std::string oneLine(const Value& v) {
    if (v.isScalar()) return scalar(v);
    std::string out = "[";
    for (std::size_t k = 0; k < v.items().size(); ++k) {
        if (k) out += ", ";
        out += oneLine(v.items()[k]);
    }
    return out + "]";
}

void json(const Value& v, int depth, std::string& out) {
    const std::string pad(static_cast<std::size_t>(depth + 1) * 2, ' ');
    const std::string closePad(static_cast<std::size_t>(depth) * 2, ' ');
    if (v.isScalar()) {
        out += scalar(v);
    } else if (v.kind() == Value::Kind::Array) {
        // Arrays of numbers (and arrays of short number arrays, such as
        // keys) stay compact.
        bool flat = true;
        for (const Value& item : v.items()) flat = flat && item.isScalar();
        if (flat || v.items().empty()) {
            out += oneLine(v);
            return;
        }
        out += "[\n";
        for (std::size_t k = 0; k < v.items().size(); ++k) {
            out += pad;
            json(v.items()[k], depth + 1, out);
            out += k + 1 < v.items().size() ? ",\n" : "\n";
        }
        out += closePad + "]";
    } else {
        if (v.members().empty()) {
            out += "{}";
            return;
        }
        out += "{\n";
        for (std::size_t k = 0; k < v.members().size(); ++k) {
            out += pad + jsonQuote(v.members()[k].first) + ": ";
            json(v.members()[k].second, depth + 1, out);
            out += k + 1 < v.members().size() ? ",\n" : "\n";
        }
        out += closePad + "}";
    }
}

void text(const Value& v, int depth, std::string& out);

void textMember(const std::string& key, const Value& v, int depth, std::string& out) {
    const std::string pad(static_cast<std::size_t>(depth) * 2, ' ');
    if (v.isScalar() || (v.kind() == Value::Kind::Array && (v.items().empty() || allScalars(v)) &&
                         oneLine(v).size() <= 100)) {
        out += pad + key + ": " + oneLine(v) + "\n";
        return;
    }
    out += pad + key + ":\n";
    text(v, depth + 1, out);
}

void text(const Value& v, int depth, std::string& out) {
    const std::string pad(static_cast<std::size_t>(depth) * 2, ' ');
    if (v.kind() == Value::Kind::Object) {
        for (const auto& [key, member] : v.members()) textMember(key, member, depth, out);
    } else if (v.kind() == Value::Kind::Array) {
        for (std::size_t k = 0; k < v.items().size(); ++k) {
            const Value& item = v.items()[k];
            if (item.kind() == Value::Kind::Object) {
                out += pad + "- [" + std::to_string(k) + "]\n";
                text(item, depth + 1, out);
            } else {
                out += pad + "- " + oneLine(item) + "\n";
            }
        }
    } else {
        out += pad + scalar(v) + "\n";
    }
}

}  // namespace

std::string jsonQuote(const std::string& s) {
    std::string out = "\"";
    char buf[8];
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = utf8Length(s, i);
        if (n > 1) {
            out.append(s, i, n);
            i += n;
            continue;
        }
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
        ++i;
    }
    return out + "\"";
}

std::string toJson(const Value& v) {
    std::string out;
    json(v, 0, out);
    return out + "\n";
}

std::string toText(const Value& v) {
    std::string out;
    text(v, 0, out);
    return out;
}
