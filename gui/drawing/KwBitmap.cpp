#include "KwBitmap.h"

#include "KwDC.h"
#include "KwDib.h"
#include "KwSystem.h"

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
