#include "Reg.h"

#include <vector>

#include "Text.h"

std::string ReadRegString(RegistryStore& store, RegRoot root, std::string_view keyPath,
                          std::string_view valueName, std::string_view defaultText)
{
    OpenedKey key(store);
    if (key.Open(root, keyPath) != kRegSuccess)
        return std::string(defaultText);
    return ReadRegString(key, valueName, defaultText);
}

std::string ReadRegString(const OpenedKey& key, std::string_view valueName, std::string_view defaultText)
{
    RegType type = RegType::None;
    std::vector<std::byte> data;
    if (key.Store().QueryValue(key.Get(), valueName, type, data) != kRegSuccess)
        return std::string(defaultText);
    if (type != RegType::Sz && type != RegType::ExpandSz)
        return std::string(defaultText);

    // Stored text need not end in a NUL, nor have an even byte count: take the
    // whole UTF-16 units there are and stop at the first NUL among them.
    std::u16string text;
    text.reserve(data.size() / 2);
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const auto unit = static_cast<char16_t>(std::to_integer<unsigned>(data[i]) |
                                                (std::to_integer<unsigned>(data[i + 1]) << 8));
        if (unit == u'\0')
            break;
        text += unit;
    }
    return Utf8FromUtf16(text);
}
