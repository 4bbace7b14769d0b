#include "KwFileSelector.h"

#include "KwApp.h"
#include "KwBitmap.h"
#include "KwFileSelPictures.h"
#include "KwCntTree.h"
#include "KwCntText.h"
#include "KwColor.h"
#include "KwComboBox.h"
#include "KwComboList.h"
#include "KwCopyFileSystem.h"
#include "KwDC.h"
#include "KwEventCntTree.h"
#include "KwEventDrop.h"
#include "KwEventFileSelector.h"
#include "KwFileSelColors.h"
#include "KwFileSelDirTree.h"
#include "KwFileSelDropRules.h"
#include "KwFileSelProgress.h"
#include "KwFileSelProgressState.h"
#include "KwKeyTable.h"
#include "KwListText.h"
#include "KwRubberShapes.h"
#include "KwSystem.h"
#include "TCrt.h"
#include "TOpSystem.h"
#include "TResVar.h"
#include "TUtf8.h"
#include "TTreeNode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

TMvcEventTable KwFileSelector::m_stcoEvTab { "KwFileSelector", &KwFileSelector::TMvcEventsRegister };
KW_IMPLEMENT_DYNAMIC_CLASS(KwFileSelector, KwWChild, "flsl")

KwFileSelector::BitmapLoader KwFileSelector::m_stpfnLoader = nullptr;

namespace {

// Colour-table entries the selector paints with (refreshed from the
// system's colours on every paint).
using Col = KwFileSelColors;
constexpr short ColWindow = Col::ColWindow, ColText = Col::ColText, ColLight = Col::ColLight, ColDark = Col::ColDark,
                ColSelBack = Col::ColSelBack, ColSelText = Col::ColSelText, ColFace = Col::ColFace;
enum : unsigned short { MouseLeft = 0x0001, MouseShift = 0x0004, MouseCtrl = 0x0008 };
enum : unsigned short { CursorSizeWE = 8 };
enum : unsigned short { VarSelector = 10000 };
// Indices of the key table, and the keys it does not hold.
enum : short { KeyReturn = 0, KeyBackspace = 10, KeyTab = 11, KeyF4 = 16, KeyF5 = 17 };
enum : unsigned short { KeyR = 'R', KeyLeftButton = 1, CharSpace = ' ' };

const char* const s_pszDirectoryDrag = "DirectoryTree";
const char* const s_pszFilesDrag = "FileSelection";

bool SameName(const std::string& strA, const std::string& strB)
{
    return strcasecmp(strA.c_str(), strB.c_str()) == 0;
}

// The framework's text (the system's code page) as the copy engine's UTF-8.
std::string EngineText(const char* pszText)
{
    return KwCopyFileSystem::FromSystemText(pszText);
}

bool Named(const KwWnd& coWnd, const char* pszName)
{
    const char* pszId = coWnd.GetResId();
    return pszId && strcasecmp(pszId, pszName) == 0;
}

const KwEventMouse& MouseOf(TMvcParam& coParam)
{
    return *static_cast<KwEventMouse*>(static_cast<KwEvent&>(coParam));
}

void Style(KwWChild& coChild, int nBorder)
{
    coChild.SetTabStop(0);
    coChild.UseBorder(nBorder, 0);
    coChild.SetResFont(1, 0);
    coChild.SetColBack(ColWindow, 0);
    coChild.SetColFore(ColText, 0);
    coChild.SetColShadowLight(ColLight, 0);
    coChild.SetColShadowDark(ColDark, 0);
    coChild.SetColBord(ColFace, 0);
}

void SetSizeCursor()
{
    if (pcoKwSys)
        KwApp::SetCursor(pcoKwSys->LoadSystemCursor(CursorSizeWE));
}

const KwKeyTable& Keys()
{
    static const KwKeyTable s_coDefault;
    const KwApp* pcoApp = pcoKwSys ? pcoKwSys->GetApp() : nullptr;
    return pcoApp ? pcoApp->GetKeyTable() : s_coDefault;
}

unsigned short KeyOf(TMvcParam& coParam)
{
    const KwEventKey* pcoEvent = static_cast<KwEvent&>(coParam);
    return pcoEvent ? pcoEvent->KeyCode() : 0;
}

// The nodes the tree shows, in the order of its lines.
void CollectShown(TTreeNode* pcoNode, std::vector<TTreeNode*>& vecShown)
{
    if (!pcoNode)
        return;
    vecShown.push_back(pcoNode);
    if (pcoNode->IsOpen())
        for (long i = 0; i < pcoNode->NodeCount(); ++i)
            CollectShown(pcoNode->GetSubNode(i), vecShown);
}

} // namespace

void KwFileSelector::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType("KW_LINK_COPY_DIRECTORY", "KwEventFileSelector", nullptr, nullptr);
    m_stcoEvTab.RegisterEventType("KW_LINK_COPY_FILES", "KwEventFileSelector", nullptr, nullptr);
}

KwFileSelector::KwFileSelector() = default;

KwFileSelector::KwFileSelector(const char* pszName)
    : KwWChild(pszName)
{
}

KwFileSelector::KwFileSelector(const char* pszName, const KwPoint& coPos, const KwSize& coSize)
    : KwWChild(pszName, coPos, coSize, ColFace, ColWindow, ColText)
{
}

KwFileSelector::KwFileSelector(const KwWChild& coOther)
    : KwWChild(coOther)
{
}

KwFileSelector::~KwFileSelector()
{
    m_coDrag.SysDelete();
}

void KwFileSelector::SetBitmapLoader(BitmapLoader pfnLoader)
{
    m_stpfnLoader = pfnLoader;
}

int KwFileSelector::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    if (int nResult = KwWChild::NotifyVariableRead(coVar, pcoParent, ulIndex))
        return nResult;
    return coVar.MyId() == VarSelector ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Creation and layout

KwWChild* KwFileSelector::NewFrame(const char* pszName, KwWnd* pcoParent)
{
    KwWChild* pcoChild = new KwWChild(pszName, KwPoint(0, 0), KwSize(10, 10), ColFace, ColWindow, ColText);
    Style(*pcoChild, 1);
    pcoChild->SetShade(1, 0);
    pcoChild->SetShadeWidth(2, 0);
    pcoChild->SetShadeTurned(1, 0);
    if (!pcoChild->SysCreate(pcoParent))
        KwFileSelFail(pszName);
    return pcoChild;
}

