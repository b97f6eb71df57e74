#include "terminal.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "textutil/codepage.h"

namespace qv::cli {

bool StdinIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

std::string ReadHiddenLine(const std::string& promptUtf8) {
    std::cerr << promptUtf8 << ": " << std::flush;
    termios saved{};
    const bool haveTerminal = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (haveTerminal) {
        termios hidden = saved;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &hidden);
    }
    std::string line;
    std::getline(std::cin, line);
    if (haveTerminal) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }
    std::cerr << "\n";
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return Utf8ToCp1250(line);
}

std::string TerminalPasswordPrompt::AskPasswordForFile(const std::string& prompt,
                                                       const ParamList& params) {
    const auto value = [&](const char* name) { return Cp1250ToUtf8(params.value(name)); };
    std::cerr << "Informace o souboru :\n"
              << "  Vytvořen : " << value("DATE") << "\n"
              << "  Výstup z : " << value("QVONAME") << "\n"
              << "  Vytvořil/a : " << value("QVOFROM") << "\n"
              << "  Oprávněný uživatel/ka souboru :\n"
              << "    " << value("QVOOWNER") << "\n"
              << "  Pozn.: " << value("QVOOPOZN") << "\n";
    return ReadHiddenLine(prompt);
}

}  // namespace qv::cli
