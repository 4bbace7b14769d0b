#include "TDynBase.h"
#include "TDynTab.h"
#include "TRefObject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

// Test classes. TLateChild is registered before its base TLateBase, so its
// base slot is still empty when its table is made.
class TLateBase : public TDynBase {
    KW_DYNAMIC_CLASS(TLateBase, TDynBase)
public:
    TLateBase() = default;
};

class TLateChild : public TLateBase {
    KW_DYNAMIC_CLASS(TLateChild, TLateBase)
public:
    TLateChild() = default;
};

KW_IMPLEMENT_DYNAMIC_CLASS(TLateChild, TLateBase, "test")
KW_IMPLEMENT_DYNAMIC_CLASS(TLateBase, TDynBase, "test")

class TProbe : public TDynBase {
    KW_DYNAMIC_CLASS(TProbe, TDynBase)
public:
    TProbe() = default;

    int m_nValue { 7 };

    TDynRet Twice(char* pchArgs) { return TDynArgs(pchArgs).Next<int>() * 2; }
    TDynRet Describe(char* pchArgs)
    {
        // Many arguments of mixed kinds: some travel in registers, the rest
        // on the stack, differently on each ABI.
        TDynArgs args(pchArgs);
        m_sText.clear();
        for (int i = 0; i < 4; ++i) {
            m_sText += std::to_string(args.Next<int>()) + ",";
            m_sText += std::to_string(args.Next<double>()) + ",";
        }
        m_sText += args.Next<const char*>();
        m_sText += "," + std::to_string(args.Next<long long>());
        return static_cast<int>(m_sText.size());
    }
    TDynRet Self(char*) { return static_cast<void*>(this); }
    TDynRet Value(char*) { return m_nValue; }
#if defined(_WIN32)
    // Written as Windows code reads its arguments: the char* is the
    // caller's argument area itself.
    TDynRet Sum(char* pchArgs)
    {
        va_list ap = pchArgs;
        const int nFirst = va_arg(ap, int);
        return nFirst + va_arg(ap, int);
    }
#endif

    std::string m_sText;

protected:
    void InitMembers(TOnlyInternalUse) override
    {
        InsertDynFunc<TProbe>("TProbe::Twice", &TProbe::Twice);
        InsertDynFunc<TProbe>("TProbe::Describe", &TProbe::Describe);
        InsertDynFunc<TProbe>("TProbe::Self", &TProbe::Self);
        InsertDynFunc<TProbe>("Unscoped", &TProbe::Value);
        InsertDynFunc<TProbe>("A::B::C", &TProbe::Value);
        InsertDynFunc<TProbe>("", &TProbe::Value);
        InsertDynFunc<TProbe>("TProbe::Empty", nullptr);
#if defined(_WIN32)
        InsertDynFunc<TProbe>("TProbe::Sum", &TProbe::Sum);
#endif
    }
};

class TProbeChild : public TProbe {
    KW_DYNAMIC_CLASS(TProbeChild, TProbe)
public:
    TProbeChild() { m_nValue = 9; }

    TDynRet Name(char*) { return const_cast<char*>("child"); }

protected:
    void InitMembers(TOnlyInternalUse) override { InsertDynFunc<TProbeChild>("TProbeChild::Name", &TProbeChild::Name); }
};

// Registered, but without functions of its own: InitMembers must not copy
// the base's functions into its table.
class TProbeGrandChild : public TProbeChild {
    KW_DYNAMIC_CLASS(TProbeGrandChild, TProbeChild)
public:
    TProbeGrandChild() = default;
};

KW_IMPLEMENT_DYNAMIC_CLASS(TProbe, TDynBase, "test")
KW_IMPLEMENT_DYNAMIC_CLASS(TProbeChild, TProbe, "test")
KW_IMPLEMENT_DYNAMIC_CLASS(TProbeGrandChild, TProbeChild, "test")

namespace {

class TWatcher : public TDynBase {
public:
    void OnDeath(TDynBase* pcoDying) { m_vecSeen.push_back(pcoDying); }
    void OnDeathToo(TDynBase* pcoDying) { m_vecSeen.push_back(pcoDying); }

    std::vector<TDynBase*> m_vecSeen;
};

TDynBase::DestructionHandler Handler(void (TWatcher::*pfn)(TDynBase*))
{
    return static_cast<TDynBase::DestructionHandler>(pfn);
}

} // namespace

