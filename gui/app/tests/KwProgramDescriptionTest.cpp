#include "KwApp.h"
#include "KwProgramDescription.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class TTableOwner : public TDynBase {
public:
    int LnkOk(TMvcParam&) { return 1; }
};

const KwMemberLinkArray s_aLinks[] = {
    { "FW_MAIN", "TTableOwner::LnkOk", static_cast<TMvcHandler>(&TTableOwner::LnkOk) },
    { nullptr, "TTableOwner::LnkSkipped", static_cast<TMvcHandler>(&TTableOwner::LnkOk) },
    { nullptr, nullptr, nullptr },
};

} // namespace

TEST(KwProgramDescription, TextReadsBackAsWrittenQuotingOddNames)
{
    KwProgramDescription coWritten;
    coWritten.AddClass("GdvMain", "KwWFrame");
    coWritten.AddClass("KwWFrame", "KwWnd");
    coWritten.AddClass("KwWnd", nullptr);
    coWritten.AddClass("Odd \"Name\" #1", "KwWnd");
    coWritten.AddEvent("KwWnd", "KW_LINK_COMMAND");
    coWritten.AddLink("FW MAIN", "GdvMain::LnkAbout");
    coWritten.AddLink("FW MAIN", "GdvMain::LnkAbout");
    KwProgramDescription coRead;
    const TString coText = coWritten.Text();
    ASSERT_EQ(coRead.Parse(coText, static_cast<size_t>(coText.Strlen()), nullptr), 1) << coText;
    EXPECT_EQ(std::string(coRead.Text()), std::string(coText));
    EXPECT_EQ(coRead.GetLinkCount(), 1u);
    EXPECT_TRUE(coRead.HasLink("FW MAIN", "GdvMain::LnkAbout"));
    EXPECT_FALSE(coRead.HasLink("fw main", "GdvMain::LnkAbout"));   // table entries compare exactly
    EXPECT_STREQ(coRead.ClassName("gdvmain"), "GdvMain");           // class names do not
    EXPECT_TRUE(coRead.IsClassFamily("gdvmain", "KwWnd"));
    EXPECT_FALSE(coRead.IsClassFamily("GdvMain", "kwwnd"));         // families compare exactly
    EXPECT_TRUE(coRead.HasEvent("GdvMain", "kw_link_command"));
    EXPECT_TRUE(coRead.IsChainKnown("Odd \"Name\" #1"));
    coRead.AddClass("Orphan", "Unknown");
    EXPECT_FALSE(coRead.IsChainKnown("Orphan"));
}

TEST(KwProgramDescription, ParseNamesTheFirstLineThatIsNoEntry)
{
    const struct {
        const char* pszText;
        const char* pszError;
    } aCases[] = {
        { "class A -\nlink FW_MAIN\n", "line 2: an entry is a word and two names: class, event or link" },
        { "# comment\n\nwindow A B\n", "line 3: an entry begins with class, event or link" },
        { "link \"FW MAIN A::B\n", "line 1: a quoted name does not end" },
        { "link \"FW\\n\" A::B\n", "line 1: a quoted name does not end, or has an escape other than" },
        { "link \"\" A::B\n", "line 1: an entry is a word and two names" },
    };
    for (const auto& coCase : aCases) {
        KwProgramDescription coDescription;
        TString coError;
        EXPECT_EQ(coDescription.Parse(coCase.pszText, std::strlen(coCase.pszText), &coError), 0) << coCase.pszText;
        EXPECT_EQ(std::string(coError).find(coCase.pszError), 0u) << coError;
    }
}

TEST(KwProgramDescription, ProcessGivesRegisteredClassesEventsAndDeclaredTables)
{
    {
        KwLinkTableDeclaration coDeclared(s_aLinks);
        ASSERT_EQ(KwLinkTableDeclaration::Tables().size(), 1u);
        const KwProgramDescription coProcess = KwProgramDescription::FromProcess();
        EXPECT_TRUE(coProcess.IsClassFamily("KwWFrame", "KwRes"));
        EXPECT_TRUE(coProcess.IsChainKnown("KwWFrame"));
        EXPECT_TRUE(coProcess.HasEvent("KwWFrame", "KW_LINK_COMMAND"));   // announced by KwWnd
        EXPECT_FALSE(coProcess.HasEvent("TResource", "KW_LINK_COMMAND"));
        EXPECT_TRUE(coProcess.HasLink("FW_MAIN", "TTableOwner::LnkOk"));
        EXPECT_EQ(coProcess.TargetsOf("TTableOwner::LnkSkipped").size(), 0u);   // no target: skipped, as the binding does
    }
    EXPECT_TRUE(KwLinkTableDeclaration::Tables().empty());
}