void KwFileSelector::MakeChildren()
{
    m_pcoComboFrame = NewFrame("CW_DRIVES", this);
    m_pcoCombo = new KwComboBox("CB_DRIVES", KwPoint(0, 0), KwSize(10, 10), ColFace, ColWindow, ColText);
    Style(*m_pcoCombo, 0);
    // Tab goes round the panes; F4 opens the drive list.
    m_pcoCombo->SetTabStop(0);
    m_pcoCombo->SetReadOnly(1);
    if (!m_pcoCombo->SysCreate(m_pcoComboFrame))
        KwFileSelFail("m_pcoCombo != NULL");
    if (KwWnd* pcoButton = m_pcoCombo->GetChild("__COMBOSELECT__")) {
        pcoButton->SetColBack(ColFace, 0);
        pcoButton->SetColFore(24, 0);
        pcoButton->SetColShadowLight(ColLight, 0);
        pcoButton->SetColShadowDark(ColDark, 0);
    }
    m_pcoStatic = NewFrame("CW_DESCRIPTION", this);
    m_pcoDescription = new KwCntText("", 17, m_pcoStatic);

    m_pcoTreeFrame = NewFrame("CW_TREEPAR", this);
    m_pcoTreePar = new KwWChild("CW_TREE", KwPoint(0, 0), KwSize(10, 10), ColFace, ColWindow, ColText);
    Style(*m_pcoTreePar, 0);
    m_pcoTreePar->SetTabStop(1);
    m_pcoTreePar->SetFocusable(1);
    if (!m_pcoTreePar->SysCreate(m_pcoTreeFrame))
        KwFileSelFail("m_pcoTreePar != NULL");
    m_pcoTree = new KwCntTree(KwFileSelDirTree::DestroyObject, 17, m_pcoTreePar);
    m_pcoTree->SetRootNode(KwFileSelDirTree::MakeNode("Root"));
    m_pcoTree->SetNodeBoxSize(KwSize(m_pcoTree->GetNodeBoxSize().Width(), 18));
    // A gap between the connector's end and the node's name.
    m_pcoTree->SetBoxDist(TreeTextGap);
    m_pcoTree->SetFocusColors(ColSelBack, ColSelText);

    m_pcoSize = new KwWChild("CW_SIZE", KwPoint(0, 0), KwSize(SplitBarWidth, 10), ColFace, ColFace, ColText);
    m_pcoSize->SetTabStop(0);
    m_pcoSize->UseBorder(0, 0);
    if (!m_pcoSize->SysCreate(this))
        KwFileSelFail("m_pcoSize != NULL");

    m_pcoListFrame = NewFrame("CW_LIST", this);
    m_pcoListBox = new KwListText("LB_LIST", KwPoint(0, 0), KwSize(10, 10));
    Style(*m_pcoListBox, 0);
    m_pcoListBox->SetTabStop(1);
    if (!m_pcoListBox->SysCreate(m_pcoListFrame))
        KwFileSelFail("m_pcoListBox != NULL");
}

void KwFileSelector::SetLinks()
{
    m_pcoCombo->MVC().SetLink("KW_LINK_COMBOINIT", this, &KwFileSelector::LnkComboInit);
    m_pcoCombo->MVC().SetLink("KW_LINK_COMBOLISTCOMMAND", this, &KwFileSelector::LnkComboCommand);
    m_pcoTree->MVC().SetLink(KwCntTree::LinkGetText, this, &KwFileSelector::LnkNodeText);
    m_pcoTree->MVC().SetLink(KwCntTree::LinkOpen, this, &KwFileSelector::LnkNodeOpen);
    m_pcoTree->MVC().SetLink(KwCntTree::LinkActivate, this, &KwFileSelector::LnkNodeActivate);
    for (KwWnd* pcoTarget : { static_cast<KwWnd*>(m_pcoTreePar), static_cast<KwWnd*>(m_pcoListBox) }) {
        pcoTarget->MVC().SetLink("KW_LINK_CHECKDROP", this, &KwFileSelector::LnkCheckDrop);
        pcoTarget->MVC().SetLink("KW_LINK_NOTIFYDROP", this, &KwFileSelector::LnkDrop);
    }
    m_pcoTreePar->MVC().SetLink("KW_LINK_MOUSEMOVE", this, &KwFileSelector::LnkTreeMove);
    m_pcoTreePar->MVC().AddNotification("KW_LINK_PAINT", this, &KwFileSelector::NotifyTreePaint);
    m_pcoSize->MVC().SetLink("KW_LINK_LBUTTONDOWN", this, &KwFileSelector::LnkSplitDown);
    m_pcoSize->MVC().SetLink("KW_LINK_MOUSEMOVE", this, &KwFileSelector::LnkSplitMove);
    m_pcoSize->MVC().SetLink("KW_LINK_LBUTTONUP", this, &KwFileSelector::LnkSplitUp);
    TMvc& coList = m_pcoListBox->MVC();
    coList.SetLink("KW_LINK_LISTGETTEXT", this, &KwFileSelector::LnkListText);
    coList.SetLink("KW_LINK_LBUTTONDOWN", this, &KwFileSelector::LnkListDown);
    coList.SetLink("KW_LINK_LBUTTONUP", this, &KwFileSelector::LnkListUp);
    coList.SetLink("KW_LINK_SETFOCUS", this, &KwFileSelector::LnkListSetFocus);
    coList.SetLink("KW_LINK_KILLFOCUS", this, &KwFileSelector::LnkListKillFocus);
    coList.SetLink("KW_LINK_MOUSEMOVE", this, &KwFileSelector::LnkListMove);
    coList.SetLink("KW_LINK_KEYDOWN", this, &KwFileSelector::LnkListKey);
    coList.SetLink("KW_LINK_CHAR", this, &KwFileSelector::LnkListChar);
    coList.SetLink("KW_LINK_LISTSELECT", this, &KwFileSelector::LnkListCaret);
    TMvc& coTree = m_pcoTreePar->MVC();
    coTree.SetLink("KW_LINK_KEYDOWN", this, &KwFileSelector::LnkTreeKey);
    coTree.SetLink("KW_LINK_CHAR", this, &KwFileSelector::LnkTreeChar);
    coTree.AddNotification("KW_LINK_SETFOCUS", this, &KwFileSelector::NotifyTreeFocus);
}

void KwFileSelector::InitMembers(TOnlyInternalUse)
{
    InsertDynFunc<KwFileSelector>("KwFileSelector::CopyToOther", &KwFileSelector::DynCopyToOther);
    InsertDynFunc<KwFileSelector>("KwFileSelector::Refresh", &KwFileSelector::DynRefresh);
}

TDynRet KwFileSelector::DynCopyToOther(char*)
{
    return TDynRet(CopyToOther());
}

TDynRet KwFileSelector::DynRefresh(char*)
{
    Refresh();
    return TDynRet(1);
}

int KwFileSelector::SysCreate(KwWnd* pcoParent)
{
    const int nResult = KwWnd::SysCreate(pcoParent);
    if (!nResult)
        return nResult;
    SetFocusable(1);
    SetTabStop(1);
    UseBorder(0, 0);
    SetColBack(ColWindow, 0);
    SetColFore(ColText, 0);
    SetColShadowLight(ColLight, 0);
    SetColShadowDark(ColDark, 0);
    KwFileSelColors::Refresh();
    MakeChildren();
    OpenPath(CurrentOS().GetCurrentDirectory());
    EvSize(0, GetClientSize());
    SetLinks();
    return nResult;
}

