#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant ends the run at once, so libFuzzer keeps the input that
// broke it. Unlike assert() it stays on in every build type.
[[noreturn]] inline void FuzzFail(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::abort();
}

#define FUZZ_REQUIRE(condition) ((condition) ? void() : FuzzFail(#condition, __FILE__, __LINE__))
