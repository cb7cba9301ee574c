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

// The whole file; false with the reason when it cannot be read (a folder cannot).
bool ReadWholeFile(const std::string& path, std::string& out, std::string& error);
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, std::string& error);

// Writes `bytes` as the file `path`: a new file is written next to it and flushed to the disk,
// then renamed over it, so that a failure half-way leaves the old file as it was. The new file
// keeps the old one's permissions (a new file's follow the umask). False, with the reason, on
// failure.
bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                         std::string& error);

}  // namespace tw
