#pragma once

#include <string>

// The folder the archive's content lies in, inside the extraction target.
inline constexpr char kDataFolderName[] = "quellon_data";

// The temporary directory: $TMPDIR when it is set and not empty, else
// "/tmp"; always with a trailing "/".
std::string temporaryDirectory();

// The directory of the running program (the real path of /proc/self/exe),
// with a trailing "/"; empty when it cannot be read.
std::string executableDirectory();

// Where the archive is unpacked: `temporaryDirectory` itself, unless its
// data folder already exists and is not a folder of this user's own (another
// user's, or a link). Then the content goes into a private folder of this
// user inside the temporary directory, which is logged. Empty when no such
// folder can be had either.
std::string extractionTarget(const std::string& temporaryDirectory);

// Unpacks "demodat" beside the running program and returns the data
// directory the show reads from: the extraction target followed by
// "quellon_data/" (empty when there is no usable target).
std::string extractDataArchive(const std::string& temporaryDirectory);

// Writes every entry of the archive under `targetDirectory`: folder entries
// create their folder (one level: the folders above must exist), file
// entries are created or overwritten, and files the archive does not hold
// are left alone. Names may use "/" or "\". Nothing is written outside the
// target or through a link, and no folder that belongs to another user is
// written into; refused and failed entries are skipped with a log line. A
// missing or damaged archive ends the run with one log line; the entries
// written before stay. Always returns 0.
int extractArchive(const std::string& archivePath, const std::string& targetDirectory);
