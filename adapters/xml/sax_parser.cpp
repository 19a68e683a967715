#include "adapters/xml/sax_parser.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

#include "adapters/xml/quiet_libxml_errors.h"
#include "adapters/xml/start_tag_scanner.h"

namespace qmx::xml {

namespace {

std::string_view View(const xmlChar* text)
{
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

// Whether the NUL-terminated text is the name (without measuring it first).
bool IsName(const xmlChar* text, std::string_view name)
{
    for (const char c : name) {
        if (static_cast<char>(*text++) != c) return false;
    }
    return *text == 0;
}

// Refuses every external resource: DTDs, external entities, XInclude.
xmlParserInputPtr RefuseExternalEntity(const char*, const char*, xmlParserCtxtPtr)
{
    return nullptr;
}

xmlParserInputPtr RefuseEntity(void*, const xmlChar*, const xmlChar*) { return nullptr; }

constexpr const char* kExpandsTooMuch =
    "The file expands too much: its entity references or attribute defaults make far more than the file holds\n";
constexpr const char* kTooManyAttributes = "An element has too many attributes (more than 256)\n";
constexpr const char* kTooManyDeclaredAttributes = "The document type declares too many attributes (more than 256)\n";
constexpr const char* kUtf32 = "The file's encoding (UTF-32) is not supported; save it as UTF-8 or UTF-16\n";
static_assert(ParseLimits::kMaxAttributes == 256, "the messages name the limit");

unsigned Position(int value) { return static_cast<unsigned>(std::max(0, value)); }

void InitializeOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        // Process-wide, so that no path inside libxml2 can fetch anything.
        xmlSetExternalEntityLoader(RefuseExternalEntity);
    });
}

// The state of one parse, reached from every callback through the parser
// context's _private field (libxml2 copies it into the contexts it makes
// for entity content).
class Session {
public:
    explicit Session(SaxContentHandler& handler) : handler_(handler) {}

    void Attach(xmlParserCtxtPtr ctxt)
    {
        outer_ = ctxt;
        ctxt->_private = this;
    }

    static Session& Of(void* ctx) { return *static_cast<Session*>(static_cast<xmlParserCtxtPtr>(ctx)->_private); }

    // Entity content is parsed with contexts of their own; the document's
    // start and end belong to the main one.
    bool IsMainContext(void* ctx) const { return ctx == outer_; }

    // The raw input on its way to the parser; false refuses the file.
    bool OnRead(std::string_view bytes)
    {
        bytesRead_ += bytes.size();
        switch (scanner_.Scan(bytes)) {
        case StartTagScanner::Finding::None: return true;
        case StartTagScanner::Finding::TooManyAttributes:
            Refuse(nullptr, kTooManyAttributes, scanner_.Line(), scanner_.Column());
            return false;
        case StartTagScanner::Finding::Utf32:
            Refuse(nullptr, kUtf32, 1, 1);
            return false;
        }
        return false;
    }

    // A reference to an entity: its replacement text is parsed once more.
    void OnEntityUse(void* ctx, const xmlEntity* entity)
    {
        if (!entity) return;
        if (entity->etype != XML_INTERNAL_GENERAL_ENTITY && entity->etype != XML_INTERNAL_PARAMETER_ENTITY) return;
        const auto length = static_cast<std::uint64_t>(std::max(0, entity->length));
        Spend(ctx, &expanded_, length + ParseLimits::kEntityReferenceCost);
    }

    // An entity's replacement text is parsed from memory, without passing
    // the input scan: a crowded start tag in it is refused here.
    void OnEntityDeclared(void* ctx, const xmlChar* content)
    {
        if (content && StartTagScanner::HasCrowdedTag(View(content), ParseLimits::kMaxAttributes))
            Refuse(ctx, kTooManyAttributes, MainLine(), MainColumn());
    }

    // libxml2 adds the DTD's defaults to every element it names, checking
    // each against all the others.
    bool OnAttributeDeclared(void* ctx)
    {
        if (++declaredAttributes_ <= ParseLimits::kMaxAttributes) return true;
        Refuse(ctx, kTooManyDeclaredAttributes, MainLine(), MainColumn());
        return false;
    }

    void OnText(void* ctx, std::size_t length)
    {
        if (Spend(ctx, &text_, length))
            Spend(ctx, &elementText_, length, ParseLimits::kElementFloor, ParseLimits::kElementFactor);
    }

    bool Stopped() const { return stopped_; }

    // Runs a handler call; a failure or an exception stops the parse.
    template <class Call>
    void Deliver(void* ctx, Call&& call)
    {
        if (stopped_) return;
        HRESULT hr;
        try {
            hr = call(handler_);
        } catch (const std::bad_alloc&) {
            hr = E_OUTOFMEMORY;
        } catch (...) {
            hr = E_FAIL;
        }
        if (FAILED(hr)) StopByHandler(static_cast<xmlParserCtxtPtr>(ctx), hr);
    }

