#include "Actions.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "CommandAnalysis.h"
#include "ListItems.h"
#include "Reg.h"
#include "RegistryStore.h"
#include "Text.h"
#include "UninstallEntry.h"

namespace {

// The name is appended to the Uninstall key's path. Empty, it would name the
// Uninstall key itself; with a backslash, another key (a trailing one names
// the Uninstall key too); with a NUL, Windows would read a shorter name.
// "." and ".." need no care: to the registry they are names like any other.
bool IsSingleKeyName(std::string_view name)
{
    return !name.empty() && name.find_first_of(std::string_view("\\\0", 2)) == std::string_view::npos;
}

enum class KeyNow { Gone, AsListed, Changed, Unreadable };

KeyNow ReadBack(RegistryStore& store, RegRoot place, std::string_view keyName, std::string_view displayName,
                std::string_view command)
{
    OpenedKey key(store);
    const RegStatus status = key.Open(place, EntryKeyPath(keyName));
    if (status == kRegFileNotFound)
        return KeyNow::Gone;
    if (status != kRegSuccess)
        return KeyNow::Unreadable;
    if (ReadRegString(key, "DisplayName", "") != displayName || ReadRegString(key, "UninstallString", "") != command)
        return KeyNow::Changed;
    return KeyNow::AsListed;
}

// What a place's entries mean by %NAME%. A machine entry means the machine's
// value; where the user's or this program's environment says otherwise, a
// process at the user's level may have set it, and it proves nothing. A
// user's entry means the user's value, which this program must see too.
std::optional<std::string> PlaceVariable(const Environments& environments, RegRoot place, std::string_view name)
{
    const std::string key = LowerAscii(name);
    const Variables& own = place == RegRoot::CurrentUser ? environments.user : environments.machine;
    const auto value = own.find(key);
    if (value == own.end())
        return std::nullopt;
    for (const Variables* other : {&environments.user, &environments.program}) {
        const auto seen = other->find(key);
        if (seen == other->end() || LowerAscii(seen->second) != LowerAscii(value->second))
            return std::nullopt;
    }
    return value->second;
}

// `path` as a 32-bit program on 64-bit Windows means it: the file system
// shows it SysWOW64 as System32 (but for a few folders that stay shared), and
// Sysnative is its name for the real System32.
std::string As32BitProgramMeantIt(std::string path, std::string_view windowsFolder)
{
    std::string lower = LowerAscii(path);
    std::replace(lower.begin(), lower.end(), '/', '\\');
    std::string windows = LowerAscii(windowsFolder);
    if (!windows.ends_with('\\'))
        windows += '\\';
    const auto under = [&](std::string_view folder) {
        return lower.compare(windows.size(), folder.size(), folder) == 0 && lower.size() > windows.size() + folder.size() &&
               lower[windows.size() + folder.size()] == '\\';
    };
    if (windowsFolder.empty() || !lower.starts_with(windows))
        return path;
    if (under("sysnative"))
        return path.replace(windows.size(), 9, "System32");
    if (!under("system32"))
        return path;
    for (const std::string_view shared : {"catroot", "catroot2", "driverstore", "drivers\\etc", "logfiles", "spool"}) {
        if (under(std::string("system32\\").append(shared)))
            return path;
    }
    return path.replace(windows.size(), 8, "SysWOW64");
}

constexpr int kMostMissingFolders = 16;

class DetectionPass {
public:
    explicit DetectionPass(const Machine& machine) : machine_(machine) {}

    bool IsStale(const ListItems& list, int position)
    {
        const CommandTarget target = AnalyseCommand(list.SubItem(position, kUninstallSubItem));
        if (target.windowsInstaller)
            return !target.productCode.empty() && !machine_.registeredProducts.contains(LowerAscii(target.productCode)) &&
                   machine_.productState(target.productCode) == kInstallStateUnknown;
        if (target.files.empty() || target.tooManyReadings ||
            list.SubItem(position, kFileExistsSubItem).find(kIgnoreMarker) != std::string::npos)
            return false;
        const std::optional<std::vector<std::string>> paths = PlaceReadings(target.files, list.Place(position));
        return paths && std::all_of(paths->begin(), paths->end(), [this](const std::string& path) { return IsGone(path); });
    }

private:
    // Every path the entry's files may be at, as its writer meant them;
    // nullopt when one of them cannot be known.
    std::optional<std::vector<std::string>> PlaceReadings(const std::vector<std::string>& files, RegRoot place) const
    {
        const auto own = [&](std::string_view name) { return PlaceVariable(machine_.environments, place, name); };
        const auto own32 = [&](std::string_view name) {
            const std::string key = LowerAscii(name);
            return own(key == "programfiles" || key == "commonprogramfiles" ? key + "(x86)" : key);
        };
        // 32-bit installers write the machine's 32-bit view, and the user's
        // key, which both kinds of program share.
        const bool may32Bit = place != RegRoot::LocalMachine;
        std::vector<std::string> paths;
        for (const std::string& file : files) {
            const std::optional<std::string> path = ExpandVariables(file, own);
            const std::optional<std::string> path32 = may32Bit ? ExpandVariables(file, own32) : path;
            if (!path || !path32)
                return std::nullopt;
            paths.push_back(*path);
            if (may32Bit)
                paths.push_back(As32BitProgramMeantIt(*path32, machine_.windowsFolder));
        }
        return paths;
    }

