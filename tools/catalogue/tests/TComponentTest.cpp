#include "TComponent.h"
#include "TComponentList.h"
#include "TCrt.h"
#include "TFileHdl.h"
#include "TFmtTextFormat.h"
#include "TOpSystem.h"
#include "TResVar.h"

#include "KwResFileHelper.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const INSERTED = "MVC_COMPONENT_INSERTED";
const char* const WILLREMOVE = "MVC_COMPONENT_WILLREMOVE";

#if defined(_WIN32)
const char* const kPathVariable = "path";
#else
const char* const kPathVariable = "PATH";
#endif

std::string Str(const TString& co) { return static_cast<const char*>(co); }

TComponent Entry(const char* pszClass, const char* pszPrompt, const char* pszDesc, const char* pszDll)
{
    TComponent co(pszClass);
    co.SetPrompt(pszPrompt);
    co.SetDesc(pszDesc);
    co.SetDll(pszDll);
    return co;
}

std::vector<std::string> Classes(const TComponentList& coList)
{
    std::vector<std::string> vec;
    for (long i = 0; i < coList.Count(); ++i)
        vec.push_back(Str(coList[i]->GetComponentClass()));
    return vec;
}

// Records every event of a catalogue as "inserted X" or "willremove X", and
// what the catalogue looked like at that moment.
class TCatalogueView : public TDynBase {
public:
    explicit TCatalogueView(TComponentList& coList) : m_pcoList(&coList)
    {
        coList.MVC().AddNotification(INSERTED, this, &TCatalogueView::OnInserted);
        coList.MVC().AddNotification(WILLREMOVE, this, &TCatalogueView::OnWillRemove);
    }

    int OnInserted(TMvcParam& coParam) { return Record("inserted", coParam); }
    int OnWillRemove(TMvcParam& coParam) { return Record("willremove", coParam); }

    std::vector<std::string> m_vecLog;
    std::vector<long> m_vecCounts;          // the catalogue's count at each event
    std::vector<std::string> m_vecPrompts;  // the entry's prompt at each event
    int m_nBadParam { 0 };

private:
    int Record(const char* pszWhat, TMvcParam& coParam)
    {
        TMvcParamCompList* pcoParam = dynamic_cast<TMvcParamCompList*>(&coParam);
        if (!pcoParam || &coParam.EventObject() != m_pcoList || coParam.LParam2() != 0 || !pcoParam->Component()) {
            ++m_nBadParam;
            return 0;
        }
        TComponent* pcoEntry = pcoParam->Component();
        if (sizeof(long) >= sizeof(void*) && coParam.LParam1() != static_cast<long>(reinterpret_cast<intptr_t>(pcoEntry)))
            ++m_nBadParam;
        // The entry concerned is listed during both events.
        long lIndex = -1;
        if (m_pcoList->Find(pcoEntry->GetComponentClass(), &lIndex) != pcoEntry)
            ++m_nBadParam;
        m_vecLog.push_back(std::string(pszWhat) + " " + Str(pcoEntry->GetComponentClass()));
        m_vecCounts.push_back(m_pcoList->Count());
        m_vecPrompts.push_back(Str(pcoEntry->GetPrompt()));
        return 1;
    }

    TComponentList* m_pcoList;
};

// A directory of its own below the temporary directory, removed with
// everything in it.
class TTempDir {
public:
    explicit TTempDir(const std::string& name)
    {
        m_path = fs::temp_directory_path() / (name + "-" + std::to_string(CrtProcessId()));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TTempDir()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    std::string Path() const { return m_path.string(); }
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    void Touch(const std::string& name) const
    {
        FILE* pFile = std::fopen(File(name).c_str(), "wb");
        ASSERT_NE(pFile, nullptr);
        std::fclose(pFile);
    }

private:
    fs::path m_path;
};

// Sets the search path for one test and puts the old value back.
class TSearchPath {
public:
    explicit TSearchPath() : m_coOld(CurrentOS().GetEnvVar(kPathVariable)), m_nWasSet(!m_coOld.IsEmpty()) {}
    ~TSearchPath() { CurrentOS().SetEnvVar(kPathVariable, m_nWasSet ? static_cast<const char*>(m_coOld) : nullptr); }
    TSearchPath(const TSearchPath&) = delete;
    TSearchPath& operator=(const TSearchPath&) = delete;

    void Set(const std::string& value) { ASSERT_EQ(CurrentOS().SetEnvVar(kPathVariable, value.c_str()), 1); }

private:
    TString m_coOld;
    int m_nWasSet;
};

std::string List(std::initializer_list<std::string> entries)
{
    std::string text;
    for (const std::string& entry : entries) {
        if (!text.empty())
            text += CrtPathListSeparator();
        text += entry;
    }
    return text;
}

} // namespace

