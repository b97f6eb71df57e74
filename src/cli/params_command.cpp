#include <iostream>

#include "arguments.h"
#include "command.h"
#include "container/container_reader.h"
#include "textutil/codepage.h"

namespace qv::cli {
namespace {

// Prints the container's parameter list, read without a password.
int RunParams(const std::vector<std::string>& tokens) {
    const Arguments arguments = ParseArguments(tokens, {}, 1);
    ParamList params;
    ReadContext context;
    context.headerOnly = true;
    LoadContainerFile(arguments.positional[0], params, context);
    for (const std::string& line : params.lines()) {
        std::cout << Cp1250ToUtf8(line) << "\n";
    }
    return 0;
}

}  // namespace

extern const Command params_command = {
    "params", "  qvotool params  FILE                         print the parameter list\n",
    RunParams};

}  // namespace qv::cli
