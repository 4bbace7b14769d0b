#pragma once

#include "FlslApi.h"
#include "KwDragObject.h"
#include "KwFileSelListSelection.h"
#include "KwRubberShapes.h"
#include "KwWChild.h"
#include "TFileSelection.h"
#include "TPath.h"

#include <memory>
#include <string>

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

    KwWnd* Copy() const override { return new KwFileSelector(static_cast<const KwWChild&>(*this)); }
    int SysCreate(KwWnd* pcoParent) override;
    int EvSize(unsigned short unCode, const KwSize& coSize) override;
    int EvPaint(KwPaintDC& coDC) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
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
    std::unique_ptr<KwRubberLine> m_pcoRubberLn;
    KwDragObject m_coDrag;
    TPath m_coDragPath;

    static BitmapLoader m_stpfnLoader;
};
