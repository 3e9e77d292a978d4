#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Reg.h"
#include "Win32Registry.h"
#include "WinText.h"

namespace {

constexpr const char* kTestRoot = "Software\\UninstallListCleanerTests";

// Writes raw value data, as an installer or another tool could have left it.
void WriteValue(const std::string& keyPath, const std::string& name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(keyPath).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, WideFromUtf8(name).c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void WriteText(const std::string& keyPath, const std::string& name, const std::wstring& text,
               DWORD type = REG_SZ)
{
    WriteValue(keyPath, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void CreateKey(const std::string& keyPath)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(keyPath).c_str(), 0, nullptr, 0, KEY_READ,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

bool KeyExists(const std::string& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// `length` characters starting with `first`.
std::string LongName(char first, size_t length)
{
    std::string name(length, 'x');
    name.front() = first;
    return name;
}

class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { registry.DeleteTree(RegRoot::LocalMachine, kTestRoot); }
    void TearDown() override { registry.DeleteTree(RegRoot::LocalMachine, kTestRoot); }

    std::string Read(const std::string& keyPath, const char* valueName)
    {
        return ReadRegString(registry, RegRoot::LocalMachine, keyPath, valueName, "<default>");
    }

    std::vector<std::string> SubkeyNames(const std::string& keyPath, RegStatus& endStatus)
    {
        std::vector<std::string> names;
        OpenedKey key(registry);
        endStatus = registry.OpenForEnumeration(RegRoot::LocalMachine, keyPath, key.Out());
        std::string name;
        for (int index = 0; endStatus == kRegSuccess; ++index) {
            endStatus = registry.EnumerateSubkey(key.Get(), index, name);
            if (endStatus == kRegSuccess)
                names.push_back(name);
        }
        return names;
    }

    Win32Registry registry;
    const std::string values = std::string(kTestRoot) + "\\Values";
};

TEST_F(Win32RegistryTest, ReadsEveryShapeOfValue)
{
    WriteText(values, "Plain", L"Tool 2.0");
    WriteText(values, "Expand", L"%SystemRoot%\\uninst.exe", REG_EXPAND_SZ);
    WriteText(values, "Scripts", L"Инструмент 工具 \U0001F680");
    WriteValue(values, "Empty", REG_SZ, L"", 0);
    WriteValue(values, "Unterminated", REG_SZ, L"abc", 3 * sizeof(wchar_t));
    WriteValue(values, "InnerNul", REG_SZ, L"a\0b", 4 * sizeof(wchar_t));
    WriteValue(values, "OddLength", REG_SZ, "a\0b\0c", 5);
    WriteValue(values, "Multi", REG_MULTI_SZ, L"a\0b\0", 5 * sizeof(wchar_t));
    const DWORD number = 7;
    WriteValue(values, "Number", REG_DWORD, &number, sizeof number);
    const std::wstring huge(1 << 19, L'x');  // 1 MB of text
    WriteText(values, "Huge", huge);

    EXPECT_EQ(Read(values, "Plain"), "Tool 2.0");
    EXPECT_EQ(Read(values, "Expand"), "%SystemRoot%\\uninst.exe");
    EXPECT_EQ(Read(values, "Scripts"), "Инструмент 工具 \U0001F680");
    EXPECT_EQ(Read(values, "Empty"), "");
    EXPECT_EQ(Read(values, "Unterminated"), "abc");
    EXPECT_EQ(Read(values, "InnerNul"), "a");
    EXPECT_EQ(Read(values, "OddLength"), "ab");
    EXPECT_EQ(Read(values, "Multi"), "<default>");
    EXPECT_EQ(Read(values, "Number"), "<default>");
    EXPECT_EQ(Read(values, "Missing"), "<default>");
    EXPECT_EQ(Read(values, "Huge"), Utf8FromWide(huge));
    EXPECT_EQ(Read(std::string(kTestRoot) + "\\Nowhere", "Plain"), "<default>");
}

TEST_F(Win32RegistryTest, EnumeratesNamesOutsideTheCodePageAndStopsAtOverlongNames)
{
    const std::string parent = std::string(kTestRoot) + "\\Names";
    const std::string scripts = "bΩμέγα Тест 测试 \U0001F680";
    CreateKey(parent + "\\a");
    CreateKey(parent + "\\" + scripts);
    const std::string fits = LongName('c', 254);
    CreateKey(parent + "\\" + fits);
    CreateKey(parent + "\\" + LongName('d', 255));  // one character too many
    CreateKey(parent + "\\e");

    RegStatus endStatus = kRegSuccess;
    const std::vector<std::string> names = SubkeyNames(parent, endStatus);
    EXPECT_EQ(names, (std::vector<std::string>{"a", scripts, fits}));
    EXPECT_EQ(endStatus, kRegMoreData);

    // The name read back reaches the very same key.
    const std::string path = parent + "\\" + scripts;
    WriteText(path, "DisplayName", L"found");
    EXPECT_EQ(Read(path, "DisplayName"), "found");
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, path), kRegSuccess);
    EXPECT_FALSE(KeyExists(path));
    EXPECT_TRUE(KeyExists(parent + "\\a"));
}

TEST_F(Win32RegistryTest, DeletesAWholeTreeAndNothingBeside)
{
    const std::string tree = std::string(kTestRoot) + "\\Tree";
    WriteText(tree, "DisplayName", L"Tool");
    WriteText(tree + "\\Sub\\Deeper", "Value", L"x");
    CreateKey(tree + "Sibling");

    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, tree), kRegSuccess);
    EXPECT_FALSE(KeyExists(tree));
    EXPECT_TRUE(KeyExists(tree + "Sibling"));
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, tree), kRegFileNotFound);
}

