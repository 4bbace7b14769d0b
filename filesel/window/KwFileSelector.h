#pragma once

#include "FlslApi.h"
#include "KwDragObject.h"
#include "KwFileSelDirTree.h"
#include "KwFileSelListSelection.h"
#include "KwRubberShapes.h"
#include "KwWChild.h"
#include "TFileSelection.h"
#include "TPath.h"

#include <memory>
#include <string>
#include <vector>

class KwBitmap;
class KwCntText;
class KwCntTree;
class KwComboBox;
class KwEventFileSelector;
class KwListText;

class TTreeNode;

// One drive's directory tree beside the files of the directory that has
// the tree's focus. A directory dragged from the tree, or the files
// selected in the list, can be dropped onto another selector; the drop is
// reported as "KW_LINK_COPY_DIRECTORY" or "KW_LINK_COPY_FILES" (a
// KwEventFileSelector) to the selector they were dropped on.
//
// The list always shows the files of the tree's focus node: every change
// of that focus goes through FocusDirectory, and a node re-read from the
// disk finds its focus again by path, since re-reading deletes the old
// nodes. The tree moves its focus silently when the program closes a node
// above it; the list catches up when the tree is painted and before a drop.
//
// A drop is refused in the drop check, before anything is copied, when it
// comes from this selector, when its target is no existing directory, when
// a directory would land on itself, below itself or in its own parent, and
// when files would land in the directory they are in.
//
// The keyboard. Tab and Shift+Tab go round the panes of the selectors of
// one window: this tree, this list, the next selector's tree, its list. In
// the tree the arrows, Page keys, Home and End move the focus directory,
// a typed character goes to the next directory shown that begins with it,
// Enter opens the directory. In the list the same keys and type-ahead move
// the caret and select the entry there alone; with Shift they select from
// the anchor, with Ctrl they move the caret only; Space selects or
// deselects the entry under the caret. In both: Backspace goes to the
// parent directory, F4 opens the drive list, F5 copies (CopyToOther),
// Ctrl+R reads every selector of the window again (Refresh).
//
// After a copy the selector that received it reads its directories again,
// keeping its focus, the scroll positions and the selection; a directory
// that went leaves the focus on its nearest ancestor, a drive that went an
// empty tree, without any message.
class FLSL_API KwFileSelector : public KwWChild {
    KW_DYNAMIC_CLASS(KwFileSelector, KwWChild)
    KW_MVC_CLASS(KwFileSelector, KwWChild)
public:
    // Reads a drag picture by its resource id into the bitmap; 1 when it
    // did. Without one set, the application's resources serve
    // (KwFileSelLoadAppPicture); when loading fails nothing can be dragged.
    using BitmapLoader = int (*)(const char* pszId, KwBitmap& coBitmap);
    enum : short { SplitMinimum = 35, SplitBarWidth = 3, DefaultSplit = 165, TreeTextGap = 3 };

    KwFileSelector();
    explicit KwFileSelector(const char* pszName);
    KwFileSelector(const char* pszName, const KwPoint& coPos, const KwSize& coSize);
    explicit KwFileSelector(const KwWChild& coOther);
    ~KwFileSelector() override;
    KwFileSelector& operator=(const KwFileSelector&) = delete;

    static void SetBitmapLoader(BitmapLoader pfnLoader);

    // Shows the directory (a full path such as "C:\DATA"): its drive's
    // tree opened down to it and its files. 0 when it does not exist.
    int OpenPath(const char* pszText);
    // The directory of the tree's focus node ("" before a drive is shown).
    TString CurrentDirectory() const;
    short GetSplitPos() const { return m_nSplitPos; }

