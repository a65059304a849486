#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/core/Archive.h"
#include "platform/core/Collections.h"
#include "testing/TempDir.h"

namespace {

class CTestPoint : public CObject {
    DECLARE_SERIAL(CTestPoint)
public:
    CTestPoint() = default;
    CTestPoint(WORD x, WORD y) : m_x(x), m_y(y) {}
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_x << m_y;
        else
            ar >> m_x >> m_y;
    }
    WORD m_x = 0;
    WORD m_y = 0;
};
IMPLEMENT_SERIAL(CTestPoint, CObject, 1)

// Owns two objects read through the archive, to show nothing leaks when the
// second read fails.
class CTestPair : public CObject {
    DECLARE_SERIAL(CTestPair)
public:
    ~CTestPair() override
    {
        delete m_first;
        delete m_second;
    }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_first << m_second;
        } else {
            m_first = ar.ReadObject(nullptr);
            m_second = ar.ReadObject(nullptr);
        }
    }
    CObject* m_first = nullptr;
    CObject* m_second = nullptr;
};
IMPLEMENT_SERIAL(CTestPair, CObject, 1)

class CTestVersioned : public CObject {
    DECLARE_SERIAL(CTestVersioned)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsLoading())
            m_schemaSeen = ar.GetObjectSchema();
    }
    UINT m_schemaSeen = 0;
};
IMPLEMENT_SERIAL(CTestVersioned, CObject, VERSIONABLE_SCHEMA | 2)

class CNotRegistered : public CObject {
    DECLARE_DYNAMIC(CNotRegistered)
};
IMPLEMENT_DYNAMIC(CNotRegistered, CObject)

std::string Store(const TempDir& dir, const std::function<void(CArchive&)>& write)
{
    CFile file(dir.File("a.bin").c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    write(ar);
    ar.Close();
    file.Close();
    return dir.Read("a.bin");
}

std::string PointClassRecord()
{
    return std::string("\xFF\xFF\x01\x00\x0A\x00", 6) + "CTestPoint";
}

}  // namespace

TEST(ArchiveObjectTest, WritesClassOnceThenClassAndObjectIndexTags)
{
    TempDir dir;
    CTestPoint first(1, 2);
    CTestPoint second(3, 4);
    const std::string bytes = Store(dir, [&](CArchive& ar) {
        ar << &first << &second << &first << static_cast<CObject*>(nullptr);
    });
    // Index 1 is the class, 2 the first point, 3 the second.
    const std::string expected = PointClassRecord() + std::string("\x01\x00\x02\x00", 4) +
                                 std::string("\x01\x80\x03\x00\x04\x00", 6) + std::string("\x02\x00", 2) +
                                 std::string("\x00\x00", 2);
    EXPECT_EQ(bytes, expected);
}

TEST(ArchiveObjectTest, ReadsBackObjectsSharedReferencesAndNull)
{
    TempDir dir;
    CTestPoint first(1, 2);
    CTestPoint second(3, 4);
    const std::string stored = Store(dir, [&](CArchive& ar) {
        ar << &first << &second << &first << static_cast<CObject*>(nullptr);
    });
    CFile file(dir.File("a.bin").c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    CTestPoint* a = nullptr;
    CTestPoint* b = nullptr;
    CTestPoint* again = nullptr;
    CObject* none = reinterpret_cast<CObject*>(1);
    ar >> a >> b >> again >> none;
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->m_x, 1);
    EXPECT_EQ(b->m_y, 4);
    EXPECT_EQ(again, a);
    EXPECT_EQ(none, nullptr);
    delete a;
    delete b;

    // Written again, the objects give the same bytes.
    CTestPoint c(1, 2);
    CTestPoint d(3, 4);
    EXPECT_EQ(Store(dir, [&](CArchive& out) { out << &c << &d << &c << static_cast<CObject*>(nullptr); }), stored);
}

