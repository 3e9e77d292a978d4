#pragma once

#include <string>
#include <string_view>

// `text` with each %NAME% of a defined environment variable replaced by its
// value, as Windows does it: names match in any case; an undefined name and a
// lone % stay as written. A text Windows cannot take (one holding a NUL, or too
// long) comes back unchanged.
std::string ExpandEnvironment(std::string_view text);