TEST(TComponentTest, ComponentClassGivesTheResourceIdCutToTheIndexLength)
{
    const std::string s31(31, 'c'), s32(32, 'd'), s40 = "KwFileSelectorWithAVeryLongClassName0123";
    ASSERT_EQ(s40.size(), 40u);
    struct Row {
        std::string strClass;
        std::string strId;
    } rows[] = {
        { "", "" },
        { "KwFileSelector", "KwFileSelector" },
        { s31, s31 },
        { s32, s32.substr(0, 31) },
        { s40, s40.substr(0, 31) },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.strClass);
        TComponent co(r.strClass.c_str());
        EXPECT_EQ(Str(co.GetComponentClass()), r.strClass);
        EXPECT_EQ(Str(co.GetResId()), r.strId);
        TComponent coSet("Before");
        coSet.SetComponentClass(r.strClass.c_str());
        EXPECT_EQ(Str(coSet.GetComponentClass()), r.strClass);
        EXPECT_EQ(Str(coSet.GetResId()), r.strId);
    }
    TComponent coNull(static_cast<const char*>(nullptr));
    EXPECT_TRUE(coNull.GetComponentClass().IsEmpty());
    EXPECT_TRUE(coNull.GetResId().IsEmpty());
    TComponent coDefault;
    EXPECT_TRUE(coDefault.GetComponentClass().IsEmpty());
    EXPECT_TRUE(coDefault.GetPrompt().IsEmpty());
    EXPECT_TRUE(coDefault.GetDesc().IsEmpty());
    EXPECT_TRUE(coDefault.GetDll().IsEmpty());
}

TEST(TComponentTest, SetDllKeepsOnlyTheFileName)
{
    struct Row {
        const char* pszPath;
        const char* pszDll;
    } rows[] = {
        { "C:\\KWILLET\\BIN\\qa32flsl.dll", "qa32flsl.dll" },
        { "qa32flsl.dll", "qa32flsl.dll" },
        { "C:qa32flsl.dll", "qa32flsl.dll" },
        { "\\\\server\\share\\lib\\????kctl.dll", "????kctl.dll" },
        { "lib/sub/qa32kctl.so", "qa32kctl.so" },
        { "C:\\dir\\", "" },
        { "", "" },
        { nullptr, "" },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pszPath ? r.pszPath : "null");
        TComponent co("X");
        co.SetDll("old.dll");
        co.SetDll(r.pszPath);
        EXPECT_EQ(Str(co.GetDll()), r.pszDll);
    }
}

TEST(TComponentTest, CopiesCarryAllFieldsAndStayIndependent)
{
    TComponent co = Entry("KwFileSelector", "File selector", "Two panes", "C:\\bin\\qa32flsl.dll");
    co.SetResId("SELECTOR");
    co.SetCppClass("GdvSelector");
    co.SetWParam(7);
    co.SetLParam(0xDEADBEEFul);
    co.SetWriteable(0);

    TComponent coCopy(co);
    TComponent coAssigned("Other");
    coAssigned.SetPrompt("gone");
    coAssigned = co;
    std::unique_ptr<TComponent> pcoClone(co.Clone());
    for (const TComponent* pco : std::vector<const TComponent*> { &coCopy, &coAssigned, pcoClone.get() }) {
        EXPECT_EQ(Str(pco->GetComponentClass()), "KwFileSelector");
        EXPECT_EQ(Str(pco->GetPrompt()), "File selector");
        EXPECT_EQ(Str(pco->GetDesc()), "Two panes");
        EXPECT_EQ(Str(pco->GetDll()), "qa32flsl.dll");
        EXPECT_EQ(Str(pco->GetResId()), "SELECTOR");
        EXPECT_EQ(Str(pco->GetCppClass()), "GdvSelector");
        EXPECT_EQ(pco->GetWParam(), 7);
        EXPECT_EQ(pco->GetLParam(), 0xDEADBEEFul);
        EXPECT_EQ(pco->IsWriteable(), 0);
        EXPECT_TRUE(pco->IsClass("TComponent"));
    }
    co.SetPrompt("changed");
    co.SetComponentClass("Renamed");
    EXPECT_EQ(Str(coCopy.GetPrompt()), "File selector");
    EXPECT_EQ(Str(pcoClone->GetComponentClass()), "KwFileSelector");
    coAssigned = *&coAssigned;   // assigned to itself
    EXPECT_EQ(Str(coAssigned.GetDesc()), "Two panes");
}

