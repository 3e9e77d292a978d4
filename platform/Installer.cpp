#include "Installer.h"

#include <windows.h>
#include <msi.h>

#include "WinText.h"

int QueryProductState(std::string_view productCode)
{
    // A NUL would have Windows Installer read a shorter, other code.
    if (productCode.find('\0') != std::string_view::npos)
        return INSTALLSTATE_INVALIDARG;
    return MsiQueryProductStateW(WideFromUtf8(productCode).c_str());
}
