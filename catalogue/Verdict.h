#pragma once

#include <string>
#include <vector>

#include "Misc.h"

// Why "Detect Old Entries to Delete" ticked a row or left it alone, with the
// proof it saw, and what "Delete Checked Entries" made of a ticked row it
// kept. The tick follows from the rule; the texts the window shows are made
// from this alone, without asking the machine again.
enum class Rule {
    NotAsked,  // no Detect pass has asked about the row yet
    // Ticks: the entry is proven stale.
    ProductUnknown,  // Windows Installer does not know the product `subject`
    AllGone,         // every reading is missing below a folder that is there
    // Ticked before a pass asked, and not by one: the user's choice.
    TickedByHand,
    // Leave the row alone.
    Marker,               // its FileExists text holds the marker
    ProductRegistered,    // Windows Installer's own keys list the product
    ProductKnown,         // Windows Installer knows it, in `productState`
    NoProductCode,        // msiexec without a well-formed product code
    NoFile,               // the command names no file with a folder
    TooManyReadings,      // the command can be read in more ways than are worth probing
    RelativePath,         // `subject` would be looked for wherever this program stands
    VariableUndefined,    // %`subject`% has no value for the entry's place
    VariableUsersOnly,    // only the user defines %`subject`%: not the machine's entry's
    VariableUserDiffers,  // the user sets %`subject`% otherwise than the machine
    VariableProgramDiffers,  // this program's environment sets it otherwise
    DriveCannotProve,     // `subject` is a root of kind `drive`
    Present,              // the reading `subject` is there
    Unknown,              // the reading `subject` could not be asked about
    DeadLink,             // `subject` is missing, yet its folder still lists it
    NoFolderThere,        // nothing of the folders of `subject` is on its drive
    TooDeep,              // `subject` is missing more folders than any uninstaller has
};

inline bool Ticks(Rule rule) { return rule == Rule::ProductUnknown || rule == Rule::AllGone; }

// One file a command may start, as Detect probed it.
struct Reading {
    std::string path;      // expanded, as probed
    bool as32Bit = false;  // read as a 32-bit program means it
    FileState state = FileState::Unknown;
    std::string folder;    // for a missing file: the folder found there
};

// Why Delete kept a ticked row.
enum class Kept {
    No,
    Changed,        // the key changed since the list was read: unticked
    NoLongerStale,  // the proof no longer holds: unticked
    Unreadable,     // the key could not be read back: `error`
    NotDeleted,     // the delete failed: `error`
};

struct Verdict {
    Rule rule = Rule::NotAsked;
    std::string subject;
    int productState = 0;  // MsiQueryProductState's number
    DriveKind drive = DriveKind::Fixed;
    std::vector<Reading> readings;
    Kept kept = Kept::No;
    long error = 0;
};
