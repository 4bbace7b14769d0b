#pragma once

#include <string>
#include <vector>

class TTreeNode;

// The directory tree of a file selector as nodes: every node's object is a
// heap string (Strdup, freed with free): "\" for the root of a drive, a
// directory name below it. The selector scans the directories; these
// operations keep the nodes, and the focus among them, right.
class KwFileSelDirTree {
public:
    using SameNameFunc = bool (*)(const std::string&, const std::string&);

    static void DestroyObject(void* pvObject);
    static TTreeNode* MakeNode(const std::string& strText);
    // The node's text; empty for a null node or object.
    static std::string NodeText(const TTreeNode* pcoNode);
    // The names from below the root down to the node; none for the root.
    static std::vector<std::string> NamesOfNode(const TTreeNode* pcoNode);
    // The node reached from pcoRoot by the names (compared with
    // pfnSameName), or null when one of them is not there.
    static TTreeNode* FindByNames(TTreeNode* pcoRoot, const std::vector<std::string>& vecNames,
                                  SameNameFunc pfnSameName);

    // Replaces the node's children by the directories vecNames, in that
    // order ("." and ".." left out); the number of children made.
    static long ReadChildren(TTreeNode* pcoNode, const std::vector<std::string>& vecNames);
    // The same, for a node that may hold the focus below it: re-reading
    // deletes the focused node, so it is found again by its path (or the
    // nearest of its ancestors that is still there). Answers the focus
    // node afterwards.
    static TTreeNode* ReadChildrenKeepingFocus(TTreeNode* pcoNode, const std::vector<std::string>& vecNames,
                                               TTreeNode* pcoFocus, SameNameFunc pfnSameName);
};
