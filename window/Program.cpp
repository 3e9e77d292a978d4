#include <memory>
#include <type_traits>

#include <windows.h>

#include "ComApartment.h"
#include "Form1.h"
#include "Win32Registry.h"

namespace {

struct LibraryFree {
    void operator()(HMODULE library) const { FreeLibrary(library); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFree>;

}  // namespace

// The image's load configuration. Its DependentLoadFlags (mingw-w64's headers
// still call the field Reserved1) has Windows look for the DLLs of the
// program's own imports, which load before wWinMain runs, in the system
// folder only. GNU ld links the object in but leaves the image's directory
// entry for it empty: cmake/set-load-config.sh fills that in after linking.
// Visual Studio's linker makes its own (/DEPENDENTLOADFLAG).
#ifdef __MINGW32__
namespace {

constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 LoadConfiguration()
{
    IMAGE_LOAD_CONFIG_DIRECTORY64 configuration{};
    configuration.Size = sizeof configuration;
    configuration.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
    return configuration;
}

}  // namespace

extern "C" __attribute__((used)) constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = LoadConfiguration();
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    // Run elevated, typically from a Downloads folder, the program must load
    // no DLL from its own folder, where Windows would look first for every
    // DLL loaded by name from here on (input methods, themes, shell
    // extensions). Only kernel32 and the C runtime load with the program;
    // every other DLL loads at its first call, after this one
    // (window/CMakeLists.txt). Without it, better not to run at all.
    if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return 1;
    // Wine loads the DLLs that its own DLLs import late (delay-loaded) from
    // its default path, this folder first, whatever the call above says. Of
    // those the window reaches one: uxtheme's msimg32, when a themed control
    // paints. A DLL that is loaded already is taken as it is.
    const Library msimg32(LoadLibraryExW(L"msimg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    // The shell may hand a start to an extension that needs COM on this thread.
    ComApartment com;
    // Without it, an object from Explorer could have this process load code
    // of Explorer's choosing.
    if (SecureComForElevatedClient() != S_OK)
        return 1;
    Win32Registry registry;
    Form1 form(registry);
    if (!form.Create())
        return 1;
    form.Show(showCommand);
    return RunMessageLoop(form.Hwnd());
}
