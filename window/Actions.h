#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "CommandLine.h"
#include "Misc.h"

class ListItems;
class RegistryStore;

// What the actions ask of the machine, passed in so tests can stand in for it.
using StartCommand = std::function<void(std::string_view command)>;
using PutText = std::function<void(std::string_view text)>;

// Windows Installer's answer for a product code, MsiQueryProductState's number.
using InstallState = int;
inline constexpr InstallState kInstallStateUnknown = -1;  // a product it does not know at all

// The machine as detection sees it, read afresh for each pass.
struct Machine {
    Environments environments;
    std::string windowsFolder;  // "C:\Windows"
    // The product codes registered with Windows Installer, lower-cased: it
    // knows them without being asked, which under Wine takes half a
    // millisecond a product.
    std::set<std::string> registeredProducts;
    std::function<DriveKind(std::string_view root)> rootKind;
    std::function<FileState(std::string_view path)> probeFile;
    std::function<bool(std::string_view path)> isUnlisted;
    std::function<InstallState(std::string_view productCode)> productState;
};

// Reads the machine when an action first needs it.
using MachineSource = std::function<Machine()>;

// Each action reads the row count once. Positions are ints: lists of any
// length work.

// Starts the uninstall command of every highlighted row, top to bottom, each
// without waiting for the one before; ticks play no part. The list keeps
// painting meanwhile: the shell may show a message over it.
void UninstallSelectedEntry(ListItems& list, const StartCommand& start);

// Hands `put` the highlighted rows, top to bottom, as CopyRows tells them,
// once; with no row highlighted, nothing. Ticks and highlights stay.
void CopySelectedEntries(const ListItems& list, const PutText& put);

// Deletes the key of every ticked row in the row's own place, bottom to top,
// and removes the row once its key is gone. Right before, the key must still
// be as the list read it: the same display name and command, and not written
// since (an installer that writes the same texts still writes the key). A row
// that Detect ticked must still be stale by the same rule, asked afresh; a
// row ticked by hand has no proof to ask about. Otherwise the key and the row
// stay, unticked. A row whose key could not be read or deleted stays, still
// ticked; a row whose name is not exactly one key under the Uninstall key is
// left alone. Each kept row's verdict says why. Repainting is off for the pass.
void DeleteCheckedEntries(ListItems& list, RegistryStore& store, const MachineSource& machine);

// Gives every row a verdict and ticks the rows whose entry it proves stale:
// - a Windows Installer command whose well-formed product code Windows
//   Installer does not know;
// - any other command, unless its FileExists text holds the marker, when
//   every file it may start (AnalyseCommand) is proven missing, read as the
//   entry's writer meant it: %NAME% with the variables of its place, and for
//   the 32-bit view and the user's key also as a 32-bit program means it, as
//   for a program started from SysWOW64 in any place. Sysnative is System32.
//   A missing file proves the entry stale only on a fixed disk or a share
//   (each root asked once per pass), below a folder that is there and does
//   not list the missing name; off the Windows drive, that folder must be
//   more than the drive's root, since another disk may hold the letter now.
// Rows already ticked stay ticked and are not asked about again; one that no
// pass ticked is ticked by hand. Repainting is off for the pass.
void DetectOldEntries(ListItems& list, const Machine& machine);
