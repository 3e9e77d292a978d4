#include "Actions.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "CommandAnalysis.h"
#include "ListItems.h"
#include "Reg.h"
#include "RegistryStore.h"
#include "RowReport.h"
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

// The key as it is now against the row as the list read it. On Unreadable
// `error` holds Windows' status.
KeyNow ReadBack(RegistryStore& store, const ListItems& list, int position, std::string_view keyName, RegStatus& error)
{
    OpenedKey key(store);
    error = key.Open(list.Place(position), EntryKeyPath(keyName));
    if (error == kRegFileNotFound)
        return KeyNow::Gone;
    KeyTime written = 0;
    if (error == kRegSuccess)
        error = store.QueryWritten(key.Get(), written);
    if (error != kRegSuccess)
        return KeyNow::Unreadable;
    if (written != list.Written(position) || ReadRegString(key, "DisplayName", "") != list.Text(position) ||
        ReadRegString(key, "UninstallString", "") != list.SubItem(position, kUninstallSubItem))
        return KeyNow::Changed;
    return KeyNow::AsListed;
}

// What a place's entries mean by %NAME%. A machine entry means the machine's
// value; where the user's or this program's environment says otherwise, a
// process at the user's level may have set it, and it proves nothing. A
// user's entry means the user's value, which this program must see too.
// Without a value, `whyNot` says why.
std::optional<std::string> PlaceVariable(const Environments& environments, RegRoot place, std::string_view name,
                                         Rule& whyNot)
{
    const std::string key = LowerAscii(name);
    const bool usersEntry = place == RegRoot::CurrentUser;
    const Variables& own = usersEntry ? environments.user : environments.machine;
    const auto value = own.find(key);
    if (value == own.end()) {
        whyNot = !usersEntry && environments.user.contains(key) ? Rule::VariableUsersOnly : Rule::VariableUndefined;
        return std::nullopt;
    }
    for (const Variables* other : {&environments.user, &environments.program}) {
        const auto seen = other->find(key);
        if (seen == other->end() || LowerAscii(seen->second) != LowerAscii(value->second)) {
            whyNot = other == &environments.user ? Rule::VariableUserDiffers : Rule::VariableProgramDiffers;
            return std::nullopt;
        }
    }
    return value->second;
}

// Where `path` lies below the Windows folder: the offset of what follows
// "<windows>\", or npos. Separators may be either slash.
size_t BelowWindows(std::string_view path, std::string_view windowsFolder, std::string& lower)
{
    lower = LowerAscii(path);
    std::replace(lower.begin(), lower.end(), '/', '\\');
    std::string windows = LowerAscii(windowsFolder);
    if (!windows.ends_with('\\'))
        windows += '\\';
    return !windowsFolder.empty() && lower.starts_with(windows) ? windows.size() : std::string::npos;
}

// `lower` holds `folder` and more at `at`.
bool Under(std::string_view lower, size_t at, std::string_view folder)
{
    return at != std::string::npos && lower.compare(at, folder.size(), folder) == 0 && lower.size() > at + folder.size() &&
           lower[at + folder.size()] == '\\';
}

// `path` as a 64-bit program means it: Sysnative is only a 32-bit program's
// name for System32, so whoever wrote it meant System32.
std::string As64BitProgramMeantIt(std::string path, std::string_view windowsFolder)
{
    std::string lower;
    const size_t at = BelowWindows(path, windowsFolder, lower);
    return Under(lower, at, "sysnative") ? path.replace(at, 9, "System32") : path;
}

// `path` as a 32-bit program on 64-bit Windows means it: the file system
// shows it SysWOW64 as System32 (but for a few folders that stay shared), and
// Sysnative is its name for the real System32.
std::string As32BitProgramMeantIt(std::string path, std::string_view windowsFolder)
{
    std::string lower;
    const size_t at = BelowWindows(path, windowsFolder, lower);
    if (Under(lower, at, "sysnative"))
        return path.replace(at, 9, "System32");
    if (!Under(lower, at, "system32"))
        return path;
    for (const std::string_view shared : {"catroot", "catroot2", "driverstore", "drivers\\etc", "logfiles", "spool"}) {
        if (Under(lower, at, std::string("system32\\").append(shared)))
            return path;
    }
    return path.replace(at, 8, "SysWOW64");
}

// The command's program is a 32-bit one from SysWOW64 (rundll32 there reads
// its System32 arguments as SysWOW64), in any place.
bool StartsFromSysWow64(std::string_view command, std::string_view windowsFolder)
{
    std::string_view program = TrimBlanks(command);
    if (program.starts_with('"'))
        program.remove_prefix(1);
    std::string lower;
    size_t at = BelowWindows(program, windowsFolder, lower);
    for (const std::string_view variable : {"%windir%\\", "%systemroot%\\"}) {
        if (lower.starts_with(variable))
            at = variable.size();
    }
    return Under(lower, at, "syswow64");
}

