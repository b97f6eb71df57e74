#include "container/container_writer.h"

#include <cstdio>
#include <ctime>

#include "container/container_format.h"
#include "container/file_io.h"
#include "container/stream_primitives.h"
#include "crypto/key_forms.h"
#include "crypto/triple_des.h"
#include "textutil/text_utils.h"

namespace qv {
namespace {

unsigned HexDigitCount(uint64_t value) {
    unsigned digits = 1;
    while (value >>= 4) {
        ++digits;
    }
    return digits;
}

// The local date and time as "dd.MM.yyyy H:mm:ss".
std::string NowText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %d:%02d:%02d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

}  // namespace

uint64_t TotalContainerSize(uint64_t sizeBefore) {
    const unsigned digits = HexDigitCount(sizeBefore);
    const uint64_t total = sizeBefore + digits + 1;
    return HexDigitCount(total) == digits ? total : sizeBefore + digits + 2;
}

TQVOFileSetObject::TQVOFileSetObject()
    : FHeaderKey(HeaderKeyFor(1)),
      FDigestKey(DigestKeyFor(1)),
      FDate(NowText()),
      FCheckText(MakeCheckText()) {}

void TQVOFileSetObject::WriteContainer(uint8_t keyForm) {
    if (FOutput) {
        Assemble(keyForm);
        return;
    }
    if (FOutputFileName.empty()) {
        throw ContainerError(msg::kNoOutput);
    }
    AtomicFile file;
    if (!file.Open(FOutputFileName)) {
        throw ContainerError(msg::kOutputPath + FOutputFileName);
    }
    FOutput = std::make_unique<MemoryStream>();
    try {
        Assemble(keyForm);
    } catch (...) {
        FOutput.reset();  // the temporary file goes with `file`
        throw;
    }
    const bool written = file.Commit(FOutput->data(), FOutput->size());
    FOutput.reset();
    if (!written) {
        throw ContainerError(msg::kOutputPath + FOutputFileName);
    }
}

void TQVOFileSetObject::LoadInput() {
    FData = ReadWholeFile(FInputFileName);
    if (!FData) {
        throw ContainerError(msg::kInputPath + FInputFileName);
    }
}

void TQVOFileSetObject::Assemble(uint8_t keyForm) {
    MemoryStream& out = *FOutput;
    WriteSizedInt(out, static_cast<uint32_t>(FVersion));
    WriteSizedText(out, BoolToDigit(FPackHeader) + BoolToDigit(FCryptHeader) +
                            BoolToDigit(FPackData) + BoolToDigit(FCryptData) +
                            BoolToDigit(FCryptDigest));

    ParamList header = FParams ? *FParams : ParamList();
    header.setValue("DATE", FDate);
    header.setValue("EXT", FExt);
    header.setValue("CID", "...");
    MemoryStream headerStream;
    WriteSizedList(headerStream, &header);
    WriteSection(out, headerStream, FPackHeader, FCryptHeader, FHeaderKey, 0);
    WriteSizedText(out, FCheckText);

    if (!FData) {
        LoadInput();
    }
    try {
        FData->seekToEnd();
        WriteSizedText(*FData, FCheckText);
    } catch (const std::exception&) {
        throw ContainerError(msg::kAppendCheckText + FInputFileName);
    }
    WriteSection(out, *FData, FPackData, FCryptData, FPassword, keyForm);

    out.setPosition(0);
    std::string digest = DigestStreamHex(&out);
    if (FCryptDigest) {
        digest = EncryptText(digest, FDigestKey, 0);
    }
    out.seekToEnd();
    WriteTrailedText(out, digest);
    WriteTrailingInt(out, TotalContainerSize(out.size()));
}

}  // namespace qv
