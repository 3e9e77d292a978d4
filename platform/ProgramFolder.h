#pragma once

#include <string>

// The folder that holds the program's executable, without a trailing
// separator except at a drive's root ("C:\"); "" if Windows cannot tell.
std::wstring ProgramFolder();
