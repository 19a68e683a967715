// Document files on disk: the lock beside an open document (replaying the
// lock files of tests/data/locks) and saving that keeps a shared file what
// it was: owner, group, mode, extended attributes, hard links.
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "adapters/xml/document_file.h"
#include "automation/files/lock_file.h"

namespace qmx::xml {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string FirstLine(const char* path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// A process number that has ended: a child that exits at once, reaped.
pid_t EndedProcess()
{
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

struct stat Stat(const std::string& path)
{
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info;
}

HRESULT Produce(const WriteFunction& write, const std::string& content)
{
    return write(content.data(), content.size()) ? S_OK : E_FAIL;
}

// Lets files grow to a given size (EFBIG beyond, also for root) until it
// goes out of scope.
class FileSizeLimit {
public:
    FileSizeLimit()
    {
        signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    void Set(rlim_t bytes) const
    {
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }

private:
    rlimit saved_{};
};

class DocumentFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/qmx-document-file-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        folder_ = pattern;
        chmod(folder_.c_str(), 0777);  // users other than the test's own work here too
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }

    std::string Document(const std::string& name = "plan.qmxg", const std::string& content = "old content")
    {
        const std::string path = Path(name);
        WriteAll(path, content);
        return path;
    }

    // Saves through a document file as the adapter does; the failure text
    // for the test's message on failure.
    std::string Save(const std::string& path, const std::string& content)
    {
        std::string why;
        auto file = CDocumentFile::Create(path, &why);
        if (!file) return "cannot open: " + why;
        const auto result = file->Replace([&](const WriteFunction& write) { return Produce(write, content); }, &why);
        return result == CDocumentFile::WriteResult::Written ? std::string() : "cannot write: " + why;
    }

    // Runs `body` in a child process as the given user and groups; its exit
    // code (0 when body answered true).
    static int AsUser(uid_t uid, gid_t gid, const std::vector<gid_t>& groups, const std::function<bool()>& body)
    {
        const pid_t child = fork();
        if (child == 0) {
            if (setgroups(groups.size(), groups.data()) != 0 || setgid(gid) != 0 || setuid(uid) != 0) _exit(3);
            _exit(body() ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 4;
    }

    std::string folder_;
};

TEST_F(DocumentFileTest, NamesThatCanOnlyBeFoldersAreRefused)
{
    const std::string plan = Document();
    const std::pair<std::string, std::string> rows[] = {
        {plan + "/", plan + "/: Not a directory"},
        {Path("new.qmxg/"), Path("new.qmxg/") + ": not a file name"},
        {Path("."), ""},
        {folder_ + "/..", ""},
    };
    for (const auto& [path, reason] : rows) {
        SCOPED_TRACE(path);
        std::string why;
        EXPECT_FALSE(CDocumentFile::OpenExisting(path, &why));
        if (!reason.empty()) {
            EXPECT_EQ(why, reason);
        }
        EXPECT_FALSE(CDocumentFile::Create(path, &why));
        if (!reason.empty()) {
            EXPECT_EQ(why, reason);
        }
    }
    EXPECT_EQ(ReadAll(plan), "old content");
}

TEST_F(DocumentFileTest, LockFilesFoundBesideADocumentGiveTheirOutcome)
{
    char host[HOST_NAME_MAX + 1] = {};
    gethostname(host, sizeof host - 1);
    const std::string self = fs::read_symlink("/proc/self/exe").filename().string();
    std::string machine = FirstLine("/etc/machine-id");
    if (machine.empty()) machine = FirstLine("/var/lib/dbus/machine-id");
    const std::pair<std::string, std::string> placeholders[] = {
        {"@HOST@", host},
        {"@MACHINE@", machine},
        {"@BOOT@", FirstLine("/proc/sys/kernel/random/boot_id")},
        {"@PID_LIVE@", std::to_string(getpid())},
        {"@PROGRAM_LIVE@", self},
        {"@PID_DEAD@", std::to_string(EndedProcess())},
    };
    const auto fill = [&](std::string text) {
        for (const auto& [from, to] : placeholders) text = Replace(text, from, to);
        return text;
    };

    const std::string data = std::string(QMX_XML_TEST_DATA) + "/locks/";
    std::ifstream outcomes(data + "outcomes.txt");
    std::string line;
    int cases = 0;
    while (std::getline(outcomes, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name;
        std::string outcome;
        fields >> name >> outcome;
        std::string holder;
        std::getline(fields >> std::ws, holder);
        SCOPED_TRACE(name);
        ++cases;

        const std::string document = Document();
        const std::string lock = CDocumentFile::LockPathFor(document);
        WriteAll(lock, fill(ReadAll(data + name)));
        const timespec anHourAgo[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, lock.c_str(), anHourAgo, 0), 0);

        std::string why;
        auto file = CDocumentFile::OpenExisting(document, &why);
        if (outcome == "taken-over") {
            EXPECT_TRUE(file) << why;
            EXPECT_EQ(ReadAll(lock).rfind(std::to_string(getpid()) + "\n" + self + "\n", 0), 0u) << "now ours";
        } else {
            ASSERT_EQ(outcome, "held");
            EXPECT_FALSE(file);
            char since[32];
            std::tm local{};
            const std::time_t when = anHourAgo[1].tv_sec;
            std::strftime(since, sizeof since, "%Y-%m-%d %H:%M:%S", localtime_r(&when, &local));
            EXPECT_EQ(why, "The file is in use by " + fill(holder) + " since " + since + ".\nLock file: " + lock);
            EXPECT_EQ(ReadAll(lock), fill(ReadAll(data + name))) << "left alone";
        }
        file.reset();
        fs::remove(lock);
    }
    EXPECT_EQ(cases, 15);
}

TEST_F(DocumentFileTest, ALockBeingWrittenJustNowIsNotTakenOver)
{
    const std::string document = Document();
    WriteAll(CDocumentFile::LockPathFor(document), "");
    std::string why;
    EXPECT_FALSE(CDocumentFile::OpenExisting(document, &why));
    EXPECT_EQ(why.rfind("The file is in use by another program since ", 0), 0u) << why;
}

TEST_F(DocumentFileTest, TheLockFileHasTheDocumentsPermissionBits)
{
    for (const mode_t mode : {0600, 0640, 0660, 0644}) {
        SCOPED_TRACE(mode);
        const std::string document = Document();
        chmod(document.c_str(), mode);
        std::string why;
        auto file = CDocumentFile::OpenExisting(document, &why);
        ASSERT_TRUE(file) << why;
        EXPECT_EQ(Stat(CDocumentFile::LockPathFor(document)).st_mode & 07777, mode);
    }
    const mode_t mask = umask(027);
    std::string why;
    auto created = CDocumentFile::Create(Path("new.qmxg"), &why);
    umask(mask);
    ASSERT_TRUE(created) << why;
    EXPECT_EQ(Stat(CDocumentFile::LockPathFor(Path("new.qmxg"))).st_mode & 07777, 0640u);
}

TEST_F(DocumentFileTest, ASaveKeepsOwnerGroupAndMode)
{
    if (geteuid() != 0) GTEST_SKIP() << "giving files to other users needs root";
    struct Row {
        uid_t uid;
        gid_t gid;
        mode_t mode;
    };
    const Row rows[] = {{0, 0, 0644}, {4321, 4321, 0640}, {4321, 5678, 0660}, {1234, 0, 0600}, {4321, 5678, 02664}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.uid) + ":" + std::to_string(row.gid) + " " + std::to_string(row.mode));
        const std::string path = Document();
        ASSERT_EQ(chown(path.c_str(), row.uid, row.gid), 0);
        ASSERT_EQ(chmod(path.c_str(), row.mode), 0);
        ASSERT_EQ(Save(path, "new content"), "");
        const struct stat after = Stat(path);
        EXPECT_EQ(after.st_uid, row.uid);
        EXPECT_EQ(after.st_gid, row.gid);
        EXPECT_EQ(after.st_mode & 07777, row.mode);
        EXPECT_EQ(ReadAll(path), "new content");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1) << "no file left over";
}

TEST_F(DocumentFileTest, AGroupMemberSavesASharedFileInPlaceAndItStaysShared)
{
    if (geteuid() != 0) GTEST_SKIP() << "switching users needs root";
    // Ann (4321) made the plan for the group 5678; Bob (4322), a member of
    // the group, saves it: he may not give a new file to Ann.
    const std::string path = Document();
    ASSERT_EQ(chown(path.c_str(), 4321, 5678), 0);
    ASSERT_EQ(chmod(path.c_str(), 0660), 0);
    const ino_t inode = Stat(path).st_ino;
    const int saved = AsUser(4322, 4322, {5678}, [&] { return Save(path, "Bob's content").empty(); });
    EXPECT_EQ(saved, 0);
    const struct stat after = Stat(path);
    EXPECT_EQ(after.st_uid, 4321u);
    EXPECT_EQ(after.st_gid, 5678u);
    EXPECT_EQ(after.st_mode & 07777, 0660u);
    EXPECT_EQ(after.st_ino, inode) << "written in place";
    EXPECT_EQ(ReadAll(path), "Bob's content");
    // And Ann can open it again.
    EXPECT_EQ(AsUser(4321, 5678, {}, [&] {
                  std::string why;
                  return CDocumentFile::OpenExisting(path, &why) != nullptr;
              }),
              0);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1) << "no backup left";
}

TEST_F(DocumentFileTest, AFileWithSeveralLinksIsWrittenInPlace)
{
    const std::string path = Document();
    const std::string other = Path("other-name.qmxg");
    ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
    ASSERT_EQ(Save(path, "new content, longer than the old one"), "");
    EXPECT_EQ(ReadAll(other), "new content, longer than the old one");
    ASSERT_EQ(Save(path, "short"), "");
    EXPECT_EQ(ReadAll(other), "short") << "cut to the new length";
    EXPECT_EQ(Stat(path).st_nlink, 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2) << "no backup left";
}

TEST_F(DocumentFileTest, AFailingWriteLeavesALinkedFileAsItWas)
{
    // Files may not grow past a limit (EFBIG): while the new content is
    // written (so it is never complete and the document is not touched), or
    // only once it is complete: then the write in place fails half way and
    // the old content comes back from the backup.
    struct Row {
        const char* when;
        rlim_t whileProducing;
        rlim_t afterwards;
    };
    const Row rows[] = {{"while producing", 4096, RLIM_INFINITY}, {"in place", RLIM_INFINITY, 2000}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.when);
        const std::string path = Document("plan.qmxg", std::string(1000, 'o'));
        fs::remove(Path("other-name.qmxg"));
        ASSERT_EQ(link(path.c_str(), Path("other-name.qmxg").c_str()), 0);
        std::string why;
        auto file = CDocumentFile::OpenExisting(path, &why);
        ASSERT_TRUE(file) << why;
        CDocumentFile::WriteResult result;
        {
            FileSizeLimit limit;
            if (row.whileProducing != RLIM_INFINITY) limit.Set(row.whileProducing);
            result = file->Replace(
                [&](const WriteFunction& write) {
                    const HRESULT hr = Produce(write, std::string(6000, 'n'));
                    if (row.afterwards != RLIM_INFINITY) limit.Set(row.afterwards);
                    return hr;
                },
                &why);
        }
        EXPECT_EQ(result, CDocumentFile::WriteResult::Failed);
        EXPECT_EQ(why, path + ": File too large");
        EXPECT_EQ(ReadAll(path), std::string(1000, 'o'));
        EXPECT_EQ(Stat(path).st_nlink, 2u);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 3)
            << "plan, link, lock: no temporary file, no backup";
    }
}

