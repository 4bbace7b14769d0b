#pragma once

#include <string>
#include <vector>

class TTreeNode;

// The directory tree of a file selector as nodes: every node's object is a
// heap block (malloc, freed with free) that begins with its text, "\" for
// the root of a drive, a directory name below it; after that text's zero
// follows the name by which the system finds the directory (TFileInfo::
// SystemName: the name itself, or its 8.3 alias where the name did not
// survive the code page). The selector scans the directories; these
// operations keep the nodes, and the focus among them, right.
class KwFileSelDirTree {
public:
    using SameNameFunc = bool (*)(const std::string&, const std::string&);
    // One directory as a scan found it. An empty system name: the system
    // cannot be given this directory's name.
    struct Entry {
        Entry(const std::string& strName) : m_strName(strName), m_strSystemName(strName) {}
        Entry(const char* pszName) : Entry(std::string(pszName)) {}
        Entry(const std::string& strName, const std::string& strSystemName)
            : m_strName(strName)
            , m_strSystemName(strSystemName)
        {
        }
        std::string m_strName;
        std::string m_strSystemName;
    };

    static void DestroyObject(void* pvObject);
    static TTreeNode* MakeNode(const Entry& coEntry);
    // The node's text; empty for a null node or object.
    static std::string NodeText(const TTreeNode* pcoNode);
    // The names from below the root down to the node; none for the root.
    static std::vector<std::string> NamesOfNode(const TTreeNode* pcoNode);
    // The same by the names the system finds them by; false (and the
    // names so far) when one of them has none.
    static bool SystemNamesOfNode(const TTreeNode* pcoNode, std::vector<std::string>& vecNames);
    // The node reached from pcoRoot by the names (compared with
    // pfnSameName), or null when one of them is not there.
    static TTreeNode* FindByNames(TTreeNode* pcoRoot, const std::vector<std::string>& vecNames,
                                  SameNameFunc pfnSameName);

    // Replaces the node's children by the directories vecNames, in that
    // order ("." and ".." left out); the number of children made.
    static long ReadChildren(TTreeNode* pcoNode, const std::vector<Entry>& vecEntries);
    // The same, for a node that may hold the focus below it: re-reading
    // deletes the focused node, so it is found again by its path (or the
    // nearest of its ancestors that is still there). Answers the focus
    // node afterwards.
    static TTreeNode* ReadChildrenKeepingFocus(TTreeNode* pcoNode, const std::vector<Entry>& vecEntries,
                                               TTreeNode* pcoFocus, SameNameFunc pfnSameName);
    // Brings the node's children in line with the directories read again,
    // in their order, as a refresh of the view: a child still there is
    // kept with its subtree and its open state (and takes the system name
    // read now), one that went is deleted with its subtree, a new one is
    // made. The number of children.
    static long MergeChildren(TTreeNode* pcoNode, const std::vector<Entry>& vecEntries, SameNameFunc pfnSameName);
};
