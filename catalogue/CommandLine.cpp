#include "CommandLine.h"

#include "Text.h"

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view TrimLeadingBlanks(std::string_view text)
{
    const size_t start = text.find_first_not_of(kBlanks);
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view TrimBlanks(std::string_view text)
{
    text = TrimLeadingBlanks(text);
    return text.substr(0, text.find_last_not_of(kBlanks) + 1);
}

bool IsBlank(char c) { return kBlanks.find(c) != std::string_view::npos; }

ShellCommand Cut(std::string_view text, size_t fileEnd, size_t parametersStart)
{
    return {std::string(text.substr(0, fileEnd)), std::string(TrimLeadingBlanks(text.substr(parametersStart)))};
}

}  // namespace

ShellCommand SplitCommand(std::string_view command)
{
    const std::string_view text = TrimBlanks(command);

    if (text.starts_with('"')) {
        const size_t close = text.find('"', 1);
        if (close == std::string_view::npos)
            return {std::string(text), ""};  // no closing quote: no program to take out
        return Cut(text.substr(1), close - 1, close);
    }

    // Once trimmed, a blank after ".exe" always has arguments behind it.
    const std::string lower = LowerAscii(text);
    constexpr std::string_view kExe = ".exe";
    for (size_t at = lower.find(kExe); at != std::string::npos; at = lower.find(kExe, at + 1)) {
        const size_t end = at + kExe.size();
        if (end < text.size() && IsBlank(text[end]))
            return Cut(text, end, end);
    }

    const size_t blank = text.find_first_of(kBlanks);
    if (blank != std::string_view::npos && text.substr(0, blank).find_first_of("\\/:") == std::string_view::npos)
        return Cut(text, blank, blank);

    return {std::string(text), ""};
}