TEST_F(Win32RegistryTest, RefusesNamesWithANul)
{
    // "Victim\0Rest" must not be taken for "Victim".
    const std::string victim = std::string(kTestRoot) + "\\Victim";
    WriteText(victim, "DisplayName", L"keep me");
    const std::string withNul = victim + std::string(1, '\0') + "Rest";

    EXPECT_NE(registry.DeleteTree(RegRoot::LocalMachine, withNul), kRegSuccess);
    EXPECT_TRUE(KeyExists(victim));
    EXPECT_EQ(Read(withNul, "DisplayName"), "<default>");
    EXPECT_EQ(ReadRegString(registry, RegRoot::LocalMachine, victim, std::string("DisplayName\0x", 13), "<d>"),
              "<d>");
}

// A value is asked for its size and then for its data. The store answers both
// from one read when the value fits its first buffer; what callers see must
// not depend on which way it went.
class Win32RegistryReadTest : public Win32RegistryTest {
protected:
    struct Answer {
        RegStatus sizeStatus = -1;
        RegType type = RegType::None;
        std::uint32_t size = 0;
        RegStatus dataStatus = -1;
        std::uint32_t stored = 0;
        std::vector<std::byte> data;
    };

    // The size, then whatever `between` does, then the data into a buffer of
    // `bufferSize` bytes (the size just learned when -1).
    template <typename Between>
    Answer SizeChangeData(const std::string& name, Between between, long long bufferSize = -1)
    {
        Answer answer;
        OpenedKey key(registry);
        EXPECT_EQ(registry.OpenKey(RegRoot::LocalMachine, values, key.Out()), kRegSuccess);
        answer.sizeStatus = registry.QueryValueSize(key.Get(), name, answer.type, answer.size);
        between(key.Get());
        answer.data.resize(bufferSize < 0 ? answer.size : static_cast<size_t>(bufferSize));
        answer.stored = static_cast<std::uint32_t>(answer.data.size());
        answer.dataStatus = registry.QueryValueData(key.Get(), name, answer.data, answer.stored);
        return answer;
    }
    Answer SizeThenData(const std::string& name, long long bufferSize = -1)
    {
        return SizeChangeData(name, [](RegistryStore::Key) {}, bufferSize);
    }

