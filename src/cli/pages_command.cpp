#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "arguments.h"
#include "command.h"
#include "container/container_format.h"
#include "container/inner_file_set.h"
#include "container_io.h"
#include "textutil/codepage.h"
#include "textutil/text_utils.h"

namespace qv::cli {
namespace {

// Creates the folder and its missing parents.
void MakeFolder(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            throw ContainerError(msg::kOutputPath + folder);
        }
        if (slash == std::string::npos) {
            return;
        }
    }
}

std::string PageName(const std::string& folder, int number, const std::string& extension) {
    char name[32];
    std::snprintf(name, sizeof name, "page-%04d", number);
    return folder + "/" + name + extension;
}

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// Writes the pages: the entries of an inner file set when QVOOPCNT is 2 or
// more, otherwise the one payload with the extension of EXT.
int RunPages(const std::vector<std::string>& tokens) {
    const Arguments arguments = ParseArguments(tokens, {{"-p"}, {"-o"}}, 1);
    std::string folder = arguments.Required("-o");
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    OpenedContainer opened = OpenContainer(arguments);
    MakeFolder(folder);
    if (ContainerPageCount(opened.params).value_or(0) < 2) {
        const std::string extension = LowerAscii(Cp1250ToUtf8(opened.params.value("EXT")));
        WriteOutput(PageName(folder, 1, extension), opened.payload->data(), opened.payload->size());
        return 0;
    }
    TQVFFileSetObject set;
    ReadPageSet(*opened.payload, set);
    for (int i = 0; i < set.EntryCount(); ++i) {
        const MemoryStream& entry = set.EntryStream(i);
        WriteOutput(PageName(folder, i + 1, ".emf"), entry.data(), entry.size());
    }
    return 0;
}

}  // namespace

extern const Command pages_command = {
    "pages",
    "  qvotool pages   FILE [-p PASSWORD] -o DIR    write the pages as DIR/page-0001.emf, ...\n",
    RunPages};

}  // namespace qv::cli
