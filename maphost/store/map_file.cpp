#include "maphost/store/map_file.h"

#include <libxml/xmlwriter.h>
#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "adapters/xml/quiet_libxml_errors.h"
#include "adapters/xml/sax_parser.h"
#include "automation/bstr.h"
#include "automation/files/file_saver.h"
#include "automation/value_text.h"
#include "maphost/store/map_support.h"

namespace qmx::map {

namespace {

constexpr std::string_view kFormatVersion = "1";

// ---- Values as attribute text ----

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

// XML 1.0 cannot hold most control characters, not even as references, nor
// U+FFFE and U+FFFF: they are written as U+FFFD, so that the file stays
// readable.
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

// ---- Reading ----

class MapReader final : public xml::SaxContentHandler {
public:
    explicit MapReader(MapSnapshot* snapshot) : snapshot_(snapshot) {}

    const std::string& Error() const { return error_; }

    HRESULT StartDocument() override { return S_OK; }

    HRESULT StartElement(std::string_view name, const xml::SaxAttributes& attributes) override
    {
        ++depth_;
        if (skipFrom_ != 0) return S_OK;
        if (depth_ == 1) return StartMap(name, attributes);
        if (depth_ == 2 && name == "description") {
            inDescription_ = true;
            description_.clear();
            return S_OK;
        }
        if (depth_ == 2 && name == "topic") return StartTopic(attributes);
        if (depth_ == 3 && inTopic_ && name == "task") return ReadTask(attributes);
        if (depth_ == 3 && inTopic_ && name == "attribute") return ReadAttribute(attributes);
        skipFrom_ = depth_;  // an element of a later version: its content is left alone
        return S_OK;
    }

    HRESULT EndElement() override
    {
        if (skipFrom_ == depth_) skipFrom_ = 0;
        if (depth_ == 2) {
            if (inDescription_) snapshot_->description = Utf8ToBstr(description_);
            inDescription_ = false;
            inTopic_ = false;
        }
        --depth_;
        return S_OK;
    }

    HRESULT Characters(std::string_view text) override
    {
        if (inDescription_ && skipFrom_ == 0) description_.append(text);
        return S_OK;
    }

    HRESULT EndDocument() override
    {
        if (snapshot_->topics.empty()) return Refuse("The map file holds no central topic.");
        return S_OK;
    }

private:
    HRESULT Refuse(std::string message)
    {
        error_ = std::move(message);
        return E_FAIL;
    }

    HRESULT StartMap(std::string_view name, const xml::SaxAttributes& attributes)
    {
        if (name != "map") return Refuse("This is not a map file: its top element is '" + std::string(name) + "', not 'map'.");
        const auto version = attributes.Find("version");
        if (version && *version != kFormatVersion)
            return Refuse("The map file has the format version " + std::string(*version) +
                          ", which this program does not know.");
        return S_OK;
    }

    HRESULT StartTopic(const xml::SaxAttributes& attributes)
    {
        const auto guidText = attributes.Find("guid");
        if (!guidText) return Refuse("A topic has no GUID.");
        const std::optional<GUID> guid = ParseGuid(*guidText);
        if (!guid) return Refuse("The topic GUID '" + std::string(*guidText) + "' is not valid.");
        if (indexes_.contains(*guid)) return Refuse("The topic " + GuidToString(*guid) + " appears twice.");

        SnapshotTopic topic;
        topic.guid = *guid;
        if (const auto parentText = attributes.Find("parent")) {
            const std::optional<GUID> parent = ParseGuid(*parentText);
            const auto found = parent ? indexes_.find(*parent) : indexes_.end();
            if (found == indexes_.end())
                return Refuse("The parent '" + std::string(*parentText) + "' of a topic is not a topic before it.");
            topic.parent = found->second;
        } else if (!snapshot_->topics.empty()) {
            return Refuse("The map file holds more than one central topic.");
        }
        if (snapshot_->topics.empty() && topic.parent >= 0)
            return Refuse("The map file's first topic has a parent.");
        if (const auto text = attributes.Find("text")) topic.values.text = Utf8ToBstr(*text);
        if (const auto fill = attributes.Find("fill")) {
            topic.values.fill = ParseFill(*fill);
            if (!topic.values.fill) return Refuse("The fill colour '" + std::string(*fill) + "' is not valid.");
        }
        for (auto [name, flag] : {std::pair{"collapsed", &topic.values.collapsed},
                                  std::pair{"floating", &topic.values.floating},
                                  std::pair{"callout", &topic.values.callout}}) {
            if (const auto text = attributes.Find(name)) {
                const std::optional<bool> value = ParseFlag(*text);
                if (!value) return Refuse("The value '" + std::string(*text) + "' of '" + name + "' is not true or false.");
                *flag = *value;
            }
        }
        indexes_.emplace(*guid, static_cast<std::int32_t>(snapshot_->topics.size()));
        snapshot_->topics.push_back(std::move(topic));
        inTopic_ = true;
        return S_OK;
    }

