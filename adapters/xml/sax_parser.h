// The event-driven XML parser under the project reader: libxml2's SAX2
// interface, set up so that it never loads anything from outside the
// document (no external entities, no DTD, no network) and keeps libxml2's
// limits on nesting depth and entity expansion. On top of those it bounds
// what a small file can make the parser do (see ParseLimits).
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <string_view>

#include "automation/hresult.h"

namespace qmx::xml {

// The attributes of one start tag, valid during the StartElement call.
class SaxAttributes {
public:
    // libxml2's layout: five pointers per attribute (local name, prefix,
    // namespace URI, value start, value end); the parser context decodes
    // the references libxml2 leaves in values.
    SaxAttributes(void* parserContext, const unsigned char** attributes, int count)
        : context_(parserContext), attributes_(attributes), count_(count)
    {
    }

    // The value of the attribute with this name and no prefix, with
    // character and entity references replaced.
    std::optional<std::string_view> Find(std::string_view name) const;

private:
    void* context_;
    const unsigned char** attributes_;
    int count_;
    mutable std::list<std::string> decoded_;  // stable addresses for the views handed out; no allocation while empty
};

// Receives the parser's events. A failing result stops the parse; the
// handler keeps its own account of what went wrong.
class SaxContentHandler {
public:
    virtual HRESULT StartDocument() = 0;
    // The qualified name (prefix included) of the element.
    virtual HRESULT StartElement(std::string_view qualifiedName, const SaxAttributes& attributes) = 0;
    virtual HRESULT EndElement() = 0;
    // A piece of character data (text or CDATA), in UTF-8. The parser may
    // split one text into several pieces anywhere.
    virtual HRESULT Characters(std::string_view text) = 0;
    // Called only for a document that was read to its end without a fatal
    // error.
    virtual HRESULT EndDocument() = 0;

protected:
    ~SaxContentHandler() = default;
};

// Bounds far above what any project file needs, so that a hostile file is
// refused in a fraction of a second instead of taking minutes or gigabytes.
// Sizes are in bytes; "of the input" means the bytes read so far.
struct ParseLimits {
    // Attributes in one start tag, and attributes declared by the DTD in all.
    static constexpr std::size_t kMaxAttributes = 256;
    // Entity replacement text parsed (each reference counts again, and
    // kEntityReferenceCost more for the parser's work of setting it up) plus,
    // for each element given attributes by DTD defaults, their number times
    // four more than the element's attributes in all (the checks libxml2
    // makes for them, and handing them on), plus kEntityElementCost for
    // each element in an entity's replacement text (an element costs the
    // parser far more than a byte of text);
    // and separately all character data delivered: each at most the larger
    // of these.
    static constexpr std::uint64_t kDocumentFloor = std::uint64_t{16} << 20;
    static constexpr std::uint64_t kDocumentFactor = 16;
    static constexpr std::uint64_t kEntityElementCost = 64;
    static constexpr std::uint64_t kEntityReferenceCost = 1024;
    // The character data of one element between two tags.
    static constexpr std::uint64_t kElementFloor = std::uint64_t{4} << 20;
    static constexpr std::uint64_t kElementFactor = 4;
};

struct SaxFailure {
    HRESULT hr = E_FAIL;
    bool byHandler = false;  // the handler stopped the parse
    std::string message;     // the parser's message or a limit's, ending in a line feed; empty when byHandler
    unsigned line = 0;
    unsigned column = 0;
};

// Fills the buffer with up to `size` bytes: the count read, 0 at the end,
// -1 for a read error.
using ReadFunction = std::function<int(char* buffer, int size)>;

// Reads the bytes given, which must outlive the function.
ReadFunction ReadFromMemory(std::string_view bytes);

// Parses the whole input; nothing on success.
std::optional<SaxFailure> ParseXml(const ReadFunction& read, SaxContentHandler& handler);
std::optional<SaxFailure> ParseXml(std::string_view bytes, SaxContentHandler& handler);

}  // namespace qmx::xml
