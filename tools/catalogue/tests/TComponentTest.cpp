#include "TComponent.h"
#include "TComponentList.h"
#include "TFmtTextFormat.h"
#include "TOpSystem.h"
#include "TResVar.h"

#include "KwResFileHelper.h"
#include "KwScratchTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using kwtest::TBytes;
using kwtest::TResTempDir;

namespace {

#if defined(_WIN32)
const char* const kPathVariable = "path";
#else
const char* const kPathVariable = "PATH";
#endif

std::string Str(const TString& co) { return static_cast<const char*>(co); }

TComponent Entry(const char* pszClass, const char* pszPrompt, const char* pszDll = "")
{
    TComponent co(pszClass);
    co.SetPrompt(pszPrompt);
    co.SetDll(pszDll);
    return co;
}

// Every field of an entry as one text.
std::string Fields(const TComponent& co)
{
    return Str(co.GetResId()) + "|" + Str(co.GetComponentClass()) + "|" + Str(co.GetPrompt()) + "|"
        + Str(co.GetDesc()) + "|" + Str(co.GetDll()) + "|" + co.GetClassName();
}

// The classes of a catalogue's entries in their order: "A B ".
std::string Classes(const TComponentList& coList)
{
    std::string text;
    for (long i = 0; i < coList.Count(); ++i)
        text += Str(coList[i]->GetComponentClass()) + " ";
    return text;
}

// Records every event of a catalogue as "inserted X 2:prompt; ": the
// entry's class, the catalogue's count at that moment (the entry concerned
// is listed during both events) and its prompt. When asked to, it removes
// the first entry it hears the removal of itself, logging "inner <result>; ".
class TCatalogueView : public TDynBase {
public:
    explicit TCatalogueView(TComponentList& coList) : m_pcoList(&coList)
    {
        coList.MVC().AddNotification("MVC_COMPONENT_INSERTED", this, &TCatalogueView::OnInserted);
        coList.MVC().AddNotification("MVC_COMPONENT_WILLREMOVE", this, &TCatalogueView::OnWillRemove);
    }

    int OnInserted(TMvcParam& coParam) { return Record("inserted", coParam); }
    int OnWillRemove(TMvcParam& coParam)
    {
        Record("willremove", coParam);
        if (m_nRemoveOnce) {
            m_nRemoveOnce = 0;
            TComponent* pcoEntry = static_cast<TMvcParamCompList&>(coParam).Component();
            m_text += "inner " + std::to_string(m_pcoList->Remove(pcoEntry->GetComponentClass())) + "; ";
        }
        return 1;
    }
    std::string Take() { return std::move(m_text); }

    int m_nRemoveOnce { 0 };

private:
    int Record(const char* pszWhat, TMvcParam& coParam)
    {
        EXPECT_EQ(&coParam.EventObject(), m_pcoList);
        TComponent* pcoEntry = static_cast<TMvcParamCompList&>(coParam).Component();
        m_text += std::string(pszWhat) + " " + Str(pcoEntry->GetComponentClass()) + " "
            + std::to_string(m_pcoList->Count()) + ":" + Str(pcoEntry->GetPrompt()) + "; ";
        return 1;
    }

