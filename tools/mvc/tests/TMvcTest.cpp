#include "TMvc.h"
#include "TOpSystem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

// Test classes: a model announcing three events, a derived model adding one
// of its own, and a view whose handlers write to a log.
class TTestModel : public TDynBase {
    KW_DYNAMIC_CLASS(TTestModel, TDynBase)
    KW_MVC_CLASS(TTestModel, TDynBase)
public:
    TTestModel() = default;

    int OnOwnEvent(TMvcParam&) { return ++m_nOwnCalls; }
    int m_nOwnCalls { 0 };
};

class TTestDerived : public TTestModel {
    KW_DYNAMIC_CLASS(TTestDerived, TTestModel)
    KW_MVC_CLASS(TTestDerived, TTestModel)
public:
    TTestDerived() = default;
};

TMvcEventTable TTestModel::m_stcoEvTab { "TTestModel", &TTestModel::TMvcEventsRegister };
void TTestModel::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType("MVC_TTESTMODEL_CHANGED", "TMvcParam", "The model has changed", "return 0;");
    m_stcoEvTab.RegisterEventType("MVC_TTESTMODEL_CLOSED", "TMvcParam", "", "");
    m_stcoEvTab.RegisterEventType("MVC_TTESTMODEL_OPENED", "TMvcParam", "", "");
}
KW_IMPLEMENT_DYNAMIC_CLASS(TTestModel, TDynBase, "test")

TMvcEventTable TTestDerived::m_stcoEvTab { "TTestDerived", &TTestDerived::TMvcEventsRegister };
void TTestDerived::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType("MVC_TTESTDERIVED_SAVED", "TMvcParam", "", "");
}
KW_IMPLEMENT_DYNAMIC_CLASS(TTestDerived, TTestModel, "test")

class TTestView : public TDynBase {
    KW_DYNAMIC_CLASS(TTestView, TDynBase)
public:
    TTestView() = default;
    TTestView(const char* pszName, std::string* pLog) : m_sName(pszName), m_pLog(pLog) {}

    int OnFirst(TMvcParam& coParam) { return Record("first", coParam); }
    int OnSecond(TMvcParam& coParam) { return Record("second", coParam); }

    std::string m_sName;
    std::string* m_pLog { nullptr };
    int m_nResult { 0 };
    std::function<void(TMvcParam&)> m_fnThen;   // runs after the log entry

private:
    int Record(const char* pszHandler, TMvcParam& coParam)
    {
        if (m_pLog)
            *m_pLog += (m_pLog->empty() ? "" : " ") + m_sName + "." + pszHandler;
        // m_nResult is read first: the action may delete this view.
        const int nResult = m_nResult;
        if (m_fnThen)
            m_fnThen(coParam);
        return nResult;
    }
};
KW_IMPLEMENT_DYNAMIC_CLASS(TTestView, TDynBase, "test")

namespace {

const char* const CHANGED = "MVC_TTESTMODEL_CHANGED";
const char* const CLOSED = "MVC_TTESTMODEL_CLOSED";
const char* const OPENED = "MVC_TTESTMODEL_OPENED";
const char* const SAVED = "MVC_TTESTDERIVED_SAVED";
const char* const CAPTION = "TMvc Runtime Error";

struct TShown { std::string m_sText; std::string m_sCaption; };
std::vector<TShown> s_vecShown;

void CaptureMessage(const char* pszText, const char* pszCaption)
{
    s_vecShown.push_back({ pszText, pszCaption });
}

class TMvcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        s_vecShown.clear();
        m_pfnPrevious = TOpSystem::SetMessageHandler(CaptureMessage);
    }
    void TearDown() override
    {
        TOpSystem::SetMessageHandler(m_pfnPrevious);
        EXPECT_TRUE(s_vecShown.empty()) << s_vecShown.front().m_sText;
    }

    // The handlers run since the last look, e.g. "v1.first v2.second".
    std::string TakeLog() { return std::exchange(m_strLog, std::string()); }

    std::string m_strLog;
    TTestModel m_coModel;
    TTestView m_coV1 { "v1", &m_strLog };
    TTestView m_coV2 { "v2", &m_strLog };
    TMvcParam m_coParam { m_coModel, 3, 4 };

private:
    TOpSystem::MessageHandler m_pfnPrevious { nullptr };
};

