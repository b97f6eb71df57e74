#include <sys/stat.h>

#include <iostream>

#include "arguments.h"
#include "command.h"
#include "container/key_file.h"
#include "terminal.h"
#include "textutil/codepage.h"
#include "textutil/password_rules.h"
#include "textutil/text_utils.h"

namespace qv::cli {
namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The new password: -p, or asked for at the terminal.
std::string NewPassword(const Arguments& arguments) {
    if (arguments.Has("-p")) {
        return Utf8ToCp1250(arguments.Value("-p"));
    }
    if (!StdinIsTerminal()) {
        throw Cancelled();
    }
    std::string password = ReadHiddenLine("Heslo( minimálně 6 znaků )");
    if (password.empty()) {
        throw Cancelled();
    }
    return password;
}

// Writes a key file holding the digest of a new password.
int RunKeyfile(const std::vector<std::string>& tokens) {
    const Arguments arguments = ParseArguments(tokens, {{"-o"}, {"--email"}, {"-p"}}, 0);
    std::string output = arguments.Required("-o");
    const std::string typedMail = Utf8ToCp1250(arguments.Required("--email"));
    const std::string typedPassword = NewPassword(arguments);
    // The new-password question starts with an empty e-mail text.
    if (const auto reason = ValidateInput(typedPassword, typedMail, "")) {
        throw Error("Zadejte prosím znovu - " + *reason);
    }
    const std::string email = TrimSpaces(typedMail);
    const std::string owner(kUnknownOwner);
    if (IsFolder(output)) {
        output += (output.back() == '/' ? "" : "/") + ProposedKeyFileName(email, owner) + ".qvk";
    }
    auto writer = BuildKeyFile(email, TrimSpaces(typedPassword), owner);
    writer->FOutputFileName = output;
    writer->WriteContainer();
    std::cout << output << "\n";
    return 0;
}

}  // namespace

extern const Command keyfile_command = {
    "keyfile", "  qvotool keyfile -o OUT --email EMAIL [-p PASSWORD]\n", RunKeyfile};

}  // namespace qv::cli