int KwFileSelector::EvSize(unsigned short unCode, const KwSize& coSize)
{
    if (!m_pcoTreeFrame)
        return KwWChild::EvSize(unCode, coSize);
    const KwRect coArea = CalcContentRect();
    const short nW = coArea.Width();
    const short nComboW = std::min<short>(nW, 40);
    const short nComboH = std::min<short>(coArea.Height(), 21);
    const short nH = static_cast<short>(coArea.Height() - nComboH);
    const short nTreeW = std::min(nW, m_nSplitPos);
    const short nX = coArea.Left();
    const short nY = static_cast<short>(coArea.Top() + nComboH);
    m_pcoComboFrame->SetPosAndSize(coArea.TopLeft(), KwSize(nComboW, nComboH), 0);
    m_pcoStatic->SetPosAndSize(KwPoint(static_cast<short>(nX + nComboW), coArea.Top()),
                               KwSize(std::max<short>(static_cast<short>(nW - nComboW), 0), nComboH), 0);
    const KwRect coCombo = m_pcoComboFrame->CalcContentRect();
    m_pcoCombo->SetPosAndSize(coCombo.TopLeft(), coCombo.Size(), 0);
    for (KwWnd* pcoPane : { static_cast<KwWnd*>(m_pcoComboFrame), static_cast<KwWnd*>(m_pcoStatic),
                            static_cast<KwWnd*>(m_pcoCombo) })
        pcoPane->Invalidate(1);
    // Every pane is moved before any is painted: Wine copies the pixels of
    // a moved window from where it was, also where a sibling just moved in.
    m_pcoTreeFrame->SetPosAndSize(KwPoint(nX, nY), KwSize(nTreeW, nH), 0);
    m_pcoSize->SetPosAndSize(KwPoint(static_cast<short>(nX + nTreeW), nY), KwSize(SplitBarWidth, nH), 0);
    m_pcoListFrame->SetPosAndSize(KwPoint(static_cast<short>(nX + nTreeW + SplitBarWidth), nY),
                                  KwSize(std::max<short>(static_cast<short>(nW - nTreeW - SplitBarWidth), 0), nH), 0);
    const KwRect coTree = m_pcoTreeFrame->CalcContentRect();
    m_pcoTreePar->SetPosAndSize(coTree.TopLeft(), coTree.Size(), 0);
    const KwRect coList = m_pcoListFrame->CalcContentRect();
    m_pcoListBox->SetPosAndSize(coList.TopLeft(), coList.Size(), 0);
    for (KwWnd* pcoPane : { static_cast<KwWnd*>(m_pcoTreeFrame), static_cast<KwWnd*>(m_pcoSize),
                            static_cast<KwWnd*>(m_pcoListFrame), static_cast<KwWnd*>(m_pcoTreePar),
                            static_cast<KwWnd*>(m_pcoListBox) })
        pcoPane->Invalidate(1);
    KwWChild::EvSize(unCode, coSize);
    return 0;
}

int KwFileSelector::EvPaint(KwPaintDC& coDC)
{
    KwFileSelColors::Refresh();
    return KwWChild::EvPaint(coDC);
}

int KwFileSelector::EvSetFocus(KwWnd* pcoOther)
{
    const int nResult = KwWChild::EvSetFocus(pcoOther);
    if (KwWChild* pcoPane = GetFocusPane())
        pcoPane->SetFocus();
    return nResult;
}

// ---------------------------------------------------------------------------
// Nodes, paths and the disk

std::string KwFileSelector::NodeText(const TTreeNode* pcoNode)
{
    return KwFileSelDirTree::NodeText(pcoNode);
}

TPath KwFileSelector::PathOfNode(const TTreeNode* pcoNode) const
{
    std::vector<std::string> vecNames;
    const bool bReachable = KwFileSelDirTree::SystemNamesOfNode(pcoNode, vecNames);
    if (!bReachable)
        vecNames = KwFileSelDirTree::NamesOfNode(pcoNode);
    std::string strPath;
    for (const std::string& strName : vecNames)
        strPath += "\\" + strName;
    // A directory whose name the system cannot be given keeps its shown
    // path but no drive: for the disk it does not exist, and a drop of it
    // is refused.
    return TPath(bReachable ? m_chDrive : 0, strPath.empty() ? "\\" : strPath.c_str());
}

TTreeNode* KwFileSelector::FindNode(const char* pszFullPath) const
{
    if (!m_pcoTree || !pszFullPath)
        return nullptr;
    TPath coWanted;
    coWanted.Use(pszFullPath);
    if (coWanted.Drive() != m_chDrive || !m_chDrive)
        return nullptr;
    TArray coParts;
    coWanted.Split(coParts);
    std::vector<std::string> vecNames;
    for (long i = 0; i < coParts.Count(); ++i)
        vecNames.emplace_back(static_cast<const char*>(coParts[i]));
    return KwFileSelDirTree::FindByNames(m_pcoTree->GetRootNode(), vecNames, SameName);
}

TString KwFileSelector::CurrentDirectory() const
{
    if (!m_pcoTree || !m_chDrive)
        return TString();
    return PathOfNode(m_pcoTree->GetFocusNode()).ShownPath();
}

std::vector<KwFileSelDirTree::Entry> KwFileSelector::ScanDirectories(const TTreeNode* pcoNode) const
{
    const TPath coPath = PathOfNode(pcoNode);
    const TFileSelection coEntries = coPath.SelectFiles("*.*", TFileInfo::AttrDirectory | TFileInfo::AttrHidden
                                                                   | TFileInfo::AttrSystem, TFileSelection::SortNone);
    std::vector<KwFileSelDirTree::Entry> vecEntries;
    for (long i = 0; i < coEntries.Count(); ++i) {
        const TFileInfo coInfo = coEntries.GetFile(i);
        if (coInfo.IsDirectory())
            vecEntries.emplace_back(std::string(coInfo.Name()), std::string(coInfo.SystemName()));
    }
    return vecEntries;
}

long KwFileSelector::ReadChildren(TTreeNode* pcoNode)
{
    if (!pcoNode)
        return 0;
    const std::vector<KwFileSelDirTree::Entry> vecEntries = ScanDirectories(pcoNode);
    TTreeNode* pcoFocus = m_pcoTree->GetFocusNode();
    TTreeNode* pcoFound = KwFileSelDirTree::ReadChildrenKeepingFocus(pcoNode, vecEntries, pcoFocus, SameName);
    if (pcoFound != pcoFocus)
        FocusDirectory(pcoFound);
    return pcoNode->NodeCount();
}

void KwFileSelector::RefreshNode(TTreeNode* pcoNode)
{
    ReadChildren(pcoNode);
    for (long i = 0; i < pcoNode->NodeCount(); ++i)
        ReadChildren(pcoNode->GetSubNode(i));
}

long KwFileSelector::FillDrives()
{
    TArray coDrives;
    CurrentOS().ScanDrives(coDrives);
    m_pcoCombo->RemoveAll();
    for (long i = 0; i < coDrives.Count(); ++i) {
        const std::string strRoot = static_cast<const char*>(coDrives[i]);
        m_pcoCombo->Add(strRoot.substr(0, 2).c_str());
    }
    return m_pcoCombo->LineCount();
}

