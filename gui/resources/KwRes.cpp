#include "KwRes.h"

#include "KwResApplication.h"
#include "KwSystem.h"
#include "TFile.h"
#include "TMvc.h"
#include "TOpSystem.h"
#include "TResVar.h"
#include "TUtf8.h"

#include <cstdlib>
#include <cstring>

KW_IMPLEMENT_DYNAMIC_CLASS(KwRes, TResource, "kw25")

namespace {

const char* SkipBlanks(const char* pszText)
{
    while (pszText && *pszText == ' ')
        ++pszText;
    return pszText;
}

int IsEmptyText(const char* pszText)
{
    return !pszText || !*pszText;
}

} // namespace

KwRes::KwRes(const KwRes& coOther)
    : TResource(coOther)
    , m_unKindFlags(static_cast<unsigned short>(coOther.m_unKindFlags & 0xFF))
{
}

KwRes& KwRes::operator=(const KwRes& coOther)
{
    if (this == &coOther)
        return *this;
    TResource::operator=(coOther);
    if (!m_hHandle)
        SetResType(coOther.GetResType());
    return *this;
}

KwRes::~KwRes()
{
    if (IsDynCppReferenceObject())
        return;
    if (m_hHandle && IsRegistered())
        Unregister();
    if ((m_unKindFlags & FlagOwnsAdapter) && pcoKwSys) {
        KwSystem* pcoSys = pcoKwSys;
        delete pcoSys;
    }
}

const char* KwRes::TableOfKind(unsigned char unKind)
{
    switch (unKind) {
    case KindSystem:
        return "SYSTEM";
    case KindMenu:
        return "MENU";
    case KindMenuItem:
        return "MENUITEM";
    case KindTimer:
        return "TIMER";
    default:
        return nullptr;
    }
}

KwHandle KwRes::HashNextFreeHandle() const
{
    if (!pcoKwSys)
        return 0;
    const unsigned char unKind = GetResType();
    if (unKind != KindSystem && unKind != KindMenuItem)
        return 0;
    const KwHashTable* pcoTable = pcoKwSys->GetHash(TableOfKind(unKind));
    // Command ids of menu items travel in 16 bits.
    const KwHandle hLimit = unKind == KindMenuItem ? 0x10000 : KwSystem::GetMaxHandles();
    return pcoTable ? pcoTable->NextFreeHandle(hLimit) : 0;
}

void KwRes::Register()
{
    const char* pszTable = TableOfKind(GetResType());
    KwHashTable* pcoTable = pszTable && pcoKwSys ? pcoKwSys->GetHash(pszTable) : nullptr;
    if (pcoTable)
        pcoTable->Insert(m_hHandle, this);
}

void KwRes::Unregister()
{
    const char* pszTable = TableOfKind(GetResType());
    KwHashTable* pcoTable = pszTable && pcoKwSys ? pcoKwSys->GetHash(pszTable) : nullptr;
    if (pcoTable)
        pcoTable->Remove(m_hHandle, this);
}

void KwRes::SetOwnsAdapter(int nOwns)
{
    if (nOwns)
        m_unKindFlags |= FlagOwnsAdapter;
    else
        m_unKindFlags &= static_cast<unsigned short>(~FlagOwnsAdapter);
}

// Connecting

KwHandle KwRes::Connect(KwHandle hHandle)
{
    if (!hHandle)
        return 0;
    const KwHandle hOld = m_hHandle ? DisConnect() : 0;
    m_hHandle = hHandle;
    if (IsRegistered())
        Register();
    return hOld ? hOld : hHandle;
}

int KwRes::SysConnect(KwHandle hHandle, int nRegister)
{
    if (!hHandle)
        return 0;
    if (m_hHandle)
        DisConnect();
    m_hHandle = hHandle;
    m_unKindFlags |= FlagAttached;
    if (GetResType() && nRegister)
        Register();
    return 1;
}

