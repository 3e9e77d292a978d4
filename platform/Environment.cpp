#include "Environment.h"

#include <cwchar>
#include <memory>

#include <windows.h>
#include <userenv.h>

#include "OwnedHandle.h"
#include "Text.h"
#include "WinText.h"

namespace {

// The variables of a block of "NAME=value" texts that ends in an empty one.
// Names starting with "=" are the drives' current folders, not variables.
Variables ParseBlock(const wchar_t* block)
{
    Variables variables;
    for (const wchar_t* entry = block; entry != nullptr && *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        const std::wstring_view text(entry);
        const size_t equals = text.find(L'=', 1);
        if (equals != std::wstring_view::npos)
            variables.emplace(LowerAscii(Utf8FromWide(text.substr(0, equals))), Utf8FromWide(text.substr(equals + 1)));
    }
    return variables;
}

// CreateEnvironmentBlock's block; without a token, only the machine's.
Variables CreatedBlock(HANDLE token)
{
    void* block = nullptr;
    if (!CreateEnvironmentBlock(&block, token, FALSE))
        return {};
    Variables variables = ParseBlock(static_cast<const wchar_t*>(block));
    DestroyEnvironmentBlock(block);
    return variables;
}

}  // namespace

std::string ExpandEnvironment(std::string_view text)
{
    // Windows reads the text up to its first NUL and would expand only that.
    if (text.empty() || text.find('\0') != std::string_view::npos)
        return std::string(text);

    const std::wstring source = WideFromUtf8(text);
    std::wstring expanded(source.size() + 1, L'\0');
    for (;;) {
        const DWORD needed = ExpandEnvironmentStringsW(source.c_str(), expanded.data(),
                                                       static_cast<DWORD>(expanded.size()));
        if (needed == 0)
            return std::string(text);
        if (needed <= expanded.size())
            break;
        expanded.resize(needed);
    }
    expanded.resize(std::wcslen(expanded.c_str()));
    return Utf8FromWide(expanded);
}

Environments ReadEnvironments()
{
    Environments environments;
    environments.machine = CreatedBlock(nullptr);
    HANDLE opened = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_IMPERSONATE, &opened)) {
        const OwnedHandle token(opened);
        environments.user = CreatedBlock(token.get());
    }
    if (wchar_t* block = GetEnvironmentStringsW(); block != nullptr) {
        environments.program = ParseBlock(block);
        FreeEnvironmentStringsW(block);
    }
    return environments;
}

std::string WindowsFolder()
{
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : Utf8FromWide(std::wstring_view(folder, length));
}
