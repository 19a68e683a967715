// Hostile attribute texts: the files of data/hostile with the outcome each
// must give, and huge texts built here. None may crash or hang; a bad entry
// is skipped and the good ones around it still count.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "adapters/mindmanager/map_formats.h"
#include "automation/bstr.h"

namespace qmx::mm {
namespace {

BSTR ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return Utf8ToBstr(bytes.str());
}

BSTR Canonical(const std::string& format, const BSTR& text)
{
    if (format == "links") return FormatLinks(ParseLinks(text));
    if (format == "loads") return FormatLoads(ParseLoads(text));
    if (format == "pool") return FormatPool(ParsePool(text));
    if (format == "names") return FormatResourceNames(ParseResourceNames(text));
    ADD_FAILURE() << "unknown format " << format;
    return {};
}

TEST(HostileAttributes, EachFileGivesItsOutcome)
{
    const std::string folder = QMX_MM_TEST_DATA "/hostile/";
    std::ifstream cases(folder + "cases.txt");
    ASSERT_TRUE(cases) << "cases.txt missing";
    std::string line;
    int replayed = 0;
    while (std::getline(cases, line)) {
        if (line.empty() || line.front() == '#') continue;
        std::istringstream fields(line);
        std::string file, format, expected;
        fields >> file >> format >> expected;
        if (expected == "-") expected.clear();
        std::ifstream probe(folder + file);
        ASSERT_TRUE(probe) << file;
        EXPECT_EQ(BstrToUtf8(Canonical(format, ReadFile(folder + file))), expected) << file;
        ++replayed;
    }
    EXPECT_GE(replayed, 8);
}

TEST(HostileAttributes, HugeTextsReadInOnePass)
{
    // 200,000 entries of each list, every second one broken.
    BSTR links, loads, pool, names;
    for (int i = 0; i < 200000; ++i) {
        const BSTR n = Utf8ToBstr(std::to_string(i));
        links += i % 2 ? u"," + n + u";" : u"{" + n + u"},1;";
        loads += i % 2 ? n + u",-1;" : n + u",50;";
        pool += i % 2 ? n + u";" : n + u",R" + n + u",1;";
        names += u"R" + n + u",";
    }
    EXPECT_EQ(ParseLinks(links).size(), 100000u);
    EXPECT_EQ(ParseLoads(loads).size(), 100000u);
    EXPECT_EQ(ParsePool(pool).size(), 100000u);
    EXPECT_EQ(ParseResourceNames(names).size(), 200000u);
    // One endless entry, and a text of separators only.
    EXPECT_EQ(ParseLinks(BSTR(4'000'000, u'x') + u",1").size(), 1u);
    EXPECT_TRUE(ParsePool(BSTR(4'000'000, u',')).empty());
    EXPECT_TRUE(ParseResourceNames(BSTR(4'000'000, u'\\')).size() <= 1);
}

}  // namespace
}  // namespace qmx::mm