constexpr int kMostMissingFolders = 16;

class DetectionPass {
public:
    explicit DetectionPass(const Machine& machine)
        : machine_(machine), windowsRoot_(LowerAscii(PathRoot(machine.windowsFolder)))
    {
    }

    Verdict Judge(const ListItems& list, int position)
    {
        const std::string command = list.SubItem(position, kUninstallSubItem);
        const CommandTarget target = AnalyseCommand(command);
        Verdict verdict;
        if (target.windowsInstaller) {
            verdict.subject = target.productCode;
            if (target.productCode.empty()) {
                verdict.rule = Rule::NoProductCode;
            } else if (machine_.registeredProducts.contains(LowerAscii(target.productCode))) {
                verdict.rule = Rule::ProductRegistered;
            } else {
                verdict.productState = machine_.productState(target.productCode);
                verdict.rule = verdict.productState == kInstallStateUnknown ? Rule::ProductUnknown : Rule::ProductKnown;
            }
        } else if (list.SubItem(position, kFileExistsSubItem).find(kIgnoreMarker) != std::string::npos) {
            verdict.rule = Rule::Marker;
        } else if (target.files.empty()) {
            verdict.rule = Rule::NoFile;
        } else if (target.tooManyReadings) {
            verdict.rule = Rule::TooManyReadings;
        } else if (AddReadings(target.files, list.Place(position), StartsFromSysWow64(command, machine_.windowsFolder),
                               verdict)) {
            // The first reading that proves nothing decides; the ones after
            // it are not asked about.
            verdict.rule = Rule::AllGone;
            size_t asked = 0;
            while (asked < verdict.readings.size() && verdict.rule == Rule::AllGone)
                verdict.rule = Probe(verdict.readings[asked++], verdict);
            verdict.readings.resize(asked);
        } else {
            verdict.readings.clear();
        }
        return verdict;
    }

private:
    // Every path the entry's files may be at, as its writer meant them, into
    // `verdict`. False, with the variable and why in `verdict`, when one of
    // them cannot be known.
    bool AddReadings(const std::vector<std::string>& files, RegRoot place, bool program32, Verdict& verdict) const
    {
        const auto own = [&](std::string_view name) {
            const auto value = PlaceVariable(machine_.environments, place, name, verdict.rule);
            if (!value)
                verdict.subject = name;
            return value;
        };
        const auto own32 = [&](std::string_view name) {
            const std::string key = LowerAscii(name);
            return own(key == "programfiles" || key == "commonprogramfiles" ? key + "(x86)" : key);
        };
        // 32-bit installers write the machine's 32-bit view, and the user's
        // key, which both kinds of program share.
        const bool may32Bit = place != RegRoot::LocalMachine;
        for (const std::string& file : files) {
            const std::optional<std::string> path = ExpandVariables(file, own);
            if (!path)
                return false;
            verdict.readings.push_back({As64BitProgramMeantIt(*path, machine_.windowsFolder), false, FileState::Unknown, {}});
            std::optional<std::string> path32 = path;
            if (may32Bit && !(path32 = ExpandVariables(file, own32)))
                return false;
            if (may32Bit || program32) {
                std::string reading = As32BitProgramMeantIt(*path32, machine_.windowsFolder);
                if (reading != verdict.readings.back().path)
                    verdict.readings.push_back({std::move(reading), true, FileState::Unknown, {}});
            }
        }
        return true;
    }

