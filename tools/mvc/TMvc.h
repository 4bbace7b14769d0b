#pragma once

#include "TArray.h"
#include "TDynBase.h"
#include "TMvcEventTable.h"
#include "TMvcParam.h"
#include "TString.h"

#include <type_traits>

class TMvc;
class TMvcEvent;
class TMvcEventRef;

// The handler of a link or notification: a member function of the view
// object. Handlers of derived classes are converted with static_cast, or
// passed to the template overloads of TMvc, which convert them.
using TMvcHandler = int (TDynBase::*)(TMvcParam&);

// One view object/handler pair of an event (direct part), and/or the view
// object's identifier and the handler's name as text (soft part). While a
// link has a view object it watches that object's destruction and then
// leaves its event (a link that also has a soft part stays as soft link).
class KWTL_API TMvcLink : public TDynBase {
public:
    ~TMvcLink() override;

    TMvcLink(const TMvcLink&) = delete;
    TMvcLink& operator=(const TMvcLink&) = delete;

    // Parts
    TDynBase* GetViewObject() const { return m_pcoView; }
    TMvcHandler GetHandler() const { return m_pfnHandler; }
    const TString& GetViewObjId() const { return m_coViewObjId; }
    const TString& GetHandlerName() const { return m_coHandlerName; }
    int IsDirect() const { return m_pcoView && m_pfnHandler; }
    int IsSoft() const { return !m_coViewObjId.IsEmpty() && !m_coHandlerName.IsEmpty(); }

    static void Destroy(void* pvLink);

private:
    friend class TMvcEvent;
    friend class TMvc;

    explicit TMvcLink(TMvcEvent* pcoEvent) : m_pcoEvent(pcoEvent) {}

    // Factories: null when memory runs out or the view cannot be watched.
    static TMvcLink* NewDirect(TMvcEvent* pcoEvent, TDynBase* pcoView, TMvcHandler pfnHandler);
    static TMvcLink* NewSoft(TMvcEvent* pcoEvent, const char* pszViewObjId, const char* pszHandlerName);
    static TMvcLink* NewCopy(TMvcEvent* pcoEvent, const TMvcLink& coSource);

    static TDynBase::DestructionHandler WatchHandler();
    int Call(TMvcParam& coParam) const;
    int SetDirect(TDynBase* pcoView, TMvcHandler pfnHandler);
    void SetSoft(const char* pszViewObjId, const char* pszHandlerName);
    void NotifyViewObjectDestroyed(TDynBase* pcoDying);
    void RemoveLink();
    void RemoveSoftLink();
    int IsWhollyEmpty() const { return !m_pcoView && !m_pfnHandler && m_coViewObjId.IsEmpty() && m_coHandlerName.IsEmpty(); }

    TMvcEvent* m_pcoEvent;                 // the event that holds this link
    TDynBase* m_pcoView { nullptr };       // watched, not owned
    TMvcHandler m_pfnHandler { nullptr };
    TString m_coViewObjId;
    TString m_coHandlerName;
};

// The link and notifications of one event type of one TMvc.
class KWTL_API TMvcEvent {
public:
    virtual ~TMvcEvent();

    TMvcEvent& operator=(const TMvcEvent&) = delete;

    // Links
    const TString& GetId() const { return m_coType; }
    TMvcLink* GetLink() const { return m_pcoLink; }
    short GetNotificationCount() const { return static_cast<short>(m_coNotifications.Count()); }
    TMvcLink* GetNotification(short i) const { return static_cast<TMvcLink*>(m_coNotifications.Get(i)); }
    TMvcLink* GetNotification(TDynBase* pcoView, TMvcHandler pfnHandler) const;

    // Calling: the notifications in the order they were added, then the
    // link, whose result is the result of the event.
    int Call(TMvcParam& coParam);
    void CallNotifications(TMvcParam& coParam) { RunNotifications(coParam); }
    int CallLink(TMvcParam& coParam);

    static void Destroy(void* pvEvent);
    // Event type names, case-insensitive.
    static int Compare(const void* pvA, const void* pvB);

private:
    friend class TMvc;
    friend class TMvcLink;