    HRESULT ReadTask(const xml::SaxAttributes& attributes)
    {
        TaskValues& task = snapshot_->topics.back().values.task;
        for (auto [name, field] : {std::pair{"priority", &task.priority}, std::pair{"unit", &task.durationUnit},
                                   std::pair{"percent", &task.percentComplete}}) {
            if (const auto text = attributes.Find(name)) {
                const std::optional<std::int32_t> value = ParseInteger(*text);
                if (!value) return Refuse("The task value '" + std::string(*text) + "' of '" + name + "' is not a whole number.");
                *field = *value;
            }
        }
        for (auto [name, field] : {std::pair{"start", &task.start}, std::pair{"due", &task.due},
                                   std::pair{"hours", &task.durationHours}}) {
            if (const auto text = attributes.Find(name)) {
                const std::optional<double> value = ParseNumber(*text);
                if (!value) return Refuse("The task value '" + std::string(*text) + "' of '" + name + "' is not a number.");
                *field = *value;
            }
        }
        if (const auto text = attributes.Find("resources")) task.resources = Utf8ToBstr(*text);
        if (const char* why = CheckTaskValues(task)) return Refuse(why);
        return S_OK;
    }

    HRESULT ReadAttribute(const xml::SaxAttributes& attributes)
    {
        const auto space = attributes.Find("namespace");
        const auto name = attributes.Find("name");
        if (!space || space->empty() || !name || name->empty())
            return Refuse("A topic attribute lacks its namespace or its name.");
        const auto value = attributes.Find("value");
        snapshot_->topics.back().values.attributes[Utf8ToBstr(*space)][Utf8ToBstr(*name)] =
            value ? Utf8ToBstr(*value) : BSTR();
        return S_OK;
    }

