#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace qv::cli {

// One subcommand of qvotool: its name, its usage line(s) and what it runs.
// run returns the exit code of success (0) and reports everything else by
// throwing: UsageError, Cancelled, or an error with the system's message.
struct Command {
    const char* name;
    const char* usage;
    int (*run)(const std::vector<std::string>& arguments);
};

// Wrong usage: exit 2 with the usage text; the message says what is wrong.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The user cancelled (an empty password, or no terminal to ask at): exit 3.
class Cancelled : public std::exception {
  public:
    const char* what() const noexcept override { return "cancelled"; }
};

// Runs the command named by the first argument and maps every outcome to the
// tool's exit status (0 ok, 1 failure, 2 usage, 3 cancelled).
int RunTool(const std::vector<std::string>& arguments);

}  // namespace qv::cli
