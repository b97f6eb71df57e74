#include <string>
#include <vector>

#include "command.h"

int main(int argc, char** argv) {
    return qv::cli::RunTool(std::vector<std::string>(argv + 1, argv + argc));
}
