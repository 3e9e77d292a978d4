// Writes the seed corpora: the commands the tests know, and registry scripts
// for the value shapes, names and faults the tests know, so the fuzzers start
// from the cases that matter rather than from nothing.
// Usage: make_fuzz_seeds CORPUS_DIR (it writes CORPUS_DIR/<target>/<seed>)

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "MemoryRegistry.h"
#include "RegistryScript.h"

namespace {

using Operation = MemoryRegistry::Operation;

// Uninstall commands as installers write them: those the command tests
// use, and a few more shapes.
const std::string_view kCommands[] = {
    R"("C:\Program Files\Tool\uninst.exe" /S)",
    "MsiExec.exe /X{12345678-90AB-CDEF-1234-567890ABCDEF}",
    "MsiExec /X{12345678-90AB-CDEF-1234-567890ABCDEF}",
    R"(C:\WINDOWS\UNINST.EXE -f C:\Program Files\Tool\DeIsL1.isu)",
    R"(C:\WINDOWS\system32\RunDll32.exe setupapi.dll,InstallHinfSection DefaultUninstall 132 C:\WINDOWS\INF\tool.inf)",
    R"(RunDll32 C:\PROGRA~1\COMMON~1\Tool\ctor.dll,LaunchSetup "C:\Program Files\Tool\setup.exe" -l0x9 -removeonly)",
    "rundll32.exe tool.dll,Uninstall",
    R"(C:\Tool\remove.bat)",
    R"("C:\Windows\System32\MSIEXEC.EXE" /x{1})",
    R"("C:\Program Files\Tool\uninst.exe"   /S  /D="C:\a b")",
    R"("C:\Tool\setup.bat"/remove)",
    R"("%ProgramFiles%\Tool\un.exe" /S)",
    R"(C:\PROGRA~1\Tool\UNWISE.EXE C:\PROGRA~1\Tool\INSTALL.LOG)",
    R"(C:\WINDOWS\IsUn0407.eXe -f"C:\Tool\DeIsL1.isu")",
    "C:\\Tool.exe.d\\un.exe\t/S",
    "rundll32   setupapi.dll,InstallHinfSection x",
    R"(C:\Program Files\Tool\Remove Tool.lnk)",
    R"("C:\Tool\un.exe /S)",
    R"(  "C:\Tool\un.exe" x  )",
    R"(C:\ÄPFEL\ΣΕΤ\UNINST.EXE /S)",
    "ЖЖЖЖ",
    "rundll32 x.dll,Go é:\\setup.inf",
    R"(:\x.inf)",
    "rundll32rundll32.exe.exe",
    "ab",
};

size_t IndexOf(auto const& table, auto const& item)
{
    for (size_t i = 0; i < std::size(table); ++i) {
        if (table[i] == item)
            return i;
    }
    std::fprintf(stderr, "make_fuzz_seeds: no such table entry\n");
    std::exit(1);
}

// Writes a script in the format RegistryFuzz.cpp reads.
class Script {
public:
    std::string bytes;

    Script& Byte(unsigned value)
    {
        bytes += static_cast<char>(value);
        return *this;
    }
    Script& Text(std::string_view text)
    {
        Byte(static_cast<unsigned>(text.size()));
        bytes += text;
        return *this;
    }
    Script& Name(std::string_view name) { return Byte(script::kRawName).Text(name); }
    Script& LongName(script::NameKind kind, unsigned units)
    {
        Byte(kind).Byte(units - script::kLongNameUnits);
        return kind == script::kLongAscii ? Byte(0) : *this;
    }
    Script& ValueName(std::string_view name)
    {
        for (size_t i = 1; i < std::size(script::kValueNames); ++i) {
            if (i != script::kRawValueName && script::kValueNames[i] == name)
                return Byte(static_cast<unsigned>(i));
        }
        return Byte(script::kRawValueName).Text(name);
    }
    Script& Type(RegType type) { return Byte(static_cast<unsigned>(IndexOf(script::kTypes, type))); }
    Script& Data(script::DataKind kind, std::string_view text = {})
    {
        Byte(kind);
        return kind == script::kNoData ? *this : Text(text);
    }
    Script& HugeText(unsigned blocks, std::string_view pattern)
    {
        return Byte(script::kHugeText).Byte((blocks - 1) & 0xFF).Byte((blocks - 1) >> 8).Text(pattern);
    }

