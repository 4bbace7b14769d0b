#include "TString.h"
#include "TTreeNode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

std::string Label(const void* pvObject) { return pvObject ? static_cast<const char*>(pvObject) : "-"; }

// A node that names itself after its object (a C string) and logs its notifications.
class TNamedNode : public TTreeNode {
public:
    explicit TNamedNode(const char* pszName = nullptr) : TTreeNode(const_cast<char*>(pszName)) {}

    TTreeNode* Copy() const override { return new TNamedNode(*this); }
    static void Destroy(TTreeNode* pcoNode) { pcoNode->Delete(nullptr, 0); }

    int m_nCustom { 0 };

protected:
    TNamedNode(const TNamedNode& coOther) : TTreeNode(coOther) {}
    int DestroyCustomObject(void* pvObject) override
    {
        g_log.push_back("custom " + Label(pvObject));
        return m_nCustom;
    }
    void NotifyInserted(TTreeNode* pcoChild) override { g_log.push_back("ins " + Label(pcoChild->GetObject())); }
    void NotifyRemoved(TTreeNode* pcoChild) override { g_log.push_back("rem " + Label(pcoChild->GetObject())); }
    void NotifyObjectChanged(void* pvNew, void* pvOld) override
    {
        g_log.push_back("chg " + Label(pvNew) + "/" + Label(pvOld));
    }
};

// root
//   a
//     a1
//     a2
//   b
//     b1
//   c
struct Sample {
    TNamedNode* root = new TNamedNode("root");
    TNamedNode* a = new TNamedNode("a");
    TNamedNode* a1 = new TNamedNode("a1");
    TNamedNode* a2 = new TNamedNode("a2");
    TNamedNode* b = new TNamedNode("b");
    TNamedNode* b1 = new TNamedNode("b1");
    TNamedNode* c = new TNamedNode("c");

    Sample()
    {
        const std::pair<TNamedNode*, TNamedNode*> aLinks[] = { { root, a }, { root, b }, { root, c },
                                                               { a, a1 },    { a, a2 },    { b, b1 } };
        for (const auto& link : aLinks)
            link.first->InsertNode(99, link.second, 0);
    }
    ~Sample() { TNamedNode::Destroy(root); }
};

// The names shown from a node on, downwards or upwards.
std::vector<std::string> Walk(TTreeNode* pcoStart, bool bForward = true)
{
    std::vector<std::string> names;
    for (TTreeNode* p = pcoStart; p; p = bForward ? p->NextOpenNode() : p->PrevOpenNode())
        names.push_back(Label(p->GetObject()));
    return names;
}

using Names = std::vector<std::string>;

void LogDestroyed(void* pvObject) { g_log.push_back("del " + Label(pvObject)); }

} // namespace

TEST(TTreeNodeTest, DisplayOrderWalksExpandedNodesInPreOrder)
{
    Sample s;
    EXPECT_EQ(Walk(s.root), Names({ "root" }));           // closed root: nothing below shows
    s.root->Open();
    EXPECT_EQ(Walk(s.root), Names({ "root", "a", "b", "c" }));
    s.root->OpenAll();
    EXPECT_EQ(Walk(s.root), Names({ "root", "a", "a1", "a2", "b", "b1", "c" }));
    EXPECT_EQ(Walk(s.c, false), Names({ "c", "b1", "b", "a2", "a1", "a", "root" }));
    EXPECT_EQ(s.root->DescendentCount(), 6);
    EXPECT_EQ(s.b1->IsDescendentOf(s.root) + s.b1->IsDescendentOf(s.a) + s.b1->IsDescendentOf(nullptr), 1);
    EXPECT_EQ(s.a2->RootNode(), s.root);

    // A copy rebuilds the subtree and its states, without the objects, as a root of its own: the walk ends with it.
    TNamedNode* pcoCopy = static_cast<TNamedNode*>(s.a->Copy());
    EXPECT_EQ(Walk(pcoCopy), Names({ "-", "-", "-" }));
    TNamedNode::Destroy(pcoCopy);

    // Closing an open node closes its descendants; closing a closed one
    // leaves them as they are; Toggle turns a node either way.
    s.root->Close();
    s.b->Toggle();
    s.root->Close();
    s.root->Open();
    EXPECT_EQ(Walk(s.root), Names({ "root", "a", "b", "b1", "c" }));
    s.b->Toggle();

    // The last child open with children: LastOpenNode descends into it.
    TNamedNode* c1 = new TNamedNode("c1");
    s.c->InsertNode(0, c1, 0);
    EXPECT_EQ(s.root->LastOpenNode(), s.c);
    s.c->Open();
    EXPECT_EQ(s.root->LastOpenNode(), c1);
    EXPECT_EQ(Walk(s.root), Names({ "root", "a", "b", "c", "c1" }));
}

TEST(TTreeNodeTest, SortedChildrenOrderByObjectWithNullFirst)
{
    TNamedNode* root = new TNamedNode("root");
    g_log.clear();
    for (const char* psz : { "m", "c", "x", "a" })
        EXPECT_EQ(root->InsertNode(new TNamedNode(psz), 1, TArrayCmpString), 1);
    root->InsertNode(new TNamedNode(), 0, nullptr);
    // Once sorted, a position is ignored.
    root->InsertNode(0, new TNamedNode("n"), 1);
    root->Open();
    EXPECT_EQ(Walk(root), Names({ "root", "-", "a", "c", "m", "n", "x" }));
    EXPECT_EQ(g_log, Names({ "ins m", "ins c", "ins x", "ins a", "ins n" }));
    TNamedNode::Destroy(root);
}

TEST(TTreeNodeTest, EditsNotifyTheParentAndDestroyTheObjects)
{
    Sample s;
    g_log.clear();
    EXPECT_EQ(s.root->RemoveSubNode(s.b, 1), s.b);
    EXPECT_EQ(s.b->GetParentNode(), nullptr);
    EXPECT_EQ(s.root->RemoveSubNode(s.b, 1), s.root->RemoveSubNode(7L, 1));
    s.b->DeleteObjects(LogDestroyed);
    EXPECT_EQ(Label(s.b1->GetObject()), "b1");                // the pointers stay
    s.b->Delete(nullptr, 1);                                  // a root now: deleted with b1
    s.a1->m_nCustom = 1;                                      // a1 destroys its own object
    EXPECT_EQ(s.a->Delete(LogDestroyed, 1), 1);
    EXPECT_STREQ(static_cast<const char*>(s.c->ChangeObject(const_cast<char*>("z"), 1)), "c");
    s.c->ChangeObject(const_cast<char*>("y"), 0);
    TNamedNode* pcoEmpty = new TNamedNode();
    pcoEmpty->ChangeObject(nullptr, 1);                        // null to null: no notification
    TNamedNode::Destroy(pcoEmpty);
    EXPECT_EQ(g_log, Names({ "rem b", "custom b", "del b", "custom b1", "del b1", "rem b1", "custom b1", "custom b",
                             "rem a", "rem a1", "custom a1", "rem a2", "custom a2", "del a2", "custom a", "del a",
                             "chg z/c" }));
    EXPECT_EQ(s.root->NodeCount(), 1);

    // The last child removed: the child array goes.
    EXPECT_EQ(s.c->Remove(0), 1);
    EXPECT_FALSE(s.root->HasSubNodes());
    EXPECT_EQ(s.c->Remove(0), 1);                             // a root removes trivially
    s.c->Delete(nullptr, 0);
}