    // The parts, for the program and its tests.
    KwComboBox* GetDriveCombo() const { return m_pcoCombo; }
    // The volume shown: "name (file system)", or the reason it cannot be read.
    TString GetDescription() const;
    KwCntTree* GetTree() const { return m_pcoTree; }
    KwWChild* GetTreeWindow() const { return m_pcoTreePar; }
    KwListText* GetList() const { return m_pcoListBox; }
    KwWChild* GetSplitBar() const { return m_pcoSize; }
    // The list: its entries' names and which are selected.
    long GetListCount() const;
    std::string GetListName(long lPosition) const;
    int IsListSelected(long lPosition) const;
    // The list's entries: name, size, times, in list order.
    const TFileSelection& GetDirectoryFiles() const { return m_coDirFiles; }

    // Tree nodes and their paths.
    static std::string NodeText(const TTreeNode* pcoNode);
    TPath PathOfNode(const TTreeNode* pcoNode) const;
    // The node of a full path, or null when the tree does not show it.
    TTreeNode* FindNode(const char* pszFullPath) const;
    // Moves the tree's focus to the node and shows its files: the one way
    // the focus changes.
    int FocusDirectory(TTreeNode* pcoNode);
    // The drop checks of the file selector, with the reason of a refusal.
    std::string CheckDirectoryDrop(const TPath& coSource, const TTreeNode* pcoTarget) const;
    std::string CheckFilesDrop(const TFileSelection& coFiles, const TTreeNode* pcoTarget) const;

    // The keyboard's operations (also called by name: "KwFileSelector::
    // CopyToOther", "KwFileSelector::Refresh").
    // Copies what the pane with the focus (or the one that had it last)
    // offers into the current directory of the next selector of the
    // window: the list's selected files (the entry under the caret when
    // none is selected) or the tree's focus directory, through the drop
    // checks and the copy a drop runs. A refusal is told in a message box.
    // 1 when it copied.
    int CopyToOther();
    // Reads the drive and the directories shown again (see the class
    // comment).
    void Refresh();
    // The parent of the focus directory gets the focus; 0 at the root.
    int GoToParent();
    // The tree window or the list: the pane that has or last had the focus.
    KwWChild* GetFocusPane() const;
    // The next (or previous) selector among the parent's children, round;
    // this one when it is alone.
    KwFileSelector* NextSelector(int nForward) const;

    KwWnd* Copy() const override { return new KwFileSelector(static_cast<const KwWChild&>(*this)); }
    int SysCreate(KwWnd* pcoParent) override;
    int EvSize(unsigned short unCode, const KwSize& coSize) override;
    int EvPaint(KwPaintDC& coDC) override;
    // The focus goes on to the pane that had it last.
    int EvSetFocus(KwWnd* pcoOther) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    void InitMembers(TOnlyInternalUse) override;
    // What a drop does when no link took the copy over: 1 when it copied.
    // The selector alone copies nothing; the program's selector runs the
    // progress window here.
    virtual int RunCopy(KwEventFileSelector& coEvent);
    // Tells the user why a drop copies nothing although it was let through:
    // a name that cannot be handed to the system (the application's
    // message box).
    virtual void ReportRefusal(const std::string& strReason);

private:
    void MakeChildren();
    void SetLinks();
    KwWChild* NewFrame(const char* pszName, KwWnd* pcoParent);

    // The disk
    long FillDrives();
    int SelectDrive(long lPosition);
    // The volume line: its name, file system and free space, or why it
    // cannot be read.
    void ShowDriveInfo();
    // The directories below a node as the disk has them now.
    std::vector<KwFileSelDirTree::Entry> ScanDirectories(const TTreeNode* pcoNode) const;
    // Reads the node's children again keeping what is still there, and so
    // on down every open node.
    void MergeShown(TTreeNode* pcoNode);
    // After a copy into the directory: read again, the target opened.
    void ShowCopied(const TString& coTarget);
    int ShowPath(const TPath& coPath);
    int ShowFiles(const TPath& coPath);
    void FollowTreeFocus();
    long ReadChildren(TTreeNode* pcoNode);
    void RefreshNode(TTreeNode* pcoNode);
    TTreeNode* NodeAt(KwWnd& coWnd, const KwPoint& coClient) const;
    TTreeNode* DropTarget(KwWnd& coTarget, const KwPoint& coClient) const;