int KwFileSelector::SelectDrive(long lPosition)
{
    if (lPosition < 0 || lPosition >= m_pcoCombo->LineCount())
        return 0;
    const TString coLine = m_pcoCombo->GetLine(lPosition);
    if (coLine.IsEmpty())
        return 0;
    m_pcoCombo->SetText(coLine);
    m_chDrive = static_cast<const char*>(coLine)[0];
    ShowDriveInfo();
    m_pcoTree->SetRootNode(KwFileSelDirTree::MakeNode("\\"));
    ShowPath(TPath(m_chDrive, "\\"));
    m_pcoTree->OpenNode(m_pcoTree->GetRootNode(), 1);
    return 1;
}

void KwFileSelector::ShowDriveInfo()
{
    TString coVolume, coFileSystem;
    unsigned short unType = 0;
    const char achRoot[4] = { m_chDrive, ':', '\\', 0 };
    const int nRead = CurrentOS().GetDriveInfo(achRoot, &unType, &coVolume, &coFileSystem);
    std::string strLine = static_cast<const char*>(coVolume);
    if (!coFileSystem.IsEmpty())
        strLine += (strLine.empty() ? "(" : " (") + std::string(coFileSystem) + ")";
    if (nRead)
        strLine += ", " + KwFileSelProgressState::BytesText(CurrentOS().DiskFreeSpace(achRoot)) + " free";
    else if (strLine.empty())
        // A drive that went says nothing of itself.
        strLine = "The drive cannot be read";
    m_pcoDescription->SetText(strLine.c_str());
}

TString KwFileSelector::GetDescription() const
{
    return m_pcoDescription ? m_pcoDescription->GetText() : TString();
}

int KwFileSelector::LnkComboInit(TMvcParam&)
{
    KwComboList* pcoList = m_pcoCombo->GetComboList();
    if (!pcoList)
        KwFileSelFail("m_pcoCombo->GetComboList() != NULL");
    const long lDrives = FillDrives();
    pcoList->SetRange(static_cast<unsigned long>(std::min<long>(lDrives, 5)), 1);
    return 0;
}

int KwFileSelector::LnkComboCommand(TMvcParam& coParam)
{
    const KwEventListBox* pcoEvent = static_cast<KwEvent&>(coParam);
    if (!pcoEvent)
        return 0;
    SelectDrive(static_cast<long>(pcoEvent->Position()));
    return 1;
}

int KwFileSelector::OpenPath(const char* pszText)
{
    if (!pszText || !*pszText || !m_pcoTree)
        return 0;
    TPath coPath;
    coPath.Use(pszText);
    if (!coPath.Drive() || !coPath.Exists())
        return 0;
    FillDrives();
    const char achDrive[3] = { coPath.Drive(), ':', 0 };
    if (!SelectDrive(m_pcoCombo->Find(achDrive)))
        return 0;
    return ShowPath(coPath);
}

int KwFileSelector::ShowPath(const TPath& coPath)
{
    TTreeNode* pcoNode = m_pcoTree->GetRootNode();
    if (!pcoNode)
        KwFileSelFail("m_pcoTree->GetRootNode() != NULL");
    RefreshNode(pcoNode);
    TArray coParts;
    coPath.Split(coParts);
    for (long i = 0; i < coParts.Count() && pcoNode; ++i) {
        const char* pszPart = static_cast<const char*>(coParts[i]);
        if (!pszPart || !*pszPart)
            continue;
        m_pcoTree->OpenNode(pcoNode, 0);
        TTreeNode* pcoNext = nullptr;
        for (long n = 0; n < pcoNode->NodeCount() && !pcoNext; ++n)
            if (SameName(NodeText(pcoNode->GetSubNode(n)), pszPart))
                pcoNext = pcoNode->GetSubNode(n);
        if (pcoNext)
            RefreshNode(pcoNext);
        pcoNode = pcoNext;
    }
    m_pcoTree->OpenNode(m_pcoTree->GetRootNode(), 0);
    if (!pcoNode)
        return 0;
    // The directory shown opens too, so that its subdirectories are there
    // to be dragged or dropped onto.
    m_pcoTree->OpenNode(pcoNode, 1);
    return FocusDirectory(pcoNode);
}

int KwFileSelector::FocusDirectory(TTreeNode* pcoNode)
{
    if (!pcoNode || !m_pcoTree->ContainsNode(pcoNode))
        return 0;
    if (m_pcoTree->GetFocusNode() != pcoNode)
        m_pcoTree->SetFocusNode(pcoNode, 1);
    return ShowFiles(PathOfNode(pcoNode));
}

int KwFileSelector::ShowFiles(const TPath& coPath)
{
    m_coListDir = coPath.FullPath();
    m_coDirFiles = TFileSelection(TFileSelection::SortByExt);
    std::vector<std::string> vecNames;
    if (coPath.Exists()) {
        // A hidden or system directory passes the attribute mask as a file
        // would: only what is no directory is listed.
        const TFileSelection coAll = coPath.SelectFiles("*.*", TFileInfo::AttrHidden | TFileInfo::AttrSystem,
                                                        TFileSelection::SortByExt);
        for (long i = 0; i < coAll.Count(); ++i) {
            TFileInfo coInfo = coAll.GetFile(i);
            if (coInfo.IsDirectory() || coInfo.Name() == "." || coInfo.Name() == "..")
                continue;
            coInfo.SetPath(coPath.ShownPath());
            m_coDirFiles.AddFile(coInfo);
        }
    }
    for (long i = 0; i < m_coDirFiles.Count(); ++i)
        vecNames.emplace_back(static_cast<const char*>(m_coDirFiles.GetFile(i).Name()));
    m_coSelection.SetEntries(vecNames);
    m_pcoListBox->SetRange(static_cast<unsigned long>(vecNames.size()), 1);
    PlaceCaret(0, 0);
    return coPath.Exists() ? 1 : 0;
}

void KwFileSelector::FollowTreeFocus()
{
    TTreeNode* pcoFocus = m_pcoTree ? m_pcoTree->GetFocusNode() : nullptr;
    if (!pcoFocus)
        return;
    const TPath coPath = PathOfNode(pcoFocus);
    const TString coFocusDir = coPath.FullPath();
    if (m_coListDir != static_cast<const char*>(coFocusDir))
        ShowFiles(coPath);
}

// ---------------------------------------------------------------------------
// Tree links

int KwFileSelector::NotifyTreePaint(TMvcParam&)
{
    FollowTreeFocus();
    return 0;
}

int KwFileSelector::LnkNodeText(TMvcParam& coParam)
{
    KwEventCntTree& coEvent = static_cast<KwEventCntTree&>(static_cast<KwEvent&>(coParam));
    coEvent.SetNodeText(NodeText(coEvent.GetNode()).c_str());
    coEvent.SetTextColor(ColText);
    return 1;
}

