#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "RegistryStore.h"

// The Windows registry behind the store interface, through the wide entry
// points, so names outside the ANSI code page are listed and deleted intact.
//
// Each platform call is a round trip to the registry's server (under Wine, to
// wineserver), and reading a value costs a size query and a data query. So
// the size query already asks for the data into a first buffer: when the
// value fits, the data query that follows it on the same key and value is
// answered from that one read, and both see the same state of the value.
// Only a longer value, or any other order of calls, reaches the registry
// again. No key stays open: keys are the caller's, and the read kept here is
// forgotten at the next call of any other operation.
class Win32Registry : public RegistryStore {
public:
    RegStatus OpenForEnumeration(RegRoot root, std::string_view path, Key& key) override;
    RegStatus EnumerateSubkey(Key key, int index, std::string& name) override;
    RegStatus OpenKey(RegRoot root, std::string_view path, Key& key) override;
    RegStatus QueryValueSize(Key key, std::string_view valueName, RegType& type, std::uint32_t& byteCount) override;
    RegStatus QueryValueData(Key key, std::string_view valueName, std::span<std::byte> buffer,
                             std::uint32_t& byteCount) override;
    void CloseKey(Key key) override;
    RegStatus DeleteTree(RegRoot root, std::string_view path) override;

    // The size of the first read: texts up to this many bytes cost one query.
    static constexpr std::size_t kFirstReadBytes = 2048;

private:
    struct FirstRead {
        Key key = 0;  // 0: nothing kept
        std::wstring valueName;
        std::uint32_t byteCount = 0;
        std::vector<std::byte> data;
    };

    void Forget() { firstRead_.key = 0; }

    FirstRead firstRead_;
};
