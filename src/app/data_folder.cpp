#include "app/data_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace qs {

namespace {

namespace fs = std::filesystem;

// Why a place does not hold the game's content, or nothing when it does.
std::optional<std::string> whyNotContent(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return std::string("no such folder");
    if (!fs::is_regular_file(folder / "main.msl", ec)) return std::string("no main.msl in it");
    return std::nullopt;
}

// A path as a person would write it: "/usr/games/../share/quibblestar" is /usr/share/quibblestar.
std::string tidy(const fs::path& path) {
    std::string text = path.lexically_normal().string();
    if (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

}  // namespace

std::optional<DataFolder> findDataFolder(const DataFolderPlaces& places, std::string* error) {
    if (!places.commandLine.empty()) return DataFolder{places.commandLine, "--data"};
    if (!places.environment.empty()) return DataFolder{places.environment, "QUIBBLESTAR_DATA"};

    struct Candidate {
        fs::path folder;
        const char* origin;
    };
    std::vector<Candidate> candidates;
    if (!places.programFolder.empty())
        candidates.push_back({fs::path(places.programFolder) / places.fromProgram, "beside the program"});
    if (!places.sourceTree.empty()) candidates.push_back({places.sourceTree, "the source tree"});

    std::string tried;
    for (const Candidate& candidate : candidates) {
        const std::optional<std::string> why = whyNotContent(candidate.folder);
        if (!why) return DataFolder{tidy(candidate.folder), candidate.origin};
        tried += "  " + tidy(candidate.folder) + " (" + candidate.origin + "): " + *why + "\n";
    }
    if (places.programFolder.empty()) tried += "  the program's own folder: unknown\n";
    if (error) {
        *error = "found no content folder (the game's data). Looked at:\n"
                 "  --data: not given\n"
                 "  $QUIBBLESTAR_DATA: not set\n" +
                 tried + "Name the folder with --data DIR or QUIBBLESTAR_DATA=DIR.\n";
    }
    return std::nullopt;
}

DataFolderPlaces dataFolderPlaces(const std::string& commandLine, const std::string& fromProgram,
                                  const std::string& sourceTree) {
    DataFolderPlaces places;
    places.commandLine = commandLine;
    if (const char* environment = std::getenv("QUIBBLESTAR_DATA")) places.environment = environment;
    // The binary itself, symbolic links followed: a link in /usr/local/bin to a game unpacked
    // elsewhere still finds the game's own share folder.
    std::error_code ec;
    const fs::path program = fs::canonical("/proc/self/exe", ec);
    if (!ec) places.programFolder = program.parent_path().string();
    places.fromProgram = fromProgram;
    places.sourceTree = sourceTree;
    return places;
}

std::string describeDataFolder(const std::optional<DataFolder>& folder) {
    if (!folder) return "content: none found (run it without --version to see where it looked)";
    return "content: " + folder->path + " (" + folder->origin + ")";
}

}  // namespace qs
