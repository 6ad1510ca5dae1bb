#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    std::optional<qs::CommandLine> line = qs::parseCommandLine(args, &error);
    if (!line) {
        std::cerr << "quibblestar: " << error << '\n';
        return 2;
    }
    return qs::runProgram(*line);
}
