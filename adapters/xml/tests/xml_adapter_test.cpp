// The XML adapter as the application meets it: registered in the test's own
// registry store and created by ProgID.
#include <dlfcn.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>

#include <cstdlib>
#include <functional>
#include <string>

#include "adapters/contract/gantt_adapter.h"
#include "adapters/contract/hosted_adapter.h"
#include "adapters/xml/document_file.h"
#include "adapters/xml/tests/plan_access.h"
#include "automation/error_info.h"
#include "automation/runtime/activation.h"
#include "automation/runtime/component_exports.h"
#include "automation/runtime/registry_store.h"

namespace qmx::xml {
namespace {

using namespace qmx::xml::testing;
using ::testing::AllOf;
using ::testing::EndsWith;
using ::testing::StartsWith;

std::string LibraryPath() { return std::string(std::getenv("QMX_BUILD_LIB_DIR")) + "/libQMXXmlAdapter.so"; }

HRESULT CallEntryPoint(const char* symbol)
{
    void* library = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        ADD_FAILURE() << dlerror();
        return E_FAIL;
    }
    auto entry = reinterpret_cast<RegisterServerFn>(dlsym(library, symbol));
    const HRESULT hr = entry ? entry() : E_FAIL;
    dlclose(library);
    return hr;
}

std::string ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

void WriteBytes(const QString& path, const std::string& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

BSTR ToBstr(const QString& text) { return text.toStdU16String(); }

QString LockOf(const QString& path)
{
    return QString::fromStdString(CDocumentFile::LockPathFor(path.toStdString()));
}

struct Flags {
    bool opened;
    bool isNew;
    bool modified;
    std::string fileName;
    friend bool operator==(const Flags&, const Flags&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Flags& f)
    {
        return out << "{opened " << f.opened << ", new " << f.isNew << ", modified " << f.modified << ", \""
                   << f.fileName << "\"}";
    }
};

constexpr const char* kPlan =
    "<project name='P'><tasks autocorrect='1'><task id='1' name='One' start='1/3/2026'><notes>n</notes>"
    "<depend id='2'/></task><task id='2' name='Two' start='1/3/2026'/></tasks>"
    "<resources><resource id='1' name='Ann'/></resources>"
    "<allocations><allocation task-id='2' resource-id='1' load='50'/></allocations></project>";

class XmlAdapterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(CallEntryPoint(kRegisterServerSymbol), S_OK); }

    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        document = NewDocument();
        adapter = NewAdapter(document.Get());
        ASSERT_TRUE(adapter);
        ClearErrorInfo();
    }

    void TearDown() override
    {
        if (adapter) {
            adapter->FileClose();
            adapter->Disconnect();
        }
    }

    static ComPtr<IGanttAdapter> NewAdapter(IDocumentData* data)
    {
        ComPtr<IGanttAdapter> created;
        EXPECT_EQ(CreateInstance<IGanttAdapter>("QMXGanttDisplay.XmlAdapter", &created), S_OK);
        if (created) {
            EXPECT_EQ(created->Connect(data), S_OK);
        }
        return created;
    }

    QString Path(const char* name) const { return folder_.filePath(QString::fromUtf8(name)); }

    QString PlanFile(const char* name = "plan.qmxg")
    {
        const QString path = Path(name);
        WriteBytes(path, kPlan);
        return path;
    }

    Flags State(IGanttAdapter* which = nullptr)
    {
        IGanttAdapter* a = which ? which : adapter.Get();
        VARIANT_BOOL opened = 0;
        VARIANT_BOOL isNew = 0;
        VARIANT_BOOL modified = 0;
        BSTR name;
        EXPECT_EQ(a->get_DocIsOpened(&opened), S_OK);
        EXPECT_EQ(a->get_FileIsNew(&isNew), S_OK);
        EXPECT_EQ(a->get_IsModified(&modified), S_OK);
        EXPECT_EQ(a->get_FileName(&name), S_OK);
        return Flags{opened == VARIANT_TRUE, isNew == VARIANT_TRUE, modified == VARIANT_TRUE, BstrToUtf8(name)};
    }

    // The error object's description, checked to come from this adapter.
    static std::string Error()
    {
        auto info = GetErrorInfo();
        if (!info) return "(no error object)";
        EXPECT_EQ(info->iid, IGanttAdapter::iid);
        EXPECT_EQ(BstrToUtf8(info->source), "QMXXmlAdapter");
        return BstrToUtf8(info->description);
    }

    // Files in the folder, lock files and hidden ones aside.
    QStringList Files() const { return QDir(folder_.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir folder_;
    ComPtr<CProjectDocument> document;
    ComPtr<IGanttAdapter> adapter;
};

TEST_F(XmlAdapterTest, RegistersUnderItsProgIdAndInTheAdapterList)
{
    RegistryStore store;
    const std::string clsid = "{F7843670-8FC0-41F9-A99D-A8CE1AD940A0}";
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/QMXGanttDisplay.XmlAdapter.1/CLSID"), clsid);
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/QMXGanttDisplay.XmlAdapter/CurVer"), "QMXGanttDisplay.XmlAdapter.1");
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/CLSID/" + clsid), "QMXXmlAdapter Class");
    EXPECT_EQ(store.GetString("SOFTWARE/Classes/CLSID/" + clsid + "/InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(store.SubKeys(kAdaptersKey), std::vector<std::string>{"QMXGanttDisplay.XmlAdapter"});

    ASSERT_EQ(CallEntryPoint(kUnregisterServerSymbol), S_OK);
    EXPECT_FALSE(store.KeyExists("SOFTWARE/Classes/QMXGanttDisplay.XmlAdapter.1"));
    EXPECT_FALSE(store.KeyExists("SOFTWARE/Classes/CLSID/" + clsid));
    EXPECT_TRUE(store.SubKeys(kAdaptersKey).empty());
    ASSERT_EQ(CallEntryPoint(kRegisterServerSymbol), S_OK);
}

TEST_F(XmlAdapterTest, AnswersItsNameCapabilitiesAndDocumentTypes)
{
    BSTR text;
    ASSERT_EQ(adapter->GetName(&text), S_OK);
    EXPECT_EQ(BstrToUtf8(text), "QMXXmlAdapter");
    ASSERT_EQ(adapter->GetDescription(&text), S_OK);
    EXPECT_EQ(BstrToUtf8(text), "XML document adapter");
    EXPECT_EQ(adapter->GetName(nullptr), E_INVALIDARG);
    EXPECT_EQ(adapter->GetDescription(nullptr), E_INVALIDARG);
    EXPECT_EQ(adapter->GetDocTypes(nullptr), E_INVALIDARG);
    EXPECT_EQ(adapter->get_IsModified(nullptr), E_POINTER);
    EXPECT_EQ(adapter->get_FileName(nullptr), E_POINTER);

    VARIANT_BOOL supports = 0;
    adapter->get_SupportsAutocorrectTaskDates(&supports);
    EXPECT_EQ(supports, VARIANT_TRUE);
    adapter->get_SupportsMatchColors(&supports);
    EXPECT_EQ(supports, VARIANT_FALSE);
    adapter->get_SupportsTaskNotes(&supports);
    EXPECT_EQ(supports, VARIANT_TRUE);
    ComPtr<IHostedAdapter> hosted;
    EXPECT_EQ(adapter.As(&hosted), E_NOINTERFACE);

    ComPtr<IAdapterDocTypes> types;
    ASSERT_EQ(adapter->GetDocTypes(types.ReleaseAndGetAddressOf()), S_OK);
    LONG count = 0;
    ASSERT_EQ(types->get_Count(&count), S_OK);
    ASSERT_EQ(count, 2);
    const char* expected[2][3] = {{"QMXG document", "QMXG document (*.qmxg)", "qmxg"},
                                  {"XML document", "XML document (*.xml)", "xml"}};
    for (LONG i = 0; i < 2; ++i) {
        ASSERT_EQ(types->get_DocTypeNames(i, &text), S_OK);
        EXPECT_EQ(BstrToUtf8(text), expected[i][0]);
        ASSERT_EQ(types->get_FilterNames(i, &text), S_OK);
        EXPECT_EQ(BstrToUtf8(text), expected[i][1]);
        ASSERT_EQ(types->get_Extensions(i, &text), S_OK);
        EXPECT_EQ(BstrToUtf8(text), expected[i][2]);
    }
    for (LONG bad : {-1, 2}) {
        EXPECT_EQ(types->get_DocTypeNames(bad, &text), E_INVALIDARG);
        EXPECT_EQ(types->get_FilterNames(bad, &text), E_INVALIDARG);
        EXPECT_EQ(types->get_Extensions(bad, &text), E_INVALIDARG);
    }
    EXPECT_EQ(types->get_DocTypeNames(0, nullptr), E_INVALIDARG);
    EXPECT_EQ(types->get_Count(nullptr), E_INVALIDARG);
}

TEST_F(XmlAdapterTest, FlagsFollowTheDocumentThroughItsLife)
{
    EXPECT_EQ(State(), (Flags{false, false, false, ""}));

    // A new document does not touch the model.
    ComPtr<ITask> task;
    document->TaskTree()->AddTask(0, -1, u"kept", task.ReleaseAndGetAddressOf());
    ASSERT_EQ(adapter->FileNew(1), S_OK);
    EXPECT_EQ(State(), (Flags{true, true, false, "NewDoc"}));
    EXPECT_EQ(TaskCount(*document), 1);

    // Every change notification marks the document modified; a view change
    // or a refresh does not.
    const std::function<HRESULT(IGanttAdapter*)> notifications[] = {
        [](IGanttAdapter* a) { return a->FilePropertiesUpdate(); },
        [](IGanttAdapter* a) { return a->TaskNew(99); },
        [](IGanttAdapter* a) { return a->TaskDelete(99); },
        [](IGanttAdapter* a) { return a->TaskMove(1); },
        [](IGanttAdapter* a) { return a->TaskUpdate(1); },
        [](IGanttAdapter* a) { return a->TaskDependencyLink(1, 2, dtStartToStart); },
        [](IGanttAdapter* a) { return a->TaskDependencyUnlink(1, 2); },
        [](IGanttAdapter* a) { return a->TaskDependencyUpdate(1, 2); },
        [](IGanttAdapter* a) { return a->TaskResourceNew(1, 7); },
        [](IGanttAdapter* a) { return a->TaskResourceDelete(1, 7); },
        [](IGanttAdapter* a) { return a->TaskResourceUpdate(1, 7); },
        [](IGanttAdapter* a) { return a->ResourceNew(7); },
        [](IGanttAdapter* a) { return a->ResourceDelete(7); },
        [](IGanttAdapter* a) { return a->ResourceUpdate(7); },
    };
    for (const auto& notify : notifications) {
        ASSERT_EQ(adapter->FileNew(0), S_OK);
        EXPECT_EQ(adapter->DocumentViewUpdate(), S_OK);
        EXPECT_EQ(adapter->Refresh(), S_OK);
        EXPECT_FALSE(State().modified);
        EXPECT_EQ(notify(adapter.Get()), S_OK);
        EXPECT_TRUE(State().modified);
        EXPECT_EQ(adapter->DocumentViewUpdate(), S_OK);
        EXPECT_TRUE(State().modified);
    }

    const QString path = Path("new.qmxg");
    ASSERT_EQ(adapter->FileSaveAs(ToBstr(path)), S_OK) << Error();
    EXPECT_EQ(State(), (Flags{true, false, false, path.toStdString()}));
    EXPECT_EQ(adapter->TaskUpdate(1), S_OK);
    EXPECT_TRUE(State().modified);
    ASSERT_EQ(adapter->FileSave(), S_OK) << Error();
    EXPECT_FALSE(State().modified);

    ASSERT_EQ(adapter->FileClose(), S_OK);
    EXPECT_EQ(State(), (Flags{false, false, false, ""}));
    EXPECT_EQ(TaskCount(*document), 0) << "closing empties the model";
    EXPECT_EQ(document->DeleteContentsCalls(), 1);
}

TEST_F(XmlAdapterTest, OpensAFileIntoTheModel)
{
    const QString path = PlanFile();
    ASSERT_EQ(adapter->TaskUpdate(1), S_OK);  // a stale mark from before is cleared
    ASSERT_EQ(adapter->FileOpen(0, ToBstr(path)), S_OK) << Error();
    EXPECT_EQ(State(), (Flags{true, false, false, path.toStdString()}));
    EXPECT_EQ(document->AdjustTimeRangeCalls(), 1);
    EXPECT_EQ(DocumentName(*document), "P");
    EXPECT_EQ(TaskCount(*document), 2);
    EXPECT_EQ(Successors(*document, 1).size(), 1u);
    EXPECT_EQ(Assignments(*document, 2), (std::vector<std::pair<LONG, LONG>>{{1, 50}}));
}

TEST_F(XmlAdapterTest, AFileThatFailsToLoadLeavesAnEmptyModel)
{
    const QString bad = Path("bad.xml");
    WriteBytes(bad, "<project>\n<tasks><task name='no id'/></tasks></project>");
    ASSERT_EQ(adapter->FileNew(0), S_OK);
    ASSERT_EQ(adapter->TaskNew(1), S_OK);
    ComPtr<ITask> task;
    document->TaskTree()->AddTask(0, -1, u"before", task.ReleaseAndGetAddressOf());

    EXPECT_EQ(adapter->FileOpen(1, ToBstr(bad)), E_FAIL);
    EXPECT_EQ(Error(), "Failed to load document.\nMissing task ID\n(Line 2, Col. 26)");
    EXPECT_EQ(TaskCount(*document), 0);
    EXPECT_EQ(State(), (Flags{true, true, false, "NewDoc"})) << "only the modified mark changes";

    // The failed file is not held: another instance may open it.
    auto otherDocument = NewDocument();
    auto other = NewAdapter(otherDocument.Get());
    WriteBytes(bad, kPlan);
    EXPECT_EQ(other->FileOpen(0, ToBstr(bad)), S_OK) << Error();
    other->FileClose();
}

TEST_F(XmlAdapterTest, FilesThatCannotBeOpenedForWritingAreRefusedWithTheReason)
{
    const QString readOnly = PlanFile("read-only.qmxg");
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    QDir(folder_.path()).mkdir("folder.qmxg");
    const QString fifo = Path("fifo.qmxg");
    ASSERT_EQ(mkfifo(fifo.toUtf8().constData(), 0666), 0);
    const QString plan = PlanFile();
    // Nothing here may block: a FIFO without a writer would hang an open.
    alarm(20);
    // Each name, and the reason the message gives on its second line.
    const auto because = [](const QString& path, const char* reason) { return path.toStdString() + reason; };
    const std::pair<QString, std::string> rows[] = {
        {Path("missing.qmxg"), because(Path("missing.qmxg"), ": No such file or directory")},
        {readOnly, because(readOnly, ": the file is read-only")},
        {Path("folder.qmxg"), because(Path("folder.qmxg"), ": Is a directory")},
        {fifo, because(fifo, ": not a regular file")},
        {"/dev/null", "/dev/null: not a regular file"},
        {Path("no-such-folder/plan.qmxg"), because(Path("no-such-folder"), ": No such file or directory")},
        {QString(), "No file name given"},
    };
    ASSERT_EQ(adapter->FileNew(0), S_OK);
    for (const auto& [path, reason] : rows) {
        SCOPED_TRACE(path.toStdString());
        const std::string expected = "Failed to open specified file.\n" + reason;
        ASSERT_EQ(adapter->TaskNew(1), S_OK);
        EXPECT_EQ(adapter->FileOpen(0, ToBstr(path)), E_FAIL);
        EXPECT_EQ(Error(), expected);
        EXPECT_EQ(State(), (Flags{true, true, false, "NewDoc"}));
        EXPECT_EQ(document->DeleteContentsCalls(), 0) << "nothing was read";
        if (path == Path("missing.qmxg")) continue;  // a new file: fine to save
        EXPECT_EQ(adapter->FileSaveAs(ToBstr(path)), E_FAIL);
        EXPECT_EQ(Error(), expected);
        EXPECT_EQ(State().fileName, "NewDoc");
    }
    alarm(0);
    EXPECT_EQ(ReadBytes(readOnly), kPlan);
    EXPECT_TRUE(QFileInfo(fifo).exists());
    // A name with U+0000 in it would open the file named by its start.
    const BSTR cut = ToBstr(plan) + u'\0' + u"more";
    EXPECT_EQ(adapter->FileOpen(0, cut), E_FAIL);
    EXPECT_EQ(Error(), "Failed to open specified file.\nThe name holds characters that no file name can hold.");
    EXPECT_EQ(adapter->FileSaveAs(cut), E_FAIL);
    EXPECT_EQ(ReadBytes(plan), kPlan);
}

TEST_F(XmlAdapterTest, AFifoSwappedInAfterTheChecksIsNeverWaitedFor)
{
    const QString path = PlanFile();
    std::string why;
    auto file = CDocumentFile::OpenExisting(path.toStdString(), &why);
    ASSERT_TRUE(file) << why;
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(mkfifo(path.toUtf8().constData(), 0666), 0);
    alarm(20);
    bool consumed = false;
    EXPECT_EQ(file->Read([&consumed](const ReadFunction&) { return consumed = true, S_OK; }, &why), E_FAIL);
    EXPECT_FALSE(consumed);
    EXPECT_EQ(why, path.toStdString() + ": not a regular file");
    // Nor is a save written into it.
    EXPECT_EQ(file->Replace([](const WriteFunction& write) { return write("x", 1) ? S_OK : E_FAIL; }, &why),
              CDocumentFile::WriteResult::Failed);
    EXPECT_EQ(why, path.toStdString() + ": not a regular file");
    alarm(0);
}

TEST_F(XmlAdapterTest, AnOpenDocumentIsLockedAgainstOtherInstances)
{
    const QString path = PlanFile();
    ASSERT_EQ(adapter->FileOpen(0, ToBstr(path)), S_OK) << Error();
    EXPECT_TRUE(QFile::exists(LockOf(path)));
    // Programs built on QLockFile read the lock as theirs and keep off.
    QLockFile qtLock(LockOf(path));
    qtLock.setStaleLockTime(0);
    EXPECT_FALSE(qtLock.tryLock(0));
    qint64 pid = 0;
    QString host;
    QString program;
    ASSERT_TRUE(qtLock.getLockInfo(&pid, &host, &program));
    EXPECT_EQ(pid, getpid());
    EXPECT_EQ(host, QSysInfo::machineHostName());
    EXPECT_EQ(program, "xml_adapter_test");

    auto otherDocument = NewDocument();
    auto other = NewAdapter(otherDocument.Get());
    ASSERT_EQ(other->FileNew(0), S_OK);
    // The message names the holder and the lock file.
    const std::string held = "Failed to open specified file.\nThe file is in use by xml_adapter_test (process " +
                             std::to_string(getpid()) + " on host " + QSysInfo::machineHostName().toStdString() +
                             ") since ";
    const std::string lockLine = ".\nLock file: " + LockOf(path).toStdString();
    EXPECT_EQ(other->FileOpen(0, ToBstr(path)), E_FAIL);
    EXPECT_THAT(Error(), AllOf(StartsWith(held), EndsWith(lockLine)));
    EXPECT_EQ(other->FileSaveAs(ToBstr(path)), E_FAIL);
    EXPECT_THAT(Error(), AllOf(StartsWith(held), EndsWith(lockLine)));
    EXPECT_EQ(other->FileExport(0, ToBstr(path)), E_FAIL);
    EXPECT_THAT(Error(), AllOf(StartsWith(held), EndsWith(lockLine)));
    EXPECT_EQ(ReadBytes(path), kPlan) << "nothing was written";
    EXPECT_EQ(State(other.Get()), (Flags{true, true, false, "NewDoc"}));

    // Saving under another name moves the lock there.
    const QString moved = Path("moved.qmxg");
    ASSERT_EQ(adapter->FileSaveAs(ToBstr(moved)), S_OK) << Error();
    EXPECT_FALSE(QFile::exists(LockOf(path)));
    EXPECT_EQ(other->FileOpen(0, ToBstr(moved)), E_FAIL);
    ASSERT_EQ(other->FileOpen(0, ToBstr(path)), S_OK) << Error();
    EXPECT_EQ(TaskCount(*otherDocument), 2);
    other->FileClose();

    ASSERT_EQ(adapter->FileClose(), S_OK);
    EXPECT_FALSE(QFile::exists(LockOf(moved)));
    EXPECT_EQ(other->FileOpen(0, ToBstr(moved)), S_OK) << Error();
    other->FileClose();
}

TEST_F(XmlAdapterTest, ALockLeftByAnEndedProcessIsTakenOver)
{
    const QString path = PlanFile();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(LockOf(path));
        _exit(lock.tryLock(0) ? 0 : 1);  // ends holding the lock
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(LockOf(path)));
    EXPECT_EQ(adapter->FileOpen(0, ToBstr(path)), S_OK) << Error();
}

TEST_F(XmlAdapterTest, SavingUnderItsOwnNameAndExporting)
{
    const QString path = PlanFile();
    ASSERT_EQ(adapter->FileOpen(0, ToBstr(path)), S_OK) << Error();
    ComPtr<ITask> task;
    document->TaskTree()->AddTask(0, -1, u"Three", task.ReleaseAndGetAddressOf());
    ASSERT_EQ(adapter->TaskNew(3), S_OK);

    const QString copy = Path("copy.xml");
    ASSERT_EQ(adapter->FileExport(1, ToBstr(copy)), S_OK) << Error();
    EXPECT_EQ(State(), (Flags{true, false, true, path.toStdString()})) << "an export changes nothing";
    EXPECT_FALSE(QFile::exists(LockOf(copy)));
    auto reader = NewDocument();
    auto other = NewAdapter(reader.Get());
    ASSERT_EQ(other->FileOpen(0, ToBstr(copy)), S_OK) << Error();
    EXPECT_EQ(TaskCount(*reader), 3);
    other->FileClose();

    ASSERT_EQ(adapter->FileExport(0, ToBstr(path)), S_OK) << Error();
    EXPECT_TRUE(State().modified);
    ASSERT_EQ(adapter->FileSaveAs(ToBstr(path)), S_OK) << Error();
    EXPECT_EQ(State(), (Flags{true, false, false, path.toStdString()}));
    EXPECT_EQ(Utf16FileToUtf8(ReadBytes(path)).rfind("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<project", 0), 0u);
    EXPECT_EQ(Files(), (QStringList{"copy.xml", "plan.qmxg"}));
}

TEST_F(XmlAdapterTest, ANewDocumentIsNotSavedWithoutAName)
{
    ASSERT_EQ(adapter->FileNew(0), S_OK);
    ASSERT_EQ(adapter->TaskNew(1), S_OK);
    EXPECT_EQ(adapter->FileSave(), E_FAIL);
    EXPECT_EQ(Error(), "Failed to save document.");
    EXPECT_EQ(State(), (Flags{true, true, true, "NewDoc"}));
    EXPECT_TRUE(Files().isEmpty());

    // Nor into the file of a document opened before it.
    const QString path = PlanFile();
    ASSERT_EQ(adapter->FileOpen(0, ToBstr(path)), S_OK) << Error();
    ASSERT_EQ(adapter->FileNew(0), S_OK);
    ASSERT_EQ(adapter->TaskNew(3), S_OK);
    EXPECT_EQ(adapter->FileSave(), E_FAIL);
    EXPECT_EQ(Error(), "Failed to save document.");
    EXPECT_EQ(State(), (Flags{true, true, true, "NewDoc"}));
    EXPECT_EQ(ReadBytes(path), kPlan);
}

// A document whose resource pool can be made unreachable, as a model call
// that fails while the project is written.
class CFailingDocument final : public ComObject<IDocumentData> {
public:
    explicit CFailingDocument(ComPtr<CProjectDocument> inner) : inner_(std::move(inner)) {}

    HRESULT get_TaskTree(ITaskTree** pp) override { return inner_->get_TaskTree(pp); }
    HRESULT get_Resources(IResources** pp) override { return failResources ? E_UNEXPECTED : inner_->get_Resources(pp); }
    HRESULT get_Properties(IDocumentProperties** pp) override { return inner_->get_Properties(pp); }
    HRESULT get_IsModified(VARIANT_BOOL* p) override { return inner_->get_IsModified(p); }
    HRESULT DeleteContents() override { return inner_->DeleteContents(); }
    HRESULT AdjustTimeRange() override { return inner_->AdjustTimeRange(); }
    HRESULT ResetTimeRange() override { return inner_->ResetTimeRange(); }
    HRESULT get_CurrentViewSettings(BSTR* p) override { return inner_->get_CurrentViewSettings(p); }
    HRESULT put_CurrentViewSettings(const BSTR& s) override { return inner_->put_CurrentViewSettings(s); }
    HRESULT ExpandTask(ITask* t, VARIANT_BOOL e) override { return inner_->ExpandTask(t, e); }

    bool failResources = false;

private:
    ComPtr<CProjectDocument> inner_;
};

TEST_F(XmlAdapterTest, AFailingModelCallWhileWritingIsTheResult)
{
    auto failing = MakeObject<CFailingDocument>(document);
    ASSERT_EQ(adapter->Connect(failing.Get()), S_OK);
    const QString path = PlanFile();
    ASSERT_EQ(adapter->FileOpen(0, ToBstr(path)), S_OK) << Error();
    ASSERT_EQ(adapter->TaskUpdate(1), S_OK);

    failing->failResources = true;
    EXPECT_EQ(adapter->FileSave(), E_UNEXPECTED);
    EXPECT_EQ(Error(), "Failed to save document.");
    EXPECT_EQ(adapter->FileSaveAs(ToBstr(Path("other.qmxg"))), E_UNEXPECTED);
    EXPECT_EQ(Error(), "Failed to save document.");
    EXPECT_EQ(adapter->FileExport(1, ToBstr(Path("copy.xml"))), E_UNEXPECTED);
    EXPECT_EQ(Error(), "Failed to save document.");
    EXPECT_EQ(State(), (Flags{true, false, true, path.toStdString()}));
    EXPECT_EQ(ReadBytes(path), kPlan);
    EXPECT_EQ(Files(), QStringList{"plan.qmxg"});

    ASSERT_EQ(adapter->FileClose(), S_OK);
    ASSERT_EQ(adapter->Connect(document.Get()), S_OK);
}

// Files may grow to this size while the limit is set; writes beyond fail
// with EFBIG (the limit holds for a privileged user too).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

TEST_F(XmlAdapterTest, AFailingWriteNeverDestroysThePreviousContent)
{
    const QString path = PlanFile();
    ASSERT_EQ(adapter->FileOpen(0, ToBstr(path)), S_OK) << Error();
    for (int i = 0; i < 200; ++i) {
        ComPtr<ITask> task;
        document->TaskTree()->AddTask(0, -1, u"a task that makes the file grow", task.ReleaseAndGetAddressOf());
    }
    ASSERT_EQ(adapter->TaskNew(3), S_OK);
    const QString other = Path("other.qmxg");
    {
        FileSizeLimit limit(4096);
        EXPECT_EQ(adapter->FileSave(), E_FAIL);
        EXPECT_EQ(Error(), "Failed to save document.\n" + path.toStdString() + ": File too large");
        EXPECT_EQ(adapter->FileSaveAs(ToBstr(other)), E_FAIL);
        EXPECT_EQ(Error(), "Failed to save document.\n" + other.toStdString() + ": File too large");
        EXPECT_EQ(adapter->FileExport(0, ToBstr(other)), E_FAIL);
        EXPECT_EQ(Error(), "Failed to save document.\n" + other.toStdString() + ": File too large");
    }
    EXPECT_EQ(ReadBytes(path), kPlan);
    EXPECT_EQ(Files(), QStringList{"plan.qmxg"}) << "no partial target, no temporary file";
    EXPECT_EQ(State(), (Flags{true, false, true, path.toStdString()}));
    EXPECT_FALSE(QFile::exists(LockOf(other)));

    ASSERT_EQ(adapter->FileSave(), S_OK) << Error();
    EXPECT_FALSE(State().modified);
    auto reader = NewDocument();
    auto second = NewAdapter(reader.Get());
    ASSERT_EQ(adapter->FileClose(), S_OK);
    ASSERT_EQ(second->FileOpen(0, ToBstr(path)), S_OK) << Error();
    EXPECT_EQ(TaskCount(*reader), 202);
    second->FileClose();
}

}  // namespace
}  // namespace qmx::xml
