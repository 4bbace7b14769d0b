#include "TComponent.h"
#include "TComponentList.h"
#include "TOpSystem.h"
#include "TResVar.h"

#include "KwResFileHelper.h"
#include "KwScratchTest.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

std::string Str(const TString& co) { return static_cast<const char*>(co); }

TComponent Entry(const char* pszClass, const char* pszPrompt, const char* pszDll = "")
{
    TComponent co(pszClass);
    co.SetPrompt(pszPrompt);
    co.SetDll(pszDll);
    return co;
}

// Every field of an entry as one line.
std::string Fields(const TComponent& co)
{
    return "\n" + Str(co.GetResId()) + "|" + Str(co.GetComponentClass()) + "|" + Str(co.GetPrompt()) + "|"
        + Str(co.GetDesc()) + "|" + Str(co.GetDll()) + "|" + co.GetClassName();
}

// The entries of a catalogue in their order: "A:prompt B:prompt ".
std::string Entries(const TComponentList& coList)
{
    std::string text;
    for (long i = 0; i < coList.Count(); ++i)
        text += Str(coList[i]->GetComponentClass()) + ":" + Str(coList[i]->GetPrompt()) + " ";
    return text;
}

// Logs the events of a catalogue as "+A2 " (inserted) and "-A2 " (to be removed): the entry's class and the
// catalogue's count at that moment. Asked to, it removes the first entry it hears the removal of itself.
struct TCatalogueView : public TDynBase {
    explicit TCatalogueView(TComponentList& coList) : m_pcoList(&coList)
    {
        coList.MVC().AddNotification("MVC_COMPONENT_INSERTED", this, &TCatalogueView::OnEvent);
        coList.MVC().AddNotification("MVC_COMPONENT_WILLREMOVE", this, &TCatalogueView::OnEvent);
    }
    int OnEvent(TMvcParam& coParam)
    {
        EXPECT_EQ(&coParam.EventObject(), m_pcoList);
        const TString coClass = static_cast<TMvcParamCompList&>(coParam).Component()->GetComponentClass();
        const bool bInserted = Str(coParam.EventType()) == "MVC_COMPONENT_INSERTED";
        m_text += (bInserted ? "+" : "-") + Str(coClass) + std::to_string(m_pcoList->Count()) + " ";
        if (!bInserted && std::exchange(m_bRemoveOnce, false))
            m_text += "inner " + std::to_string(m_pcoList->Remove(coClass)) + " ";
        return 1;
    }

    TComponentList* m_pcoList;
    bool m_bRemoveOnce { false };
    std::string m_text;
};

// An entry class of its own, which copies of a catalogue keep and which the reader of a file cannot create.
struct TForeignComponent : public TComponent {
    explicit TForeignComponent(const char* pszClass) : TComponent(pszClass) {}
    const char* GetPriorityRuntimeClass() const override { return "KwNoSuchComponentClass"; }
    TComponent* Clone() const override { return new TForeignComponent(*this); }
};

} // namespace

// Windows finds "PATH" as "path" too.
TEST(TComponentTest, TheLibraryIsAFileNameLookedForAlongTheSearchPath)
{
    kwtest::TResTempDir coDir("kw-comp-path");
    kwtest::WriteFileBytes(coDir.File("qa32demo.dll"), "");
    const std::string strList(1, CrtPathListSeparator());
    const std::string strMissing = coDir.File("missing");
    const TString coOldPath = CurrentOS().GetEnvVar("PATH");
    const TString coOldDir = CurrentOS().GetCurrentDirectory();
    ASSERT_EQ(CurrentOS().SetCurrentDirectory(coDir.Path().c_str()), 1);
    // "module:found " for a search path (empty: none) and a library.
    const auto Look = [](const std::string& strPath, const char* pszDll) {
        CurrentOS().SetEnvVar("PATH", strPath.empty() ? nullptr : strPath.c_str());
        TComponent co("KwDemo");
        co.SetDll(pszDll);
        TString coModule("stale");
        const int nFound = co.CheckDllExistance(&coModule);
        return Str(coModule) + ":" + std::to_string(nFound) + " ";
    };
    const std::string strGaps = strList + strMissing + strList + strList + coDir.Path() + CrtPathSeparator() + strList;
    EXPECT_EQ(Look(strGaps, "C:qa32demo.dll") + Look(coDir.Path(), "\\\\server\\share\\????demo.dll")
                  + Look(coDir.Path(), "lib/sub/") + Look("", "qa32demo.dll") + Look(strMissing, "qa32demo.dll")
                  + Look("." + strList + strMissing, "qa32demo.dll"),
              "qa32demo.dll:1 qa32demo.dll:1 :0 qa32demo.dll:0 qa32demo.dll:0 qa32demo.dll:1 ");
    CurrentOS().SetCurrentDirectory(coOldDir);
    CurrentOS().SetEnvVar("PATH", coOldPath.IsEmpty() ? nullptr : static_cast<const char*>(coOldPath));
}

