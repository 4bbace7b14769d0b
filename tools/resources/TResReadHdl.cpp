#include "TResReadHdl.h"

#include "TFileHdl.h"
#include "TLogFile.h"
#include "TResource.h"
#include "TString.h"

#include <cstdlib>
#include <new>

namespace {

const char* const kEndWithoutObject = "Resource end found without having an\n\nexisting current resource object!";
const char* const kNotCreated = "Resource of class type\n\n<%s> could not be created!";
const char* const kNotFound = "Resource not found!\n\nProgram will exit!";
const char* const kDamaged = "Resource file is damaged!";

// Frees the two class names of a record header whatever way the read ends.
struct THeaderNames {
    char* pszClass { nullptr };
    char* pszCppClass { nullptr };
    ~THeaderNames()
    {
        std::free(pszClass);
        std::free(pszCppClass);
    }
};

} // namespace

namespace {

// The innermost reader running on the thread. Readers live on the stack,
// so they begin and end in strict order.
thread_local TResReadHdl* s_pcoInnermost = nullptr;

} // namespace

TResReadHdl::TResReadHdl(TFileHdl* pcoFileHdl, int nCustomCreate)
    : m_nCustomCreate(nCustomCreate)
    , m_pcoFileHdl(pcoFileHdl)
    , m_unDepth(static_cast<unsigned short>(s_pcoInnermost ? s_pcoInnermost->m_unDepth + 1 : 0))
    , m_pcoOuter(s_pcoInnermost)
{
    s_pcoInnermost = this;
}

TResReadHdl::TResReadHdl(TFileHdl* pcoFileHdl, TResReadHdl* pcoParent, int nCustomCreate)
    : m_pcoParent(pcoParent)
    , m_nCustomCreate(nCustomCreate)
    , m_pcoFileHdl(pcoFileHdl)
    , m_unDepth(static_cast<unsigned short>(pcoParent->m_unDepth + 1))
    , m_llEnd(pcoParent->m_llEnd)
    , m_pcoOuter(s_pcoInnermost)
{
    s_pcoInnermost = this;
}

TResReadHdl::~TResReadHdl()
{
    Release();
    if (m_pcoGivenParent)
        m_pcoGivenParent->RemoveDestructionHandler(&m_coWatch, static_cast<TDynBase::DestructionHandler>(&TWatch::Gone));
    s_pcoInnermost = m_pcoOuter;
}

void TResReadHdl::TWatch::Gone(TDynBase* pcoObject)
{
    if (pcoObject == m_coReader.m_pcoObject) {
        m_coReader.m_pcoObject = nullptr;
        m_coReader.m_nGone = 1;
    }
    if (pcoObject == m_coReader.m_pcoGivenParent)
        m_coReader.m_pcoGivenParent = nullptr;
}

void TResReadHdl::Hold(TResource* pcoObject)
{
    m_pcoObject = pcoObject;
    if (pcoObject)
        pcoObject->AddDestructionHandler(&m_coWatch, static_cast<TDynBase::DestructionHandler>(&TWatch::Gone));
}

TResource* TResReadHdl::Release()
{
    TResource* pcoObject = m_pcoObject;
    m_pcoObject = nullptr;
    if (pcoObject)
        pcoObject->RemoveDestructionHandler(&m_coWatch, static_cast<TDynBase::DestructionHandler>(&TWatch::Gone));
    return pcoObject;
}

TResource* TResReadHdl::Parent() const
{
    return m_pcoParent ? m_pcoParent->m_pcoObject : m_pcoGivenParent;
}

