#include "KwWSystem.h"

#include "KwDC.h"
#include "KwMessages.h"
#include "KwSystem.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwWSystem, KwWChild, "kw25")

KwWSystem::KwWSystem(const char* pszName, const char* pszSystemClass)
    : KwWChild(pszName), m_coSystemClass(pszSystemClass)
{
}

KwWSystem::KwWSystem(const char* pszName, const char* pszSystemClass, const KwPoint& coPos, const KwSize& coSize,
                     short nColBord, short nColBack, short nColFore)
    : KwWChild(pszName, coPos, coSize, nColBord, nColBack, nColFore), m_coSystemClass(pszSystemClass)
{
}

KwWSystem::KwWSystem(const KwWSystem& coOther)
    : KwWChild(coOther), m_coSystemClass(coOther.m_coSystemClass)
{
}

KwWSystem::~KwWSystem()
{
    if (!IsDynCppReferenceObject())
        ReleaseSystemWindow();
}

void* KwWSystem::AllocProcZORVIK()
{
    return pcoKwSys ? pcoKwSys->GetSystemControlProc() : nullptr;
}

const char* KwWSystem::Register()
{
    return m_coSystemClass.IsEmpty() ? nullptr : static_cast<const char*>(m_coSystemClass);
}

int KwWSystem::SysCreate(KwWnd* pcoParent)
{
    if (GetHandle())
        return 0;
    if (HasBorderLook())
        SetStyle(GetStyle() | KwStyle::Border);
    if (!KwWChild::SysCreate(pcoParent))
        return 0;
    // A control that cannot be wrapped goes again without messages to the
    // object (which would delete it with its window): the caller keeps it.
    if (!ChangeWindowProcedure()) {
        ReleaseSystemWindow();
        return 0;
    }
    SetResFont(GetResFont(), 0);
    return 1;
}

int KwWSystem::ChangeWindowProcedure()
{
    return pcoKwSys && GetHandle() && pcoKwSys->SubclassControl(*this);
}

void KwWSystem::UseBorder(int nOn, int nRedraw)
{
    KwWChild::UseBorder(nOn, nRedraw);
    if (!GetHandle()) {
        const unsigned long ulStyle = KwWndBase::GetStyle();
        KwWndBase::SetStyle(nOn ? (ulStyle | KwStyle::Border) : (ulStyle & ~KwStyle::Border));
    }
}

void KwWSystem::SetResFont(short nFont, int nRedraw)
{
    KwWChild::SetResFont(nFont, nRedraw);
    if (GetHandle() && pcoKwSys)
        pcoKwSys->ApplyFont(GetHandle(), GetUsedFont(), nRedraw);
}

KwWnd* KwWSystem::Copy() const
{
    return new KwWSystem(*this);
}

int KwWSystem::EvSysPaint(KwDC& coDC)
{
    if (MVC().HasNotification("KW_LINK_PAINT")) {
        KwEventPaint coEvent(this, coDC, nullptr, 0, 0);
        MVC().CallNotifications("KW_LINK_PAINT", coEvent);
    }
    if (!MVC().HasLink("KW_LINK_PAINT"))
        return 0;
    KwEventPaint coEvent(this, coDC, nullptr, 0, 0);
    return MVC().CallLink("KW_LINK_PAINT", coEvent);
}

// The control paints itself first (its own procedure validates the
// window); the links then draw over it.
int KwWSystem::MapPaint(KwMessParam* pcoParam)
{
    EventDefault(pcoParam);
    KwDC coDC(this);
    EvSysPaint(coDC);
    return 1;
}
