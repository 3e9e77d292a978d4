#include "CommandAnalysis.h"

#include <algorithm>

#include "CommandLine.h"
#include "Text.h"
#include "UninstallEntry.h"

namespace {

// The longest path Windows accepts, in UTF-16 units: no file has a longer
// one, and CreateProcess takes no longer command line either.
constexpr size_t kLongestPath = 32767;

// Windows refuses these characters in a name, and a colon anywhere but after
// a drive letter: no file can be at a path that reaches one. The length of
// the start of `path` before the first.
size_t NameableLength(std::string_view path)
{
    for (size_t at = 0; at < path.size(); ++at) {
        const char c = path[at];
        if (std::string_view("\"*?<>|").find(c) != std::string_view::npos || (c == ':' && at != 1) ||
            static_cast<unsigned char>(c) < 0x20)
            return at;
    }
    return path.size();
}

// Readings are gathered one blank at a time, each in one step, so that a
// long command costs as much as its length: every fact a prefix needs is
// carried over from the prefix before it.
struct Prefix {
    size_t end = 0;
    // UTF-16 units, as Utf16FromUtf8 gives them or more for malformed UTF-8.
    size_t units = 0;
    int continuations = 0;  // still expected in the current character
    size_t lastBackslash = std::string_view::npos;
    size_t lastSeparator = std::string_view::npos;
    size_t lastDot = std::string_view::npos;

    void GrowTo(std::string_view text, size_t to)
    {
        for (; end < to; ++end) {
            const char c = text[end];
            const auto byte = static_cast<unsigned char>(c);
            if ((byte & 0xC0) == 0x80 && continuations > 0) {
                --continuations;
            } else {
                continuations = byte >= 0xC0 && byte < 0xF8 ? (byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1) : 0;
                units += continuations == 3 ? 2 : 1;
            }
            if (c == '\\')
                lastBackslash = end;
            if (c == '\\' || c == '/')
                lastSeparator = end;
            if (c == '.')
                lastDot = end;
        }
    }
};

bool CouldBeProgram(std::string_view path)
{
    Prefix whole;
    whole.GrowTo(path, path.size());
    return EndsInProgramExtension(path) && NameableLength(path) == path.size() && whole.units <= kLongestPath;
}

// The files an unquoted path at the start of `text` may name, up to the
// switches. The first with a program extension is the one it names plainly;
// a later one counts only when the text between reaches into a folder, as a
// path with blanks does. With `withoutExtension`, the texts CreateProcess
// tries as programs are readings too: with ".exe" added where they have no
// extension. Past kMostReadings readings only the plain one is kept, and
// `tooMany` is set.
std::vector<std::string> UnquotedReadings(std::string_view text, std::string_view ends, bool withoutExtension,
                                          bool& tooMany)
{
    std::vector<std::string> readings;
    std::vector<std::string> others;
    const size_t nameable = NameableLength(text);
    size_t plainEnd = std::string_view::npos;
    Prefix prefix;
    size_t nextWord = 0;
    for (size_t cut = std::min(text.find_first_of(ends), text.size()); cut <= nameable;
         cut = std::min(text.find_first_of(ends, cut + 1), text.size())) {
        prefix.GrowTo(text, cut);
        if (prefix.units > kLongestPath)
            break;
        const bool intoFolder = plainEnd == std::string_view::npos ||
                                (prefix.lastBackslash != std::string_view::npos && prefix.lastBackslash >= plainEnd);
        const bool full = readings.size() + others.size() >= kMostReadings;
        if (EndsInProgramExtension(text.substr(0, cut))) {
            tooMany = tooMany || (full && intoFolder);
            if (plainEnd == std::string_view::npos)
                plainEnd = cut;
            if (intoFolder && (!full || readings.empty()))
                readings.emplace_back(text.substr(0, cut));
        } else if (withoutExtension && intoFolder) {
            const bool hasExtension = prefix.lastDot != std::string_view::npos &&
                                      (prefix.lastSeparator == std::string_view::npos || prefix.lastDot > prefix.lastSeparator);
            if (hasExtension || prefix.units + 4 <= kLongestPath) {
                tooMany = tooMany || full;
                if (!full)
                    others.push_back(std::string(text.substr(0, cut)) + (hasExtension ? "" : ".exe"));
            }
        }
        if (cut == text.size() || (tooMany && !readings.empty()))
            break;
        // A "/" after a blank starts the switches: nothing from there on is a
        // path. Every blank of a run shares the word after it.
        if (nextWord <= cut)
            nextWord = std::min(text.find_first_not_of(ends, cut), text.size());
        if (nextWord < text.size() && text[nextWord] == '/')
            break;
    }
    if (readings.empty())
        return {};
    if (tooMany)
        return {readings.front()};
    readings.insert(readings.end(), others.begin(), others.end());
    return readings;
}

// A quoted path is the program; a shorter one before a blank inside the
// quotes may be, when the arguments went inside the quotes too.
std::vector<std::string> QuotedReadings(std::string_view quoted, bool& tooMany)
{
    std::vector<std::string> readings;
    if (CouldBeProgram(quoted))
        readings.emplace_back(quoted);
    const size_t nameable = NameableLength(quoted);
    Prefix prefix;
    for (size_t cut = quoted.find_first_of(kBlanks); cut != std::string_view::npos && cut <= nameable;
         cut = quoted.find_first_of(kBlanks, cut + 1)) {
        prefix.GrowTo(quoted, cut);
        if (prefix.units > kLongestPath)
            break;
        if (!EndsInProgramExtension(quoted.substr(0, cut)))
            continue;
        if (readings.size() >= kMostReadings) {
            tooMany = true;
            return {readings.front()};
        }
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
std::vector<std::string> Rundll32Readings(std::string_view arguments, bool& tooMany)
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
    return UnquotedReadings(path, " \t,", false, tooMany);
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
        target.files = Rundll32Readings(arguments, target.tooManyReadings);
    } else if (name == "msiexec" || name == "msiexec.exe") {
        target.windowsInstaller = true;
        target.productCode = ProductCode(arguments);
    } else {
        target.files = quoted ? QuotedReadings(program, target.tooManyReadings)
                              : UnquotedReadings(text, kBlanks, true, target.tooManyReadings);
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
