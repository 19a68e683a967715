#include "maphost/store/map_file_support.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "adapters/xml/quiet_libxml_errors.h"
#include "automation/bstr.h"
#include "automation/files/file_saver.h"
#include "automation/guid.h"

namespace qmx::map {


std::string FormatNumber(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::optional<double> ParseNumber(std::string_view text)
{
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<bool> ParseFlag(std::string_view text)
{
    if (text == "true" || text == "1") return true;
    if (text == "false" || text == "0") return false;
    return std::nullopt;
}

std::string FormatFill(DWORD color)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "#%08x", unsigned(color));
    return buffer;
}

// "#aarrggbb", or "#rrggbb" for an opaque colour; either case.
std::optional<DWORD> ParseFill(std::string_view text)
{
    if (text.empty() || text[0] != '#' || (text.size() != 9 && text.size() != 7)) return std::nullopt;
    DWORD value = 0;
    for (const char c : text.substr(1)) {
        const int digit = detail::HexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value << 4 | static_cast<DWORD>(digit);
    }
    return text.size() == 7 ? value | 0xFF000000u : value;
}

std::string ToXmlText(const BSTR& text)
{
    const std::string utf8 = BstrToUtf8(text);
    std::string result;
    result.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') {
            result += "\xEF\xBF\xBD";
        } else if (byte == 0xEF && i + 2 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0xBF &&
                   (static_cast<unsigned char>(utf8[i + 2]) & 0xFE) == 0xBE) {
            result += "\xEF\xBF\xBD";
            i += 2;
        } else {
            result += utf8[i];
        }
    }
    return result;
}

std::optional<MapFileError> ParseMap(const xml::ReadFunction& read, xml::SaxContentHandler& handler,
                                     const std::function<std::string()>& handlerError)
{
    const std::optional<xml::SaxFailure> failure = xml::ParseXml(read, handler);
    if (!failure) return std::nullopt;
    std::string message = "The map file cannot be read.\n";
    if (!failure->byHandler) {
        message += failure->message;
    } else {
        const std::string reason = handlerError();
        message += reason.empty() ? std::string("It is damaged.") : reason;
        message += '\n';
    }
    char position[64];
    std::snprintf(position, sizeof position, "(Line %u, Col. %u)", failure->line, failure->column);
    message += position;
    return MapFileError{failure->hr == E_OUTOFMEMORY ? E_OUTOFMEMORY : E_FAIL, std::move(message)};
}

std::optional<MapFileError> ReadFileWith(const std::string& path,
                                         const std::function<std::optional<MapFileError>(const xml::ReadFunction&)>& parse)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return MapFileError{E_FAIL, "The map file cannot be opened: the name names a folder, not a file."};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return MapFileError{E_FAIL, std::string("The map file cannot be opened: ") + std::strerror(errno) + "."};
    bool readError = false;
    const auto read = [&](char* buffer, int size) {
        const std::size_t n = std::fread(buffer, 1, static_cast<std::size_t>(size), file);
        if (n == 0 && std::ferror(file)) {
            readError = true;
            return -1;
        }
        return static_cast<int>(n);
    };
    std::optional<MapFileError> error = parse(read);
    std::fclose(file);
    if (readError) return MapFileError{E_FAIL, "The map file cannot be read: the disk reported an error."};
    return error;
}

std::optional<MapFileError> SaveBytes(const std::string& path, const std::string& bytes)
{
    const files::CFileSaver saver(path);
    const files::CFileSaver::Result result = saver.Save([&](const files::ByteSink& sink) {
        return sink(bytes.data(), bytes.size()) ? S_OK : E_FAIL;
    });
    if (result.outcome == files::CFileSaver::Outcome::Saved) return std::nullopt;
    std::string message = "The map could not be saved.";
    if (!result.why.empty()) message += "\n" + result.why;
    return MapFileError{result.outcome == files::CFileSaver::Outcome::OutOfMemory ? E_OUTOFMEMORY : E_FAIL, message};
}

namespace {
const xmlChar* X(const char* text) { return reinterpret_cast<const xmlChar*>(text); }
}  // namespace

XmlOut::XmlOut(std::string* bytes)
{
    xmlOutputBufferPtr buffer = xmlOutputBufferCreateIO(Append, Close, bytes, nullptr);
    if (!buffer) return;
    writer_ = xmlNewTextWriter(buffer);
    if (!writer_) {
        xmlOutputBufferClose(buffer);
        return;
    }
    xml::QuietLibxmlErrors quiet;
    ok_ = xmlTextWriterSetIndent(writer_, 1) >= 0 && xmlTextWriterSetIndentString(writer_, X("  ")) >= 0 &&
          xmlTextWriterStartDocument(writer_, nullptr, "UTF-8", nullptr) >= 0;
}

XmlOut::~XmlOut()
{
    if (writer_) xmlFreeTextWriter(writer_);
}

int XmlOut::Append(void* context, const char* data, int length)
{
    static_cast<std::string*>(context)->append(data, static_cast<std::size_t>(length));
    return length;
}

void XmlOut::Start(const char* name)
{
    if (ok_) ok_ = xmlTextWriterStartElement(writer_, X(name)) >= 0;
}

void XmlOut::End()
{
    if (ok_) ok_ = xmlTextWriterEndElement(writer_) >= 0;
}

void XmlOut::Attribute(const char* name, const std::string& value)
{
    if (ok_) ok_ = xmlTextWriterWriteAttribute(writer_, X(name), X(value.c_str())) >= 0;
}

void XmlOut::Text(const std::string& text)
{
    if (ok_) ok_ = xmlTextWriterWriteString(writer_, X(text.c_str())) >= 0;
}

bool XmlOut::Finish()
{
    xml::QuietLibxmlErrors quiet;
    if (ok_) ok_ = xmlTextWriterEndDocument(writer_) >= 0 && xmlTextWriterFlush(writer_) >= 0;
    return ok_;
}

}  // namespace qmx::map
