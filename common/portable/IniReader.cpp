#include "IniReader.h"

#include <algorithm>

#include "DecimalText.h"
#include "StructEncoding.h"

int IniReader::ReadInt(const std::wstring& section, const std::wstring& key, int defaultValue) const {
    std::wstring value;
    if (!ReadRaw(section, key, value)) return defaultValue;
    return ParseDecimal(value).value_or(defaultValue);
}

std::wstring IniReader::ReadString(const std::wstring& section, const std::wstring& key,
                                   const std::wstring& defaultText) const {
    std::wstring value;
    return ReadRaw(section, key, value) ? value : defaultText;
}

void IniReader::ReadStruct(const std::wstring& section, const std::wstring& key,
                           std::span<std::uint8_t> destination) const {
    std::wstring value;
    if (!ReadRaw(section, key, value)) return;
    if (const auto bytes = DecodeStruct(value, destination.size()))
        std::copy(bytes->begin(), bytes->end(), destination.begin());
}
