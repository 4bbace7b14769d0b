#include "HelloApp.h"

#include <iterator>
#include <vector>

KW_IMPLEMENT_DYNAMIC_CLASS(HelloFrame, KwWFrame, "hello")

const KwMemberLinkArray HelloFrame::m_staLinks[] = {
    { "FW_HELLO", "HelloFrame::LnkGreet", static_cast<TMvcHandler>(&HelloFrame::LnkGreet) },
    { "FW_HELLO", "HelloFrame::LnkQuit", static_cast<TMvcHandler>(&HelloFrame::LnkQuit) },
    { "FW_HELLO", "HelloFrame::LnkRestart", static_cast<TMvcHandler>(&HelloFrame::LnkRestart) },
    { "FW_HELLO", "HelloFrame::LnkAbout", static_cast<TMvcHandler>(&HelloFrame::LnkAbout) },
    { "FW_HELLO", "HelloFrame::LnkWordText", static_cast<TMvcHandler>(&HelloFrame::LnkWordText) },
    { nullptr, nullptr, nullptr },
};
// So that kwtcheck -m kwhello.exe knows the table.
static KwLinkTableDeclaration s_coHelloLinks(HelloFrame::m_staLinks);

// The application object: the framework's entry point starts it.
static HelloApp s_coApp;

namespace {

const char* const s_apszWords[] = { "Alder", "Beech", "Cedar", "Elm", "Hazel", "Larch", "Maple", "Oak", "Rowan", "Willow" };

// The tree pane's nodes: a text each, not owned by the tree.
struct TNodeSpec {
    const char* pszText;
    int nLevel;   // 0 the root
};
const TNodeSpec s_acoNodes[] = {
    { "Forest", 0 }, { "Conifers", 1 }, { "Cedar", 2 }, { "Larch", 2 }, { "Broadleaves", 1 }, { "Beech", 2 }, { "Oak", 2 },
};

// The drag pictures of the standard file stand on colour 15, light gray.
const unsigned long s_ulPictureGround = 0x00C0C0C0UL;
const unsigned short s_unTimerMs = 200;
const unsigned short s_unStep = 2;

// The tree; the nodes with children are listed in coParents.
TTreeNode* BuildTree(std::vector<TTreeNode*>& coParents)
{
    TTreeNode* apcoLevel[3] {};
    for (const TNodeSpec& coSpec : s_acoNodes) {
        auto* pcoNode = new TTreeNode(const_cast<char*>(coSpec.pszText));
        apcoLevel[coSpec.nLevel] = pcoNode;
        if (coSpec.nLevel > 0)
            apcoLevel[coSpec.nLevel - 1]->InsertNode(apcoLevel[coSpec.nLevel - 1]->NodeCount(), pcoNode, 0);
        if (coSpec.nLevel < 2)
            coParents.push_back(pcoNode);
    }
    return apcoLevel[0];
}

} // namespace

HelloFrame::HelloFrame(const HelloFrame& coOther) : KwWFrame(coOther) {}

HelloFrame::~HelloFrame()
{
    if (m_pcoDrag)
        m_pcoDrag->SysDelete();
}

void HelloFrame::Prepare()
{
    if (auto* pcoList = dynamic_cast<KwListText*>(FindChildPtr("LB_WORDS")))
        pcoList->SetRange(std::size(s_apszWords), 1);

    m_pcoTreeWindow = new KwWChild("CW_TREE", KwPoint(370, 10), KwSize(170, 180), 0, 7, 0);
    m_pcoTreeWindow->SysCreate(this);
    m_pcoTree = new KwCntTree(nullptr, 17, m_pcoTreeWindow);
    std::vector<TTreeNode*> coParents;
    m_pcoTree->SetRootNode(BuildTree(coParents));
    m_pcoTree->MVC().SetLink(KwCntTree::LinkGetText, this, &HelloFrame::LnkNodeText);
    for (TTreeNode* pcoNode : coParents)
        m_pcoTree->OpenNode(pcoNode, 1);
    m_pcoTreeWindow->MVC().SetLink("KW_LINK_MOUSEMOVE", this, &HelloFrame::LnkTreeMove);

    m_pcoDropWindow = new KwWChild("CW_DROP", KwPoint(370, 200), KwSize(170, 92), 0, 7, 0);
    m_pcoDropWindow->SysCreate(this);
    new KwCntText("Drop a tree node here", 0x22, m_pcoDropWindow);
    m_pcoDropWindow->MVC().SetLink("KW_LINK_CHECKDROP", this, &HelloFrame::LnkCheckDrop);
    m_pcoDropWindow->MVC().SetLink("KW_LINK_NOTIFYDROP", this, &HelloFrame::LnkDrop);

    KwBitmap coDrop, coNoDrop;
    if (s_coApp.GetResHdl().LoadCustomBitmap("BMP_DROP", &coDrop, nullptr)
        && s_coApp.GetResHdl().LoadCustomBitmap("BMP_NODROP", &coNoDrop, nullptr)) {
        m_pcoDrag = std::make_unique<KwDragObject>();
        m_pcoDrag->ChangeDropBitmap(coDrop, s_ulPictureGround);
        m_pcoDrag->ChangeNoDropBitmap(coNoDrop, s_ulPictureGround);
    }

    if (KwProgressIndicator* pcoBar = Bar()) {
        new KwCntText("", 0x22, pcoBar);
        pcoBar->Start(0);
    }
    m_pcoTimer = std::make_unique<KwWindowTimer>(this, s_unTimerMs, 1, "TM_BAR");
}