int KwFileSelector::LnkNodeOpen(TMvcParam& coParam)
{
    KwEventCntTree& coEvent = static_cast<KwEventCntTree&>(static_cast<KwEvent&>(coParam));
    if (!coEvent.GetNode())
        KwFileSelFail("pcoEvent->GetNode() != NULL");
    RefreshNode(coEvent.GetNode());
    return 1;
}

int KwFileSelector::LnkNodeActivate(TMvcParam& coParam)
{
    KwEventCntTree& coEvent = static_cast<KwEventCntTree&>(static_cast<KwEvent&>(coParam));
    if (!coEvent.GetNode())
        KwFileSelFail("pcoEvent->GetNode() != NULL");
    FocusDirectory(coEvent.GetNode());
    return 0;
}

// ---------------------------------------------------------------------------
// The list and its selection

int KwFileSelector::LnkListText(TMvcParam& coParam)
{
    const KwEventListBox* pcoEvent = static_cast<KwEvent&>(coParam);
    if (!pcoEvent)
        return 0;
    const long lPos = static_cast<long>(pcoEvent->Position());
    // Without the focus the selection stays in sight, in the face colour
    // (as the tree shows its focus node then), so that what F5 would copy
    // can be seen from the other pane.
    const int nSelected = m_coSelection.IsSelected(lPos);
    const int nMarked = nSelected && m_nListFocus;
    m_pcoListBox->SetListBoxText(m_coSelection.Name(lPos).c_str(), nMarked ? ColSelText : ColText,
                                 nMarked ? ColSelBack : (nSelected ? ColFace : ColWindow));
    return 1;
}

long KwFileSelector::GetListCount() const
{
    return m_coSelection.Count();
}

std::string KwFileSelector::GetListName(long lPosition) const
{
    return m_coSelection.Name(lPosition);
}

int KwFileSelector::IsListSelected(long lPosition) const
{
    return m_coSelection.IsSelected(lPosition);
}

long KwFileSelector::ListPosition(TMvcParam& coParam) const
{
    const short nLine = m_pcoListBox->LineFromPoint(MouseOf(coParam).Position());
    return nLine < 0 ? -1 : m_pcoListBox->PosFromLine(nLine);
}

void KwFileSelector::ListClick(long lPosition, int nRelease, unsigned short unKeyFlags)
{
    if (lPosition < 0 || m_coSelection.Name(lPosition).empty())
        return;
    const int nChanged = nRelease ? m_coSelection.Release(lPosition)
                                  : m_coSelection.Press(lPosition, (unKeyFlags & MouseCtrl) ? 1 : 0,
                                                        (unKeyFlags & MouseShift) ? 1 : 0);
    if (nChanged)
        m_pcoListBox->ShowChange(1);
}

int KwFileSelector::LnkListDown(TMvcParam& coParam)
{
    ListClick(ListPosition(coParam), 0, MouseOf(coParam).KeyFlags());
    return 0;
}

int KwFileSelector::LnkListUp(TMvcParam& coParam)
{
    if (m_coSelection.IsDeselectPending())
        ListClick(ListPosition(coParam), 1, MouseOf(coParam).KeyFlags());
    return 0;
}

int KwFileSelector::LnkListSetFocus(TMvcParam&)
{
    m_nListFocus = 1;
    m_pcoFocusPane = m_pcoListBox;
    m_pcoListBox->ShowChange(1);
    return 0;
}

int KwFileSelector::LnkListKillFocus(TMvcParam&)
{
    m_nListFocus = 0;
    m_pcoListBox->ShowChange(1);
    return 0;
}

// ---------------------------------------------------------------------------
// Dragging

int KwFileSelector::StartDrag(KwWnd& coWnd, const char* pszName, void* pvData)
{
    if (m_coDrag.IsDragging())
        return 0;
    const BitmapLoader pfnLoad = m_stpfnLoader ? m_stpfnLoader : &KwFileSelLoadAppPicture;
    KwBitmap coDrop, coNoDrop;
    if (!pfnLoad("BMP_DROPMP", coDrop) || !pfnLoad("BMP_NODROP", coNoDrop))
        return 0;
    const unsigned long ulTransparent = KwSysColor(13).GetRealColor();
    m_coDrag.ChangeDropBitmap(coDrop, ulTransparent);
    m_coDrag.ChangeNoDropBitmap(coNoDrop, ulTransparent);
    m_coDrag.InitDragObject(pszName, pvData);
    return m_coDrag.StartDrag(&coWnd);
}

int KwFileSelector::LnkTreeMove(TMvcParam& coParam)
{
    const KwEventMouse& coMouse = MouseOf(coParam);
    if (!(coMouse.KeyFlags() & MouseLeft) || m_coDrag.IsDragging())
        return 0;
    TTreeNode* pcoNode = m_pcoTree->NodeFromPoint(coMouse.Position());
    if (!pcoNode)
        return 0;
    m_coDragPath = PathOfNode(pcoNode);
    StartDrag(*m_pcoTreePar, s_pszDirectoryDrag, &m_coDragPath);
    return 0;
}

int KwFileSelector::LnkListMove(TMvcParam& coParam)
{
    const KwEventMouse& coMouse = MouseOf(coParam);
    if (!(coMouse.KeyFlags() & MouseLeft) || m_coDrag.IsDragging() || m_coSelection.SelectedCount() == 0)
        return 0;
    // A drag keeps the selection: the release that ends it is no click.
    m_coSelection.Release(-1);
    m_coSelFiles = TFileSelection();
    for (const std::string& strName : m_coSelection.SelectedNames())
        m_coSelFiles.AddFile(m_coDirFiles.GetFile(m_coDirFiles.FindFile(strName.c_str())));
    StartDrag(*m_pcoListBox, s_pszFilesDrag, &m_coSelFiles);
    return 0;
}

// ---------------------------------------------------------------------------
// Dropping

TTreeNode* KwFileSelector::NodeAt(KwWnd& coWnd, const KwPoint& coClient) const
{
    return &coWnd == m_pcoTreePar ? m_pcoTree->NodeFromPoint(coClient) : nullptr;
}

TTreeNode* KwFileSelector::DropTarget(KwWnd& coTarget, const KwPoint& coClient) const
{
    if (Named(coTarget, "CW_TREE"))
        return NodeAt(coTarget, coClient);
    if (Named(coTarget, "LB_LIST"))
        return m_pcoTree->GetFocusNode();
    return nullptr;
}

std::string KwFileSelector::CheckDirectoryDrop(const TPath& coSource, const TTreeNode* pcoTarget) const
{
    if (!pcoTarget)
        return "no directory to drop into";
    if (!coSource.IsValid())
        return KwFileSelDropRules::UnreachableName(static_cast<const char*>(coSource.Path()));
    return KwFileSelDropRules().CheckDirectoryDrop(EngineText(coSource.ShownPath()),
                                                   EngineText(PathOfNode(pcoTarget).ShownPath()));
}

