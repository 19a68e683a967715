#include "adapters/xml/start_tag_scanner.h"

#include <cstring>

namespace qmx::xml {

void StartTagScanner::Decide(const unsigned char* b)
{
    const auto is = [b](unsigned char b0, unsigned char b1, unsigned char b2, unsigned char b3) {
        return b[0] == b0 && b[1] == b1 && b[2] == b2 && b[3] == b3;
    };
    // libxml2 reads big-endian UCS-4 without a byte-order mark; every other
    // form of UTF-32 it takes for something else and reports nonsense
    // ("Document is empty").
    if (is(0x00, 0x00, 0xFE, 0xFF) || is(0xFF, 0xFE, 0x00, 0x00) || is(0x3C, 0x00, 0x00, 0x00)) {
        finding_ = Finding::Utf32;
        width_ = Width::FourLittle;
    } else if (is(0x00, 0x00, 0x00, 0x3C)) {
        width_ = Width::FourBig;
    } else if ((b[0] == 0xFE && b[1] == 0xFF) || is(0x00, 0x3C, 0x00, 0x3F)) {
        width_ = Width::TwoBig;
    } else if ((b[0] == 0xFF && b[1] == 0xFE) || is(0x3C, 0x00, 0x3F, 0x00)) {
        width_ = Width::TwoLittle;
    } else {
        width_ = Width::One;
    }
}

StartTagScanner::Finding StartTagScanner::Scan(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    if (finding_ != Finding::None) return finding_;
    if (width_ == Width::Undecided) {
        while (pendingCount_ < 4 && p != end) pending_[pendingCount_++] = *p++;
        if (pendingCount_ < 4) return finding_;
        Decide(pending_);
        if (finding_ != Finding::None) return finding_;
        unsigned char first[4];
        std::memcpy(first, pending_, sizeof first);
        pendingCount_ = 0;
        // A byte-order mark takes no column.
        std::size_t mark = 0;
        if (width_ == Width::TwoBig || width_ == Width::TwoLittle)
            mark = (first[0] == 0xFE && first[1] == 0xFF) || (first[0] == 0xFF && first[1] == 0xFE) ? 2 : 0;
        else if (width_ == Width::One && first[0] == 0xEF && first[1] == 0xBB && first[2] == 0xBF)
            mark = 3;
        Feed(first + mark, first + 4);
    }
    Feed(p, end);
    return finding_;
}

void StartTagScanner::Feed(const unsigned char* p, const unsigned char* end)
{
    if (width_ == Width::One) {
        for (; p != end && finding_ == Finding::None; ++p) Unit(*p, (*p & 0xC0) != 0x80);
        return;
    }
    const std::size_t size = width_ == Width::TwoLittle || width_ == Width::TwoBig ? 2 : 4;
    const bool little = width_ == Width::TwoLittle || width_ == Width::FourLittle;
    for (; p != end && finding_ == Finding::None; ++p) {
        pending_[pendingCount_++] = *p;
        if (pendingCount_ < size) continue;
        pendingCount_ = 0;
        std::uint32_t c = 0;
        for (std::size_t i = 0; i < size; ++i) c = (c << 8) | pending_[little ? size - 1 - i : i];
        Unit(c, !(size == 2 && c >= 0xDC00 && c <= 0xDFFF));
    }
}

void StartTagScanner::Unit(std::uint32_t c, bool starts)
{
    if (c == '\n') {
        ++line_;
        column_ = 0;
    } else if (starts) {
        ++column_;
    }
    switch (state_) {
    case State::Text:
        if (c == '<') {
            tagLine_ = line_;
            tagColumn_ = column_;
            state_ = State::Open;
        } else if (c == ']' && inSubset_) {
            // The rest of the DOCTYPE declaration.
            inSubset_ = false;
            quote_ = 0;
            state_ = State::Declaration;
        }
        break;
    case State::Open:
        if (c == '!') {
            state_ = State::Bang;
        } else if (c == '?') {
            run_ = 0;
            state_ = State::Instruction;
        } else if (c == '/') {
            state_ = State::EndTag;
        } else {
            attributes_ = 0;
            quote_ = 0;
            state_ = c == '>' ? State::Text : State::Tag;
        }
        break;
    case State::Bang:
        if (c == '-') {
            state_ = State::BangDash;
        } else if (c == '[') {
            run_ = 0;
            state_ = State::CData;
        } else {
            quote_ = 0;
            state_ = State::Declaration;
        }
        break;
    case State::BangDash:
        run_ = 0;
        state_ = c == '-' ? State::Comment : State::Declaration;
        break;
    case State::Comment:
    case State::CData: {
        // Ends at "-->" or "]]>".
        const std::uint32_t closer = state_ == State::Comment ? '-' : ']';
        if (c == '>' && run_ >= 2) state_ = State::Text;
        run_ = c == closer ? run_ + 1 : 0;
        break;
    }
    case State::Instruction:
        if (c == '>' && run_ > 0) state_ = State::Text;
        run_ = c == '?' ? 1 : 0;
        break;
    case State::Declaration:
        if (quote_ != 0) {
            if (c == quote_) quote_ = 0;
        } else if (c == '"' || c == '\'') {
            quote_ = c;
        } else if (c == '[' && !inSubset_) {
            inSubset_ = true;
            state_ = State::Text;
        } else if (c == '>') {
            state_ = State::Text;
        }
        break;
    case State::Tag:
        if (quote_ != 0) {
            if (c == quote_) quote_ = 0;
        } else if (c == '"' || c == '\'') {
            quote_ = c;
        } else if (c == '=') {
            if (++attributes_ > maxAttributes_) {
                finding_ = Finding::TooManyAttributes;
                findingLine_ = tagLine_;
                findingColumn_ = tagColumn_;
            }
        } else if (c == '>') {
            state_ = State::Text;
        }
        break;
    case State::EndTag:
        if (c == '>') state_ = State::Text;
        break;
    }
}

bool StartTagScanner::HasCrowdedTag(std::string_view utf8, std::size_t maxAttributes)
{
    StartTagScanner scanner(maxAttributes);
    scanner.width_ = Width::One;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    scanner.Feed(p, p + utf8.size());
    return scanner.finding_ == Finding::TooManyAttributes;
}

}  // namespace qmx::xml
