#include "Shell.h"

#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "ComApartment.h"
#include "CommandLine.h"
#include "Environment.h"
#include "Misc.h"
#include "OwnedHandle.h"
#include "WinText.h"

namespace {

std::string EnvironmentVariable(const wchar_t* name)
{
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length < value.size()) {
            value.resize(length);
            return Utf8FromWide(value);
        }
        value.resize(length);
    }
}

std::string SystemFolder(UINT (WINAPI *query)(LPWSTR, UINT))
{
    wchar_t folder[MAX_PATH];
    const UINT length = query(folder, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : Utf8FromWide(std::wstring_view(folder, length));
}

// When Windows cannot tell, the answer is yes: that answer never starts a
// command with administrator rights.
bool IsElevated()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return true;
    const OwnedHandle owned(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return !GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) ||
           elevation.TokenIsElevated != 0;
}

bool InTime(Deadline deadline) { return std::chrono::steady_clock::now() < deadline; }

// Every call into Explorer goes through here: once `deadline` has passed,
// nothing more is asked, and the answer is E_ABORT.
template <typename Call>
HRESULT Ask(Deadline deadline, Call call)
{
    return InTime(deadline) ? call() : E_ABORT;
}

// Calls `get` with the address of an interface pointer and owns what it left
// there; empty unless `get` answered S_OK (FindWindowSW answers S_FALSE when
// there is no such window), and past `deadline`.
template <typename Interface, typename Get>
ComPointer<Interface> Take(Deadline deadline, Get get)
{
    Interface* object = nullptr;
    const HRESULT result = Ask(deadline, [&] { return get(&object); });
    ComPointer<Interface> owned(object);
    return result == S_OK ? std::move(owned) : nullptr;
}

template <typename Interface>
ComPointer<Interface> Query(Deadline deadline, const ComPointer<IDispatch>& object)
{
    return Take<Interface>(deadline, [&](Interface** out) { return object->QueryInterface(IID_PPV_ARGS(out)); });
}

struct TextFree {
    void operator()(BSTR text) const { SysFreeString(text); }
};
using OwnedText = std::unique_ptr<OLECHAR, TextFree>;

OwnedText AllocateText(const std::wstring& text)
{
    return OwnedText(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

// The VARIANT borrows `text`, which stays its owner.
VARIANT TextVariant(const OwnedText& text)
{
    VARIANT variant;
    VariantInit(&variant);
    V_VT(&variant) = VT_BSTR;
    V_BSTR(&variant) = text.get();
    return variant;
}

// What the hand-off's thread owns.
struct HandOffWork {
    std::vector<ProgramStart> starts;
    DesktopStart desktop;
    HWND notify;
    UINT done;
};

DWORD WINAPI HandOffThread(void* parameter)
{
    const std::unique_ptr<HandOffWork> work(static_cast<HandOffWork*>(parameter));
    {
        // Explorer's answers come to this thread's apartment, never to the
        // window's.
        const ComApartment com;
        for (const ProgramStart& start : work->starts) {
            const Deadline deadline = std::chrono::steady_clock::now() + kHandOffTime;
            work->desktop(start, deadline);
            // A shell that took this long for one start is hung or busy; the
            // next start would wait as long.
            if (!InTime(deadline))
                break;
        }
    }
    PostMessageW(work->notify, work->done, 0, 0);
    return 0;
}

}  // namespace

std::string FindSystemProgram(std::string_view name)
{
    const std::string folders = SystemFolder(GetSystemDirectoryW) + ";" + SystemFolder(GetWindowsDirectoryW) + ";" +
                                EnvironmentVariable(L"PATH");
    std::string extensions = EnvironmentVariable(L"PATHEXT");
    if (extensions.empty())
        extensions = ".COM;.EXE;.BAT;.CMD";
    for (const std::string& candidate : ProgramCandidates(name, folders, extensions)) {
        if (IsFilePresent(candidate))
            return candidate;
    }
    return {};
}

// Explorer's list of its windows finds the desktop; the desktop's view gives
// the automation object of Explorer's own shell (Shell.Application), whose
// ShellExecute starts the program from inside Explorer's process.
bool StartFromDesktopShell(const ProgramStart& start, Deadline deadline)
{
    const ComApartment com;
    // A local server only: the list must be Explorer's, never an object
    // running inside this process with its rights.
    const auto windows = Take<IShellWindows>(deadline, [](IShellWindows** out) {
        return CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(out));
    });
    if (!windows)
        return false;
    VARIANT anywhere;
    VariantInit(&anywhere);
    long desktopWindow = 0;
    const auto desktop = Take<IDispatch>(deadline, [&](IDispatch** out) {
        return windows->FindWindowSW(&anywhere, &anywhere, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH, out);
    });
    if (!desktop)
        return false;
    const auto services = Query<IServiceProvider>(deadline, desktop);
    if (!services)
        return false;
    const auto browser = Take<IShellBrowser>(deadline, [&](IShellBrowser** out) {
        return services->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(out));
    });
    if (!browser)
        return false;
    const auto view = Take<IShellView>(deadline, [&](IShellView** out) { return browser->QueryActiveShellView(out); });
    if (!view)
        return false;
    const auto background = Take<IDispatch>(deadline, [&](IDispatch** out) {
        return view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(out));
    });
    if (!background)
        return false;
    const auto folderView = Query<IShellFolderViewDual>(deadline, background);
    if (!folderView)
        return false;
    const auto application = Take<IDispatch>(deadline, [&](IDispatch** out) { return folderView->get_Application(out); });
    if (!application)
        return false;
    const auto shell = Query<IShellDispatch2>(deadline, application);
    if (!shell)
        return false;

    const OwnedText file = AllocateText(start.file), parameters = AllocateText(start.parameters),
                    folder = AllocateText(start.folder);
    if (!file || !parameters || !folder)
        return false;
    VARIANT defaultVerb;
    VariantInit(&defaultVerb);
    VARIANT show;
    VariantInit(&show);
    V_VT(&show) = VT_I4;
    V_I4(&show) = SW_SHOWNORMAL;
    // A start given up stays given up: an Explorer that answers at last
    // starts nothing for it.
    const auto execute = [&] {
        return shell->ShellExecute(file.get(), TextVariant(parameters), TextVariant(folder), defaultVerb, show);
    };
    return Ask(deadline, execute) == S_OK;
}

