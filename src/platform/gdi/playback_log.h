#pragma once

// Records that a player skipped (unknown, unsupported or malformed), counted
// by type. With the environment variable ONDIX_GDI_DEBUG=1, or after
// SetPlaybackDebug(true), each playback prints its list to standard error.

#include <QString>
#include <cstdint>
#include <map>

namespace qv::gdi {

void SetPlaybackDebug(bool on);
bool PlaybackDebug();

class PlaybackLog {
  public:
    explicit PlaybackLog(QString format) : format_(std::move(format)) {}
    ~PlaybackLog();
    void skipped(uint32_t type, const char* why) { ++skipped_[{type, why}]; }
    // Skipped record types with their counts ("unsupported", "malformed", ...).
    const std::map<std::pair<uint32_t, const char*>, int>& entries() const { return skipped_; }
    QString summary() const;

  private:
    QString format_;
    std::map<std::pair<uint32_t, const char*>, int> skipped_;
};

}  // namespace qv::gdi