TEST(TDynBaseTest, ClassNamesAreFoundCaseInsensitivelyButComparedExactly)
{
    TDynTab const* pcoRoot = TDynBase::GetVTable("tdynbase");
    ASSERT_NE(pcoRoot, nullptr);
    EXPECT_EQ(std::string(pcoRoot->GetClass()) + " " + pcoRoot->GetModule(), "TDynBase kwtl");
    EXPECT_EQ(pcoRoot->BaseVTable(), nullptr);

    TDynBase coPlain;
    EXPECT_EQ(coPlain.IsClass("TDynBase"), 1);
    for (const char* psz : { "tdynbase", "", static_cast<const char*>(nullptr) })
        EXPECT_EQ(coPlain.IsClass(psz), 0) << (psz ? psz : "null");
    EXPECT_EQ(coPlain.GetBaseClassName(), nullptr);
    for (const char* psz : { "", static_cast<const char*>(nullptr), "TNoSuchClass" })
        EXPECT_EQ(TDynBase::GetVTable(psz), nullptr) << (psz ? psz : "null");
    EXPECT_EQ(TDynBase::RTTIDynCreate("TNoSuchClass"), nullptr);
    EXPECT_EQ(TDynBase::GetRuntimeObject(nullptr), nullptr);
    EXPECT_EQ(TDynBase::GetBaseClassName("TNoSuchClass"), nullptr);
    EXPECT_STREQ(TDynBase::GetBaseClassName("trefobject"), "TDynBase");
}

TEST(TDynBaseTest, FamiliesFollowTheBaseSlotsToTheRoot)
{
    TProbeGrandChild coObject;
    EXPECT_EQ(std::string(coObject.GetClassName()) + " " + coObject.GetModuleName() + " " + coObject.GetBaseClassName(),
              "TProbeGrandChild test TProbeChild");
    for (const char* psz : { "TProbeGrandChild", "TProbeChild", "TProbe", "TDynBase" })
        EXPECT_EQ(coObject.IsClassFamily(psz), 1) << psz;
    for (const char* psz : { "tprobe", "TRefObject", "", static_cast<const char*>(nullptr) })
        EXPECT_EQ(coObject.IsClassFamily(psz), 0) << (psz ? psz : "null");
    EXPECT_EQ(coObject.IsClass("TProbeChild"), 0);

    EXPECT_EQ(TDynBase::IsClassFamily("tprobegrandchild", "TProbe"), 1);
    EXPECT_EQ(TDynBase::IsClassFamily("TProbe", "TProbeChild"), 0);
    EXPECT_EQ(TDynBase::IsClassFamily(nullptr, "TDynBase"), 0);
    EXPECT_EQ(TDynBase::IsClassFamily("TNoSuchClass", "TDynBase"), 0);
    EXPECT_EQ(TRefObject().IsClassFamily("TDynBase"), 1);

    // Registered before its base, yet the base is found through the slot.
    TLateChild coLate;
    EXPECT_EQ(coLate.IsClassFamily("TDynBase"), 1);
    EXPECT_STREQ(coLate.GetBaseClassName(), "TLateBase");
}

TEST(TDynBaseTest, DynamicFunctionsAreFoundByShortAndFullNamesThroughBases)
{
    TDynTab const* pcoProbe = TDynBase::GetVTable("TProbe");
    ASSERT_NE(pcoProbe, nullptr);
    // Short names: Twice, Describe, Self, B::C and Empty (and Sum on
    // Windows); "Unscoped" and "" have no short entry.
    std::vector<std::string> expected { "B::C", "Describe", "Empty", "Self", "Twice" };
#if defined(_WIN32)
    expected.insert(expected.begin() + 4, "Sum");
#endif
    const auto unCount = static_cast<unsigned short>(expected.size());
    std::vector<std::string> names;
    for (unsigned short i = 0; i < pcoProbe->DynFuncCount(); ++i)
        names.push_back(pcoProbe->FuncNameFromIndex(i));
    EXPECT_EQ(names, expected);
    EXPECT_EQ(pcoProbe->FuncNameFromIndex(unCount), nullptr);
    EXPECT_EQ(pcoProbe->FuncAddrFromIndex(unCount), nullptr);
    EXPECT_NE(pcoProbe->FuncAddrFromIndex(unCount - 1), nullptr);

    for (const char* psz : { "Twice", "tWiCe", "TProbe::Twice", "tprobe::TWICE", "A::B::C" })
        EXPECT_NE(pcoProbe->FindFunc(psz), nullptr) << psz;
    for (const char* psz : { "Unscoped", "B::C", "", static_cast<const char*>(nullptr), "Name" })
        EXPECT_EQ(pcoProbe->FindFunc(psz), nullptr) << (psz ? psz : "null");

    TDynTab const* pcoGrand = TDynBase::GetVTable("TProbeGrandChild");
    ASSERT_NE(pcoGrand, nullptr);
    EXPECT_EQ(pcoGrand->DynFuncCount(), 0);
    EXPECT_EQ(pcoGrand->FindFunc("Twice"), pcoProbe->FindFunc("Twice"));
    EXPECT_NE(pcoGrand->FindFunc("TProbeChild::Name"), nullptr);
}

