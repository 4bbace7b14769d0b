#include "KwBitmap.h"

#include "KwDC.h"
#include "KwDib.h"
#include "KwPictureCheck.h"
#include "KwSystem.h"
#include "TFile.h"
#include "TResVar.h"

#include <algorithm>
#include <new>

KW_IMPLEMENT_DYNAMIC_CLASS(KwBitmap, KwObjGDI, "kw25")

KwBitmap::KwBitmap(const KwLogBitmap& coLogBitmap, int nCreate)
    : m_coLogBitmap(coLogBitmap)
{
    if (nCreate)
        SysCreate();
}

KwBitmap::KwBitmap(const KwSize& coSize, unsigned short unPlanes, unsigned short unBitsPerPixel, const void* pvBits)
{
    SysCreate(coSize, unPlanes, unBitsPerPixel, pvBits);
}

int KwBitmap::Take(KwHandle hBitmap)
{
    SysDelete();
    if (!hBitmap)
        return 0;
    Connect(hBitmap);
    m_coSize = pcoKwSys->GetBitmapSize(hBitmap);
    return 1;
}

void KwBitmap::SysDelete()
{
    m_coSize = KwSize();
    KwObjGDI::SysDelete();
}

int KwBitmap::SysCreate()
{
    if (GetHandle())
        return 1;
    if (m_coLogBitmap.nWidth <= 0 || m_coLogBitmap.nHeight <= 0)
        return 0;
    return SysCreate(KwSize(m_coLogBitmap.nWidth, m_coLogBitmap.nHeight), m_coLogBitmap.bPlanes,
                     m_coLogBitmap.bBitsPixel, m_coLogBitmap.pvBits);
}

int KwBitmap::SysCreate(const KwDib& coDib, const KwDC* pcoDC)
{
    if (!pcoKwSys || !coDib.IsValid())
        return 0;
    KwScreenDC coScreen(1);
    const KwHandle hDC = pcoDC && pcoDC->IsValid() ? pcoDC->GetHandle() : coScreen.GetHandle();
    return Take(pcoKwSys->CreateDIBitmap(hDC, coDib.GetPacked(), coDib.GetBits()));
}

int KwBitmap::SysCreate(const KwDC& coDC, const KwSize& coSize, int nMonochrome)
{
    if (!pcoKwSys || coSize.Width() <= 0 || coSize.Height() <= 0)
        return 0;
    if (nMonochrome)
        return Take(pcoKwSys->CreateBitmap(coSize, 1, 1, nullptr));
    return coDC.IsValid() && Take(pcoKwSys->CreateCompatibleBitmap(coDC.GetHandle(), coSize));
}

int KwBitmap::SysCreate(const char* pszFile, const KwDC* pcoDC)
{
    KwDib coDib(pszFile, nullptr, 1);
    return SysCreate(coDib, pcoDC);
}

int KwBitmap::SysCreate(const KwSize& coSize, unsigned short unPlanes, unsigned short unBitsPerPixel, const void* pvBits)
{
    if (!pcoKwSys || coSize.Width() <= 0 || coSize.Height() <= 0)
        return 0;
    return Take(pcoKwSys->CreateBitmap(coSize, unPlanes, unBitsPerPixel, pvBits));
}

// Resources

// kwtcheck's rules, so that both reject the same records.
int KwBitmap::IsConsistent(const KwLogBitmap& coLog, size_t nBytes)
{
    KwBitmapRecordCheck coCheck;
    coCheck.Take(KwBitmapRecordCheck::VarType, coLog.nType);
    coCheck.Take(KwBitmapRecordCheck::VarWidth, coLog.nWidth);
    coCheck.Take(KwBitmapRecordCheck::VarHeight, coLog.nHeight);
    coCheck.Take(KwBitmapRecordCheck::VarRowBytes, coLog.nWidthBytes);
    coCheck.Take(KwBitmapRecordCheck::VarPlanes, coLog.bPlanes);
    coCheck.Take(KwBitmapRecordCheck::VarBitsPixel, coLog.bBitsPixel);
    coCheck.AddBits(nBytes);
    return nBytes != 0 && coCheck.Check().IsEmpty();
}