    void OnStartElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar** attributes,
                        int count, int defaulted)
    {
        elementText_ = 0;
        if (!IsMainContext(ctx)) Spend(ctx, &expanded_, ParseLimits::kEntityElementCost);
        if (defaulted > 0)
            Spend(ctx, &expanded_, static_cast<std::uint64_t>(defaulted) * (static_cast<std::uint64_t>(count) + 4));
        // libxml2 reports a start tag it could not finish (cut off by the end
        // of the input, or broken by a character that cannot be there) and
        // only then the error: the element is not handed on, so that the
        // handler never sees a tag without the attributes it may have had.
        const xmlParserInputPtr input = static_cast<xmlParserCtxtPtr>(ctx)->input;
        if (input && input->cur && input->cur[0] != '>' && !(input->cur[0] == '/' && input->cur[1] == '>')) {
            if (input->cur[0] == 0 && IsMainContext(ctx))
                Refuse(ctx, "The document ends inside the start tag of '" + std::string(View(localname)) +
                                "'; it is cut short or not well-formed\n",
                       MainLine(), MainColumn());
            return;
        }
        Deliver(ctx, [&](SaxContentHandler& h) {
            std::string_view name = View(localname);
            if (prefix) {
                qualifiedName_.assign(View(prefix));
                qualifiedName_ += ':';
                qualifiedName_ += name;
                name = qualifiedName_;
            }
            return h.StartElement(name, SaxAttributes(ctx, attributes, count));
        });
    }

    void OnError(const xmlError* error)
    {
        if (!error || stopped_ || error->level < XML_ERR_ERROR) return;
        if (error->level == XML_ERR_FATAL && !fatal_) {
            fatal_ = MakeFailure(error);
        } else if (!firstError_) {
            firstError_ = MakeFailure(error);
        }
    }

    void OnEndElement(void* ctx)
    {
        elementText_ = 0;
        Deliver(ctx, [](SaxContentHandler& h) { return h.EndElement(); });
    }

    void MarkEnded() { ended_ = true; }
    bool HasFatalError() const { return fatal_.has_value(); }

    std::optional<SaxFailure> Result() const
    {
        if (refusal_) return refusal_;
        if (handlerFailure_) return handlerFailure_;
        if (fatal_) return fatal_;
        // Some errors stop the events without being fatal; a document that
        // did not reach its end was not read.
        if (!ended_) {
            if (firstError_) return firstError_;
            SaxFailure failure;
            failure.message = "The document ended unexpectedly.\n";
            failure.line = MainLine();
            failure.column = MainColumn();
            return failure;
        }
        return std::nullopt;
    }

private:
    // Where the main document stands, also while entity content is parsed.
    unsigned MainLine() const { return Position(xmlSAX2GetLineNumber(outer_)); }
    unsigned MainColumn() const { return Position(xmlSAX2GetColumnNumber(outer_)); }

    // Adds to a counter; past the limit, refuses the file and answers false.
    bool Spend(void* ctx, std::uint64_t* counter, std::uint64_t amount,
               std::uint64_t floor = ParseLimits::kDocumentFloor, std::uint64_t factor = ParseLimits::kDocumentFactor)
    {
        *counter += amount;
        if (*counter <= std::max(floor, factor * bytesRead_)) return true;
        Refuse(ctx, kExpandsTooMuch, MainLine(), MainColumn());
        return false;
    }

    // Stops the parse for a limit (or an input the parser cannot read); the
    // first reason stays. Without a context (from the input), libxml2 stops
    // at the read error that follows.
    void Refuse(void* ctx, std::string message, unsigned line, unsigned column)
    {
        if (stopped_) return;
        stopped_ = true;
        if (ctx) {
            xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
            if (ctx != outer_) xmlStopParser(outer_);
        }
        refusal_ = SaxFailure{};
        refusal_->message = std::move(message);
        refusal_->line = line;
        refusal_->column = column;
    }

    void StopByHandler(xmlParserCtxtPtr ctxt, HRESULT hr)
    {
        stopped_ = true;
        xmlStopParser(ctxt);
        if (ctxt != outer_) xmlStopParser(outer_);
        // A fatal error during the event (decoding an attribute, say) came
        // first and stays the reason.
        if (fatal_) return;
        handlerFailure_ = SaxFailure{};
        handlerFailure_->hr = hr;
        handlerFailure_->byHandler = true;
        // Report where the main document stands, also when the event came
        // from inside an entity's replacement text.
        handlerFailure_->line = MainLine();
        handlerFailure_->column = MainColumn();
    }

    SaxFailure MakeFailure(const xmlError* error) const
    {
        SaxFailure failure;
        failure.hr = error->code == XML_ERR_NO_MEMORY ? E_OUTOFMEMORY : E_FAIL;
        failure.message = error->message ? error->message : "XML error";
        if (failure.message.empty() || failure.message.back() != '\n') failure.message += '\n';
        if (error->ctxt == outer_ || error->ctxt == nullptr) {
            failure.line = static_cast<unsigned>(std::max(0, error->line));
            failure.column = static_cast<unsigned>(std::max(0, error->int2));
        } else {
            failure.line = MainLine();
            failure.column = MainColumn();
        }
        return failure;
    }

    SaxContentHandler& handler_;
    xmlParserCtxtPtr outer_ = nullptr;
    std::string qualifiedName_;
    StartTagScanner scanner_{ParseLimits::kMaxAttributes};
    std::uint64_t bytesRead_ = 0;
    std::uint64_t expanded_ = 0;
    std::uint64_t text_ = 0;
    std::uint64_t elementText_ = 0;
    std::size_t declaredAttributes_ = 0;
    bool stopped_ = false;
    bool ended_ = false;
    std::optional<SaxFailure> refusal_;
    std::optional<SaxFailure> handlerFailure_;
    std::optional<SaxFailure> fatal_;
    std::optional<SaxFailure> firstError_;
};