// One line per event of the chain: link (view.handler, soft names) and the
// notifications, e.g. "CHANGED v1.first V1/OnFirst [v2.first]".
std::string Describe(const TMvc& coMvc)
{
    auto Part = [](const TMvcLink* pcoLink) {
        const TTestView* pcoView = static_cast<const TTestView*>(pcoLink->GetViewObject());
        if (!pcoView)
            return std::string("-");
        const bool bFirst = pcoLink->GetHandler() == static_cast<TMvcHandler>(&TTestView::OnFirst);
        return pcoView->m_sName + (bFirst ? ".first" : ".second");
    };
    std::string sText;
    for (const TMvc* pcoMvc = &coMvc; pcoMvc; pcoMvc = pcoMvc->GetBaseMvc()) {
        for (short i = 0; i < pcoMvc->GetEventCount(); ++i) {
            const TMvcEvent* pcoEvent = pcoMvc->GetEvent(i);
            const char* pszType = pcoEvent->GetId();
            sText += std::string(sText.empty() ? "" : "; ") + (std::strrchr(pszType, '_') + 1);
            const TMvcLink* pcoLink = pcoEvent->GetLink();
            sText += " " + (pcoLink ? Part(pcoLink) : std::string("-"));
            sText += " " + (pcoLink && pcoLink->IsSoft() ? std::string(pcoLink->GetViewObjId()) + "/" +
                                                                static_cast<const char*>(pcoLink->GetHandlerName())
                                                          : std::string("-"));
            sText += " [";
            for (short n = 0; n < pcoEvent->GetNotificationCount(); ++n)
                sText += (n ? " " : "") + Part(pcoEvent->GetNotification(n));
            sText += "]";
        }
    }
    return sText;
}

} // namespace

TEST_F(TMvcTest, CallRunsTheNotificationsInOrderThenTheLink)
{
    TMvc& coMvc = m_coModel.MVC();
    m_coV1.m_nResult = 42;
    m_coV2.m_nResult = 7;   // notification results never count
    // Types are found without regard to letter case.
    ASSERT_EQ(coMvc.SetLink(CHANGED, &m_coV1, &TTestView::OnFirst), 1);
    ASSERT_EQ(coMvc.AddNotification("mvc_ttestmodel_changed", &m_coV2, &TTestView::OnFirst), 1);
    ASSERT_EQ(coMvc.AddNotification(CHANGED, &m_coV2, &TTestView::OnSecond), 1);
    EXPECT_EQ(coMvc.AddNotification(CHANGED, &m_coV2, &TTestView::OnFirst), 0);   // same pair again

    // While a handler runs the parameter names the event; a nested call with
    // the same parameter gives it back afterwards.
    std::vector<std::string> vecSeen;
    m_coV1.m_fnThen = [&](TMvcParam& coParam) {
        vecSeen.push_back(static_cast<const char*>(coParam.EventType()));
        coMvc.CallNotifications(CLOSED, coParam);
        vecSeen.push_back(static_cast<const char*>(coParam.EventType()));
        EXPECT_EQ(coParam.EventTable(), coMvc.GetEventTable());
        EXPECT_EQ(&coParam.EventObject(), &m_coModel);
    };
    EXPECT_EQ(coMvc.Call("Mvc_TTestModel_Changed", m_coParam), 42);
    EXPECT_EQ(TakeLog(), "v2.first v2.second v1.first");
    EXPECT_EQ(vecSeen, std::vector<std::string>({ CHANGED, CHANGED }));
    EXPECT_EQ(m_coParam.Event(), nullptr);
    // A parameter made by name is its own event object until it takes over
    // another one's data.
    std::unique_ptr<TDynBase> pcoMade(TDynBase::RTTIDynCreate("tmvcparam"));
    TMvcParam& coMade = static_cast<TMvcParam&>(*pcoMade);
    EXPECT_EQ(&coMade.EventObject(), pcoMade.get());
    coMade = m_coParam;
    EXPECT_EQ(&coMade.EventObject(), &m_coModel);
    EXPECT_EQ(coMade.LParam1() * 10 + coMade.LParam2(), 34);
}

