#include "app/data_archive.h"

#include <fcntl.h>
#include <minizip/unzip.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "app/log.h"
#include "content/file_path.h"

namespace {

// Entries are inflated and written this many bytes at a time, whatever
// size they claim.
constexpr std::size_t kChunkBytes = 256 * 1024;
// Entry names are at most 259 characters.
constexpr std::size_t kNameBufferSize = 260;
// Folders and files are made for this user to write and others to read,
// whatever the umask lets through.
constexpr mode_t kFolderMode = 0755;
constexpr mode_t kFileMode = 0644;

enum class Outcome { written, refused, damaged, failed };

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~FileDescriptor() { reset(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_ = -1;
};

// An entry name taken apart: its path components ("/" and "\" both
// separate; empty and "." components dropped) and whether it names a folder
// (ends in a separator). `refusal` says why a name is not written at all
// (absolute, a drive letter, a ".." component, nothing left); null when the
// name is fine.
struct EntryName {
    std::vector<std::string> components;
    bool folder = false;
    const char* refusal = nullptr;
};

bool isDriveLetter(const std::string& component) {
    const unsigned char c = static_cast<unsigned char>(component.empty() ? 0 : component[0]);
    return component.size() >= 2 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && component[1] == ':';
}

std::string joined(const std::vector<std::string>& components, std::size_t count) {
    std::string path;
    for (std::size_t i = 0; i < count; ++i) {
        if (i) path += '/';
        path += components[i];
    }
    return path;
}

// An entry name as the log shows it: control characters escaped, so that a
// name cannot break a line or forge one.
std::string printable(const std::string& name) {
    std::string shown;
    for (const char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '\n')
            shown += "\\n";
        else if (c == '\r')
            shown += "\\r";
        else if (c == '\t')
            shown += "\\t";
        else if (u < 0x20 || u == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
            shown += escaped;
        } else
            shown += c;
    }
    return shown;
}

// Why `name` could not be opened inside `folder`, in words.
std::string openProblem(int folder, const std::string& name, int error) {
    struct stat st;
    if (error == ELOOP || error == ENOTDIR || error == EEXIST) {
        if (fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISLNK(st.st_mode)) return "it is a link";
            if (error != EEXIST && !S_ISDIR(st.st_mode)) return "it is not a folder";
        }
    }
    return std::strerror(error);
}