    bool IsGone(const std::string& path)
    {
        // A relative name would be looked for wherever this program happens
        // to stand.
        const std::string root = PathRoot(path);
        if (root.empty())
            return false;
        const auto [known, isNew] = rootProves_.try_emplace(LowerAscii(root), false);
        if (isNew)
            known->second = machine_.canProveAbsence(root);
        if (!known->second || Probe(path) != FileState::Absent)
            return false;
        // A link on the way that leads nowhere (an unplugged volume) makes a
        // path look missing: the file is gone only below a folder that is
        // there, and does not list the first missing name either.
        // A path missing more folders than any uninstaller's proves nothing:
        // each would be probed with its whole length.
        std::string missing = path;
        for (int climbed = 0;; ++climbed) {
            const size_t separator = missing.find_last_of("\\/");
            const std::string folder = missing.substr(0, separator);
            if (separator == std::string::npos || separator < root.size() || Probe(folder) == FileState::Present)
                return IsUnlisted(missing);
            if (Probe(folder) == FileState::Unknown || climbed == kMostMissingFolders)
                return false;
            missing = folder;
        }
    }

    bool IsUnlisted(const std::string& path)
    {
        const auto [answer, isNew] = unlisted_.try_emplace(path, false);
        if (isNew)
            answer->second = machine_.isUnlisted(path);
        return answer->second;
    }

    FileState Probe(const std::string& path)
    {
        const auto [answer, isNew] = probed_.try_emplace(path, FileState::Unknown);
        if (isNew)
            answer->second = machine_.probeFile(path);
        return answer->second;
    }

    const Machine& machine_;
    std::map<std::string, bool> rootProves_;  // by lower-cased root
    // One answer per path and pass: entries share folders and readings. The
    // next pass asks again, as files come and go.
    std::map<std::string, FileState> probed_;
    std::map<std::string, bool> unlisted_;
};

}  // namespace

void UninstallSelectedEntry(ListItems& list, const StartCommand& start)
{
    const int count = list.Count();
    for (int position = 1; position <= count; ++position) {
        if (list.Selected(position))
            start(list.SubItem(position, kUninstallSubItem));
    }
}

void DeleteCheckedEntries(ListItems& list, RegistryStore& store)
{
    // Bottom to top: removing a row moves up only rows already passed.
    const int count = list.Count();
    ListUpdate update(list);
    for (int position = count; position >= 1; --position) {
        if (!list.Checked(position))
            continue;
        const std::string keyName = list.SubItem(position, kKeyNameSubItem);
        if (!IsSingleKeyName(keyName))
            continue;
        const RegRoot place = list.Place(position);
        switch (ReadBack(store, place, keyName, list.Text(position), list.SubItem(position, kUninstallSubItem))) {
        case KeyNow::Gone:
            list.Remove(position);
            continue;
        case KeyNow::Changed:
            list.SetChecked(position, false);
            continue;
        case KeyNow::Unreadable:
            continue;
        case KeyNow::AsListed:
            break;
        }
        const RegStatus status = store.DeleteTree(place, EntryKeyPath(keyName));
        // A key that is already gone has left the system's list all the same.
        if (status == kRegSuccess || status == kRegFileNotFound)
            list.Remove(position);
    }
}

void DetectOldEntries(ListItems& list, const Machine& machine)
{
    DetectionPass pass(machine);
    const int count = list.Count();
    ListUpdate update(list);
    for (int position = 1; position <= count; ++position) {
        if (!list.Checked(position) && pass.IsStale(list, position))
            list.SetChecked(position, true);
    }
}
