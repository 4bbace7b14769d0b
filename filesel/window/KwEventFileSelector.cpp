#include "KwEventFileSelector.h"

#include "KwWnd.h"

#include <cstdio>
#include <cstdlib>

KW_IMPLEMENT_DYNAMIC_CLASS(KwEventFileSelector, KwEvent, "flsl")

KwEventFileSelector::KwEventFileSelector()
{
    std::fputs("n_flsl: assertion failed: KwEventFileSelector is made only with a drop\n", stderr);
    std::abort();
}

KwEventFileSelector::KwEventFileSelector(KwWnd* pcoSelector, TFileSelection* pcoSourceFiles, TPath* pcoTarget)
    : KwEvent(pcoSelector, 0, 0), m_pcoSelector(pcoSelector), m_pcoSourceFiles(pcoSourceFiles), m_pcoTarget(pcoTarget)
{
}

KwEventFileSelector::KwEventFileSelector(KwWnd* pcoSelector, TPath* pcoSourceDirectory, TPath* pcoTarget)
    : KwEvent(pcoSelector, 0, 0), m_pcoSelector(pcoSelector), m_pcoSourceDirectory(pcoSourceDirectory),
      m_pcoTarget(pcoTarget)
{
}
