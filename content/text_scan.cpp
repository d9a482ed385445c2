#include "content/text_scan.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <locale.h>
#include <vector>

namespace {

locale_t cLocale() {
    static const locale_t locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

}  // namespace

bool scanFloats(const std::string& text, float* out, int n, char sep) {
    std::vector<float> values;
    const char* p = text.c_str();
    for (int i = 0; i < n; ++i) {
        if (i > 0) {
            if (*p != sep) return false;
            ++p;
        }
        char* end = nullptr;
        const float v = cLocale() ? strtof_l(p, &end, cLocale()) : std::strtof(p, &end);
        if (end == p) return false;
        values.push_back(v);
        p = end;
    }
    for (int i = 0; i < n; ++i) out[i] = values[static_cast<std::size_t>(i)];
    return true;
}

bool scanUnsigneds(const std::string& text, std::int32_t* out, int n, char sep) {
    std::vector<std::int32_t> values;
    const char* p = text.c_str();
    const char* end = p + text.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0) {
            if (p == end || *p != sep) return false;
            ++p;
        }
        while (p != end && std::isspace(static_cast<unsigned char>(*p))) ++p;
        if (p != end && *p == '+') ++p;
        std::int32_t v = 0;
        auto r = std::from_chars(p, end, v);
        if (r.ec != std::errc() || v < 0) return false;
        values.push_back(v);
        p = r.ptr;
    }
    for (int i = 0; i < n; ++i) out[i] = values[static_cast<std::size_t>(i)];
    return true;
}

std::string formatFloat(float v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}