    TComponentList* m_pcoList;
    std::string m_text;
};

// An entry class of its own: Clone keeps it, so that the catalogue holds
// the derived class and writes it.
class TTestComponent : public TComponent {
    KW_DYNAMIC_CLASS(TTestComponent, TComponent)
public:
    TTestComponent() = default;
    explicit TTestComponent(const char* pszClass) : TComponent(pszClass) {}
    TComponent* Clone() const override { return new TTestComponent(*this); }
};

// An entry whose class the reader cannot create.
class TUnknownComponent : public TComponent {
public:
    explicit TUnknownComponent(const char* pszClass) : TComponent(pszClass) {}
    const char* GetPriorityRuntimeClass() const override { return "KwNoSuchComponentClass"; }
};

// Writes children a catalogue never writes itself: an entry whose class
// only differs in letter case from one before it, an entry without class,
// a resource of another family and an entry the reader cannot create.
class TNoisyList : public TComponentList {
public:
    explicit TNoisyList(const char* pszId) : TComponentList(pszId) {}

protected:
    void WriteChildren(TFile& coFile) const override
    {
        TComponentList::WriteChildren(coFile);
        Entry("KWPROGRESS", "twin").WriteResource(coFile);
        TComponent().WriteResource(coFile);
        TFmtTextFormat("~~", "99", nullptr, "FORMAT").WriteResource(coFile);
        TUnknownComponent("KwUnknown").WriteResource(coFile);
        Entry("KwLast", "last").WriteResource(coFile);
    }
};

} // namespace

KW_IMPLEMENT_DYNAMIC_CLASS(TTestComponent, TComponent, "test")

TEST(TComponentTest, TheClassIsTheIdentifierAndTheLibraryAFileName)
{
    // The identifier is cut to the 31 characters of an index entry.
    const std::string s40 = "KwFileSelectorWithAVeryLongClassName0123";
    TComponent coSet("Before");
    coSet.SetComponentClass(s40.c_str());
    EXPECT_EQ(Str(coSet.GetResId()) + "|" + Str(TComponent("").GetResId()), s40.substr(0, 31) + "|");
    const std::pair<const char*, const char*> aDlls[] = {
        { "C:qa32flsl.dll", "qa32flsl.dll" }, { "\\\\server\\share\\lib\\????kctl.dll", "????kctl.dll" },
        { "lib/sub/qa32kctl.so", "qa32kctl.so" }, { "C:\\dir\\", "" }, { nullptr, "" },
    };
    for (const auto& c : aDlls) {
        coSet.SetDll("old.dll");
        coSet.SetDll(c.first);
        EXPECT_EQ(Str(coSet.GetDll()), c.second) << (c.first ? c.first : "null");
    }
    // Assignment and Clone take every field, those of the resource too.
    TComponent co = Entry("KwFileSelector", "File selector", "qa32flsl.dll");
    co.SetDesc("Two panes");
    co.SetResId("SELECTOR");
    co.SetWParam(7);
    TComponent coAssigned("Other");
    coAssigned = co;
    coAssigned = *&coAssigned;   // assigned to itself
    std::unique_ptr<TComponent> pcoClone(co.Clone());
    co.SetPrompt("changed");
    for (const TComponent* pco : { &coAssigned, pcoClone.get() })
        EXPECT_EQ(Fields(*pco) + std::to_string(pco->GetWParam()),
                  "SELECTOR|KwFileSelector|File selector|Two panes|qa32flsl.dll|TComponent7");
    // Classes are ordered without regard to letter case: "_" before letters.
    const TComponent coUnderscore("a_b");
    const TComponent coUpper("AZB");
    EXPECT_LT(TComponent::Compare(&coUnderscore, &coUpper), 0);
}

