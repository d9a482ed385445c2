#pragma once
// Numbers as text with a decimal point whatever the process locale: file
// names, labels and JSON must not change with LC_NUMERIC.
#include <string>

namespace capture {

// `value` rounded to `decimals` places ("132.000"); zero-padded on the left
// to at least `width` characters when width is given ("0132.000").
std::string decimalText(double value, int decimals, int width = 0);

} // namespace capture