bool StartFromHere(HWND owner, const ProgramStart& start)
{
    // The shell's default verb for the file: what a double-click on it does.
    const auto result = ShellExecuteW(owner, nullptr, start.file.c_str(),
                                      start.parameters.empty() ? nullptr : start.parameters.c_str(),
                                      start.folder.c_str(), SW_SHOWNORMAL);
    // ShellExecute answers a number above 32 when it started something.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void ShellOpen(HWND owner, std::string_view target, const HandOff& handOff)
{
    const ShellCommand command = SplitCommand(target);
    std::string file = ExpandEnvironment(command.file);
    // A NUL would have the shell start something shorter than the command names.
    if (file.find('\0') != std::string::npos || command.parameters.find('\0') != std::string::npos)
        return;
    // The shell would look for a bare or relative name in the program's own
    // folder first, and this program runs with administrator rights: a file
    // dropped beside it must never be what starts.
    if (IsRelativePath(file))
        return;
    if (IsBareName(file))
        file = FindSystemProgram(file);
    if (file.empty())
        return;
    // A target that is no path (a URL) starts in the system folder.
    std::string folder = StartFolder(file);
    if (folder.empty())
        folder = SystemFolder(GetSystemDirectoryW);
    const ProgramStart start{WideFromUtf8(file), WideFromUtf8(command.parameters), WideFromUtf8(folder)};
    // Without a folder of its own the program would start in the current one.
    if (start.folder.empty())
        return;

    // An uninstall command is text that processes at the user's own level
    // can change (the user's own entries, programs in folders users can
    // write): started from here it would run as administrator.
    if (IsElevated())
        handOff(start);
    else
        StartFromHere(owner, start);
}

bool HandToDesktopShell(std::vector<ProgramStart> starts, DesktopStart desktop, HWND notify, UINT done)
{
    auto work = std::make_unique<HandOffWork>(HandOffWork{std::move(starts), std::move(desktop), notify, done});
    // Nobody waits for the thread: the program ends with its window, even
    // while the thread waits on a hung Explorer.
    const OwnedHandle thread(CreateThread(nullptr, 0, HandOffThread, work.get(), 0, nullptr));
    if (!thread)
        return false;
    work.release();  // the thread's now
    return true;
}
