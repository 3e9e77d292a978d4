// Arbitrary bytes as an uninstall command: what the catalogue derives from
// it, and how the shell start cuts it and judges its program. Each check is a
// property, never a second copy of the routine.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "CommandAnalysis.h"
#include "CommandLine.h"
#include "Text.h"
#include "UninstallEntry.h"

// Unlike assert() this stays on in every build, and ends the run at once so
// that libFuzzer keeps the input.
#define REQUIRE(condition) ((condition) ? void() : (std::fprintf(stderr, "broken: %s\n", #condition), std::abort()))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view command(reinterpret_cast<const char*>(data), size);
    const std::string file = DeriveUninstallerPath(command);
    const bool windowsInstaller = LowerAscii(command).find("msiexec.exe") != std::string::npos;
    REQUIRE((file == kIgnoreMarker) == windowsInstaller);
    REQUIRE(windowsInstaller || (file.size() <= command.size() && file == LowerAscii(file) && file.find('"') == std::string::npos));

    // What the command starts is read from the command itself: quotes never
    // end up in a file, and the file it names plainly is there as written.
    const CommandTarget target = AnalyseCommand(command);
    // Detection asks about every file: few, and each no longer than a path
    // Windows accepts.
    REQUIRE(target.files.size() <= (target.tooManyReadings ? 1 : kMostReadings));
    for (const std::string& started : target.files)
        REQUIRE(started.find('"') == std::string::npos && Utf16FromUtf8(started).size() <= 32767);
    REQUIRE(target.files.empty() || command.find(target.files.front()) != std::string_view::npos);
    REQUIRE(target.productCode.empty() || (target.windowsInstaller && target.productCode.size() == 38));

    const ShellCommand split = SplitCommand(command);
    REQUIRE(command.find(split.file) != std::string_view::npos && command.find(split.parameters) != std::string_view::npos);
    const std::string root = PathRoot(command);
    REQUIRE(root.empty() || (command.starts_with(root) && (root.back() == '\\' || root.back() == '/')));
    REQUIRE(!IsRelativePath(command) || (!IsBareName(command) && root.empty()));
    // Every name Windows can hold, even with lone surrogates, comes back intact.
    REQUIRE(Utf16FromUtf8(Utf8FromUtf16(Utf16FromUtf8(command))) == Utf16FromUtf8(command));
    return 0;
}