TEST(TComponentTest, CompareOrdersClassesWithoutRegardToCase)
{
    struct Row {
        const char* pszA;
        const char* pszB;
        int nSign;
    } rows[] = {
        { "alpha", "ALPHA", 0 },
        { "Alpha", "beta", -1 },
        { "beta", "Alpha", 1 },
        { "", "a", -1 },
        { "a", "", 1 },
        { "", "", 0 },
        { "ab", "abc", -1 },
        { "a_b", "aZb", -1 },    // as lower case: '_' sorts before 'z'
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.pszA) + " " + r.pszB);
        TComponent coA(r.pszA), coB(r.pszB);
        const int nResult = TComponent::Compare(&coA, &coB);
        EXPECT_EQ((nResult > 0) - (nResult < 0), r.nSign);
    }
}

TEST(TComponentTest, ClassesAreRegisteredInTheToolLibrary)
{
    for (const char* pszClass : { "TComponent", "TComponentList", "TMvcParamCompList", "TFmtTextFormat" }) {
        SCOPED_TRACE(pszClass);
        const TDynBase* pcoReference = TDynBase::GetRuntimeObject(pszClass);
        ASSERT_NE(pcoReference, nullptr);
        EXPECT_STREQ(pcoReference->GetModuleName(), "kwtl");
    }
    for (const char* pszClass : { "TComponent", "tcomponentlist", "TFmtTextFormat" }) {
        SCOPED_TRACE(pszClass);
        std::unique_ptr<TDynBase> pco(TDynBase::RTTIDynCreate(pszClass));
        ASSERT_NE(pco, nullptr);
        EXPECT_TRUE(pco->IsClassFamily("TResource"));
        EXPECT_EQ(pco->IsDynCppReferenceObject(), 0);
    }
    EXPECT_STREQ(TDynBase::GetBaseClassName("TComponent"), "TResource");
    EXPECT_STREQ(TDynBase::GetBaseClassName("TComponentList"), "TResource");
    EXPECT_STREQ(TDynBase::GetBaseClassName("TMvcParamCompList"), "TMvcParam");
    // Both events carry the catalogue's parameter class.
    TComponentList coList;
    EXPECT_EQ(Str(coList.MVC().GetOwnerClass()), "TComponentList");
    for (const char* pszEvent : { INSERTED, WILLREMOVE }) {
        const TMvcEventDef coDef = coList.MVC().GetEventTable()->FindEventType(pszEvent);
        EXPECT_EQ(Str(coDef.GetParamType()), "TMvcParamCompList");
        EXPECT_TRUE(coDef.GetDescription().IsEmpty());
        EXPECT_TRUE(coDef.GetDefaultCode().IsEmpty());
    }
}

TEST(TComponentTest, CheckDllExistanceSearchesTheSearchPathInOrder)
{
    TTempDir coFirst("kw-comp-first"), coSecond("kw-comp-second"), coMissing("kw-comp-missing");
    coSecond.Touch("qa32demo.dll");
    coFirst.Touch("other.dll");
    const std::string strMissing = coMissing.Path();
    fs::remove_all(strMissing);
    const std::string strSecondSlash = coSecond.Path() + CrtPathSeparator();
    TSearchPath coPath;

    struct Row {
        const char* pszTitle;
        std::string strPath;
        const char* pszDll;
        int nFound;
        const char* pszModule;
    } rows[] = {
        { "second entry", List({ coFirst.Path(), coSecond.Path() }), "qa32demo.dll", 1, "qa32demo.dll" },
        { "only entry", coSecond.Path(), "qa32demo.dll", 1, "qa32demo.dll" },
        { "trailing separator", List({ coFirst.Path(), strSecondSlash }), "qa32demo.dll", 1, "qa32demo.dll" },
        { "empty and missing entries", List({ "", strMissing, "", coSecond.Path(), "" }), "qa32demo.dll", 1, "qa32demo.dll" },
        { "wildcard prefix", coSecond.Path(), "????demo.dll", 1, "qa32demo.dll" },
        { "not in the directories", List({ coFirst.Path(), strMissing }), "qa32demo.dll", 0, "qa32demo.dll" },
        { "other library", List({ coFirst.Path(), coSecond.Path() }), "qa32none.dll", 0, "qa32none.dll" },
        { "empty search path", "", "qa32demo.dll", 0, "qa32demo.dll" },
        { "only separators", List({ "", "", "" }), "qa32demo.dll", 0, "qa32demo.dll" },
        { "no library", List({ coFirst.Path(), coSecond.Path() }), "", 0, "" },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pszTitle);
        coPath.Set(r.strPath);
        TComponent co("KwDemo");
        co.SetDll(r.pszDll);
        TString coModule("stale");
        EXPECT_EQ(co.CheckDllExistance(&coModule), r.nFound);
        EXPECT_EQ(Str(coModule), r.pszModule);
        EXPECT_EQ(co.CheckDllExistance(nullptr), r.nFound);
    }

    // A removed variable is an empty search path.
    ASSERT_EQ(CurrentOS().SetEnvVar(kPathVariable, nullptr), 1);
    TComponent co("KwDemo");
    co.SetDll("qa32demo.dll");
    TString coModule;
    EXPECT_EQ(co.CheckDllExistance(&coModule), 0);
    EXPECT_EQ(Str(coModule), "qa32demo.dll");

    // The current directory is not searched, and a full path given to
    // SetDll counts by its file name only.
    const TOpSystem* pcoOS = &CurrentOS();
    const TString coOldDir = pcoOS->GetCurrentDirectory();
    ASSERT_EQ(pcoOS->SetCurrentDirectory(coSecond.Path().c_str()), 1);
    coPath.Set(coFirst.Path());
    co.SetDll(coSecond.File("qa32demo.dll").c_str());
    EXPECT_EQ(Str(co.GetDll()), "qa32demo.dll");
    EXPECT_EQ(co.CheckDllExistance(nullptr), 0);
    coPath.Set(List({ ".", coFirst.Path() }));
    EXPECT_EQ(co.CheckDllExistance(nullptr), 1);   // named as "." it is searched like any directory
    ASSERT_EQ(pcoOS->SetCurrentDirectory(coOldDir), 1);
}