    static std::vector<std::byte> Bytes(const std::wstring& text, bool terminated = true)
    {
        const auto* first = reinterpret_cast<const std::byte*>(text.c_str());
        return std::vector<std::byte>(first, first + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
    }

    static constexpr size_t kFirst = Win32Registry::kFirstReadBytes;
};

TEST_F(Win32RegistryReadTest, TextsAroundTheFirstBufferComeBackWhole)
{
    // Just under, at and just over the first read: terminated texts of even
    // length, and unterminated ones with a stray last byte.
    for (const size_t bytes : {kFirst - 2, kFirst, kFirst + 2, kFirst - 1, kFirst + 1}) {
        const bool odd = bytes % 2 != 0;
        const std::wstring text(odd ? bytes / 2 : bytes / 2 - 1, L'v');
        // Beyond the stray byte more text follows, so that Windows does not
        // take it for a terminator the writer forgot to count.
        const std::wstring written(text.size() + (odd ? 2 : 0), L'v');
        std::vector<std::byte> stored = Bytes(written, !odd);
        stored.resize(bytes);
        WriteValue(values, "Edge", REG_SZ, Bytes(written, !odd).data(), static_cast<DWORD>(bytes));
        const Answer answer = SizeThenData("Edge");
        EXPECT_EQ(answer.sizeStatus, kRegSuccess) << bytes;
        EXPECT_EQ(answer.type, RegType::Sz) << bytes;
        EXPECT_EQ(answer.size, bytes);
        EXPECT_EQ(answer.dataStatus, kRegSuccess) << bytes;
        EXPECT_EQ(answer.stored, bytes);
        EXPECT_EQ(answer.data, stored) << bytes;
        EXPECT_EQ(Read(values, "Edge"), std::string(text.size(), 'v')) << bytes;
    }
}

TEST_F(Win32RegistryReadTest, ASmallBufferGetsMoreDataAndTheSizeAsTheRegistryWouldSay)
{
    WriteText(values, "Short", L"fits the first read");
    const std::wstring longText(kFirst, L'l');
    WriteText(values, "Long", longText);

    for (const char* name : {"Short", "Long"}) {
        const Answer answer = SizeThenData(name, 4);
        EXPECT_EQ(answer.sizeStatus, kRegSuccess) << name;
        EXPECT_EQ(answer.dataStatus, kRegMoreData) << name;
        EXPECT_EQ(answer.stored, answer.size) << name;
    }
    EXPECT_EQ(SizeThenData("Long").size, (longText.size() + 1) * sizeof(wchar_t));
}

TEST_F(Win32RegistryReadTest, ASizeAndItsDataDescribeOneStateOfTheValue)
{
    WriteText(values, "Short", L"before");
    const std::wstring longBefore(kFirst, L'b');
    WriteText(values, "Long", longBefore);
    const auto rewrite = [this](const char* name, const std::wstring& text) {
        return [this, name, text](RegistryStore::Key) { WriteText(values, name, text); };
    };

    // A value that fitted is answered from the read that gave its size.
    Answer answer = SizeChangeData("Short", rewrite("Short", L"a much longer text than before"));
    EXPECT_EQ(answer.dataStatus, kRegSuccess);
    EXPECT_EQ(answer.data, Bytes(L"before"));

    // A longer one is read again: grown, it no longer fits the size learned;
    // shrunk, it comes back as it is now.
    answer = SizeChangeData("Long", rewrite("Long", std::wstring(kFirst + 4, L'b')));
    EXPECT_EQ(answer.dataStatus, kRegMoreData);
    answer = SizeChangeData("Long", rewrite("Long", L"now short"));
    EXPECT_EQ(answer.dataStatus, kRegSuccess);
    EXPECT_EQ(answer.stored, Bytes(L"now short").size());

    // Either way the text read is never one of blanks or of stale bytes.
    WriteText(values, "Long", longBefore);
    EXPECT_EQ(Read(values, "Short"), "a much longer text than before");
    EXPECT_EQ(Read(values, "Long"), std::string(longBefore.size(), 'b'));
}

TEST_F(Win32RegistryReadTest, AReadKeptForOneValueAnswersNoOther)
{
    WriteText(values, "First", L"first");
    WriteText(values, "Second", L"second");
    const std::string other = std::string(kTestRoot) + "\\Other";
    WriteText(other, "First", L"other first");

    // The data query names another value: it is read from the registry.
    Answer answer;
    {
        OpenedKey key(registry);
        ASSERT_EQ(registry.OpenKey(RegRoot::LocalMachine, values, key.Out()), kRegSuccess);
        RegType type = RegType::None;
        std::uint32_t size = 0;
        ASSERT_EQ(registry.QueryValueSize(key.Get(), "First", type, size), kRegSuccess);
        std::vector<std::byte> data(64);
        std::uint32_t stored = 64;
        ASSERT_EQ(registry.QueryValueData(key.Get(), "Second", data, stored), kRegSuccess);
        data.resize(stored);
        EXPECT_EQ(data, Bytes(L"second"));
        // ...and a second data query after the first one asks the registry too.
        WriteText(values, "First", L"FIRST");
        ASSERT_EQ(registry.QueryValueSize(key.Get(), "First", type, size), kRegSuccess);
        data.assign(size, std::byte{});
        stored = size;
        ASSERT_EQ(registry.QueryValueData(key.Get(), "First", data, stored), kRegSuccess);
        WriteText(values, "First", L"fIRST");
        ASSERT_EQ(registry.QueryValueData(key.Get(), "First", data, stored), kRegSuccess);
        EXPECT_EQ(data, Bytes(L"fIRST"));
    }

    // A key closed and another opened, even under the same handle value: the
    // data query reads the other key's value.
    {
        OpenedKey first(registry);
        ASSERT_EQ(registry.OpenKey(RegRoot::LocalMachine, values, first.Out()), kRegSuccess);
        RegType type = RegType::None;
        std::uint32_t size = 0;
        ASSERT_EQ(registry.QueryValueSize(first.Get(), "First", type, size), kRegSuccess);
        registry.CloseKey(first.Get());
        first.Out() = 0;
        OpenedKey second(registry);
        ASSERT_EQ(registry.OpenKey(RegRoot::LocalMachine, other, second.Out()), kRegSuccess);
        std::vector<std::byte> data(64);
        std::uint32_t stored = 64;
        ASSERT_EQ(registry.QueryValueData(second.Get(), "First", data, stored), kRegSuccess);
        data.resize(stored);
        EXPECT_EQ(data, Bytes(L"other first"));
    }
}

TEST_F(Win32RegistryReadTest, MissingValuesAndOtherTypesAnswerAsBefore)
{
    const DWORD number = 7;
    WriteValue(values, "Number", REG_DWORD, &number, sizeof number);
    WriteValue(values, "Empty", REG_SZ, L"", 0);

    Answer answer = SizeThenData("Missing");
    EXPECT_EQ(answer.sizeStatus, kRegFileNotFound);
    EXPECT_EQ(answer.dataStatus, kRegFileNotFound);

    answer = SizeThenData("Number");
    EXPECT_EQ(answer.type, RegType::Dword);
    EXPECT_EQ(answer.size, sizeof number);
    EXPECT_EQ(answer.stored, sizeof number);

    answer = SizeThenData("Empty");
    EXPECT_EQ(answer.sizeStatus, kRegSuccess);
    EXPECT_EQ(answer.size, 0u);
    EXPECT_EQ(answer.dataStatus, kRegSuccess);
    EXPECT_EQ(answer.stored, 0u);

    // Vanished between the two queries: the read that gave the size answers.
    WriteText(values, "Vanishes", L"here");
    answer = SizeChangeData("Vanishes", [this](RegistryStore::Key) {
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, WideFromUtf8(values).c_str(), L"Vanishes");
    });
    EXPECT_EQ(answer.dataStatus, kRegSuccess);
    EXPECT_EQ(answer.data, Bytes(L"here"));
    EXPECT_EQ(Read(values, "Vanishes"), "<default>");
}

}  // namespace
