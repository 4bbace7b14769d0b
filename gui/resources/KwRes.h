#pragma once

#include "Kw25Api.h"
#include "TResource.h"
#include "TString.h"

class KwLink;
class KwMultiLink;
class TFile;

// The base of every GUI object that is a resource and owns a system object
// (windows, drawing objects, device contexts, menus, timers): the system
// handle, the kind that decides in which of the adapter's handle tables the
// object is registered while it has a handle, and the object's links stored
// as text (string variable 22, "event@handler@view").
class KW25_API KwRes : public TResource {
    KW_DYNAMIC_CLASS(KwRes, TResource)
public:
    // Kinds with a handle table
    enum : unsigned char {
        KindSystem = 3,     // "SYSTEM": windows
        KindMenu = 4,       // "MENU"
        KindMenuItem = 5,   // "MENUITEM"
        KindTimer = 7,      // "TIMER"
    };
    // Flags of the high byte
    enum : unsigned short {
        FlagAttached = 0x0200,       // connected to a system object that it does not own
        FlagOwnsAdapter = 0x8000,    // deletes the platform adapter when destroyed
    };
    enum : unsigned short { VarLink = 22 };

    KwRes() = default;
    explicit KwRes(const char* pszId) : TResource(pszId) {}
    ~KwRes() override;

    // Kind and handle
    unsigned char GetResType() const { return static_cast<unsigned char>(m_unKindFlags & 0xFF); }
    void SetResType(unsigned char unKind) { m_unKindFlags = static_cast<unsigned short>((m_unKindFlags & 0xFF00) | unKind); }
    int IsSystemObject() const { return (m_unKindFlags & FlagAttached) ? 1 : 0; }
    KwHandle GetHandle() const { return m_hHandle; }
    // The table name of a kind, or null for kinds without table.
    static const char* TableOfKind(unsigned char unKind);
    // The next free handle of the "SYSTEM" table for kind 3 and of the
    // "MENUITEM" table for kind 5 (command ids: below 0x10000); else 0.
    KwHandle HashNextFreeHandle() const;

    // Links
    // A link object for the object's link (or notifications) of that name,
    // pushed on the link stack; the caller releases it with a
    // _KwAutomaticSeg in the same scope. An empty name gives a static empty
    // link whose Call does nothing.
    KwLink& GetLinkByName(const char* pszName) const;
    KwMultiLink& GetNotificationByName(const char* pszName) const;
    // Stores a link as text only (soft link); leading blanks of view id and
    // handler are skipped, both must remain non-empty.
    int SetDefLink(const char* pszType, const char* pszViewId, const char* pszHandler, int nUnused);
    // Whether no other object of the named table has this object's id; when
    // one has, pcoProposal (if given) receives a free id "name#00001".
    int CheckUnique(const char* pszTable, TString* pcoProposal) const;

    // A fault in what a resource record holds (a picture whose data do not
    // fit, a link that cannot be bound), told once to the user: through
    // the application's message box titled "ZORVIK Resource File Manager",
    // or the system's without application.
    static void ReportReadFault(const char* pszText);
    // The class part of a handler name "Class::Member" (empty without
    // "::").
    static TString HandlerClass(const char* pszHandler);

    // Helpers for arrays of resource objects
    static void DestroyKwRes(void* pvRes);
    static int CompareById(const void* pvA, const void* pvB) { return TResource::CompareById(pvA, pvB); }
    static int CompareByHandle(const void* pvA, const void* pvB);

    // Overridables, in their slot order after those of TResource.
    virtual void SysDelete() {}
    virtual int SysCreate() { return 0; }
    virtual int IsValid() const { return m_hHandle != 0; }
    // Attaches to a system object that the object does not own; registers
    // only when the kind is non-zero and nRegister is set.
    virtual int SysConnect(KwHandle hHandle, int nRegister);
    // Answers the handle of a connection that was ended first (or 0 / the
    // new handle's absence).
    virtual KwHandle Connect(KwHandle hHandle);
    // Ends the connection; answers the old handle.
    virtual KwHandle DisConnect();

    void Destroy() override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwRes(const KwRes& coOther);
    KwRes& operator=(const KwRes& coOther);

    void WriteData(TFile& coFile) const override;
    void SetOwnsAdapter(int nOwns);

private:
    int IsRegistered() const { return m_unKindFlags != 0; }
    void Register();
    void Unregister();
    int SetEventLink(const char* pszType, const char* pszViewId, const char* pszHandler, TResource* pcoParent);
    int ReadLink(const char* pszValue, TResource* pcoParent);

    unsigned short m_unKindFlags { 0 };
    KwHandle m_hHandle { 0 };
};
