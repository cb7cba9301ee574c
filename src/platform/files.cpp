#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace tw {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.Release();
    }
    return *this;
}

int UniqueFd::Close() {
    if (fd_ < 0) return 0;
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc;
}

TraceFile::TraceFile() {
    if (const char* path = std::getenv("TARNWICK_TRACE"); path && *path) {
        file_ = OpenFile(path, "a");
    }
}

void TraceFile::Write(std::string_view text) {
    if (!file_) return;
    std::fwrite(text.data(), 1, text.size(), file_.get());
    std::fputc('\n', file_.get());
    std::fflush(file_.get());
}

std::string BaseName(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

namespace {

template <typename Bytes>
ReadStatus ReadBounded(const std::string& path, size_t limit, Bytes& out, std::string& error) {
    out.clear();
    // Without blocking: opening a FIFO that no one writes to would wait for a writer.
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.Valid()) {
        error = std::strerror(errno);
        return ReadStatus::Failed;
    }
    struct stat info;
    if (fstat(fd.Get(), &info) != 0) {
        error = std::strerror(errno);
        return ReadStatus::Failed;
    }
    if (S_ISDIR(info.st_mode)) {
        error = std::strerror(EISDIR);
        return ReadStatus::Failed;
    }
    if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode)) {
        error = "not a regular file";
        return ReadStatus::Failed;
    }
    auto tooLarge = [&] {
        out.clear();
        error = "larger than " + std::to_string(limit) + " bytes";
        return ReadStatus::TooLarge;
    };
    if (S_ISREG(info.st_mode)) {
        if (static_cast<uint64_t>(info.st_size) > limit) return tooLarge();
        out.reserve(static_cast<size_t>(info.st_size));
    }
    char buffer[65536];
    // A pipe is read only when someone writes to it: a first read that does not wait finds
    // either data, a writer still to write (EAGAIN), or the end, which means no writer at all.
    bool waitForWriter = S_ISFIFO(info.st_mode);
    for (;;) {
        const ssize_t n = read(fd.Get(), buffer, sizeof buffer);
        if (waitForWriter) {
            waitForWriter = false;
            if (n == 0) {
                error = "a pipe that no one writes to";
                return ReadStatus::Failed;
            }
            const int flags = fcntl(fd.Get(), F_GETFL);
            if (flags >= 0) fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
            if (n < 0 && errno == EAGAIN) continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = std::strerror(errno);
            out.clear();
            return ReadStatus::Failed;
        }
        if (n == 0) return ReadStatus::Ok;
        // (A file that grows while it is read is held to the limit too.)
        if (static_cast<size_t>(n) > limit - out.size()) return tooLarge();
        out.insert(out.end(), buffer, buffer + n);
    }
}

}  // namespace

ReadStatus ReadFileBounded(const std::string& path, size_t limit, std::string& out,
                           std::string& error) {
    return ReadBounded(path, limit, out, error);
}

ReadStatus ReadFileBounded(const std::string& path, size_t limit, std::vector<uint8_t>& out,
                           std::string& error) {
    return ReadBounded(path, limit, out, error);
}

bool ReadWholeFile(const std::string& path, size_t limit, std::string& out, std::string& error) {
    return ReadBounded(path, limit, out, error) == ReadStatus::Ok;
}

bool ReadWholeFile(const std::string& path, size_t limit, std::vector<uint8_t>& out,
                   std::string& error) {
    return ReadBounded(path, limit, out, error) == ReadStatus::Ok;
}

namespace {

// While it lives, passing the file-size limit makes a write fail (EFBIG) instead of ending the
// process, so that the writer can clean up and say why.
class FileSizeSignalIgnored {
public:
    FileSizeSignalIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        saved_ = sigaction(SIGXFSZ, &ignore, &old_) == 0;
    }
    ~FileSizeSignalIgnored() {
        if (saved_) sigaction(SIGXFSZ, &old_, nullptr);
    }
    FileSizeSignalIgnored(const FileSizeSignalIgnored&) = delete;
    FileSizeSignalIgnored& operator=(const FileSizeSignalIgnored&) = delete;

private:
    struct sigaction old_ {};
    bool saved_ = false;
};

}  // namespace

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                         std::string& error) {
    // Only a file (or a link, which is replaced) is written over: never a folder or a device.
    struct stat target;
    if (lstat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode) && !S_ISLNK(target.st_mode)) {
        error = S_ISDIR(target.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        return false;
    }
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    std::string temp = folder + "/." + BaseName(path) + ".XXXXXX";
    const FileSizeSignalIgnored noSignal;
    // A fresh name of its own, created exclusively (O_EXCL): nothing planted is written through.
    UniqueFd fd(mkostemp(temp.data(), O_CLOEXEC));
    if (!fd.Valid()) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = true;
    for (size_t written = 0; ok && written < bytes.size();) {
        const ssize_t n = write(fd.Get(), bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ok = false;
            error = std::strerror(errno);
        } else {
            written += static_cast<size_t>(n);
        }
    }
    if (ok && fsync(fd.Get()) != 0) {
        ok = false;
        error = std::strerror(errno);
    }
    if (ok) {
        struct stat old;
        // (A link at the path is replaced by the file: its target's permissions are not taken.)
        if (lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
            fchmod(fd.Get(), old.st_mode & 07777);
        } else {
            const mode_t mask = umask(0);
            umask(mask);
            fchmod(fd.Get(), 0666 & ~mask);
        }
    }
    if (fd.Close() != 0 && ok) {
        ok = false;
        error = std::strerror(errno);
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = std::strerror(errno);
    }
    if (!ok) std::remove(temp.c_str());
    return ok;
}

}  // namespace tw
