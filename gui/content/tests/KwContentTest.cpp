#include "KwContent.h"
#include "KwDC.h"
#include "KwFakeSystem.h"
#include "KwWChild.h"
#include "KwWFrame.h"

#include <gtest/gtest.h>

namespace {

// A content that counts its paints.
class TCountingContent : public KwContent {
public:
    using KwContent::KwContent;
    int nPaints { 0 };
    KwContent* Copy() const override { return new TCountingContent(*this); }
    int Paint(KwDC&, const KwRect*) override { return ++nPaints; }
};

} // namespace

TEST(KwContentTest, ContentFollowsTheWindowItIsLinkedTo)
{
    KwFakeSystem coSys;
    KwWFrame* pcoFrame = new KwWFrame("FW_CONTENT");
    pcoFrame->SysCreate(nullptr);
    KwWChild* pcoChild = new KwWChild("CW_CONTENT", KwPoint(0, 0), KwSize(40, 20), 0, 7, 0);
    pcoChild->SysCreate(pcoFrame);
    TCountingContent* pcoContent = new TCountingContent(0x21, pcoChild);
    EXPECT_EQ(pcoChild->Content(), pcoContent);
    EXPECT_EQ(pcoContent->GetWindow(), pcoChild);
    KwDC coDC(pcoChild);
    EXPECT_EQ(pcoContent->CalcCurrentRect(coDC), pcoChild->CalcContentRect());

    TCountingContent coCopy(*pcoContent);
    EXPECT_EQ(coCopy.GetWindow(), nullptr);
    EXPECT_EQ(coCopy.GetCenter(), 0x21);

    coSys.coLog.clear();
    EXPECT_EQ(pcoContent->SetGrayed(1, 1), 1);
    EXPECT_EQ(pcoContent->SetGrayed(1, 1), 0);
    EXPECT_EQ(coSys.Lines("Invalidate").size(), 1u);
    pcoChild->Enable(1, 1);
    EXPECT_TRUE(pcoContent->IsGrayed());          // no change of state, nothing greyed back
    pcoChild->Enable(0, 1);
    pcoChild->Enable(1, 1);
    EXPECT_FALSE(pcoContent->IsGrayed());

    coSys.Send(pcoChild->GetHandle(), 0x000F);
    EXPECT_EQ(pcoContent->nPaints, 1);
    EXPECT_EQ(pcoChild->SetContent(coCopy), 1);   // a copy replaces the old content
    ASSERT_NE(pcoChild->Content(), nullptr);
    EXPECT_NE(pcoChild->Content(), &coCopy);
    EXPECT_EQ(pcoChild->RemoveContent(), 1);
    EXPECT_EQ(pcoChild->Content(), nullptr);
    pcoFrame->Destroy();
}
