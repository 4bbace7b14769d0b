#include "TDynBase.h"
#include "TDynTab.h"
#include "TRefObject.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class TProbe : public TDynBase {
    KW_DYNAMIC_CLASS(TProbe, TDynBase)
public:
    TProbe() = default;

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
    TDynRet Value(char*) { return 7; }
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
    TProbeChild() = default;

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

// Each class is registered before its base, whose slot is still empty when
// the class's table is made.
KW_IMPLEMENT_DYNAMIC_CLASS(TProbeGrandChild, TProbeChild, "test")
KW_IMPLEMENT_DYNAMIC_CLASS(TProbeChild, TProbe, "test")
KW_IMPLEMENT_DYNAMIC_CLASS(TProbe, TDynBase, "test")

namespace {

// Records, for every handler that runs, its watcher's name and its own.
class TWatcher : public TDynBase {
public:
    TWatcher(std::string& strLog, const char* pszName) : m_strLog(strLog), m_strName(pszName) {}

    void OnDeath(TDynBase* pcoDying) { Log("OnDeath", pcoDying); }
    void OnDeathToo(TDynBase* pcoDying) { Log("OnDeathToo", pcoDying); }

    TDynBase* m_pcoExpected { nullptr };

private:
    void Log(const char* pszHandler, TDynBase* pcoDying)
    {
        m_strLog += m_strName + "." + pszHandler + (pcoDying == m_pcoExpected ? " " : "(wrong object) ");
    }

    std::string& m_strLog;
    std::string m_strName;
};

const TDynBase::DestructionHandler s_pfnDeath = static_cast<TDynBase::DestructionHandler>(&TWatcher::OnDeath);
const TDynBase::DestructionHandler s_pfnDeathToo = static_cast<TDynBase::DestructionHandler>(&TWatcher::OnDeathToo);

} // namespace

TEST(TDynBaseTest, ClassesAreFoundWithoutCaseAndTheirFamiliesComparedExactly)
{
    TDynTab const* pcoRoot = TDynBase::GetVTable("tdynbase");
    ASSERT_NE(pcoRoot, nullptr);
    EXPECT_EQ(std::string(pcoRoot->GetClass()) + " " + pcoRoot->GetModule(), "TDynBase kwtl");
    EXPECT_EQ(pcoRoot->BaseVTable(), nullptr);
    EXPECT_EQ(TDynBase().GetBaseClassName(), nullptr);
    for (const char* psz : { "", static_cast<const char*>(nullptr), "TNoSuchClass" }) {
        EXPECT_EQ(TDynBase::RTTIDynCreate(psz), nullptr) << (psz ? psz : "null");
        EXPECT_EQ(TDynBase::GetBaseClassName(psz), nullptr) << (psz ? psz : "null");
    }
    EXPECT_STREQ(TDynBase::GetBaseClassName("tprobechild"), "TProbe");

    TProbeGrandChild coObject;
    EXPECT_EQ(std::string(coObject.GetClassName()) + " " + coObject.GetModuleName() + " " + coObject.GetBaseClassName(),
              "TProbeGrandChild test TProbeChild");
    const char* const apszNames[] = { "TProbeGrandChild", "TProbeChild", "TDynBase", "tprobe", "TProbeGrandChil", "",
                                      nullptr };
    std::string strResults;
    for (const char* pszName : apszNames)
        strResults += std::to_string(coObject.IsClass(pszName)) + std::to_string(coObject.IsClassFamily(pszName)) + " ";
    EXPECT_EQ(strResults, "11 01 01 00 00 00 00 ");

    const struct { const char* m_pszClass; const char* m_pszFamily; int m_nExpected; } aFamilies[] = {
        { "tprobegrandchild", "TProbe", 1 }, { "TProbe", "TProbeChild", 0 }, { nullptr, "TDynBase", 0 },
        { "TNoSuchClass", "TDynBase", 0 },   { "TProbeChild", "TDynBase", 1 },
    };
    for (const auto& c : aFamilies)
        EXPECT_EQ(TDynBase::IsClassFamily(c.m_pszClass, c.m_pszFamily), c.m_nExpected) << c.m_pszFamily;
    EXPECT_EQ(TRefObject().IsClassFamily("TDynBase"), 1);
}

