#pragma once
// Packs a folder tree into a zip archive in a fixed, reproducible form.
#include <filesystem>
#include <string>

namespace content {

// Packs `folder` (its own name becomes the top entry, "NAME/") into the zip
// file `zipPath`. Every folder is stored as its own entry before the entries
// inside it; names are sorted byte-wise within a folder, files before
// sub-folders; every entry carries the same time stamp. Already compressed
// files (.png, .jpg, .mp3) are stored, the others deflated. Entry names
// longer than 259 bytes (more than the demo's reader takes) are refused. The archive is
// written beside `zipPath` and renamed over it at the end, so a failed run
// never leaves a half-written archive behind. On failure returns false with
// `error` naming the file and the problem.
bool packFolder(const std::filesystem::path& folder, const std::filesystem::path& zipPath, std::string& error);

} // namespace content
