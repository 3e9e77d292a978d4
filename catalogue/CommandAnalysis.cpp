#include "CommandAnalysis.h"

#include <algorithm>

#include "CommandLine.h"
#include "Text.h"
#include "UninstallEntry.h"

namespace {

// Windows refuses these characters in a name, and a colon anywhere but after
// a drive letter: no file can be at such a path.
bool CouldNameAFile(std::string_view path)
{
    const size_t afterDrive = path.size() >= 2 && path[1] == ':' ? 2 : 0;
    return path.find_first_of("\"*?<>|") == std::string_view::npos &&
           path.find(':', afterDrive) == std::string_view::npos &&
           std::none_of(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

bool CouldBeProgram(std::string_view path) { return EndsInProgramExtension(path) && CouldNameAFile(path); }

// The ends of the texts at the start of `text` that stop before one of `ends`,
// and the end of `text`.
std::vector<size_t> Cuts(std::string_view text, std::string_view ends)
{
    std::vector<size_t> cuts;
    for (size_t at = text.find_first_of(ends); at != std::string_view::npos; at = text.find_first_of(ends, at + 1))
        cuts.push_back(at);
    cuts.push_back(text.size());
    return cuts;
}

// The files an unquoted path at the start of `text` may name, up to the
// switches. The first with a program extension is the one it names plainly;
// a later one counts only when the text between reaches into a folder, as a
// path with blanks does. With `withoutExtension`, the texts CreateProcess
// tries as programs are readings too: with ".exe" added where they have no
// extension.
std::vector<std::string> UnquotedReadings(std::string_view text, std::string_view ends, bool withoutExtension)
{
    std::vector<std::string> readings;
    std::vector<std::string> others;
    size_t plainEnd = std::string_view::npos;
    for (const size_t cut : Cuts(text, ends)) {
        const std::string_view prefix = text.substr(0, cut);
        if (!CouldNameAFile(prefix))
            break;
        const bool intoFolder =
            plainEnd == std::string_view::npos || prefix.substr(plainEnd).find('\\') != std::string_view::npos;
        if (EndsInProgramExtension(prefix)) {
            if (plainEnd == std::string_view::npos)
                plainEnd = cut;
            if (intoFolder)
                readings.emplace_back(prefix);
        } else if (withoutExtension && intoFolder) {
            const bool hasExtension = prefix.substr(prefix.find_last_of("\\/") + 1).find('.') != std::string_view::npos;
            others.push_back(std::string(prefix) + (hasExtension ? "" : ".exe"));
        }
        // A "/" after a blank starts the switches: nothing from there on is a path.
        const size_t next = text.find_first_not_of(ends, cut);
        if (next != std::string_view::npos && text[next] == '/')
            break;
    }
    if (readings.empty())
        return {};
    readings.insert(readings.end(), others.begin(), others.end());
    return readings;
}

// A quoted path is the program; a shorter one before a blank inside the
// quotes may be, when the arguments went inside the quotes too.
std::vector<std::string> QuotedReadings(std::string_view quoted)
{
    std::vector<std::string> readings;
    if (CouldBeProgram(quoted))
        readings.emplace_back(quoted);
    for (const size_t cut : Cuts(quoted, kBlanks)) {
        if (cut < quoted.size() && CouldBeProgram(quoted.substr(0, cut)))
            readings.emplace_back(quoted.substr(0, cut));
    }
    return readings;
}

// A path from a drive's or a share's root, or from a variable such as
// %ProgramFiles% that stands for an absolute folder.
bool StartsWithRoot(std::string_view text)
{
    if (!PathRoot(text).empty())
        return true;
    const size_t close = text.starts_with('%') ? text.find('%', 1) : std::string_view::npos;
    return close != std::string_view::npos && close + 1 < text.size() && (text[close + 1] == '\\' || text[close + 1] == '/');
}

// rundll32 loads a library (the text before the comma) and hands the rest to
// it; the file it acts on is the last absolute path among all of that.
std::vector<std::string> Rundll32Readings(std::string_view arguments)
{
    size_t last = std::string_view::npos;
    for (size_t at = 0; at < arguments.size(); ++at) {
        const bool startsWord = at == 0 || std::string_view(" \t,\"=").find(arguments[at - 1]) != std::string_view::npos;
        if (startsWord && StartsWithRoot(arguments.substr(at)))
            last = at;
    }
    if (last == std::string_view::npos)
        return {};
    const std::string_view path = arguments.substr(last);
    if (last > 0 && arguments[last - 1] == '"') {
        const std::string_view quoted = path.substr(0, path.find('"'));
        return CouldBeProgram(quoted) ? std::vector<std::string>{std::string(quoted)} : std::vector<std::string>{};
    }
    return UnquotedReadings(path, " \t,", false);
}

bool IsProductCode(std::string_view text)
{
    constexpr std::string_view kShape = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (text.size() != kShape.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (kShape[i] == 'X' ? !hex : c != kShape[i])
            return false;
    }
    return true;
}

// The product of msiexec's first /X or /I option ("-x" as well, any case),
// written right after it or as the next word.
std::string ProductCode(std::string_view arguments)
{
    std::vector<std::string_view> words;
    for (size_t start = arguments.find_first_not_of(kBlanks); start != std::string_view::npos;) {
        const size_t end = std::min(arguments.find_first_of(kBlanks, start), arguments.size());
        words.push_back(arguments.substr(start, end - start));
        start = arguments.find_first_not_of(kBlanks, end);
    }
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word.size() < 2 || (word[0] != '/' && word[0] != '-') || std::string_view("xXiI").find(word[1]) == std::string_view::npos)
            continue;
        std::string_view code = word.substr(2);
        if (code.empty() && i + 1 < words.size())
            code = words[i + 1];
        return IsProductCode(code) ? std::string(code) : std::string();
    }
    return {};
}

}  // namespace

CommandTarget AnalyseCommand(std::string_view command)
{
    const std::string_view text = TrimBlanks(command);
    std::string_view program;
    std::string_view arguments;
    const bool quoted = text.starts_with('"');
    if (quoted) {
        const size_t close = text.find('"', 1);
        program = text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        arguments = close == std::string_view::npos ? std::string_view() : text.substr(close + 1);
    } else {
        const size_t blank = std::min(text.find_first_of(kBlanks), text.size());
        program = text.substr(0, blank);
        arguments = text.substr(blank);
    }
    const std::string name = LowerAscii(program.substr(program.find_last_of("\\/") + 1));

    CommandTarget target;
    if (name == "rundll32" || name == "rundll32.exe") {
        target.rundll32 = true;
        target.files = Rundll32Readings(arguments);
    } else if (name == "msiexec" || name == "msiexec.exe") {
        target.windowsInstaller = true;
        target.productCode = ProductCode(arguments);
    } else {
        target.files = quoted ? QuotedReadings(program) : UnquotedReadings(text, kBlanks, true);
    }
    return target;
}

std::string DeriveUninstallerPath(std::string_view command)
{
    if (LowerAscii(command).find("msiexec.exe") != std::string::npos)
        return std::string(kIgnoreMarker);
    const CommandTarget target = AnalyseCommand(command);
    if (!target.files.empty())
        return LowerAscii(target.files.front());
    if (target.rundll32)
        return {};

    std::string text;
    std::copy_if(command.begin(), command.end(), std::back_inserter(text), [](char c) { return c != '"'; });
    // The first three characters, each of which may take several bytes.
    size_t end = 0;
    for (int taken = 0; taken < 3 && end < text.size(); ++taken) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    }
    text.resize(end);
    return LowerAscii(text);
}
