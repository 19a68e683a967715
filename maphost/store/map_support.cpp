#include "maphost/store/map_support.h"

#include <climits>
#include <cstdlib>
#include <random>

#include "automation/bstr.h"

namespace qmx::map {

HRESULT Fail(HRESULT hr, REFIID iid, std::string_view message)
{
    SetErrorInfo(iid, kErrorSource, Utf8ToBstr(message));
    return hr;
}

std::string CanonicalPath(const std::string& path)
{
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        std::string result(resolved);
        std::free(resolved);
        return result;
    }
    return path;
}

GUID NewGuid()
{
    static std::mt19937_64 generator{[] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }()};
    const std::uint64_t high = generator();
    const std::uint64_t low = generator();
    GUID g;
    g.Data1 = static_cast<std::uint32_t>(high >> 32);
    g.Data2 = static_cast<std::uint16_t>(high >> 16);
    g.Data3 = static_cast<std::uint16_t>((high & 0x0FFF) | 0x4000);  // version 4
    for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<std::uint8_t>(low >> (56 - 8 * i));
    g.Data4[0] = static_cast<std::uint8_t>((g.Data4[0] & 0x3F) | 0x80);  // RFC 4122 variant
    return g;
}

BSTR GuidText(const GUID& guid)
{
    const std::string text = GuidToString(guid);
    return BSTR(text.begin(), text.end());
}

std::optional<GUID> ParseGuidText(std::u16string_view text)
{
    std::string ascii;
    ascii.reserve(text.size());
    for (const char16_t c : text) {
        if (c > 0x7F) return std::nullopt;
        ascii += static_cast<char>(c);
    }
    return ParseGuid(ascii);
}

}  // namespace qmx::map
