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

// Every field of an entry as one line: "identifier|class|prompt|description|library".
std::string Fields(const TComponent& co)
{
    return "\n" + Str(co.GetResId()) + "|" + Str(co.GetComponentClass()) + "|" + Str(co.GetPrompt()) + "|"
        + Str(co.GetDesc()) + "|" + Str(co.GetDll());
}

std::string Fields(const TComponentList& coList)
{
    std::string text;
    for (long i = 0; i < coList.Count(); ++i)
        text += Fields(*coList[i]);
    return text;
}

// Logs "+A2 " on an insertion and "-A2 " on a removal (class, count); asked to, it removes that entry itself.
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

// An entry written under another class: one of another family, or one the reader cannot create.
struct TForeignComponent : public TComponent {
    TForeignComponent(const char* pszClass, const char* pszWritten) : TComponent(pszClass), m_pszWritten(pszWritten) {}
    const char* GetPriorityRuntimeClass() const override { return m_pszWritten; }
    TComponent* Clone() const override { return new TForeignComponent(*this); }
    const char* m_pszWritten;
};

} // namespace

TEST(TComponentTest, TheLibraryIsAFileNameLookedForAlongTheSearchPath)
{
    kwtest::TResTempDir coDir("kw-comp-path");
    kwtest::WriteFileBytes(coDir.File("qa32demo.dll"), "");
    const std::string strList(1, CrtPathListSeparator());
    const std::string strMissing = coDir.File("missing");
    const TString coOldPath = CurrentOS().GetEnvVar("PATH");
    const TString coOldDir = CurrentOS().GetCurrentDirectory();
    ASSERT_EQ(CurrentOS().SetCurrentDirectory(coDir.Path().c_str()), 1);
    // "module:found " for a search path (empty: none; Windows finds "PATH" as "path") and a library.
    const auto Look = [](const std::string& strPath, const char* pszDll) {
        CurrentOS().SetEnvVar("PATH", strPath.empty() ? nullptr : strPath.c_str());
        TComponent co = Entry("KwDemo", "", pszDll);
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
    coList += Entry("AZB", "upper", "b.dll");
    coList += Entry("a_b", "");
    TComponentList coCopy(coList);
    TComponentList coTarget("TARGET");
    coTarget += Entry("Z", "zed");
    TCatalogueView coView(coTarget);
    coTarget = coList;
    coTarget = *&coTarget;
    EXPECT_EQ(coTarget.Add(Entry("azb", "twin")) + coTarget.Add(TComponent()), 0);
    TComponent& coAzb = *coTarget.Find("azB", nullptr);
    coAzb = Entry("AZB", "changed", "c.dll");
    coAzb = *&coAzb;
    coList -= "A_B";
    EXPECT_EQ(Fields(coList) + Fields(coCopy), "\nAZB|AZB|upper||b.dll\na_b|a_b|||\nAZB|AZB|upper||b.dll");
    EXPECT_EQ(Str(coTarget.GetResId()) + Fields(coTarget), "LIST\na_b|a_b|||\nAZB|AZB|changed||c.dll");

    // A handler may remove the entry it hears the removal of: the entry is deleted once.
    coView.m_bRemoveOnce = true;
    EXPECT_EQ(coTarget.Remove("a_B"), 1);
    EXPECT_EQ(coTarget.Remove("A_B"), 0);
    EXPECT_EQ(coView.m_text, "-Z1 +a_b1 +AZB2 -a_b2 -a_b2 inner 1 ");
}

TEST(TComponentListTest, ResourceFilesKeepTheCatalogueAndRefuseWhatItWouldNotHold)
{
    kwtest::TResTempDir coDir("kw-comp-file");
    TComponentList coList("CATALOGUE");
    for (const char* pszClass : { "KwProgress", "KwFileSelectorWithAVeryLongClassName0123", "KwTwin", "KwUnnamed" })
        coList += Entry(pszClass, pszClass, "C:\\bin\\qa32xctl.dll");
    // What a catalogue never writes: a twin in letter case, an entry without class, foreign records.
    coList += TForeignComponent("KwForeign", "KwNoSuchComponentClass");
    coList += TForeignComponent("KwFormat", "TFmtTextFormat");
    coList[4]->SetComponentClass("kwprogress");
    coList[5]->SetComponentClass("");
    TComponent coSel = Entry("KwFileSelector", "Selector", "qa32flsl.dll");
    coSel.SetResId("SEL");
    kwtest::StoreResources(coDir.File("catalog.drf"), { &coList, &coSel });

    kwtest::TRecordingFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(coDir.File("catalog.drf").c_str(), 0, ""), TFileHdl::Success);
    TComponentList coRead;
    coRead += Entry("Old", "old");
    ASSERT_EQ(coHdl.LoadResource("catalogue", &coRead, nullptr, 0), &coRead);
    EXPECT_EQ(Fields(coRead), "\nKwFileSelectorWithAVeryLongClas|KwFileSelectorWithAVeryLongClassName0123|"
                              "KwFileSelectorWithAVeryLongClassName0123||qa32xctl.dll"
                              "\nKwProgress|KwProgress|KwProgress||qa32xctl.dll");
    const char* const pszNotCreated = "Resource of class type\n\n<KwNoSuchComponentClass> could not be created!";
    EXPECT_EQ(coHdl.m_vecMessages, std::vector<std::string> { pszNotCreated });
    // Read into an entry, every field is replaced; a variable of another kind or id is passed over.
    coSel.SetDesc("desc");
    ASSERT_EQ(coHdl.LoadResource("SEL", &coSel, nullptr, 0), &coSel);
    EXPECT_EQ(coSel.NotifyVariableRead(TResString(27, "x"), nullptr, 0), 0);
    EXPECT_EQ(coSel.NotifyVariableRead(TResLong(25, 5L), nullptr, 0), 0);
    EXPECT_EQ(Fields(coSel), "\nSEL|KwFileSelector|Selector||qa32flsl.dll");
}
