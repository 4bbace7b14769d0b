#include "TTreeNode.h"

int TTreeArray::CallCompareFunc(const void* pvKey, const void* pvElement) const
{
    const void* pvA = static_cast<const TTreeNode*>(pvKey)->GetObject();
    const void* pvB = static_cast<const TTreeNode*>(pvElement)->GetObject();
    if (!pvA || !pvB)
        return pvA ? 1 : (pvB ? -1 : 0);
    return GetCompareFunc() ? GetCompareFunc()(pvA, pvB) : 0;
}

TTreeNode::TTreeNode(const TTreeNode& coOther)
    : m_nOpen(coOther.m_nOpen)
{
    for (long i = 0; i < coOther.NodeCount(); ++i) {
        TTreeNode* pcoCopy = coOther.GetSubNode(i)->Copy();
        if (pcoCopy)
            InsertNode(pcoCopy, 1, nullptr);
    }
}

TTreeNode::~TTreeNode()
{
    delete m_pcoChildren;
}

TTreeNode* TTreeNode::GetSubNode(long i) const
{
    return m_pcoChildren ? static_cast<TTreeNode*>(m_pcoChildren->Get(i)) : nullptr;
}

long TTreeNode::DescendentCount() const
{
    long lCount = NodeCount();
    for (long i = 0; i < NodeCount(); ++i)
        lCount += GetSubNode(i)->DescendentCount();
    return lCount;
}

int TTreeNode::IsDescendentOf(const TTreeNode* pcoAncestor) const
{
    if (!pcoAncestor)
        return 0;
    for (const TTreeNode* p = m_pcoParent; p; p = p->m_pcoParent) {
        if (p == pcoAncestor)
            return 1;
    }
    return 0;
}

TTreeNode* TTreeNode::RootNode()
{
    TTreeNode* p = this;
    while (p->m_pcoParent)
        p = p->m_pcoParent;
    return p;
}

int TTreeNode::Attach(TTreeNode* pcoChild, int nInserted, int nNotify)
{
    if (!nInserted) {
        pcoChild->m_pcoParent = nullptr;
        if (m_pcoChildren && m_pcoChildren->Count() == 0) {
            delete m_pcoChildren;
            m_pcoChildren = nullptr;
        }
        return 0;
    }
    if (nNotify)
        NotifyInserted(pcoChild);
    return nInserted;
}

int TTreeNode::InsertNode(long lPosition, TTreeNode* pcoChild, int nNotify)
{
    if (!pcoChild)
        return 0;
    if (!m_pcoChildren)
        m_pcoChildren = new TTreeArray;
    pcoChild->m_pcoParent = this;
    const int nInserted = m_pcoChildren->GetCompareFunc()
        ? m_pcoChildren->Insert(pcoChild, nullptr)
        : m_pcoChildren->Insert(lPosition, pcoChild);
    return Attach(pcoChild, nInserted, nNotify);
}

int TTreeNode::InsertNode(TTreeNode* pcoChild, int nNotify, CompareFunc pfnCmp)
{
    if (!pcoChild)
        return 0;
    if (!m_pcoChildren)
        m_pcoChildren = new TTreeArray;
    pcoChild->m_pcoParent = this;
    if (!m_pcoChildren->GetCompareFunc())
        m_pcoChildren->SetCmpFunc(pfnCmp);
    return Attach(pcoChild, m_pcoChildren->Insert(pcoChild, nullptr), nNotify);
}

TTreeNode* TTreeNode::Detach(TTreeNode* pcoChild, int nNotify)
{
    if (!pcoChild)
        return nullptr;
    if (m_pcoChildren->Count() == 0) {
        delete m_pcoChildren;
        m_pcoChildren = nullptr;
    }
    pcoChild->m_pcoParent = nullptr;
    if (nNotify)
        NotifyRemoved(pcoChild);
    return pcoChild;
}

