// Script sections and the ".kvs" file: what a file holds, how it reads back,
// and what a file that is no script does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ScriptSectionList.h"
#include "foundation/DPropertyList.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "testing/TempDir.h"

namespace {

std::vector<std::string> Titles(const CScriptSectionList& list)
{
    std::vector<std::string> titles;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        titles.push_back(list.GetNext(pos)->m_title.str());
    return titles;
}

std::vector<std::string> Names(const CDPropertyList& bag)
{
    std::vector<std::string> names;
    for (POSITION pos = bag.GetHeadPosition(); pos;)
        names.push_back(bag.GetNext(pos)->m_name.str());
    return names;
}

// Archive bytes of one text property after the first (the class is known by then).
std::string Text(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }
std::string Property(const std::string& name, const std::string& value, bool first)
{
    const std::string head = first ? std::string("\xFF\xFF\x01\x00\x0A\x00", 6) + "CDProperty"
                                   : std::string("\x01\x80", 2);
    return head + Text(name) + Text(value);
}

void WriteBag(const TempDir& dir, const char* name, CDPropertyList& bag)
{
    CFile file(dir.File(name).c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    bag.Serialize(ar);
    ar.Close();
    file.Close();
}

}  // namespace

TEST(ScriptFileTest, ReadingABagGivesTheSectionsItHolds)
{
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, const char*>> properties;
        int result;
        std::vector<std::string> titles;
    };
    const Case cases[] = {
        {"count 0", {{"nSectionCount", "0"}}, 1, {}},
        {"negative count", {{"nSectionCount", "-3"}}, 1, {}},
        {"missing title", {{"nSectionCount", "2"}, {"stTitle0", "One"}, {"stScript1", "X"}}, 1,
         {"One", "New Script Section"}},
        {"names compare exactly", {{"nSectionCount", "1"}, {"sttitle0", "lower"}, {"stDetail0", "d"}}, 1,
         {"New Script Section"}},
        {"extra sections ignored", {{"nSectionCount", "1"}, {"stTitle0", "A"}, {"stTitle1", "B"}}, 1, {"A"}},
        {"no count: another bag", {{"WatchName0", "x"}}, 0, {}},
        {"count beyond the bag", {{"nSectionCount", "99999999"}}, 0, {}},
        {"a counted section absent", {{"nSectionCount", "3"}, {"stTitle0", "A"}, {"stTitle2", "C"}}, 0, {}},
    };
    for (const Case& c : cases) {
        CDPropertyList bag;
        for (const auto& [name, value] : c.properties)
            bag.SetString(name, value);
        CScriptSectionList list;
        list.AddCopy(CScriptSection());
        EXPECT_EQ(c.result, list.ReadProperties(bag)) << c.what;
        EXPECT_EQ(c.titles, Titles(list)) << c.what;
    }
}

TEST(ScriptFileTest, LinesAreTrimmedAndEmptyOnesDropped)
{
    CScriptSection section;
    section.m_script = "A\r\n\r\n  B  \n";
    CStringList lines;
    section.GetLines(lines);
    ASSERT_EQ(2, lines.GetCount());
    EXPECT_EQ("A", lines.GetHead());
    EXPECT_EQ("B", lines.GetTail());
    lines.AddTail("C");
    section.SetLines(lines);
    EXPECT_EQ("A\r\nB\r\nC\r\n", section.m_script);
}

TEST(ScriptFileTest, SectionsAreStoredInOrderWithPlainIndices)
{
    CScriptSectionList list;
    for (int i = 0; i < 11; ++i) {
        CScriptSection section;
        section.m_title.Format("S%d", i);
        list.AddCopy(section);
    }
    CDPropertyList bag;
    list.WriteProperties(bag);
    const std::vector<std::string> names = Names(bag);
    ASSERT_EQ(56u, names.size());
    EXPECT_EQ("nSectionCount", names[0]);
    EXPECT_EQ("stLayoutName9", names[50]);
    EXPECT_EQ("stTitle10", names[51]);
    EXPECT_EQ("stLayoutName10", names[55]);
    CString count;
    bag.GetString("nSectionCount", count);
    EXPECT_EQ("11", count);
}

TEST(ScriptFileTest, OneSmallFileByteByByteAndBack)
{
    TempDir dir;
    CScriptSectionList list;
    CScriptSection section;
    section.m_title = "T";
    section.m_script = "OPENGUI(\"x\")\r\n";
    list.AddCopy(section);
    CString error;
    ASSERT_EQ(1, list.SaveFile(dir.File("a.kvs").c_str(), error)) << error.str();
    const std::string expected = std::string("\x06\x00", 2) + Property("nSectionCount", "1", true) +
                                 Property("stTitle0", "T", false) + Property("stDescription0", "", false) +
                                 Property("stDetail0", "", false) +
                                 Property("stScript0", "OPENGUI(\"x\")\r\n", false) +
                                 Property("stLayoutName0", "", false);
    EXPECT_EQ(expected, dir.Read("a.kvs"));

    CScriptSectionList loaded;
    ASSERT_EQ(1, loaded.LoadFile(dir.File("a.kvs").c_str(), error));
    ASSERT_EQ(1, loaded.GetCount());
    EXPECT_EQ("T", loaded.GetHead()->m_title);
    EXPECT_EQ("OPENGUI(\"x\")\r\n", loaded.GetHead()->m_script);
}

TEST(ScriptFileTest, AFileThatIsNoScriptGivesAClearErrorAndNoSections)
{
    TempDir dir;
    CDPropertyList watch;
    watch.SetString("WatchName0", "speed");
    WriteBag(dir, "watch.kvs", watch);
    const std::string huge = std::string("\x01\x00", 2) + Property("nSectionCount", "99999999", true);
    ASSERT_EQ(41u, huge.size());
    dir.Write("huge.kvs", huge);
    dir.Write("zeros.kvs", std::string("\x00\x00", 2));
    dir.Write("text.kvs", "OPENGUI(\"x\")\n");
    CScriptSectionList list;
    CScriptSection one;
    list.AddCopy(one);
    CString error;
    ASSERT_EQ(1, list.SaveFile(dir.File("good.kvs").c_str(), error));
    const std::string good = dir.Read("good.kvs");
    dir.Write("cut.kvs", good.substr(0, good.size() - 5));
    for (const char* name : {"watch.kvs", "huge.kvs", "zeros.kvs", "text.kvs", "cut.kvs"}) {
        CScriptSectionList loaded;
        error.Empty();
        EXPECT_EQ(0, loaded.LoadFile(dir.File(name).c_str(), error)) << name;
        EXPECT_EQ("Could not load script file.", error) << name;
        EXPECT_EQ(0, loaded.GetCount()) << name;
    }
    CScriptSectionList missing;
    EXPECT_EQ(0, missing.LoadFile(dir.File("none.kvs").c_str(), error));
    EXPECT_EQ("Could not open script file.", error);
    EXPECT_EQ(0, list.SaveFile(dir.File("no/such/folder.kvs").c_str(), error));
    EXPECT_EQ("Could not open script file for output.", error);
}
