// What the map file formats share: the value texts, reading a file through
// the SAX parser with the failure described for the user, the XML text
// writer, and saving the bytes so that the file is either old or new.
#pragma once

#include <libxml/xmlwriter.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "adapters/xml/sax_parser.h"
#include "automation/types.h"
#include "maphost/store/map_file.h"

namespace qmx::map {

// Shortest text that reads back as the same double.
std::string FormatNumber(double value);
std::optional<double> ParseNumber(std::string_view text);
// "true"/"1" and "false"/"0".
std::optional<bool> ParseFlag(std::string_view text);
// "#aarrggbb"; ParseFill also takes "#rrggbb" (opaque).
std::string FormatFill(DWORD color);
std::optional<DWORD> ParseFill(std::string_view text);
// UTF-8 for XML: the characters XML 1.0 cannot hold, not even as
// references (most control characters, U+FFFE, U+FFFF), become U+FFFD.
std::string ToXmlText(const BSTR& text);

// Parses with the handler; a failure says what the handler or the parser
// found, and where. `handlerError` is asked after a failure.
std::optional<MapFileError> ParseMap(const xml::ReadFunction& read, xml::SaxContentHandler& handler,
                                     const std::function<std::string()>& handlerError);
// Opens the file and hands its reader to parse; a folder, a missing file
// and a read error are refused with their reason.
std::optional<MapFileError> ReadFileWith(const std::string& path,
                                         const std::function<std::optional<MapFileError>(const xml::ReadFunction&)>& parse);
// Writes the bytes through the file saver.
std::optional<MapFileError> SaveBytes(const std::string& path, const std::string& bytes);

// libxml2's text writer into a string, indented, with results kept: after
// the first failure every call does nothing and Finish answers false.
class XmlOut {
public:
    explicit XmlOut(std::string* bytes);
    ~XmlOut();
    XmlOut(const XmlOut&) = delete;
    XmlOut& operator=(const XmlOut&) = delete;

    void Start(const char* name);
    void End();
    void Attribute(const char* name, const std::string& value);
    void Text(const std::string& text);
    bool Finish();

private:
    static int Append(void* context, const char* data, int length);
    static int Close(void*) { return 0; }
    xmlTextWriterPtr writer_ = nullptr;
    bool ok_ = false;
};

}  // namespace qmx::map