    Script& Entry(std::string_view name) { return Byte(script::kEntry).Name(name); }
    Script& Value(std::string_view name, RegType type, script::DataKind kind, std::string_view text)
    {
        return Byte(script::kValue).ValueName(name).Type(type).Data(kind, text);
    }
    Script& String(std::string_view name, std::string_view text)
    {
        return Value(name, RegType::Sz, script::kText, text);
    }
    Script& Entry(std::string_view name, std::string_view displayName, std::string_view command)
    {
        return Entry(name).String("DisplayName", displayName).String("UninstallString", command);
    }
    Script& LongEntry(script::NameKind kind, unsigned units, std::string_view displayName, std::string_view command)
    {
        return Byte(script::kEntry).LongName(kind, units).String("DisplayName", displayName)
            .String("UninstallString", command);
    }
    Script& Subkey(std::string_view name) { return Byte(script::kSubkey).Name(name); }
    Script& Elsewhere(std::string_view place, std::string_view name)
    {
        return Byte(script::kElsewhere).Byte(static_cast<unsigned>(IndexOf(script::kPlaces, place))).Name(name);
    }
    Script& Marks(std::string_view marks) { return Byte(script::kMarks).Text(marks); }
    Script& TickAll() { return Marks("\x03"); }
    Script& ProbeSeed(unsigned seed) { return Byte(script::kProbeSeed).Byte(seed); }

    // A fault on the `call`th call of `operation`; the action's arguments follow.
    Script& Fault(Operation operation, unsigned call, script::Action action)
    {
        return Byte(script::kFault).Byte(static_cast<unsigned>(operation)).Byte(call - 1).Byte(action);
    }
    Script& Fail(Operation operation, unsigned call, RegStatus status)
    {
        return Fault(operation, call, script::kFail).Byte(static_cast<unsigned>(IndexOf(script::kStatuses, status)));
    }
    Script& Change(script::Action action) { return Byte(script::kChange).Byte(action); }

    Script& StrayRow(script::StrayKeyKind kind, unsigned choice, std::string_view rawName = {})
    {
        Byte(script::kStrayRow).Text("Stray").Byte(kind);
        if (kind == script::kRawKeyName)
            Text(rawName);
        else
            Byte(choice);
        return Text("C:\\stray\\uninst.exe /S").Text("c:\\stray\\uninst.exe");
    }
};

std::string EntryName(size_t i) { return "Entry" + std::to_string(10 + i); }

// A handful of ordinary entries to give faults something to act on.
Script Ordinary(size_t count)
{
    Script s;
    for (size_t i = 0; i < count; ++i)
        s.Entry(EntryName(i), "Tool " + std::to_string(i), std::string(kCommands[i % std::size(kCommands)]));
    return s;
}

