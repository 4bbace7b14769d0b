#include "KwEventDrop.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwEventDrop, KwEventWnd, "kuti")

KwEventDrop::KwEventDrop(KwWnd* pcoWnd, const char* pszName, void* pvData, const KwPoint& coPoint)
    : KwEventWnd(pcoWnd, 0, Pack(coPoint.X(), coPoint.Y())), m_coName(pszName), m_pvData(pvData), m_coPoint(coPoint)
{
}
