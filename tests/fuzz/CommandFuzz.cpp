// Arbitrary bytes as an uninstall command: what the catalogue derives from it,
// how the shell start cuts it, and the UTF-16 round trip every name relies on.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "CommandAnalysis.h"
#include "CommandLine.h"
#include "FuzzCheck.h"
#include "Reg.h"
#include "Text.h"
#include "UninstallEntry.h"

namespace {

constexpr std::string_view kBlanks = " \t";

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
bool IsUpperAscii(char c) { return c >= 'A' && c <= 'Z'; }
bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::string Lowered(std::string_view text)
{
    std::string out;
    for (char c : text)
        out += IsUpperAscii(c) ? static_cast<char>(c + ('a' - 'A')) : c;
    return out;
}

// The command with its quotes gone, lower-cased, and "rundll32.exe" written
// "rundll32" in one left-to-right pass that does not look at its own output.
std::string Normalised(std::string_view command)
{
    std::string text;
    for (char c : Lowered(command)) {
        if (c != '"')
            text += c;
    }
    constexpr std::string_view kLong = "rundll32.exe";
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (std::string_view(text).substr(i).starts_with(kLong)) {
            out += "rundll32";
            i += kLong.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

// Up to the end of the first ".exe", else ".inf", else ".dll"; without any of
// them, the first three characters (each a lead byte and its continuations).
std::string NamedFile(const std::string& text)
{
    for (std::string_view extension : {".exe", ".inf", ".dll"}) {
        const size_t at = text.find(extension);
        if (at != std::string::npos)
            return text.substr(0, at + extension.size());
    }
    size_t end = 0;
    for (int characters = 0; end < text.size(); ++end) {
        if ((end == 0 || !IsContinuation(text[end])) && ++characters == 4)
            break;
    }
    return text.substr(0, end);
}

void CheckDerivedPath(std::string_view command)
{
    const DerivedUninstaller derived = DeriveUninstallerPath(command);

    const bool windowsInstaller = Contains(Lowered(command), "msiexec.exe");
    FUZZ_REQUIRE((derived.file == kIgnoreMarker) == windowsInstaller);
    if (windowsInstaller) {
        FUZZ_REQUIRE(!derived.replacement);
        return;
    }

    for (char c : derived.file)
        FUZZ_REQUIRE(!IsUpperAscii(c) && c != '"');

    const std::string cut = NamedFile(Normalised(command));
    const bool rundll = Contains(cut, "rundll32");
    FUZZ_REQUIRE(derived.replacement.has_value() == rundll);
    if (rundll) {
        FUZZ_REQUIRE(*derived.replacement == derived.file);
        FUZZ_REQUIRE(cut.ends_with(derived.file));
    } else {
        FUZZ_REQUIRE(derived.file == cut);
    }
}

void CheckPathFromLastDrive(std::string_view text)
{
    const std::string path = PathFromLastDrive(text);
    FUZZ_REQUIRE(text.ends_with(path));
    const size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        FUZZ_REQUIRE(path.empty());
        return;
    }
    // The last colon and everything after it, behind at most one character.
    const size_t tail = text.size() - colon;
    FUZZ_REQUIRE(path.size() >= tail);
    int characters = 0;
    for (char c : std::string_view(path).substr(0, path.size() - tail))
        characters += IsContinuation(c) ? 0 : 1;
    FUZZ_REQUIRE(characters <= 1);
}

void CheckSplitCommand(std::string_view command)
{
    std::string_view trimmed = command;
    trimmed.remove_prefix(std::min(trimmed.find_first_not_of(kBlanks), trimmed.size()));
    trimmed = trimmed.substr(0, trimmed.find_last_not_of(kBlanks) + 1);

    const ShellCommand split = SplitCommand(command);
    FUZZ_REQUIRE(split.file.size() <= trimmed.size());
    FUZZ_REQUIRE(split.parameters.size() <= trimmed.size());
    FUZZ_REQUIRE(split.file.size() + split.parameters.size() <= trimmed.size());
    FUZZ_REQUIRE(Contains(trimmed, split.file));
    FUZZ_REQUIRE(Contains(trimmed, split.parameters));
    FUZZ_REQUIRE(split.parameters.empty() || kBlanks.find(split.parameters.front()) == std::string_view::npos);
}

// Key names cross from UTF-16 to UTF-8 and back before a key is deleted by
// name: any sequence of units, lone surrogates included, must come back whole.
void CheckUtf16RoundTrip(std::string_view bytes)
{
    std::u16string units;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       (static_cast<unsigned char>(bytes[i + 1]) << 8));
    FUZZ_REQUIRE(Utf16FromUtf8(Utf8FromUtf16(units)) == units);
    FUZZ_REQUIRE(Utf16FromUtf8(bytes).size() <= bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string_view command(reinterpret_cast<const char*>(data), size);
    CheckDerivedPath(command);
    CheckPathFromLastDrive(command);
    CheckSplitCommand(command);
    CheckUtf16RoundTrip(command);
    return 0;
}
