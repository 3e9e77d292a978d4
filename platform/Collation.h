#pragma once

#include <string>
#include <string_view>

// The user's locale's sort key for a display name, as the control panel
// orders programs: letter case ignored, runs of digits compared as numbers
// ("Tool 9" before "Tool 10"). Keys compare as std::string compares.
std::string DisplayNameSortKey(std::string_view displayName);