TEST(TDynBaseTest, DynamicFunctionsAreListedByShortNameAndFoundThroughBases)
{
    TDynTab const* pcoProbe = TDynBase::GetVTable("TProbe");
    ASSERT_NE(pcoProbe, nullptr);
    // Short names: Twice, Describe, B::C and Empty (and Sum on Windows);
    // "Unscoped" and "" have no short entry.
    std::vector<std::string> expected { "B::C", "Describe", "Empty", "Twice" };
#if defined(_WIN32)
    expected.insert(expected.begin() + 3, "Sum");
#endif
    const auto unCount = static_cast<unsigned short>(expected.size());
    std::vector<std::string> names;
    for (unsigned short i = 0; i < pcoProbe->DynFuncCount(); ++i)
        names.push_back(pcoProbe->FuncNameFromIndex(i));
    EXPECT_EQ(names, expected);
    EXPECT_EQ(pcoProbe->FuncNameFromIndex(unCount), nullptr);
    EXPECT_EQ(pcoProbe->FuncAddrFromIndex(unCount), nullptr);
    EXPECT_NE(pcoProbe->FuncAddrFromIndex(unCount - 1), nullptr);

    TDynTab const* pcoGrand = TDynBase::GetVTable("TProbeGrandChild");
    ASSERT_NE(pcoGrand, nullptr);
    EXPECT_EQ(pcoGrand->DynFuncCount(), 0);
    EXPECT_EQ(pcoGrand->FindFunc("Twice"), pcoProbe->FindFunc("Twice"));
    EXPECT_EQ(pcoGrand->FindFunc(""), nullptr);
    EXPECT_NE(pcoGrand->FindFunc("TProbeChild::Name"), nullptr);
}

TEST(TDynBaseTest, CallFindsTheFunctionPassesVariableArgumentsAndReturnsTheResult)
{
    // A short name finds a scoped function, a scoped name the whole name;
    // neither regards case. A base does not see its child's functions.
    const std::pair<const char*, int> aCalls[] = {
        { "Twice", 42 }, { "tWiCe", 42 }, { "TProbe::Twice", 42 }, { "tprobe::TWICE", 42 }, { "A::B::C", 7 },
        { "Unscoped", 0 }, { "B::C", 0 }, { "", 0 }, { "Name", 0 }, { "NoSuchFunction", 0 }, { "Empty", 0 },
    };
    TProbe coProbe;
    for (const auto& c : aCalls)
        EXPECT_EQ(static_cast<int>(coProbe.Call(c.first, 21)), c.second) << c.first;
    EXPECT_EQ(static_cast<int>(coProbe.Call(static_cast<const char*>(nullptr), 21)), 0);

    TProbeChild coChild;
    EXPECT_EQ(static_cast<int>(coChild.Call("TProbe::Twice", -4)), -8);
    EXPECT_STREQ(static_cast<const char*>(coChild.Call("Name").AsPtr()), "child");
    const int nLen = coChild.Call("describe", 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, "tail", 1234567890123LL);
    EXPECT_EQ(coChild.m_sText, "1,1.500000,2,2.500000,3,3.500000,4,4.500000,tail,1234567890123");
    EXPECT_EQ(nLen, static_cast<int>(coChild.m_sText.size()));
#if defined(_WIN32)
    EXPECT_EQ(static_cast<int>(coChild.Call("Sum", 40, 2)), 42);
#endif
    const TDynBase::DynFunc pfnTwice = static_cast<TDynBase::DynFunc>(&TProbe::Twice);
    EXPECT_EQ(static_cast<int>(coChild.Call(pfnTwice, 50)), 100);
    EXPECT_EQ(static_cast<int>(coChild.Call(TDynBase::DynFunc(nullptr), 50)), 0);
    EXPECT_EQ(static_cast<int>(TDynBase().Call("Twice", 3)), 0);   // a plain TDynBase has no functions
}

