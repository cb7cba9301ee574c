#include "platform/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
bool ReadInto(const std::string& path, Bytes& out, std::string& error) {
    UniqueFile file = OpenFile(path, "rb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    out.clear();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        out.insert(out.end(), buffer, buffer + n);
    }
    if (std::ferror(file.get()) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& out, std::string& error) {
    return ReadInto(path, out, error);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, std::string& error) {
    return ReadInto(path, out, error);
}

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                         std::string& error) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    std::string temp = folder + "/." + BaseName(path) + ".XXXXXX";
    UniqueFd fd(mkstemp(temp.data()));
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
        if (stat(path.c_str(), &old) == 0) {
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