TEST_F(TMvcTest, HandlersMayChangeTheNotificationsOfTheRunningEvent)
{
    TMvc& coMvc = m_coModel.MVC();
    TTestView coV3 { "v3", &m_strLog };

    // Added during the call: runs in the same call.
    m_coV1.m_fnThen = [&](TMvcParam&) { coMvc.AddNotification(CHANGED, &coV3, &TTestView::OnFirst); };
    coMvc.AddNotification(CHANGED, &m_coV1, &TTestView::OnFirst);
    coMvc.AddNotification(CHANGED, &m_coV2, &TTestView::OnFirst);
    coMvc.SetLink(CHANGED, &m_coV2, &TTestView::OnSecond);
    coMvc.Call(CHANGED, m_coParam);
    EXPECT_EQ(TakeLog(), "v1.first v2.first v3.first v2.second");

    // Removing itself does not make the next one be skipped; a removed later
    // one does not run.
    m_coV1.m_fnThen = [&](TMvcParam&) {
        coMvc.RemoveNotification(CHANGED, &m_coV1, &TTestView::OnFirst);
        coMvc.RemoveNotification(CHANGED, &coV3, &TTestView::OnFirst);
    };
    coMvc.Call(CHANGED, m_coParam);
    EXPECT_EQ(TakeLog(), "v1.first v2.first v2.second");

    // Deleting the event or the whole owner stops the call safely.
    coMvc.RemoveLink(CHANGED);
    coMvc.AddNotification(CHANGED, &m_coV1, &TTestView::OnFirst);
    m_coV1.m_fnThen = [&](TMvcParam&) { EXPECT_EQ(coMvc.RemoveEventNotifications(CHANGED), 2); };
    coMvc.Call(CHANGED, m_coParam);
    EXPECT_EQ(TakeLog(), "v2.first v1.first");
    EXPECT_EQ(coMvc.GetEventCount(), 0);

    TTestModel* pcoOwner = new TTestModel;
    pcoOwner->MVC().AddNotification(CLOSED, &m_coV1, &TTestView::OnFirst);
    pcoOwner->MVC().AddNotification(CLOSED, &m_coV2, &TTestView::OnFirst);
    pcoOwner->MVC().SetLink(CLOSED, &m_coV2, &TTestView::OnSecond);
    m_coV1.m_fnThen = [&](TMvcParam&) { delete pcoOwner; };
    EXPECT_EQ(pcoOwner->MVC().Call(CLOSED, m_coParam), 0);
    EXPECT_EQ(TakeLog(), "v1.first");

    // A link handler may delete its own view.
    TTestView* pcoDoomed = new TTestView("doomed", &m_strLog);
    pcoDoomed->m_nResult = 9;
    pcoDoomed->m_fnThen = [&](TMvcParam&) { delete pcoDoomed; };
    coMvc.SetLink(OPENED, pcoDoomed, &TTestView::OnFirst);
    EXPECT_EQ(coMvc.Call(OPENED, m_coParam), 9);
    EXPECT_EQ(coMvc.HasLink(OPENED), 0);
    EXPECT_EQ(TakeLog(), "doomed.first");

    // A view re-targeted after it has run moves to the end, yet the
    // notification runs once in this call.
    m_coV1.m_fnThen = [&](TMvcParam&) { coMvc.ViewObjectChanged(&m_coV1, &coV3); };
    coMvc.AddNotification(CLOSED, &m_coV1, &TTestView::OnFirst);
    coMvc.AddNotification(CLOSED, &m_coV2, &TTestView::OnFirst);
    coMvc.CallNotifications(CLOSED, m_coParam);
    EXPECT_EQ(TakeLog(), "v1.first v2.first");
    coMvc.CallNotifications(CLOSED, m_coParam);
    EXPECT_EQ(TakeLog(), "v2.first v3.first");
}

TEST_F(TMvcTest, ADyingViewLeavesEveryEventButItsSoftLinksStay)
{
    TTestDerived coDerived;
    TMvc& coMvc = coDerived.MVC();
    TTestView* pcoV3 = new TTestView("v3", &m_strLog);
    TTestView* pcoV4 = new TTestView("v4", &m_strLog);
    // OPENED goes to the base part's TMvc, the rest to the derived one.
    ASSERT_EQ(coDerived.TTestModel::MVC().AddNotification(OPENED, pcoV3, &TTestView::OnFirst), 1);
    coMvc.SetLink(CHANGED, pcoV3, &TTestView::OnFirst);
    coMvc.AddNotification(SAVED, pcoV3, &TTestView::OnFirst);
    coMvc.SetLink(CLOSED, pcoV4, &TTestView::OnFirst);
    coMvc.SetSoftLink(CLOSED, "V4", "TTestView::OnFirst");
    coMvc.AddNotification(CLOSED, pcoV3, &TTestView::OnFirst);
    delete pcoV3;
    EXPECT_EQ(Describe(coMvc), "SAVED - - []; CHANGED - - []; CLOSED v4.first V4/TTestView::OnFirst []; OPENED - - []");
    EXPECT_EQ(coMvc.HasNotification(SAVED), 0);
    EXPECT_EQ(coMvc.Call(CLOSED, m_coParam), 0);
    delete pcoV4;
    EXPECT_EQ(Describe(coMvc), "SAVED - - []; CHANGED - - []; CLOSED - V4/TTestView::OnFirst []; OPENED - - []");
    EXPECT_EQ(coMvc.Call(CLOSED, m_coParam), 0);
    EXPECT_EQ(TakeLog(), "v4.first");

    // Owners that die first leave nothing behind in their views, and an
    // object may be its own view.
    TTestView* pcoLate = new TTestView("late", &m_strLog);
    {
        TTestModel coShortLived;
        coShortLived.MVC().SetLink(CHANGED, pcoLate, &TTestView::OnFirst);
        coShortLived.MVC().AddNotification(CLOSED, pcoLate, &TTestView::OnFirst);
        TTestModel* pcoSelf = new TTestModel;
        pcoSelf->MVC().SetLink(CHANGED, pcoSelf, &TTestModel::OnOwnEvent);
        EXPECT_EQ(pcoSelf->MVC().Call(CHANGED, m_coParam), 1);
        delete pcoSelf;
    }
    delete pcoLate;
}

