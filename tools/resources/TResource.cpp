#include "TResource.h"

#include "TCrt.h"
#include "TFile.h"
#include "TLogFile.h"
#include "TResVar.h"

KW_IMPLEMENT_DYNAMIC_CLASS(TResource, TDynBase, "kwtl")

TResource::~TResource() = default;

TResource::TResource(const TResource& coOther) : TDynBase(coOther)
{
    *this = coOther;
}

TResource& TResource::operator=(const TResource& coOther)
{
    m_coResId = coOther.m_coResId;
    m_coCppClass = coOther.m_coCppClass;
    m_unFlags = coOther.m_unFlags;
    m_unWParam = coOther.m_unWParam;
    m_ulLParam = coOther.m_ulLParam;
    return *this;
}

int TResource::HasResId(const char* pszId) const
{
    if (!pszId || m_coResId.IsEmpty())
        return 0;
    return CrtStricmp(m_coResId, pszId) == 0 ? 1 : 0;
}

void TResource::SetWriteable(int nWriteable)
{
    if (nWriteable)
        m_unFlags &= static_cast<unsigned short>(~FlagWriteProtected);
    else
        m_unFlags |= FlagWriteProtected;
}

int TResource::WriteResource(TFile& coFile) const
{
    if (!IsWriteable())
        return 1;
    const char* pszClass = GetPriorityRuntimeClass();
    if (!pszClass || !*pszClass)
        pszClass = IsDynamicClass() ? GetClassName() : nullptr;
    int nResult = coFile->Wushort(MyResType());
    nResult &= coFile->Wstr(pszClass);
    nResult &= coFile->Wstr(m_coCppClass);
    nResult &= coFile->Wushort(m_unWParam);
    nResult &= coFile->Wulong(m_ulLParam);
    WriteData(coFile);
    WriteChildren(coFile);
    nResult &= coFile->Wushort(CodeEnd);
    return nResult;
}

void TResource::WriteData(TFile& coFile) const
{
    TResString(VarResId, m_coResId.IsEmpty() ? nullptr : static_cast<const char*>(m_coResId)).Write(coFile);
}

void TResource::WriteChildren(TFile&) const
{
}

int TResource::NotifyReadBegin()
{
    m_coResId.Empty();
    return 0;
}

int TResource::NotifyReadFinished(TResource*, unsigned long)
{
    return 0;
}

int TResource::NotifyFullReadFinished(TResource*, unsigned long)
{
    return 0;
}

int TResource::NotifyChildReadFinished(TResource*, unsigned long)
{
    return 0;
}

int TResource::NotifyChildFullReadFinished(TResource*, unsigned long)
{
    return 0;
}

// Only a string variable carries the identifier: the text of a character
// variable has no zero byte, and the other kinds have no text at all. A
// variable of another kind under id 21 is passed over.
int TResource::NotifyVariableRead(const TResVar& coVar, TResource*, unsigned long)
{
    if (coVar.MyId() != VarResId || coVar.MyType() != TResVar::TypeString)
        return 0;
    m_coResId = coVar.AsText();
    return 1;
}

void TResource::Destroy()
{
    delete this;
}

int TResource::CompareById(const void* pvA, const void* pvB)
{
    const auto* pcoA = static_cast<const TResource*>(pvA);
    const auto* pcoB = static_cast<const TResource*>(pvB);
    const char* pszA = pcoA ? static_cast<const char*>(pcoA->m_coResId) : "";
    const char* pszB = pcoB ? static_cast<const char*>(pcoB->m_coResId) : "";
    return CrtStricmp(pszA ? pszA : "", pszB ? pszB : "");
}

void TResource::Destroy(void* pvResource)
{
    if (pvResource)
        static_cast<TResource*>(pvResource)->Destroy();
}