void OnStartDocument(void* ctx)
{
    Session& session = Session::Of(ctx);
    if (!session.IsMainContext(ctx)) return;
    // libxml2's own start keeps a document object only to hold the DTD's
    // declarations (entities, attribute defaults); it is freed after the parse.
    xmlSAX2StartDocument(ctx);
    session.Deliver(ctx, [](SaxContentHandler& h) { return h.StartDocument(); });
}

void OnEndDocument(void* ctx)
{
    Session& session = Session::Of(ctx);
    // libxml2 reports the end also after an error that stopped the events;
    // only a document read to its end counts as ended.
    if (!session.IsMainContext(ctx) || static_cast<xmlParserCtxtPtr>(ctx)->disableSAX || session.HasFatalError())
        return;
    session.Deliver(ctx, [](SaxContentHandler& h) { return h.EndDocument(); });
    session.MarkEnded();
}

void OnStartElementNs(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar*, int,
                      const xmlChar**, int nb_attributes, int nb_defaulted, const xmlChar** attributes)
{
    Session::Of(ctx).OnStartElement(ctx, localname, prefix, attributes, nb_attributes, nb_defaulted);
}

void OnEndElementNs(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) { Session::Of(ctx).OnEndElement(ctx); }

void OnCharacters(void* ctx, const xmlChar* text, int length)
{
    Session& session = Session::Of(ctx);
    session.OnText(ctx, static_cast<std::size_t>(std::max(0, length)));
    session.Deliver(ctx, [&](SaxContentHandler& h) {
        return h.Characters(std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)));
    });
}

// Each reference to an entity, in text, in attribute values and inside other
// entities, asks for it here (general or parameter entity by the lookup).
template <xmlEntityPtr (*LookUp)(void*, const xmlChar*)>
xmlEntityPtr OnGetEntity(void* ctx, const xmlChar* name)
{
    Session& session = Session::Of(ctx);
    if (session.Stopped()) return nullptr;
    xmlEntityPtr entity = LookUp(ctx, name);
    session.OnEntityUse(ctx, entity);
    return session.Stopped() ? nullptr : entity;
}

void OnEntityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId, const xmlChar* systemId,
                  xmlChar* content)
{
    Session& session = Session::Of(ctx);
    session.OnEntityDeclared(ctx, content);
    if (!session.Stopped()) xmlSAX2EntityDecl(ctx, name, type, publicId, systemId, content);
}

void OnAttributeDecl(void* ctx, const xmlChar* element, const xmlChar* name, int type, int def,
                     const xmlChar* defaultValue, xmlEnumerationPtr values)
{
    if (Session::Of(ctx).OnAttributeDeclared(ctx))
        xmlSAX2AttributeDecl(ctx, element, name, type, def, defaultValue, values);  // takes the values
    else
        xmlFreeEnumeration(values);
}

void OnStructuredError(void* ctx, xmlErrorPtr error)
{
    if (ctx && static_cast<xmlParserCtxtPtr>(ctx)->_private) Session::Of(ctx).OnError(error);
}