std::string KwFileSelector::CheckFilesDrop(const TFileSelection& coFiles, const TTreeNode* pcoTarget) const
{
    if (!pcoTarget)
        return "no directory to drop into";
    std::vector<std::string> vecFiles;
    const std::string strRefusal = KwFileSelDropRules::SystemPaths(coFiles, vecFiles);
    if (!strRefusal.empty())
        return strRefusal;
    for (std::string& strFile : vecFiles)
        strFile = EngineText(strFile.c_str());
    return KwFileSelDropRules().CheckFilesDrop(vecFiles, EngineText(PathOfNode(pcoTarget).ShownPath()));
}

int KwFileSelector::LnkCheckDrop(TMvcParam& coParam)
{
    FollowTreeFocus();
    const KwEventDrop& coEvent = dynamic_cast<const KwEventDrop&>(coParam);
    KwWnd& coTarget = coEvent.Window();
    const KwPoint coClient = coTarget.ScreenToClient(coEvent.GetPoint());
    // A source whose name the system cannot be given passes the check onto
    // a directory, so that the drop can tell the user why it copies nothing.
    if (SameName(static_cast<const char*>(coEvent.GetName()), s_pszDirectoryDrag)) {
        const TPath* pcoSource = static_cast<const TPath*>(coEvent.GetData());
        if (!pcoSource || pcoSource == &m_coDragPath)
            return 0;
        TTreeNode* pcoTarget = DropTarget(coTarget, coClient);
        if (pcoTarget && !pcoSource->IsValid())
            return 1;
        return CheckDirectoryDrop(*pcoSource, pcoTarget).empty() ? 1 : 0;
    }
    if (SameName(static_cast<const char*>(coEvent.GetName()), s_pszFilesDrag)) {
        const TFileSelection* pcoFiles = static_cast<const TFileSelection*>(coEvent.GetData());
        if (!pcoFiles || pcoFiles == &m_coSelFiles)
            return 0;
        TTreeNode* pcoTarget = DropTarget(coTarget, coClient);
        std::vector<std::string> vecPaths;
        if (pcoTarget && !KwFileSelDropRules::SystemPaths(*pcoFiles, vecPaths).empty())
            return 1;
        return CheckFilesDrop(*pcoFiles, pcoTarget).empty() ? 1 : 0;
    }
    return 0;
}

int KwFileSelector::LnkDrop(TMvcParam& coParam)
{
    FollowTreeFocus();
    const KwEventDrop& coEvent = dynamic_cast<const KwEventDrop&>(coParam);
    TTreeNode* pcoTarget = DropTarget(coEvent.Window(), coEvent.GetPoint());
    if (!pcoTarget)
        return 0;
    if (SameName(static_cast<const char*>(coEvent.GetName()), s_pszDirectoryDrag))
        return DropDirectory(*static_cast<TPath*>(coEvent.GetData()), pcoTarget);
    if (SameName(static_cast<const char*>(coEvent.GetName()), s_pszFilesDrag))
        return DropFiles(*static_cast<TFileSelection*>(coEvent.GetData()), pcoTarget);
    return 0;
}

void KwFileSelector::ReportRefusal(const std::string& strReason)
{
    if (KwApp* pcoApp = pcoKwSys ? pcoKwSys->GetApp() : nullptr)
        pcoApp->Message(("Nothing was copied: " + strReason + ".").c_str(), "ZORVIK Message", GetParentFrame(), 0);
}

int KwFileSelector::RunCopy(KwEventFileSelector& coEvent)
{
    if (!coEvent.GetTarget())
        return 0;
    KwFileSelProgress coProgress(GetParentFrame());
    // The engine gets each file by the name the system finds it by.
    TFileSelection coSystemFiles(TFileSelection::SortNone);
    if (const TPath* pcoSource = coEvent.GetSourceDirectory())
        coProgress.SetPathFrom(pcoSource->ShownPath());
    else if (const TFileSelection* pcoFiles = coEvent.GetSourceFiles()) {
        if (pcoFiles->IsEmpty() || !KwFileSelDropRules::SystemFiles(*pcoFiles, coSystemFiles).empty())
            return 0;
        coProgress.SetPathFrom(pcoFiles->GetFile(0).Path());
        coProgress.SetFiles(&coSystemFiles);
    } else
        return 0;
    coProgress.SetPathTo(coEvent.GetTarget()->ShownPath());
    coProgress.RunModal();
    return coProgress.State().GetPhase() == KwFileSelProgressState::Finished;
}

int KwFileSelector::DropDirectory(TPath& coSource, TTreeNode* pcoTarget)
{
    // The check ran on the pointer's way in; the disk may have changed
    // since, so the drop checks again before anything is copied.
    const std::string strRefusal = CheckDirectoryDrop(coSource, pcoTarget);
    if (!strRefusal.empty()) {
        if (!coSource.IsValid())
            ReportRefusal(strRefusal);
        return 0;
    }
    TPath coTarget = PathOfNode(pcoTarget);
    if (FireEvent<KwEventFileSelector>("KW_LINK_COPY_DIRECTORY",
                                       [&] { return KwEventFileSelector(this, &coSource, &coTarget); }))
        return 0;
    KwEventFileSelector coEvent(this, &coSource, &coTarget);
    RunCopy(coEvent);
    ShowCopied(coTarget.FullPath());
    return 1;
}

int KwFileSelector::DropFiles(TFileSelection& coFiles, TTreeNode* pcoTarget)
{
    std::vector<std::string> vecPaths;
    const std::string strUnreachable = KwFileSelDropRules::SystemPaths(coFiles, vecPaths);
    if (!strUnreachable.empty()) {
        ReportRefusal(strUnreachable);
        return 0;
    }
    if (!CheckFilesDrop(coFiles, pcoTarget).empty())
        return 0;
    TPath coTarget = PathOfNode(pcoTarget);
    if (FireEvent<KwEventFileSelector>("KW_LINK_COPY_FILES",
                                       [&] { return KwEventFileSelector(this, &coFiles, &coTarget); }))
        return 0;
    KwEventFileSelector coEvent(this, &coFiles, &coTarget);
    RunCopy(coEvent);
    ShowCopied(coTarget.FullPath());
    return 1;
}

// ---------------------------------------------------------------------------
// The splitter

KwPoint KwFileSelector::InSelector(TMvcParam& coParam) const
{
    return ScreenToClient(m_pcoSize->ClientToScreen(MouseOf(coParam).Position()));
}

int KwFileSelector::LnkSplitDown(TMvcParam& coParam)
{
    SetSizeCursor();
    m_pcoSize->SetCapture();
    m_pcoRubberLn = std::make_unique<KwRubberLine>(7, 6, 0);
    m_pcoRubberLn->SetLineWidth(SplitBarWidth);
    const KwRect coBar = m_pcoSize->GetRect();
    const short nX = static_cast<short>(coBar.Left() + (coBar.Width() + 1) / 2);
    KwDC coDC(this);
    m_pcoRubberLn->StartMove(coDC, KwPoint(nX, -10000), KwPoint(nX, 10000), InSelector(coParam));
    return 0;
}

