#include "KwCursor.h"

#include "KwSystem.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwCursor, KwObjGDI, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwSysCursor, KwObjGDI, "kw25")

KwCursor::KwCursor(const char* pszName, const char* pszFile)
    : KwObjGDI(pszName), m_coFile(pszFile)
{
    SysCreate();
}

KwCursor::~KwCursor()
{
    if (!IsDynCppReferenceObject())
        KwCursor::SysDelete();
}

int KwCursor::SysCreate()
{
    if (GetHandle())
        return 1;
    const KwHandle hCursor = pcoKwSys && !m_coFile.IsEmpty() ? pcoKwSys->LoadCursorFile(m_coFile) : 0;
    return hCursor && Connect(hCursor);
}

// Cursors are not drawing objects of the system: they are destroyed as
// cursors, and they are never selected into a device context.
void KwCursor::SysDelete()
{
    const KwHandle hCursor = DisConnect();
    if (hCursor && pcoKwSys)
        pcoKwSys->DestroyCursor(hCursor);
}

KwSysCursor::KwSysCursor(unsigned short unId)
    : m_unId(unId)
{
    SysCreate();
}

int KwSysCursor::SysCreate()
{
    if (GetHandle())
        return 1;
    const KwHandle hCursor = pcoKwSys ? pcoKwSys->LoadSystemCursor(m_unId) : 0;
    return hCursor && SysConnect(hCursor, 0);
}