TEST(TDynBaseTest, CallPassesVariableArgumentsAndReturnsTheResult)
{
    TProbeChild coChild;
    EXPECT_EQ(static_cast<int>(coChild.Call("TProbe::Twice", -4)), -8);
    EXPECT_EQ(coChild.Call("Self").AsPtr(), &coChild);
    EXPECT_STREQ(static_cast<const char*>(coChild.Call("Name").AsPtr()), "child");

    const int nLen = coChild.Call("describe", 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, "tail", 1234567890123LL);
    EXPECT_EQ(coChild.m_sText, "1,1.500000,2,2.500000,3,3.500000,4,4.500000,tail,1234567890123");
    EXPECT_EQ(nLen, static_cast<int>(coChild.m_sText.size()));
#if defined(_WIN32)
    EXPECT_EQ(static_cast<int>(coChild.Call("Sum", 40, 2)), 42);
#endif
    for (const char* psz : { "NoSuchFunction", "Empty", "", static_cast<const char*>(nullptr) })
        EXPECT_EQ(static_cast<int>(coChild.Call(psz, 1)), 0) << (psz ? psz : "null");

    const TDynBase::DynFunc pfnTwice = static_cast<TDynBase::DynFunc>(&TProbe::Twice);
    EXPECT_EQ(static_cast<int>(coChild.Call(pfnTwice, 50)), 100);
    EXPECT_EQ(static_cast<int>(coChild.Call(TDynBase::DynFunc(nullptr), 50)), 0);
    EXPECT_EQ(static_cast<int>(TDynBase().Call("Twice", 3)), 0);   // a plain TDynBase has no functions
}

TEST(TDynBaseTest, DestructionHandlersFireOnceAndOnlyWhileRegistered)
{
    TWatcher coWatcher;
    TWatcher coOther;
    TDynBase* pcoWatched = new TDynBase;
    EXPECT_EQ(pcoWatched->AddDestructionHandler(&coWatcher, Handler(&TWatcher::OnDeath)), 1);
    EXPECT_EQ(pcoWatched->AddDestructionHandler(&coWatcher, Handler(&TWatcher::OnDeath)), 0);
    EXPECT_EQ(pcoWatched->AddDestructionHandler(&coWatcher, Handler(&TWatcher::OnDeathToo)), 1);
    EXPECT_EQ(pcoWatched->AddDestructionHandler(&coOther, Handler(&TWatcher::OnDeath)), 1);
    EXPECT_EQ(pcoWatched->AddDestructionHandler(nullptr, Handler(&TWatcher::OnDeath)), 0);
    EXPECT_EQ(pcoWatched->AddDestructionHandler(&coOther, nullptr), 0);
    EXPECT_EQ(pcoWatched->HasDestructionHandler(&coOther, Handler(&TWatcher::OnDeathToo)), 0);
    EXPECT_EQ(pcoWatched->RemoveDestructionHandler(&coOther, Handler(&TWatcher::OnDeath)), 1);
    EXPECT_EQ(pcoWatched->RemoveDestructionHandler(&coOther, Handler(&TWatcher::OnDeath)), 0);
    EXPECT_EQ(pcoWatched->HasDestructionHandler(&coOther, Handler(&TWatcher::OnDeath)), 0);
    delete pcoWatched;
    EXPECT_EQ(coWatcher.m_vecSeen, std::vector<TDynBase*>({ pcoWatched, pcoWatched }));
    EXPECT_TRUE(coOther.m_vecSeen.empty());

    // Removing the last handler silences the object; adding again starts a
    // new list.
    coWatcher.m_vecSeen.clear();
    pcoWatched = new TProbe;
    pcoWatched->AddDestructionHandler(&coWatcher, Handler(&TWatcher::OnDeath));
    EXPECT_EQ(pcoWatched->RemoveDestructionHandler(&coWatcher, Handler(&TWatcher::OnDeath)), 1);
    EXPECT_EQ(pcoWatched->RemoveDestructionHandler(&coWatcher, Handler(&TWatcher::OnDeath)), 0);
    EXPECT_EQ(pcoWatched->AddDestructionHandler(&coWatcher, Handler(&TWatcher::OnDeathToo)), 1);
    EXPECT_EQ(pcoWatched->RemoveDestructionHandler(&coWatcher, Handler(&TWatcher::OnDeathToo)), 1);
    delete pcoWatched;
    EXPECT_TRUE(coWatcher.m_vecSeen.empty());

    // Copies and assignments carry no handlers.
    TProbe coSource;
    coSource.AddDestructionHandler(&coWatcher, Handler(&TWatcher::OnDeath));
    TProbe coCopy(coSource);
    coCopy = coSource;
    EXPECT_EQ(coCopy.HasDestructionHandler(&coWatcher, Handler(&TWatcher::OnDeath)), 0);
    coSource.RemoveDestructionHandler(&coWatcher, Handler(&TWatcher::OnDeath));
}