TEST_F(TMvcTest, DirectAndSoftPartsOfALinkAreSetAndRemovedIndependently)
{
    TMvc& coMvc = m_coModel.MVC();
    ASSERT_EQ(coMvc.SetSoftLink(CHANGED, "V1", "TTestView::OnFirst"), 1);
    ASSERT_EQ(coMvc.SetLink(CHANGED, &m_coV1, &TTestView::OnFirst), 1);
    ASSERT_EQ(coMvc.SetLink(CHANGED, &m_coV2, &TTestView::OnSecond), 1);
    EXPECT_EQ(Describe(coMvc), "CHANGED v2.second V1/TTestView::OnFirst []");   // SetLink keeps the names
    coMvc.RemoveLink(CHANGED);   // the soft link stays
    TString coId;
    TString coName;
    EXPECT_EQ(coMvc.SoftLinkFromType(CHANGED, coId, coName), 1);
    EXPECT_EQ(std::string(coId) + "/" + static_cast<const char*>(coName), "V1/TTestView::OnFirst");

    coMvc.SetLink(CHANGED, &m_coV1, &TTestView::OnFirst);
    coMvc.RemoveSoftLink(CHANGED);   // the direct link stays
    EXPECT_EQ(coMvc.SoftLinkFromType(CHANGED, coId, coName), 0);
    EXPECT_EQ(coMvc.CallLink(CHANGED, m_coParam), 0);
    EXPECT_EQ(TakeLog(), "v1.first");
    ASSERT_EQ(coMvc.SetSoftLink(CHANGED, "V9", "TTestView::OnSecond"), 1);
    EXPECT_EQ(Describe(coMvc), "CHANGED v1.first V9/TTestView::OnSecond []");   // SetSoftLink keeps the direct part

    coMvc.RemoveSoftLink(CHANGED);
    coMvc.RemoveLink(CHANGED);
    EXPECT_EQ(coMvc.HasLink(CHANGED), 0);
    EXPECT_EQ(coMvc.GetEventCount(), 1);   // neither removes the event

    // RemoveAll... also drops the events left empty.
    coMvc.SetSoftLink(CLOSED, "A", "OnA");
    coMvc.SetSoftLink(OPENED, "B", "OnB");
    coMvc.SetLink(OPENED, &m_coV1, &TTestView::OnFirst);
    coMvc.RemoveAllSoftLinks();
    EXPECT_EQ(Describe(coMvc), "OPENED v1.first - []");
    coMvc.SetSoftLink(CLOSED, "A", "OnA");
    coMvc.RemoveAllLinks();
    EXPECT_EQ(Describe(coMvc), "CLOSED - A/OnA []");
}

TEST_F(TMvcTest, EventTypesAreDeclaredOncePerTable)
{
    TMvcEventTable coBase("TLocalBase");
    TMvcEventTable coDerived("TLocalDerived");
    struct TCase { const char* m_pszType; const char* m_pszParamType; int m_nExpected; };
    const TCase aCases[] = {
        { "MVC_B", "TMvcParam", 1 }, { "MVC_A", "KwEvent", 1 }, { "mvc_b", "TMvcParam", 0 }, { "MVC_C", "", 0 },
        { "MVC_C", nullptr, 0 }, { "", "TMvcParam", 0 }, { nullptr, "TMvcParam", 0 },
    };
    for (const TCase& coCase : aCases)
        EXPECT_EQ(coBase.RegisterEventType(coCase.m_pszType, coCase.m_pszParamType, "text", "code"), coCase.m_nExpected)
            << (coCase.m_pszType ? coCase.m_pszType : "null");
    EXPECT_EQ(coDerived.RegisterEventType("MVC_B", "TMvcParam", "", ""), 1);   // another table

    ASSERT_EQ(coBase.GetEventTypeCount(), 2);
    const TMvcEventDef coFirst = coBase.GetEventType(0);
    EXPECT_EQ(std::string(coFirst.GetEventType()) + static_cast<const char*>(coFirst.GetParamType()), "MVC_AKwEvent");
    for (const TMvcEventDef& coNone : { coBase.GetEventType(2), coBase.FindEventType("MVC_C") })
        EXPECT_EQ(std::string(coNone.GetEventType()) + static_cast<const char*>(coNone.GetParamType())
                      + static_cast<const char*>(coNone.GetDescription()),
                  "NoneNone");
    EXPECT_EQ(coBase.ChangeEventDescription("mvc_b", "new text"), 1);
    EXPECT_EQ(coBase.ChangeEventDefaultCode("MVC_B", "new code"), 1);
    EXPECT_EQ(coBase.ChangeEventDescription("MVC_C", "x"), 0);
    EXPECT_EQ(coBase.ChangeEventDefaultCode(nullptr, "x"), 0);
    const TMvcEventDef coB = coBase.FindEventType("MVC_B");
    EXPECT_EQ(std::string(coB.GetDescription()) + "|" + static_cast<const char*>(coB.GetDefaultCode()) + "|"
                  + static_cast<const char*>(coDerived.FindEventType("MVC_B").GetDescription()),
              "new text|new code|");
}

