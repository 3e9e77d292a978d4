#include "CommandAnalysis.h"

#include <algorithm>
#include <array>

#include "Reg.h"
#include "Text.h"
#include "UninstallEntry.h"

namespace {

std::string WithoutQuotes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(out), [](char c) { return c != '"'; });
    return out;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Bytes taken by the first `count` characters of UTF-8 `text`.
size_t LeadingCharactersLength(std::string_view text, int count)
{
    size_t end = 0;
    for (int taken = 0; taken < count && end < text.size(); ++taken) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    }
    return end;
}

// Where the named file ends: right after the first ".exe"; failing that the
// first ".inf"; failing that the first ".dll". The order of the extensions
// decides, not where they stand. Without any, the first three characters.
size_t NamedFileEnd(std::string_view text)
{
    constexpr std::array<std::string_view, 3> kExtensions = {".exe", ".inf", ".dll"};
    for (std::string_view extension : kExtensions) {
        const size_t at = text.find(extension);
        if (at != std::string_view::npos)
            return at + extension.size();
    }
    return LeadingCharactersLength(text, 3);
}

}  // namespace

std::string DeriveUninstallerPath(std::string_view command)
{
    if (LowerAscii(command).find("msiexec.exe") != std::string::npos)
        return std::string(kIgnoreMarker);

    std::string text = LowerAscii(WithoutQuotes(command));
    ReplaceAll(text, "rundll32.exe", "rundll32");
    text.resize(NamedFileEnd(text));

    // rundll32 names a library first and the file it acts on last, after the
    // last drive letter.
    if (text.find("rundll32") != std::string::npos)
        return PathFromLastDrive(text);
    return text;
}