    // One running walk over the notifications. Removals adjust the walk's
    // position so that no notification is skipped or run twice, and the
    // event's destruction tells every walk to stop. A notification that
    // ran and was then moved behind the position is remembered, so that
    // the walk does not run it again.
    class TCallFrame {
    public:
        explicit TCallFrame(TMvcEvent& coEvent);
        ~TCallFrame() { if (m_nAlive) m_pcoEvent->m_pCalls = m_pOuter; }
        TCallFrame(const TCallFrame&) = delete;
        TCallFrame& operator=(const TCallFrame&) = delete;

        TMvcEvent* m_pcoEvent;
        TCallFrame* m_pOuter;
        long m_lNext { 0 };
        int m_nAlive { 1 };
        TArray m_coRanAndMoved { 4, nullptr, nullptr };   // not owned
    };

    explicit TMvcEvent(const char* pszType) : m_coType(pszType) {}
    // A full copy: the link and every notification, in order.
    TMvcEvent(const TMvcEvent& coSource);
    static TMvcEvent* NewCopy(const TMvcEvent& coSource);

    int RunNotifications(TMvcParam& coParam);
    int SetLink(TDynBase* pcoView, TMvcHandler pfnHandler);
    int SetSoftLink(const char* pszViewObjId, const char* pszHandlerName);
    int ReplaceLink(const TMvcLink& coSource);
    void RemoveLink();
    void RemoveSoftLink();
    void DeleteLink();
    int AddNotification(TDynBase* pcoView, TMvcHandler pfnHandler);
    int RemoveNotification(TDynBase* pcoView, TMvcHandler pfnHandler);
    short RemoveObjectNotifications(TDynBase* pcoView);
    short RemoveAllNotifications();
    TMvcLink* DetachNotificationAt(long i);
    void DeleteNotificationAt(long i) { delete DetachNotificationAt(i); }
    void RemoveTMvcLink(TMvcLink* pcoLink);
    void ChangeViewObject(TDynBase* pcoOldView, TDynBase* pcoNewView);
    void ChangeViewObjId(const char* pszOldId, const char* pszNewId, const char* pszNewClass);
    int IsUnused() const { return m_coNotifications.Count() == 0 && (!m_pcoLink || m_pcoLink->IsWhollyEmpty()); }
    int IsComplete() const { return m_nComplete; }

    TString m_coType;
    TMvc* m_pcoHolder { nullptr };                                // the TMvc whose events hold this one
    TArray m_coNotifications { 4, TMvcLink::Destroy, nullptr };   // owns its links, in the order added
    TMvcLink* m_pcoLink { nullptr };                              // owned
    TCallFrame* m_pCalls { nullptr };                             // the innermost running walk
    int m_nComplete { 1 };                                        // 0 when a copy ran out of memory
};

// The events of one object (the owner). Each class that announces events
// has a TMvc member chained to the TMvc of its base-class part, so that the
// most-derived TMvc, reached through the virtual TDynBase::MVC(), covers
// the events of all base classes. Every event type must be declared in the
// event table of the owner's class or of one of its base classes; using an
// undeclared type is reported in a "TMvc Runtime Error" message box.
class KWTL_API TMvc {
public:
    TMvc() = default;
    // The same as Init.
    TMvc(TDynBase& coOwner, TMvc& coBase, TMvcEventTable& coTable, const char* pszOwnerClass);
    virtual ~TMvc();

    TMvc(const TMvc&) = delete;
    TMvc& operator=(const TMvc&) = delete;

    // A base without owner (the dummy of TDynBase::MVC) means no base.
    void Init(TDynBase& coOwner, TMvc& coBase, TMvcEventTable& coTable, const char* pszOwnerClass);

    // Owner and chain
    TDynBase* GetOwner() const { return m_pcoOwner; }
    const TString& GetOwnerClass() const { return m_coOwnerClass; }
    TMvc* GetBaseMvc() const { return m_pcoBase; }
    TMvcEventTable* GetEventTable() const { return m_pcoEventTable; }
    // The events of this TMvc only, in type order.
    short GetEventCount() const { return static_cast<short>(m_coEvents.Count()); }
    TMvcEvent* GetEvent(short i) const { return static_cast<TMvcEvent*>(m_coEvents.Get(i)); }

