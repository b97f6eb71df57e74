// Writes and reads a container with a 64 MiB payload, once compressible
// (report-like text) and once random, and prints:
//  - MB/s of the whole read (LoadContainerFile) and of each of its stages on
//    its own on the same data (MD5 over the digested bytes, Triple-DES
//    decryption of the stored payload, inflate of the decrypted payload),
//  - the read's speed as a percentage of the limit the stages set together,
//    1 / (1/md5 + 1/tdes + 1/inflate), every rate counted in payload bytes,
//  - the read's peak memory as a multiple of the container's size, measured
//    in a fresh child process per case.
// Times are CPU seconds of the (single-threaded) process, best of three.
//
//   container_bench [PAYLOAD_MIB]

#include <openssl/rand.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

#include "container/container_reader.h"
#include "container/container_writer.h"
#include "container/file_io.h"
#include "container/stream_primitives.h"
#include "crypto/compression.h"
#include "crypto/key_forms.h"
#include "crypto/triple_des.h"

namespace {

constexpr int kRepeats = 3;
constexpr const char* kPassword = "benchmark heslo";

// Times are the process's CPU time (everything here runs on one thread), so
// that other load on the machine does not distort the comparison of stages.
struct Clock {
    using time_point = double;
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }
};

double Seconds(Clock::time_point since) {
    return Clock::now() - since;
}

double Mib(uint64_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// Peak resident memory of this process in bytes (VmHWM).
uint64_t PeakResident() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtoull(line.c_str() + 6, nullptr, 10) * 1024;
        }
    }
    return 0;
}

qv::MemoryStream ReportText(uint64_t size) {
    qv::MemoryStream out;
    out.bytes().reserve(size);
    char line[160];
    for (uint64_t i = 0; out.size() < size; ++i) {
        const int n = std::snprintf(
            line, sizeof line, "%06llu  Novakova Jana     Ucetni       %8llu,%02llu  %5llu  %s\r\n",
            static_cast<unsigned long long>(i), static_cast<unsigned long long>(30000 + i % 9000),
            static_cast<unsigned long long>(i % 100), static_cast<unsigned long long>(i % 977),
            i % 3 == 0 ? "HPP" : "DPP");
        out.write(line, std::min<uint64_t>(static_cast<uint64_t>(n), size - out.size()));
    }
    return out;
}

qv::MemoryStream RandomBytes(uint64_t size) {
    qv::MemoryStream out;
    out.setSize(size);
    for (uint64_t done = 0; done < size;) {
        const int chunk = static_cast<int>(std::min<uint64_t>(size - done, 1 << 20));
        RAND_bytes(out.data() + done, chunk);
        done += static_cast<uint64_t>(chunk);
    }
    return out;
}

// Child: reads the container kRepeats times; prints the best time, the peak
// memory before and after reading, and the payload's size.
int ReadCase(const char* path) {
    const uint64_t before = PeakResident();
    double best = 1e9;
    uint64_t payloadSize = 0;
    for (int i = 0; i < kRepeats; ++i) {
        qv::ParamList params;
        const auto start = Clock::now();
        auto payload = qv::LoadContainerFile(path, params, {}, kPassword);
        best = std::min(best, Seconds(start));
        payloadSize = payload->size();
    }
    std::printf("%.6f %llu %llu %llu\n", best, static_cast<unsigned long long>(before),
                static_cast<unsigned long long>(PeakResident()),
                static_cast<unsigned long long>(payloadSize));
    return 0;
}

struct ReadFigures {
    double seconds = 0;
    uint64_t peakBefore = 0;
    uint64_t peak = 0;
};

