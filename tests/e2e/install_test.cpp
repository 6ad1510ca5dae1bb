#include <filesystem>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "test_support.h"

#ifndef QUIBBLESTAR_BUILD_DIR
#define QUIBBLESTAR_BUILD_DIR ""
#endif

namespace qs {
namespace {

using namespace qs::test;
namespace fs = std::filesystem;

const std::string kAppId = "io.github.quibblestar.quibblestar";

std::string sourceFile(const std::string& name) { return readFile(fs::path(QUIBBLESTAR_SOURCE_DIR) / name); }

bool installed(const char* tool) { return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0; }

// Width and height from a PNG's header.
std::pair<int, int> pngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    auto word = [&](size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
    };
    return {word(16), word(20)};
}

// The releases of NEWS, newest first: version and date.
std::vector<std::pair<std::string, std::string>> newsReleases() {
    std::vector<std::pair<std::string, std::string>> releases;
    const std::string news = sourceFile("NEWS");
    static const std::regex heading("(^|\n)## ([0-9.]+) \\(([0-9-]+)\\)");
    for (auto it = std::sregex_iterator(news.begin(), news.end(), heading); it != std::sregex_iterator(); ++it)
        releases.emplace_back((*it)[2], (*it)[3]);
    return releases;
}

// A staged install (DESTDIR) of the build under /usr, in `dir`/stage.
RunResult stageInstall(const TempDir& dir) {
    return runCommand("DESTDIR=" + (dir / "stage").string() + " cmake --install " QUIBBLESTAR_BUILD_DIR
                      " --prefix /usr 2>&1");
}

TEST(StagedInstall, PutsTheGameAndItsDesktopFilesUnderThePrefix) {
    TempDir dir;
    RunResult install = stageInstall(dir);
    ASSERT_EQ(install.exitCode, 0) << install.output;
    const fs::path usr = dir / "stage/usr";
    for (const std::string& file : std::vector<std::string>{
             "bin/quibblestar", "share/quibblestar/main.msl", "share/quibblestar/content-LICENSE.txt",
          "share/quibblestar/fonts-LICENSE.txt", "share/quibblestar/graphics/icon/quibblestar.bmp",
          "share/applications/" + kAppId + ".desktop", "share/metainfo/" + kAppId + ".metainfo.xml",
             "share/icons/hicolor/scalable/apps/" + kAppId + ".svg", "share/man/man6/quibblestar.6"})
        EXPECT_TRUE(fs::is_regular_file(usr / file)) << file << "\n" << install.output;
    // Each size of the theme holds the picture of that size.
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        const std::string side = std::to_string(size);
        const fs::path icon = usr / ("share/icons/hicolor/" + side + "x" + side + "/apps/" + kAppId + ".png");
        EXPECT_EQ(pngSize(readFile(icon)), std::make_pair(size, size)) << icon;
    }
    // The theme's pictures are not content: the game itself reads only the window's icon.
    EXPECT_FALSE(fs::exists(usr / "share/quibblestar/graphics/icon/quibblestar-16.png"));
}