TEST(TComponentListTest, AddKeepsOneSortedCopyPerClass)
{
    TComponentList coList("CATALOGUE");
    EXPECT_EQ(Str(coList.GetResId()), "CATALOGUE");
    TCatalogueView coView(coList);
    TComponent coSelector = Entry("KwFileSelector", "Selector", "", "qa32flsl.dll");

    EXPECT_EQ(coList.Add(coSelector), 1);
    EXPECT_EQ(coList.Add(Entry("kwColorBox", "Colours", "", "qa32xctl.dll")), 1);
    coList += Entry("KwProgress", "Progress", "", "qa32xctl.dll");
    EXPECT_EQ(coList.Add(Entry("Alpha", "", "", "")), 1);
    EXPECT_EQ(Classes(coList), (std::vector<std::string> { "Alpha", "kwColorBox", "KwFileSelector", "KwProgress" }));
    EXPECT_EQ(coView.m_vecLog, (std::vector<std::string> { "inserted KwFileSelector", "inserted kwColorBox",
                                                           "inserted KwProgress", "inserted Alpha" }));
    // Each insertion is announced once the entry is listed.
    EXPECT_EQ(coView.m_vecCounts, (std::vector<long> { 1, 2, 3, 4 }));

    // Refused: a class that differs only in letter case, no class at all.
    EXPECT_EQ(coList.Add(Entry("KWFILESELECTOR", "Twin", "", "")), 0);
    EXPECT_EQ(coList.Add(TComponent()), 0);
    EXPECT_EQ(coList.Add(TComponent("")), 0);
    coList += Entry("kwprogress", "", "", "");
    EXPECT_EQ(coList.Count(), 4);
    EXPECT_EQ(coView.m_vecLog.size(), 4u);
    EXPECT_EQ(coView.m_nBadParam, 0);

    // The catalogue holds a copy of its own.
    coSelector.SetPrompt("changed afterwards");
    TComponent* pcoEntry = coList.Find("kwfileselector", nullptr);
    ASSERT_NE(pcoEntry, nullptr);
    EXPECT_NE(pcoEntry, &coSelector);
    EXPECT_EQ(Str(pcoEntry->GetPrompt()), "Selector");

    struct Row {
        const char* pszClass;
        long lIndex;
    } rows[] = {
        { "alpha", 0 }, { "KWCOLORBOX", 1 }, { "KwFileSelector", 2 }, { "kwprogress", 3 },
        { "Beta", -1 }, { "", -1 }, { nullptr, -1 }, { "KwProgressX", -1 }, { "A", -1 },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pszClass ? r.pszClass : "null");
        long lIndex = 99;
        TComponent* pco = coList.Find(r.pszClass, &lIndex);
        EXPECT_EQ(lIndex, r.lIndex);
        EXPECT_EQ(pco, r.lIndex < 0 ? nullptr : coList[r.lIndex]);
        lIndex = 99;
        EXPECT_EQ(coList(r.pszClass, &lIndex), pco);
        EXPECT_EQ(lIndex, r.lIndex);
    }
    EXPECT_EQ(coList[-1], nullptr);
    EXPECT_EQ(coList[4], nullptr);
    EXPECT_EQ(coList.Find("Alpha", nullptr), coList[0]);
}

