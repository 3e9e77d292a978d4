#pragma once

#include "RegistryStore.h"

// The Windows registry behind the store interface, through the wide entry
// points, so names outside the ANSI code page are listed and deleted intact.
// Each place is opened in its own registry view.
class Win32Registry : public RegistryStore {
public:
    RegStatus OpenForEnumeration(RegRoot root, std::string_view path, Key& key) override;
    RegStatus EnumerateSubkey(Key key, int index, std::string& name, KeyTime& written) override;
    RegStatus OpenKey(RegRoot root, std::string_view path, Key& key) override;
    RegStatus QueryValue(Key key, std::string_view valueName, RegType& type, std::vector<std::byte>& data) override;
    RegStatus QueryWritten(Key key, KeyTime& written) override;
    void CloseKey(Key key) override;
    RegStatus DeleteTree(RegRoot root, std::string_view path) override;
};