TEST_F(TMvcTest, UndeclaredTypesAreReportedOncePerCall)
{
    TDynBase coPlain;   // its MVC() is the dummy: no owner class, no types
    const TMvcHandler pfnHandler = static_cast<TMvcHandler>(&TTestView::OnFirst);
    const void* pvHandler = nullptr;
    std::memcpy(&pvHandler, &pfnHandler, sizeof pvHandler);   // the first word, as the messages print it
    // The call, then the type that none of the owner's classes declares.
    const std::string sNobody = "\n\nUnregistered Event-Type: <MVC_NOBODY> in class <TTestModel>!";
    auto Printed = [&](const char* pszFormat) {
        TString coText;
        coText.SetText(pszFormat, static_cast<const void*>(&m_coV1), pvHandler);
        return std::string(coText);
    };
    const std::pair<std::function<int()>, std::string> aCases[] = {
        { [&] { return m_coModel.MVC().SetLink("MVC_NOBODY", &m_coV1, &TTestView::OnFirst); },
          Printed("TTestModel::TMvc::SetLink(MVC_NOBODY, [class TTestView*] %p, %p)\n\n"
                  " Unregistered Event-Type: <MVC_NOBODY> in class <TTestModel>!") },
        { [&] { return m_coModel.MVC().AddNotification(SAVED, &m_coV1, &TTestView::OnFirst); },
          Printed("TTestModel::TMvc::AddNotification(MVC_TTESTDERIVED_SAVED, [class TTestView*] %p*,%p)\n\n"
                  " Unregistered Event-Type: <MVC_TTESTDERIVED_SAVED> in class <TTestModel>!") },
        { [&] { return m_coModel.MVC().SetSoftLink("MVC_NOBODY", "V1", "TTestView::OnFirst"); },
          "TTestModel::TMvc::SetSoftLink(MVC_NOBODY, V1, TTestView::OnFirst)" + sNobody },
        { [&] { return m_coModel.MVC().Call("MVC_NOBODY", m_coParam); },
          "TTestModel::TMvc::Call(MVC_NOBODY, TMvcParam&)" + sNobody },
        { [&] { m_coModel.MVC().CallNotifications("MVC_NOBODY", m_coParam); return 0; },
          "TTestModel::TMvc::CallNotifications(MVC_NOBODY, TMvcParam&)" + sNobody },
        { [&] { return m_coModel.MVC().CallLink("MVC_NOBODY", m_coParam); },
          "TTestModel::TMvc::CallLink(MVC_NOBODY, TMvcParam&)" + sNobody },
        { [&] { return coPlain.MVC().Call(CHANGED, m_coParam); },
          "::TMvc::Call(MVC_TTESTMODEL_CHANGED, TMvcParam&)\n\n"
          "Unregistered Event-Type: <MVC_TTESTMODEL_CHANGED> in class <>!" },
    };
    for (const auto& coCase : aCases) {
        s_vecShown.clear();
        EXPECT_EQ(coCase.first() + coCase.first(), 0);
        ASSERT_EQ(s_vecShown.size(), 2u) << coCase.second;
        EXPECT_EQ(s_vecShown[1].m_sText + "|" + s_vecShown[1].m_sCaption, coCase.second + "|" + CAPTION);
    }
    EXPECT_EQ(m_coModel.MVC().GetEventCount(), 0);
    EXPECT_EQ(TakeLog(), "");

    // Declared but never linked, and empty arguments: 0, silently.
    s_vecShown.clear();
    TMvc& coMvc = m_coModel.MVC();
    EXPECT_EQ(coMvc.Call(CHANGED, m_coParam) + coMvc.CallLink(CLOSED, m_coParam) + coMvc.Call(nullptr, m_coParam)
                  + coMvc.SetLink("", &m_coV1, &TTestView::OnFirst) + coMvc.SetLink("MVC_NOBODY", &m_coV1, nullptr)
                  + coMvc.AddNotification("MVC_NOBODY", &m_coV1, nullptr)
                  + coMvc.SetSoftLink("MVC_NOBODY", "", "OnFirst")
                  + coMvc.RemoveNotification("MVC_NOBODY", &m_coV1, &TTestView::OnFirst)
                  + coMvc.RemoveEventNotifications("MVC_NOBODY") + coMvc.RemoveObjectNotifications(nullptr),
              0);
    EXPECT_EQ(coMvc.GetEventCount(), 0);
}

