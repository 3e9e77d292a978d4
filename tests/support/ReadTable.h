#pragma once

// Value shapes that installers and other tools leave, and the text that
// ReadRegString makes of each: one table that holds for every store.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "MemoryRegistry.h"
#include "Reg.h"

struct ReadCase {
    std::string name;
    RegType type;
    std::vector<std::byte> data;
    std::string expected;
};

inline constexpr const char* kDefaultText = "<default>";

inline std::vector<std::byte> RawBytes(std::initializer_list<int> values)
{
    std::vector<std::byte> bytes;
    for (const int value : values)
        bytes.push_back(static_cast<std::byte>(value));
    return bytes;
}

inline std::vector<ReadCase> ReadCases()
{
    const std::string huge(1 << 19, 'x');  // 1 MB as UTF-16, far past any first buffer
    return {
        {"Plain", RegType::Sz, Utf16Bytes("Tool 2.0"), "Tool 2.0"},
        {"Expand", RegType::ExpandSz, Utf16Bytes("%ProgramFiles%\\Tool"), "%ProgramFiles%\\Tool"},
        {"Scripts", RegType::Sz, Utf16Bytes("Инструмент 工具 \U0001F680"), "Инструмент 工具 \U0001F680"},
        {"Empty", RegType::Sz, {}, ""},
        {"Unterminated", RegType::Sz, Utf16Bytes("abc", false), "abc"},
        {"InnerNul", RegType::Sz, RawBytes({'a', 0, 0, 0, 'b', 0, 0, 0}), "a"},
        {"OddLength", RegType::Sz, RawBytes({'a', 0, 'b', 0, 'c'}), "ab"},
        {"Multi", RegType::MultiSz, Utf16Bytes("a"), kDefaultText},
        {"Number", RegType::Dword, RawBytes({7, 0, 0, 0}), kDefaultText},
        {"Huge", RegType::Sz, Utf16Bytes(huge), huge},
    };
}

// Writes every case as a value of the key at `keyPath` with `write`, then
// reads each back through `store`, and a value and a key that are not there.
template <typename Write>
void CheckReadTable(RegistryStore& store, RegRoot root, const std::string& keyPath, Write write)
{
    for (const ReadCase& c : ReadCases())
        write(c);
    for (const ReadCase& c : ReadCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadRegString(store, root, keyPath, c.name, kDefaultText), c.expected);
    }
    EXPECT_EQ(ReadRegString(store, root, keyPath, "Missing", kDefaultText), kDefaultText);
    EXPECT_EQ(ReadRegString(store, root, keyPath + "\\Nowhere", "Plain", kDefaultText), kDefaultText);
}
