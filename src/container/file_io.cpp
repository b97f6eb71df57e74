#include "container/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string_view>
#include <vector>

namespace qv {
namespace {

bool ReadAll(int fd, uint8_t* out, uint64_t count) {
    uint64_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd, out + done, count - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += static_cast<uint64_t>(got);
    }
    return true;
}

bool WriteAll(int fd, const uint8_t* data, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(fd, data + done, count - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += static_cast<size_t>(put);
    }
    return true;
}

// The process's file-creation mask, read without changing it.
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
        }
    }
    return 022;
}

// A new file keeps the mode an existing target had, or gets the usual mode
// of a newly created file.
mode_t ModeFor(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        return info.st_mode & 07777;
    }
    return 0666 & ~CurrentUmask();
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::unique_ptr<MemoryStream> ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    std::unique_ptr<MemoryStream> stream;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<uint64_t>(info.st_size) <= MemoryStream::kMaxStreamSize) {
        try {
            auto candidate = std::make_unique<MemoryStream>();
            candidate->setSize(static_cast<uint64_t>(info.st_size));
            if (ReadAll(fd, candidate->data(), candidate->size())) {
                stream = std::move(candidate);
            }
        } catch (const std::bad_alloc&) {
            stream.reset();
        }
    }
    ::close(fd);
    return stream;
}

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

bool AtomicFile::Open(const std::string& path) {
    Discard();
    if (path.empty() || path.back() == '/') {
        return false;
    }
    std::string pattern = FolderOf(path) + "/." + BaseNameOf(path) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) {
        return false;
    }
    temp_ = name.data();
    path_ = path;
    if (::fchmod(fd_, ModeFor(path)) != 0) {
        Discard();
        return false;
    }
    return true;
}

bool AtomicFile::Commit(const void* data, size_t size) {
    if (fd_ < 0) {
        return false;
    }
    bool ok = WriteAll(fd_, static_cast<const uint8_t*>(data), size) && ::fsync(fd_) == 0;
    ok = (::close(fd_) == 0) && ok;
    fd_ = -1;
    if (!ok || ::rename(temp_.c_str(), path_.c_str()) != 0) {
        Discard();
        return false;
    }
    temp_.clear();
    return true;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size) {
    AtomicFile file;
    return file.Open(path) && file.Commit(data, size);
}

}  // namespace qv
