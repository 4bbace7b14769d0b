#include "KwFileSelColors.h"

#include "KwApp.h"
#include "KwColor.h"
#include "KwColorTable.h"
#include "KwSystem.h"

#include <cstdio>
#include <cstdlib>

void KwFileSelColors::Refresh()
{
    KwApp* pcoApp = pcoKwSys ? pcoKwSys->GetApp() : nullptr;
    if (!pcoApp)
        return;
    KwColorTable* pcoTable = pcoApp->GetResHdl().GetActColorTable();
    if (!pcoTable)
        return;
    for (short i = 0; i < Count; ++i) {
        const unsigned long ulColor = SystemColor(i);
        KwColor coColor;
        coColor.Set(static_cast<unsigned char>(ulColor & 0xFF), static_cast<unsigned char>((ulColor >> 8) & 0xFF),
                    static_cast<unsigned char>((ulColor >> 16) & 0xFF));
        pcoTable->SetColor(static_cast<short>(First + i), coColor);
    }
    pcoApp->SetColBackHighLight(First + 4);
    pcoApp->SetColForeHighLight(First + 5);
}

void KwFileSelFail(const char* pszExpression)
{
    std::fprintf(stderr, "n_flsl: assertion failed: %s\n", pszExpression);
    std::abort();
}
