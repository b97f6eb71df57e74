#include "playback_log.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qv::gdi {
namespace {

std::atomic<int> g_debug{-1};  // -1: not yet read from the environment

}  // namespace

void SetPlaybackDebug(bool on) {
    g_debug = on ? 1 : 0;
}

bool PlaybackDebug() {
    int v = g_debug.load();
    if (v < 0) {
        const char* env = std::getenv("ONDIX_GDI_DEBUG");
        v = env && std::strcmp(env, "0") != 0 && *env ? 1 : 0;
        g_debug = v;
    }
    return v == 1;
}

QString PlaybackLog::summary() const {
    QString out;
    for (const auto& [key, count] : skipped_) {
        out += QStringLiteral("%1 record %2 (%3): %4\n")
                   .arg(format_)
                   .arg(key.first)
                   .arg(QString::fromLatin1(key.second))
                   .arg(count);
    }
    return out;
}

PlaybackLog::~PlaybackLog() {
    if (!skipped_.empty() && PlaybackDebug()) {
        std::fputs(summary().toUtf8().constData(), stderr);
    }
}

}  // namespace qv::gdi