TEST_F(TMvcTest, CopyEventsFollowsItsFlags)
{
    TTestView* pcoV3 = new TTestView("v3", &m_strLog);
    TTestModel* pcoSource = new TTestModel;
    TMvc& coSource = pcoSource->MVC();
    coSource.SetLink(CHANGED, &m_coV1, &TTestView::OnFirst);
    coSource.SetSoftLink(CHANGED, "V1", "OnFirst");
    coSource.AddNotification(CHANGED, &m_coV2, &TTestView::OnFirst);
    coSource.AddNotification(CHANGED, pcoV3, &TTestView::OnFirst);
    coSource.SetSoftLink(CLOSED, "V3", "OnSecond");
    struct TCase { int m_nSoftOnly, m_nReplace, m_nClear; const char* m_pszExpected; };
    const TCase aCases[] = {
        { 0, 1, 1, "CHANGED v1.first V1/OnFirst [v2.first v3.first]; CLOSED - V3/OnSecond []" },
        { 0, 0, 0, "CHANGED v3.second - [v2.first v3.first]; CLOSED - V3/OnSecond []; OPENED v2.second - []" },
        { 0, 1, 0, "CHANGED v1.first V1/OnFirst [v2.first v3.first]; CLOSED - V3/OnSecond []; OPENED v2.second - []" },
        { 1, 1, 0, "CHANGED v3.second V1/OnFirst [v2.first]; CLOSED - V3/OnSecond []; OPENED v2.second - []" },
    };
    for (const TCase& coCase : aCases) {
        TTestModel coTarget;
        TMvc& coMvc = coTarget.MVC();
        coMvc.CopyEvents(coMvc, 0, 0, 0, 1);   // onto itself: no change
        coMvc.SetLink(CHANGED, pcoV3, &TTestView::OnSecond);
        coMvc.AddNotification(CHANGED, &m_coV2, &TTestView::OnFirst);
        coMvc.SetLink(OPENED, &m_coV2, &TTestView::OnSecond);
        EXPECT_EQ(Describe(coMvc), "CHANGED v3.second - [v2.first]; OPENED v2.second - []");
        coMvc.CopyEvents(coSource, coCase.m_nSoftOnly, 1, coCase.m_nReplace, coCase.m_nClear);
        EXPECT_EQ(Describe(coMvc), coCase.m_pszExpected)
            << coCase.m_nSoftOnly << coCase.m_nReplace << coCase.m_nClear;
    }

    // The copies are links of their own: they outlive the source and leave
    // when their view dies.
    TTestModel coCopy;
    coCopy.CopyMVC(*pcoSource, 0);
    delete pcoSource;
    delete pcoV3;
    EXPECT_EQ(Describe(coCopy.MVC()), "CHANGED v1.first V1/OnFirst [v2.first]; CLOSED - V3/OnSecond []");
    coCopy.MVC().Call(CHANGED, m_coParam);
    EXPECT_EQ(TakeLog(), "v2.first v1.first");

    // Types the target's classes do not declare are skipped, and reported
    // when asked.
    TTestDerived coDerived;
    coDerived.MVC().AddNotification(SAVED, &m_coV1, &TTestView::OnFirst);
    coDerived.MVC().AddNotification(OPENED, &m_coV2, &TTestView::OnFirst);
    TTestModel coModel;
    coModel.MVC().CopyEvents(coDerived.MVC(), 0, 0, 1, 1);
    EXPECT_TRUE(s_vecShown.empty());
    coModel.MVC().CopyEvents(coDerived.MVC(), 0, 1, 1, 1);
    ASSERT_EQ(s_vecShown.size(), 1u);
    EXPECT_EQ(s_vecShown[0].m_sText, "Error in TTestModel::TMvc::CopyEvents(const TTestDerived::TMvc&):\n\n"
                                     "Tried to install a TMvcEvent object with the unregistered event-type:\n\n"
                                     "<MVC_TTESTDERIVED_SAVED> in class <TTestModel>!");
    EXPECT_EQ(s_vecShown[0].m_sCaption, CAPTION);
    s_vecShown.clear();
    EXPECT_EQ(Describe(coModel.MVC()), "OPENED - - [v2.first]");
    coDerived.MVC().CopyEvents(coModel.MVC(), 0, 1, 1, 0);   // the base's types are declared for it
    EXPECT_EQ(Describe(coDerived.MVC()), "SAVED - - [v1.first]; OPENED - - [v2.first]");
}

TEST_F(TMvcTest, ViewObjectChangedMovesEveryReferenceToTheNewViewOrName)
{
    TTestDerived coDerived;
    TMvc& coMvc = coDerived.MVC();
    TTestView* pcoOld = new TTestView("old", &m_strLog);
    TTestView* pcoNew = new TTestView("new", &m_strLog);
    coMvc.SetLink(CHANGED, pcoOld, &TTestView::OnFirst);
    coMvc.SetSoftLink(CHANGED, "OLD", "TOldView::OnFirst");
    coMvc.AddNotification(CHANGED, pcoOld, &TTestView::OnFirst);
    coMvc.AddNotification(CHANGED, &m_coV2, &TTestView::OnFirst);
    coMvc.AddNotification(CLOSED, pcoNew, &TTestView::OnFirst);
    coMvc.AddNotification(CLOSED, pcoOld, &TTestView::OnFirst);   // the new view has this one already
    coMvc.SetSoftLink(CLOSED, "old", "OnClose");
    coDerived.TTestModel::MVC().AddNotification(OPENED, pcoOld, &TTestView::OnFirst);

    coMvc.ViewObjectChanged(pcoOld, pcoNew);
    delete pcoOld;   // nothing refers to it any more
    EXPECT_EQ(Describe(coMvc), "CHANGED new.first OLD/TOldView::OnFirst [v2.first new.first]; "
                               "CLOSED - old/OnClose [new.first]; OPENED - - [new.first]");
    coMvc.ViewObjectChanged(pcoNew, nullptr);
    delete pcoNew;

    // Soft links are renamed over the chain, their class replaced when given.
    coMvc.ViewObjectChanged("old", "Button2", "TNewView");
    coMvc.ViewObjectChanged("", "Button4", "TOther");
    EXPECT_EQ(Describe(coMvc), "CHANGED - Button2/TNewView::OnFirst [v2.first]; "
                               "CLOSED - Button2/OnClose []; OPENED - - []");
    coMvc.ViewObjectChanged("BUTTON2", nullptr, nullptr);
    EXPECT_EQ(coMvc.GetSoftLinkCount(), 0);
}

