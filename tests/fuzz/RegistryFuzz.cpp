// A registry built from the fuzzer's bytes, operations that fail or that
// another program changes under the catalogue's feet, then the load and the
// three actions. Whatever happens, only the keys of ticked rows may go.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Actions.h"
#include "Catalogue.h"
#include "FuzzCheck.h"
#include "MemoryList.h"
#include "MemoryRegistry.h"
#include "RegistryScript.h"
#include "UninstallEntry.h"

namespace {

using Operation = MemoryRegistry::Operation;

// Huge values are what make a run slow; all values of one input share this.
constexpr size_t kDataBudget = 256 * 1024;

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A key path as the registry compares it: without empty parts, letters A to Z
// folded. Two paths name the same key exactly when these are equal.
std::string Normal(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    bool separate = false;
    for (char c : path) {
        if (c == '\\') {
            separate = !out.empty();
            continue;
        }
        if (separate)
            out += '\\';
        separate = false;
        out += UpperAscii(c);
    }
    return out;
}

bool IsAtOrBelow(const std::string& normalPath, const std::string& normalTop)
{
    return normalPath == normalTop || (normalPath.starts_with(normalTop) && normalPath.size() > normalTop.size() &&
                                       normalPath[normalTop.size()] == '\\');
}

const std::string& NormalUninstallKey()
{
    static const std::string path = Normal(kUninstallKeyPath);
    return path;
}

bool IsBelowUninstallKey(const std::string& normalPath)
{
    return normalPath != NormalUninstallKey() && IsAtOrBelow(normalPath, NormalUninstallKey());
}

bool IsSingleKeyName(std::string_view name)
{
    return !name.empty() && name.find_first_of(std::string_view("\\\0", 2)) == std::string_view::npos;
}

std::uint32_t Fnv(std::string_view text)
{
    std::uint32_t hash = 2166136261u;
    for (char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

// Reads the script; past its end every byte is 0.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool AtEnd() const { return at_ >= size_; }
    unsigned Byte() { return at_ < size_ ? data_[at_++] : 0; }
    template <typename T, size_t N>
    const T& Pick(const T (&table)[N]) { return table[Byte() % N]; }
    unsigned Below(unsigned count) { return Byte() % count; }
    std::string Text()
    {
        const size_t wanted = Byte();
        const size_t length = std::min(wanted, size_ - std::min(at_, size_));
        std::string text(reinterpret_cast<const char*>(data_ + at_), length);
        at_ += length;
        return text;
    }

private:
    const std::uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// Stands between the program and the registry: holds the program to the
// store's contract for handles and records every delete it asks for.
class CheckedStore : public RegistryStore {
public:
    struct Deletion {
        std::string path;
        RegStatus status;
    };

    explicit CheckedStore(MemoryRegistry& registry) : registry_(registry) {}

    // The key names of the rows ticked when "Delete Checked Entries" began;
    // outside that action nothing may be deleted at all.
    std::optional<std::vector<std::string>> tickedNames;
    std::vector<Deletion> deletions;

    bool HoldsNoKey() const { return open_.empty(); }

    RegStatus OpenForEnumeration(RegRoot root, std::string_view path, Key& key) override
    {
        return Opened(registry_.OpenForEnumeration(root, path, key), key);
    }
    RegStatus EnumerateSubkey(Key key, int index, std::string& name) override
    {
        RequireHeld(key);
        return registry_.EnumerateSubkey(key, index, name);
    }
    RegStatus OpenKey(RegRoot root, std::string_view path, Key& key) override
    {
        return Opened(registry_.OpenKey(root, path, key), key);
    }
    RegStatus QueryValueSize(Key key, std::string_view valueName, RegType& type, std::uint32_t& byteCount) override
    {
        RequireHeld(key);
        return registry_.QueryValueSize(key, valueName, type, byteCount);
    }
    RegStatus QueryValueData(Key key, std::string_view valueName, std::span<std::byte> buffer,
                             std::uint32_t& byteCount) override
    {
        RequireHeld(key);
        return registry_.QueryValueData(key, valueName, buffer, byteCount);
    }
    void CloseKey(Key key) override
    {
        FUZZ_REQUIRE(key == 0 || open_.erase(key) == 1);  // no key closed twice
        registry_.CloseKey(key);
    }
    RegStatus DeleteTree(RegRoot root, std::string_view path) override
    {
        FUZZ_REQUIRE(tickedNames.has_value());
        bool named = false;
        for (const std::string& name : *tickedNames)
            named = named || (IsSingleKeyName(name) && path == EntryKeyPath(name));
        FUZZ_REQUIRE(named);
        const RegStatus status = registry_.DeleteTree(root, path);
        deletions.push_back({std::string(path), status});
        return status;
    }

private:
    RegStatus Opened(RegStatus status, Key key)
    {
        if (status == kRegSuccess)
            FUZZ_REQUIRE(key != 0 && open_.insert(key).second);
        else
            FUZZ_REQUIRE(key == 0);
        return status;
    }
    void RequireHeld(Key key) const { FUZZ_REQUIRE(key == 0 || open_.contains(key)); }

    MemoryRegistry& registry_;
    std::set<Key> open_;
};

// Gives every row an identity, so a check can tell which rows left the list,
// and watches that each pass closes the repaint bracket it opened.
class TrackedList : public MemoryList {
public:
    std::vector<int> ids;
    int updateDepth = 0;

    void Clear() override
    {
        MemoryList::Clear();
        ids.clear();
    }
    int Add(std::string_view text) override
    {
        ids.push_back(nextId_++);
        return MemoryList::Add(text);
    }
    void Remove(int position) override
    {
        MemoryList::Remove(position);  // throws on a bad position: the run aborts
        ids.erase(ids.begin() + (position - 1));
    }
    void BeginUpdate() override { ++updateDepth; }
    void EndUpdate() override { FUZZ_REQUIRE(--updateDepth >= 0); }

private:
    int nextId_ = 0;
};

struct RowState {
    int id;
    MemoryList::Row row;
};

bool SameRow(const RowState& a, const RowState& b)
{
    return a.id == b.id && a.row.text == b.row.text && a.row.subItems == b.row.subItems &&
           a.row.checked == b.row.checked && a.row.selected == b.row.selected;
}

bool SameRows(const std::vector<RowState>& a, const std::vector<RowState>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (!SameRow(a[i], b[i]))
            return false;
    }
    return true;
}

// A change of the registry, made by the fuzzer as another program would.
struct Mutation {
    script::Action action = script::kFail;
    RegStatus status = kRegSuccess;
    unsigned entry = 0;                    // which entry, when the call names none
    std::optional<std::string> valueName;  // none: the value the call reads
    std::string name;                      // a new entry's name
    RegType type = RegType::Sz;
    std::vector<std::byte> data;  // a changed value, or a new display name
    std::vector<std::byte> command;
};

struct Fault {
    Operation operation;
    int call;  // 1 for the first call of that operation, and so on
    Mutation mutation;
};

struct StrayRow {
    std::string text;
    script::StrayKeyKind kind = script::kRawKeyName;
    std::string keyName;     // the raw or hostile name
    unsigned loadedRow = 0;  // for names taken from a loaded row
    std::string command;
    std::string file;
};

class FuzzRun {
public:
    FuzzRun(const std::uint8_t* data, size_t size) : reader_(data, size), store_(registry_) {}

    void Run()
    {
        Build();
        const std::set<std::string> keysBefore = NormalKeyPaths();
        registry_.intercept = [this](Operation operation, std::string_view path, std::string_view valueName) {
            return OnCall(operation, path, valueName);
        };

        LoadUninstallEntries(store_, list_);
        CheckLoadedRows();
        for (const Mutation& change : changes_)
            Apply(change, "", "");
        AddStrayRows();
        ApplyMarks();

        Detect();
        Uninstall();
        Delete();

        CheckKeys(keysBefore);
        FUZZ_REQUIRE(registry_.OpenKeyCount() == 0);
        FUZZ_REQUIRE(store_.HoldsNoKey());
        FUZZ_REQUIRE(list_.updateDepth == 0);
    }

private:
    // --- The script -------------------------------------------------------

    void Build()
    {
        std::string current(kUninstallKeyPath);
        while (!reader_.AtEnd()) {
            switch (static_cast<script::Step>(reader_.Below(script::kStepCount))) {
            case script::kEntry:
                current = EntryKeyPath(ReadName());
                registry_.CreateKey(current);
                break;
            case script::kValue: {
                const std::string name = ReadValueName().value_or("DisplayName");
                const RegType type = reader_.Pick(script::kTypes);
                registry_.SetValue(current, name, type, ReadData());
                break;
            }
            case script::kSubkey:
                current += '\\';
                current += ReadName();
                registry_.CreateKey(current);
                break;
            case script::kElsewhere: {
                current = std::string(reader_.Pick(script::kPlaces));
                const std::string name = ReadName();
                if (!name.empty())
                    current += '\\' + name;
                registry_.CreateKey(current);
                break;
            }
            case script::kFault: {
                const auto operation = static_cast<Operation>(reader_.Below(script::kOperationCount));
                const int call = 1 + static_cast<int>(reader_.Byte());
                faults_.push_back({operation, call, ReadMutation()});
                break;
            }
            case script::kChange:
                changes_.push_back(ReadMutation());
                break;
            case script::kMarks:
                marks_ += reader_.Text();
                break;
            case script::kStrayRow: {
                StrayRow row;
                row.text = reader_.Text();
                row.kind = static_cast<script::StrayKeyKind>(reader_.Below(script::kStrayKeyKindCount));
                if (row.kind == script::kRawKeyName)
                    row.keyName = reader_.Text();
                else if (row.kind == script::kHostileKeyName)
                    row.keyName = std::string(reader_.Pick(script::kHostileKeyNames));
                else
                    row.loadedRow = reader_.Byte();
                row.command = reader_.Text();
                row.file = reader_.Text();
                strayRows_.push_back(std::move(row));
                break;
            }
            case script::kProbeSeed:
                probeSeed_ = reader_.Byte();
                break;
            case script::kStepCount:
                break;
            }
        }
    }

    std::string ReadName()
    {
        const auto kind = static_cast<script::NameKind>(reader_.Below(script::kNameKindCount));
        if (kind == script::kRawName)
            return reader_.Text();
        if (kind == script::kKnownName)
            return std::string(reader_.Pick(script::kKnownNames));

        // Lengths straddle the 255 units that an enumerated name must stay under.
        const unsigned units = script::kLongNameUnits + reader_.Below(script::kLongNameSpread);
        std::string name;
        if (kind == script::kLongAscii)
            return std::string(units, static_cast<char>('a' + reader_.Below(26)));
        if (kind == script::kLongLatin) {
            for (unsigned i = 0; i < units; ++i)
                name += "\xC3\xA9";  // é: two bytes, one unit
            return name;
        }
        for (unsigned i = 0; i + 1 < units; i += 2)
            name += "\xF0\x9F\x98\x80";  // four bytes, two units
        return units % 2 ? name + "x" : name;
    }

    std::optional<std::string> ReadValueName()
    {
        const unsigned choice = reader_.Below(std::size(script::kValueNames));
        if (choice == script::kSameValue)
            return std::nullopt;
        if (choice == script::kRawValueName)
            return reader_.Text();
        return std::string(script::kValueNames[choice]);
    }

    std::vector<std::byte> ReadData()
    {
        const auto kind = static_cast<script::DataKind>(reader_.Below(script::kDataKindCount));
        std::vector<std::byte> data;
        switch (kind) {
        case script::kText:
        case script::kTextUnterminated:
            data = Utf16Bytes(reader_.Text(), kind == script::kText);
            break;
        case script::kRawData:
            for (char c : reader_.Text())
                data.push_back(static_cast<std::byte>(c));
            break;
        case script::kHugeText: {
            const size_t low = reader_.Byte();
            const size_t high = reader_.Byte();
            const size_t bytes = std::min((1 + low + 256 * high) * script::kHugeTextBlock * 2, dataBudget_);
            std::string pattern = reader_.Text();
            const std::vector<std::byte> piece = Utf16Bytes(pattern.empty() ? "x" : pattern, false);
            data.reserve(bytes + piece.size() + 2);
            while (data.size() < bytes)
                data.insert(data.end(), piece.begin(), piece.end());
            data.insert(data.end(), 2, std::byte{0});
            break;
        }
        case script::kNoData:
        case script::kDataKindCount:
            break;
        }
        if (data.size() > dataBudget_)
            data.resize(dataBudget_);
        dataBudget_ -= data.size();
        return data;
    }

    Mutation ReadMutation()
    {
        Mutation mutation;
        mutation.action = static_cast<script::Action>(reader_.Below(script::kActionCount));
        switch (mutation.action) {
        case script::kFail:
            mutation.status = reader_.Pick(script::kStatuses);
            break;
        case script::kChangeValue:
            mutation.entry = reader_.Byte();
            mutation.valueName = ReadValueName();
            mutation.type = reader_.Pick(script::kTypes);
            mutation.data = ReadData();
            break;
        case script::kRemoveValue:
            mutation.entry = reader_.Byte();
            mutation.valueName = ReadValueName();
            break;
        case script::kDeleteKey:
            mutation.entry = reader_.Byte();
            break;
        case script::kRecreateKey:
            mutation.entry = reader_.Byte();
            mutation.data = ReadData();
            mutation.command = ReadData();
            break;
        case script::kAddEntry:
            mutation.name = ReadName();
            mutation.data = ReadData();
            mutation.command = ReadData();
            break;
        case script::kActionCount:
            break;
        }
        return mutation;
    }

    // --- The other program ------------------------------------------------

    RegStatus OnCall(Operation operation, std::string_view path, std::string_view valueName)
    {
        if (changing_)
            return kRegSuccess;  // the fuzzer's own changes go through unhindered
        const int call = ++calls_[static_cast<int>(operation)];
        // Copies: the path may live in the registry's table of open keys.
        const std::string callPath(path);
        const std::string callValue(valueName);
        RegStatus result = kRegSuccess;
        for (const Fault& fault : faults_) {
            if (fault.operation != operation || fault.call != call)
                continue;
            const RegStatus status = Apply(fault.mutation, callPath, callValue);
            if (result == kRegSuccess)
                result = status;
        }
        return result;
    }

    // The entry a change acts on: the key the call works on when it is one
    // below the Uninstall key, else one of the entries there are. Changes
    // never reach the Uninstall key itself or anything outside it.
    std::string TargetEntry(const std::string& callPath, unsigned entry) const
    {
        if (IsBelowUninstallKey(Normal(callPath)))
            return callPath;
        const std::string prefix = NormalUninstallKey() + '\\';
        std::vector<std::string> entries;
        for (const std::string& path : registry_.KeyPaths()) {
            if (path.size() <= prefix.size() || path.find('\\', prefix.size()) != std::string::npos)
                continue;
            if (Normal(std::string_view(path).substr(0, prefix.size())) + '\\' == prefix)
                entries.push_back(path);
        }
        return entries.empty() ? std::string() : entries[entry % entries.size()];
    }

    RegStatus Apply(const Mutation& mutation, const std::string& callPath, const std::string& callValue)
    {
        if (mutation.action == script::kFail)
            return mutation.status;

        changing_ = true;
        const std::string target = TargetEntry(callPath, mutation.entry);
        const std::string valueName = mutation.valueName.value_or(callValue.empty() ? "DisplayName" : callValue);
        switch (mutation.action) {
        case script::kChangeValue:
            if (!target.empty())
                registry_.SetValue(target, valueName, mutation.type, mutation.data);
            break;
        case script::kRemoveValue:
            if (!target.empty())
                registry_.DeleteValue(target, valueName);
            break;
        case script::kDeleteKey:
            if (!target.empty())
                DeleteBehindTheBack(target);
            break;
        case script::kRecreateKey:
            if (!target.empty()) {
                DeleteBehindTheBack(target);
                WriteEntry(target, mutation);
                registry_.CreateKey(target + "\\Recreated");
            }
            break;
        case script::kAddEntry:
            if (IsBelowUninstallKey(Normal(EntryKeyPath(mutation.name))))
                WriteEntry(EntryKeyPath(mutation.name), mutation);
            break;
        case script::kFail:
        case script::kActionCount:
            break;
        }
        changing_ = false;
        return kRegSuccess;
    }

    void DeleteBehindTheBack(const std::string& path)
    {
        registry_.DeleteTree(RegRoot::LocalMachine, path);
        deletedByOthers_.push_back(Normal(path));
    }

    void WriteEntry(const std::string& path, const Mutation& mutation)
    {
        registry_.CreateKey(path);
        registry_.SetValue(path, "DisplayName", RegType::Sz, mutation.data);
        registry_.SetValue(path, "UninstallString", RegType::Sz, mutation.command);
    }

    // --- The user ---------------------------------------------------------

    void AddStrayRows()
    {
        const std::vector<RowState> loaded = Rows();
        for (const StrayRow& stray : strayRows_) {
            std::string keyName = stray.keyName;
            if (stray.kind == script::kLoadedKeyName || stray.kind == script::kLoadedKeyNameUpper) {
                if (loaded.empty())
                    continue;
                keyName = loaded[stray.loadedRow % loaded.size()].row.subItems[kKeyNameSubItem - 1];
                if (stray.kind == script::kLoadedKeyNameUpper)
                    for (char& c : keyName)
                        c = UpperAscii(c);
            }
            const int row = list_.Add(stray.text);
            list_.SetSubItem(row, kUninstallSubItem, stray.command);
            list_.SetSubItem(row, kFileExistsSubItem, stray.file);
            list_.SetSubItem(row, kKeyNameSubItem, keyName);
        }
    }

    void ApplyMarks()
    {
        for (size_t i = 0; i < list_.rows.size(); ++i) {
            const unsigned mark = marks_.empty() ? 0 : static_cast<unsigned char>(marks_[i % marks_.size()]);
            list_.rows[i].checked = (mark & 1) != 0;
            list_.rows[i].selected = (mark & 2) != 0;
        }
    }

    // --- The stand-in machine ---------------------------------------------

    bool IsPresent(std::string_view path) const { return !path.empty() && ((Fnv(path) ^ probeSeed_) & 1) != 0; }

    // %NAME% becomes one of a few texts, the marker among them, or stays.
    static std::string Expand(std::string_view text)
    {
        static constexpr std::string_view kExpansions[] = {"c:\\program files", "", "IGNORE ME", "c:\\windows"};
        std::string out;
        size_t at = 0;
        while (at < text.size()) {
            const size_t open = text.find('%', at);
            const size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
            if (close == std::string_view::npos) {
                out += text.substr(at);
                break;
            }
            out += text.substr(at, open - at);
            const std::uint32_t choice = Fnv(text.substr(open + 1, close - open - 1)) % (std::size(kExpansions) + 1);
            out += choice < std::size(kExpansions) ? kExpansions[choice] : text.substr(open, close - open + 1);
            at = close + 1;
        }
        return out;
    }

    // --- The actions and what they must leave -----------------------------

    std::vector<RowState> Rows() const
    {
        std::vector<RowState> rows;
        for (size_t i = 0; i < list_.rows.size(); ++i)
            rows.push_back({list_.ids[i], list_.rows[i]});
        return rows;
    }

    void CheckLoadedRows() const
    {
        for (const MemoryList::Row& row : list_.rows) {
            FUZZ_REQUIRE(!row.text.empty());
            const std::string& keyName = row.subItems[kKeyNameSubItem - 1];
            FUZZ_REQUIRE(!keyName.empty() && keyName.find('\\') == std::string::npos);
            const std::string& file = row.subItems[kFileExistsSubItem - 1];
            constexpr std::string_view kNeverInAFile = "ABCDEFGHIJKLMNOPQRSTUVWXYZ\"";
            FUZZ_REQUIRE(file == kIgnoreMarker || file.find_first_of(kNeverInAFile) == std::string::npos);
        }
    }

    void Detect()
    {
        const std::vector<RowState> before = Rows();
        std::vector<std::string> expanded;
        std::vector<std::string> probed;
        DetectOldEntries(
            list_,
            [&](std::string_view path) {
                probed.emplace_back(path);
                return IsPresent(path);
            },
            [&](std::string_view text) {
                expanded.emplace_back(text);
                return Expand(text);
            });

        // Every unmarked row's file is expanded, then probed; a missing one
        // ticks its row; no tick goes; nothing else changes.
        std::vector<RowState> expected = before;
        std::vector<std::string> expectedExpanded;
        std::vector<std::string> expectedProbed;
        for (RowState& state : expected) {
            const std::string& file = state.row.subItems[kFileExistsSubItem - 1];
            if (file.find(kIgnoreMarker) != std::string::npos)
                continue;
            expectedExpanded.push_back(file);
            expectedProbed.push_back(Expand(file));
            state.row.checked = state.row.checked || !IsPresent(expectedProbed.back());
        }
        FUZZ_REQUIRE(expanded == expectedExpanded);
        FUZZ_REQUIRE(probed == expectedProbed);
        FUZZ_REQUIRE(SameRows(Rows(), expected));
    }

    void Uninstall()
    {
        const std::vector<RowState> before = Rows();
        std::vector<std::string> started;
        UninstallSelectedEntry(list_, [&](std::string_view command) { started.emplace_back(command); });

        std::vector<std::string> expected;
        for (const RowState& state : before) {
            if (state.row.selected)
                expected.push_back(state.row.subItems[kUninstallSubItem - 1]);
        }
        FUZZ_REQUIRE(started == expected);
        FUZZ_REQUIRE(SameRows(Rows(), before));
    }

    void Delete()
    {
        const std::vector<RowState> before = Rows();
        std::vector<std::string> ticked;
        for (const RowState& state : before) {
            if (state.row.checked)
                ticked.push_back(state.row.subItems[kKeyNameSubItem - 1]);
        }
        store_.tickedNames = ticked;
        DeleteCheckedEntries(list_, store_);
        store_.tickedNames.reset();

        // Bottom to top, each ticked row with a usable name is deleted once;
        // it leaves exactly when its delete succeeded or found nothing.
        std::vector<RowState> expected = before;
        size_t deletion = 0;
        for (size_t i = before.size(); i-- > 0;) {
            const MemoryList::Row& row = before[i].row;
            const std::string& keyName = row.subItems[kKeyNameSubItem - 1];
            if (!row.checked || !IsSingleKeyName(keyName))
                continue;
            FUZZ_REQUIRE(deletion < store_.deletions.size());
            const CheckedStore::Deletion& done = store_.deletions[deletion++];
            FUZZ_REQUIRE(done.path == EntryKeyPath(keyName));
            if (done.status == kRegSuccess || done.status == kRegFileNotFound)
                expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(i));
        }
        FUZZ_REQUIRE(deletion == store_.deletions.size());
        FUZZ_REQUIRE(SameRows(Rows(), expected));
    }

    // A key may be gone only if it lies in a tree that the other program
    // removed or in the tree of a ticked row that the program deleted (each
    // such delete was checked as it was asked for). The Uninstall key and
    // everything outside it stay. The program has no way to write a value,
    // so keys are all it could have harmed.
    void CheckKeys(const std::set<std::string>& before) const
    {
        std::vector<std::string> deletedTrees = deletedByOthers_;
        for (const CheckedStore::Deletion& deletion : store_.deletions)
            deletedTrees.push_back(Normal(deletion.path));

        const std::set<std::string> after = NormalKeyPaths();
        for (const std::string& path : before) {
            if (after.contains(path))
                continue;
            FUZZ_REQUIRE(IsBelowUninstallKey(path));
            bool deleted = false;
            for (const std::string& tree : deletedTrees)
                deleted = deleted || IsAtOrBelow(path, tree);
            FUZZ_REQUIRE(deleted);
        }
    }

    std::set<std::string> NormalKeyPaths() const
    {
        std::set<std::string> paths;
        for (const std::string& path : registry_.KeyPaths())
            paths.insert(Normal(path));
        return paths;
    }

    ByteReader reader_;
    MemoryRegistry registry_;
    CheckedStore store_;
    TrackedList list_;

    size_t dataBudget_ = kDataBudget;
    std::vector<Fault> faults_;
    std::vector<Mutation> changes_;
    std::vector<StrayRow> strayRows_;
    std::string marks_;
    unsigned probeSeed_ = 0;

    int calls_[script::kOperationCount] = {};
    bool changing_ = false;
    std::vector<std::string> deletedByOthers_;  // roots of the trees the other program removed
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    FuzzRun(data, size).Run();
    return 0;
}