TEST(TComponentTest, CheckDllExistanceSearchesTheSearchPathInOrder)
{
    TResTempDir coFirst("kw-comp-first");
    TResTempDir coSecond("kw-comp-second");
    kwtest::WriteFileBytes(coSecond.File("qa32demo.dll"), "");
    kwtest::WriteFileBytes(coFirst.File("other.dll"), "");
    const std::string strMissing = coFirst.File("missing");
    const std::string strList(1, CrtPathListSeparator());
    const std::string strBoth = coFirst.Path() + strList + coSecond.Path();
    const std::string strNotThere = coFirst.Path() + strList + strMissing;
    const std::string strGaps = strList + strMissing + strList + strList + coSecond.Path() + CrtPathSeparator()
        + strList;
    // The current directory is searched only when the path names it.
    const TString coOldPath = CurrentOS().GetEnvVar(kPathVariable);
    const TString coOldDir = CurrentOS().GetCurrentDirectory();
    ASSERT_EQ(CurrentOS().SetCurrentDirectory(coSecond.Path().c_str()), 1);
    const struct {
        const char* pszTitle;
        std::string strPath;     // empty: the variable is removed
        const char* pszDll;
        int nFound;
    } rows[] = {
        { "second entry", strBoth, "qa32demo.dll", 1 },
        { "empty and missing entries, a trailing separator", strGaps, "qa32demo.dll", 1 },
        { "wildcard prefix", coSecond.Path(), "????demo.dll", 1 },
        { "not in the directories", strNotThere, "qa32demo.dll", 0 },
        { "no library", coSecond.Path(), "", 0 },
        { "no search path", "", "qa32demo.dll", 0 },
        { "the current directory not named", coFirst.Path(), "qa32demo.dll", 0 },
        { "the current directory named", "." + strList + coFirst.Path(), "qa32demo.dll", 1 },
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.pszTitle);
        ASSERT_EQ(CurrentOS().SetEnvVar(kPathVariable, r.strPath.empty() ? nullptr : r.strPath.c_str()), 1);
        TComponent co("KwDemo");
        co.SetDll(r.pszDll);
        TString coModule("stale");
        EXPECT_EQ(co.CheckDllExistance(&coModule), r.nFound);
        EXPECT_EQ(Str(coModule), std::string(r.nFound ? "qa32demo.dll" : r.pszDll));
    }
    CurrentOS().SetCurrentDirectory(coOldDir);
    CurrentOS().SetEnvVar(kPathVariable, coOldPath.IsEmpty() ? nullptr : static_cast<const char*>(coOldPath));
}

TEST(TComponentListTest, ChangesAndCopiesAreAnnouncedAndCopiesCloneEveryEntry)
{
    TComponentList coSource("SOURCE");
    coSource.SetWParam(3);
    TCatalogueView coSourceView(coSource);
    coSource += Entry("B", "bee", "b.dll");
    coSource += TTestComponent("A");
    // Twins (in any letter case) and entries without class are refused.
    EXPECT_EQ(coSource.Add(Entry("b", "twin")) * 10 + coSource.Add(TComponent()), 0);
    EXPECT_EQ(coSourceView.Take(), "inserted B 1:bee; inserted A 2:; ");
    TComponentList coCopy(coSource);
    EXPECT_EQ(Str(coCopy.GetResId()) + std::to_string(coCopy.GetWParam()) + Fields(*coCopy[1]),
              "SOURCE3B|B|bee||b.dll|TComponent");
    EXPECT_TRUE(coCopy[0]->IsClass("TTestComponent"));

    TComponentList coTarget("TARGET");
    coTarget += Entry("Z", "zed");
    coTarget += Entry("Y", "why");
    TCatalogueView coView(coTarget);
    coTarget = coSource;
    coTarget = *&coTarget;   // assigned to itself: nothing happens
    EXPECT_EQ(coView.Take(), "willremove Y 2:why; willremove Z 2:zed; inserted A 1:; inserted B 2:bee; ");
    // Independent afterwards in both directions.
    coSource.Remove("A");
    coTarget[1]->SetPrompt("changed");
    EXPECT_EQ(Classes(coTarget) + Str(coSource[0]->GetPrompt()) + Str(coCopy[1]->GetPrompt()), "A B beebee");

    // A handler may remove the very entry it hears the removal of: the
    // entry is deleted once, by the inner removal.
    coView.m_nRemoveOnce = 1;
    EXPECT_EQ(coTarget.Remove("a"), 1);
    EXPECT_EQ(coView.Take(), "willremove A 2:; willremove A 2:; inner 1; ");
    EXPECT_EQ(Classes(coTarget), "B ");
    EXPECT_EQ(coTarget.Remove("A"), 0);
}