// The folders of the target, opened one level at a time from its root: no
// link is followed and no folder of another user is entered. The folder
// opened last is kept, since entries come folder by folder.
class TargetTree {
public:
    explicit TargetTree(const std::string& root)
        : root_(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)), user_(geteuid()) {}

    bool valid() const { return root_.valid(); }

    // The folder made of the first `count` components, or -1 with `problem`
    // saying which folder failed and why.
    int openFolder(const std::vector<std::string>& components, std::size_t count, std::string& problem) {
        if (count == 0) return root_.get();
        std::string key = joined(components, count);
        if (cached_.valid() && key == cachedKey_) return cached_.get();
        cached_.reset();
        FileDescriptor current;
        for (std::size_t i = 0; i < count; ++i) {
            const int parent = current.valid() ? current.get() : root_.get();
            FileDescriptor next(openat(parent, components[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!next.valid()) {
                problem = "folder " + printable(joined(components, i + 1)) + ": " +
                          openProblem(parent, components[i], errno);
                return -1;
            }
            struct stat st;
            if (fstat(next.get(), &st) != 0 || st.st_uid != user_) {
                problem = "folder " + printable(joined(components, i + 1)) + " belongs to another user";
                return -1;
            }
            current = std::move(next);
        }
        cached_ = std::move(current);
        cachedKey_ = std::move(key);
        return cached_.get();
    }

private:
    FileDescriptor root_;
    FileDescriptor cached_;
    std::string cachedKey_;
    uid_t user_;
};

bool writeAll(int fd, const char* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

// `name` is the entry's name as the log shows it.
Outcome makeFolder(TargetTree& tree, const std::string& name, const EntryName& entry) {
    std::string problem;
    const int parent = tree.openFolder(entry.components, entry.components.size() - 1, problem);
    if (parent < 0) {
        logMessage("can't create folder %s: %s", name.c_str(), problem.c_str());
        return Outcome::refused;
    }
    const std::string& leaf = entry.components.back();
    if (mkdirat(parent, leaf.c_str(), kFolderMode) == 0) return Outcome::written;
    const int error = errno;
    struct stat st;
    const bool exists = error == EEXIST && fstatat(parent, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && S_ISDIR(st.st_mode)) return Outcome::written;
    logMessage("can't create folder %s: %s", name.c_str(),
               !exists ? std::strerror(error) : S_ISLNK(st.st_mode) ? "it is a link" : "it is not a folder");
    return exists ? Outcome::refused : Outcome::failed;
}

// Streams the current entry of `zip` into its file. The archive entry is
// opened before the file, so an entry that cannot be read leaves the copy
// of an earlier run alone; an entry that turns out damaged while it is
// written is removed again. `name` is the entry's name as the log shows it.
Outcome writeFile(unzFile zip, const unz_file_info64& info, TargetTree& tree, const std::string& name,
                  const EntryName& entry, char* buffer) {
    std::string problem;
    const int parent = tree.openFolder(entry.components, entry.components.size() - 1, problem);
    if (parent < 0) {
        logMessage("skipped %s: %s", name.c_str(), problem.c_str());
        return Outcome::refused;
    }
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
        logMessage("can't read %s from the data archive", name.c_str());
        return Outcome::damaged;
    }
    const std::string& leaf = entry.components.back();
    // The copy of an earlier run is replaced by a new file rather than
    // truncated and rewritten: a link found in its place is left alone, and
    // the exclusive create fails on anything planted in the meantime.
    struct stat st;
    if (fstatat(parent, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        const char* problem = S_ISLNK(st.st_mode)    ? "it is a link"
                              : !S_ISREG(st.st_mode) ? "it is not a plain file"
                                                     : nullptr;
        if (problem || unlinkat(parent, leaf.c_str(), 0) != 0) {
            logMessage("skipped %s: %s", name.c_str(), problem ? problem : std::strerror(errno));
            unzCloseCurrentFile(zip);
            return problem ? Outcome::refused : Outcome::failed;
        }
    }
    FileDescriptor file(
        openat(parent, leaf.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFileMode));
    if (!file.valid()) {
        const int error = errno;
        logMessage("skipped %s: %s", name.c_str(), openProblem(parent, leaf, error).c_str());
        unzCloseCurrentFile(zip);
        // Something planted between the removal and the create.
        return error == EEXIST || error == ELOOP ? Outcome::refused : Outcome::failed;
    }

    ZPOS64_T total = 0;
    bool damaged = false;
    bool writeFailed = false;
    int writeError = 0;
    for (;;) {
        const int read = unzReadCurrentFile(zip, buffer, static_cast<unsigned>(kChunkBytes));
        if (read < 0) {
            damaged = true;
            break;
        }
        if (read == 0) break;
        if (!writeAll(file.get(), buffer, static_cast<std::size_t>(read))) {
            writeFailed = true;
            writeError = errno;
            break;
        }
        total += static_cast<ZPOS64_T>(read);
    }
    // close releases the descriptor even when it reports an error.
    if (::close(file.release()) != 0 && !writeFailed) {
        writeFailed = true;
        writeError = errno;
    }
    const int closeResult = unzCloseCurrentFile(zip);

    Outcome outcome = Outcome::damaged;
    if (writeFailed) {
        logMessage("can't write %s: %s", name.c_str(), std::strerror(writeError));
        outcome = Outcome::failed;
    } else if (damaged)
        logMessage("%s is damaged in the data archive; not written", name.c_str());
    else if (total != info.uncompressed_size)
        logMessage("%s holds %llu bytes instead of %llu; not written", name.c_str(),
                   static_cast<unsigned long long>(total), static_cast<unsigned long long>(info.uncompressed_size));
    else if (closeResult == UNZ_CRCERROR)
        logMessage("%s fails its CRC check; not written", name.c_str());
    else
        return Outcome::written;
    unlinkat(parent, leaf.c_str(), 0);
    return outcome;
}

std::string withSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// Why the data folder inside `directory` cannot take the data, judged on the
// folder as opened (made first when missing), so that a folder another user
// slips in between a look and a create is seen for what it is. Empty when it
// is this user's own and nobody else can write in it.
std::string dataFolderProblem(const std::string& directory) {
    const FileDescriptor parent(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.valid()) return std::string("cannot be reached: ") + std::strerror(errno);
    if (mkdirat(parent.get(), kDataFolderName, kFolderMode) != 0 && errno != EEXIST)
        return std::string("cannot be made: ") + std::strerror(errno);
    const FileDescriptor data(openat(parent.get(), kDataFolderName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!data.valid()) {
        const std::string why = openProblem(parent.get(), kDataFolderName, errno);
        return why.rfind("it ", 0) == 0 ? why.substr(3) : "cannot be opened: " + why;
    }
    struct stat st;
    if (fstat(data.get(), &st) != 0) return std::string("cannot be examined: ") + std::strerror(errno);
    if (st.st_uid != geteuid()) return "is another user's folder";
    if (st.st_mode & (S_IWGRP | S_IWOTH)) return "is writable by other users";
    return std::string();
}

std::string privateFolder(const std::string& temporaryDirectory) {
    const uid_t user = geteuid();
    const std::string stable = temporaryDirectory + "murmur-" + std::to_string(user);
    struct stat st;
    if ((mkdir(stable.c_str(), 0700) == 0 || errno == EEXIST) && lstat(stable.c_str(), &st) == 0 &&
        S_ISDIR(st.st_mode) && st.st_uid == user && (st.st_mode & 077) == 0)
        return stable + "/";
    std::string pattern = stable + "-XXXXXX";
    if (mkdtemp(pattern.data())) return pattern + "/";
    logMessage("can't make a private folder in %s: %s", temporaryDirectory.c_str(), std::strerror(errno));
    return std::string();
}

EntryName parseEntryName(const std::string& name) {
    EntryName entry;
    if (name.empty()) {
        entry.refusal = "empty name";
        return entry;
    }
    entry.folder = name.back() == '/' || name.back() == '\\';
    if (name.front() == '/' || name.front() == '\\') {
        entry.refusal = "absolute name";
        return entry;
    }
    std::string component;
    auto finish = [&entry, &component] {
        if (component == "..") {
            if (!entry.refusal) entry.refusal = "name climbs out of its folder";
        } else if (!component.empty() && component != ".") {
            if (entry.components.empty() && isDriveLetter(component)) entry.refusal = "name with a drive letter";
            entry.components.push_back(component);
        }
        component.clear();
    };
    for (char c : name) {
        if (c == '/' || c == '\\')
            finish();
        else
            component += c;
    }
    finish();
    if (!entry.refusal && entry.components.empty()) entry.refusal = "empty name";
    return entry;
}

}  // namespace

std::string temporaryDirectory() {
    const char* dir = std::getenv("TMPDIR");
    return withSlash(dir && *dir ? dir : "/tmp");
}

std::string executableDirectory() {
    char* path = realpath("/proc/self/exe", nullptr);
    if (!path) return std::string();
    const std::string directory = FilePath(path).directory();
    std::free(path);
    return directory;
}

std::string extractionTarget(const std::string& temporaryDirectory) {
    const std::string problem = dataFolderProblem(temporaryDirectory);
    if (problem.empty()) return temporaryDirectory;
    const std::string data = temporaryDirectory + kDataFolderName;
    const std::string target = privateFolder(temporaryDirectory);
    if (target.empty()) {
        logMessage("%s %s, and there is no private folder to put the data in instead", data.c_str(), problem.c_str());
        return target;
    }
    logMessage("%s %s; the data goes into %s%s instead", data.c_str(), problem.c_str(), target.c_str(),
               kDataFolderName);
    return target;
}

std::string extractionSummary(const std::string& archivePath, const std::string& dataDirectory,
                              const ExtractionCounts& counts) {
    char line[160];
    std::snprintf(line, sizeof line, ": %d entries written, %d refused, %d damaged, %d failed%s", counts.written,
                  counts.refused, counts.damaged, counts.failed,
                  counts.wholeList ? "" : "; unpacking stopped before the end of the archive");
    return "the data archive " + archivePath + " was unpacked into " + dataDirectory + line;
}

DataExtraction extractDataArchive(const std::string& temporaryDirectory) {
    DataExtraction result;
    const std::string target = extractionTarget(temporaryDirectory);
    if (target.empty()) return result;
    const std::string archive = executableDirectory() + "demodat";
    ExtractionCounts counts;
    extractArchive(archive, target, &counts);
    result.dataDirectory = target + kDataFolderName + "/";
    result.summary = extractionSummary(archive, result.dataDirectory, counts);
    logMessage("%s", result.summary.c_str());
    return result;
}

int extractArchive(const std::string& archivePath, const std::string& targetDirectory, ExtractionCounts* counts) {
    ExtractionCounts ignored;
    ExtractionCounts& count = counts ? *counts : ignored;
    count = ExtractionCounts{};
    struct stat st;
    if (stat(archivePath.c_str(), &st) != 0) {
        logMessage("can't open the data archive %s: %s", archivePath.c_str(), std::strerror(errno));
        return 0;
    }
    unzFile zip = unzOpen64(archivePath.c_str());
    if (!zip) {
        logMessage("can't open the data archive %s: not a readable zip archive", archivePath.c_str());
        return 0;
    }
    TargetTree tree(targetDirectory);
    if (!tree.valid()) {
        logMessage("can't unpack the data archive into %s: %s", targetDirectory.c_str(), std::strerror(errno));
        unzClose(zip);
        return 0;
    }

    unz_global_info64 global;
    const bool listed = unzGetGlobalInfo64(zip, &global) == UNZ_OK;
    if (!listed || global.number_entry == 0) {
        logMessage("the data archive %s holds no entries", archivePath.c_str());
        count.wholeList = listed;
        unzClose(zip);
        return 0;
    }

    // Left uninitialised: every chunk is inflated into it before it is written.
    const std::unique_ptr<char[]> buffer(new char[kChunkBytes]);
    std::string lastName;
    int result = unzGoToFirstFile(zip);
    while (result == UNZ_OK) {
        unz_file_info64 info;
        char name[kNameBufferSize];
        result = unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
        if (result != UNZ_OK) break;
        Outcome outcome = Outcome::refused;
        if (info.size_filename >= sizeof name) {
            logMessage("skipped an entry of the data archive: its name is longer than %zu characters",
                       sizeof name - 1);
        } else {
            const EntryName entry = parseEntryName(name);
            lastName = printable(name);
            if (entry.refusal)
                logMessage("skipped %s: %s", lastName.c_str(), entry.refusal);
            else if (entry.folder)
                outcome = makeFolder(tree, lastName, entry);
            else
                outcome = writeFile(zip, info, tree, lastName, entry, buffer.get());
        }
        switch (outcome) {
            case Outcome::written: ++count.written; break;
            case Outcome::refused: ++count.refused; break;
            case Outcome::damaged: ++count.damaged; break;
            case Outcome::failed: ++count.failed; break;
        }
        result = unzGoToNextFile(zip);
    }
    count.wholeList = result == UNZ_END_OF_LIST_OF_FILE;
    if (result != UNZ_END_OF_LIST_OF_FILE) {
        if (lastName.empty())
            logMessage("the data archive %s is damaged; unpacking stopped", archivePath.c_str());
        else
            logMessage("the data archive %s is damaged after the entry %s; unpacking stopped", archivePath.c_str(),
                       lastName.c_str());
    }
    unzClose(zip);
    return 0;
}