int TResReadHdl::ReadDataResource(TLogFile* pcoReader, TResource* pcoTarget, TResource* pcoParent)
{
    if (m_nDamaged)
        return 1;
    if (!pcoReader || m_unDepth > MaxDepth)
        return Damage();
    if (pcoParent && !m_pcoParent && !m_pcoGivenParent && !HasHeader()) {
        m_pcoGivenParent = pcoParent;
        pcoParent->AddDestructionHandler(&m_coWatch, static_cast<TDynBase::DestructionHandler>(&TWatch::Gone));
    }
    const int64_t llStart = pcoReader->Tell();
    uint8_t abCode[2];
    if (!TResVar::ReadBytes(pcoReader, m_llEnd, abCode, 2))
        return Damage();
    const auto unCode = static_cast<unsigned short>(abCode[0] | (abCode[1] << 8));

    TResVar* pcoVar = nullptr;
    bool bEnd = false;
    bool bChild = false;
    switch (unCode) {
    case TResVar::TypeChar:
    case TResVar::TypeShort:
    case TResVar::TypeLong:
    case TResVar::TypeFloat:
    case TResVar::TypeDouble:
    case TResVar::TypeString:
        if (!ReadVariable(pcoReader, unCode, &pcoVar))
            return Damage();
        break;
    case TResource::CodeEnd:
        if (HasHeader())
            bEnd = true;
        else
            DisplayMessage(kEndWithoutObject);
        break;
    default:
        if (HasHeader()) {
            // A child's header: it is checked here and read again by the
            // child's reader.
            THeaderNames coNames;
            uint8_t abParams[6];
            if (!TResVar::ReadCountedString(pcoReader, m_llEnd, &coNames.pszClass)
                || !TResVar::ReadCountedString(pcoReader, m_llEnd, &coNames.pszCppClass)
                || !TResVar::ReadBytes(pcoReader, m_llEnd, abParams, 6))
                return Damage();
            bChild = true;
        } else if (!ReadHeader(pcoReader, unCode, pcoTarget)) {
            return Damage();
        }
        break;
    }
    if (!HasHeader()) {
        DisplayMessage(kNotFound);
        return 0;
    }

    const unsigned long ulIndex = m_pcoParent ? m_pcoParent->m_ulChildCount : 0;
    if (pcoVar) {
        if (m_pcoObject)
            m_pcoObject->NotifyVariableRead(*pcoVar, Parent(), ulIndex);
        return 0;
    }
    // The object's own header: its variables follow.
    if (!bEnd && !bChild)
        return 0;
    if (!m_nReadFinished)
        FinishOwnVariables(ulIndex);
    if (bChild)
        return ReadChild(pcoReader, llStart) ? 0 : Damage();
    FinishEnd(ulIndex);
    return 1;
}

int TResReadHdl::ReadVariable(TLogFile* pcoReader, unsigned short unCode, TResVar** ppcoVar)
{
    switch (unCode) {
    case TResVar::TypeChar: *ppcoVar = &m_coChar; break;
    case TResVar::TypeShort: *ppcoVar = &m_coShort; break;
    case TResVar::TypeLong: *ppcoVar = &m_coLong; break;
    case TResVar::TypeFloat: *ppcoVar = &m_coFloat; break;
    case TResVar::TypeDouble: *ppcoVar = &m_coDouble; break;
    default: *ppcoVar = &m_coString; break;
    }
    return (*ppcoVar)->Read(pcoReader, m_llEnd);
}

int TResReadHdl::ReadHeader(TLogFile* pcoReader, unsigned short unCode, TResource* pcoTarget)
{
    THeaderNames coNames;
    uint8_t abParams[6];
    if (!TResVar::ReadCountedString(pcoReader, m_llEnd, &coNames.pszClass)
        || !TResVar::ReadCountedString(pcoReader, m_llEnd, &coNames.pszCppClass)
        || !TResVar::ReadBytes(pcoReader, m_llEnd, abParams, 6))
        return 0;
    const auto unWParam = static_cast<unsigned short>(abParams[0] | (abParams[1] << 8));
    const uint32_t ulLParam = static_cast<uint32_t>(abParams[2]) | (static_cast<uint32_t>(abParams[3]) << 8)
                              | (static_cast<uint32_t>(abParams[4]) << 16) | (static_cast<uint32_t>(abParams[5]) << 24);
    // Below an object that died nothing is made: the record is passed over.
    if (m_pcoParent && m_pcoParent->m_nGone) {
        m_nGone = 1;
        return 1;
    }
    TResource* pcoObject = pcoTarget;
    if (!pcoObject)
        pcoObject = CreateObject(unCode, coNames.pszClass, coNames.pszCppClass, unWParam, ulLParam);
    if (!pcoObject)
        return 1;
    Hold(pcoObject);
    pcoObject->SetCppClass(coNames.pszCppClass);
    pcoObject->SetWParam(unWParam);
    pcoObject->SetLParam(ulLParam);
    pcoObject->NotifyReadBegin();
    return 1;
}