int KwFileSelector::LnkSplitMove(TMvcParam& coParam)
{
    SetSizeCursor();
    if (KwWnd::GetCapture() != m_pcoSize || !m_pcoRubberLn)
        return 0;
    KwPoint coPoint = InSelector(coParam);
    const short nMax = static_cast<short>(GetClientSize().Width() - SplitMinimum);
    coPoint.SetX(std::max<short>(SplitMinimum, std::min(coPoint.X(), nMax)));
    KwDC coDC(this);
    m_pcoRubberLn->Show(coDC, coPoint);
    return 0;
}

int KwFileSelector::LnkSplitUp(TMvcParam&)
{
    SetSizeCursor();
    if (KwWnd::GetCapture() != m_pcoSize)
        return 0;
    KwWnd::ReleaseCapture();
    if (!m_pcoRubberLn)
        return 0;
    KwDC coDC(this);
    m_pcoRubberLn->End(coDC);
    // The line's middle was at the bar's middle: the bar starts half its
    // width to the left.
    m_nSplitPos = static_cast<short>(m_pcoRubberLn->GetLinePoint1().X() - SplitBarWidth / 2);
    m_pcoRubberLn.reset();
    EvSize(0, GetClientSize());
    return 0;
}

// ---------------------------------------------------------------------------
// Reading again

void KwFileSelector::MergeShown(TTreeNode* pcoNode)
{
    KwFileSelDirTree::MergeChildren(pcoNode, ScanDirectories(pcoNode), SameName);
    // A closed child is read too, so that its box shows whether it has
    // children now.
    for (long i = 0; i < pcoNode->NodeCount(); ++i) {
        TTreeNode* pcoChild = pcoNode->GetSubNode(i);
        if (pcoChild->IsOpen())
            MergeShown(pcoChild);
        else
            KwFileSelDirTree::MergeChildren(pcoChild, ScanDirectories(pcoChild), SameName);
    }
}

void KwFileSelector::Refresh()
{
    if (!m_pcoTree || !m_chDrive || !m_pcoTree->GetRootNode())
        return;
    std::vector<std::string> vecFocus = KwFileSelDirTree::NamesOfNode(m_pcoTree->GetFocusNode());
    const long lTopLine = m_pcoTree->GetTopLine();
    const short nLeft = m_pcoTree->GetLeftOffset();
    const TString coListDir = m_coListDir;
    const unsigned long ulListTop = m_pcoListBox->GetCurrentPos();
    const std::string strCaret = m_coSelection.Name(m_pcoListBox->GetCurrentSel());
    const std::vector<std::string> vecSelected = m_coSelection.SelectedNames();

    ShowDriveInfo();
    MergeShown(m_pcoTree->GetRootNode());
    TTreeNode* pcoFocus = nullptr;
    for (;; vecFocus.pop_back()) {
        pcoFocus = KwFileSelDirTree::FindByNames(m_pcoTree->GetRootNode(), vecFocus, SameName);
        if (pcoFocus || vecFocus.empty())
            break;
    }
    if (!pcoFocus)
        pcoFocus = m_pcoTree->GetRootNode();
    m_pcoTree->SetFocusNode(pcoFocus, 0);
    m_pcoTree->SetTopLine(lTopLine, 0);
    m_pcoTree->SetLeftOffset(nLeft, 0);
    m_pcoTreePar->Invalidate(0);
    ShowFiles(PathOfNode(pcoFocus));
    if (m_coListDir != static_cast<const char*>(coListDir))
        return;
    // The same directory: what the user had in the list stays.
    m_coSelection.SelectNames(vecSelected);
    long lCaret = 0;
    while (lCaret < m_coSelection.Count() && m_coSelection.Name(lCaret) != strCaret)
        ++lCaret;
    PlaceCaret(lCaret < m_coSelection.Count() ? lCaret : 0, ulListTop);
    m_pcoListBox->ShowChange(1);
}

void KwFileSelector::ShowCopied(const TString& coTarget)
{
    Refresh();
    // The copy shows under the directory it went to.
    if (TTreeNode* pcoTarget = FindNode(coTarget))
        m_pcoTree->OpenNode(pcoTarget, 1);
}

// ---------------------------------------------------------------------------
// The keyboard

KwWChild* KwFileSelector::GetFocusPane() const
{
    return m_pcoFocusPane ? m_pcoFocusPane : m_pcoTreePar;
}

KwFileSelector* KwFileSelector::NextSelector(int nForward) const
{
    const KwWnd* pcoParent = GetParent();
    if (!pcoParent)
        return const_cast<KwFileSelector*>(this);
    std::vector<KwFileSelector*> vecSelectors;
    for (KwWnd* pcoChild = pcoParent->GetChildFirst(); pcoChild; pcoChild = pcoParent->GetChildNext(pcoChild))
        if (KwFileSelector* pcoSelector = dynamic_cast<KwFileSelector*>(pcoChild))
            vecSelectors.push_back(pcoSelector);
    const auto itSelf = std::find(vecSelectors.begin(), vecSelectors.end(), this);
    if (itSelf == vecSelectors.end())
        return const_cast<KwFileSelector*>(this);
    const size_t nCount = vecSelectors.size();
    const size_t nSelf = static_cast<size_t>(itSelf - vecSelectors.begin());
    return vecSelectors[(nSelf + (nForward ? 1 : nCount - 1)) % nCount];
}

void KwFileSelector::TabFrom(const KwWnd& coPane, int nForward)
{
    const bool bTree = &coPane == m_pcoTreePar;
    if (bTree == static_cast<bool>(nForward)) {
        (bTree ? static_cast<KwWChild*>(m_pcoListBox) : m_pcoTreePar)->SetFocus();
        return;
    }
    KwFileSelector* pcoNext = NextSelector(nForward);
    (nForward ? pcoNext->m_pcoTreePar : static_cast<KwWChild*>(pcoNext->m_pcoListBox))->SetFocus();
}

int KwFileSelector::GoToParent()
{
    TTreeNode* pcoFocus = m_pcoTree ? m_pcoTree->GetFocusNode() : nullptr;
    if (!pcoFocus || !pcoFocus->GetParentNode())
        return 0;
    return FocusDirectory(pcoFocus->GetParentNode());
}

int KwFileSelector::OpenFocusDirectory()
{
    TTreeNode* pcoFocus = m_pcoTree->GetFocusNode();
    if (!pcoFocus)
        return 0;
    RefreshNode(pcoFocus);
    pcoFocus = m_pcoTree->GetFocusNode();
    return pcoFocus ? m_pcoTree->OpenNode(pcoFocus, 1) : 0;
}

void KwFileSelector::ChooseDrive()
{
    KwWChild* pcoPane = GetFocusPane();
    m_pcoCombo->SetFocus();
    // The drop-down runs modally until a drive is chosen or it is left.
    m_pcoCombo->StartSelection(0);
    if (pcoPane && pcoPane->GetHandle())
        pcoPane->SetFocus();
}

