#pragma once

#include <functional>
#include <memory>
#include <string>

#include "container/memory_stream.h"
#include "container/param_list.h"
#include "crypto/compression.h"

namespace qv {

// Answers the reader's question for the password of a protected container.
// Returns the password, or the empty text when the user cancels.
class PasswordPrompt {
  public:
    virtual ~PasswordPrompt() = default;
    virtual std::string AskPasswordForFile(const std::string& prompt, const ParamList& params) = 0;
};

// Progress callback: (always 0, position, text). The position is -1 for every
// stage report, 100 once the payload is out, 0 in the closing call.
using TProgressProc = std::function<void(int, int, const std::string&)>;

// What the caller lends the reader for one read; every member may be empty.
struct ReadContext {
    PasswordPrompt* prompt = nullptr;  // none: a protected container without a password cancels
    TProgressProc progress;
    PumpMessagesHook pump;  // called while packed blocks expand
    // Stop once the parameter list and the check text are read: no password
    // is asked for, no payload decoded, and the result is null.
    bool headerOnly = false;
    // A packed payload expanding beyond this many bytes (or beyond 32 times
    // its packed size, when that is more) is first expanded without being
    // kept and kept only when it ends in its check text, so a small hostile
    // block cannot take more memory than this.
    uint64_t expansionTrial = uint64_t{128} << 20;
};

// Reads a whole container held in source (positioned at its start). params
// receives the parameter list once the header has been read. Returns the
// payload positioned at its start, or null when source is null or the user
// cancels the password prompt. Throws ContainerError with the system's
// message (or StreamReadError, see the reader) on failure.
std::unique_ptr<MemoryStream> ReadContainer(MemoryStream* source, ParamList& params,
                                            const std::string& password,
                                            const ReadContext& context = {});

// The same for a file given by name (a path in the local file-system encoding).
std::unique_ptr<MemoryStream> LoadContainerFile(const std::string& fileName, ParamList& params,
                                                const ReadContext& context = {},
                                                const std::string& password = {});

}  // namespace qv
