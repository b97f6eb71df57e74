// Feeds arbitrary bytes to the container reader and, when a payload comes
// out, to the inner file set. Only the reader's own errors may escape.
#include <cstdint>
#include <cstdlib>

#include "container/container_reader.h"
#include "container/errors.h"
#include "container/inner_file_set.h"

namespace {

class FixedPrompt : public qv::PasswordPrompt {
  public:
    std::string AskPasswordForFile(const std::string&, const qv::ParamList&) override {
        return "ondix-demo";
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qv::MemoryStream source(data, size);
    qv::ParamList params;
    FixedPrompt prompt;
    qv::ReadContext context;
    context.prompt = &prompt;
    try {
        std::unique_ptr<qv::MemoryStream> payload =
            qv::ReadContainer(&source, params, std::string(), context);
        if (payload) {
            qv::TQVFFileSetObject set;
            set.ReadSet(*payload, false);
            for (int i = 0; i < set.EntryCount(); ++i) {
                set.EntryStream(i);
            }
        }
    } catch (const qv::Error&) {
        // Damaged input is expected to fail with the reader's message.
    }
    return 0;
}