TEST(TComponentListTest, RemovalIsAnnouncedWhileTheEntryIsStillThere)
{
    TComponentList coList;
    coList += Entry("A", "first", "", "");
    coList += Entry("B", "second", "", "");
    coList += Entry("C", "third", "", "");
    TCatalogueView coView(coList);

    EXPECT_EQ(coList.Remove("b"), 1);
    EXPECT_EQ(coView.m_vecLog, (std::vector<std::string> { "willremove B" }));
    EXPECT_EQ(coView.m_vecCounts, (std::vector<long> { 3 }));
    EXPECT_EQ(coView.m_vecPrompts, (std::vector<std::string> { "second" }));
    EXPECT_EQ(Classes(coList), (std::vector<std::string> { "A", "C" }));
    EXPECT_EQ(coList.Find("B", nullptr), nullptr);

    EXPECT_EQ(coList.Remove("B"), 0);
    EXPECT_EQ(coList.Remove(""), 0);
    EXPECT_EQ(coList.Remove(nullptr), 0);
    coList -= "nothing";
    EXPECT_EQ(coView.m_vecLog.size(), 1u);
    coList -= "a";
    EXPECT_EQ(Classes(coList), (std::vector<std::string> { "C" }));

    coList += Entry("D", "fourth", "", "");
    coList += Entry("E", "fifth", "", "");
    coView.m_vecLog.clear();
    coView.m_vecCounts.clear();
    coView.m_vecPrompts.clear();
    coList.RemoveAll();
    EXPECT_EQ(coView.m_vecLog, (std::vector<std::string> { "willremove C", "willremove D", "willremove E" }));
    EXPECT_EQ(coView.m_vecCounts, (std::vector<long> { 3, 3, 3 }));
    EXPECT_EQ(coView.m_vecPrompts, (std::vector<std::string> { "third", "fourth", "fifth" }));
    EXPECT_EQ(coList.Count(), 0);
    coList.RemoveAll();
    EXPECT_EQ(coView.m_vecLog.size(), 3u);
    EXPECT_EQ(coView.m_nBadParam, 0);
}

// A handler may remove the very entry whose removal it hears of; the entry
// is then deleted once, by the inner removal.
class TRemovingView : public TDynBase {
public:
    explicit TRemovingView(TComponentList& coList) : m_pcoList(&coList)
    {
        coList.MVC().AddNotification(WILLREMOVE, this, &TRemovingView::OnWillRemove);
    }
    int OnWillRemove(TMvcParam& coParam)
    {
        ++m_nCalls;
        TComponent* pcoEntry = static_cast<TMvcParamCompList&>(coParam).Component();
        if (m_nCalls == 1)
            m_nInner = m_pcoList->Remove(pcoEntry->GetComponentClass());
        return 0;
    }
    TComponentList* m_pcoList;
    int m_nCalls { 0 };
    int m_nInner { -1 };
};

TEST(TComponentListTest, HandlerThatRemovesTheSameEntryDoesNotDeleteItTwice)
{
    TComponentList coList;
    coList += Entry("A", "", "", "");
    coList += Entry("B", "", "", "");
    TRemovingView coView(coList);
    EXPECT_EQ(coList.Remove("A"), 1);
    EXPECT_EQ(coView.m_nCalls, 2);
    EXPECT_EQ(coView.m_nInner, 1);
    EXPECT_EQ(Classes(coList), (std::vector<std::string> { "B" }));
}

TEST(TComponentListTest, CopiesCloneEveryEntryAndAnnounceIt)
{
    TComponentList coSource("SOURCE");
    coSource.SetWParam(3);
    coSource += Entry("B", "bee", "", "b.dll");
    coSource += Entry("A", "ay", "", "a.dll");

    TComponentList coCopy(coSource);
    EXPECT_EQ(Str(coCopy.GetResId()), "SOURCE");
    EXPECT_EQ(coCopy.GetWParam(), 3);
    EXPECT_EQ(Classes(coCopy), (std::vector<std::string> { "A", "B" }));
    EXPECT_NE(coCopy[0], coSource[0]);
    EXPECT_EQ(Str(coCopy[1]->GetDll()), "b.dll");

    TComponentList coTarget("TARGET");
    coTarget += Entry("Z", "zed", "", "");
    coTarget += Entry("Y", "why", "", "");
    TCatalogueView coView(coTarget);
    coTarget = coSource;
    EXPECT_EQ(coView.m_vecLog, (std::vector<std::string> { "willremove Y", "willremove Z", "inserted A", "inserted B" }));
    EXPECT_EQ(coView.m_vecCounts, (std::vector<long> { 2, 2, 1, 2 }));
    EXPECT_EQ(Str(coTarget.GetResId()), "SOURCE");
    EXPECT_EQ(coView.m_nBadParam, 0);

    // Independent afterwards in both directions.
    coSource.Remove("A");
    coTarget[1]->SetPrompt("changed");
    EXPECT_EQ(Classes(coTarget), (std::vector<std::string> { "A", "B" }));
    EXPECT_EQ(Str(coSource[0]->GetPrompt()), "bee");
    EXPECT_EQ(Str(coCopy[0]->GetPrompt()), "ay");

    coView.m_vecLog.clear();
    coTarget = *&coTarget;   // assigned to itself
    EXPECT_TRUE(coView.m_vecLog.empty());
    EXPECT_EQ(coTarget.Count(), 2);
}

