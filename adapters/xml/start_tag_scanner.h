// A look at the bytes on their way to the XML parser, ahead of it: counts
// the attributes of each start tag, so that a tag with absurdly many can be
// refused before libxml2's duplicate-attribute check, which is quadratic in
// their number, spends minutes on it; and recognises UTF-32 input, which
// libxml2 cannot read in most of its forms.
//
// The scan only needs the characters < > = " ' ! ? - [ ] and line feed, which
// are single code units in every encoding libxml2 reads from its own
// detection (UTF-8 and the other ASCII-compatible ones, UTF-16 and UCS-4 of
// both byte orders). It skips comments, CDATA sections, processing
// instructions and declarations, the internal DTD subset with its quoted
// entity values included, so that text there is never taken for a tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qmx::xml {

class StartTagScanner {
public:
    enum class Finding {
        None,
        TooManyAttributes,  // a start tag with more attributes than allowed
        Utf32,              // UTF-32 with a byte-order mark, or little-endian without one
    };

    explicit StartTagScanner(std::size_t maxAttributes) : maxAttributes_(maxAttributes) {}

    // The next bytes of the raw input. Once something is found, that finding
    // stays and the rest is not looked at.
    Finding Scan(std::string_view bytes);
    Finding Found() const { return finding_; }

    // Text that is already UTF-8 (an entity's replacement text): whether a
    // start tag in it has more attributes than allowed.
    static bool HasCrowdedTag(std::string_view utf8, std::size_t maxAttributes);

    // Where the start tag of the finding begins (1-based), or 1, 1.
    unsigned Line() const { return findingLine_; }
    unsigned Column() const { return findingColumn_; }

private:
    enum class Width { Undecided, One, TwoLittle, TwoBig, FourLittle, FourBig };
    enum class State {
        Text, Open, Bang, BangDash, Tag, EndTag, Comment, CData, Instruction, Declaration,
    };

    void Decide(const unsigned char* first4);
    void Feed(const unsigned char* p, const unsigned char* end);
    // One code unit; `starts` is false for the units that continue a
    // character (UTF-8 continuation bytes, low surrogates), which take no
    // column of their own.
    void Unit(std::uint32_t c, bool starts);

    std::size_t maxAttributes_;
    Finding finding_ = Finding::None;
    Width width_ = Width::Undecided;
    unsigned char pending_[4] = {};
    std::size_t pendingCount_ = 0;

    State state_ = State::Text;
    bool inSubset_ = false;      // inside the DOCTYPE's [ ... ]
    std::uint32_t quote_ = 0;    // the open quote in a tag or declaration
    unsigned run_ = 0;           // closing dashes, brackets or question mark seen
    std::size_t attributes_ = 0;

    unsigned line_ = 1;
    unsigned column_ = 0;
    unsigned tagLine_ = 1;
    unsigned tagColumn_ = 1;
    unsigned findingLine_ = 1;
    unsigned findingColumn_ = 1;
};

}  // namespace qmx::xml
