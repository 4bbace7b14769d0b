#include "KwFileSelOptions.h"

#include "KwApp.h"
#include "KwCheckBox.h"
#include "KwFileSelCopySettings.h"
#include "KwFileSelProfile.h"
#include "KwPushButton.h"
#include "KwSystem.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwFileSelOptions, KwWFrame, "flsl")

namespace {

struct TChoice {
    const char* m_pszName;
    int m_nValue;
};

const TChoice s_aRights[] = {
    { "RB_RIGHTS_ALL", KwCopyOptions::SecurityAll },
    { "RB_RIGHTS_DACL", KwCopyOptions::SecurityDaclGroup },
    { "RB_RIGHTS_NONE", KwCopyOptions::SecurityNone },
};
const TChoice s_aExisting[] = {
    { "RB_EXISTING_REPLACE", KwCopyOptions::Overwrite },
    { "RB_EXISTING_SKIP", KwCopyOptions::SkipExisting },
    { "RB_EXISTING_OLDER", KwCopyOptions::SkipNewer },
};
const char* const s_pszOwner = "CB_OWNER";
const char* const s_pszVerify = "CB_VERIFY";
const char* const s_pszWorkers = "ED_WORKERS";

} // namespace

KwCheckBox* KwFileSelOptions::Box(const char* pszName) const
{
    return dynamic_cast<KwCheckBox*>(FindChildPtr(pszName));
}

void KwFileSelOptions::ShowOptions(const KwCopyOptions& coOptions)
{
    for (const TChoice& coChoice : s_aRights)
        if (KwCheckBox* pcoBox = Box(coChoice.m_pszName); pcoBox && coChoice.m_nValue == coOptions.m_eSecurity)
            pcoBox->SetChecked(1, 1);
    for (const TChoice& coChoice : s_aExisting)
        if (KwCheckBox* pcoBox = Box(coChoice.m_pszName); pcoBox && coChoice.m_nValue == coOptions.m_eExisting)
            pcoBox->SetChecked(1, 1);
    if (KwCheckBox* pcoOwner = Box(s_pszOwner))
        pcoOwner->SetChecked(coOptions.m_nOwner, 1);
    if (KwCheckBox* pcoVerify = Box(s_pszVerify))
        pcoVerify->SetChecked(coOptions.m_nVerify, 1);
    if (KwWnd* pcoWorkers = FindChildPtr(s_pszWorkers))
        pcoWorkers->SetText(std::to_string(coOptions.m_nWorkers).c_str());
    ShowOwnerChoice();
}

KwCopyOptions KwFileSelOptions::Chosen(const KwCopyOptions& coBase) const
{
    KwCopyOptions coOptions = coBase;
    for (const TChoice& coChoice : s_aRights)
        if (KwCheckBox* pcoBox = Box(coChoice.m_pszName); pcoBox && pcoBox->IsChecked())
            coOptions.m_eSecurity = static_cast<KwCopyOptions::Security>(coChoice.m_nValue);
    for (const TChoice& coChoice : s_aExisting)
        if (KwCheckBox* pcoBox = Box(coChoice.m_pszName); pcoBox && pcoBox->IsChecked())
            coOptions.m_eExisting = static_cast<KwCopyOptions::Existing>(coChoice.m_nValue);
    if (KwCheckBox* pcoOwner = Box(s_pszOwner))
        coOptions.m_nOwner = pcoOwner->IsChecked();
    if (KwCheckBox* pcoVerify = Box(s_pszVerify))
        coOptions.m_nVerify = pcoVerify->IsChecked();
    if (const KwWnd* pcoWorkers = FindChildPtr(s_pszWorkers))
        coOptions.m_nWorkers = KwFileSelCopySettings::WorkersOf(static_cast<const char*>(pcoWorkers->GetText()), coOptions.m_nWorkers);
    return coOptions;
}

void KwFileSelOptions::ShowOwnerChoice()
{
    KwCheckBox* pcoNone = Box("RB_RIGHTS_NONE");
    if (KwCheckBox* pcoOwner = Box(s_pszOwner))
        pcoOwner->Enable(!(pcoNone && pcoNone->IsChecked()), 1);
}

int KwFileSelOptions::EvInit()
{
    ShowOptions(KwFileSelProfile::CopyOptions());
    if (KwWnd* pcoOk = FindChildPtr("PB_OK"))
        pcoOk->MVC().SetLink("KW_LINK_COMMAND", this, &KwFileSelOptions::LnkOk);
    if (KwWnd* pcoCancel = FindChildPtr("PB_CANCEL"))
        pcoCancel->MVC().SetLink("KW_LINK_COMMAND", this, &KwFileSelOptions::LnkCancel);
    for (const TChoice& coChoice : s_aRights)
        if (KwCheckBox* pcoBox = Box(coChoice.m_pszName))
            pcoBox->MVC().SetLink("KW_LINK_COMMAND", this, &KwFileSelOptions::LnkRights);
    const int nResult = KwWFrame::EvInit();
    // The keyboard starts at the rights chosen.
    for (const TChoice& coChoice : s_aRights)
        if (KwCheckBox* pcoBox = Box(coChoice.m_pszName); pcoBox && pcoBox->IsChecked())
            pcoBox->SetFocus();
    return nResult;
}

int KwFileSelOptions::LnkRights(TMvcParam&)
{
    ShowOwnerChoice();
    return 0;
}

int KwFileSelOptions::LnkOk(TMvcParam&)
{
    const KwCopyOptions coChosen = Chosen(KwFileSelProfile::CopyOptions());
    if (!KwFileSelProfile::SetCopyOptions(coChosen)) {
        if (KwApp* pcoApp = pcoKwSys ? pcoKwSys->GetApp() : nullptr)
            pcoApp->Message(("The options could not be written to " + KwFileSelProfile::File()
                             + "; they hold until the program ends.").c_str(), "ZORVIK Message", this, 0x30);
    }
    SetDlgResult(1);
    Close(0);
    return 0;
}

int KwFileSelOptions::LnkCancel(TMvcParam&)
{
    SetDlgResult(0);
    Close(0);
    return 0;
}
