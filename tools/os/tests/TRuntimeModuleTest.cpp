#include "KwTestTools.h"
#include "TDynBase.h"
#include "TDynTab.h"
#include "TModuleManager.h"
#include "TOpSystem.h"
#include "TRuntimeModule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kwtest::kSep;

// The test module registers this class and a child of it while it is loaded.
bool ProbeRegistered() { return TDynBase::GetVTable("TTestModuleProbe") != nullptr; }

} // namespace

TEST(TRuntimeModuleTest, WildcardNameOnlyForKnownPrefixes)
{
    struct { const char* m_pszName; const char* m_pszExpected; } const aCases[] = {
        { "qa32flsl", "????flsl" }, { "QA32FLSL", "????FLSL" }, { "vo32x", "????x" }, { "abcd", "" },
        { "????flsl", "" }, { "qa3", "" }, { "", "" }, { nullptr, "" },
    };
    for (const auto& c : aCases)
        EXPECT_STREQ(TRuntimeModule::MakeModuleWildcardName(c.m_pszName), c.m_pszExpected) << c.m_pszExpected;
}

// The module's classes come and go with it.
TEST(TRuntimeModuleTest, LoadsAndFreesCountReferencesAndCopiesNeverUnload)
{
    ASSERT_FALSE(ProbeRegistered());
    const short nClasses = TDynBase::VTableCount();
    TRuntimeModule coModule("????tmod");
    EXPECT_EQ(coModule.Free(), 0);                 // not loaded
    ASSERT_EQ(coModule.Load(), 1);
    const intptr_t nHandle = coModule.GetModuleHandle();
    EXPECT_NE(nHandle, 0);
    EXPECT_EQ(TDynBase::VTableCount(), nClasses + 2);
    EXPECT_STREQ(TDynBase::GetVTable("ttestmodulechild")->GetModule(), "tmod");
    EXPECT_EQ(TDynBase::IsClassFamily("TTestModuleChild", "TTestModuleProbe"), 1);
    TDynBase* pcoObject = TDynBase::RTTIDynCreate("TTestModuleChild");
    ASSERT_NE(pcoObject, nullptr);
    EXPECT_EQ(static_cast<int>(pcoObject->Call("Answer")), 42);
    delete pcoObject;                              // its code lives in the module
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
    EXPECT_EQ(TDynBase::VTableCount(), nClasses);
    EXPECT_EQ(TDynBase::RTTIDynCreate("TTestModuleChild"), nullptr);
    EXPECT_EQ(coModule.Free(), 0);

    // Destroying a loaded module unloads it; a directory is used as given.
    const std::string directory = kwtest::ProgramDirectory();
    {
        const std::string path = directory.substr(0, directory.size() - 1);
        TRuntimeModule coScoped("????tmod", path.c_str());
        EXPECT_EQ(std::string(coScoped.GetFileName()), directory + "qa32tmod");
        ASSERT_EQ(coScoped.Load(), 1);
        EXPECT_TRUE(ProbeRegistered());
    }
    EXPECT_FALSE(ProbeRegistered());
    const std::string missing = directory + "no-such-dir" + kSep + "????tmod";
    for (const std::string& name : { missing, std::string(), std::string("????nosuchmodule") }) {
        TRuntimeModule coMissing(name.c_str());
        EXPECT_EQ(coMissing.Load() + coMissing.IsLoaded(), 0) << name;
    }
}

TEST(TRuntimeModuleTest, ManagerFindsModulesByNameWithoutCase)
{
    TModuleManager& coManager = CurrentOS().ModuleManager();
    const long lBefore = coManager.Count();
    EXPECT_EQ(coManager.Load(nullptr) + coManager.Load("") + coManager.Free("") + coManager.Free("????nothere"), 0);
    ASSERT_EQ(coManager.Load("????tmod"), 1);
    TRuntimeModule* pcoModule = coManager.FindModule("????tmod");
    ASSERT_NE(pcoModule, nullptr);
    EXPECT_EQ(coManager.FindModule("????TMod"), pcoModule);
    EXPECT_EQ(coManager.GetModule(lBefore), pcoModule);
    EXPECT_EQ(coManager.GetModule(lBefore + 1), nullptr);
    EXPECT_EQ(coManager.GetModule(-1), nullptr);
    // A second load in other case takes one more reference of the same
    // object; then each free with whether the module is still loaded; the
    // object stays listed and loads again.
    EXPECT_EQ(std::vector<long>({ coManager.Load("????TMOD"), coManager.Count() - lBefore,
                                  pcoModule->GetReferenceCount(), coManager.Free("????tmod"), ProbeRegistered(),
                                  coManager.Free("????tMOD"), ProbeRegistered(), coManager.Free("????tmod"),
                                  coManager.Load("????tmod"), ProbeRegistered(), coManager.Free("????tmod"),
                                  ProbeRegistered() }),
              std::vector<long>({ 1, 1, 2, 1, 1, 1, 0, 0, 1, 1, 1, 0 }));
    EXPECT_EQ(coManager.FindModule("????tmod"), pcoModule);

    // A failed load keeps its module object too.
    EXPECT_EQ(coManager.Load("????nosuchmodule"), 0);
    TRuntimeModule* pcoMissing = coManager.FindModule("????NOSUCHMODULE");
    ASSERT_NE(pcoMissing, nullptr);
    EXPECT_FALSE(pcoMissing->IsLoaded());
    EXPECT_EQ(coManager.Count(), lBefore + 2);
}
