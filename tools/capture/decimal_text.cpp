#include "tools/capture/decimal_text.h"

#include <charconv>
#include <cmath>

namespace capture {

std::string decimalText(double value, int decimals, int width)
{
    if (!std::isfinite(value)) value = 0.0;
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string out(text, result.ptr);
    const bool negative = !out.empty() && out.front() == '-';
    if (static_cast<int>(out.size()) < width)
        out.insert(negative ? 1 : 0, static_cast<std::size_t>(width) - out.size(), '0');
    return out;
}

} // namespace capture
