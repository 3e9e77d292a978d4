#include "SeedEntries.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace {

// Vendors and products combine into a bounded set of install folders, so a
// list of any length names only a few hundred distinct live files.
constexpr std::array<const wchar_t*, 20> kVendors{
    L"Acme", L"Contoso", L"Fabrikam", L"Northwind", L"Tailspin", L"Woodgrove", L"Litware",
    L"Proseware", L"Adatum", L"Coho Vineyard", L"Wingtip", L"Humongous", L"Lucerne", L"Margie's",
    L"Trey Research", L"Fourth Coffee", L"Blue Yonder", L"Müller Software", L"Ωmega Labs", L"東京 Tools"};
constexpr std::array<const wchar_t*, 6> kProducts{L"Writer", L"Studio", L"Toolbox", L"Media Player",
                                                  L"Backup", L"Driver Pack"};

std::uint32_t Mix(std::uint32_t value)
{
    value ^= value >> 16;
    value *= 0x7FEB352Du;
    value ^= value >> 15;
    value *= 0x846CA68Bu;
    value ^= value >> 16;
    return value;
}

std::wstring Guid(int index, std::uint32_t hash)
{
    wchar_t text[40];
    std::swprintf(text, std::size(text), L"{%08X-%04X-%04X-%04X-%012X}", hash, (hash >> 7) & 0xFFFF,
                  0x4000 | (hash & 0x0FFF), 0x8000 | ((hash >> 3) & 0x3FFF), static_cast<unsigned>(index));
    return text;
}

}  // namespace

SeedEntry MakeSeedEntry(int index)
{
    const std::uint32_t hash = Mix(static_cast<std::uint32_t>(index) + 1);
    const std::wstring vendor = kVendors[hash % kVendors.size()];
    const std::wstring product = kProducts[(hash / 32) % kProducts.size()];
    const std::wstring folder = L"C:\\Program Files\\" + vendor + L"\\" + product;
    const std::wstring number = std::to_wstring(index);
    const int major = static_cast<int>(hash / 256 % 12) + 1;
    const int minor = static_cast<int>(hash / 4096 % 10);

    SeedEntry entry;
    // A second mix, so that the place is independent of vendor and shape.
    const std::uint32_t spread = Mix(hash) % 10;
    entry.place = spread < 6 ? RegRoot::LocalMachine : spread < 9 ? RegRoot::LocalMachine32 : RegRoot::CurrentUser;
    entry.publisher = vendor;
    entry.version = std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + number;
    entry.estimatedSize = hash % 500000;
    entry.keyName = vendor + L" " + product + L" " + number;
    entry.displayName = vendor + L" " + product + L" " + std::to_wstring(major) + L"." + std::to_wstring(minor);
    if (hash % 3 == 0)
        entry.displayName += L" (x64)";

    const int slot = index % 100;
    entry.stale = slot % 10 == 4 && slot != 94;
    if (entry.stale) {
        // Uninstallers whose folders are gone: the entries a clean-up is for.
        const std::wstring gone = L" (removed " + std::to_wstring(index % 50) + L")";
        switch (hash % 6) {
        case 0:
            entry.uninstallString = L"\"" + folder + gone + L"\\uninst.exe\" /S";
            break;
        case 1:
            entry.uninstallString = L"C:\\PROGRA~1\\" + vendor + gone + L"\\UNWISE.EXE C:\\PROGRA~1\\" + vendor + gone +
                                    L"\\INSTALL.LOG";
            break;
        case 2:
            entry.uninstallString = L"C:\\WINDOWS\\system32\\RunDll32.exe setupapi.dll,InstallHinfSection "
                                    L"DefaultUninstall 132 C:\\WINDOWS\\INF\\old" + number + L".inf";
            break;
        case 3:
            entry.keyName = Guid(index, hash) + L"_is1";
            entry.uninstallString = L"\"%ProgramFiles%\\" + vendor + L"\\" + product + gone + L"\\unins000.exe\"";
            entry.expandable = true;
            break;
        case 4:
            entry.uninstallString = L"RunDll32 C:\\PROGRA~1\\COMMON~1\\" + vendor +
                                    L"\\ctor.dll,LaunchSetup \"" + folder + gone + L"\\setup.exe\" -l0x9 -removeonly";
            break;
        default:
            // Uninstalled, but the entry stayed: Windows Installer does not
            // know the product.
            entry.keyName = Guid(index, hash);
            entry.uninstallString = L"MsiExec.exe /X" + entry.keyName;
            break;
        }
    } else {
        switch (hash / 8 % 10) {
        case 0:
        case 1:
        case 2:
            entry.uninstallString = L"\"" + folder + L"\\uninst.exe\" /S";
            entry.liveFile = folder + L"\\uninst.exe";
            break;
        case 3:
            // Windows Installer entries: their product is checked, not a file.
            entry.keyName = Guid(index, hash);
            entry.uninstallString = L"MsiExec.exe /X" + entry.keyName;
            entry.registered = true;
            break;
        case 4:
            entry.keyName = Guid(index, hash);
            entry.uninstallString = L"MsiExec /I" + entry.keyName;
            entry.registered = true;
            break;
        case 5:
            entry.uninstallString = L"C:\\WINDOWS\\system32\\RunDll32.exe setupapi.dll,InstallHinfSection "
                                    L"DefaultUninstall 132 C:\\WINDOWS\\INF\\" + vendor + L".inf";
            entry.liveFile = L"C:\\WINDOWS\\INF\\" + vendor + L".inf";
            break;
        case 6:
            entry.uninstallString = L"RunDll32 C:\\PROGRA~1\\COMMON~1\\" + vendor + L"\\ctor.dll,LaunchSetup \"" +
                                    folder + L"\\setup.exe\" -l0x9 -removeonly";
            entry.liveFile = folder + L"\\setup.exe";
            break;
        case 7:
        case 8:
            entry.keyName = Guid(index, hash) + L"_is1";
            entry.uninstallString = L"\"%ProgramFiles%\\" + vendor + L"\\" + product + L"\\unins000.exe\"";
            entry.expandable = true;
            entry.liveFile = folder + L"\\unins000.exe";
            break;
        default:
            entry.uninstallString = L"C:\\WINDOWS\\UNINST.EXE -f\"" + folder + L"\\DeIsL1.isu\"";
            entry.liveFile = L"C:\\WINDOWS\\UNINST.EXE";
            break;
        }
    }

    // Subkeys the list skips: updates without a name of their own, and
    // leftovers that lost their command.
    if (slot % 10 == 7) {
        if (slot < 50)
            entry.displayName.clear();
        else
            entry.uninstallString.clear();
        entry.liveFile.clear();
        entry.registered = false;
    }
    entry.listed = !entry.displayName.empty() && !entry.uninstallString.empty();
    return entry;
}
