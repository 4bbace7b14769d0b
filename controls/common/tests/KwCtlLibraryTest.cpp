#include "KwResFileHelper.h"
#include "TDynBase.h"
#include "TModuleManager.h"
#include "TMvc.h"
#include "TOpSystem.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A resource file names the libraries its classes live in; installing it
// loads them by module name. The classes then exist by name, with their
// module tags and their events, and records naming them are read.
TEST(KwCtlLibraryTest, ControlsAndContentArriveWithTheirLibraries)
{
    const struct { const char* pszModule; const char* pszTag; const char* pszFamily; const char* apszClasses[8]; } aLibraries[] = {
        { "????kctl", "kctl", "KwWChild",
          { "KwSysEdit", "KwSysScrollBar", "KwSysScrollBarVert", "KwCtrlList", "KwListText", "KwComboBox", "KwComboList", nullptr } },
        { "????kcnt", "kcnt", "KwContent", { "KwCntText", nullptr } },
    };
    for (const auto& coLibrary : aLibraries) {
        EXPECT_EQ(TDynBase::GetVTable(coLibrary.apszClasses[0]), nullptr);
        ASSERT_EQ(CurrentOS().ModuleManager().Load(coLibrary.pszModule), 1) << coLibrary.pszModule;
        for (const char* const* ppszClass = coLibrary.apszClasses; *ppszClass; ++ppszClass) {
            std::unique_ptr<TDynBase> pcoMade(TDynBase::RTTIDynCreate(*ppszClass));
            ASSERT_NE(pcoMade, nullptr) << *ppszClass;
            EXPECT_STREQ(pcoMade->GetModuleName(), coLibrary.pszTag) << *ppszClass;
            EXPECT_TRUE(pcoMade->IsClassFamily(coLibrary.pszFamily)) << *ppszClass;
        }
    }
    const TMvcEventTable* pcoTable = TMvc::FindEventTable("KwListText");
    ASSERT_NE(pcoTable, nullptr);
    EXPECT_TRUE(pcoTable->HasEventType("KW_LINK_LISTGETTEXT"));
    EXPECT_TRUE(TMvc::FindEventTable("KwCtrlList")->HasEventType("KW_LINK_LISTSELECT"));
    EXPECT_TRUE(TMvc::FindEventTable("KwComboBox")->HasEventType("KW_LINK_COMBOLISTCOMMAND"));

    // A list made by name, set through its functions called by name,
    // stored and read back by its class name.
    kwtest::TResTempDir coDir("KwCtlLibraryTest");
    {
        std::unique_ptr<TDynBase> pcoList(TDynBase::RTTIDynCreate("KwListText"));
        static_cast<TResource&>(*pcoList).SetResId("LB_BYNAME");
        EXPECT_EQ(static_cast<int>(pcoList->Call("KwCtrlList::SetRange", 25UL, 0)), 1);
        EXPECT_EQ(static_cast<unsigned long>(pcoList->Call("KwCtrlList::GetRange")), 25u);
        kwtest::StoreResources(coDir.File("byname.kwt"), { static_cast<TResource*>(pcoList.get()) });
    }
    {
        TFileHdl coHdl;
        ASSERT_EQ(coHdl.OpenRead(coDir.File("byname.kwt").c_str(), 0, nullptr), TFileHdl::Success);
        std::unique_ptr<TResource> pcoRead(coHdl.LoadResource("LB_BYNAME", nullptr, nullptr, 0));
        ASSERT_NE(pcoRead, nullptr);
        EXPECT_STREQ(pcoRead->GetClassName(), "KwListText");
    }
    for (const auto& coLibrary : aLibraries) {
        EXPECT_EQ(CurrentOS().ModuleManager().Free(coLibrary.pszModule), 1);
        EXPECT_EQ(TDynBase::GetVTable(coLibrary.apszClasses[0]), nullptr);
    }
}
