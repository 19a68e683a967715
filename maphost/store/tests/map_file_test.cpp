// The map file: saving and opening through the documents, the exactness of
// the values on the way, and the hostile and edge-case files of
// data/hostile/cases.txt with the outcome each must give.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "adapters/xml/tests/hostile_cases.h"
#include "automation/bstr.h"
#include "automation/error_info.h"
#include "automation/file_name.h"
#include "maphost/api/map_factory.h"
#include "maphost/store/map_document.h"
#include "maphost/store/map_file.h"
#include "maphost/store/map_formats.h"
#include "maphost/store/tests/event_recorder.h"

namespace qmx::map {
namespace {

namespace fs = std::filesystem;
using testing::Subscription;

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "qmx-map-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(path_); }
    std::string File(const std::string& name) const { return (fs::path(path_) / name).string(); }
    std::size_t EntryCount() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(path_), {})); }

private:
    fs::path path_;
};

std::string ErrorText()
{
    const auto info = GetErrorInfo();
    return info ? BstrToUtf8(info->description) : std::string("(no error description)");
}

MapDocument* Internal(IMmDocument* document) { return dynamic_cast<MapDocument*>(document); }

class MapFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CreateInProcessApplication(app.ReleaseAndGetAddressOf()), S_OK);
        app->get_Documents(VARIANT_FALSE, documents.ReleaseAndGetAddressOf());
    }

    HRESULT Open(const std::string& path, ComPtr<IMmDocument>* document, bool readOnly = false)
    {
        return documents->Open(FileNameToBstr(path), u"", ToVariantBool(readOnly), document->ReleaseAndGetAddressOf());
    }

    TempFolder folder;
    ComPtr<IMmApplication> app;
    ComPtr<IMmDocuments> documents;
};

// A map using every value a topic holds, with texts the XML must escape.
void FillMap(IMmDocument* document)
{
    ComPtr<IMmTopic> central, a, b, b1;
    document->get_CentralTopic(central.ReleaseAndGetAddressOf());
    central->put_Text(u"Plan <&> \"quoted\"");
    central->AddSubTopic(u"A\nsecond line\ttab", a.ReleaseAndGetAddressOf());
    central->AddSubTopic(u"B \U0001F600 caf\u00e9", b.ReleaseAndGetAddressOf());
    b->AddSubTopic(u"B1", b1.ReleaseAndGetAddressOf());
    ComPtr<IMmTaskInfo> task;
    a->get_TaskInfo(task.ReleaseAndGetAddressOf());
    task->put_Priority(7);
    task->put_StartDate(46000.123456789);
    task->put_DueDate(46010.0 / 3.0);
    task->put_DurationHours(0.1);
    task->put_DurationUnit(kDurationHours);
    task->put_PercentComplete(33);
    task->put_Resources(u"Ann;Bob, the \"builder\"");
    a->put_FillColor(0x80123456);
    b->put_FillColor(0x00000000);
    b->put_Collapsed(VARIANT_TRUE);
    b1->put_IsFloating(VARIANT_TRUE);
    b1->put_IsCallout(VARIANT_TRUE);
    ComPtr<IMmAttributes> attributes;
    b1->get_Attributes(u"urn:qmx:plan", attributes.ReleaseAndGetAddressOf());
    attributes->SetAttributeValue(u"Predecessors", u"{11111111-1111-4111-8111-111111111111},2");
    attributes->SetAttributeValue(u"Empty", u"");
    attributes->SetAttributeValue(u"Line", u"one\r\ntwo");
    b1->get_Attributes(u"urn:other", attributes.ReleaseAndGetAddressOf());
    attributes->SetAttributeValue(u"Predecessors", u"other");
    ComPtr<IMmDocumentProperties> properties;
    document->get_Properties(properties.ReleaseAndGetAddressOf());
    properties->put_Description(u"What the plan is for.\nTwo lines & more.");
}

