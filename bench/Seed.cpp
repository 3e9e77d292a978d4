// Fills the Uninstall keys of the current Wine prefix with synthetic entries,
// in the three places the program lists: the machine's 64-bit and 32-bit
// views and the user's key.
//   bench_seed seed N     empties the three keys, writes N entries, creates
//                         the files that the live ones name and registers
//                         their Windows Installer products
//   bench_seed restore N  writes again the stale entries of the set, which a
//                         measured deletion removed
//   bench_seed count      the number of subkeys the keys hold now
// Prints key=value lines; a name ending in _64, _32 or _user counts one place.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include <windows.h>

#include "SeedEntries.h"
#include "UninstallEntry.h"
#include "WinText.h"

namespace {

const std::wstring kUninstallPath = WideFromUtf8(kUninstallKeyPath);

class Key {
public:
    Key() = default;
    ~Key()
    {
        if (key_ != nullptr)
            RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

[[noreturn]] void Fail(const char* what, long status)
{
    std::fprintf(stderr, "bench_seed: %s failed (%ld)\n", what, status);
    std::exit(1);
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ)
{
    const LSTATUS status = RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS)
        Fail("RegSetValueExW", status);
}

void Write(HKEY uninstall, const SeedEntry& entry)
{
    Key key;
    const LSTATUS status = RegCreateKeyExW(uninstall, entry.keyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                           key.Out(), nullptr);
    if (status != ERROR_SUCCESS)
        Fail("RegCreateKeyExW", status);
    if (!entry.displayName.empty())
        SetText(key.Get(), L"DisplayName", entry.displayName);
    if (!entry.uninstallString.empty())
        SetText(key.Get(), L"UninstallString", entry.uninstallString, entry.expandable ? REG_EXPAND_SZ : REG_SZ);
    SetText(key.Get(), L"Publisher", entry.publisher);
    SetText(key.Get(), L"DisplayVersion", entry.version);
    const DWORD size = entry.estimatedSize;
    RegSetValueExW(key.Get(), L"EstimatedSize", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&size), sizeof size);
}

// Windows Installer's key of a product: its code's hex digits, each of the
// first three groups reversed and each pair of the last two swapped.
std::wstring PackedCode(const std::wstring& code)
{
    std::wstring digits;
    for (const wchar_t c : code) {
        if (std::iswxdigit(c))
            digits += c;
    }
    std::wstring packed(digits.rbegin() + 24, digits.rend());
    packed.append(digits.rbegin() + 20, digits.rbegin() + 24);
    packed.append(digits.rbegin() + 16, digits.rbegin() + 20);
    for (size_t pair = 16; pair < 32; pair += 2) {
        packed += digits[pair + 1];
        packed += digits[pair];
    }
    return packed;
}

const wchar_t kProductsPath[] = L"Software\\Classes\\Installer\\Products";

// Enough for Windows Installer to know the product as installed for the machine.
void RegisterProduct(HKEY products, const SeedEntry& entry)
{
    Key product;
    const LSTATUS status = RegCreateKeyExW(products, PackedCode(entry.keyName).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                           nullptr, product.Out(), nullptr);
    if (status != ERROR_SUCCESS)
        Fail("registering a product", status);
    SetText(product.Get(), L"ProductName", entry.displayName);
}

constexpr std::array<const char*, 3> kPlaceSuffixes{"64", "32", "user"};

int PlaceIndex(RegRoot place) { return static_cast<int>(place); }

void OpenUninstallKey(RegRoot place, Key& key)
{
    const HKEY root = place == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    const REGSAM view = place == RegRoot::LocalMachine     ? KEY_WOW64_64KEY
                        : place == RegRoot::LocalMachine32 ? KEY_WOW64_32KEY
                                                           : 0;
    const LSTATUS status = RegCreateKeyExW(root, kUninstallPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                                           nullptr, key.Out(), nullptr);
    if (status != ERROR_SUCCESS)
        Fail("opening the Uninstall key", status);
}

void PrintPerPlace(const char* name, const std::array<int, 3>& counts)
{
    int total = 0;
    for (size_t place = 0; place < counts.size(); ++place) {
        std::printf("%s_%s=%d\n", name, kPlaceSuffixes[place], counts[place]);
        total += counts[place];
    }
    std::printf("%s=%d\n", name, total);
}

void CreateEmptyFile(const std::wstring& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE)
        Fail("creating a live uninstaller", static_cast<long>(GetLastError()));
    CloseHandle(file);
}

int Seed(int count, bool staleOnly)
{
    std::array<Key, 3> uninstall;
    for (const RegRoot place : kEntryPlaces) {
        OpenUninstallKey(place, uninstall[PlaceIndex(place)]);
        // A fresh prefix may hold entries of its own; the set replaces them.
        if (!staleOnly)
            RegDeleteTreeW(uninstall[PlaceIndex(place)].Get(), nullptr);
    }

    Key products;
    if (!staleOnly) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductsPath);
        const LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProductsPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                               nullptr, products.Out(), nullptr);
        if (status != ERROR_SUCCESS)
            Fail("opening Windows Installer's products", status);
    }

    std::array<int, 3> entries{};
    int registered = 0;
    std::array<int, 3> listed{};
    std::array<int, 3> stale{};
    std::set<std::wstring> files;
    for (int index = 0; index < count; ++index) {
        const SeedEntry entry = MakeSeedEntry(index);
        const int place = PlaceIndex(entry.place);
        ++entries[place];
        listed[place] += entry.listed ? 1 : 0;
        stale[place] += entry.stale ? 1 : 0;
        if (staleOnly && !entry.stale)
            continue;
        Write(uninstall[place].Get(), entry);
        if (!staleOnly && !entry.liveFile.empty())
            files.insert(entry.liveFile);
        if (!staleOnly && entry.registered) {
            RegisterProduct(products.Get(), entry);
            ++registered;
        }
    }
    for (const std::wstring& file : files)
        CreateEmptyFile(file);
    PrintPerPlace("entries", entries);
    PrintPerPlace("listed", listed);
    PrintPerPlace("stale", stale);
    if (!staleOnly)
        std::printf("files=%zu\nproducts=%d\n", files.size(), registered);
    return 0;
}

int Count()
{
    std::array<int, 3> subkeys{};
    for (const RegRoot place : kEntryPlaces) {
        Key uninstall;
        OpenUninstallKey(place, uninstall);
        DWORD count = 0;
        const LSTATUS status = RegQueryInfoKeyW(uninstall.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                                                nullptr, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS)
            Fail("RegQueryInfoKeyW", status);
        subkeys[PlaceIndex(place)] = static_cast<int>(count);
    }
    PrintPerPlace("subkeys", subkeys);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string_view mode = argc > 1 ? argv[1] : "";
    const int count = argc > 2 ? std::atoi(argv[2]) : 0;
    if (mode == "seed" && count > 0)
        return Seed(count, false);
    if (mode == "restore" && count > 0)
        return Seed(count, true);
    if (mode == "count")
        return Count();
    std::fprintf(stderr, "usage: bench_seed seed N | restore N | count\n");
    return 2;
}
