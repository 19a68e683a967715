// Fixed-width scalar types of the automation interfaces.
#pragma once

#include <cstdint>
#include <string>

using LONG = std::int32_t;   // a `long` of the interfaces is 32 bits everywhere
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using DWORD = std::uint32_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

// Automation boolean: true is -1, false is 0.
using VARIANT_BOOL = std::int16_t;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// Days since 30 December 1899; the fraction is the time of day.
using DATE = double;

// An automation string: UTF-16, where null and empty are the same value.
using BSTR = std::u16string;

constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr std::uint8_t GetRValue(COLORREF c) { return std::uint8_t(c & 0xFF); }
constexpr std::uint8_t GetGValue(COLORREF c) { return std::uint8_t((c >> 8) & 0xFF); }
constexpr std::uint8_t GetBValue(COLORREF c) { return std::uint8_t((c >> 16) & 0xFF); }