TEST_F(MapFileTest, SavedMapsOpenWithEveryValueAndGuid)
{
    ComPtr<IMmDocument> document;
    documents->Add(0, document.ReleaseAndGetAddressOf());
    FillMap(document.Get());
    const std::string path = folder.File("plan.mmap");
    ASSERT_EQ(document->SaveAs(FileNameToBstr(path), kFormatMap), S_OK) << ErrorText();

    ComPtr<IMmApplication> other;
    CreateInProcessApplication(other.ReleaseAndGetAddressOf());
    ComPtr<IMmDocuments> otherDocuments;
    other->get_Documents(VARIANT_TRUE, otherDocuments.ReleaseAndGetAddressOf());
    ComPtr<IMmDocument> reopened;
    ASSERT_EQ(otherDocuments->Open(FileNameToBstr(path), u"", VARIANT_FALSE, reopened.ReleaseAndGetAddressOf()), S_OK)
        << ErrorText();
    const MapSnapshot saved = Internal(document.Get())->Snapshot(Internal(document.Get())->Central());
    const MapSnapshot read = Internal(reopened.Get())->Snapshot(Internal(reopened.Get())->Central());
    EXPECT_EQ(read.description, saved.description);
    ASSERT_EQ(read.topics.size(), saved.topics.size());
    for (std::size_t i = 0; i < read.topics.size(); ++i) {
        EXPECT_EQ(read.topics[i].guid, saved.topics[i].guid) << i;
        EXPECT_EQ(read.topics[i].parent, saved.topics[i].parent) << i;
        EXPECT_TRUE(read.topics[i].values == saved.topics[i].values) << i << " " << BstrToUtf8(read.topics[i].values.text);
    }
    BSTR name;
    reopened->get_Name(&name);
    EXPECT_EQ(name, u"plan.mmap");
    VARIANT_BOOL modified = VARIANT_TRUE;
    reopened->get_IsModified(&modified);
    EXPECT_EQ(modified, VARIANT_FALSE);
}

TEST_F(MapFileTest, FreeMindMapsKeepWhatTheHostHolds)
{
    ComPtr<IMmDocument> document;
    documents->Add(0, document.ReleaseAndGetAddressOf());
    FillMap(document.Get());
    const std::string path = folder.File("plan.mm");
    ASSERT_EQ(document->SaveAs(FileNameToBstr(path), kFormatMap), S_OK) << ErrorText();
    MapSnapshot saved = Internal(document.Get())->Snapshot(Internal(document.Get())->Central());
    document->Close();
    ComPtr<IMmDocument> reopened;
    ASSERT_EQ(Open(path, &reopened), S_OK) << ErrorText();
    const MapSnapshot read = Internal(reopened.Get())->Snapshot(Internal(reopened.Get())->Central());
    ASSERT_EQ(read.topics.size(), saved.topics.size());
    for (std::size_t i = 0; i < read.topics.size(); ++i) {
        EXPECT_EQ(read.topics[i].guid, saved.topics[i].guid) << i;
        EXPECT_EQ(read.topics[i].parent, saved.topics[i].parent) << i;
        EXPECT_TRUE(read.topics[i].values == saved.topics[i].values) << i << " " << BstrToUtf8(read.topics[i].values.text);
    }
    EXPECT_TRUE(read.description.empty()) << "a FreeMind map has no description";

    // Deeper than a FreeMind map can be read back: refused, the file untouched.
    ComPtr<IMmTopic> topic;
    reopened->get_CentralTopic(topic.ReleaseAndGetAddressOf());
    for (int i = 0; i < 300; ++i) {
        ComPtr<IMmTopic> below;
        topic->AddSubTopic(u"deeper", below.ReleaseAndGetAddressOf());
        topic = below;
    }
    EXPECT_EQ(reopened->Save(), E_FAIL);
    EXPECT_NE(ErrorText().find("nested too deeply"), std::string::npos);
    MapSnapshot again;
    EXPECT_FALSE(ReadMapAnyFormat(path, &again));
    EXPECT_EQ(again.topics.size(), saved.topics.size());
}

