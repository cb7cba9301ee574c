#pragma once
// Files: handles that close themselves, reading a whole file, and the one safe way to write one.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// A FILE* that is closed when it goes out of scope.
struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file) std::fclose(file);
    }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

inline UniqueFile OpenFile(const std::string& path, const char* mode) {
    return UniqueFile(std::fopen(path.c_str(), mode));
}

// A file descriptor that is closed when it goes out of scope.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Close(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes now; the result of close(2) (0 when there was nothing to close).
    int Close();

private:
    int fd_ = -1;
};

// The outside trace window: each text is appended as a line to the file that TARNWICK_TRACE
// names, and dropped when it names none.
class TraceFile {
public:
    TraceFile();
    void Write(std::string_view text);

private:
    UniqueFile file_;
};

// The path without its folder.
std::string BaseName(std::string_view path);

// Reading a whole file, bounded. Only a regular file or a pipe with a writer (standard input,
// a FIFO someone writes to) is read, and never more than `limit` bytes: a larger file is
// refused before anything is read (a pipe as soon as it passes the limit). The file is opened
// without blocking: a FIFO that no one writes to is refused instead of waited on.
enum class ReadStatus : uint8_t {
    Ok,
    Failed,    // cannot be opened or read, or is no file to read (a folder, a device)
    TooLarge,  // more than the limit
};
ReadStatus ReadFileBounded(const std::string& path, size_t limit, std::string& out,
                           std::string& error);
ReadStatus ReadFileBounded(const std::string& path, size_t limit, std::vector<uint8_t>& out,
                           std::string& error);

// The whole file, at most `limit` bytes; false with the reason when it cannot be read (a
// folder, a device and a file over the limit cannot).
bool ReadWholeFile(const std::string& path, size_t limit, std::string& out, std::string& error);
bool ReadWholeFile(const std::string& path, size_t limit, std::vector<uint8_t>& out,
                   std::string& error);

// Writes `bytes` as the file `path`: a new file is written next to it and flushed to the disk,
// then renamed over it, so that a failure half-way leaves the old file as it was. The new file
// is created exclusively under a name of its own (a link planted anywhere is never followed;
// a link at `path` itself is replaced, not written through) and keeps the old one's
// permissions (a new file's follow the umask). Passing the file-size limit fails the write
// instead of ending the process. False, with the reason, on failure; the new file is removed
// on every failure.
bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                         std::string& error);

}  // namespace tw
