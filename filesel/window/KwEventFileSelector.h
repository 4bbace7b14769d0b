#pragma once

#include "FlslApi.h"
#include "KwEvent.h"

class KwWnd;
class TFileSelection;
class TPath;

// The event of "KW_LINK_COPY_DIRECTORY" and "KW_LINK_COPY_FILES": the
// selector a drag was dropped on, what was dragged (files from a list or a
// directory from a tree; the other one is null) and the directory it was
// dropped into. The event owns none of them; they live for the call.
class FLSL_API KwEventFileSelector : public KwEvent {
    KW_DYNAMIC_CLASS(KwEventFileSelector, KwEvent)
public:
    // An event without a drop means nothing: creating one by class name
    // ends the program.
    KwEventFileSelector();
    KwEventFileSelector(KwWnd* pcoSelector, TFileSelection* pcoSourceFiles, TPath* pcoTarget);
    KwEventFileSelector(KwWnd* pcoSelector, TPath* pcoSourceDirectory, TPath* pcoTarget);

    KwWnd* GetSelector() const { return m_pcoSelector; }
    TFileSelection* GetSourceFiles() const { return m_pcoSourceFiles; }
    TPath* GetSourceDirectory() const { return m_pcoSourceDirectory; }
    TPath* GetTarget() const { return m_pcoTarget; }

private:
    KwWnd* m_pcoSelector { nullptr };
    TFileSelection* m_pcoSourceFiles { nullptr };
    TPath* m_pcoSourceDirectory { nullptr };
    TPath* m_pcoTarget { nullptr };
};
