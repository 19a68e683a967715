#include "automation/file_name.h"

#include "automation/bstr.h"

namespace qmx {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // byte b >= 0x80 escapes as U+DC00 + b

bool IsEscapedByte(char16_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

// Writes the string's bytes; an unpaired surrogate that escapes no byte is
// handed to `other`, which appends what stands for it or answers false.
template <class Other>
bool Encode(std::u16string_view in, std::string& out, Other&& other)
{
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        const char16_t unit = in[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (in[i + 1] - 0xDC00));
            ++i;
        } else if (IsEscapedByte(unit)) {
            out.push_back(static_cast<char>(unit - kEscapeBase));
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            if (!other(out)) return false;
        } else {
            AppendUtf8(out, unit);
        }
    }
    return true;
}

}  // namespace

BSTR FileNameToBstr(std::string_view name)
{
    BSTR out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const Utf8Sequence sequence = DecodeUtf8(name, i);
        if (sequence.wellFormed) {
            AppendUtf16(out, sequence.codePoint);
            i += sequence.length;
        } else {
            // Each byte of an ill-formed sequence on its own, so that the
            // bytes after a broken one are still read as characters.
            out.push_back(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(name[i])));
            ++i;
        }
    }
    return out;
}

std::optional<std::string> BstrToFileName(std::u16string_view name)
{
    if (name.find(u'\0') != std::u16string_view::npos) return std::nullopt;
    std::string bytes;
    if (!Encode(name, bytes, [](std::string&) { return false; })) return std::nullopt;
    // Escapes that together spell a character ("\xDCC3\xDCA9" is "é") would
    // give the file a second name.
    if (FileNameToBstr(bytes) != name) return std::nullopt;
    return bytes;
}

std::string BstrToOutputBytes(std::u16string_view text)
{
    std::string bytes;
    Encode(text, bytes, [](std::string& out) {
        AppendUtf8(out, 0xFFFD);
        return true;
    });
    return bytes;
}

}  // namespace qmx