    // Links
    int SetLink(const char* pszEventType, TDynBase* pcoView, TMvcHandler pfnHandler);
    template <class V, class H>
    int SetLink(const char* pszEventType, V* pcoView, int (H::*pfnHandler)(TMvcParam&))
    {
        return SetLink(pszEventType, static_cast<TDynBase*>(pcoView), ToHandler<V, H>(pfnHandler));
    }
    void RemoveLink(const char* pszEventType);
    void RemoveAllLinks();
    int HasLink(const char* pszEventType) const;

    // Soft links
    int SetSoftLink(const char* pszEventType, const char* pszViewObjId, const char* pszHandlerName);
    void RemoveSoftLink(const char* pszEventType);
    void RemoveAllSoftLinks();
    short GetSoftLinkCount() const;
    TString SoftLinkFromPosition(short n, TString& coViewObjId, TString& coHandlerName) const;
    int SoftLinkFromType(const char* pszEventType, TString& coViewObjId, TString& coHandlerName) const;

    // Notifications
    int AddNotification(const char* pszEventType, TDynBase* pcoView, TMvcHandler pfnHandler);
    template <class V, class H>
    int AddNotification(const char* pszEventType, V* pcoView, int (H::*pfnHandler)(TMvcParam&))
    {
        return AddNotification(pszEventType, static_cast<TDynBase*>(pcoView), ToHandler<V, H>(pfnHandler));
    }
    int RemoveNotification(const char* pszEventType, TDynBase* pcoView, TMvcHandler pfnHandler);
    template <class V, class H>
    int RemoveNotification(const char* pszEventType, V* pcoView, int (H::*pfnHandler)(TMvcParam&))
    {
        return RemoveNotification(pszEventType, static_cast<TDynBase*>(pcoView), ToHandler<V, H>(pfnHandler));
    }
    int HasNotification(const char* pszEventType) const;
    short RemoveObjectNotifications(TDynBase* pcoView);
    short RemoveEventNotifications(const char* pszEventType);
    short RemoveAllNotifications();

    // Calling: the notifications (results ignored), then the link, whose
    // result is returned; 0 when nothing is linked.
    int Call(const char* pszEventType, TMvcParam& coParam);
    void CallNotifications(const char* pszEventType, TMvcParam& coParam);
    int CallLink(const char* pszEventType, TMvcParam& coParam);

    // Events asked for on every message. A type named by a constant text
    // (a literal) is looked up by name once; after that its address finds
    // the event, until ChangeCount() moves. Null when the chain has no
    // event of the type; a type nobody declared is not reported here.
    TMvcEvent* FindConstType(const char* pszConstType) const;
    // Call for a constant type: 0 when the chain has no event of it.
    int CallConstType(const char* pszConstType, TMvcParam& coParam);
    // What Call, CallNotifications and CallLink do with the event they
    // found: the parameter names the event and its table during the call.
    static int CallEvent(TMvcEvent& coEvent, TMvcParam& coParam);
    static void CallEventNotifications(TMvcEvent& coEvent, TMvcParam& coParam);
    static int CallEventLink(TMvcEvent& coEvent, TMvcParam& coParam);
    // Moves whenever what a lookup by type name answers may change: an
    // event made or deleted in any TMvc, a TMvc with events destroyed or
    // chained anew, an event table registered or unregistered (a library
    // loaded or unloaded). Found events are kept only while it stays.
    static unsigned long long ChangeCount();

    // Copying and re-targeting
    void CopyEvents(const TMvc& coSource, int nSoftOnly, int nReportUndeclared, int nReplaceLinks, int nClearFirst);
    void ViewObjectChanged(TDynBase* pcoOldView, TDynBase* pcoNewView);
    void ViewObjectChanged(const char* pszOldId, const char* pszNewId, const char* pszNewClass);

    // Registry of the event tables of all loaded classes
    static void RegisterEventTable(TMvcEventTable& coTable);
    static void UnregisterEventTable(TMvcEventTable& coTable);
    static short GetEventTableCount();
    static TMvcEventTable* GetEventTable(short i);
    static TMvcEventTable* FindEventTable(const char* pszOwnerClass);
    static TString GetClassFromEvent(const char* pszEventType);

private:
    friend class TDynBase;
    friend class TMvcEventRef;

