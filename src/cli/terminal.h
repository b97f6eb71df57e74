#pragma once

#include <string>

#include "container/container_reader.h"

namespace qv::cli {

bool StdinIsTerminal();

// Shows the prompt on standard error and reads one line from the terminal
// without echo. Returns the line converted to code page 1250, or the empty
// text when nothing could be read.
std::string ReadHiddenLine(const std::string& promptUtf8);

// Asks for a container's password at the terminal, showing its parameters the
// way the password dialog does.
class TerminalPasswordPrompt : public PasswordPrompt {
  public:
    std::string AskPasswordForFile(const std::string& prompt, const ParamList& params) override;
};

}  // namespace qv::cli
