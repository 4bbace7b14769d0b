#include "TDynBase.h"
#include "TDynTab.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include "KwWindows.h"
#else
#include <dlfcn.h>
#endif

namespace {

// Loads and frees the probe library with the platform's own calls.
class TLibrary {
public:
    TLibrary()
    {
#if defined(_WIN32)
        m_pvHandle = reinterpret_cast<void*>(LoadLibraryA(KW_PROBE_LIBRARY));
#else
        m_pvHandle = dlopen(KW_PROBE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
#endif
    }
    ~TLibrary() { Free(); }

    bool IsLoaded() const { return m_pvHandle != nullptr; }
    void Free()
    {
        if (!m_pvHandle)
            return;
#if defined(_WIN32)
        FreeLibrary(reinterpret_cast<HMODULE>(m_pvHandle));
#else
        dlclose(m_pvHandle);
#endif
        m_pvHandle = nullptr;
    }

private:
    void* m_pvHandle { nullptr };
};

} // namespace

TEST(TDynLibraryTest, ClassesOfALibraryComeAndGoWithIt)
{
    const short nBefore = TDynBase::VTableCount();
    EXPECT_EQ(TDynBase::RTTIDynCreate("TDllProbe"), nullptr);

    TLibrary coLibrary;
    ASSERT_TRUE(coLibrary.IsLoaded());
    EXPECT_EQ(TDynBase::VTableCount(), nBefore + 2);
    TDynTab const* pcoTab = TDynBase::GetVTable("tdllprobechild");
    ASSERT_NE(pcoTab, nullptr);
    EXPECT_STREQ(pcoTab->GetModule(), "prob");
    EXPECT_EQ(TDynBase::IsClassFamily("TDllProbeChild", "TDllProbe"), 1);

    TDynBase* pcoObject = TDynBase::RTTIDynCreate("TDllProbeChild");
    ASSERT_NE(pcoObject, nullptr);
    EXPECT_EQ(static_cast<int>(pcoObject->Call("Answer")), 42);
    delete pcoObject;                  // its code lives in the library

    coLibrary.Free();
    EXPECT_EQ(TDynBase::VTableCount(), nBefore);
    EXPECT_EQ(TDynBase::GetVTable("TDllProbe"), nullptr);
    EXPECT_EQ(TDynBase::RTTIDynCreate("TDllProbeChild"), nullptr);

    // A second load registers the classes afresh.
    TLibrary coAgain;
    ASSERT_TRUE(coAgain.IsLoaded());
    EXPECT_EQ(TDynBase::VTableCount(), nBefore + 2);
    coAgain.Free();
    EXPECT_EQ(TDynBase::VTableCount(), nBefore);
}
