#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MemoryRegistry.h"
#include "Reg.h"

// Value shapes that installers and other tools leave, and the text that
// ReadRegString makes of each: one table that holds for every store.
struct ReadCase {
    std::string name;
    RegType type;
    std::vector<std::byte> data;
    std::string expected;
};

inline std::vector<ReadCase> ReadCases()
{
    const auto raw = [](std::string_view bytes) {
        return std::vector<std::byte>(reinterpret_cast<const std::byte*>(bytes.data()),
                                      reinterpret_cast<const std::byte*>(bytes.data() + bytes.size()));
    };
    const std::string huge(1 << 19, 'x');  // 1 MB as UTF-16: past any first buffer
    return {
        {"Plain", RegType::Sz, Utf16Bytes("Tool 2.0"), "Tool 2.0"},
        {"Expand", RegType::ExpandSz, Utf16Bytes("%ProgramFiles%\\Tool"), "%ProgramFiles%\\Tool"},
        {"Scripts", RegType::Sz, Utf16Bytes("Инструмент 工具 \U0001F680"), "Инструмент 工具 \U0001F680"},
        {"Empty", RegType::Sz, {}, ""},
        {"Unterminated", RegType::Sz, Utf16Bytes("abc", false), "abc"},
        {"ZeroBytes", RegType::Sz, Utf16Bytes("\u0100\u0200"), "\u0100\u0200"},  // each unit with a zero byte
        {"InnerNul", RegType::Sz, raw(std::string_view("a\0\0\0b\0\0\0", 8)), "a"},
        {"OddLength", RegType::Sz, raw(std::string_view("a\0b\0c", 5)), "ab"},
        {"OneByte", RegType::Sz, raw("a"), ""},
        {"TwoBytes", RegType::Sz, raw(std::string_view("a\0", 2)), "a"},
        {"TerminatorOnly", RegType::Sz, raw(std::string_view("\0\0", 2)), ""},
        {"ThreeBytes", RegType::Sz, raw(std::string_view("a\0\0", 3)), "a"},
        {"ThreeBytesUnterminated", RegType::ExpandSz, raw(std::string_view("a\0b", 3)), "a"},
        {"Binary", RegType::Binary, Utf16Bytes("text"), "<default>"},
        {"NoType", RegType::None, Utf16Bytes("text"), "<default>"},
        {"Multi", RegType::MultiSz, Utf16Bytes("a"), "<default>"},
        {"Number", RegType::Dword, raw(std::string_view("\7\0\0\0", 4)), "<default>"},
        {"Huge", RegType::Sz, Utf16Bytes(huge), huge},
    };
}

// Writes every case into the key at `keyPath` with `write`, then reads each
// back through `store`, with a value and a key that are not there.
template <typename Write>
void CheckReadTable(RegistryStore& store, RegRoot root, const std::string& keyPath, Write write)
{
    for (const ReadCase& c : ReadCases())
        write(c);
    for (const ReadCase& c : ReadCases())
        EXPECT_EQ(ReadRegString(store, root, keyPath, c.name, "<default>"), c.expected) << c.name;
    EXPECT_EQ(ReadRegString(store, root, keyPath, "Missing", "<default>"), "<default>");
    // Windows would read the name only up to the NUL.
    EXPECT_EQ(ReadRegString(store, root, keyPath, std::string("Plain\0x", 7), "<default>"), "<default>");
    EXPECT_EQ(ReadRegString(store, root, keyPath + "\\Nowhere", "Plain", "<default>"), "<default>");
}