TEST_F(DocumentFileTest, ASaveKeepsExtendedAttributesAndAcls)
{
    const std::string path = Document();
    const char value[] = "kept";
    if (setxattr(path.c_str(), "user.qmx.note", value, sizeof value, 0) != 0)
        GTEST_SKIP() << "the file system refuses user attributes: " << std::strerror(errno);
    // An access ACL granting user 4321 read and write: version 2, then
    // entries of tag, permissions and id (user, named user, group, mask,
    // other).
    const std::uint32_t acl[] = {2,       0x00060001, 0xFFFFFFFF, 0x00060002, 4321, 0x00040004,
                                 0xFFFFFFFF, 0x00060010, 0xFFFFFFFF, 0x00040020, 0xFFFFFFFF};
    const bool withAcl = setxattr(path.c_str(), "system.posix_acl_access", acl, sizeof acl, 0) == 0;
    ASSERT_EQ(Save(path, "new content"), "");
    char got[16] = {};
    EXPECT_EQ(getxattr(path.c_str(), "user.qmx.note", got, sizeof got), static_cast<ssize_t>(sizeof value));
    EXPECT_STREQ(got, "kept");
    if (withAcl) {
        std::uint32_t back[16] = {};
        EXPECT_EQ(getxattr(path.c_str(), "system.posix_acl_access", back, sizeof back), static_cast<ssize_t>(sizeof acl));
        EXPECT_EQ(std::memcmp(back, acl, sizeof acl), 0);
    }
    EXPECT_EQ(ReadAll(path), "new content");
}

}  // namespace
}  // namespace qmx::xml
