#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "Misc.h"

class ListItems;
class RegistryStore;

// What the actions ask of the machine, passed in so tests can stand in for it.
// The window passes ShellOpen with its own handle, ProbeFile and ExpandEnvironment.
using StartCommand = std::function<void(std::string_view command)>;
using FileProbe = std::function<FileState(std::string_view path)>;
using ExpandVariables = std::function<std::string(std::string_view text)>;

// Each action reads the row count once. Positions are ints: lists of any
// length work.

// Starts the uninstall command of every highlighted row, top to bottom, each
// without waiting for the one before; ticks play no part. The list keeps
// painting meanwhile: the shell may show a message over it.
void UninstallSelectedEntry(ListItems& list, const StartCommand& start);

// Deletes the key of every ticked row in the row's own place, bottom to top,
// and removes the row once its key is gone. A row whose key could not be
// deleted stays, still ticked; a row whose name is not exactly one key under
// the Uninstall key is left alone. Repainting is off for the pass.
void DeleteCheckedEntries(ListItems& list, RegistryStore& store);

// Ticks every row whose uninstaller file is proven gone: with its %VAR%
// references expanded, its path is absolute, the root of its drive or share
// is present and the file is absent. Rows whose text holds the marker are
// skipped; each root is probed once per pass, as a drive or share that does
// not answer may take long to say so. Never clears a tick. Repainting is off
// for the pass.
void DetectOldEntries(ListItems& list, const FileProbe& probe, const ExpandVariables& expand);