// An entry class of its own: Clone must keep it, so that the catalogue
// holds the derived class and writes it.
class TTestComponent : public TComponent {
    KW_DYNAMIC_CLASS(TTestComponent, TComponent)
public:
    TTestComponent() = default;
    explicit TTestComponent(const char* pszClass) : TComponent(pszClass) {}
    TComponent* Clone() const override { return new TTestComponent(*this); }
};
KW_IMPLEMENT_DYNAMIC_CLASS(TTestComponent, TComponent, "test")

TEST(TComponentListTest, AddKeepsTheClassOfDerivedEntries)
{
    TComponentList coList;
    ASSERT_EQ(coList.Add(TTestComponent("Derived")), 1);
    ASSERT_EQ(coList.Add(TComponent("Plain")), 1);
    EXPECT_TRUE(coList.Find("Derived", nullptr)->IsClass("TTestComponent"));
    EXPECT_TRUE(coList.Find("Plain", nullptr)->IsClass("TComponent"));
    TComponentList coCopy(coList);
    EXPECT_TRUE(coCopy.Find("Derived", nullptr)->IsClass("TTestComponent"));
}

using kwtest::TBytes;
using kwtest::TRecordingFileHdl;
using kwtest::TResTempDir;

TEST(TComponentTest, RecordHoldsTheFourTextsAfterTheIdentifier)
{
    TResTempDir coDir("kw-comp-record");
    TComponent co = Entry("KwFileSelector", "Selector", "", "qa32flsl.dll");
    co.SetResId("SEL");
    const std::string strExpected = TBytes()
                                        .Header("TComponent")
                                        .StringVar(21, "SEL")
                                        .StringVar(23, "KwFileSelector")
                                        .StringVar(24, "Selector")
                                        .StringVar(25, nullptr)
                                        .StringVar(26, "qa32flsl.dll")
                                        .End()
                                        .Text();
    EXPECT_EQ(kwtest::RecordBytes(co, coDir.File("record.bin")), strExpected);

    // The list writes its entries as children, in their sorted order.
    TComponentList coList("CAT");
    coList += Entry("b", "", "", "");
    coList += Entry("A", "", "", "");
    const std::string strList = TBytes()
                                    .Header("TComponentList")
                                    .StringVar(21, "CAT")
                                    .Header("TComponent")
                                    .StringVar(21, "A").StringVar(23, "A").StringVar(24, nullptr)
                                    .StringVar(25, nullptr).StringVar(26, nullptr)
                                    .End()
                                    .Header("TComponent")
                                    .StringVar(21, "b").StringVar(23, "b").StringVar(24, nullptr)
                                    .StringVar(25, nullptr).StringVar(26, nullptr)
                                    .End()
                                    .End()
                                    .Text();
    EXPECT_EQ(kwtest::RecordBytes(coList, coDir.File("list.bin")), strList);
}

TEST(TComponentTest, VariablesReachTheirFieldsAndTheIdentifierTheBase)
{
    TComponent co("Old");
    struct Row {
        TResVar* pcoVar;
        int nResult;
    };
    TResString coId(21, "NEWID"), coClass(23, "NewClass"), coPrompt(24, "Prompt"), coDesc(25, "Desc"),
        coDll(26, "new.dll"), coOther(27, "ignored"), coEmpty(24, nullptr);
    TResLong coWrongKind(25, 5L);
    EXPECT_EQ(co.NotifyVariableRead(coId, nullptr, 0), 1);
    EXPECT_EQ(co.NotifyVariableRead(coClass, nullptr, 0), 1);
    EXPECT_EQ(co.NotifyVariableRead(coPrompt, nullptr, 0), 1);
    EXPECT_EQ(co.NotifyVariableRead(coDesc, nullptr, 0), 1);
    EXPECT_EQ(co.NotifyVariableRead(coDll, nullptr, 0), 1);
    EXPECT_EQ(co.NotifyVariableRead(coOther, nullptr, 0), 0);
    EXPECT_EQ(co.NotifyVariableRead(coWrongKind, nullptr, 0), 0);
    // The identifier is what variable 21 said, not the class read later.
    EXPECT_EQ(Str(co.GetResId()), "NEWID");
    EXPECT_EQ(Str(co.GetComponentClass()), "NewClass");
    EXPECT_EQ(Str(co.GetPrompt()), "Prompt");
    EXPECT_EQ(Str(co.GetDesc()), "Desc");
    EXPECT_EQ(Str(co.GetDll()), "new.dll");
    EXPECT_EQ(co.NotifyVariableRead(coEmpty, nullptr, 0), 1);
    EXPECT_TRUE(co.GetPrompt().IsEmpty());
}

