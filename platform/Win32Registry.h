#pragma once

#include "RegistryStore.h"

// The Windows registry behind the store interface, through the wide entry
// points, so names outside the ANSI code page are listed and deleted intact.
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
};
