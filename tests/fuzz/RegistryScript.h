#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "RegistryStore.h"

// The registry fuzzer reads its input as a script: a run of steps, each an
// opcode byte followed by its arguments. Every byte string is some script:
// bytes pick from the tables below modulo their size, and a script that runs
// out of bytes reads zeros and ends.
namespace script {

enum Step : std::uint8_t {
    kEntry,       // name: a new key under the Uninstall key, which becomes the current key
    kValue,       // value name, type, data: a value on the current key
    kSubkey,      // name: a key below the current key, which becomes the current key
    kElsewhere,   // place, name: a key outside the entries, which becomes the current key
    kFault,       // operation, call number, action: done when the program makes that call
    kChange,      // action: done after the load, before the actions, behind the program's back
    kMarks,       // text: tick and highlight bits for the rows, one byte per row, repeated
    kStrayRow,    // text, key name, command, file: a row the registry did not give
    kProbeSeed,   // byte: which files the stand-in file system has
    kStepCount
};

// How a name is made: the script's own bytes, or long names around the
// 255-unit limit of an enumerated name, or one from kKnownNames.
// A long name takes one more byte for its length in UTF-16 units, from
// kLongNameUnits on, and an ASCII one a byte for its letter.
enum NameKind : std::uint8_t { kRawName, kLongAscii, kLongLatin, kLongAstral, kKnownName, kNameKindCount };
inline constexpr unsigned kLongNameUnits = 250;
inline constexpr unsigned kLongNameSpread = 10;

// How value data is made. Text is UTF-16LE; raw data is the script's bytes
// (odd lengths, stray NULs). A huge text takes two bytes, low first, for its
// length in blocks less one, then a text to repeat; the fuzzer caps it.
enum DataKind : std::uint8_t { kText, kTextUnterminated, kRawData, kHugeText, kNoData, kDataKindCount };
inline constexpr size_t kHugeTextBlock = 8;

// What a fault or a change does. kFail makes the call fail with a status and
// changes nothing; the others change the registry and let the call go on.
enum Action : std::uint8_t {
    kFail,          // status
    kChangeValue,   // entry, value name, type, data
    kRemoveValue,   // entry, value name
    kDeleteKey,     // entry
    kRecreateKey,   // entry, display name data, command data
    kAddEntry,      // name, display name data, command data
    kActionCount
};

// Operations as the in-memory registry numbers them.
inline constexpr int kOperationCount = 6;

// Failure statuses; 0 is never one. 2 (not found) is the one a delete may
// return and still count as done.
inline constexpr RegStatus kStatuses[] = {kRegFileNotFound, kRegAccessDenied, kRegMoreData, kRegKeyDeleted,
                                          kRegNoMoreItems, 1, 6, 87, -1, 0x7FFFFFFF};

inline constexpr RegType kTypes[] = {RegType::Sz,     RegType::Sz,     RegType::Sz,   RegType::ExpandSz,
                                     RegType::MultiSz, RegType::Dword, RegType::Binary, RegType::None,
                                     RegType::Qword,  static_cast<RegType>(0x1234)};

// Index 0 means the value the faulted call reads (DisplayName when it reads none).
inline constexpr std::string_view kValueNames[] = {"", "DisplayName", "UninstallString", "displayname",
                                                   "UNINSTALLSTRING", "Publisher", "<raw>"};
inline constexpr int kSameValue = 0;
inline constexpr int kRawValueName = 6;

inline constexpr std::string_view kKnownNames[] = {
    "{12345678-90AB-CDEF-1234-567890ABCDEF}", "Tool", "TOOL", ".", "..", " ", "Uninstall", "a\\b", "\\", "",
};

// Key names a stray row may carry that must never reach beyond one entry.
inline constexpr std::string_view kHostileKeyNames[] = {
    "", "\\", "x\\", "\\x", "a\\b", "..\\..", std::string_view("a\0b", 3), ".", "..", "Uninstall",
};

// Where kElsewhere keys go: around the Uninstall key, sharing its prefix,
// and the Uninstall key itself (whose own values must stay).
inline constexpr std::string_view kPlaces[] = {
    "Software\\Other",
    "Software\\Microsoft\\Windows\\CurrentVersion",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall2",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall Old",
    "Software",
};

// Stray rows take their key name from the script's bytes, from
// kHostileKeyNames, or from a loaded row (in upper case when the bit says).
enum StrayKeyKind : std::uint8_t {
    kRawKeyName,
    kHostileKeyName,
    kLoadedKeyName,
    kLoadedKeyNameUpper,
    kStrayKeyKindCount
};

}  // namespace script
