#include "CommandLine.h"

#include <algorithm>
#include <array>

#include "Text.h"

namespace {

std::string_view TrimLeadingBlanks(std::string_view text)
{
    const size_t start = text.find_first_not_of(kBlanks);
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

ShellCommand Cut(std::string_view text, size_t fileEnd, size_t parametersStart)
{
    return {std::string(text.substr(0, fileEnd)), std::string(TrimLeadingBlanks(text.substr(parametersStart)))};
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The end of the part of `path` that starts at `from` and runs to the next
// separator; npos when there is no separator or the part is empty.
size_t PartEnd(std::string_view path, size_t from)
{
    const size_t end = path.find_first_of("\\/", from);
    return end == from ? std::string_view::npos : end;
}

// The parts of a list such as PATH, each without the quotes and blanks around it.
std::vector<std::string_view> ListParts(std::string_view list)
{
    std::vector<std::string_view> parts;
    for (size_t start = 0; start <= list.size();) {
        const size_t end = std::min(list.find(';', start), list.size());
        std::string_view part = TrimBlanks(list.substr(start, end - start));
        if (part.size() >= 2 && part.front() == '"' && part.back() == '"')
            part = part.substr(1, part.size() - 2);
        if (!part.empty())
            parts.push_back(part);
        start = end + 1;
    }
    return parts;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text)
{
    text = TrimLeadingBlanks(text);
    return text.substr(0, text.find_last_not_of(kBlanks) + 1);
}

ShellCommand SplitCommand(std::string_view command)
{
    const std::string_view text = TrimBlanks(command);

    if (text.starts_with('"')) {
        const size_t close = text.find('"', 1);
        if (close == std::string_view::npos)
            return {std::string(text), ""};  // no closing quote: no program to take out
        return Cut(text.substr(1), close - 1, close);
    }

    // Once trimmed, a blank always has arguments behind it.
    for (size_t blank = text.find_first_of(kBlanks); blank != std::string_view::npos;
         blank = text.find_first_of(kBlanks, blank + 1)) {
        if (EndsInProgramExtension(text.substr(0, blank)))
            return Cut(text, blank, blank);
    }

    const size_t blank = text.find_first_of(kBlanks);
    if (blank != std::string_view::npos && text.substr(0, blank).find_first_of("\\/:") == std::string_view::npos)
        return Cut(text, blank, blank);

    return {std::string(text), ""};
}

bool EndsInProgramExtension(std::string_view path)
{
    constexpr std::array<std::string_view, 11> kExtensions = {".exe", ".com", ".bat", ".cmd", ".inf", ".dll",
                                                              ".msi", ".vbs", ".js",  ".wsf", ".ps1"};
    // Only the end is read: commands are cut at every blank, and reading
    // each cut's whole name would take the square of a long command's length.
    return std::any_of(kExtensions.begin(), kExtensions.end(), [&](std::string_view extension) {
        return path.size() > extension.size() && !IsSeparator(path[path.size() - extension.size() - 1]) &&
               std::equal(extension.begin(), extension.end(), path.end() - extension.size(),
                          [](char lower, char c) { return lower == (IsAsciiLetter(c) ? (c | 0x20) : c); });
    });
}

std::string PathRoot(std::string_view path)
{
    if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]))
        return std::string(path.substr(0, 3));
    if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1]))
        return {};
    const size_t serverEnd = PartEnd(path, 2);
    if (serverEnd == std::string_view::npos)
        return {};
    // "\\?\" and "\\.\" lead into Windows' device namespace, not to a server.
    const std::string_view server = path.substr(2, serverEnd - 2);
    if (server == "?" || server == ".")
        return {};
    const size_t shareEnd = PartEnd(path, serverEnd + 1);
    if (shareEnd == std::string_view::npos)
        return {};
    return std::string(path.substr(0, shareEnd + 1));
}

std::string StartFolder(std::string_view file)
{
    const std::string root = PathRoot(file);
    if (root.empty())
        return {};
    const size_t separator = file.find_last_of("\\/");
    return separator < root.size() ? root : std::string(file.substr(0, separator));
}

bool IsBareName(std::string_view file)
{
    return !file.empty() && file.find_first_of("\\/:") == std::string_view::npos;
}

bool IsRelativePath(std::string_view file)
{
    if (file.empty() || IsBareName(file) || !PathRoot(file).empty())
        return false;
    // A scheme is a letter and then letters, digits, "+", "-" or "."; one
    // letter before the colon is a drive.
    const size_t colon = file.find(':');
    const bool hasScheme = colon != std::string_view::npos && colon >= 2 && IsAsciiLetter(file[0]) &&
                           std::all_of(file.begin(), file.begin() + colon, [](char c) {
                               return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
                           });
    return !hasScheme && !(IsSeparator(file[0]) && file.size() > 1 && IsSeparator(file[1]));
}

std::vector<std::string> ProgramCandidates(std::string_view name, std::string_view folders,
                                           std::string_view extensions)
{
    const bool hasExtension = name.find('.') != std::string_view::npos;
    const std::vector<std::string_view> endings =
        hasExtension ? std::vector<std::string_view>{""} : ListParts(extensions);
    std::vector<std::string> candidates;
    for (const std::string_view folder : ListParts(folders)) {
        // A relative folder is taken from the working folder.
        if (PathRoot(folder).empty())
            continue;
        for (const std::string_view ending : endings) {
            std::string candidate(folder);
            if (!IsSeparator(candidate.back()))
                candidate += '\\';
            candidate += name;
            candidate += ending;
            candidates.push_back(std::move(candidate));
        }
    }
    return candidates;
}

std::optional<std::string> ExpandVariables(std::string_view text, const VariableValue& value)
{
    std::string out;
    size_t at = 0;
    for (size_t open = text.find('%'); open != std::string_view::npos; open = text.find('%', at)) {
        const size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos)
            break;
        out.append(text.substr(at, open - at));
        // "%%" names nothing: the first "%" stays and the second may open a name.
        if (close == open + 1) {
            out += '%';
            at = close;
            continue;
        }
        const std::optional<std::string> replacement = value(text.substr(open + 1, close - open - 1));
        if (!replacement)
            return std::nullopt;
        out += *replacement;
        at = close + 1;
    }
    out.append(text.substr(at));
    return out;
}
