#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "container/memory_stream.h"

namespace qv {

// Reads a whole regular file into a new stream positioned at 0; null when the
// file cannot be opened or read.
std::unique_ptr<MemoryStream> ReadWholeFile(const std::string& path);

// A file written whole or not at all: Open creates a temporary file in the
// target's folder; Commit writes, flushes and renames it over the target.
// Until Commit succeeds the target is untouched, and the temporary file is
// removed when the object goes away uncommitted.
class AtomicFile {
  public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();

    bool Open(const std::string& path);
    bool Commit(const void* data, size_t size);

  private:
    void Discard();

    std::string path_;
    std::string temp_;
    int fd_ = -1;
};

// Writes bytes to path whole or not at all: a temporary file in the same
// folder is written, flushed and renamed over path. Returns false on any
// failure; then no temporary file is left and an existing path is untouched.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size);

}  // namespace qv
