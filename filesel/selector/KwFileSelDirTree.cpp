#include "KwFileSelDirTree.h"

#include "TString.h"
#include "TTreeNode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

void KwFileSelDirTree::DestroyObject(void* pvObject)
{
    std::free(pvObject);
}

namespace {

// A node's object: the name, its zero, the system name, its zero.
char* NodeObject(const KwFileSelDirTree::Entry& coEntry)
{
    const size_t nName = coEntry.m_strName.size() + 1;
    const size_t nSystem = coEntry.m_strSystemName.size() + 1;
    char* pchBlock = static_cast<char*>(std::malloc(nName + nSystem));
    if (pchBlock) {
        std::memcpy(pchBlock, coEntry.m_strName.c_str(), nName);
        std::memcpy(pchBlock + nName, coEntry.m_strSystemName.c_str(), nSystem);
    }
    return pchBlock;
}

} // namespace

TTreeNode* KwFileSelDirTree::MakeNode(const Entry& coEntry)
{
    return new TTreeNode(NodeObject(coEntry));
}

std::string KwFileSelDirTree::NodeText(const TTreeNode* pcoNode)
{
    const char* pszText = pcoNode ? static_cast<const char*>(pcoNode->GetObject()) : nullptr;
    return pszText ? std::string(pszText) : std::string();
}

bool KwFileSelDirTree::SystemNamesOfNode(const TTreeNode* pcoNode, std::vector<std::string>& vecNames)
{
    vecNames.clear();
    for (; pcoNode && pcoNode->GetParentNode(); pcoNode = pcoNode->GetParentNode()) {
        const char* pszText = static_cast<const char*>(pcoNode->GetObject());
        const char* pszSystem = pszText ? pszText + std::strlen(pszText) + 1 : "";
        if (!*pszSystem)
            return false;
        vecNames.push_back(pszSystem);
    }
    std::reverse(vecNames.begin(), vecNames.end());
    return true;
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

long KwFileSelDirTree::ReadChildren(TTreeNode* pcoNode, const std::vector<Entry>& vecEntries)
{
    if (!pcoNode)
        return 0;
    while (pcoNode->NodeCount() > 0)
        pcoNode->GetSubNode(pcoNode->NodeCount() - 1)->Delete(DestroyObject, 1);
    long lMade = 0;
    for (const Entry& coEntry : vecEntries) {
        if (coEntry.m_strName.empty() || coEntry.m_strName == "." || coEntry.m_strName == "..")
            continue;
        pcoNode->InsertNode(pcoNode->NodeCount(), MakeNode(coEntry), 1);
        ++lMade;
    }
    return lMade;
}

TTreeNode* KwFileSelDirTree::ReadChildrenKeepingFocus(TTreeNode* pcoNode, const std::vector<Entry>& vecEntries,
                                                      TTreeNode* pcoFocus, SameNameFunc pfnSameName)
{
    if (!pcoNode || !pcoFocus || !pcoFocus->IsDescendentOf(pcoNode)) {
        ReadChildren(pcoNode, vecEntries);
        return pcoFocus;
    }
    TTreeNode* pcoRoot = pcoNode->RootNode();
    std::vector<std::string> vecPath = NamesOfNode(pcoFocus);
    ReadChildren(pcoNode, vecEntries);
    for (;; vecPath.pop_back())
        if (TTreeNode* pcoFound = FindByNames(pcoRoot, vecPath, pfnSameName))
            return pcoFound;
}

long KwFileSelDirTree::MergeChildren(TTreeNode* pcoNode, const std::vector<Entry>& vecEntries, SameNameFunc pfnSameName)
{
    if (!pcoNode)
        return 0;
    std::vector<TTreeNode*> vecOld;
    while (pcoNode->NodeCount() > 0)
        vecOld.push_back(pcoNode->RemoveSubNode(pcoNode->NodeCount() - 1, 1));
    for (const Entry& coEntry : vecEntries) {
        if (coEntry.m_strName.empty() || coEntry.m_strName == "." || coEntry.m_strName == "..")
            continue;
        const auto itKept = std::find_if(vecOld.begin(), vecOld.end(), [&](TTreeNode* pcoOld) {
            return pfnSameName(NodeText(pcoOld), coEntry.m_strName);
        });
        TTreeNode* pcoChild = nullptr;
        if (itKept == vecOld.end()) {
            pcoChild = MakeNode(coEntry);
        } else {
            pcoChild = *itKept;
            vecOld.erase(itKept);
            // The name as it is spelt now, and the name the system finds
            // it by now.
            DestroyObject(pcoChild->ChangeObject(NodeObject(coEntry), 0));
        }
        pcoNode->InsertNode(pcoNode->NodeCount(), pcoChild, 1);
    }
    for (TTreeNode* pcoGone : vecOld)
        pcoGone->Delete(DestroyObject, 0);
    return pcoNode->NodeCount();
}
