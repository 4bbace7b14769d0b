#include "KwFileSelPictures.h"

#include "KwApp.h"
#include "KwFileHdl.h"
#include "KwSystem.h"

int KwFileSelLoadAppPicture(const char* pszId, KwBitmap& coBitmap)
{
    KwApp* pcoApp = pcoKwSys ? pcoKwSys->GetApp() : nullptr;
    if (!pcoApp || !pszId || !*pszId)
        return 0;
    const KwResHdl& coResHdl = pcoApp->GetResHdl();
    for (short i = static_cast<short>(coResHdl.GetFileHdlCount() - 1); i >= 0; --i) {
        KwFileHdl* pcoHdl = coResHdl.GetFileHdlFromIndex(i);
        if (pcoHdl && pcoHdl->HasResource(pszId))
            return pcoHdl->LoadCustomBitmap(pszId, &coBitmap);
    }
    return 0;
}
