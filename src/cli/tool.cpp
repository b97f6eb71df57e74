#include <cstdio>
#include <iostream>
#include <string_view>

#include "command.h"
#include "container/errors.h"

// Every command lives in <name>_command.cpp and defines qv::cli::<name>_command;
// the list of names comes from the build (QVOTOOL_COMMANDS in CMakeLists.txt).
#define QVOTOOL_COMMAND(name) extern const Command name##_command;
namespace qv::cli {
#include "command_table.inc"
}  // namespace qv::cli
#undef QVOTOOL_COMMAND

namespace qv::cli {
namespace {

#define QVOTOOL_COMMAND(name) &name##_command,
const Command* const kCommands[] = {
#include "command_table.inc"
};
#undef QVOTOOL_COMMAND

std::string UsageText() {
    std::string text = "usage:\n";
    for (const Command* command : kCommands) {
        text += command->usage;
    }
    return text;
}

const Command* FindCommand(std::string_view name) {
    for (const Command* command : kCommands) {
        if (name == command->name) {
            return command;
        }
    }
    return nullptr;
}

// The one place where outcomes become exit codes.
int ExitCodeOf(const Command& command, const std::vector<std::string>& arguments) {
    try {
        return command.run(arguments);
    } catch (const UsageError& e) {
        std::cerr << "qvotool " << command.name << ": " << e.what() << "\nusage:\n"
                  << command.usage;
        return 2;
    } catch (const Cancelled&) {
        return 3;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << e.what() << "\n";
        return 1;
    }
}

}  // namespace

int RunTool(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        std::cerr << UsageText();
        return 2;
    }
    const Command* command = FindCommand(arguments.front());
    if (command == nullptr) {
        std::cerr << "qvotool: unknown command \"" << arguments.front() << "\"\n" << UsageText();
        return 2;
    }
    return ExitCodeOf(*command, std::vector<std::string>(arguments.begin() + 1, arguments.end()));
}

}  // namespace qv::cli