    enum class TCallPart { All, Notifications, Link };

    // The events found for constant type names, by the names' addresses.
    struct TConstTypes {
        static constexpr int Size = 16;
        const char* apszType[Size] {};
        TMvcEvent* apcoEvent[Size] {};
        unsigned long long ullCount { 0 };   // the ChangeCount() they were found at
        int nNext { 0 };                     // the entry a new name takes
    };

    template <class V, class H>
    static TMvcHandler ToHandler(int (H::*pfnHandler)(TMvcParam&))
    {
        static_assert(std::is_base_of_v<TDynBase, H> && std::is_base_of_v<H, V>,
                      "the handler must be a member of the view object's class, derived from TDynBase");
        return static_cast<TMvcHandler>(pfnHandler);
    }

    TMvcEvent* GetEventManager(const char* pszEventType, TMvc** ppcoWhere) const;
    TMvcEventDef* GetEventDefinition(const char* pszEventType, TMvc** ppcoWhere) const;
    TMvcEvent* FindOwnEvent(const char* pszEventType) const;
    TMvcEvent* GetOrMakeEvent(const char* pszEventType);
    int InsertEvent(TMvcEvent* pcoEvent);
    void DeleteEvent(TMvcEvent* pcoEvent);
    void DeleteUnusedEvents();
    int CallPart(TCallPart nPart, const char* pszFunction, const char* pszEventType, TMvcParam& coParam);
    static int CallFound(TCallPart nPart, TMvcEvent& coEvent, TMvcParam& coParam);
    static void NoteChange();
    void CopyEvent(const TMvc& coSource, const TMvcEvent& coEvent, int nSoftOnly, int nReportUndeclared,
                   int nReplaceLinks);
    void ReportUndeclared(const TString& coText) const;
    const char* OwnerClass() const { return m_coOwnerClass; }

    TDynBase* m_pcoOwner { nullptr };
    TString m_coOwnerClass;
    TArray m_coEvents { 4, TMvcEvent::Destroy, TMvcEvent::Compare };   // owns its events, sorted by type
    TMvc* m_pcoBase { nullptr };                                       // the base-class part's TMvc
    TMvcEventTable* m_pcoEventTable { nullptr };
    TConstTypes* m_pcoConstTypes { nullptr };                          // owned; made with the first event

    static TArray* m_stpcoArrEvTables;   // owned; the tables, not owned, sorted by owner class
};

// What a lookup of one event type in one TMvc's chain found (the event, or
// that there is none), kept while TMvc::ChangeCount() stays: a link that is
// called again and again looks its event up once. The holder asks with
// the same type every time, and calls Reset when the type changes.
class KWTL_API TMvcEventRef {
public:
    TMvcEvent* Find(const TMvc& coMvc, const char* pszType);
    void Reset() { m_pcoMvc = nullptr; }

private:
    const TMvc* m_pcoMvc { nullptr };
    TMvcEvent* m_pcoEvent { nullptr };
    unsigned long long m_ullCount { 0 };
};

// Declarations of a class X that announces events, inside X's body (next
// to KW_DYNAMIC_CLASS when X is a run-time class too): X's static event
// table m_stcoEvTab, its register function TMvcEventsRegister, its TMvc
// member m_coMvc chained to Base's and the MVC() override. Every
// constructor of X initialises m_coMvc. The source file defines the table
// and the function:
//
//     TMvcEventTable X::m_stcoEvTab { "X", &X::TMvcEventsRegister };
//     void X::TMvcEventsRegister()
//     {
//         m_stcoEvTab.RegisterEventType("MVC_X_CHANGED", "TMvcParam", "X has changed", "");
//     }
//
// Define the table before KW_IMPLEMENT_DYNAMIC_CLASS(X, ...), so that it
// exists when X's reference object is made.
#define KW_MVC_CLASS(X, Base)                                                   \
public:                                                                         \
    TMvc& MVC() const override { return m_coMvc; }                              \
private:                                                                        \
    static TMvcEventTable m_stcoEvTab;                                          \
    static void TMvcEventsRegister();                                           \
    mutable TMvc m_coMvc { *this, this->Base::MVC(), m_stcoEvTab, #X };         \
public:
