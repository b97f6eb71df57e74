#pragma once

#include <memory>
#include <string>
#include <vector>

#include "arguments.h"
#include "container/inner_file_set.h"
#include "container/memory_stream.h"
#include "container/param_list.h"

namespace qv::cli {

struct OpenedContainer {
    std::unique_ptr<MemoryStream> payload;
    ParamList params;
};

// Reads the container named by the command's file argument with the password
// of -p (UTF-8 on the command line). Without -p on a protected container the
// password is asked for at the terminal; an empty answer, or no terminal,
// throws Cancelled.
OpenedContainer OpenContainer(const Arguments& arguments);

// Reads the pages of a multi-page payload into set; an index or an entry
// that reaches outside the payload is a damaged container.
void ReadPageSet(MemoryStream& payload, TQVFFileSetObject& set);

// Writes bytes to path whole or not at all ("-" is standard output); throws
// the system's output message on failure.
void WriteOutput(const std::string& path, const uint8_t* data, size_t size);

}  // namespace qv::cli