TEST(ArchiveObjectTest, VersionableClassAcceptsOtherSchemasAndReportsThem)
{
    TempDir dir;
    dir.Write("v.bin", std::string("\xFF\xFF\x07\x00\x0E\x00", 6) + "CTestVersioned");
    CFile file(dir.File("v.bin").c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    CObject* object = ar.ReadObject(nullptr);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(static_cast<CTestVersioned*>(object)->m_schemaSeen, 7u);
    delete object;
}

TEST(ArchiveObjectTest, ClassWithoutSerialisationCannotBeWritten)
{
    TempDir dir;
    CNotRegistered object;
    EXPECT_THROW(Store(dir, [&](CArchive& ar) { ar << &object; }), CArchiveException);
}

TEST(ArchiveObjectTest, BadArchivesThrowWithTheirCauseAndLeakNothing)
{
    const std::string point = PointClassRecord() + std::string("\x01\x00\x02\x00", 4);
    const std::string pairHead = std::string("\xFF\xFF\x01\x00\x09\x00", 6) + "CTestPair";
    struct Case {
        const char* what;
        std::string bytes;
        const CRuntimeClass* requested;
        int cause;
    };
    const Case cases[] = {
        {"unknown class", std::string("\xFF\xFF\x01\x00\x05\x00", 6) + "CNone", nullptr, CArchiveException::badClass},
        {"class known but not serialisable", std::string("\xFF\xFF\x01\x00\x0E\x00", 6) + "CNotRegistered",
         nullptr, CArchiveException::badClass},
        {"wrong schema", std::string("\xFF\xFF\x02\x00\x0A\x00", 6) + "CTestPoint" + std::string("\0\0\0\0", 4),
         nullptr, CArchiveException::badSchema},
        {"class index never written", std::string("\x05\x80", 2), nullptr, CArchiveException::badIndex},
        {"object index never written", std::string("\x09\x00", 2), nullptr, CArchiveException::badIndex},
        {"object tag naming a class", point + std::string("\x01\x00", 2), nullptr, CArchiveException::badIndex},
        {"class tag naming an object", point + std::string("\x02\x80", 2), nullptr, CArchiveException::badIndex},
        {"truncated class name", std::string("\xFF\xFF\x01\x00\x0A\x00", 6) + "CTest", nullptr,
         CArchiveException::endOfFile},
        {"truncated object data", PointClassRecord() + std::string("\x01", 1), nullptr, CArchiveException::endOfFile},
        {"second member truncated", pairHead + point + std::string("\x01\x80\x07", 3), nullptr,
         CArchiveException::endOfFile},
        {"second member unknown", pairHead + point + std::string("\xFF\xFF\x01\x00\x02\x00", 6) + "CX", nullptr,
         CArchiveException::badClass},
        {"object of another class than asked", point, RUNTIME_CLASS(CTestPair), CArchiveException::badClass},
        {"empty archive", std::string(), nullptr, CArchiveException::endOfFile},
    };
    TempDir dir;
    for (const Case& c : cases) {
        dir.Write("bad.bin", c.bytes);
        CFile file(dir.File("bad.bin").c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        int cause = -1;
        CObject* first = nullptr;
        try {
            // Cases that start with a good point read it first, then fail on the next object.
            const bool pointFirst = c.bytes.compare(0, point.size(), point) == 0 && c.requested == nullptr;
            if (pointFirst)
                first = ar.ReadObject(nullptr);
            delete ar.ReadObject(c.requested);
        } catch (const CArchiveException& e) {
            cause = e.m_cause;
        }
        delete first;
        EXPECT_EQ(cause, c.cause) << c.what;
    }
}

TEST(ArchiveObjectTest, StringMapWritesCountThenPairsAndRefusesATruncatedArchive)
{
    TempDir dir;
    const std::string path = dir.File("map.bin");
    CMapStringToString written;
    written.SetAt("PartNum", "QX-100");
    written.SetAt("Baudrate", "115200");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        written.Serialize(ar);
        ar.Close();
        file.Close();
    }
    const std::string bytes = dir.Read("map.bin");
    EXPECT_EQ(bytes, std::string("\x02\x00\x07PartNum\x06QX-100\x08" "Baudrate\x06" "115200", 33));

    CMapStringToString read;
    read.SetAt("Stale", "1");
    {
        CFile file(path.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        read.Serialize(ar);
    }
    EXPECT_EQ(read.GetCount(), 2);
    CString value;
    EXPECT_TRUE(read.Lookup("Baudrate", value));
    EXPECT_EQ(value, "115200");
    EXPECT_FALSE(read.Lookup("Stale", value));

    dir.Write("cut.bin", bytes.substr(0, bytes.size() - 2));
    CFile file(dir.File("cut.bin").c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    EXPECT_THROW(read.Serialize(ar), CArchiveException);
    EXPECT_TRUE(read.IsEmpty());
}

// What an owner reads is its alone: no reference may name it again, nor may an
// owner take an object named before.
TEST(ArchiveObjectTest, AnOwnedObjectIsNeverHandedOutTwice)
{
    const std::string point = PointClassRecord() + std::string("\x01\x00\x02\x00", 4);
    const std::string again = point + std::string("\x02\x00", 2);
    struct Case {
        const char* what;
        bool firstOwned;
        bool secondOwned;
        bool refused;
    };
    const Case cases[] = {
        {"owned, then named by an owner", true, true, true},
        {"owned, then named by a plain reader", true, false, true},
        {"read plainly, then taken by an owner", false, true, true},
        {"shared by plain readers", false, false, false},
    };
    TempDir dir;
    dir.Write("a.bin", again + std::string("\x00\x00", 2));
    for (const Case& c : cases) {
        CFile file(dir.File("a.bin").c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        CObject* first = c.firstOwned ? ar.ReadOwnedObject(nullptr) : ar.ReadObject(nullptr);
        ASSERT_NE(first, nullptr) << c.what;
        int cause = -1;
        try {
            CObject* second = c.secondOwned ? ar.ReadOwnedObject(nullptr) : ar.ReadObject(nullptr);
            EXPECT_EQ(second, first) << c.what;
        } catch (const CArchiveException& e) {
            cause = e.m_cause;
        }
        EXPECT_EQ(cause, c.refused ? CArchiveException::badIndex : -1) << c.what;
        if (!c.refused) {
            EXPECT_EQ(ar.ReadOwnedObject(nullptr), nullptr) << "null stays allowed";
        }
        delete first;
    }
}
