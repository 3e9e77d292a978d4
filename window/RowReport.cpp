#include "RowReport.h"

#include <algorithm>

#include "CommandLine.h"
#include "ListItems.h"
#include "UninstallEntry.h"

namespace {

std::string ProductState(int state)
{
    switch (state) {
    case 1: return "advertised";
    case 2: return "installed for another user";
    case 5: return "installed";
    default: return "in state " + std::to_string(state);
    }
}

std::string DriveWords(DriveKind kind, const std::string& root)
{
    switch (kind) {
    case DriveKind::Removable: return root + " is a removable drive: another medium may hold its letter now.";
    case DriveKind::Optical: return root + " is an optical drive: another disc may be in it now.";
    case DriveKind::Absent: return root + " is not there now: its disk may be unplugged.";
    case DriveKind::NotAnswering: return root + " does not answer now.";
    case DriveKind::Fixed:
    case DriveKind::Share:
    case DriveKind::Other: break;
    }
    return root + " is a drive whose files may come and go.";
}

// Paths are shown as Windows writes them, whichever slash the command used.
std::string Backslashed(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string ReadAs(const Reading& reading)
{
    return Backslashed(reading.path) + (reading.as32Bit ? " (read as a 32-bit program reads it)" : "");
}

std::string NotTicked(const Verdict& verdict)
{
    const std::string& subject = verdict.subject;
    const auto reading = std::find_if(verdict.readings.begin(), verdict.readings.end(),
                                      [&](const Reading& r) { return r.path == subject; });
    const std::string path = reading != verdict.readings.end() ? ReadAs(*reading) : Backslashed(subject);
    switch (verdict.rule) {
    case Rule::Marker: return "the command mentions msiexec.exe, so the row carries IGNORE ME.";
    case Rule::ProductRegistered: return "Windows Installer has the product " + subject + " registered.";
    case Rule::ProductKnown:
        if (verdict.productState == -2)
            return "Windows Installer could not be asked about the product " + subject + ".";
        return "Windows Installer knows the product " + subject + " (" + ProductState(verdict.productState) + ").";
    case Rule::NoProductCode: return "the command names no Windows Installer product.";
    case Rule::NoFile: return "the command names no file with a folder.";
    case Rule::TooManyReadings: return "the command can be read in too many ways to prove anything.";
    case Rule::RelativePath: return path + " is a relative path: it would be looked for wherever this program runs.";
    case Rule::VariableUndefined: return "%" + subject + "% is not defined for this entry.";
    case Rule::VariableUsersOnly: return "%" + subject + "% is a user's folder; an entry of this computer cannot name it.";
    case Rule::VariableUserDiffers: return "this user's %" + subject + "% differs from the computer's.";
    case Rule::VariableProgramDiffers: return "this program's %" + subject + "% differs from the entry's.";
    case Rule::DriveCannotProve: return DriveWords(verdict.drive, Backslashed(subject));
    case Rule::Present: return path + " is there.";
    case Rule::Unknown: return path + " could not be checked.";
    case Rule::DeadLink: return path + " leads through a link whose target is missing.";
    case Rule::TooDeep: return path + " is missing with more of its folders than any uninstaller has.";
    case Rule::NoFolderThere:
        return "no folder of " + path + " is on " + Backslashed(PathRoot(subject)) + " now: another disk may hold its letter.";
    case Rule::NotAsked:
    case Rule::ProductUnknown:
    case Rule::AllGone:
    case Rule::TickedByHand: break;
    }
    return {};
}

std::string KeptWords(const Verdict& verdict)
{
    const std::string error = " (Windows error " + std::to_string(verdict.error) + ").";
    switch (verdict.kept) {
    case Kept::Changed: return "Delete kept it: the entry changed since the list was read.";
    case Kept::NoLongerStale: return "Delete kept it: the proof no longer held.";
    case Kept::Unreadable: return "Delete kept it: the entry could not be read" + error;
    case Kept::NotDeleted: return "Delete kept it: the entry could not be deleted" + error;
    case Kept::No: break;
    }
    return {};
}

// One field of a copied line: no tab or line break of its own.
std::string Field(std::string text)
{
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

}  // namespace

std::string PlaceWords(RegRoot place)
{
    switch (place) {
    case RegRoot::LocalMachine: return "This computer, 64-bit programs";
    case RegRoot::LocalMachine32: return "This computer, 32-bit programs";
    case RegRoot::CurrentUser: break;
    }
    return "This user's programs";
}

std::string FullKeyPath(RegRoot place, std::string_view keyName)
{
    const std::string_view belowSoftware = std::string_view(kUninstallKeyPath).substr(std::string_view("Software").size());
    std::string path = place == RegRoot::CurrentUser ? "HKEY_CURRENT_USER\\Software"
                       : place == RegRoot::LocalMachine32 ? "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node"
                                                          : "HKEY_LOCAL_MACHINE\\SOFTWARE";
    return path.append(belowSoftware).append("\\").append(keyName);
}

std::string DescribeVerdict(const Verdict& verdict)
{
    std::string text;
    switch (verdict.rule) {
    case Rule::NotAsked: break;
    case Rule::TickedByHand: text = "Ticked by hand."; break;
    case Rule::ProductUnknown: text = "Ticked: Windows Installer does not know the product " + verdict.subject + "."; break;
    case Rule::AllGone:
        text = "Ticked: ";
        for (const Reading& reading : verdict.readings) {
            if (&reading != &verdict.readings.front())
                text += "; ";
            text += ReadAs(reading) + " is missing, and " + Backslashed(reading.folder) + " is there";
        }
        text += ".";
        break;
    default: text = "Not ticked: " + NotTicked(verdict); break;
    }
    const std::string kept = KeptWords(verdict);
    return text.empty() || kept.empty() ? text + kept : text + " " + kept;
}

std::string RowTip(const ListItems& list, int position)
{
    std::string tip = PlaceWords(list.Place(position)) + "\n" +
                      FullKeyPath(list.Place(position), list.SubItem(position, kKeyNameSubItem)) + "\n" +
                      list.SubItem(position, kUninstallSubItem);
    if (const std::string verdict = DescribeVerdict(list.VerdictOf(position)); !verdict.empty())
        tip += "\n" + verdict;
    return tip;
}

std::string CopyRows(const ListItems& list, const std::vector<int>& positions)
{
    std::string text = "Name\tPlace\tKey\tCommand\tVerdict\r\n";
    for (const int position : positions) {
        const RegRoot place = list.Place(position);
        for (std::string field : {list.Text(position), PlaceWords(place),
                                  FullKeyPath(place, list.SubItem(position, kKeyNameSubItem)),
                                  list.SubItem(position, kUninstallSubItem), DescribeVerdict(list.VerdictOf(position))})
            text += Field(std::move(field)) + "\t";
        text.back() = '\r';
        text += "\n";
    }
    return text;
}