TTreeNode* TTreeNode::RemoveSubNode(long i, int nNotify)
{
    if (!m_pcoChildren)
        return nullptr;
    return Detach(static_cast<TTreeNode*>(m_pcoChildren->Remove(i)), nNotify);
}

TTreeNode* TTreeNode::RemoveSubNode(TTreeNode* pcoChild, int nNotify)
{
    if (!m_pcoChildren || !pcoChild)
        return nullptr;
    return Detach(static_cast<TTreeNode*>(m_pcoChildren->Remove(pcoChild, nullptr)), nNotify);
}

int TTreeNode::Remove(int nNotify)
{
    if (!m_pcoParent)
        return 1;
    return m_pcoParent->RemoveSubNode(this, nNotify) ? 1 : 0;
}

void TTreeNode::DestroyObject(void (*pfnDestroy)(void*))
{
    if (m_pvObject && !DestroyCustomObject(m_pvObject) && pfnDestroy)
        pfnDestroy(m_pvObject);
}

int TTreeNode::Delete(void (*pfnDestroy)(void*), int nNotify)
{
    if (!Remove(nNotify))
        return 0;
    while (TTreeNode* pcoChild = GetSubNode(0)) {
        if (!pcoChild->Delete(pfnDestroy, 1))
            break;
    }
    delete m_pcoChildren;
    m_pcoChildren = nullptr;
    DestroyObject(pfnDestroy);
    m_pvObject = nullptr;
    delete this;
    return 1;
}

void TTreeNode::DeleteObjects(void (*pfnDestroy)(void*))
{
    DestroyObject(pfnDestroy);
    for (long i = 0; i < NodeCount(); ++i)
        GetSubNode(i)->DeleteObjects(pfnDestroy);
}

void* TTreeNode::ChangeObject(void* pvObject, int nNotify)
{
    void* pvOld = m_pvObject;
    m_pvObject = pvObject;
    if (nNotify && (pvObject || pvOld))
        NotifyObjectChanged(pvObject, pvOld);
    return pvOld;
}

void TTreeNode::Close()
{
    if (!m_nOpen)
        return;
    m_nOpen = 0;
    for (long i = 0; i < NodeCount(); ++i)
        GetSubNode(i)->Close();
}

void TTreeNode::OpenAll()
{
    m_nOpen = 1;
    for (long i = 0; i < NodeCount(); ++i)
        GetSubNode(i)->OpenAll();
}

void TTreeNode::Toggle()
{
    if (m_nOpen)
        Close();
    else
        Open();
}

TTreeNode* TTreeNode::NextSibling() const
{
    if (!m_pcoParent)
        return nullptr;
    const long i = m_pcoParent->m_pcoChildren->GetIndex(this);
    return m_pcoParent->GetSubNode(i + 1);
}

TTreeNode* TTreeNode::PrevSibling() const
{
    if (!m_pcoParent)
        return nullptr;
    const long i = m_pcoParent->m_pcoChildren->GetIndex(this);
    return i > 0 ? m_pcoParent->GetSubNode(i - 1) : nullptr;
}

TTreeNode* TTreeNode::NextOpenNode()
{
    if (m_nOpen && HasSubNodes())
        return GetSubNode(0);
    for (TTreeNode* p = this; p->m_pcoParent; p = p->m_pcoParent) {
        if (TTreeNode* pcoNext = p->NextSibling())
            return pcoNext;
    }
    return nullptr;
}

TTreeNode* TTreeNode::PrevOpenNode()
{
    if (!m_pcoParent)
        return nullptr;
    TTreeNode* pcoPrev = PrevSibling();
    if (!pcoPrev)
        return m_pcoParent;
    if (pcoPrev->m_nOpen && pcoPrev->HasSubNodes())
        return pcoPrev->GetSubNode(pcoPrev->NodeCount() - 1)->LastOpenNode();
    return pcoPrev;
}

TTreeNode* TTreeNode::LastOpenNode()
{
    TTreeNode* p = this;
    while (p->m_nOpen && p->HasSubNodes())
        p = p->GetSubNode(p->NodeCount() - 1);
    return p;
}