TEST_F(MapFileTest, CharactersXmlCannotHoldBecomeReplacementCharacters)
{
    ComPtr<IMmDocument> document;
    documents->Add(0, document.ReleaseAndGetAddressOf());
    ComPtr<IMmTopic> central;
    document->get_CentralTopic(central.ReleaseAndGetAddressOf());
    central->put_Text(BSTR(u"bell\x07 nul") + char16_t(0) + u" \xFFFE end");
    const std::string path = folder.File("controls.mmap");
    ASSERT_EQ(document->SaveAs(FileNameToBstr(path), kFormatMap), S_OK);
    document->Close();
    ComPtr<IMmDocument> reopened;
    ASSERT_EQ(Open(path, &reopened), S_OK) << ErrorText();
    reopened->get_CentralTopic(central.ReleaseAndGetAddressOf());
    BSTR text;
    central->get_Text(&text);
    EXPECT_EQ(text, u"bell\xFFFD nul\xFFFD \xFFFD end");
}

TEST_F(MapFileTest, SaveNeedsAWritableFileAndSaveAsRenames)
{
    ComPtr<IMmDocument> document;
    documents->Add(0, document.ReleaseAndGetAddressOf());
    EXPECT_EQ(document->Save(), E_FAIL);
    EXPECT_NE(ErrorText().find("Save As"), std::string::npos);
    EXPECT_EQ(document->SaveAs(FileNameToBstr(folder.File("x.mmap")), 1), E_INVALIDARG);

    Subscription names(app.Get(), kEventDocumentNameChanged);
    const std::string path = folder.File("first.mmap");
    ASSERT_EQ(document->SaveAs(FileNameToBstr(path), kFormatMap), S_OK);
    EXPECT_EQ(names.events(), (std::vector<std::string>{"32/2:first.mmap"}));
    BSTR fullName;
    document->get_FullName(&fullName);
    EXPECT_EQ(BstrToUtf8(fullName), fs::canonical(path).string());
    ASSERT_EQ(document->SaveAs(FileNameToBstr(path), kFormatMap), S_OK);
    EXPECT_EQ(names.events().size(), 1u) << "the same name again changes nothing";

    ComPtr<IMmTopic> central;
    document->get_CentralTopic(central.ReleaseAndGetAddressOf());
    central->put_Text(u"changed");
    VARIANT_BOOL modified = VARIANT_FALSE;
    document->get_IsModified(&modified);
    EXPECT_EQ(modified, VARIANT_TRUE);
    EXPECT_EQ(document->Save(), S_OK);
    document->get_IsModified(&modified);
    EXPECT_EQ(modified, VARIANT_FALSE);
    EXPECT_EQ(folder.EntryCount(), 1u) << "no temporary file is left";

    // The same file opened again is the open map.
    ComPtr<IMmDocument> same;
    ASSERT_EQ(Open(folder.File("./first.mmap"), &same), S_OK);
    EXPECT_EQ(same.Get(), document.Get());

    // Not over the file of another open map.
    ComPtr<IMmDocument> other;
    documents->Add(0, other.ReleaseAndGetAddressOf());
    EXPECT_EQ(other->SaveAs(FileNameToBstr(folder.File("./first.mmap")), kFormatMap), E_FAIL);
    EXPECT_NE(ErrorText().find("Another open map"), std::string::npos);
    other->Close();

    // Read-only: saved only under another name.
    document->Close();
    ComPtr<IMmDocument> readOnly;
    ASSERT_EQ(Open(path, &readOnly, true), S_OK);
    VARIANT_BOOL flag = VARIANT_FALSE;
    readOnly->get_IsReadOnly(&flag);
    EXPECT_EQ(flag, VARIANT_TRUE);
    EXPECT_EQ(readOnly->Save(), E_ACCESSDENIED);
    EXPECT_EQ(readOnly->SaveAs(FileNameToBstr(folder.File("copy.mmap")), kFormatMap), S_OK);
    readOnly->get_IsReadOnly(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE);
    EXPECT_EQ(readOnly->Save(), S_OK);

    // A folder that does not exist: the failure says so, the map keeps its file.
    EXPECT_EQ(readOnly->SaveAs(FileNameToBstr(folder.File("none/x.mmap")), kFormatMap), E_FAIL);
    EXPECT_NE(ErrorText().find("could not be saved"), std::string::npos);
    readOnly->get_FullName(&fullName);
    EXPECT_EQ(BstrToUtf8(fullName), fs::canonical(folder.File("copy.mmap")).string());
}

// ---- Hostile files ----

