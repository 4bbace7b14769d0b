#pragma once

#include "KwContent.h"
#include "TMvc.h"
#include "XcntApi.h"

#include <vector>

class KwEventCntTree;
class KwEventKey;
class KwEventWnd;
class TTreeNode;

// A tree shown in a window, as a user of a tree control expects it: one
// line per visible node (the root and the children of open nodes), the
// nodes indented by level and joined by dotted lines, a plus or minus box
// before every node with children, the focus node highlighted, scroll bars
// when the tree does not fit.
//
// The tree owns its nodes; the node objects are destroyed with the destroy
// function given at construction (none: they are not owned). What a node
// shows comes from "EXTCONT_LINK_GETTREENODETEXT", asked for each visible
// node whenever it is painted. The user opens a node by its plus box, a
// double-click, Right or "+": the tree sends "EXTCONT_LINK_TREENODEOPEN"
// first (so that the program can read the node's children) and then opens
// it. A press on a node, or moving the focus with the keys, focuses it and
// sends "EXTCONT_LINK_TREENODEACTIVATE". Opening, closing and focusing
// from the program send nothing.
//
// The tree takes its input through notifications on its window (and the
// window's priority key link for the keys it moves with), so that the
// window's own links stay the program's.
//
// The program may delete nodes at any time (also from the tree's links):
// the tree keeps no node pointer that it has not checked to be reachable
// from the root before it uses it. Layout, scroll ranges included, is
// worked out when the tree is painted or hit-tested, from the nodes as
// they are then.
class XCNT_API KwCntTree : public KwContent {
    KW_DYNAMIC_CLASS(KwCntTree, KwContent)
    KW_MVC_CLASS(KwCntTree, KwContent)
public:
    using DestroyFunc = void (*)(void*);

    // Without destroy function: the node objects are not owned.
    KwCntTree();
    // The alignment is kept for the content's sake; the tree always starts
    // at the top left.
    explicit KwCntTree(DestroyFunc pfnDestroy, unsigned short unAlign = 17, KwWnd* pcoWnd = nullptr);
    // A copy has the settings and an empty root: the tree cannot copy node
    // objects of a type it does not know.
    KwCntTree(const KwCntTree& coOther);
    KwCntTree& operator=(const KwCntTree&) = delete;
    ~KwCntTree() override;

    // Nodes. The root is never null between SetRootNode calls; it is null
    // only after RemoveRootNode.
    TTreeNode* GetRootNode() const { return m_pcoRoot; }
    // Takes the node over; the old root is deleted with its subtree.
    void SetRootNode(TTreeNode* pcoRoot);
    // Hands the root with its subtree to the caller, who deletes it.
    TTreeNode* RemoveRootNode();
    DestroyFunc GetDestroyFunc() const { return m_pfnDestroy; }
    // Whether the node is in the tree (compared by address from the root
    // down: the node itself is not touched).
    int ContainsNode(const TTreeNode* pcoNode) const;

    // Geometry: the box size is the indentation of a level (width) and the
    // line height (height); the box distance is the gap between a node's
    // box and its text.
    KwSize GetNodeBoxSize() const { return m_coBoxSize; }
    void SetNodeBoxSize(const KwSize& coSize);
    short GetBoxDist() const { return m_nBoxDist; }
    void SetBoxDist(short nDistance);
    // The focus highlight: background and text colour numbers.
    void SetFocusColors(short nBack, short nFore);

    // Opening, closing and focus from the program: no link.
    int OpenNode(TTreeNode* pcoNode, int nRedraw);
    // Closes the node and its subtree; a focus inside moves to the node.
    int CloseNode(TTreeNode* pcoNode, int nRedraw);
    // Null when there is none or the program deleted it.
    TTreeNode* GetFocusNode() const;
    // A node of this tree, or null for none; scrolls it into view.
    int SetFocusNode(TTreeNode* pcoNode, int nRedraw = 1);

    // Layout as painting lays it out, scrolling included; points in the
    // window's client coordinates.
    TTreeNode* NodeFromPoint(const KwPoint& coPoint) const;
    // Visible lines (the root and the descendants of open nodes whose
    // ancestors are all open).
    long GetLineCount() const;
    long GetTopLine() const { return m_lTopLine; }
    // Scrolls so that the line is the first shown (clamped).
    void SetTopLine(long lLine, int nRedraw);
    short GetLeftOffset() const { return m_nLeft; }
    void SetLeftOffset(short nLeft, int nRedraw);
    // Whole lines the window shows.
    long GetPageLines() const;
    // The line of a node, -1 when it is not visible.
    long LineOfNode(const TTreeNode* pcoNode) const;

    // Content
    KwContent* Copy() const override { return new KwCntTree(*this); }
    int Paint(KwDC& coDC, const KwRect* pcoRect) override;
    void NotifyLink(KwWnd* pcoWnd) override;
    void NotifyUnlink(KwWnd* pcoWnd) override;

    // The links' names.
    static const char* const LinkGetText;
    static const char* const LinkOpen;
    static const char* const LinkActivate;

protected:
    // What the user does, through the window's notifications.
    int NotifyPress(TMvcParam& coParam);
    int NotifyDoubleClick(TMvcParam& coParam);
    int NotifyChar(TMvcParam& coParam);
    int NotifyVScroll(TMvcParam& coParam);
    int NotifyHScroll(TMvcParam& coParam);
    int NotifyFocus(TMvcParam& coParam);
    int NotifySize(TMvcParam& coParam);
    int NotifyMessage(TMvcParam& coParam);
    int PriorityKey(TMvcParam& coParam);

private:
    // The nodes from the root to one node, checked again before each use.
    using TNodePath = std::vector<TTreeNode*>;
    struct TLine;
    class TWalk;

    void Attach(KwWnd* pcoWnd);
    void Detach(KwWnd* pcoWnd);
    void DeleteRoot();
    int IsReachable(const TNodePath& coPath) const;
    TNodePath PathOf(TTreeNode* pcoNode) const;
    KwRect LayoutRect() const;
    short LineHeight() const;
    std::vector<TLine> CollectLines(long lFirst, long lCount) const;
    void AskText(TTreeNode* pcoNode, KwEventCntTree& coEvent);
    int Send(const char* pszLink, const TNodePath& coPath);
    // The user's actions: each sends its link, then acts on the node when
    // it is still there.
    void UserActivate(TTreeNode* pcoNode);
    void UserOpen(TTreeNode* pcoNode);
    void UserClose(TTreeNode* pcoNode);
    void UserMoveFocus(long lLine);
    void ScrollLines(long lDelta);
    void Scroll(int nVertical, const KwEventWnd& coEvent);
    void MakeLineVisible(long lLine);
    void UpdateScrollBars(long lLines, short nWidest);
    int BoxHit(const KwPoint& coPoint, long& lLine) const;
    void Redraw(int nRedraw);

    DestroyFunc m_pfnDestroy { nullptr };
    TTreeNode* m_pcoRoot { nullptr };      // owned
    TNodePath m_coFocus;                   // empty for no focus
    KwSize m_coBoxSize { 18, 16 };
    short m_nBoxDist { 2 };
    short m_nFocusBack { 1 };
    short m_nFocusFore { 7 };
    long m_lTopLine { 0 };
    short m_nLeft { 0 };
    short m_nWidest { 0 };                 // of the lines painted last
    KwWnd* m_pcoAttached { nullptr };      // the window whose notifications lead here
    int m_nOwnsPriorityKey { 0 };
};
