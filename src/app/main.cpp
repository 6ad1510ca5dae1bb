#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/program.h"

// The build gives both from the install layout and the release notes; a build without them
// still runs from its checkout.
#ifndef QUIBBLESTAR_VERSION
#define QUIBBLESTAR_VERSION "unknown"
#endif
#ifndef QUIBBLESTAR_DATA_FROM_PROGRAM
#define QUIBBLESTAR_DATA_FROM_PROGRAM "../share/quibblestar"
#endif

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    std::optional<qs::CommandLine> line = qs::parseCommandLine(args, &error);
    if (!line) {
        std::cerr << "quibblestar: " << error << '\n';
        return 2;
    }
    // The content folder is found once, here; everything after uses line->dataDir.
    std::optional<qs::DataFolder> data = qs::findDataFolder(
        qs::dataFolderPlaces(line->dataDir, QUIBBLESTAR_DATA_FROM_PROGRAM, QUIBBLESTAR_DEFAULT_DATA), &error);
    if (line->version) {
        std::cout << "quibblestar " << QUIBBLESTAR_VERSION << '\n' << qs::describeDataFolder(data) << '\n';
        return 0;
    }
    if (!line->help) {
        if (!data) {
            std::cerr << "quibblestar: " << error;
            return 2;
        }
        line->dataDir = data->path;
    }
    return qs::runProgram(*line);
}