TEST(TComponentListTest, RoundTripThroughAResourceFile)
{
    TResTempDir coDir("kw-comp-file");
    const std::string strFile = coDir.File("catalog.drf");
    const std::string s40 = "KwFileSelectorWithAVeryLongClassName0123";

    TComponentList coList("CATALOGUE");
    coList.SetWParam(12);
    coList.SetLParam(345678);
    coList += Entry("KwProgress", "Progress", "Shows the steps", "C:\\bin\\qa32xctl.dll");
    coList += Entry(s40.c_str(), "Long", "A class name of forty characters", "qa32long.dll");
    coList += TTestComponent("KwDerived");
    TComponent coSolo = Entry("KwSolo", "Alone", "Stored on its own", "????solo.dll");
    coSolo.SetResId("SOLO");
    kwtest::StoreResources(strFile, { &coList, &coSolo });

    TRecordingFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(strFile.c_str(), 0, ""), TFileHdl::Success);
    EXPECT_EQ(coHdl.GetResCount(), 2);
    EXPECT_EQ(Str(coHdl.GetResInfo("CATALOGUE").GetClass()), "TComponentList");
    std::unique_ptr<TResource> pcoRead(coHdl.LoadResource("catalogue", nullptr, nullptr, 0));
    ASSERT_NE(pcoRead, nullptr);
    ASSERT_TRUE(pcoRead->IsClass("TComponentList"));
    TComponentList& coRead = static_cast<TComponentList&>(*pcoRead);
    EXPECT_EQ(Str(coRead.GetResId()), "CATALOGUE");
    EXPECT_EQ(coRead.GetWParam(), 12);
    EXPECT_EQ(coRead.GetLParam(), 345678u);
    ASSERT_EQ(Classes(coRead), Classes(coList));
    for (long i = 0; i < coList.Count(); ++i) {
        SCOPED_TRACE(i);
        const TComponent& coA = *coList[i];
        const TComponent& coB = *coRead[i];
        EXPECT_EQ(Str(coB.GetComponentClass()), Str(coA.GetComponentClass()));
        EXPECT_EQ(Str(coB.GetResId()), Str(coA.GetResId()));
        EXPECT_EQ(Str(coB.GetPrompt()), Str(coA.GetPrompt()));
        EXPECT_EQ(Str(coB.GetDesc()), Str(coA.GetDesc()));
        EXPECT_EQ(Str(coB.GetDll()), Str(coA.GetDll()));
        EXPECT_STREQ(coB.GetClassName(), coA.GetClassName());
    }
    TComponent* pcoLong = coRead.Find(s40.c_str(), nullptr);
    ASSERT_NE(pcoLong, nullptr);
    EXPECT_EQ(Str(pcoLong->GetResId()), s40.substr(0, 31));
    EXPECT_EQ(Str(coRead.Find("KwProgress", nullptr)->GetDll()), "qa32xctl.dll");
    EXPECT_TRUE(coRead.Find("kwderived", nullptr)->IsClass("TTestComponent"));

    std::unique_ptr<TResource> pcoSolo(coHdl.LoadResource("SOLO", nullptr, nullptr, 0));
    ASSERT_NE(pcoSolo, nullptr);
    ASSERT_TRUE(pcoSolo->IsClass("TComponent"));
    const TComponent& coSoloRead = static_cast<const TComponent&>(*pcoSolo);
    EXPECT_EQ(Str(coSoloRead.GetResId()), "SOLO");
    EXPECT_EQ(Str(coSoloRead.GetComponentClass()), "KwSolo");
    EXPECT_EQ(Str(coSoloRead.GetDesc()), "Stored on its own");
    EXPECT_EQ(Str(coSoloRead.GetDll()), "????solo.dll");
    EXPECT_TRUE(coHdl.m_vecMessages.empty());
}