TEST(TComponentListTest, HoldsEachClassOnceInLetterCaseBlindOrderAndAnnouncesEveryChange)
{
    TComponentList coList("LIST");
    TCatalogueView coView(coList);
    coList += Entry("AZB", "upper", "b.dll");
    coList += TForeignComponent("a_b");
    EXPECT_EQ(coList.Add(Entry("azb", "twin")) + coList.Add(TComponent()), 0);
    long lIndex = 0;
    EXPECT_EQ(coList("az", &lIndex), nullptr);
    EXPECT_EQ(lIndex, -1);

    TComponentList coCopy(coList);
    TComponentList coTarget("TARGET");
    coTarget += Entry("Z", "zed");
    TCatalogueView coTargetView(coTarget);
    coTarget = coList;
    coTarget = *&coTarget;
    TComponent coEntry("Other");
    coEntry = *coTarget.Find("azB", nullptr);
    coEntry = *&coEntry;
    coList -= "A_B";
    coTarget[1]->SetPrompt("changed");
    EXPECT_EQ(Entries(coList) + "/ " + Entries(coCopy) + "/ " + Entries(coTarget),
              "AZB:upper / a_b: AZB:upper / a_b: AZB:changed ");
    EXPECT_EQ(Str(coTarget.GetResId()) + Fields(coEntry), "LIST\nAZB|AZB|upper||b.dll|TComponent");
    EXPECT_TRUE(dynamic_cast<TForeignComponent*>(coCopy[0]) && dynamic_cast<TForeignComponent*>(coTarget[0]));

    // A handler may remove the very entry it hears the removal of: the entry is deleted once.
    coTargetView.m_bRemoveOnce = true;
    EXPECT_EQ(coTarget.Remove("a_B"), 1);
    EXPECT_EQ(coTarget.Remove("A_B"), 0);
    EXPECT_EQ(coView.m_text + "/ " + coTargetView.m_text, "+AZB1 +a_b2 -a_b2 / -Z1 +a_b1 +AZB2 -a_b2 -a_b2 inner 1 ");
}

TEST(TComponentListTest, ResourceFilesKeepTheCatalogueAndRefuseWhatItWouldNotHold)
{
    kwtest::TResTempDir coDir("kw-comp-file");
    const std::string strFile = coDir.File("catalog.drf");
    TComponent coSel = Entry("KwFileSelector", "Selector", "qa32flsl.dll");
    coSel.SetResId("SEL");
    // The record holds the four texts.
    EXPECT_EQ(kwtest::RecordBytes(coSel, coDir.File("record.bin")),
              kwtest::TBytes().Header("TComponent").StringVar(21, "SEL").StringVar(23, "KwFileSelector")
                  .StringVar(24, "Selector").StringVar(25, nullptr).StringVar(26, "qa32flsl.dll").End().Text());
    // Besides its entries, the file holds what a catalogue never writes itself: a twin in letter case, an
    // entry without class and one whose class the reader cannot create.
    TComponentList coList("CATALOGUE");
    coList.SetLParam(345678);
    coList += Entry("KwProgress", "Progress", "C:\\bin\\qa32xctl.dll");
    coList += Entry("KwFileSelectorWithAVeryLongClassName0123", "Long", "qa32long.dll");
    coList += TForeignComponent("KwForeign");
    coList += Entry("KwTwin", "twin");
    coList += Entry("KwUnnamed", "unnamed");
    coList[3]->SetComponentClass("kwprogress");
    coList[4]->SetComponentClass("");
    kwtest::StoreResources(strFile, { &coList, &coSel });

    kwtest::TRecordingFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(strFile.c_str(), 0, ""), TFileHdl::Success);
    TComponentList coRead;
    coRead += Entry("Old", "old");
    ASSERT_EQ(coHdl.LoadResource("catalogue", &coRead, nullptr, 0), &coRead);
    ASSERT_EQ(coRead.Count(), 2);
    EXPECT_EQ(std::to_string(coRead.GetLParam()) + Fields(*coRead[0]) + Fields(*coRead[1]),
              "345678\nKwFileSelectorWithAVeryLongClas|KwFileSelectorWithAVeryLongClassName0123|Long||qa32long.dll|"
              "TComponent\nKwProgress|KwProgress|Progress||qa32xctl.dll|TComponent");
    const char* const pszNotCreated = "Resource of class type\n\n<KwNoSuchComponentClass> could not be created!";
    EXPECT_EQ(coHdl.m_vecMessages, std::vector<std::string> { pszNotCreated });
    // Read into an entry, every field is replaced; a variable of another kind or id is passed over.
    TComponent coFull("Full");
    coFull.SetDesc("desc");
    ASSERT_EQ(coHdl.LoadResource("SEL", &coFull, nullptr, 0), &coFull);
    EXPECT_EQ(coFull.NotifyVariableRead(TResString(27, "x"), nullptr, 0), 0);
    EXPECT_EQ(coFull.NotifyVariableRead(TResLong(25, 5L), nullptr, 0), 0);
    EXPECT_EQ(Fields(coFull), "\nSEL|KwFileSelector|Selector||qa32flsl.dll|TComponent");
}
