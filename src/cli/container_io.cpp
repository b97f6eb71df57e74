#include "container_io.h"

#include <cstdio>
#include <iostream>

#include "command.h"
#include "container/container_format.h"
#include "container/container_reader.h"
#include "container/file_io.h"
#include "terminal.h"
#include "textutil/codepage.h"

namespace qv::cli {

OpenedContainer OpenContainer(const Arguments& arguments) {
    OpenedContainer opened;
    TerminalPasswordPrompt prompt;
    ReadContext context;
    if (StdinIsTerminal()) {
        context.prompt = &prompt;
    }
    const std::string password = Utf8ToCp1250(arguments.Value("-p"));
    opened.payload =
        LoadContainerFile(arguments.positional.at(0), opened.params, context, password);
    if (!opened.payload) {
        throw Cancelled();
    }
    return opened;
}

void WriteOutput(const std::string& path, const uint8_t* data, size_t size) {
    if (path == "-") {
        std::cout.flush();
        if (std::fwrite(data, 1, size, stdout) != size || std::fflush(stdout) != 0) {
            throw ContainerError(msg::kOutputPath + path);
        }
        return;
    }
    if (!WriteFileAtomically(path, data, size)) {
        throw ContainerError(msg::kOutputPath + path);
    }
}

void ReadPageSet(MemoryStream& payload, TQVFFileSetObject& set) {
    try {
        set.ReadSet(payload, false);
    } catch (const StreamReadError&) {
        throw ContainerError(msg::kDamaged);
    }
}

}  // namespace qv::cli