xmlSAXHandler MakeHandler()
{
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    xmlSAXVersion(&sax, 2);  // libxml2's defaults for the DTD declarations
    sax.startDocument = OnStartDocument;
    sax.endDocument = OnEndDocument;
    sax.startElementNs = OnStartElementNs;
    sax.endElementNs = OnEndElementNs;
    sax.startElement = nullptr;
    sax.endElement = nullptr;
    sax.characters = OnCharacters;
    sax.cdataBlock = OnCharacters;
    sax.ignorableWhitespace = nullptr;
    sax.processingInstruction = nullptr;
    sax.comment = nullptr;
    sax.reference = nullptr;
    sax.resolveEntity = RefuseEntity;
    sax.getEntity = OnGetEntity<xmlSAX2GetEntity>;
    sax.getParameterEntity = OnGetEntity<xmlSAX2GetParameterEntity>;
    sax.entityDecl = OnEntityDecl;
    sax.attributeDecl = OnAttributeDecl;
    sax.externalSubset = nullptr;
    sax.warning = nullptr;
    sax.error = nullptr;
    sax.fatalError = nullptr;
    sax.serror = OnStructuredError;
    return sax;
}

struct ReadContext {
    const ReadFunction* read;
    Session* session;
    bool failed = false;
};

int ReadCallback(void* context, char* buffer, int size)
{
    auto* reader = static_cast<ReadContext*>(context);
    if (reader->session->Stopped()) return -1;
    int n = -1;
    try {
        n = (*reader->read)(buffer, size);
    } catch (...) {
        n = -1;
    }
    if (n < 0) {
        reader->failed = true;
        return n;
    }
    return reader->session->OnRead(std::string_view(buffer, static_cast<std::size_t>(n))) ? n : -1;
}

int CloseCallback(void*) { return 0; }

}  // namespace

std::optional<std::string_view> SaxAttributes::Find(std::string_view name) const
{
    for (int i = 0; i < count_; ++i) {
        const unsigned char* const* attribute = attributes_ + 5 * i;
        if (attribute[1] != nullptr || !IsName(attribute[0], name)) continue;
        const auto* begin = reinterpret_cast<const char*>(attribute[3]);
        const auto* end = reinterpret_cast<const char*>(attribute[4]);
        const std::string_view value(begin, static_cast<std::size_t>(end - begin));
        if (value.find('&') == std::string_view::npos) return value;
        // Without entity substitution libxml2 hands over "&#38;" for "&" and
        // general entity references as they stand; its own tree builder
        // decodes them here, with its checks against entity expansion.
        xmlChar* decoded = xmlStringLenDecodeEntities(static_cast<xmlParserCtxtPtr>(context_), attribute[3],
                                                      static_cast<int>(end - begin), XML_SUBSTITUTE_REF, 0, 0, 0);
        if (!decoded) return std::nullopt;
        decoded_.emplace_back(reinterpret_cast<const char*>(decoded));
        xmlFree(decoded);
        return decoded_.back();
    }
    return std::nullopt;
}

std::optional<SaxFailure> ParseXml(const ReadFunction& read, SaxContentHandler& handler)
{
    InitializeOnce();
    QuietLibxmlErrors quiet;

    xmlSAXHandler sax = MakeHandler();
    Session session(handler);
    ReadContext source{&read, &session};
    xmlParserCtxtPtr ctxt =
        xmlCreateIOParserCtxt(&sax, nullptr, ReadCallback, CloseCallback, &source, XML_CHAR_ENCODING_NONE);
    if (!ctxt) {
        SaxFailure failure;
        failure.hr = E_OUTOFMEMORY;
        failure.message = "Out of memory\n";
        return failure;
    }
    // Only options that keep the parser inside the document: no network, no
    // entity substitution (NOENT), no DTD loading, no lifting of the limits
    // (HUGE).
    xmlCtxtUseOptions(ctxt, XML_PARSE_NONET);

    session.Attach(ctxt);
    xmlParseDocument(ctxt);
    std::optional<SaxFailure> result = session.Result();
    if (!result && source.failed) {
        result = SaxFailure{};
        result->message = "The document could not be read.\n";
    }

    if (ctxt->myDoc) {
        xmlFreeDoc(ctxt->myDoc);
        ctxt->myDoc = nullptr;
    }
    ctxt->_private = nullptr;
    xmlFreeParserCtxt(ctxt);
    return result;
}

std::optional<SaxFailure> ParseXml(std::string_view bytes, SaxContentHandler& handler)
{
    return ParseXml(ReadFromMemory(bytes), handler);
}

ReadFunction ReadFromMemory(std::string_view bytes)
{
    return [bytes, offset = std::size_t{0}](char* buffer, int size) mutable {
        const std::size_t n = std::min(bytes.size() - offset, static_cast<std::size_t>(size));
        std::memcpy(buffer, bytes.data() + offset, n);
        offset += n;
        return static_cast<int>(n);
    };
}

}  // namespace qmx::xml
