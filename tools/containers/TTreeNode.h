#pragma once

#include "TArray.h"

class TTreeNode;

// The child array of a tree node. It orders nodes by their objects: a node
// without object sorts before every node with one.
class KWTL_API TTreeArray : public TArray {
    friend class TTreeNode;

    TTreeArray() : TArray(16, nullptr, nullptr) {}

    int CallCompareFunc(const void* pvKey, const void* pvElement) const override;
};

// A node of a tree carrying one untyped object pointer, with an open/closed
// state for display. Nodes are heap objects: Delete() removes and deletes a
// whole subtree; the destructor is protected.
class KWTL_API TTreeNode {
public:
    using CompareFunc = int (*)(const void*, const void*);

    explicit TTreeNode(void* pvObject = nullptr) : m_pvObject(pvObject) {}

    // Structure
    void* GetObject() const { return m_pvObject; }
    TTreeNode* GetParentNode() const { return m_pcoParent; }
    TTreeNode* GetSubNode(long i) const;
    long NodeCount() const { return m_pcoChildren ? m_pcoChildren->Count() : 0; }
    int HasSubNodes() const { return NodeCount() > 0; }
    long DescendentCount() const;
    int IsDescendentOf(const TTreeNode* pcoAncestor) const;
    TTreeNode* RootNode();

    // Copy: a new node of the same class; the base has none.
    virtual TTreeNode* Copy() const { return nullptr; }

    // Insertion and removal
    // Inserts at lPosition, or sorted once the children have a compare function.
    virtual int InsertNode(long lPosition, TTreeNode* pcoChild, int nNotify);
    virtual int InsertNode(TTreeNode* pcoChild, int nNotify, CompareFunc pfnCmp);
    int Remove(int nNotify);
    TTreeNode* RemoveSubNode(long i, int nNotify);
    TTreeNode* RemoveSubNode(TTreeNode* pcoChild, int nNotify);
    int Delete(void (*pfnDestroy)(void*), int nNotify);
    void DeleteObjects(void (*pfnDestroy)(void*));
    void* ChangeObject(void* pvObject, int nNotify);

    // Display state
    int IsOpen() const { return m_nOpen; }
    void Open() { m_nOpen = 1; }
    void Close();
    void OpenAll();
    void Toggle();
    // Pre-order over the expanded nodes, as a tree view lists them.
    TTreeNode* NextOpenNode();
    TTreeNode* PrevOpenNode();
    TTreeNode* LastOpenNode();

protected:
    TTreeNode(const TTreeNode& coOther);
    TTreeNode& operator=(const TTreeNode&) = delete;
    virtual ~TTreeNode();

    // Returns non-zero when the node destroyed the object itself.
    virtual int DestroyCustomObject(void* pvObject) { return 0; }
    virtual void NotifyInserted(TTreeNode* pcoChild) {}
    virtual void NotifyRemoved(TTreeNode* pcoChild) {}
    virtual void NotifyObjectChanged(void* pvNewObject, void* pvOldObject) {}

    TTreeArray* GetSubArray() const { return m_pcoChildren; }

private:
    int Attach(TTreeNode* pcoChild, int nInserted, int nNotify);
    TTreeNode* Detach(TTreeNode* pcoChild, int nNotify);
    TTreeNode* NextSibling() const;
    TTreeNode* PrevSibling() const;
    void DestroyObject(void (*pfnDestroy)(void*));

    void* m_pvObject { nullptr };
    TTreeArray* m_pcoChildren { nullptr };   // owned; the child nodes are not deleted with it
    TTreeNode* m_pcoParent { nullptr };
    int m_nOpen { 0 };
};