KwHandle KwRes::DisConnect()
{
    const KwHandle hOld = m_hHandle;
    if (hOld) {
        if (IsRegistered())
            Unregister();
        m_hHandle = 0;
    }
    m_unKindFlags &= static_cast<unsigned short>(~FlagAttached);
    return hOld;
}

void KwRes::Destroy()
{
    TResource::Destroy();
}

// Links (GetLinkByName and GetNotificationByName are defined with the link
// objects, in KwLink.cpp)

int KwRes::SetDefLink(const char* pszType, const char* pszViewId, const char* pszHandler, int)
{
    pszViewId = SkipBlanks(pszViewId);
    pszHandler = SkipBlanks(pszHandler);
    if (IsEmptyText(pszType) || IsEmptyText(pszViewId) || IsEmptyText(pszHandler))
        return 0;
    return MVC().SetSoftLink(pszType, pszViewId, pszHandler);
}

// The view object is found by its id; the member function is called on it
// as an object of the class named before "::" in the handler name, so
// the link is bound only when the view belongs to that class. A link that
// cannot be bound is left out and told to the debugger output.
int KwRes::SetEventLink(const char* pszType, const char* pszViewId, const char* pszHandler, TResource* pcoParent)
{
    const KwResApplication* pcoApp = KwResApplication::Current();
    if (!pcoApp)
        return 0;
    TDynBase* pcoView = HasResId(pszViewId) && IsClassFamily("KwWnd") ? this : nullptr;
    if (!pcoView && pcoParent)
        pcoView = pcoApp->FindViewWindow(*pcoParent, pszViewId);
    if (!pcoView)
        pcoView = pcoKwSys->GetObj("SYSTEM", pszViewId);
    const TMvcHandler pfnHandler = pcoApp->FindLinkPtr(pszViewId, pszHandler);
    const char* pszWhy = nullptr;
    if (!pfnHandler)
        pszWhy = "no member link table holds it";
    else if (!pcoView)
        pszWhy = "no window has the view id";
    else if (!pcoView->IsClassFamily(HandlerClass(pszHandler)))
        pszWhy = "the view is not of the handler's class";
    if (pszWhy) {
        TString coText;
        pcoKwSys->DebugOutput(coText.SetText("Link %s@%s@%s of <%s> not bound: %s\n", pszType, pszHandler, pszViewId,
                                             static_cast<const char*>(GetResId()), pszWhy));
        return 0;
    }
    return MVC().SetLink(pszType, pcoView, pfnHandler);
}

TString KwRes::HandlerClass(const char* pszHandler)
{
    const char* pszColons = pszHandler ? std::strstr(pszHandler, "::") : nullptr;
    return pszColons ? TString().Strncpy(pszHandler, static_cast<int>(pszColons - pszHandler)) : TString();
}

int KwRes::ReadLink(const char* pszValue, TResource* pcoParent)
{
    const char* pszFirst = std::strchr(pszValue, '@');
    if (!pszFirst || pszFirst == pszValue)
        return 0;
    const char* pszHandler = pszFirst + 1;
    const char* pszSecond = std::strchr(pszHandler, '@');
    if (!pszSecond || pszSecond == pszHandler || !pszSecond[1])
        return 0;
    const TString coType = TString().Strncpy(pszValue, static_cast<int>(pszFirst - pszValue));
    const TString coHandler = TString().Strncpy(pszHandler, static_cast<int>(pszSecond - pszHandler));
    const char* pszViewId = pszSecond + 1;
    const KwResApplication* pcoApp = KwResApplication::Current();
    if (pcoApp && pcoApp->IsLoadForEdit())
        return SetDefLink(coType, pszViewId, coHandler, 0);
    return SetEventLink(coType, SkipBlanks(pszViewId), SkipBlanks(coHandler), pcoParent);
}

// Reading and writing

