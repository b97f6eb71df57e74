#include "container/container_reader.h"

#include <algorithm>

#include "container/container_format.h"
#include "container/file_io.h"
#include "container/inflate_probe.h"
#include "container/stream_primitives.h"
#include "crypto/key_forms.h"
#include "crypto/triple_des.h"

namespace qv {
namespace {

constexpr size_t kDigestHexLength = 32;
constexpr uint64_t kCheckTextRecordSize = 12;  // 01 0A and ten characters
// The header is a short parameter list; a packed header that expands beyond
// this is hostile, and stopping early keeps it from taking memory.
constexpr uint64_t kMaxHeaderSize = 16 * 1024 * 1024;

[[noreturn]] void Fail(const std::string& message) {
    throw ContainerError(message);
}

// Runs one step of the read; any failure but the system's own message
// becomes that message (damaged lengths, cipher and expansion errors,
// exhausted memory).
template <class Step>
auto WithMessage(const char* message, Step&& step) -> decltype(step()) {
    try {
        return step();
    } catch (const ContainerError&) {
        throw;
    } catch (const std::exception&) {
        Fail(message);
    }
}

class Reader {
  public:
    Reader(MemoryStream& source, ParamList& params, const ReadContext& context, bool consume)
        : source_(source), params_(params), context_(context), consume_(consume) {}

    std::unique_ptr<MemoryStream> Run(const std::string& password);

  private:
    void Stage(const char* text) const {
        if (context_.progress) {
            context_.progress(0, -1, text);
        }
    }
    Identification ReadTail();
    void CheckVersion();
    void CheckDigest(const Identification& id) const;
    void ReadFlags();
    void ReadHeader();
    std::string AskPassword(const std::string& password) const;
    std::unique_ptr<MemoryStream> StoredPayload();
    bool EndsInCheckText(const uint8_t* tail) const;
    std::unique_ptr<MemoryStream> ReadPayload(const std::string& password);

