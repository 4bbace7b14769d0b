#include "TFmtTextFormat.h"

#include "TFile.h"
#include "TResVar.h"

#include <cstring>

KW_IMPLEMENT_DYNAMIC_CLASS(TFmtTextFormat, TResource, "kwtl")

namespace {

size_t BoundedLen(const char* psz) { return strnlen(psz, size_t(TFmtTextFormat::MaxLen) + 1); }

char* CopyText(const char* psz, size_t nLen)
{
    char* pszCopy = new char[nLen + 1];
    std::memcpy(pszCopy, psz, nLen);
    pszCopy[nLen] = 0;
    return pszCopy;
}

} // namespace

TFmtTextFormat::TFmtTextFormat(const char* pszResId) : TResource(pszResId) {}

TFmtTextFormat::TFmtTextFormat(const char* pszTemplate, const char* pszFormat, const char* pszArea,
                               const char* pszResId)
    : TResource(pszResId)
{
    SetFormat(pszTemplate, pszFormat, pszArea);
}

TFmtTextFormat::TFmtTextFormat(const TFmtTextFormat& coOther) : TResource(coOther)
{
    SetFormat(coOther.m_pszTemplate, coOther.m_pszFormat, coOther.m_pszArea);
}

TFmtTextFormat& TFmtTextFormat::operator=(const TFmtTextFormat& coOther)
{
    if (this == &coOther)
        return *this;
    TResource::operator=(coOther);
    SetFormat(coOther.m_pszTemplate, coOther.m_pszFormat, coOther.m_pszArea);
    return *this;
}

TFmtTextFormat::~TFmtTextFormat() { FreeTexts(); }

void TFmtTextFormat::FreeTexts()
{
    delete[] m_pszTemplate;
    delete[] m_pszFormat;
    delete[] m_pszArea;
    m_pszTemplate = m_pszFormat = m_pszArea = nullptr;
}

// The copies are taken before the old texts are freed, so that this
// format's own texts can be passed in.
int TFmtTextFormat::SetFormat(const char* pszTemplate, const char* pszFormat, const char* pszArea)
{
    size_t nLen = pszTemplate ? BoundedLen(pszTemplate) : 0;
    if (nLen == 0 || nLen > MaxLen || !pszFormat || BoundedLen(pszFormat) != nLen) {
        FreeTexts();
        return 0;
    }
    char* pszNewTemplate = CopyText(pszTemplate, nLen);
    char* pszNewFormat = CopyText(pszFormat, nLen);
    char* pszNewArea = pszArea && BoundedLen(pszArea) == nLen ? CopyText(pszArea, nLen) : nullptr;
    FreeTexts();
    m_pszTemplate = pszNewTemplate;
    m_pszFormat = pszNewFormat;
    m_pszArea = pszNewArea;
    return 1;
}

void TFmtTextFormat::WriteData(TFile& coFile) const
{
    TResource::WriteData(coFile);
    TResString(VarTemplate, m_pszTemplate).Write(coFile);
    TResString(VarFormat, m_pszFormat).Write(coFile);
    TResString(VarArea, m_pszArea).Write(coFile);
}

int TFmtTextFormat::NotifyReadBegin()
{
    TResource::NotifyReadBegin();
    FreeTexts();
    return 1;
}

// The lengths are not compared here: TFmtText checks them when it takes
// the format. A text longer than a format can be is refused all the same,
// so that no reader of these texts meets one beyond the limit.
int TFmtTextFormat::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    if (TResource::NotifyVariableRead(coVar, pcoParent, ulIndex))
        return 1;
    char** ppszText = nullptr;
    switch (coVar.MyId()) {
    case VarTemplate: ppszText = &m_pszTemplate; break;
    case VarFormat: ppszText = &m_pszFormat; break;
    case VarArea: ppszText = &m_pszArea; break;
    default: return 0;
    }
    if (coVar.MyType() != TResVar::TypeString)
        return 0;
    const TString coRead = coVar.AsText();
    const size_t nLen = BoundedLen(coRead);
    if (nLen == 0 || nLen > MaxLen)
        return 0;
    char* pszCopy = CopyText(coRead, nLen);
    delete[] *ppszText;
    *ppszText = pszCopy;
    return 1;
}
