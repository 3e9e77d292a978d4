#include <windows.h>
#include <objbase.h>

#include "Form1.h"
#include "Win32Registry.h"

namespace {

// The shell may hand a start to an extension that needs COM on this thread.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment()
    {
        if (initialised_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    ComApartment com;
    Win32Registry registry;
    Form1 form(registry);
    if (!form.Create())
        return 1;
    form.Show(showCommand);
    return RunMessageLoop(form.Hwnd());
}
