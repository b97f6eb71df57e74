#include "arguments.h"
#include "command.h"
#include "container_io.h"

namespace qv::cli {
namespace {

// Writes the payload's bytes to a file or to standard output.
int RunExtract(const std::vector<std::string>& tokens) {
    const Arguments arguments = ParseArguments(tokens, {{"-p"}, {"-o"}}, 1);
    const std::string output = arguments.Required("-o");
    const OpenedContainer opened = OpenContainer(arguments);
    WriteOutput(output, opened.payload->data(), opened.payload->size());
    return 0;
}

}  // namespace

extern const Command extract_command = {
    "extract",
    "  qvotool extract FILE [-p PASSWORD] -o OUT    write the payload to OUT (\"-\": stdout)\n",
    RunExtract};

}  // namespace qv::cli