namespace {

// A handler that, while its object dies, takes itself off the list (as an
// MVC link does), removes the next handler and adds one more to the same
// dying object.
class TMeddler : public TDynBase {
public:
    void OnDeath(TDynBase* pcoDying)
    {
        m_vecOrder.push_back("meddler");
        pcoDying->RemoveDestructionHandler(this, static_cast<DestructionHandler>(&TMeddler::OnDeath));
        pcoDying->RemoveDestructionHandler(m_pcoVictim, static_cast<DestructionHandler>(&TWatcher::OnDeath));
        pcoDying->AddDestructionHandler(m_pcoLate, static_cast<DestructionHandler>(&TWatcher::OnDeathToo));
    }

    TWatcher* m_pcoVictim { nullptr };
    TWatcher* m_pcoLate { nullptr };
    std::vector<std::string> m_vecOrder;
};

} // namespace

TEST(TDynBaseTest, HandlersMayChangeTheDyingObjectsList)
{
    TMeddler coMeddler;
    TWatcher coVictim;
    TWatcher coNext;
    TWatcher coLate;
    coMeddler.m_pcoVictim = &coVictim;
    coMeddler.m_pcoLate = &coLate;
    TDynBase* pcoWatched = new TDynBase;
    pcoWatched->AddDestructionHandler(&coMeddler, static_cast<TDynBase::DestructionHandler>(&TMeddler::OnDeath));
    pcoWatched->AddDestructionHandler(&coVictim, Handler(&TWatcher::OnDeath));
    pcoWatched->AddDestructionHandler(&coNext, Handler(&TWatcher::OnDeath));
    delete pcoWatched;
    EXPECT_EQ(coMeddler.m_vecOrder.size(), 1u);
    EXPECT_TRUE(coVictim.m_vecSeen.empty());
    EXPECT_EQ(coNext.m_vecSeen, std::vector<TDynBase*>({ pcoWatched }));
    EXPECT_EQ(coLate.m_vecSeen, std::vector<TDynBase*>({ pcoWatched }));
}

TEST(TDynRetTest, NumbersKeepTheirThirtyTwoBitMeaningAndPointersSurvive)
{
    EXPECT_EQ(static_cast<int>(TDynRet(static_cast<char>(-1))), -1);
    EXPECT_EQ(static_cast<unsigned int>(TDynRet(static_cast<unsigned char>(0xff))), 0xffu);
    EXPECT_EQ(static_cast<unsigned int>(TDynRet(static_cast<short>(-2))), 0xfffffffeu);
    EXPECT_EQ(static_cast<unsigned int>(TDynRet(static_cast<unsigned short>(0xfffe))), 0xfffeu);
    EXPECT_EQ(static_cast<long>(TDynRet(-5L)), -5L);
    EXPECT_EQ(static_cast<unsigned long>(TDynRet(-1)), 0xfffffffful);
    EXPECT_EQ(static_cast<short>(TDynRet(0x12345)), 0x2345);
    EXPECT_EQ(static_cast<unsigned char>(TDynRet(0x1ff)), 0xff);
    EXPECT_EQ(static_cast<int>(TDynRet()), 0);
    EXPECT_EQ(TDynRet().AsPtr(), nullptr);

    EXPECT_EQ(static_cast<float>(TDynRet(2.25f)), 2.25f);
    EXPECT_EQ(static_cast<double>(TDynRet(0.1)), static_cast<double>(0.1f));

    int nHere = 0;
    TDynRet coCopy;
    coCopy = TDynRet(static_cast<void*>(&nHere));
    EXPECT_EQ(coCopy.AsPtr(), &nHere);
}
