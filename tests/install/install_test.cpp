// The programs as a user gets them: `cmake --install` into a prefix that is then moved,
// run from there; and the Debian package of the same tree.
#include "kelvo_config.h"
#include "support/test_support.h"

#include <set>

namespace kelvo::test {
namespace {

namespace fs = std::filesystem;

const fs::path kHelpSource = KELVO_SOURCE_DIR "/help";

// Every file an install holds, one a line in sorted order, each behind `prefix`.
std::string ExpectedFiles(const std::string& prefix)
{
    std::set<std::string> files = {
        "bin/kelvo",
        "bin/kelvo-cli",
        "share/applications/" KELVO_DESKTOP_ID ".desktop",
        "share/metainfo/" KELVO_DESKTOP_ID ".metainfo.xml",
        "share/icons/hicolor/scalable/apps/kelvo.svg",
        "share/icons/hicolor/48x48/apps/kelvo.png",
        "share/icons/hicolor/256x256/apps/kelvo.png",
        "share/man/man1/kelvo.1",
        "share/man/man1/kelvo-cli.1",
    };
    for (const auto& entry : fs::directory_iterator(kHelpSource))
        if (entry.path().extension() == ".rtf")
            files.insert("share/kelvo/" + entry.path().filename().string());
    std::string lines;
    for (const auto& file : files)
        lines += prefix + file + "\n";
    return lines;
}

TEST(InstalledTree, HoldsItsFilesValidatesAndRunsFromAMovedPrefix)
{
    TempFolder temp;
    const ShellResult install =
        RunShell("'" KELVO_CMAKE "' --install '" KELVO_BUILD_DIR "' --prefix " + ShellQuoted(temp / "staged") + " 2>&1");
    ASSERT_EQ(install.status, 0) << install.output;
    const std::string staged = "cd " + ShellQuoted(temp / "staged") + " && ";
    EXPECT_EQ(RunShell(staged + "find . ! -type d | LC_ALL=C sort").output, ExpectedFiles("./"));

    // desktop-file-validate passes some errors with status 0 but prints nothing for a clean
    // entry; appstreamcli fails on warnings too.
    const ShellResult desktop = RunShell(staged + "desktop-file-validate share/applications/" KELVO_DESKTOP_ID ".desktop 2>&1");
    EXPECT_EQ(desktop.status, 0);
    EXPECT_EQ(desktop.output, "");
    const ShellResult metainfo =
        RunShell(staged + "appstreamcli validate --no-net share/metainfo/" KELVO_DESKTOP_ID ".metainfo.xml 2>&1");
    EXPECT_EQ(metainfo.status, 0) << metainfo.output;
    for (const std::string edge : {"48", "256"}) {
        const auto png = temp / "staged" / "share/icons/hicolor" / (edge + "x" + edge) / "apps/kelvo.png";
        EXPECT_NE(RunShell("file -b " + ShellQuoted(png)).output.find("PNG image data, " + edge + " x " + edge + ","),
                  std::string::npos)
            << png;
    }

    // A moved tree still finds itself; being installed, it keeps its files in the data home.
    fs::rename(temp / "staged", temp / "moved");
    const fs::path bin = temp / "moved" / "bin";
    const std::string environment =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_DATA_HOME=" + ShellQuoted(temp / "data") + " ";
    const std::pair<std::string, std::string> runs[] = {
        // a command and what it prints, or a part of it
        {"kelvo --version", "kelvo " KELVO_VERSION "\n"},
        {"kelvo-cli --version", "kelvo-cli " KELVO_VERSION "\n"},
        {"kelvo --help", "--folder <DIR>"},
        {"kelvo-cli render --set Waveform=1 -o " + ShellQuoted(temp / "out.wav"), ""},
    };
    for (const auto& [command, expected] : runs) {
        const ShellResult result = RunShell(environment + ShellQuoted(bin) + "/" + command);
        EXPECT_EQ(result.status, 0) << command;
        EXPECT_NE(result.output.find(expected), std::string::npos) << command << "\n" << result.output;
    }
    const fs::path folder = temp / "data" / "kelvo";
    EXPECT_EQ(ReadFile(temp / "out.wav").substr(0, 4), "RIFF");
    EXPECT_EQ(ReadFile(folder / "test.wav"), ReadFile(temp / "out.wav"));
    EXPECT_FALSE(fs::exists(bin / "test.wav"));

    // The desktop program on Qt's offscreen platform until its first paint, then ended.
    const std::string log = ShellQuoted(temp / "kelvo.log");
    const ShellResult gui =
        RunShell("XDG_DATA_HOME=" + ShellQuoted(temp / "data") + " QT_QPA_PLATFORM=offscreen " + ShellQuoted(bin / "kelvo") +
                 " --startup-time >" + log + " 2>&1 & pid=$!; " + "for i in $(seq 600); do grep -q 'first paint' " + log +
                 " && break; sleep 0.1; done; " + "kill $pid; wait $pid; cat " + log);
    EXPECT_NE(gui.output.find("first paint"), std::string::npos) << gui.output;

    for (const auto& entry : fs::directory_iterator(kHelpSource)) {
        if (entry.path().extension() == ".rtf") {
            EXPECT_TRUE(ReadFile(folder / entry.path().filename()) == ReadFile(entry.path())) << entry.path();
        }
    }
}

TEST(DebianPackage, HoldsExactlyTheInstalledFilesAndDependsOnItsLibraries)
{
    TempFolder temp;
    const ShellResult build = RunShell("cd " + ShellQuoted(temp.path()) +
                                       " && '" KELVO_CPACK "' -G DEB --config '" KELVO_BUILD_DIR "/CPackConfig.cmake' -B " +
                                       ShellQuoted(temp / "out") + " 2>&1");
    ASSERT_EQ(build.status, 0) << build.output;
    const std::string deb = (temp / "out" / ("kelvo_" KELVO_VERSION "_")).string() + "*.deb";

    EXPECT_EQ(RunShell("dpkg-deb --contents " + deb + " | awk '{print $6}' | grep -v '/$' | LC_ALL=C sort").output,
              ExpectedFiles("./usr/"));

    const ShellResult fields = RunShell("dpkg-deb --field " + deb + " Package Version Section Depends");
    ASSERT_EQ(fields.status, 0) << fields.output;
    for (const std::string wanted : {"Package: kelvo\n", "Version: " KELVO_VERSION "\n", "Section: sound\n", "libqt6widgets6",
                                     "libqt6gui6", "libqt6core6", "libportaudio2", "libstdc++6"})
        EXPECT_NE(fields.output.find(wanted), std::string::npos) << wanted << " in\n" << fields.output;
}

} // namespace
} // namespace kelvo::test