    MemoryStream& source_;
    ParamList& params_;
    const ReadContext& context_;
    bool consume_;
    std::string flags_;
    std::string checkText_;
};

bool FlagSet(const std::string& flags, size_t position) {
    return flags[position - 1] == '1';
}

Identification Reader::ReadTail() {
    Stage("Načtení identifikace souboru");
    Identification id = WithMessage(msg::kDamaged, [&] { return ReadIdentification(source_); });
    if (!id.ok) {
        Fail(msg::kDamaged);
    }
    return id;
}

void Reader::CheckVersion() {
    Stage("Kontrola typu");
    source_.setPosition(0);
    const uint64_t version = WithMessage(msg::kDamaged, [&] { return ReadSizedInt(source_); });
    if (version != static_cast<uint64_t>(kHighestContainerVersion)) {
        Fail(std::string(msg::kVersion) + std::to_string(kHighestContainerVersion));
    }
}

void Reader::CheckDigest(const Identification& id) const {
    Stage("Kontrola dat");
    // The digest covers every byte before the digest text; it is taken over
    // the source's own bytes.
    const std::string_view covered(reinterpret_cast<const char*>(source_.data()), id.digestStart);
    const bool same = WithMessage(msg::kDamaged, [&] {
        std::string expected = id.digest;
        if (expected.size() > kDigestHexLength) {
            expected = DecryptText(expected, DigestKeyFor(kHighestContainerVersion), 0);
        }
        return DigestTextHex(covered) == expected;
    });
    if (!same) {
        Fail(msg::kDamaged);
    }
}

void Reader::ReadFlags() {
    Stage("čtení parametrů souboru");
    flags_ = WithMessage(msg::kDamaged, [&] { return ReadSizedText(source_); });
    if (flags_.size() != 5) {
        Fail(msg::kTypeId);
    }
}

void Reader::ReadHeader() {
    Stage(" načítání dat.");
    WithMessage(msg::kHeader, [&] {
        auto header =
            ReadSection(&source_, FlagSet(flags_, 1), FlagSet(flags_, 2),
                        HeaderKeyFor(kHighestContainerVersion), 0, context_.pump, kMaxHeaderSize);
        params_ = std::move(*ReadSizedList(*header));
    });
    Stage(" načítání dat..");
    checkText_ = WithMessage(msg::kDamaged, [&] { return ReadSizedText(source_); });
    Stage(" načítání dat...");
}

std::string Reader::AskPassword(const std::string& password) const {
    Stage(" načtení hesla");
    if (!password.empty()) {
        return password;
    }
    if (context_.prompt == nullptr) {
        return {};
    }
    return context_.prompt->AskPasswordForFile(kPasswordPromptText, params_);
}

std::unique_ptr<MemoryStream> Reader::StoredPayload() {
    const uint64_t count = ReadBlockLength(source_);
    auto stored = std::make_unique<MemoryStream>();
    if (!consume_) {
        CopyBytes(*stored, source_, count);
        return stored;
    }
    // The source is the reader's own: its buffer becomes the stored bytes,
    // so the payload is never copied before it is decoded.
    const uint64_t start = source_.position();
    std::vector<uint8_t>& bytes = stored->bytes();
    bytes = std::move(source_.bytes());
    source_.clear();
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(start));
    bytes.resize(count);
    return stored;
}

bool Reader::EndsInCheckText(const uint8_t* tail) const {
    MemoryStream record(tail, kCheckTextRecordSize);
    try {
        return ReadSizedText(record) == checkText_;
    } catch (const StreamReadError&) {
        return false;
    }
}

std::unique_ptr<MemoryStream> Reader::ReadPayload(const std::string& password) {
    const bool pack = FlagSet(flags_, 3);
    const bool crypt = FlagSet(flags_, 4);
    auto stored = StoredPayload();
    if (!pack || stored->size() == 0) {
        return DecodeStoredBlock(std::move(stored), pack, crypt, password, 0, context_.pump);
    }
    auto packed = DecodeStoredBlock(std::move(stored), false, crypt, password, 0);
    // Genuine reports pack well below this ratio, so they expand in one pass;
    // a hostile block takes at most this multiple of its own size first.
    constexpr uint64_t kTrustedExpansionRatio = 32;
    const uint64_t trial =
        std::max(context_.expansionTrial, kTrustedExpansionRatio * packed->size());
    auto expanded = std::make_unique<MemoryStream>();
    try {
        UnpackStream(*packed, *expanded, context_.pump, trial);
        expanded->setPosition(0);
        return expanded;
    } catch (const CryptoError&) {
        if (expanded->size() <= trial) {
            throw;  // damaged, not merely large
        }
    }
    // Larger than the trial: kept only once it proves to end in the check text.
    expanded.reset();
    const InflateProbe probe = ProbeInflate(*packed, kMaxExpandedSize, context_.pump);
    if (!probe.complete || !EndsInCheckText(probe.tail.data())) {
        Fail(msg::kWrongPassword);
    }
    packed->setPosition(0);
    expanded = std::make_unique<MemoryStream>();
    UnpackStream(*packed, *expanded, context_.pump);
    expanded->setPosition(0);
    return expanded;
}

std::unique_ptr<MemoryStream> Reader::Run(const std::string& password) {
    Stage("Kontrola velikosti");
    if (source_.size() < kMinContainerSize) {
        Fail(msg::kInvalid);
    }
    const Identification id = ReadTail();
    CheckVersion();
    CheckDigest(id);
    ReadFlags();
    ReadHeader();
    if (context_.headerOnly) {
        return nullptr;
    }
    std::string usedPassword = password;
    if (FlagSet(flags_, 4)) {
        usedPassword = AskPassword(password);
        if (usedPassword.empty()) {
            return nullptr;
        }
    }
    Stage("export dat");
    auto payload = WithMessage(msg::kWrongPassword, [&] { return ReadPayload(usedPassword); });
    if (payload->size() < kCheckTextRecordSize) {
        Fail(msg::kDamaged);
    }
    Stage("export dat.");
    const uint64_t payloadSize = payload->size() - kCheckTextRecordSize;
    payload->setPosition(payloadSize);
    const std::string tail =
        WithMessage(msg::kWrongPassword, [&] { return ReadSizedText(*payload); });
    payload->setPosition(0);
    Stage("export dat..");
    if (tail != checkText_) {
        Fail(msg::kWrongPassword);
    }
    Stage("export dat...");
    payload->setSize(payloadSize);
    return payload;
}

}  // namespace

std::unique_ptr<MemoryStream> ReadContainer(MemoryStream* source, ParamList& params,
                                            const std::string& password,
                                            const ReadContext& context) {
    if (source == nullptr) {
        return nullptr;
    }
    return Reader(*source, params, context, false).Run(password);
}

std::unique_ptr<MemoryStream> LoadContainerFile(const std::string& fileName, ParamList& params,
                                                const ReadContext& context,
                                                const std::string& password) {
    const auto report = [&](int position, const char* text) {
        if (context.progress) {
            context.progress(0, position, text);
        }
    };
    report(-1, "Inicilaizace");
    std::unique_ptr<MemoryStream> source = ReadWholeFile(fileName);
    if (!source) {
        report(0, "");
        Fail(msg::kInputPath + fileName);
    }
    report(-1, "Načtení dat");
    std::unique_ptr<MemoryStream> payload;
    try {
        payload = Reader(*source, params, context, true).Run(password);
        report(100, "export dat....");
    } catch (...) {
        report(0, "");
        throw;
    }
    report(0, "");
    return payload;
}

}  // namespace qv