int KwBitmap::SetBits(const KwLogBitmap& coLogBitmap, const void* pvBits, size_t nBytes)
{
    if (!pvBits || !IsConsistent(coLogBitmap, nBytes))
        return 0;
    try {
        m_coBits.assign(static_cast<const unsigned char*>(pvBits), static_cast<const unsigned char*>(pvBits) + nBytes);
    } catch (const std::bad_alloc&) {
        m_coBits.clear();
        return 0;
    }
    m_coLogBitmap = coLogBitmap;
    m_coLogBitmap.pvBits = m_coBits.data();
    return 1;
}

void KwBitmap::WriteData(TFile& coFile) const
{
    KwObjGDI::WriteData(coFile);
    TResString(VarFile, m_coFileName).Write(coFile);
    if (m_coBits.empty())
        return;
    TResShort(VarType, m_coLogBitmap.nType).Write(coFile);
    TResShort(VarWidth, m_coLogBitmap.nWidth).Write(coFile);
    TResShort(VarHeight, m_coLogBitmap.nHeight).Write(coFile);
    TResShort(VarWidthBytes, m_coLogBitmap.nWidthBytes).Write(coFile);
    TResChar(VarPlanes, static_cast<char>(m_coLogBitmap.bPlanes)).Write(coFile);
    TResChar(VarBitsPixel, static_cast<char>(m_coLogBitmap.bBitsPixel)).Write(coFile);
    for (size_t nAt = 0; nAt < m_coBits.size(); nAt += MaxBitsChunk) {
        const size_t nChunk = std::min<size_t>(MaxBitsChunk, m_coBits.size() - nAt);
        TResChar(VarBits, reinterpret_cast<const char*>(m_coBits.data() + nAt), static_cast<unsigned short>(nChunk)).Write(coFile);
    }
}

int KwBitmap::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    const unsigned short unId = coVar.MyId();
    if (unId == VarResId) {
        m_coBits.clear();
        m_coLogBitmap = KwLogBitmap();
    }
    const short nValue = static_cast<short>(coVar);
    switch (unId) {
    case VarFile:
        m_coFileName = coVar.AsText();
        return 1;
    case VarType: m_coLogBitmap.nType = nValue; return 1;
    case VarWidth: m_coLogBitmap.nWidth = nValue; return 1;
    case VarHeight: m_coLogBitmap.nHeight = nValue; return 1;
    case VarWidthBytes: m_coLogBitmap.nWidthBytes = nValue; return 1;
    case VarPlanes: m_coLogBitmap.bPlanes = static_cast<unsigned char>(coVar); return 1;
    case VarBitsPixel: m_coLogBitmap.bBitsPixel = static_cast<unsigned char>(coVar); return 1;
    case VarBits:
        KwDib::AppendBits(coVar, m_coBits);
        return 1;
    default:
        return KwObjGDI::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}

int KwBitmap::NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex)
{
    KwObjGDI::NotifyReadFinished(pcoParent, ulIndex);
    SysDelete();
    if (!m_coBits.empty()) {
        if (IsConsistent(m_coLogBitmap, m_coBits.size())) {
            m_coLogBitmap.pvBits = m_coBits.data();
            if (SysCreate())
                return 0;
        } else {
            TString coText;
            ReportReadFault(coText.SetText("The bits of the bitmap <%s> do not fit their size!",
                                           static_cast<const char*>(GetResId())));
            m_coBits.clear();
            m_coLogBitmap = KwLogBitmap();
        }
    }
    if (m_coFileName.IsEmpty() || !SysCreate(m_coFileName, nullptr))
        m_coFileName.Empty();
    return 0;
}
