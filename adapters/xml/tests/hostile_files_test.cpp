// Replays data/hostile/cases.txt: every hostile or edge-case project file is
// opened through the XML adapter and must give the outcome listed for it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

#include "adapters/xml/tests/hostile_cases.h"
#include "adapters/xml/tests/plan_access.h"
#include "adapters/xml/xml_adapter.h"
#include "automation/error_info.h"

namespace qmx::xml {
namespace {

using namespace qmx::xml::testing;
using qmx::testing::HostileCase;

const std::string kFolder = std::string(QMX_XML_TEST_DATA) + "/hostile/";

std::string Utf16WithByteOrderMark(const std::string& ascii)
{
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + 2 * ascii.size());
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

// The recipes of README.md: inputs too large to keep in the repository.
std::string MakeInput(const HostileCase& entry)
{
    const std::vector<std::string> parts = qmx::testing::RecipeParts(entry.input);
    const auto number = [&](std::size_t i) { return i < parts.size() ? std::stoul(parts[i]) : 0ul; };
    std::string xml;
    if (parts[0] == "attributes") {
        xml = "<?xml version=\"1.0\"?>\n<project>\n<tasks>\n<task id=\"1\"";
        for (unsigned long i = 1; i < number(1); ++i) xml += " a" + std::to_string(i) + "=\"\"";
        xml += "/>\n</tasks>\n</project>\n";
        if (parts.size() > 2 && parts[2] == "utf16") {
            xml.replace(xml.find("?>"), 2, " encoding=\"UTF-16\"?>");
            return Utf16WithByteOrderMark(xml);
        }
    } else if (parts[0] == "entity-text") {
        xml = "<!DOCTYPE project [<!ENTITY e \"" + std::string(number(1), 'y') + "\">]>\n"
              "<project><tasks><task id=\"1\"><notes>";
        for (unsigned long i = 0; i < number(2); ++i) xml += "&e;";
        xml += "</notes></task></tasks></project>\n";
    } else if (parts[0] == "defaulted") {
        xml = "<!DOCTYPE project [<!ATTLIST x";
        for (unsigned long i = 0; i < number(1); ++i) xml += " d" + std::to_string(i) + " CDATA 'v'";
        xml += ">]>\n<project><tasks><task id=\"1\">";
        for (unsigned long i = 0; i < number(2); ++i) xml += "<x/>";
        xml += "</task></tasks></project>\n";
    } else {
        ADD_FAILURE() << "line " << entry.line << ": unknown recipe " << entry.input;
    }
    return xml;
}

// Checks of a loaded document: "tasks=N", "notes=ID:LENGTH".
void CheckLoaded(const CProjectDocument& document, const HostileCase& entry)
{
    std::size_t at = 0;
    while (at < entry.text.size()) {
        const std::size_t end = std::min(entry.text.find(' ', at), entry.text.size());
        const std::string check = entry.text.substr(at, end - at);
        at = end + 1;
        if (check.empty()) continue;
        const std::size_t equals = check.find('=');
        const std::string key = check.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : check.substr(equals + 1);
        if (key == "tasks") {
            EXPECT_EQ(ChildIds(document, 0).size(), std::stoul(value)) << "line " << entry.line;
        } else if (key == "notes") {
            const std::size_t colon = value.find(':');
            const LONG id = std::stol(value.substr(0, colon));
            EXPECT_EQ(Values(document, id).notes.size(), std::stoul(value.substr(colon + 1))) << "line " << entry.line;
        } else {
            ADD_FAILURE() << "line " << entry.line << ": unknown check " << check;
        }
    }
}

TEST(HostileFilesTest, EachFileGivesItsOutcome)
{
    QTemporaryDir made;
    ASSERT_TRUE(made.isValid());
    int index = 0;
    for (const HostileCase& entry : qmx::testing::ReadHostileCases(kFolder + "cases.txt")) {
        SCOPED_TRACE("cases.txt line " + std::to_string(entry.line) + ": " + entry.input);
        std::string path = kFolder + entry.input;
        if (entry.input.front() == '@') {
            const std::string bytes = MakeInput(entry);
            path = made.filePath(QString::number(++index) + ".xml").toStdString();
            QFile file(QString::fromStdString(path));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
        }

        const ComPtr<CProjectDocument> document = NewDocument();
        const ComPtr<CXmlAdapter> adapter = MakeObject<CXmlAdapter>();
        ASSERT_EQ(adapter->Connect(document.Get()), S_OK);
        ClearErrorInfo();
        const HRESULT hr = adapter->FileOpen(0, Utf8ToBstr(path));
        const auto error = GetErrorInfo();
        const std::string description = error ? BstrToUtf8(error->description) : "";
        if (entry.outcome == "loads") {
            EXPECT_EQ(hr, S_OK) << description;
            if (SUCCEEDED(hr)) CheckLoaded(*document, entry);
        } else if (entry.outcome == "refused") {
            EXPECT_EQ(hr, E_FAIL);
            EXPECT_TRUE(description.starts_with("Failed to load document.\n") ||
                        description.starts_with("Failed to open specified file."))
                << description;
            EXPECT_NE(description.find(entry.text), std::string::npos) << description;
            EXPECT_TRUE(ChildIds(*document, 0).empty()) << "the model is emptied";
        } else {
            ADD_FAILURE() << "unknown outcome " << entry.outcome;
        }
        adapter->FileClose();
        adapter->Disconnect();
    }
}

TEST(HostileFilesTest, NamesThatCanOnlyBeFoldersAreNotWritten)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const ComPtr<CProjectDocument> document = NewDocument();
    const ComPtr<CXmlAdapter> adapter = MakeObject<CXmlAdapter>();
    ASSERT_EQ(adapter->Connect(document.Get()), S_OK);
    ASSERT_EQ(adapter->FileOpen(0, Utf8ToBstr(kFolder + "plan.xml")), S_OK);
    const std::string target = folder.filePath("copy.xml").toStdString();
    for (const std::string& name : {target + "/", target + "/.", folder.path().toStdString() + "/.."}) {
        SCOPED_TRACE(name);
        for (const bool exporting : {false, true}) {
            ClearErrorInfo();
            const BSTR path = Utf8ToBstr(name);
            EXPECT_EQ(exporting ? adapter->FileExport(0, path) : adapter->FileSaveAs(path), E_FAIL);
            const auto error = GetErrorInfo();
            ASSERT_TRUE(error);
            const std::string description = BstrToUtf8(error->description);
            EXPECT_TRUE(description.starts_with("Failed to open specified file.\nThe name ends with")) << description;
        }
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    BSTR name;
    ASSERT_EQ(adapter->get_FileName(&name), S_OK);
    EXPECT_EQ(BstrToUtf8(name), kFolder + "plan.xml") << "the open document stays";
    adapter->FileClose();
    adapter->Disconnect();
}

}  // namespace
}  // namespace qmx::xml
