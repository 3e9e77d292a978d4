#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MemoryRegistry.h"
#include "Reg.h"

namespace {

constexpr const char* kKey = "Software\\Test";

std::vector<std::byte> Bytes(std::initializer_list<int> values)
{
    std::vector<std::byte> bytes;
    for (int v : values)
        bytes.push_back(static_cast<std::byte>(v));
    return bytes;
}

class ReadRegStringTest : public ::testing::Test {
protected:
    std::string Read(const char* valueName, const char* defaultText = "<default>")
    {
        return ReadRegString(registry, RegRoot::LocalMachine, kKey, valueName, defaultText);
    }

    MemoryRegistry registry;
};

TEST_F(ReadRegStringTest, ReadsTextValuesAsStored)
{
    registry.SetString(kKey, "Plain", "Tool 2.0");
    registry.SetString(kKey, "Expand", "%ProgramFiles%\\Tool", RegType::ExpandSz);
    registry.SetString(kKey, "Scripts", "Инструмент 工具 \U0001F680");
    registry.SetValue(kKey, "Empty", RegType::Sz, {});
    registry.SetValue(kKey, "Unterminated", RegType::Sz, Utf16Bytes("abc", false));
    registry.SetValue(kKey, "InnerNul", RegType::Sz, Bytes({'a', 0, 0, 0, 'b', 0, 0, 0}));
    registry.SetValue(kKey, "OddLength", RegType::Sz, Bytes({'a', 0, 'b', 0, 'c'}));

    EXPECT_EQ(Read("Plain"), "Tool 2.0");
    EXPECT_EQ(Read("Expand"), "%ProgramFiles%\\Tool");
    EXPECT_EQ(Read("Scripts"), "Инструмент 工具 \U0001F680");
    EXPECT_EQ(Read("Empty"), "");
    EXPECT_EQ(Read("Unterminated"), "abc");
    EXPECT_EQ(Read("InnerNul"), "a");
    EXPECT_EQ(Read("OddLength"), "ab");
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(ReadRegStringTest, ReadsAHugeValueWhole)
{
    const std::string huge(1 << 20, 'x');
    registry.SetString(kKey, "Huge", huge);
    EXPECT_EQ(Read("Huge"), huge);
}

TEST_F(ReadRegStringTest, GivesTheDefaultForOtherTypesAndMissingData)
{
    registry.SetValue(kKey, "Multi", RegType::MultiSz, Utf16Bytes("a\0b", true));
    registry.SetValue(kKey, "Number", RegType::Dword, Bytes({1, 0, 0, 0}));
    registry.SetValue(kKey, "Strange", static_cast<RegType>(0x1234), Utf16Bytes("text"));

    EXPECT_EQ(Read("Multi"), "<default>");
    EXPECT_EQ(Read("Number"), "<default>");
    EXPECT_EQ(Read("Strange"), "<default>");
    EXPECT_EQ(Read("Missing"), "<default>");
    EXPECT_EQ(ReadRegString(registry, RegRoot::LocalMachine, "Software\\Nowhere", "Plain", "dflt"), "dflt");
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(ReadRegStringTest, GivesTheDefaultWhenTheValueChangesBetweenSizeAndData)
{
    registry.SetString(kKey, "Grows", "short");
    registry.SetString(kKey, "Vanishes", "here");
    registry.SetString(kKey, "Refused", "secret");
    registry.intercept = [this](MemoryRegistry::Operation operation, std::string_view, std::string_view value) {
        if (operation != MemoryRegistry::Operation::QueryValueData)
            return kRegSuccess;
        if (value == "Grows")
            registry.SetString(kKey, "Grows", "a much longer text than before");
        if (value == "Vanishes")
            registry.DeleteTree(RegRoot::LocalMachine, kKey);
        return value == "Refused" ? kRegAccessDenied : kRegSuccess;
    };

    // Never a text of blanks or of stale bytes: the default.
    EXPECT_EQ(Read("Grows"), "<default>");
    EXPECT_EQ(Read("Refused"), "<default>");
    EXPECT_EQ(Read("Vanishes"), "<default>");
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

}  // namespace
