#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "BenchSupport.h"
#include "RegistryStore.h"

// A store that hands every call on to another one and counts the calls that
// reach the registry: in all, by operation, and for each subkey of an
// enumeration from the step that named it up to the next step. Closing key 0
// reaches nothing and is counted apart. Also notes when the first and the
// last call ended.
class CountingRegistry : public RegistryStore {
public:
    struct Counts {
        long long openForEnumeration = 0;
        long long enumerate = 0;
        long long open = 0;
        long long query = 0;
        long long queryWritten = 0;
        long long close = 0;
        long long deleteTree = 0;
        long long closeOfNoKey = 0;

        long long Registry() const { return openForEnumeration + enumerate + open + query + queryWritten + close + deleteTree; }
    };

    explicit CountingRegistry(RegistryStore& store) : store_(store) {}

    const Counts& Total() const { return total_; }
    // Registry calls made for the subkey `name` of `place`'s Uninstall key;
    // 0 for a subkey that was never enumerated.
    long long CallsFor(RegRoot place, std::string_view name) const
    {
        const auto found = perSubkey_.find({place, std::string(name)});
        return found == perSubkey_.end() ? 0 : found->second;
    }
    long long EnumeratedSubkeys() const { return static_cast<long long>(perSubkey_.size()); }
    // Registry calls that belong to no subkey: opening, ending and closing
    // each place's enumeration.
    long long CallsOfPlaces() const { return placeCalls_; }
    double FirstCallEnded() const { return firstCallEnded_; }
    double LastCallEnded() const { return lastCallEnded_; }

    RegStatus OpenForEnumeration(RegRoot root, std::string_view path, Key& key) override
    {
        const RegStatus status = store_.OpenForEnumeration(root, path, key);
        ++total_.openForEnumeration;
        if (key != 0)
            enumerations_[key] = root;
        subkey_ = nullptr;
        ++placeCalls_;
        return Ended(status);
    }

    RegStatus EnumerateSubkey(Key key, int index, std::string& name, KeyTime& written) override
    {
        const RegStatus status = store_.EnumerateSubkey(key, index, name, written);
        ++total_.enumerate;
        subkey_ = nullptr;
        if (status == kRegSuccess)
            subkey_ = &perSubkey_[{enumerations_.at(key), name}];
        Count();
        return Ended(status);
    }

    RegStatus OpenKey(RegRoot root, std::string_view path, Key& key) override
    {
        const RegStatus status = store_.OpenKey(root, path, key);
        ++total_.open;
        Count();
        return Ended(status);
    }

    RegStatus QueryValue(Key key, std::string_view valueName, RegType& type, std::vector<std::byte>& data) override
    {
        const RegStatus status = store_.QueryValue(key, valueName, type, data);
        ++total_.query;
        Count();
        return Ended(status);
    }

    RegStatus QueryWritten(Key key, KeyTime& written) override
    {
        const RegStatus status = store_.QueryWritten(key, written);
        ++total_.queryWritten;
        Count();
        return Ended(status);
    }

    void CloseKey(Key key) override
    {
        store_.CloseKey(key);
        if (key == 0) {
            ++total_.closeOfNoKey;
            return;
        }
        ++total_.close;
        // Windows may hand the same number to a key opened later.
        if (enumerations_.erase(key) != 0) {
            subkey_ = nullptr;
            ++placeCalls_;
        } else {
            Count();
        }
        Ended(kRegSuccess);
    }

    RegStatus DeleteTree(RegRoot root, std::string_view path) override
    {
        const RegStatus status = store_.DeleteTree(root, path);
        ++total_.deleteTree;
        subkey_ = nullptr;
        return Ended(status);
    }

private:
    // The last step of an enumeration finds no subkey: it belongs to the place.
    void Count()
    {
        if (subkey_ != nullptr)
            ++*subkey_;
        else
            ++placeCalls_;
    }

    RegStatus Ended(RegStatus status)
    {
        lastCallEnded_ = Now();
        if (firstCallEnded_ == 0)
            firstCallEnded_ = lastCallEnded_;
        return status;
    }

    RegistryStore& store_;
    Counts total_;
    std::map<std::pair<RegRoot, std::string>, long long> perSubkey_;
    long long* subkey_ = nullptr;
    long long placeCalls_ = 0;
    std::map<Key, RegRoot> enumerations_;  // the keys being enumerated now
    double firstCallEnded_ = 0;
    double lastCallEnded_ = 0;
};