TEST_F(TMvcTest, DerivedClassesReachTheirBasesEventsThroughTheChain)
{
    TTestDerived coDerived;
    TDynBase& coAsBase = coDerived;
    TMvc& coMvc = coAsBase.MVC();   // virtual: the most-derived TMvc
    TMvc& coBaseMvc = coDerived.TTestModel::MVC();
    TMvcEventTable* pcoModelTable = TMvc::FindEventTable("TTestModel");

    // A base type without event goes to the derived TMvc; an event that the
    // base part has already is used where it is.
    coMvc.SetLink(CLOSED, &m_coV1, &TTestView::OnFirst);
    coBaseMvc.SetLink(OPENED, &m_coV2, &TTestView::OnSecond);
    coMvc.SetLink(OPENED, &m_coV1, &TTestView::OnSecond);
    coMvc.SetLink(SAVED, &m_coV1, &TTestView::OnFirst);

    std::vector<const TMvcEventTable*> vecTables;
    m_coV1.m_fnThen = [&](TMvcParam& coParam) { vecTables.push_back(coParam.EventTable()); };
    coMvc.Call(OPENED, m_coParam);
    coMvc.Call(SAVED, m_coParam);
    coMvc.Call(CLOSED, m_coParam);
    EXPECT_EQ(vecTables,
              std::vector<const TMvcEventTable*>({ pcoModelTable, coMvc.GetEventTable(), coMvc.GetEventTable() }));
    EXPECT_EQ(TakeLog(), "v1.second v1.first v1.first");

    // Soft links count over the chain, the derived TMvc's first.
    coMvc.SetSoftLink(CLOSED, "C", "OnC");
    coMvc.SetSoftLink(SAVED, "S", "OnS");
    coBaseMvc.SetSoftLink(CHANGED, "B", "OnB");
    EXPECT_EQ(coMvc.GetSoftLinkCount() * 10 + coBaseMvc.GetSoftLinkCount(), 31);
    TString coId;
    TString coName;
    std::string sOrder;
    for (short n = 0; n < 4; ++n) {
        const TString coType = coMvc.SoftLinkFromPosition(n, coId, coName);
        sOrder += std::string(coType) + "=" + static_cast<const char*>(coId) + "/" + static_cast<const char*>(coName);
        sOrder += " ";
    }
    EXPECT_EQ(sOrder, "MVC_TTESTDERIVED_SAVED=S/OnS MVC_TTESTMODEL_CLOSED=C/OnC MVC_TTESTMODEL_CHANGED=B/OnB =/ ");

    coMvc.AddNotification(CHANGED, &m_coV1, &TTestView::OnFirst);
    coMvc.AddNotification(SAVED, &m_coV1, &TTestView::OnFirst);
    coMvc.AddNotification(SAVED, &m_coV2, &TTestView::OnFirst);
    EXPECT_EQ(coMvc.RemoveObjectNotifications(&m_coV1), 2);
    EXPECT_EQ(coMvc.AddNotification(CHANGED, &m_coV1, &TTestView::OnFirst), 1);
    EXPECT_EQ(coMvc.RemoveAllNotifications(), 2);
    EXPECT_EQ(coMvc.GetEventCount(), 2);   // they all have links
}

TEST_F(TMvcTest, EventTablesAreRegisteredOncePerOwnerClass)
{
    const short nBefore = TMvc::GetEventTableCount();
    EXPECT_EQ(TMvc::GetEventTable(nBefore), nullptr);
    {
        // The table is registered before its function runs.
        TMvcEventTable coLocal("TAaaLocal", [] {
            TMvc::FindEventTable("TAaaLocal")->RegisterEventType("MVC_TAAALOCAL_X", "TMvcParam", "", "");
        });
        EXPECT_EQ(coLocal.GetEventTypeCount(), 1);
        EXPECT_STREQ(TMvc::GetClassFromEvent("mvc_taaalocal_x"), "TAaaLocal");
        EXPECT_STREQ(TMvc::GetClassFromEvent("MVC_NOBODY"), "");
        EXPECT_EQ(TMvc::GetEventTableCount(), nBefore + 1);
        EXPECT_EQ(TMvc::FindEventTable("taaalocal"), &coLocal);
        TMvcEventTable coSameName("TAAALOCAL", nullptr);   // not registered: the name is taken
        EXPECT_EQ(TMvc::GetEventTableCount(), nBefore + 1);
        TMvc::RegisterEventTable(coLocal);
        EXPECT_EQ(TMvc::GetEventTableCount(), nBefore + 1);
    }
    EXPECT_EQ(TMvc::GetEventTableCount(), nBefore);
    EXPECT_EQ(TMvc::FindEventTable("TAaaLocal"), nullptr);
}