ReadFigures ReadInChild(const char* self, const std::string& path) {
    int fds[2];
    if (::pipe(fds) != 0) {
        std::exit(1);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::execl(self, self, "--read", path.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(fds[1]);
    char buffer[256] = {};
    const ssize_t got = ::read(fds[0], buffer, sizeof buffer - 1);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ReadFigures figures;
    unsigned long long before = 0, peak = 0, payload = 0;
    if (got <= 0 || std::sscanf(buffer, "%lf %llu %llu %llu", &figures.seconds, &before, &peak,
                                &payload) != 4) {
        std::fprintf(stderr, "the reading child failed\n");
        std::exit(1);
    }
    figures.peakBefore = before;
    figures.peak = peak;
    return figures;
}

// The stored bytes of the payload block of a container file.
qv::MemoryStream StoredPayload(qv::MemoryStream& container, uint64_t& digested) {
    const qv::Identification id = qv::ReadIdentification(container);
    digested = id.digestStart;
    container.setPosition(0);
    qv::ReadSizedInt(container);
    qv::ReadSizedText(container);
    const uint64_t header = qv::ReadBlockLength(container);
    container.setPosition(container.position() + header);
    qv::ReadSizedText(container);
    const uint64_t count = qv::ReadBlockLength(container);
    qv::MemoryStream stored;
    qv::CopyBytes(stored, container, count);
    return stored;
}

struct StageFigures {
    double md5 = 1e9, tdes = 1e9, inflate = 1e9;
    uint64_t digested = 0, stored = 0, packed = 0;
};

StageFigures MeasureStages(const std::string& path) {
    StageFigures f;
    auto container = qv::ReadWholeFile(path);
    const qv::MemoryStream stored = StoredPayload(*container, f.digested);
    f.stored = stored.size();
    for (int i = 0; i < kRepeats; ++i) {
        auto start = Clock::now();
        const std::string digest = qv::DigestTextHex(
            std::string_view(reinterpret_cast<const char*>(container->data()), f.digested));
        f.md5 = std::min(f.md5, Seconds(start));

        qv::MemoryStream work(stored.bytes());
        start = Clock::now();
        qv::DecryptStreamInPlace(work, kPassword, 0);
        f.tdes = std::min(f.tdes, Seconds(start));
        f.packed = work.size();

        qv::MemoryStream expanded;
        work.setPosition(0);
        start = Clock::now();
        qv::UnpackStream(work, expanded);
        f.inflate = std::min(f.inflate, Seconds(start));
    }
    return f;
}

void RunCase(const char* self, const char* name, qv::MemoryStream payload) {
    const uint64_t payloadSize = payload.size();
    const std::string path = "/tmp/container_bench_" + std::to_string(::getpid()) + ".qvo";

    qv::TQVOFileSetObject writer;
    writer.FData = std::make_unique<qv::MemoryStream>(std::move(payload));
    writer.FPassword = kPassword;
    writer.FExt = ".TXT";
    writer.FOutputFileName = path;
    auto start = Clock::now();
    writer.WriteContainer();
    const double writeSeconds = Seconds(start);
    writer.FData.reset();
    const uint64_t containerSize = qv::ReadWholeFile(path)->size();

    const StageFigures s = MeasureStages(path);
    const ReadFigures r = ReadInChild(self, path);
    std::remove(path.c_str());

    const double p = Mib(payloadSize);
    const double limit = p / (s.md5 + s.tdes + s.inflate);
    std::printf("\n%s payload: %.1f MiB, container %.1f MiB (payload packed to %.1f MiB)\n", name,
                p, Mib(containerSize), Mib(s.packed));
    std::printf("  write:   %8.1f MB/s of payload\n", p / writeSeconds);
    std::printf("  read:    %8.1f MB/s of payload (%.3f s)\n", p / r.seconds, r.seconds);
    std::printf("  md5:     %8.1f MB/s of payload (%8.1f MB/s over its %.1f MiB)\n", p / s.md5,
                Mib(s.digested) / s.md5, Mib(s.digested));
    std::printf("  3des:    %8.1f MB/s of payload (%8.1f MB/s over its %.1f MiB)\n", p / s.tdes,
                Mib(s.stored) / s.tdes, Mib(s.stored));
    std::printf("  inflate: %8.1f MB/s of payload (%8.1f MB/s over its %.1f MiB)\n", p / s.inflate,
                Mib(s.packed) / s.inflate, Mib(s.packed));
    std::printf(
        "  limit 1/(1/md5+1/3des+1/inflate): %.1f MB/s; read reaches %.1f %% (target 85 %%)\n",
        limit, 100.0 * (p / r.seconds) / limit);
    std::printf(
        "  peak memory: %.1f MiB = %.2f x container (%.2f x after the process's own %.1f MiB;"
        " target 3x); %.2f x (container + payload)\n",
        Mib(r.peak), static_cast<double>(r.peak) / static_cast<double>(containerSize),
        static_cast<double>(r.peak - r.peakBefore) / static_cast<double>(containerSize),
        Mib(r.peakBefore),
        static_cast<double>(r.peak - r.peakBefore) /
            static_cast<double>(containerSize + payloadSize));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--read") == 0) {
        return ReadCase(argv[2]);
    }
    const uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 64;
    const uint64_t size = mib * 1024 * 1024;
    std::printf("container_bench: %llu MiB payloads, best of %d, default flags 11111\n",
                static_cast<unsigned long long>(mib), kRepeats);
    RunCase("/proc/self/exe", "compressible", ReportText(size));
    RunCase("/proc/self/exe", "random", RandomBytes(size));
    return 0;
}