KwProgressIndicator* HelloFrame::Bar()
{
    return dynamic_cast<KwProgressIndicator*>(FindChildPtr("PI_TIMER"));
}

void HelloFrame::ShowStatus(const char* pszText)
{
    if (KwWnd* pcoText = FindChildPtr("TX_ANSWER"))
        pcoText->SetText(pszText);
}

int HelloFrame::EvTimer(unsigned long)
{
    KwProgressIndicator* pcoBar = Bar();
    if (!pcoBar || !pcoBar->IsStarted())
        return 1;
    pcoBar->UpdateProgress(static_cast<unsigned short>(pcoBar->GetProgress() + s_unStep));
    return 1;
}

int HelloFrame::LnkGreet(TMvcParam&)
{
    // Type 0x24: Yes and No, the question picture.
    const int nAnswer = s_coApp.Message("Do you like the framework?", "Kwillet Hello", this, 0x24);
    ShowStatus(nAnswer == 6 ? "Glad to hear it." : "We will try harder.");
    return 1;
}

int HelloFrame::LnkQuit(TMvcParam&)
{
    Close(0);
    return 1;
}

int HelloFrame::LnkRestart(TMvcParam&)
{
    if (KwProgressIndicator* pcoBar = Bar()) {
        pcoBar->ResetProgress();
        pcoBar->Start(0);
    }
    ShowStatus("The bar starts again.");
    return 1;
}

int HelloFrame::LnkAbout(TMvcParam&)
{
    ShowStatus("Kwillet Hello, the example application.");
    return 1;
}

int HelloFrame::LnkWordText(TMvcParam& coParam)
{
    const KwEventListBox* pcoEvent = static_cast<const KwEvent&>(coParam);
    auto* pcoList = dynamic_cast<KwListText*>(FindChildPtr("LB_WORDS"));
    if (!pcoEvent || !pcoList || pcoEvent->Position() >= std::size(s_apszWords))
        return 0;
    pcoList->SetListBoxText(s_apszWords[pcoEvent->Position()]);
    return 1;
}

int HelloFrame::LnkNodeText(TMvcParam& coParam)
{
    auto& coEvent = dynamic_cast<KwEventCntTree&>(coParam);
    coEvent.SetNodeText(static_cast<const char*>(coEvent.GetNode()->GetObject()));
    return 1;
}

// A move with the left button held over a node drags the node's text.
int HelloFrame::LnkTreeMove(TMvcParam& coParam)
{
    const KwEventMouse* pcoMouse = static_cast<KwEventMouse*>(static_cast<KwEvent&>(coParam));
    if (!pcoMouse || !(pcoMouse->KeyFlags() & 1) || !m_pcoDrag || m_pcoDrag->IsDragging())
        return 0;
    TTreeNode* pcoNode = m_pcoTree->GetFocusNode();
    if (!pcoNode)
        return 0;
    m_pcoDrag->InitDragObject("TreeNode", pcoNode->GetObject());
    m_pcoDrag->StartDrag(m_pcoTreeWindow);
    return 0;
}

int HelloFrame::LnkCheckDrop(TMvcParam&)
{
    return 1;
}

int HelloFrame::LnkDrop(TMvcParam& coParam)
{
    const auto& coEvent = dynamic_cast<const KwEventDrop&>(coParam);
    const TString coText = TString("Dropped: ") + static_cast<const char*>(coEvent.GetData());
    if (KwContent* pcoContent = m_pcoDropWindow->Content())
        pcoContent->SetContent(coText);
    ShowStatus(coText);
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
    auto* pcoMain = dynamic_cast<HelloFrame*>(GetResHdl().LoadWindow("FW_HELLO", nullptr, nullptr));
    if (!pcoMain) {
        Message(0x10, "Kwillet Hello", "The window FW_HELLO cannot be loaded.");
        Exit(1);
        return 1;
    }
    pcoMain->Prepare();
    pcoMain->Start();
    return 0;
}