// An event found once, by a constant name or by a kept reference, is found
// again after every change that can alter it, and a freed one is never
// used (the sanitizers would see it).
TEST_F(TMvcTest, EventsFoundOnceAreFoundAgainAfterEveryChange)
{
    TMvc& coMvc = m_coModel.MVC();
    TMvcEventRef coKept;
    // Both ways, as a window's event and as a kept link call them.
    auto CallBoth = [&] {
        const int nConst = coMvc.CallConstType(CHANGED, m_coParam);
        TMvcEvent* pcoKept = coKept.Find(coMvc, CHANGED);
        const int nKept = pcoKept ? TMvc::CallEvent(*pcoKept, m_coParam) : 0;
        return TakeLog() + " " + std::to_string(nConst) + std::to_string(nKept);
    };
    m_coV1.m_nResult = 1;
    m_coV2.m_nResult = 2;
    EXPECT_EQ(CallBoth(), " 00");   // nothing bound yet: that is kept too
    coMvc.SetLink(CHANGED, &m_coV1, &TTestView::OnFirst);
    EXPECT_EQ(CallBoth(), "v1.first v1.first 11");
    coMvc.SetLink(CHANGED, &m_coV2, &TTestView::OnSecond);   // bound to another view
    EXPECT_EQ(CallBoth(), "v2.second v2.second 22");
    {
        TTestView coGone { "gone", &m_strLog };
        coMvc.SetLink(CHANGED, &coGone, &TTestView::OnFirst);
        coMvc.AddNotification(CHANGED, &coGone, &TTestView::OnSecond);
        EXPECT_EQ(CallBoth(), "gone.second gone.first gone.second gone.first 00");
    }
    EXPECT_EQ(CallBoth(), " 00");   // the target ended: its event stays, empty
    coMvc.RemoveAllLinks();         // the empty event is deleted
    EXPECT_EQ(coMvc.GetEventCount(), 0);
    EXPECT_EQ(CallBoth(), " 00");
    coMvc.AddNotification(CHANGED, &m_coV1, &TTestView::OnSecond);   // a new event
    EXPECT_EQ(CallBoth(), "v1.second v1.second 00");
    TTestModel coSource;
    coSource.MVC().SetLink(CHANGED, &m_coV2, &TTestView::OnFirst);
    coMvc.CopyEvents(coSource.MVC(), 0, 0, 1, 1);   // all events replaced
    EXPECT_EQ(CallBoth(), "v2.first v2.first 22");
    coMvc.RemoveEventNotifications(CHANGED);
    coMvc.RemoveLink(CHANGED);
    EXPECT_EQ(CallBoth(), " 00");

    // Each TMvc of a chain keeps its own: the derived one finds what its
    // base part holds, the base part nothing of the derived one's.
    TTestDerived coDerived;
    TMvc& coBaseMvc = coDerived.TTestModel::MVC();
    coBaseMvc.SetLink(OPENED, &m_coV1, &TTestView::OnFirst);
    EXPECT_NE(coDerived.MVC().FindConstType(OPENED), nullptr);
    coDerived.MVC().SetLink(CLOSED, &m_coV1, &TTestView::OnFirst);
    EXPECT_NE(coDerived.MVC().FindConstType(CLOSED), nullptr);
    EXPECT_EQ(coBaseMvc.FindConstType(CLOSED), nullptr);

    // A library unloaded and another loaded in its place may hold another
    // name at the same address: their event tables going and coming make
    // the names be looked up again.
    coMvc.SetLink(OPENED, &m_coV1, &TTestView::OnFirst);
    coMvc.SetLink(CLOSED, &m_coV2, &TTestView::OnFirst);
    char szName[32];
    std::strcpy(szName, OPENED);
    EXPECT_STREQ(coMvc.FindConstType(szName)->GetId(), OPENED);
    std::strcpy(szName, CLOSED);
    const unsigned long long ullBefore = TMvc::ChangeCount();
    { TMvcEventTable coLibrary("TAaaLibrary", nullptr); }
    EXPECT_EQ(TMvc::ChangeCount(), ullBefore + 2);
    EXPECT_STREQ(coMvc.FindConstType(szName)->GetId(), CLOSED);

    // An owner that ends and another made at its address: what was found
    // in the first one's events is not answered for the second's.
    alignas(TTestModel) unsigned char abyPlace[sizeof(TTestModel)];
    TTestModel* pcoFirst = new (abyPlace) TTestModel;
    pcoFirst->MVC().SetLink(CHANGED, &m_coV1, &TTestView::OnFirst);
    TMvcEventRef coRef;
    EXPECT_NE(coRef.Find(pcoFirst->MVC(), CHANGED), nullptr);
    EXPECT_NE(pcoFirst->MVC().FindConstType(CHANGED), nullptr);
    pcoFirst->~TTestModel();
    TTestModel* pcoSecond = new (abyPlace) TTestModel;
    EXPECT_EQ(coRef.Find(pcoSecond->MVC(), CHANGED), nullptr);
    EXPECT_EQ(pcoSecond->MVC().FindConstType(CHANGED), nullptr);
    pcoSecond->~TTestModel();
}