void KwRes::WriteData(TFile& coFile) const
{
    TResource::WriteData(coFile);
    const TMvc& coMvc = MVC();
    const short nLinks = coMvc.GetSoftLinkCount();
    for (short n = 0; n < nLinks; ++n) {
        TString coViewId;
        TString coHandler;
        const TString coType = coMvc.SoftLinkFromPosition(n, coViewId, coHandler);
        const char* pszViewId = SkipBlanks(coViewId);
        const char* pszHandler = SkipBlanks(coHandler);
        if (coType.IsEmpty() || IsEmptyText(pszViewId) || IsEmptyText(pszHandler))
            continue;
        TString coValue;
        coValue.SetText("%s@%s@%s", static_cast<const char*>(coType), pszHandler, pszViewId);
        TResString(VarLink, coValue).Write(coFile);
    }
}

int KwRes::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    if (TResource::NotifyVariableRead(coVar, pcoParent, ulIndex))
        return 1;
    if (coVar.MyId() != VarLink || coVar.MyType() != TResVar::TypeString)
        return 0;
    const TString coValue = coVar.AsText();
    if (!coValue.IsEmpty())
        ReadLink(coValue, pcoParent);
    return 1;
}

// Uniqueness

int KwRes::CheckUnique(const char* pszTable, TString* pcoProposal) const
{
    if (IsEmptyText(pszTable) || !pcoKwSys)
        return 0;
    const KwHashTable* pcoTable = pcoKwSys->GetHash(pszTable);
    if (!pcoTable)
        return 0;
    const KwRes* pcoHolder = GetResId().IsEmpty() ? nullptr : pcoTable->GetObj(GetResId());
    if (!GetResId().IsEmpty() && (!pcoHolder || pcoHolder == this))
        return 1;
    if (!pcoProposal)
        return 0;
    TString coBase = GetResId();
    if (coBase.IsEmpty())
        coBase.SetText("%s_ID_DEFAULT", pszTable);
    // Through the const conversion only: the writable one would unshare
    // the text and move it away from pszHash.
    const TString& coConstBase = coBase;
    const char* pszBase = coConstBase;
    const char* pszHash = std::strrchr(pszBase, '#');
    int nCounter = 1;
    TString coText = coBase;
    if (coBase.Strlen() < 32 && pszHash) {
        nCounter = std::atoi(pszHash + 1) + 1;
        coText = TString().Strncpy(pszBase, static_cast<int>(pszHash - pszBase));
    } else if (coBase.Strlen() > 25) {
        coText = TString().Strncpy(pszBase, static_cast<int>(TUtf8::Fit(pszBase, std::strlen(pszBase), 25)));
    }
    const TString& coConstText = coText;
    for (; nCounter > 0 && nCounter < 32000; ++nCounter) {
        TString coCandidate;
        coCandidate.SetText("%s#%05d", static_cast<const char*>(coConstText), nCounter);
        if (!pcoTable->GetObj(coCandidate)) {
            *pcoProposal = coCandidate;
            return 0;
        }
    }
    pcoProposal->Empty();
    return 0;
}

void KwRes::ReportReadFault(const char* pszText)
{
    if (const KwResApplication* pcoApp = KwResApplication::Current())
        pcoApp->Message(pszText, "ZORVIK Resource File Manager");
    else
        CurrentOS().Message(pszText, "ZORVIK Resource File Manager");
}

void KwRes::DestroyKwRes(void* pvRes)
{
    if (pvRes)
        static_cast<KwRes*>(pvRes)->Destroy();
}

int KwRes::CompareByHandle(const void* pvA, const void* pvB)
{
    const KwHandle hA = pvA ? static_cast<const KwRes*>(pvA)->GetHandle() : 0;
    const KwHandle hB = pvB ? static_cast<const KwRes*>(pvB)->GetHandle() : 0;
    return hA < hB ? -1 : (hA > hB ? 1 : 0);
}
