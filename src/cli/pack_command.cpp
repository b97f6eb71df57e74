#include "arguments.h"
#include "command.h"
#include "container/container_writer.h"
#include "textutil/codepage.h"

namespace qv::cli {
namespace {

// The five FTypeID flags as "0"/"1" characters.
std::string CheckedFlags(const Arguments& arguments) {
    const std::string flags = arguments.Has("--flags") ? arguments.Value("--flags") : "11111";
    if (flags.size() != 5 || flags.find_first_not_of("01") != std::string::npos) {
        throw UsageError("--flags takes five digits 0 or 1");
    }
    return flags;
}

// Seals a payload file in a container.
int RunPack(const std::vector<std::string>& tokens) {
    const Arguments arguments =
        ParseArguments(tokens, {{"-o"}, {"-p"}, {"--ext"}, {"--param", true}, {"--flags"}}, 1);
    const std::string output = arguments.Required("-o");
    const std::string flags = CheckedFlags(arguments);
    if (flags[3] == '1' && arguments.Value("-p").empty()) {
        throw UsageError("-p PASSWORD is required unless flag 4 is 0");
    }
    TQVOFileSetObject writer;
    writer.FPackHeader = flags[0] == '1';
    writer.FCryptHeader = flags[1] == '1';
    writer.FPackData = flags[2] == '1';
    writer.FCryptData = flags[3] == '1';
    writer.FCryptDigest = flags[4] == '1';
    writer.FPassword = Utf8ToCp1250(arguments.Value("-p"));
    writer.FExt = Utf8ToCp1250(arguments.Value("--ext"));
    const std::vector<std::string> lines = arguments.Values("--param");
    if (!lines.empty()) {
        writer.FParams = std::make_unique<ParamList>();
        for (const std::string& line : lines) {
            if (line.find('=') == std::string::npos) {
                throw UsageError("--param takes NAME=VALUE");
            }
            writer.FParams->add(Utf8ToCp1250(line));
        }
    }
    writer.FInputFileName = arguments.positional[0];
    writer.FOutputFileName = output;
    writer.WriteContainer();
    return 0;
}

}  // namespace

extern const Command pack_command = {
    "pack",
    "  qvotool pack    PAYLOAD -o OUT [-p PASSWORD] [--ext EXT] [--param NAME=VALUE]... "
    "[--flags FFFFF]\n",
    RunPack};

}  // namespace qv::cli
