#include "HelloApp.h"

KW_IMPLEMENT_DYNAMIC_CLASS(HelloFrame, KwWFrame, "hello")

const KwMemberLinkArray HelloFrame::m_staLinks[] = {
    { "FW_HELLO", "HelloFrame::LnkGreet", static_cast<TMvcHandler>(&HelloFrame::LnkGreet) },
    { "FW_HELLO", "HelloFrame::LnkQuit", static_cast<TMvcHandler>(&HelloFrame::LnkQuit) },
    { nullptr, nullptr, nullptr },
};
// So that kwtcheck -m kwhello.exe knows the table.
static KwLinkTableDeclaration s_coHelloLinks(HelloFrame::m_staLinks);

// The application object: the framework's entry point starts it.
static HelloApp s_coApp;

int HelloFrame::LnkGreet(TMvcParam&)
{
    KwWnd* pcoText = FindChildPtr("TX_ANSWER");
    // Type 0x24: Yes and No, the question picture.
    const int nAnswer = s_coApp.Message("Do you like the framework?", "Kwillet Hello", this, 0x24);
    if (pcoText)
        pcoText->SetText(nAnswer == 6 ? "Glad to hear it." : "We will try harder.");
    return 1;
}

int HelloFrame::LnkQuit(TMvcParam&)
{
    Close(0);
    return 1;
}

int HelloApp::Main(short, const char**)
{
    const TString coFile = GetConfig().FindFile("hello.kwt", KwConfig::PathBin, 1);
    const unsigned short unResult = GetResHdl().InstallResourceFile(coFile, HelloFrame::m_staLinks, 0, nullptr);
    if (unResult != TFileHdl::Success) {
        Message(0x10, "Kwillet Hello", "%s", static_cast<const char*>(TFileHdl::GetError(unResult, "hello.kwt")));
        Exit(1);
        return 1;
    }
    KwWnd* pcoMain = GetResHdl().LoadWindow("FW_HELLO", nullptr, nullptr);
    if (!pcoMain || !pcoMain->IsFrameWindow()) {
        Message(0x10, "Kwillet Hello", "The window FW_HELLO cannot be loaded.");
        Exit(1);
        return 1;
    }
    static_cast<KwWFrame*>(pcoMain)->Start();
    return 0;
}