TEST(StagedInstall, RunsFromThePrefixAloneWhereverTheFolderIsMoved) {
    TempDir dir;
    RunResult install = stageInstall(dir);
    ASSERT_EQ(install.exitCode, 0) << install.output;
    // The content is found relative to the program, not at the prefix it was installed for.
    fs::rename(dir / "stage", dir / "moved");
    const std::string program = "env -u QUIBBLESTAR_DATA " + (dir / "moved/usr/bin/quibblestar").string();

    RunResult version = runCommand(program + " --version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, "quibblestar " + newsReleases().at(0).first + "\ncontent: " +
                                  (dir / "moved/usr/share/quibblestar").string() + " (beside the program)\n");

    RunResult run = runCommand(program + " --headless --until 2000 --dump-state --strict-content --user-dir " +
                               (dir / "user").string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(jsonNumber(run.output, "frameTick"), 2000) << run.output;
}

TEST(DesktopFiles, PassTheirValidators) {
    const std::string desktop = std::string(QUIBBLESTAR_SOURCE_DIR) + "/dist/" + kAppId + ".desktop";
    const std::string metainfo = std::string(QUIBBLESTAR_SOURCE_DIR) + "/dist/" + kAppId + ".metainfo.xml";
    if (!installed("desktop-file-validate") || !installed("appstreamcli"))
        GTEST_SKIP() << "desktop-file-validate or appstreamcli is not installed (scripts/deps.sh installs them)";
    RunResult entry = runCommand("desktop-file-validate " + desktop + " 2>&1");
    EXPECT_EQ(entry.exitCode, 0) << entry.output;
    EXPECT_EQ(entry.output, "") << "hints and warnings count too";
    RunResult appstream = runCommand("appstreamcli validate --pedantic --no-net " + metainfo + " 2>&1");
    EXPECT_EQ(appstream.exitCode, 0) << appstream.output;
    static const std::regex complaint("(^|\n)[EWIP]: ");
    EXPECT_FALSE(std::regex_search(appstream.output, complaint)) << appstream.output;
}

// The desktop pairs the window with its menu entry through one id: the entry's file name, its
// icon and window class, the metainfo, and the class the running window really has.
TEST(DesktopFiles, OneApplicationIdEverywhere) {
    const std::string entry = sourceFile("dist/" + kAppId + ".desktop");
    EXPECT_NE(entry.find("\nIcon=" + kAppId + "\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nStartupWMClass=" + kAppId + "\n"), std::string::npos) << entry;
    const std::string metainfo = sourceFile("dist/" + kAppId + ".metainfo.xml");
    EXPECT_NE(metainfo.find("<id>" + kAppId + "</id>"), std::string::npos);
    EXPECT_NE(metainfo.find("<launchable type=\"desktop-id\">" + kAppId + ".desktop</launchable>"), std::string::npos);

    if (!installed("xvfb-run") || !installed("xdotool") || !installed("xprop"))
        GTEST_SKIP() << "xvfb-run, xdotool or xprop is not installed";
    TempDir dir;
    // The window is found by its class; then its class and icon are read back from X.
    RunResult run = runCommand(
        "env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 1024x768x24' sh -c '" + game() +
        " --data " + dataDir() + " --user-dir " + (dir / "user").string() +
        " >/dev/null 2>&1 & game=$!; window=$(timeout 120 xdotool search --sync --class " + kAppId +
        " | head -n 1); xprop -id \"$window\" WM_CLASS; xprop -id \"$window\" _NET_WM_ICON | head -c 60; echo; "
        "kill $game; wait $game; true'");
    EXPECT_NE(run.output.find("WM_CLASS(STRING) = \"" + kAppId + "\", \"" + kAppId + "\""), std::string::npos)
        << run.output;
    // The content's 64 px icon, as the window manager gets it.
    EXPECT_NE(run.output.find("Icon (64 x 64)"), std::string::npos) << run.output;
}

// NEWS says the version; the program, the metainfo's releases, the manual page and the Debian
// changelog say the same.
TEST(ReleaseNotes, EveryPlaceFollowsNews) {
    const auto releases = newsReleases();
    ASSERT_FALSE(releases.empty());
    const auto& [version, date] = releases.front();

    RunResult run = runCommand(game() + " --version");
    EXPECT_EQ(run.output.substr(0, run.output.find('\n')), "quibblestar " + version);

    const std::string metainfo = sourceFile("dist/" + kAppId + ".metainfo.xml");
    static const std::regex release("<release version=\"([^\"]+)\" date=\"([^\"]+)\"");
    std::vector<std::pair<std::string, std::string>> listed;
    for (auto it = std::sregex_iterator(metainfo.begin(), metainfo.end(), release); it != std::sregex_iterator(); ++it)
        listed.emplace_back((*it)[1], (*it)[2]);
    EXPECT_EQ(listed, releases);

    const std::string manual = sourceFile("dist/quibblestar.6");
    EXPECT_EQ(manual.rfind(".TH QUIBBLESTAR 6 " + date + " \"Quibblestar " + version + "\"", 0), 0u)
        << manual.substr(0, manual.find('\n'));

    const std::string changelog = sourceFile("debian/changelog");
    EXPECT_EQ(changelog.rfind("quibblestar (" + version + ")", 0), 0u) << changelog.substr(0, changelog.find('\n'));
}

TEST(ManualPage, DescribesEveryOptionOfHelp) {
    RunResult help = runCommand(game() + " --help");
    ASSERT_EQ(help.exitCode, 0);
    std::string manual = sourceFile("dist/quibblestar.6");
    // troff writes a minus as \-
    manual = std::regex_replace(manual, std::regex("\\\\-"), "-");
    static const std::regex option("(^|[\\s(\\[])(--?[a-z][a-z-]*)");
    int options = 0;
    for (auto it = std::sregex_iterator(help.output.begin(), help.output.end(), option); it != std::sregex_iterator();
         ++it) {
        ++options;
        const std::string name = (*it)[2];
        EXPECT_NE(manual.find(name), std::string::npos) << name << " is in --help, not in the manual page";
    }
    EXPECT_GT(options, 15);
}

}  // namespace
}  // namespace qs
