#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "container/memory_stream.h"
#include "container/param_list.h"

namespace qv {

// Assembles one container from a payload, a parameter list and a password.
// The caller sets the fields it needs, calls WriteContainer once and drops
// the object. Texts are code page 1250 bytes; file names are local paths.
class TQVOFileSetObject {
  public:
    TQVOFileSetObject();

    // Writes the container into FOutput when it is set (appended at its
    // position; it must start empty), otherwise into FOutputFileName. A file
    // is written whole or not at all: a temporary file in the target folder
    // is renamed over the target only once the container is complete.
    // keyForm is the payload's key form; the reader opens 0 only.
    void WriteContainer(uint8_t keyForm = 0);

    int32_t FVersion = 1;
    bool FPackHeader = true;
    bool FCryptHeader = true;
    bool FPackData = true;
    bool FCryptData = true;
    bool FCryptDigest = true;
    std::string FHeaderKey;
    std::string FDigestKey;
    std::string FPassword;
    std::unique_ptr<ParamList> FParams;
    // The payload; when null, WriteContainer loads it from FInputFileName.
    // It keeps the check text appended by the write.
    std::unique_ptr<MemoryStream> FData;
    std::string FInputFileName;
    std::string FOutputFileName;
    std::string FDate;  // "dd.MM.yyyy H:mm:ss", local time of construction
    std::string FCheckText;
    std::unique_ptr<MemoryStream> FOutput;
    std::string FExt;

  private:
    void Assemble(uint8_t keyForm);
    void LoadInput();
};

// The size T the container records for itself when S bytes precede that
// field: T = S + (hexadecimal digits of T) + 1.
uint64_t TotalContainerSize(uint64_t sizeBefore);

}  // namespace qv