    MapSnapshot* snapshot_;
    std::unordered_map<GUID, std::int32_t> indexes_;
    std::string error_;
    std::string description_;
    int depth_ = 0;
    int skipFrom_ = 0;  // depth of an unknown element being skipped, or 0
    bool inDescription_ = false;
    bool inTopic_ = false;
};

std::optional<MapFileError> Parse(const xml::ReadFunction& read, MapSnapshot* snapshot)
{
    *snapshot = MapSnapshot();
    MapReader reader(snapshot);
    const std::optional<xml::SaxFailure> failure = xml::ParseXml(read, reader);
    if (!failure) return std::nullopt;
    *snapshot = MapSnapshot();
    std::string message = "The map file cannot be read.\n";
    if (!failure->byHandler) {
        message += failure->message;
    } else {
        message += reader.Error().empty() ? std::string("It is damaged.") : reader.Error();
        message += '\n';
    }
    char position[64];
    std::snprintf(position, sizeof position, "(Line %u, Col. %u)", failure->line, failure->column);
    message += position;
    return MapFileError{failure->hr == E_OUTOFMEMORY ? E_OUTOFMEMORY : E_FAIL, std::move(message)};
}

// ---- Writing ----

const xmlChar* X(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

class Writer {
public:
    explicit Writer(std::string* bytes) : bytes_(bytes)
    {
        xmlOutputBufferPtr buffer = xmlOutputBufferCreateIO(Append, Close, bytes, nullptr);
        if (!buffer) return;
        writer_ = xmlNewTextWriter(buffer);
        if (!writer_) xmlOutputBufferClose(buffer);
    }
    ~Writer()
    {
        if (writer_) xmlFreeTextWriter(writer_);
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool Write(const MapSnapshot& snapshot)
    {
        if (!writer_ || xmlTextWriterSetIndent(writer_, 1) < 0 || xmlTextWriterSetIndentString(writer_, X("  ")) < 0)
            return false;
        ok_ = xmlTextWriterStartDocument(writer_, nullptr, "UTF-8", nullptr) >= 0;
        Start("map");
        Attribute("version", std::string(kFormatVersion));
        if (!snapshot.description.empty()) {
            Start("description");
            if (ok_) ok_ = xmlTextWriterWriteString(writer_, X(ToXmlText(snapshot.description).c_str())) >= 0;
            End();
        }
        for (const SnapshotTopic& topic : snapshot.topics) {
            WriteTopic(topic, topic.parent >= 0 ? &snapshot.topics[static_cast<std::size_t>(topic.parent)] : nullptr);
            if (!ok_) return false;
        }
        End();
        if (ok_) ok_ = xmlTextWriterEndDocument(writer_) >= 0 && xmlTextWriterFlush(writer_) >= 0;
        return ok_;
    }

private:
    static int Append(void* context, const char* data, int length)
    {
        static_cast<std::string*>(context)->append(data, static_cast<std::size_t>(length));
        return length;
    }
    static int Close(void*) { return 0; }

    void Start(const char* name)
    {
        if (ok_) ok_ = xmlTextWriterStartElement(writer_, X(name)) >= 0;
    }
    void End()
    {
        if (ok_) ok_ = xmlTextWriterEndElement(writer_) >= 0;
    }
    void Attribute(const char* name, const std::string& value)
    {
        if (ok_) ok_ = xmlTextWriterWriteAttribute(writer_, X(name), X(value.c_str())) >= 0;
    }

    void WriteTopic(const SnapshotTopic& topic, const SnapshotTopic* parent)
    {
        const TopicValues& values = topic.values;
        Start("topic");
        Attribute("guid", GuidToString(topic.guid));
        if (parent) Attribute("parent", GuidToString(parent->guid));
        Attribute("text", ToXmlText(values.text));
        if (values.fill) Attribute("fill", FormatFill(*values.fill));
        if (values.collapsed) Attribute("collapsed", "true");
        if (values.floating) Attribute("floating", "true");
        if (values.callout) Attribute("callout", "true");
        const TaskValues& task = values.task;
        if (!(task == TaskValues())) {
            const TaskValues none;
            Start("task");
            if (task.priority != none.priority) Attribute("priority", std::to_string(task.priority));
            if (task.start != none.start) Attribute("start", FormatNumber(task.start));
            if (task.due != none.due) Attribute("due", FormatNumber(task.due));
            if (task.durationHours != none.durationHours) Attribute("hours", FormatNumber(task.durationHours));
            if (task.durationUnit != none.durationUnit) Attribute("unit", std::to_string(task.durationUnit));
            if (task.percentComplete != none.percentComplete) Attribute("percent", std::to_string(task.percentComplete));
            if (!task.resources.empty()) Attribute("resources", ToXmlText(task.resources));
            End();
        }
        for (const auto& [space, table] : values.attributes) {
            for (const auto& [name, value] : table) {
                Start("attribute");
                Attribute("namespace", ToXmlText(space));
                Attribute("name", ToXmlText(name));
                Attribute("value", ToXmlText(value));
                End();
            }
        }
        End();
    }

    std::string* bytes_;
    xmlTextWriterPtr writer_ = nullptr;
    bool ok_ = true;
};

}  // namespace

std::optional<MapFileError> ReadMapBytes(std::string_view bytes, MapSnapshot* snapshot)
{
    return Parse(xml::ReadFromMemory(bytes), snapshot);
}

std::optional<MapFileError> ReadMapFile(const std::string& path, MapSnapshot* snapshot)
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
    std::optional<MapFileError> error = Parse(read, snapshot);
    std::fclose(file);
    if (readError) return MapFileError{E_FAIL, "The map file cannot be read: the disk reported an error."};
    return error;
}

std::optional<MapFileError> WriteMapBytes(const MapSnapshot& snapshot, std::string* bytes)
{
    bytes->clear();
    xml::QuietLibxmlErrors quiet;
    Writer writer(bytes);
    if (!writer.Write(snapshot)) return MapFileError{E_FAIL, "The map could not be put into words (out of memory?)."};
    return std::nullopt;
}

std::optional<MapFileError> WriteMapFile(const std::string& path, const MapSnapshot& snapshot)
{
    std::string bytes;
    if (auto error = WriteMapBytes(snapshot, &bytes)) return error;
    const files::CFileSaver saver(path);
    const files::CFileSaver::Result result = saver.Save([&](const files::ByteSink& sink) {
        return sink(bytes.data(), bytes.size()) ? S_OK : E_FAIL;
    });
    if (result.outcome == files::CFileSaver::Outcome::Saved) return std::nullopt;
    std::string message = "The map could not be saved.";
    if (!result.why.empty()) message += "\n" + result.why;
    return MapFileError{result.outcome == files::CFileSaver::Outcome::OutOfMemory ? E_OUTOFMEMORY : E_FAIL, message};
}

}  // namespace qmx::map
