#pragma once

#include "tools/inspect/value.h"

#include <string>

// Reads any content file and describes it as a document tree: geometry
// (.geo), animation (.ani), camera list (.cam), material (.mat), bitmap font
// (.xml) and image (.png, .jpg); the extension picks the reader, case
// ignored. Needs no display and no GL. Returns false with the reason in
// error when the file cannot be read.
bool inspectFile(const std::string& path, Value& out, std::string& error);
