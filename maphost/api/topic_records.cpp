#include "maphost/api/topic_records.h"

#include <charconv>
#include <limits>
#include <string_view>

namespace qmx::map {

namespace {

constexpr std::size_t kMaxLengthDigits = 8;

void AppendField(std::u16string_view value, BSTR* chunk)
{
    const std::string length = std::to_string(value.size());
    chunk->append(length.begin(), length.end());
    chunk->push_back(u':');
    chunk->append(value);
}

void AppendAscii(std::string_view value, BSTR* chunk)
{
    AppendField(std::u16string(value.begin(), value.end()), chunk);
}

void AppendNumber(double value, BSTR* chunk)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    AppendAscii(std::string_view(text, std::size_t(result.ptr - text)), chunk);
}

// Walks the fields of a text; each Next gives one or fails.
class FieldReader {
public:
    explicit FieldReader(const BSTR& text) : text_(text) {}
    bool AtEnd() const { return at_ == text_.size(); }
    bool Next(std::u16string_view* field)
    {
        std::size_t length = 0, digits = 0;
        while (at_ < text_.size() && text_[at_] >= u'0' && text_[at_] <= u'9') {
            if (++digits > kMaxLengthDigits) return false;
            length = length * 10 + std::size_t(text_[at_++] - u'0');
        }
        if (digits == 0 || at_ >= text_.size() || text_[at_] != u':') return false;
        ++at_;
        if (length > text_.size() - at_) return false;
        *field = std::u16string_view(text_).substr(at_, length);
        at_ += length;
        return true;
    }

private:
    const BSTR& text_;
    std::size_t at_ = 0;
};

// The field as ASCII; false when it holds anything else or is too long for
// a number.
bool Ascii(std::u16string_view field, std::string* out)
{
    if (field.size() > 40) return false;
    out->clear();
    for (char16_t c : field) {
        if (c > 0x7F) return false;
        out->push_back(char(c));
    }
    return true;
}

template <class T>
bool ParseInteger(std::u16string_view field, T* value)
{
    std::string text;
    if (!Ascii(field, &text) || text.empty()) return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), *value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool ParseDouble(std::u16string_view field, double* value)
{
    std::string text;
    if (!Ascii(field, &text) || text.empty()) return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), *value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool ParseFlag(std::u16string_view field, bool* value)
{
    if (field == u"0" || field == u"1") {
        *value = field == u"1";
        return true;
    }
    return false;
}

bool Fail(std::string* why, const std::string& reason, std::vector<TopicRecord>* records)
{
    records->clear();
    if (why) *why = reason;
    return false;
}

}  // namespace

void AppendTopicRecord(const TopicRecord& record, BSTR* chunk)
{
    AppendAscii(std::to_string(record.depth), chunk);
    AppendField(record.guid, chunk);
    AppendField(record.text, chunk);
    AppendAscii(std::to_string(record.priority), chunk);
    AppendNumber(record.start, chunk);
    AppendNumber(record.due, chunk);
    AppendNumber(record.durationHours, chunk);
    AppendAscii(std::to_string(record.durationUnit), chunk);
    AppendAscii(std::to_string(record.percentComplete), chunk);
    AppendField(record.resources, chunk);
    AppendAscii(record.fill ? std::to_string(*record.fill) : std::string(), chunk);
    AppendAscii(record.collapsed ? "1" : "0", chunk);
    AppendAscii(record.floating ? "1" : "0", chunk);
    AppendAscii(record.callout ? "1" : "0", chunk);
    for (const BSTR& value : record.attributes) AppendField(value, chunk);
}

bool DecodeTopicRecords(const BSTR& chunk, std::size_t attributeCount, LONG maxRecords, LONG* previousDepth,
                        std::vector<TopicRecord>* records, std::string* why)
{
    records->clear();
    FieldReader reader(chunk);
    LONG depth = *previousDepth;
    while (!reader.AtEnd()) {
        if (LONG(records->size()) >= maxRecords) return Fail(why, "more topics than asked for", records);
        std::u16string_view f[kTopicRecordFields];
        for (auto& field : f) {
            if (!reader.Next(&field)) return Fail(why, "a field that does not follow the format", records);
        }
        TopicRecord r;
        if (!ParseInteger(f[0], &r.depth) || r.depth < 1 || r.depth > depth + 1)
            return Fail(why, "a topic outside the order of the walk", records);
        r.guid = BSTR(f[1]);
        r.text = BSTR(f[2]);
        DWORD fill = 0;
        if (!ParseInteger(f[3], &r.priority) || !ParseDouble(f[4], &r.start) || !ParseDouble(f[5], &r.due) ||
            !ParseDouble(f[6], &r.durationHours) || !ParseInteger(f[7], &r.durationUnit) ||
            !ParseInteger(f[8], &r.percentComplete) || (!f[10].empty() && !ParseInteger(f[10], &fill)) ||
            !ParseFlag(f[11], &r.collapsed) || !ParseFlag(f[12], &r.floating) || !ParseFlag(f[13], &r.callout))
            return Fail(why, "a value that cannot be read", records);
        r.resources = BSTR(f[9]);
        if (!f[10].empty()) r.fill = fill;
        r.attributes.resize(attributeCount);
        for (BSTR& value : r.attributes) {
            std::u16string_view field;
            if (!reader.Next(&field)) return Fail(why, "a field that does not follow the format", records);
            value = BSTR(field);
        }
        depth = r.depth;
        records->push_back(std::move(r));
    }
    *previousDepth = depth;
    return true;
}

BSTR EncodeFieldList(const std::vector<BSTR>& names)
{
    BSTR text;
    for (const BSTR& name : names) AppendField(name, &text);
    return text;
}

bool DecodeFieldList(const BSTR& text, std::size_t maxFields, std::vector<BSTR>* names)
{
    names->clear();
    FieldReader reader(text);
    while (!reader.AtEnd()) {
        std::u16string_view field;
        if (names->size() >= maxFields || !reader.Next(&field)) {
            names->clear();
            return false;
        }
        names->emplace_back(field);
    }
    return true;
}

}  // namespace qmx::map