TResource* TResReadHdl::CreateObject(unsigned short unCode, const char* pszClass, const char* pszCppClass,
                                     unsigned short unWParam, uint32_t ulLParam)
{
    TResource* pcoObject = nullptr;
    if (m_nCustomCreate && pszCppClass && *pszCppClass && m_pcoFileHdl)
        pcoObject = m_pcoFileHdl->CustomCreateResource(pszCppClass, unWParam, ulLParam);
    if (!pcoObject && m_pcoFileHdl)
        pcoObject = m_pcoFileHdl->NotifyCreateResource(unCode, m_pcoParent ? m_pcoParent->m_pcoObject : nullptr,
                                                       m_pcoParent ? m_pcoParent->m_ulChildCount : 0, unWParam,
                                                       ulLParam);
    if (!pcoObject && pszClass && *pszClass) {
        if (m_pcoFileHdl)
            pcoObject = m_pcoFileHdl->CustomCreateResource(pszClass, unWParam, ulLParam);
        if (!pcoObject) {
            TDynBase* pcoMade = TDynBase::RTTIDynCreate(pszClass);
            if (pcoMade && pcoMade->IsClassFamily("TResource"))
                pcoObject = static_cast<TResource*>(pcoMade);
            else
                delete pcoMade;
        }
    }
    if (pcoObject)
        return pcoObject;
    TString coText;
    coText.SetText(kNotCreated, pszClass ? pszClass : "");
    DisplayMessage(coText);
    pcoObject = new (std::nothrow) TResource;
    if (pcoObject)
        pcoObject->MakeDummy();
    return pcoObject;
}

int TResReadHdl::ReadChild(TLogFile* pcoReader, int64_t llStart)
{
    ++m_ulChildCount;
    if (m_unDepth + 1 > MaxDepth || !pcoReader->Seek(llStart, TLogFile::FromBegin))
        return 0;
    TResReadHdl coChild(m_pcoFileHdl, this, m_nCustomCreate);
    while (!coChild.ReadDataResource(pcoReader, nullptr, nullptr)) {
    }
    return coChild.m_nDamaged ? 0 : 1;
}

// After each notification the object and its parent are looked at again:
// the notification may have destroyed either.
void TResReadHdl::FinishOwnVariables(unsigned long ulIndex)
{
    m_nReadFinished = 1;
    if (!m_pcoObject || m_pcoObject->IsDummyResource())
        return;
    m_pcoObject->NotifyReadFinished(Parent(), ulIndex);
    TResource* pcoParent = Parent();
    if (m_pcoObject && pcoParent && m_pcoParent)
        m_nTakenOver = pcoParent->NotifyChildReadFinished(m_pcoObject, ulIndex);
}

void TResReadHdl::FinishEnd(unsigned long ulIndex)
{
    if (m_pcoObject && !m_nTakenOver) {
        m_pcoObject->NotifyFullReadFinished(Parent(), ulIndex);
        TResource* pcoParent = Parent();
        if (m_pcoObject && m_pcoParent) {
            // A child goes to its parent, or is destroyed when the parent
            // does not keep it (or died meanwhile); the parent's
            // notification may have destroyed it already.
            const int nKept = pcoParent && pcoParent->NotifyChildFullReadFinished(m_pcoObject, ulIndex);
            if (m_pcoObject && (!nKept || m_pcoObject->IsDummyResource()))
                DiscardObject();
            else
                Release();
        }
    }
    if (m_pcoObject && m_pcoObject->IsDummyResource())
        DiscardObject();
}

// Destroy may leave the object alive (a window without auto-destroy only
// destroys its system window); what nobody takes is deleted then. The
// watch tells whether Destroy deleted it.
void TResReadHdl::DiscardObject()
{
    TResource* pcoObject = m_pcoObject;
    if (!pcoObject)
        return;
    pcoObject->Destroy();
    if (m_pcoObject == pcoObject)
        delete Release();
}

int TResReadHdl::Damage()
{
    TResReadHdl* pcoRoot = this;
    while (pcoRoot->m_pcoParent)
        pcoRoot = pcoRoot->m_pcoParent;
    if (!pcoRoot->m_nDamaged)
        DisplayMessage(kDamaged);
    for (TResReadHdl* pcoReader = this; pcoReader; pcoReader = pcoReader->m_pcoParent)
        pcoReader->m_nDamaged = 1;
    // A child that its parent has not taken over belongs to nobody else.
    if (m_pcoParent && m_pcoObject) {
        if (m_nTakenOver)
            Release();
        else
            DiscardObject();
    }
    return 1;
}

void TResReadHdl::DisplayMessage(const char* pszText) const
{
    if (m_pcoFileHdl)
        m_pcoFileHdl->DisplayMessage(pszText);
}