std::vector<std::pair<std::string, Script>> RegistrySeeds()
{
    using enum MemoryRegistry::Operation;
    std::vector<std::pair<std::string, Script>> seeds;

    Script commands;
    for (size_t i = 0; i < std::size(kCommands); ++i)
        commands.Entry(EntryName(i), "Tool " + std::to_string(i), kCommands[i]);
    commands.Marks("\x01\x02\x00\x03").ProbeSeed(1);
    seeds.emplace_back("commands", commands);

    Script shapes;
    shapes.Entry("expand").Value("DisplayName", RegType::ExpandSz, script::kText, "%ProgramFiles%\\Tool")
        .Value("UninstallString", RegType::ExpandSz, script::kText, "%ProgramFiles%\\Tool\\un.exe /S");
    shapes.Entry("scripts", "Инструмент 工具 \U0001F680", "C:\\Инструмент\\un.exe");
    shapes.Entry("empty", "", "C:\\x\\un.exe").Value("DisplayName", RegType::Sz, script::kNoData, "");
    shapes.Entry("unterminated").Value("DisplayName", RegType::Sz, script::kTextUnterminated, "abc")
        .Value("UninstallString", RegType::Sz, script::kTextUnterminated, "C:\\abc\\un.exe");
    shapes.Entry("inner-nul").Value("DisplayName", RegType::Sz, script::kRawData, std::string("a\0\0\0b\0\0\0", 8))
        .String("UninstallString", "C:\\a\\un.exe");
    shapes.Entry("odd-length").Value("DisplayName", RegType::Sz, script::kRawData, std::string("a\0b\0c", 5))
        .String("UninstallString", "C:\\odd\\un.exe");
    shapes.Entry("multi").Value("DisplayName", RegType::MultiSz, script::kText, "a")
        .String("UninstallString", "C:\\m.exe");
    shapes.Entry("dword").Value("DisplayName", RegType::Dword, script::kRawData, std::string("\1\0\0\0", 4))
        .String("UninstallString", "C:\\d.exe");
    shapes.Entry("strange").Value("DisplayName", static_cast<RegType>(0x1234), script::kText, "text")
        .String("UninstallString", "C:\\s.exe");
    shapes.Entry("no-command").String("DisplayName", "No command");
    shapes.Entry("bare");
    shapes.Entry("twin-a", "Twin", "C:\\a\\un.exe").Entry("twin-b", "Twin", "C:\\b\\un.exe");
    shapes.TickAll();
    seeds.emplace_back("value-shapes", shapes);

    Script huge;
    huge.Entry("huge").Byte(script::kValue).ValueName("DisplayName").Type(RegType::Sz).HugeText(0x8000, "Huge ")
        .String("UninstallString", "C:\\huge\\un.exe").TickAll();
    seeds.emplace_back("huge-value", huge);

    Script names;
    names.Entry("a", "First", "C:\\a.exe");
    names.LongEntry(script::kLongAscii, 254, "254 units", "C:\\b.exe");
    names.LongEntry(script::kLongLatin, 254, "254 latin", "C:\\c.exe");
    names.LongEntry(script::kLongAstral, 255, "255 astral", "C:\\d.exe");
    names.Entry("z-after", "After", "C:\\z.exe").TickAll();
    seeds.emplace_back("long-names", names);

    Script odd;
    odd.Entry(std::string("nul\0inside", 10), "Nul", "C:\\n.exe");
    odd.Entry("Case", "Case", "C:\\c.exe").Entry("CASE");
    odd.Entry(" ", "Blank", "C:\\b.exe").Entry(".", "Dot", "C:\\d.exe").Entry("..", "Dots", "C:\\e.exe");
    odd.Entry("\xFF\xFE bytes", "Bytes", "C:\\f.exe").TickAll();
    seeds.emplace_back("odd-names", odd);

    Script around;
    around.Elsewhere("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "")
        .String("DisplayName", "Uninstall key's own");
    around.Entry("deep", "Deep", "C:\\deep.exe").Subkey("Sub").Subkey("Deeper").String("Note", "below");
    around.Elsewhere("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall2", "deep")
        .String("DisplayName", "Sibling");
    around.Elsewhere("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall Old", "deep");
    around.Elsewhere("Software\\Other", "Run").String("UninstallString", "C:\\other.exe");
    around.Elsewhere("Software", "");
    around.TickAll();
    seeds.emplace_back("outside-keys", around);

    Script stray = Ordinary(3);
    for (unsigned i = 0; i < std::size(script::kHostileKeyNames); ++i)
        stray.StrayRow(script::kHostileKeyName, i);
    stray.StrayRow(script::kLoadedKeyNameUpper, 1).StrayRow(script::kLoadedKeyName, 2);
    stray.StrayRow(script::kRawKeyName, 0, "Entry10\\..\\..");
    stray.Elsewhere("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall2", "x").TickAll();
    seeds.emplace_back("stray-rows", stray);

    seeds.emplace_back("enumeration-fails", Ordinary(5).Fail(EnumerateSubkey, 3, kRegKeyDeleted).TickAll());
    seeds.emplace_back("uninstall-key-denied", Ordinary(2).Fail(OpenForEnumeration, 1, kRegAccessDenied));
    seeds.emplace_back("entry-denied", Ordinary(3).Fail(OpenKey, 3, kRegAccessDenied).TickAll());
    seeds.emplace_back("size-fails", Ordinary(3).Fail(QueryValueSize, 2, kRegMoreData).TickAll());

    Script grows = Ordinary(3);
    grows.Fault(QueryValueData, 1, script::kChangeValue).Byte(0).Byte(script::kSameValue).Type(RegType::Sz)
        .Data(script::kText, "a much longer name than before");
    grows.Fault(QueryValueData, 4, script::kChangeValue).Byte(0).Byte(script::kSameValue).Type(RegType::Sz)
        .Data(script::kText, "");
    seeds.emplace_back("value-changes-between-size-and-data", grows.TickAll());

    Script vanishes = Ordinary(3);
    vanishes.Fault(QueryValueData, 2, script::kRemoveValue).Byte(0).Byte(script::kSameValue);
    vanishes.Fault(QueryValueSize, 3, script::kDeleteKey).Byte(0);
    seeds.emplace_back("value-vanishes", vanishes.TickAll());

    Script keyGoes = Ordinary(4);
    keyGoes.Fault(OpenKey, 3, script::kDeleteKey).Byte(0);
    keyGoes.Fault(EnumerateSubkey, 2, script::kAddEntry).Name("Entry105").Data(script::kText, "Added")
        .Data(script::kText, "C:\\added.exe");
    seeds.emplace_back("keys-change-during-load", keyGoes.TickAll());

    Script refused = Ordinary(5);
    refused.Fail(DeleteTree, 1, kRegAccessDenied).Fail(DeleteTree, 3, kRegKeyDeleted)
        .Fail(DeleteTree, 4, kRegFileNotFound).Fail(DeleteTree, 5, 1);
    refused.Byte(script::kSubkey).Name("Sub");
    seeds.emplace_back("delete-refused", refused.TickAll());

    Script behind = Ordinary(4);
    behind.Change(script::kDeleteKey).Byte(1);
    behind.Change(script::kRecreateKey).Byte(2).Data(script::kText, "Someone else").Data(script::kText, "C:\\else.exe");
    behind.Change(script::kAddEntry).Name("Late").Data(script::kText, "Late").Data(script::kText, "C:\\late.exe");
    behind.Fault(DeleteTree, 1, script::kDeleteKey).Byte(0);
    behind.Fault(DeleteTree, 2, script::kRecreateKey).Byte(0).Data(script::kText, "Again").Data(script::kNoData);
    seeds.emplace_back("changed-behind-the-back", behind.TickAll());

    Script detect;
    detect.Entry("msi", "Installer", "MsiExec.exe /X{1}");
    detect.Entry("var", "Variable", "%ProgramFiles%\\Tool\\un.exe");
    detect.Entry("marker-path", "Marker", "C:\\IGNORE ME\\un.exe");
    detect.Entry("rundll", "Rundll", "rundll32.exe tool.dll,Uninstall");
    detect.StrayRow(script::kRawKeyName, 0, "stray");
    detect.Marks(std::string("\x00\x02\x00\x01\x00", 5)).ProbeSeed(0);
    seeds.emplace_back("detect", detect);

    return seeds;
}

void Write(const std::filesystem::path& file, std::string_view bytes)
{
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "make_fuzz_seeds: cannot write %s\n", file.c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds CORPUS_DIR\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];

    const std::filesystem::path commands = root / "command_fuzz";
    std::filesystem::create_directories(commands);
    for (size_t i = 0; i < std::size(kCommands); ++i)
        Write(commands / ("command-" + std::to_string(10 + i)), kCommands[i]);

    const std::filesystem::path registry = root / "registry_fuzz";
    std::filesystem::create_directories(registry);
    for (const auto& [name, seed] : RegistrySeeds())
        Write(registry / name, seed.bytes);
    return 0;
}