    // Probes one reading and says what it proves: AllGone when it is missing
    // below a folder that is there, which lists no such name either; the rule
    // that leaves the row alone otherwise, with its subject in `verdict`.
    Rule Probe(Reading& reading, Verdict& verdict)
    {
        verdict.subject = reading.path;
        // A relative name would be looked for wherever this program happens
        // to stand.
        const std::string root = PathRoot(reading.path);
        if (root.empty())
            return Rule::RelativePath;
        const std::string lowerRoot = LowerAscii(root);
        const auto [known, isNew] = rootKinds_.try_emplace(lowerRoot, DriveKind::Other);
        if (isNew)
            known->second = machine_.rootKind(root);
        if (!CanProveAbsence(known->second)) {
            verdict.subject = root;
            verdict.drive = known->second;
            return Rule::DriveCannotProve;
        }
        reading.state = Probe(reading.path);
        if (reading.state != FileState::Absent)
            return reading.state == FileState::Present ? Rule::Present : Rule::Unknown;
        // A link on the way that leads nowhere (an unplugged volume) makes a
        // path look missing: the file is gone only below a folder that is
        // there, and does not list the first missing name either. Off the
        // Windows drive the drive's root is not enough: another disk may
        // have taken the letter, and none of the path is on it. A path
        // missing more folders than any uninstaller's proves nothing: each
        // would be probed with its whole length.
        const bool letterMayMove = lowerRoot.size() == 3 && lowerRoot[1] == ':' && lowerRoot.compare(0, 2, windowsRoot_, 0, 2) != 0;
        std::string missing = reading.path;
        for (int climbed = 0;; ++climbed) {
            const size_t separator = missing.find_last_of("\\/");
            std::string folder = missing.substr(0, separator);
            const bool atRoot = separator == std::string::npos || separator < root.size();
            if (atRoot && letterMayMove)
                return Rule::NoFolderThere;
            const FileState state = atRoot ? FileState::Present : Probe(folder);
            if (state == FileState::Unknown) {
                verdict.subject = folder;
                return Rule::Unknown;
            }
            if (state == FileState::Present) {
                reading.folder = atRoot ? root : std::move(folder);
                if (IsUnlisted(missing))
                    return Rule::AllGone;
                verdict.subject = missing;
                return Rule::DeadLink;
            }
            if (climbed == kMostMissingFolders)
                return Rule::TooDeep;
            missing = std::move(folder);
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
    std::string windowsRoot_;  // lower-cased, "c:\"; "" when not known: then no letter is trusted
    std::map<std::string, DriveKind> rootKinds_;  // by lower-cased root
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

void CopySelectedEntries(const ListItems& list, const PutText& put)
{
    std::vector<int> positions;
    const int count = list.Count();
    for (int position = 1; position <= count; ++position) {
        if (list.Selected(position))
            positions.push_back(position);
    }
    if (!positions.empty())
        put(CopyRows(list, positions));
}

void DeleteCheckedEntries(ListItems& list, RegistryStore& store, const MachineSource& machine)
{
    // Read only when a row ticked by Detect is met, and then once for the pass.
    std::optional<Machine> machineNow;
    std::optional<DetectionPass> pass;
    const auto keep = [&](int position, Verdict verdict, Kept why, RegStatus error, bool ticked) {
        verdict.kept = why;
        verdict.error = error;
        list.SetVerdict(position, std::move(verdict));
        list.SetChecked(position, ticked);
    };
    // Bottom to top: removing a row moves up only rows already passed.
    const int count = list.Count();
    ListUpdate update(list);
    for (int position = count; position >= 1; --position) {
        if (!list.Checked(position))
            continue;
        const std::string keyName = list.SubItem(position, kKeyNameSubItem);
        if (!IsSingleKeyName(keyName))
            continue;
        RegStatus error = kRegSuccess;
        switch (ReadBack(store, list, position, keyName, error)) {
        case KeyNow::Gone:
            list.Remove(position);
            continue;
        case KeyNow::Changed:
            keep(position, list.VerdictOf(position), Kept::Changed, kRegSuccess, false);
            continue;
        case KeyNow::Unreadable:
            keep(position, list.VerdictOf(position), Kept::Unreadable, error, true);
            continue;
        case KeyNow::AsListed:
            break;
        }
        if (Ticks(list.VerdictOf(position).rule)) {
            if (!pass)
                pass.emplace(machineNow.emplace(machine()));
            Verdict now = pass->Judge(list, position);
            if (!Ticks(now.rule)) {
                keep(position, std::move(now), Kept::NoLongerStale, kRegSuccess, false);
                continue;
            }
        }
        error = store.DeleteTree(list.Place(position), EntryKeyPath(keyName));
        // A key that is already gone has left the system's list all the same.
        if (error == kRegSuccess || error == kRegFileNotFound)
            list.Remove(position);
        else
            keep(position, list.VerdictOf(position), Kept::NotDeleted, error, true);
    }
}

void DetectOldEntries(ListItems& list, const Machine& machine)
{
    DetectionPass pass(machine);
    const int count = list.Count();
    ListUpdate update(list);
    for (int position = 1; position <= count; ++position) {
        if (list.Checked(position)) {
            const Rule rule = list.VerdictOf(position).rule;
            if (!Ticks(rule) && rule != Rule::TickedByHand)
                list.SetVerdict(position, Verdict{.rule = Rule::TickedByHand, .subject = {}, .readings = {}});
            continue;
        }
        Verdict verdict = pass.Judge(list, position);
        const bool ticks = Ticks(verdict.rule);
        list.SetVerdict(position, std::move(verdict));
        if (ticks)
            list.SetChecked(position, true);
    }
}
