#pragma once

#include <string>
#include <vector>

#include "RegistryStore.h"
#include "Verdict.h"

class ListItems;

// What the window tells of a row: in its info tip, and on the clipboard. All
// of it is made from what the row holds; nothing is asked of the machine.

// The place in words, each naming "64-bit", "32-bit" or "user".
std::string PlaceWords(RegRoot place);

// The entry's key in full, as `reg query` takes it.
std::string FullKeyPath(RegRoot place, std::string_view keyName);

// The verdict in one or two plain sentences with the paths in full, then why
// Delete kept the row, if it did; "" for a row no Detect pass asked about.
std::string DescribeVerdict(const Verdict& verdict);

// The tip's lines: the place and the key, the command as stored, and the
// verdict once there is one.
std::string RowTip(const ListItems& list, int position);

// A header line, then one line for each of `positions`: name, place, key,
// command and verdict, separated by tabs. Tabs and line breaks inside a text
// become blanks.
std::string CopyRows(const ListItems& list, const std::vector<int>& positions);
