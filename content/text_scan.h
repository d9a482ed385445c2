#pragma once

#include <cstdint>
#include <string>

// Reading numbers from the text of content files the way the scanf
// conversions "%f" and "%u" do, with a point as decimal separator whatever
// the process locale.

// Reads n floats separated by sep ("%f;%f;%f" for n = 3 and ';'). White space
// before each number is skipped; the separator must follow the number
// directly. Returns false, leaving out unchanged, unless all n scan.
bool scanFloats(const std::string& text, float* out, int n, char sep = ';');

// Reads n unsigned decimal integers separated by sep ("%u;%u;%u;%u"), each
// at most INT32_MAX. Unlike "%u", a minus sign does not scan (it would wrap
// to a huge value). Returns false, leaving out unchanged, unless all n scan.
bool scanUnsigneds(const std::string& text, std::int32_t* out, int n, char sep = ';');

// The shortest text that scans back to exactly v.
std::string formatFloat(float v);