std::string MakeRecipe(const std::vector<std::string>& parts)
{
    const unsigned long n = parts.size() > 1 ? std::stoul(parts[1]) : 0;
    const auto guid = [](unsigned long i) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "{%08lX-0000-4000-8000-000000000000}", i);
        return std::string(buffer);
    };
    std::string xml = "<?xml version=\"1.0\"?>\n<map>\n<topic guid=\"" + guid(0) + "\" text=\"Plan\"/>\n";
    const bool chain = parts[0] == "chain";
    for (unsigned long i = 1; i < n + (chain ? 0 : 1); ++i)
        xml += "<topic guid=\"" + guid(i) + "\" parent=\"" + guid(chain ? i - 1 : 0) + "\" text=\"T\"/>\n";
    return xml + "</map>\n";
}

TEST(MapHostileFilesTest, EachFileGivesItsOutcome)
{
    const std::string dataFolder = std::string(QMX_MAP_TEST_DATA) + "/hostile/";
    TempFolder temp;
    for (const auto& entry : qmx::testing::ReadHostileCases(dataFolder + "cases.txt")) {
        SCOPED_TRACE("cases.txt line " + std::to_string(entry.line) + ": " + entry.input);
        std::string path = dataFolder + entry.input;
        if (entry.input == "@missing") {
            path = temp.File("missing.mmap");
        } else if (entry.input == "@folder") {
            path = temp.File("folder.mmap");
            fs::create_directory(path);
        } else if (entry.input[0] == '@') {
            path = temp.File("recipe.mmap");
            std::ofstream(path) << MakeRecipe(qmx::testing::RecipeParts(entry.input));
        }
        ComPtr<IMmApplication> app;
        CreateInProcessApplication(app.ReleaseAndGetAddressOf());
        ComPtr<IMmDocuments> documents;
        app->get_Documents(VARIANT_TRUE, documents.ReleaseAndGetAddressOf());
        ComPtr<IMmDocument> document;
        ClearErrorInfo();
        const HRESULT hr = documents->Open(FileNameToBstr(path), u"", VARIANT_FALSE, document.ReleaseAndGetAddressOf());
        LONG count = -1;
        documents->get_Count(&count);
        if (entry.outcome == "refused") {
            EXPECT_TRUE(FAILED(hr));
            EXPECT_EQ(count, 0);
            const std::string message = ErrorText();
            EXPECT_NE(message.find(entry.text), std::string::npos) << message;
            continue;
        }
        ASSERT_EQ(entry.outcome, "loads");
        ASSERT_EQ(hr, S_OK) << ErrorText();
        ComPtr<IMmRange> range;
        document->get_Range(2, 0, range.ReleaseAndGetAddressOf());
        LONG topics = 0;
        range->get_Count(&topics);
        ComPtr<IMmTopic> central;
        document->get_CentralTopic(central.ReleaseAndGetAddressOf());
        BSTR text, description;
        central->get_Text(&text);
        ComPtr<IMmDocumentProperties> properties;
        document->get_Properties(properties.ReleaseAndGetAddressOf());
        properties->get_Description(&description);
        std::istringstream expected(entry.text);
        for (std::string item; expected >> item;) {
            const std::size_t equals = item.find('=');
            const std::string key = item.substr(0, equals), value = item.substr(equals + 1);
            if (key == "topics") EXPECT_EQ(std::to_string(topics), value);
            else if (key == "text") EXPECT_EQ(BstrToUtf8(text), value);
            else if (key == "description") EXPECT_EQ(BstrToUtf8(description), value);
            else ADD_FAILURE() << "unknown check " << key;
        }
        // What loads, saves and deletes without trouble, whatever its shape.
        EXPECT_EQ(document->SaveAs(FileNameToBstr(temp.File("again.mmap")), kFormatMap), S_OK) << ErrorText();
        ComPtr<IMmTopic> first;
        ComPtr<IMmTopics> list;
        central->get_SubTopics(VARIANT_FALSE, list.ReleaseAndGetAddressOf());
        if (SUCCEEDED(list->Item(1, first.ReleaseAndGetAddressOf()))) {
            EXPECT_EQ(first->Delete(), S_OK);
        }
    }
}

}  // namespace
}  // namespace qmx::map
