#include "app/document/clipboard_format.h"

#include <bit>
#include <cstring>

namespace qmx {

namespace {

class Writer {
public:
    template <class T>
    void Number(T value)
    {
        using U = std::make_unsigned_t<std::conditional_t<std::is_floating_point_v<T>,
                                                          std::conditional_t<sizeof(T) == 8, std::int64_t, std::int32_t>, T>>;
        U bits;
        std::memcpy(&bits, &value, sizeof bits);
        for (std::size_t i = 0; i < sizeof bits; ++i) bytes_.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    }
    void String(const BSTR& text)
    {
        Number(static_cast<std::int32_t>(text.size() * 2));
        for (const char16_t c : text) Number(static_cast<std::uint16_t>(c));
    }
    std::string Take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}

    template <class T>
    bool Number(T* value)
    {
        using U = std::make_unsigned_t<std::conditional_t<std::is_floating_point_v<T>,
                                                          std::conditional_t<sizeof(T) == 8, std::int64_t, std::int32_t>, T>>;
        if (bytes_.size() - at_ < sizeof(U)) return false;
        U bits = 0;
        for (std::size_t i = 0; i < sizeof bits; ++i)
            bits |= static_cast<U>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
        at_ += sizeof bits;
        std::memcpy(value, &bits, sizeof bits);
        return true;
    }
    bool String(BSTR* text)
    {
        std::int32_t length = 0;
        if (!Number(&length) || length < 0 || length % 2 != 0 ||
            static_cast<std::size_t>(length) > bytes_.size() - at_)
            return false;
        text->resize(static_cast<std::size_t>(length) / 2);
        for (char16_t& c : *text) {
            std::uint16_t unit = 0;
            Number(&unit);
            c = static_cast<char16_t>(unit);
        }
        return true;
    }

private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

}  // namespace

std::string EncodeTasks(const std::vector<TaskRecord>& records)
{
    Writer out;
    for (const TaskRecord& r : records) {
        out.Number(r.id);
        out.String(r.name);
        out.Number(r.priority);
        out.Number(r.start);
        out.Number(r.end);
        out.Number(r.duration);
        out.Number(r.durationUnit);
        out.Number(r.percentComplete);
        out.Number(r.milestone);
        out.String(r.notes);
        out.String(r.url);
        out.Number(r.color);
        out.Number(r.parentId);
    }
    out.Number(std::int32_t{-1});
    return out.Take();
}

std::optional<std::vector<TaskRecord>> DecodeTasks(const std::string& block)
{
    Reader in(block);
    std::vector<TaskRecord> records;
    for (;;) {
        TaskRecord r;
        if (!in.Number(&r.id)) return std::nullopt;
        if (r.id == -1) return records;
        const bool complete = in.String(&r.name) && in.Number(&r.priority) && in.Number(&r.start) &&
                              in.Number(&r.end) && in.Number(&r.duration) && in.Number(&r.durationUnit) &&
                              in.Number(&r.percentComplete) && in.Number(&r.milestone) && in.String(&r.notes) &&
                              in.String(&r.url) && in.Number(&r.color) && in.Number(&r.parentId);
        if (!complete) return std::nullopt;
        records.push_back(std::move(r));
    }
}

std::string EncodeResource(const ResourceRecord& record)
{
    Writer out;
    out.Number(record.id);
    out.String(record.name);
    return out.Take();
}

std::optional<ResourceRecord> DecodeResource(const std::string& block)
{
    Reader in(block);
    ResourceRecord record;
    if (!in.Number(&record.id) || !in.String(&record.name)) return std::nullopt;
    return record;
}

}  // namespace qmx
