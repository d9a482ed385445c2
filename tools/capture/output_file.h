#pragma once
// Output files are written under a temporary name in their own folder and
// renamed into place only when complete, so that a run that fails or is
// interrupted never leaves a partial file under the name asked for.
#include <string>

namespace capture {

class PendingFile {
public:
    explicit PendingFile(std::string path);
    ~PendingFile(); // removes the temporary file unless committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::string& path() const { return path_; }
    // ".NAME.partial-PID" beside the final file.
    const std::string& temporaryPath() const { return temporary_; }
    // Renames the temporary file to the final name; on failure removes it
    // and sets `error` to a line naming the file.
    bool commit(std::string& error);
    // Removes the temporary file (if any).
    void abandon();

private:
    std::string path_;
    std::string temporary_;
    bool done_ = false;
};

// Makes sure `folder` exists (creating it and its parents) and that a file
// can be created in it. On failure sets `error` to a line naming the folder.
bool prepareOutputFolder(const std::string& folder, std::string& error);

// The same for the folder of `file`; a folder standing at the file's own
// name is an error too.
bool prepareOutputFile(const std::string& file, std::string& error);

} // namespace capture
