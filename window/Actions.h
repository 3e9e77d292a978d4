#pragma once

#include <functional>
#include <string>
#include <string_view>

class ListItems;
class RegistryStore;

// What the actions ask of the machine, passed in so tests can stand in for it.
// The window passes ShellOpen with its own handle, IsFilePresent and ExpandEnvironment.
using StartCommand = std::function<void(std::string_view command)>;
using FileProbe = std::function<bool(std::string_view path)>;
using ExpandVariables = std::function<std::string(std::string_view text)>;

// Each action reads the row count once and holds the list's repainting off
// for its whole pass. Positions are ints: lists of any length work.

// Starts the uninstall command of every highlighted row, top to bottom, each
// without waiting for the one before; ticks play no part.
void UninstallSelectedEntry(ListItems& list, const StartCommand& start);

// Deletes the key of every ticked row, bottom to top, and removes the row once
// its key is gone. A row whose key could not be deleted stays, still ticked;
// a row whose name is not exactly one key under the Uninstall key is left alone.
void DeleteCheckedEntries(ListItems& list, RegistryStore& store);

// Ticks every row whose uninstaller file, with its %VAR% references expanded,
// is not present, unless its text holds the marker. Never clears a tick.
void DetectOldEntries(ListItems& list, const FileProbe& isFilePresent, const ExpandVariables& expand);
