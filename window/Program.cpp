#include <windows.h>

#include "Form1.h"
#include "Win32Registry.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    Win32Registry registry;
    Form1 form(registry);
    if (!form.Create())
        return 1;
    form.Show(showCommand);
    return RunMessageLoop(form.Hwnd());
}
