#pragma once

#include <cmath>

// Scalar functions evaluated in double precision and rounded to float, so
// that every platform gives the same single-precision results.

namespace sm {

inline float fsqrt(float v) { return static_cast<float>(std::sqrt(static_cast<double>(v))); }
inline float fsin(float v) { return static_cast<float>(std::sin(static_cast<double>(v))); }
inline float fcos(float v) { return static_cast<float>(std::cos(static_cast<double>(v))); }
inline float ftan(float v) { return static_cast<float>(std::tan(static_cast<double>(v))); }
inline float facos(float v) { return static_cast<float>(std::acos(static_cast<double>(v))); }
inline float fatan(float v) { return static_cast<float>(std::atan(static_cast<double>(v))); }

}  // namespace sm
