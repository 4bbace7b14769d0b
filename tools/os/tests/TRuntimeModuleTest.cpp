#include "KwTestTools.h"
#include "TDynBase.h"
#include "TModuleManager.h"
#include "TOpSystem.h"
#include "TRuntimeModule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kwtest::kSep;

// The test module registers this class while it is loaded.
bool ProbeRegistered() { return TDynBase::GetVTable("TTestModuleProbe") != nullptr; }

// The test program's directory, which holds the test module, without its
// trailing separator.
std::string ProgramDirectory()
{
    const std::string directory = kwtest::ProgramDirectory();
    return directory.substr(0, directory.size() - 1);
}

} // namespace

TEST(TRuntimeModuleTest, WildcardNameOnlyForKnownPrefixes)
{
    struct { const char* m_pszName; const char* m_pszExpected; } const aCases[] = {
        { "qa32flsl", "????flsl" }, { "QA32FLSL", "????FLSL" }, { "bw32x", "????x" }, { "ww32x", "????x" },
        { "bo32x", "????x" }, { "wo32x", "????x" }, { "io32x", "????x" }, { "vo32x", "????x" }, { "abcd", "" },
        { "????flsl", "" }, { "qa3", "" }, { "", "" }, { nullptr, "" },
    };
    for (const auto& c : aCases)
        EXPECT_STREQ(TRuntimeModule::MakeModuleWildcardName(c.m_pszName), c.m_pszExpected) << (c.m_pszName ? c.m_pszName : "(null)");
}

TEST(TRuntimeModuleTest, LoadsAndFreesCountReferencesAndCopiesNeverUnload)
{
    ASSERT_FALSE(ProbeRegistered());
    TRuntimeModule coModule("????tmod");
    EXPECT_EQ(coModule.Free(), 0);                 // not loaded
    ASSERT_EQ(coModule.Load(), 1);
    const intptr_t nHandle = coModule.GetModuleHandle();
    EXPECT_NE(nHandle, 0);
    EXPECT_TRUE(ProbeRegistered());
    // Two loads, one free: still loaded.
    EXPECT_EQ(std::vector<long>({ coModule.Load(), coModule.GetReferenceCount(), coModule.Free(), ProbeRegistered() }),
              std::vector<long>({ 1, 2, 1, 1 }));
    EXPECT_EQ(coModule.GetModuleHandle(), nHandle);
    {
        TRuntimeModule coCopy(coModule);
        EXPECT_TRUE(coCopy.IsCopy());
        EXPECT_EQ(coCopy.GetModuleHandle(), nHandle);
        EXPECT_EQ(coCopy.Free(), 1);               // the copy lets go of its view only
        EXPECT_FALSE(coCopy.IsLoaded());
        TRuntimeModule coDestroyedLoaded(coModule);
    }
    EXPECT_TRUE(ProbeRegistered());
    EXPECT_EQ(coModule.Free(), 1);
    EXPECT_EQ(coModule.GetModuleHandle() + coModule.GetReferenceCount() + coModule.IsLoaded(), 0);
    EXPECT_FALSE(ProbeRegistered());
    EXPECT_EQ(coModule.Free(), 0);

    // Destroying a loaded module unloads it; a directory is used as given.
    const std::string directory = ProgramDirectory();
    {
        TRuntimeModule coScoped("????tmod", directory.c_str());
        EXPECT_EQ(std::string(coScoped.GetFileName()), directory + kSep + "qa32tmod");
        ASSERT_EQ(coScoped.Load(), 1);
        EXPECT_TRUE(ProbeRegistered());
    }
    EXPECT_FALSE(ProbeRegistered());
    for (const std::string& name : { directory + kSep + "no-such-dir" + kSep + "????tmod", std::string(), std::string("????nosuchmodule") }) {
        TRuntimeModule coMissing(name.c_str());
        EXPECT_EQ(coMissing.Load(), 0) << name;
        EXPECT_FALSE(coMissing.IsLoaded());
    }
}

TEST(TRuntimeModuleTest, ManagerFindsModulesByNameWithoutCase)
{
    TModuleManager& coManager = CurrentOS().ModuleManager();
    const long lBefore = coManager.Count();
    EXPECT_EQ(coManager.Load(nullptr) + coManager.Load("") + coManager.Free("") + coManager.Free("????nothere"), 0);
    EXPECT_EQ(coManager.Count(), lBefore);

    ASSERT_EQ(coManager.Load("????tmod"), 1);
    TRuntimeModule* pcoModule = coManager.FindModule("????tmod");
    ASSERT_NE(pcoModule, nullptr);
    EXPECT_EQ(coManager.Count(), lBefore + 1);
    EXPECT_EQ(coManager.Load("????TMOD"), 1);      // the same object, one more reference
    EXPECT_EQ(coManager.Count(), lBefore + 1);
    EXPECT_EQ(coManager.FindModule("????TMod"), pcoModule);
    EXPECT_EQ(pcoModule->GetReferenceCount(), 2);
    EXPECT_EQ(coManager.GetModule(lBefore), pcoModule);
    EXPECT_EQ(coManager.GetModule(lBefore + 1), nullptr);
    EXPECT_EQ(coManager.GetModule(-1), nullptr);
    EXPECT_TRUE(ProbeRegistered());

    // Each free with whether the module is still loaded.
    EXPECT_EQ(std::vector<int>({ coManager.Free("????tmod"), ProbeRegistered(), coManager.Free("????tMOD"), ProbeRegistered(),
                                 coManager.Free("????tmod") }),
              std::vector<int>({ 1, 1, 1, 0, 0 }));
    // The module object stays listed and loads again.
    EXPECT_EQ(coManager.FindModule("????tmod"), pcoModule);
    EXPECT_EQ(std::vector<int>({ coManager.Load("????tmod"), ProbeRegistered(), coManager.Free("????tmod"), ProbeRegistered() }),
              std::vector<int>({ 1, 1, 1, 0 }));

    // A failed load keeps its module object too.
    EXPECT_EQ(coManager.Load("????nosuchmodule"), 0);
    TRuntimeModule* pcoMissing = coManager.FindModule("????NOSUCHMODULE");
    ASSERT_NE(pcoMissing, nullptr);
    EXPECT_FALSE(pcoMissing->IsLoaded());
    EXPECT_EQ(coManager.Count(), lBefore + 2);
}