TEST(TComponentListTest, ResourceFilesKeepTheCatalogueAndRefuseWhatItWouldNotHold)
{
    TResTempDir coDir("kw-comp-file");
    const std::string strFile = coDir.File("catalog.drf");
    TComponentList coList("CATALOGUE");
    coList.SetLParam(345678);
    coList += Entry("KwProgress", "Progress", "C:\\bin\\qa32xctl.dll");
    coList += Entry("KwFileSelectorWithAVeryLongClassName0123", "Long", "qa32long.dll");
    coList += TTestComponent("KwDerived");
    TNoisyList coNoisy("NOISY");
    coNoisy += Entry("KwProgress", "original");
    const TComponent coBare("Bare");
    TComponent coSel = Entry("KwFileSelector", "Selector", "qa32flsl.dll");
    coSel.SetResId("SEL");
    kwtest::StoreResources(strFile, { &coList, &coNoisy, &coBare, &coSel });

    kwtest::TRecordingFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(strFile.c_str(), 0, ""), TFileHdl::Success);
    std::unique_ptr<TResource> pcoRead(coHdl.LoadResource("catalogue", nullptr, nullptr, 0));
    ASSERT_TRUE(pcoRead && pcoRead->IsClass("TComponentList"));
    TComponentList& coRead = static_cast<TComponentList&>(*pcoRead);
    EXPECT_EQ(coRead.GetLParam(), 345678u);
    ASSERT_EQ(Classes(coRead), Classes(coList));
    for (long i = 0; i < coList.Count(); ++i)
        EXPECT_EQ(Fields(*coRead[i]), Fields(*coList[i]));
    EXPECT_TRUE(coHdl.m_vecMessages.empty());

    // Read into a list: its old entries go first, announced; twins, entries
    // without class and other families are refused.
    TComponentList coTarget("TARGET");
    coTarget += Entry("Old1", "o1");
    coTarget += Entry("KwLast", "stale");
    TCatalogueView coView(coTarget);
    ASSERT_EQ(coHdl.LoadResource("NOISY", &coTarget, nullptr, 0), &coTarget);
    EXPECT_EQ(coView.Take(), "willremove KwLast 2:stale; willremove Old1 2:o1; inserted KwProgress 1:original; "
                             "inserted KwLast 2:last; ");
    EXPECT_EQ(Str(coTarget.GetResId()), "NOISY");
    const char* const pszNotCreated = "Resource of class type\n\n<KwNoSuchComponentClass> could not be created!";
    EXPECT_EQ(coHdl.m_vecMessages, std::vector<std::string> { pszNotCreated });
    // Read into a single entry: the identifier is what variable 21 said,
    // not the class read later; every field is replaced, also by empty.
    TComponent coFull = Entry("Full", "prompt", "full.dll");
    coFull.SetDesc("desc");
    ASSERT_EQ(coHdl.LoadResource("SEL", &coFull, nullptr, 0), &coFull);
    EXPECT_EQ(Fields(coFull), "SEL|KwFileSelector|Selector||qa32flsl.dll|TComponent");
    ASSERT_EQ(coHdl.LoadResource("Bare", &coFull, nullptr, 0), &coFull);
    EXPECT_EQ(Fields(coFull), "Bare|Bare||||TComponent");
    // The record holds the four texts; a variable of another kind or id is
    // passed over.
    EXPECT_EQ(kwtest::RecordBytes(coSel, coDir.File("record.bin")),
              TBytes().Header("TComponent").StringVar(21, "SEL").StringVar(23, "KwFileSelector")
                  .StringVar(24, "Selector").StringVar(25, nullptr).StringVar(26, "qa32flsl.dll").End().Text());
    EXPECT_EQ(coFull.NotifyVariableRead(TResString(27, "x"), nullptr, 0), 0);
    EXPECT_EQ(coFull.NotifyVariableRead(TResLong(25, 5L), nullptr, 0), 0);
    EXPECT_EQ(Fields(coFull), "Bare|Bare||||TComponent");
}