TEST(TComponentListTest, ReadingIntoAListAnnouncesTheOldEntriesGoingFirst)
{
    TResTempDir coDir("kw-comp-into");
    const std::string strFile = coDir.File("catalog.drf");
    TComponentList coStored("STORED");
    coStored += Entry("New1", "n1", "", "");
    coStored += Entry("New2", "n2", "", "");
    kwtest::StoreResources(strFile, { &coStored });

    TComponentList coTarget("TARGET");
    coTarget += Entry("Old1", "o1", "", "");
    coTarget += Entry("New1", "stale", "", "");
    TCatalogueView coView(coTarget);
    TFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(strFile.c_str(), 0, ""), TFileHdl::Success);
    ASSERT_EQ(coHdl.LoadResource("STORED", &coTarget, nullptr, 0), &coTarget);
    EXPECT_EQ(coView.m_vecLog, (std::vector<std::string> { "willremove New1", "willremove Old1", "inserted New1",
                                                           "inserted New2" }));
    EXPECT_EQ(coView.m_vecCounts, (std::vector<long> { 2, 2, 1, 2 }));
    EXPECT_EQ(coView.m_vecPrompts, (std::vector<std::string> { "stale", "o1", "n1", "n2" }));
    EXPECT_EQ(coView.m_nBadParam, 0);
    EXPECT_EQ(Str(coTarget.GetResId()), "STORED");
    EXPECT_EQ(Classes(coTarget), (std::vector<std::string> { "New1", "New2" }));

    // The same into a single entry: every field is replaced, also by empty.
    TComponent coSolo = Entry("Solo", "", "", "");
    kwtest::StoreResources(coDir.File("solo.drf"), { &coSolo });
    TComponent coFull = Entry("Full", "prompt", "desc", "full.dll");
    TFileHdl coSoloHdl;
    ASSERT_EQ(coSoloHdl.OpenRead(coDir.File("solo.drf").c_str(), 0, ""), TFileHdl::Success);
    ASSERT_EQ(coSoloHdl.LoadResource("Solo", &coFull, nullptr, 0), &coFull);
    EXPECT_EQ(Str(coFull.GetComponentClass()), "Solo");
    EXPECT_EQ(Str(coFull.GetResId()), "Solo");
    EXPECT_TRUE(coFull.GetPrompt().IsEmpty());
    EXPECT_TRUE(coFull.GetDesc().IsEmpty());
    EXPECT_TRUE(coFull.GetDll().IsEmpty());
}

// Children a catalogue never writes itself: an entry whose class only
// differs in letter case from one before it, an entry without class, a
// resource of another family, and an entry whose class the reader cannot
// create.
class TUnknownComponent : public TComponent {
public:
    explicit TUnknownComponent(const char* pszClass) : TComponent(pszClass) {}
    const char* GetPriorityRuntimeClass() const override { return "KwNoSuchComponentClass"; }
};

class TNoisyList : public TComponentList {
public:
    explicit TNoisyList(const char* pszId) : TComponentList(pszId) {}

protected:
    void WriteChildren(TFile& coFile) const override
    {
        TComponentList::WriteChildren(coFile);
        Entry("KWPROGRESS", "twin", "", "").WriteResource(coFile);
        TComponent().WriteResource(coFile);
        TFmtTextFormat("~~", "99", nullptr, "FORMAT").WriteResource(coFile);
        TUnknownComponent("KwUnknown").WriteResource(coFile);
        Entry("KwLast", "last", "", "").WriteResource(coFile);
    }
};

TEST(TComponentListTest, ReadingRefusesTwinsEntriesWithoutClassAndOtherFamilies)
{
    TResTempDir coDir("kw-comp-noisy");
    const std::string strFile = coDir.File("noisy.drf");
    TNoisyList coNoisy("NOISY");
    coNoisy += Entry("KwProgress", "original", "", "");
    kwtest::StoreResources(strFile, { &coNoisy });

    TRecordingFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(strFile.c_str(), 0, ""), TFileHdl::Success);
    TComponentList coRead;
    TCatalogueView coView(coRead);
    ASSERT_EQ(coHdl.LoadResource("NOISY", &coRead, nullptr, 0), &coRead);
    EXPECT_EQ(Classes(coRead), (std::vector<std::string> { "KwLast", "KwProgress" }));
    EXPECT_EQ(Str(coRead.Find("kwprogress", nullptr)->GetPrompt()), "original");
    EXPECT_EQ(coView.m_vecLog, (std::vector<std::string> { "inserted KwProgress", "inserted KwLast" }));
    EXPECT_EQ(coHdl.m_vecMessages,
              (std::vector<std::string> { "Resource of class type\n\n<KwNoSuchComponentClass> could not be created!" }));
}
