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

// What one unpacking did with the archive's entries (folders and files).
struct ExtractionCounts {
    int written = 0;
    int refused = 0;   // names that would leave the target, links, other users' folders, missing folders
    int damaged = 0;   // entries that cannot be read or fail their checks
    int failed = 0;    // entries the file system would not take
    bool wholeList = false;  // the archive was read to the end of its list
};

// Where the archive is unpacked: `temporaryDirectory` itself, unless its
// data folder, made when missing and judged as opened, is not this user's
// own (another user's, a link, not a folder) or others can write in it.
// Then the content goes into a private folder of this user inside the
// temporary directory, which is logged. Empty when no such folder can be had
// either.
std::string extractionTarget(const std::string& temporaryDirectory);

// The data directory the show reads from and the line that sums up how it
// was filled.
struct DataExtraction {
    std::string dataDirectory;  // empty: there is nowhere to unpack to
    std::string summary;
};

// Unpacks "demodat" beside the running program into the extraction target
// and logs the summary: the data directory is the target followed by
// "quellon_data/".
DataExtraction extractDataArchive(const std::string& temporaryDirectory);

// The log line of an unpacking: how many entries were written, refused,
// damaged and failed, and where they went.
std::string extractionSummary(const std::string& archivePath, const std::string& dataDirectory,
                              const ExtractionCounts& counts);

// Writes every entry of the archive under `targetDirectory`: folder entries
// create their folder (one level: the folders above must exist), file
// entries are created or overwritten, and files the archive does not hold
// are left alone. Names may use "/" or "\". Nothing is written outside the
// target or through a link, and no folder that belongs to another user is
// written into; refused and failed entries are skipped with a log line. A
// missing or damaged archive ends the run with one log line; the entries
// written before stay. Entry names are logged with control characters
// escaped. Counts what happened into `counts` when given. Always returns 0.
int extractArchive(const std::string& archivePath, const std::string& targetDirectory,
                   ExtractionCounts* counts = nullptr);