    // Links
    int LnkComboInit(TMvcParam& coParam);
    int LnkComboCommand(TMvcParam& coParam);
    int LnkNodeText(TMvcParam& coParam);
    int LnkNodeOpen(TMvcParam& coParam);
    int LnkNodeActivate(TMvcParam& coParam);
    int LnkListText(TMvcParam& coParam);
    int LnkListDown(TMvcParam& coParam);
    int LnkListUp(TMvcParam& coParam);
    int LnkListSetFocus(TMvcParam& coParam);
    int LnkListKillFocus(TMvcParam& coParam);
    int LnkTreeMove(TMvcParam& coParam);
    int NotifyTreePaint(TMvcParam& coParam);
    int LnkListMove(TMvcParam& coParam);
    int LnkCheckDrop(TMvcParam& coParam);
    int LnkDrop(TMvcParam& coParam);
    int LnkSplitDown(TMvcParam& coParam);
    int LnkSplitMove(TMvcParam& coParam);
    int LnkSplitUp(TMvcParam& coParam);
    int LnkTreeKey(TMvcParam& coParam);
    int LnkTreeChar(TMvcParam& coParam);
    int NotifyTreeFocus(TMvcParam& coParam);
    int LnkListKey(TMvcParam& coParam);
    int LnkListChar(TMvcParam& coParam);
    int LnkListCaret(TMvcParam& coParam);

    // The keyboard
    // Keys of both panes: F4, F5, Backspace, Ctrl+R. 1 when taken.
    int PaneKey(unsigned short unKey);
    // Tab from the pane.
    void TabFrom(const KwWnd& coPane, int nForward);
    // Characters of both panes: Tab, Backspace. 1 when taken.
    int PaneChar(const KwWnd& coPane, unsigned short unChar);
    void ChooseDrive();
    int OpenFocusDirectory();
    int TreeTypeAhead(unsigned short unUnit);
    // Changes of the list's caret made by the program, not the user.
    void PlaceCaret(long lPosition, unsigned long ulTop);
    TDynRet DynCopyToOther(char* pchArgs);
    TDynRet DynRefresh(char* pchArgs);

    int StartDrag(KwWnd& coWnd, const char* pszName, void* pvData);
    int DropDirectory(TPath& coSource, TTreeNode* pcoTarget);
    int DropFiles(TFileSelection& coFiles, TTreeNode* pcoTarget);
    void ListClick(long lPosition, int nRelease, unsigned short unKeyFlags);
    long ListPosition(TMvcParam& coParam) const;
    KwPoint InSelector(TMvcParam& coParam) const;

    short m_nSplitPos { DefaultSplit };
    KwWChild* m_pcoComboFrame { nullptr };
    KwComboBox* m_pcoCombo { nullptr };
    KwWChild* m_pcoStatic { nullptr };
    KwCntText* m_pcoDescription { nullptr };
    KwWChild* m_pcoTreeFrame { nullptr };
    KwWChild* m_pcoTreePar { nullptr };
    KwCntTree* m_pcoTree { nullptr };
    KwWChild* m_pcoSize { nullptr };
    KwWChild* m_pcoListFrame { nullptr };
    KwListText* m_pcoListBox { nullptr };
    char m_chDrive { 0 };
    TFileSelection m_coDirFiles { TFileSelection::SortByExt };
    TString m_coListDir;                   // the directory the list shows
    KwFileSelListSelection m_coSelection;
    // The selected files at the start of a drag (their directory in Path).
    TFileSelection m_coSelFiles;
    int m_nListFocus { 0 };
    KwWChild* m_pcoFocusPane { nullptr };   // the tree window or the list
    int m_nPlacingCaret { 0 };
    unsigned short m_unPendingUnit { 0 };   // the first half of a character typed
    std::unique_ptr<KwRubberLine> m_pcoRubberLn;
    KwDragObject m_coDrag;
    TPath m_coDragPath;

    static BitmapLoader m_stpfnLoader;
};