int KwFileSelector::PaneKey(unsigned short unKey)
{
    const KwKeyTable& coKeys = Keys();
    if (unKey == coKeys.GetKey(KeyF5))
        CopyToOther();
    else if (unKey == coKeys.GetKey(KeyF4))
        ChooseDrive();
    else if (unKey == coKeys.GetKey(KeyBackspace))
        GoToParent();
    else if (unKey == KeyR && coKeys.IsCtrl() && !coKeys.IsAlt()) {
        // Every selector of the window, this one last, so that its pane
        // keeps the focus.
        for (KwFileSelector* pcoOther = NextSelector(1); pcoOther != this; pcoOther = pcoOther->NextSelector(1))
            pcoOther->Refresh();
        Refresh();
    } else
        return 0;
    return 1;
}

int KwFileSelector::NotifyTreeFocus(TMvcParam&)
{
    m_pcoFocusPane = m_pcoTreePar;
    return 0;
}

int KwFileSelector::LnkTreeKey(TMvcParam& coParam)
{
    return PaneKey(KeyOf(coParam));
}

int KwFileSelector::LnkListKey(TMvcParam& coParam)
{
    return PaneKey(KeyOf(coParam));
}

int KwFileSelector::PaneChar(const KwWnd& coPane, unsigned short unChar)
{
    const KwKeyTable& coKeys = Keys();
    if (unChar == coKeys.GetKey(KeyTab)) {
        TabFrom(coPane, !coKeys.IsShift());
        return 1;
    }
    // Backspace went as its key; its character is not passed on.
    return unChar == coKeys.GetKey(KeyBackspace) ? 1 : 0;
}

int KwFileSelector::LnkTreeChar(TMvcParam& coParam)
{
    const unsigned short unChar = KeyOf(coParam);
    if (PaneChar(*m_pcoTreePar, unChar))
        return 1;
    if (unChar != Keys().GetKey(KeyReturn))
        return TreeTypeAhead(unChar);
    OpenFocusDirectory();
    return 1;
}

int KwFileSelector::LnkListChar(TMvcParam& coParam)
{
    const unsigned short unChar = KeyOf(coParam);
    if (PaneChar(*m_pcoListBox, unChar))
        return 1;
    if (unChar != CharSpace)
        return 0;
    if (m_coSelection.Toggle(m_pcoListBox->GetCurrentSel()))
        m_pcoListBox->ShowChange(1);
    return 1;
}

// The list's own selection is the caret. A move by the keys (or the list's
// type-ahead) selects as the keyboard does; a press of the mouse has
// selected already (ListClick).
int KwFileSelector::LnkListCaret(TMvcParam& coParam)
{
    const KwEventListBox* pcoEvent = static_cast<KwEvent&>(coParam);
    if (!pcoEvent || m_nPlacingCaret || (pcoKwSys && (pcoKwSys->GetKeyState(KeyLeftButton) & 0x8000)))
        return 0;
    const KwKeyTable& coKeys = Keys();
    if (m_coSelection.MoveCaret(static_cast<long>(pcoEvent->Position()), coKeys.IsCtrl(), coKeys.IsShift()))
        m_pcoListBox->ShowChange(1);
    return 0;
}

void KwFileSelector::PlaceCaret(long lPosition, unsigned long ulTop)
{
    m_nPlacingCaret = 1;
    if (lPosition < m_coSelection.Count())
        m_pcoListBox->SelectLine(static_cast<unsigned long>(lPosition));
    else
        m_pcoListBox->UnSelectLine(0);
    m_pcoListBox->SetCurrentPos(ulTop, 1);
    m_nPlacingCaret = 0;
}

// A typed character: the next directory shown after the focus whose name
// begins with it, round from the top. Its two halves when it lies beyond
// the Basic Multilingual Plane come one after the other.
int KwFileSelector::TreeTypeAhead(unsigned short unUnit)
{
    unsigned long ulChar = 0;
    if (!TUtf8::JoinUnit(unUnit, m_unPendingUnit, ulChar))
        return 1;
    // '+' and '-' open and close the node (the tree's own keys).
    if (ulChar < 0x20 || ulChar == 0x7F || ulChar == '+' || ulChar == '-' || !pcoKwSys)
        return 0;
    const TString coChar = pcoKwSys->CharText(ulChar);
    const size_t nChar = coChar.Strlen();
    std::vector<TTreeNode*> vecShown;
    CollectShown(m_pcoTree->GetRootNode(), vecShown);
    const auto itFocus = std::find(vecShown.begin(), vecShown.end(), m_pcoTree->GetFocusNode());
    const size_t nStart = itFocus == vecShown.end() ? 0 : static_cast<size_t>(itFocus - vecShown.begin()) + 1;
    for (size_t nStep = 0; nStep < vecShown.size(); ++nStep) {
        TTreeNode* pcoNode = vecShown[(nStart + nStep) % vecShown.size()];
        const std::string strText = NodeText(pcoNode);
        if (!strText.empty() && TUtf8::SameCharIgnoringCase(strText.c_str(), TUtf8::CharSize(strText.c_str(), strText.size()),
                                                            coChar, nChar)) {
            FocusDirectory(pcoNode);
            return 1;
        }
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Copying by the keyboard

int KwFileSelector::CopyToOther()
{
    KwFileSelector* pcoTarget = NextSelector(1);
    if (pcoTarget == this || !m_chDrive || !pcoTarget->m_chDrive)
        return 0;
    FollowTreeFocus();
    pcoTarget->FollowTreeFocus();
    TTreeNode* pcoInto = pcoTarget->m_pcoTree->GetFocusNode();
    std::string strRefusal;
    if (GetFocusPane() == m_pcoListBox) {
        std::vector<std::string> vecNames = m_coSelection.SelectedNames();
        if (vecNames.empty() && !m_coSelection.Name(m_pcoListBox->GetCurrentSel()).empty())
            vecNames.push_back(m_coSelection.Name(m_pcoListBox->GetCurrentSel()));
        m_coSelFiles = TFileSelection();
        for (const std::string& strName : vecNames)
            m_coSelFiles.AddFile(m_coDirFiles.GetFile(m_coDirFiles.FindFile(strName.c_str())));
        std::vector<std::string> vecPaths;
        strRefusal = KwFileSelDropRules::SystemPaths(m_coSelFiles, vecPaths);
        if (strRefusal.empty())
            strRefusal = pcoTarget->CheckFilesDrop(m_coSelFiles, pcoInto);
        if (strRefusal.empty())
            return pcoTarget->DropFiles(m_coSelFiles, pcoInto);
    } else {
        m_coDragPath = PathOfNode(m_pcoTree->GetFocusNode());
        strRefusal = pcoTarget->CheckDirectoryDrop(m_coDragPath, pcoInto);
        if (strRefusal.empty())
            return pcoTarget->DropDirectory(m_coDragPath, pcoInto);
    }
    ReportRefusal(strRefusal);
    return 0;
}
