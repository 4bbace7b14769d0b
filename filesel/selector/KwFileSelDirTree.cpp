#include "KwFileSelDirTree.h"

#include "TString.h"
#include "TTreeNode.h"

#include <algorithm>
#include <cstdlib>

void KwFileSelDirTree::DestroyObject(void* pvObject)
{
    std::free(pvObject);
}

TTreeNode* KwFileSelDirTree::MakeNode(const std::string& strText)
{
    return new TTreeNode(Strdup(strText.c_str()));
}

std::string KwFileSelDirTree::NodeText(const TTreeNode* pcoNode)
{
    const char* pszText = pcoNode ? static_cast<const char*>(pcoNode->GetObject()) : nullptr;
    return pszText ? std::string(pszText) : std::string();
}

std::vector<std::string> KwFileSelDirTree::NamesOfNode(const TTreeNode* pcoNode)
{
    std::vector<std::string> vecNames;
    for (; pcoNode && pcoNode->GetParentNode(); pcoNode = pcoNode->GetParentNode())
        vecNames.push_back(NodeText(pcoNode));
    std::reverse(vecNames.begin(), vecNames.end());
    return vecNames;
}

TTreeNode* KwFileSelDirTree::FindByNames(TTreeNode* pcoRoot, const std::vector<std::string>& vecNames,
                                         SameNameFunc pfnSameName)
{
    TTreeNode* pcoNode = pcoRoot;
    for (size_t n = 0; pcoNode && n < vecNames.size(); ++n) {
        TTreeNode* pcoFound = nullptr;
        for (long i = 0; i < pcoNode->NodeCount() && !pcoFound; ++i)
            if (pfnSameName(NodeText(pcoNode->GetSubNode(i)), vecNames[n]))
                pcoFound = pcoNode->GetSubNode(i);
        pcoNode = pcoFound;
    }
    return pcoNode;
}

long KwFileSelDirTree::ReadChildren(TTreeNode* pcoNode, const std::vector<std::string>& vecNames)
{
    if (!pcoNode)
        return 0;
    while (pcoNode->NodeCount() > 0)
        pcoNode->GetSubNode(pcoNode->NodeCount() - 1)->Delete(DestroyObject, 1);
    long lMade = 0;
    for (const std::string& strName : vecNames) {
        if (strName.empty() || strName == "." || strName == "..")
            continue;
        pcoNode->InsertNode(pcoNode->NodeCount(), MakeNode(strName), 1);
        ++lMade;
    }
    return lMade;
}

TTreeNode* KwFileSelDirTree::ReadChildrenKeepingFocus(TTreeNode* pcoNode, const std::vector<std::string>& vecNames,
                                                      TTreeNode* pcoFocus, SameNameFunc pfnSameName)
{
    if (!pcoNode || !pcoFocus || !pcoFocus->IsDescendentOf(pcoNode)) {
        ReadChildren(pcoNode, vecNames);
        return pcoFocus;
    }
    TTreeNode* pcoRoot = pcoNode->RootNode();
    std::vector<std::string> vecPath = NamesOfNode(pcoFocus);
    ReadChildren(pcoNode, vecNames);
    for (;; vecPath.pop_back())
        if (TTreeNode* pcoFound = FindByNames(pcoRoot, vecPath, pfnSameName))
            return pcoFound;
}
