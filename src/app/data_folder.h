#pragma once

#include <optional>
#include <string>

namespace qs {

// The places the content folder may come from, in the order they are asked. An installed
// game finds its content relative to its own binary (bin/../share/quibblestar), wherever the
// prefix was moved; a development build falls back to the checkout it was built from.
struct DataFolderPlaces {
    std::string commandLine;    // --data; taken as given
    std::string environment;    // $QUIBBLESTAR_DATA; taken as given
    std::string programFolder;  // the folder of the running binary; empty when unknown
    std::string fromProgram;    // the content relative to that folder
    std::string sourceTree;     // the checkout's data/ of a development build; may be empty
};

struct DataFolder {
    std::string path;
    std::string origin;  // where it came from, in words: "--data", "beside the program", ...
};

// The content folder to use. A folder named by --data or the environment is taken as it is
// (the program names it when it is not content); the other places count only when they hold
// main.msl. Nothing when no place does, with each place tried and why it failed in *error.
std::optional<DataFolder> findDataFolder(const DataFolderPlaces& places, std::string* error);

// The places of this process: `commandLine` as --data gave it, $QUIBBLESTAR_DATA, the
// running binary's folder, and the two built-in paths.
DataFolderPlaces dataFolderPlaces(const std::string& commandLine, const std::string& fromProgram,
                                  const std::string& sourceTree);

// The second line of --version: which content a run would use, or that none was found.
std::string describeDataFolder(const std::optional<DataFolder>& folder);

}  // namespace qs
