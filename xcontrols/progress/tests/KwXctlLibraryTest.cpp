#include "TDynBase.h"
#include "TModuleManager.h"
#include "TMvc.h"
#include "TOpSystem.h"

#include <gtest/gtest.h>

#include <memory>

// A resource file whose include list names the extended controls loads
// them by module name: the program links none of the control libraries.
TEST(KwXctlLibraryTest, ProgressIndicatorArrivesWithItsLibrary)
{
    EXPECT_EQ(TDynBase::GetVTable("KwProgressIndicator"), nullptr);
    ASSERT_EQ(CurrentOS().ModuleManager().Load("????xctl"), 1);
    {
        std::unique_ptr<TDynBase> pcoMade(TDynBase::RTTIDynCreate("KwProgressIndicator"));
        ASSERT_NE(pcoMade, nullptr);
        EXPECT_STREQ(pcoMade->GetModuleName(), "xctl");
        EXPECT_TRUE(pcoMade->IsClassFamily("KwWChild"));
        const TMvcEventTable* pcoTable = TMvc::FindEventTable("KwProgressIndicator");
        ASSERT_NE(pcoTable, nullptr);
        for (const char* pszLink : { "EXTCTRL_LINK_PROGRESSSTARTED", "EXTCTRL_LINK_PROGRESSCHANGED",
                                     "EXTCTRL_LINK_PROGRESSENDED", "EXTCTRL_LINK_PROGRESSCANCELED" })
            EXPECT_TRUE(pcoTable->HasEventType(pszLink)) << pszLink;
    }
    EXPECT_EQ(CurrentOS().ModuleManager().Free("????xctl"), 1);
    EXPECT_EQ(TDynBase::GetVTable("KwProgressIndicator"), nullptr);
}