TEST(TDynBaseTest, DestructionHandlersFireOnceAndOnlyWhileRegistered)
{
    std::string strLog;
    TWatcher coWatcher(strLog, "watcher");
    TWatcher coOther(strLog, "other");
    TDynBase* pcoWatched = new TDynBase;
    coWatcher.m_pcoExpected = pcoWatched;
    // Added, added twice, a second handler, another watcher, no watcher, no
    // handler; the other watcher's handler removed twice.
    EXPECT_EQ(std::vector<int>({ pcoWatched->AddDestructionHandler(&coWatcher, s_pfnDeath),
                                 pcoWatched->AddDestructionHandler(&coWatcher, s_pfnDeath),
                                 pcoWatched->AddDestructionHandler(&coWatcher, s_pfnDeathToo),
                                 pcoWatched->AddDestructionHandler(&coOther, s_pfnDeath),
                                 pcoWatched->AddDestructionHandler(nullptr, s_pfnDeath),
                                 pcoWatched->AddDestructionHandler(&coOther, nullptr),
                                 pcoWatched->HasDestructionHandler(&coOther, s_pfnDeathToo),
                                 pcoWatched->RemoveDestructionHandler(&coOther, s_pfnDeath),
                                 pcoWatched->RemoveDestructionHandler(&coOther, s_pfnDeath),
                                 pcoWatched->HasDestructionHandler(&coOther, s_pfnDeath) }),
              std::vector<int>({ 1, 0, 1, 1, 0, 0, 0, 1, 0, 0 }));
    delete pcoWatched;
    EXPECT_EQ(strLog, "watcher.OnDeath watcher.OnDeathToo ");

    // Removing the last handler silences the object; adding again starts a
    // new list. Copies and assignments carry no handlers.
    strLog.clear();
    {
        TProbe coSource;
        coSource.AddDestructionHandler(&coWatcher, s_pfnDeath);
        EXPECT_EQ(coSource.RemoveDestructionHandler(&coWatcher, s_pfnDeath), 1);
        EXPECT_EQ(coSource.RemoveDestructionHandler(&coWatcher, s_pfnDeath), 0);
        EXPECT_EQ(coSource.AddDestructionHandler(&coWatcher, s_pfnDeathToo), 1);
        TProbe coCopy(coSource);
        coCopy = coSource;
        EXPECT_EQ(coCopy.HasDestructionHandler(&coWatcher, s_pfnDeathToo), 0);
        EXPECT_EQ(coSource.RemoveDestructionHandler(&coWatcher, s_pfnDeathToo), 1);
    }
    EXPECT_EQ(strLog, "");
}

namespace {

// A handler that, while its object dies, takes itself off the list (as an
// MVC link does), removes the next handler and adds one more to the same
// dying object.
class TMeddler : public TWatcher {
public:
    using TWatcher::TWatcher;

    void OnDeath(TDynBase* pcoDying)
    {
        TWatcher::OnDeath(pcoDying);
        pcoDying->RemoveDestructionHandler(this, static_cast<DestructionHandler>(&TMeddler::OnDeath));
        pcoDying->RemoveDestructionHandler(m_pcoVictim, s_pfnDeath);
        pcoDying->AddDestructionHandler(m_pcoLate, s_pfnDeathToo);
    }

    TWatcher* m_pcoVictim { nullptr };
    TWatcher* m_pcoLate { nullptr };
};

} // namespace

TEST(TDynBaseTest, HandlersMayChangeTheDyingObjectsList)
{
    std::string strLog;
    TMeddler coMeddler(strLog, "meddler");
    TWatcher coVictim(strLog, "victim");
    TWatcher coNext(strLog, "next");
    TWatcher coLate(strLog, "late");
    coMeddler.m_pcoVictim = &coVictim;
    coMeddler.m_pcoLate = &coLate;
    TDynBase* pcoWatched = new TDynBase;
    for (TWatcher* pcoWatcher : std::initializer_list<TWatcher*> { &coMeddler, &coVictim, &coNext, &coLate })
        pcoWatcher->m_pcoExpected = pcoWatched;
    pcoWatched->AddDestructionHandler(&coMeddler, static_cast<TDynBase::DestructionHandler>(&TMeddler::OnDeath));
    pcoWatched->AddDestructionHandler(&coVictim, s_pfnDeath);
    pcoWatched->AddDestructionHandler(&coNext, s_pfnDeath);
    delete pcoWatched;
    EXPECT_EQ(strLog, "meddler.OnDeath next.OnDeath late.OnDeathToo ");
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
