#include "KwDC.h"
#include "KwEvent.h"
#include "KwFakeSystem.h"
#include "KwLink.h"
#include "KwWnd.h"

#include <gtest/gtest.h>

TEST(KwEventTest, PointsArePackedWithXHighAndYLow)
{
    KwWnd coWnd;
    const KwEventMouse coMouse(&coWnd, KwPoint(3, -2), 0x0009);
    EXPECT_EQ(coMouse.GetLParam(), 0x0003FFFEUL);
    EXPECT_EQ(coMouse.PosX(), 3);
    EXPECT_EQ(coMouse.PosY(), -2);
    EXPECT_EQ(coMouse.KeyFlags(), 0x0009);
    EXPECT_EQ(&coMouse.Window(), &coWnd);
    EXPECT_EQ(&coMouse.EventObject(), &coWnd);
    EXPECT_EQ(KwEvent::Pack(-1, 7), 0xFFFF0007UL);
}

TEST(KwEventTest, DownCastsAnswerOnlyForTheirKind)
{
    KwWnd coWnd;
    KwDC coDC;
    KwEvent coPlain(&coWnd, 1, 2);
    KwEventMouse coMouse(&coWnd, KwPoint(), 0);
    KwEventPaint coPaint(&coWnd, coDC, nullptr, 0, 0);
    KwEventListScroll coScroll(&coWnd, coDC, KwRect(0, 0, 5, 5), 9, 3);
    KwEvent& coAsPlain = coPlain;
    KwEvent& coAsMouse = coMouse;
    KwEvent& coAsScroll = coScroll;
    EXPECT_EQ(static_cast<KwEventMouse*>(coAsPlain), nullptr);
    EXPECT_EQ(static_cast<KwEventMouse*>(coAsMouse), &coMouse);
    EXPECT_EQ(static_cast<KwEventKey*>(coAsMouse), nullptr);
    EXPECT_EQ(static_cast<const KwEventPaint*>(static_cast<const KwEvent&>(coAsScroll)), &coScroll);
    EXPECT_EQ(static_cast<KwEvent2Res*>(coAsScroll), &coScroll);
    EXPECT_EQ(&coPaint.CurrentDC(), &coDC);
    EXPECT_FALSE(coPaint.HasClipRect());
    EXPECT_TRUE(coScroll.HasClipRect());
    EXPECT_EQ(coScroll.UpdateLine(), 3);
    EXPECT_EQ(coScroll.UpdatePos(), 9UL);
}

TEST(KwEventTest, EventWithoutSenderStillNamesALiveObject)
{
    KwEvent coEvent;
    EXPECT_EQ(coEvent.GetBaseObject(), nullptr);
    EXPECT_EQ(coEvent.GetWParam(), 0);
    const KwEvent coCopy(coEvent);
    EXPECT_EQ(coCopy.GetLParam(), 0UL);
}

TEST(KwLinkTest, EmptyNameGivesALinkThatDoesNothing)
{
    KwWnd coWnd;
    KwEvent coEvent(&coWnd, 0, 0);
    const long lBefore = KwLink::LinkStack().Count();
    EXPECT_EQ(coWnd.GetLinkByName("").Call(coEvent), 0);
    EXPECT_EQ(coWnd.GetNotificationByName(nullptr).Call(coEvent), 0);
    EXPECT_EQ(KwLink::LinkStack().Count(), lBefore);
}

// Nested handlers push and pop their link objects in strict order; after
// the outer handler the stack is as before.
TEST(KwLinkTest, NestedEventsReleaseTheirLinksInReverseOrder)
{
    KwFakeSystem coSys;
    KwWnd coWnd;
    KwTestView coView;
    coWnd.MVC().SetLink("KW_LINK_MOVE", &coView, &KwTestView::Link);
    coWnd.MVC().SetLink("KW_LINK_SIZE", &coView, &KwTestView::Link);
    coWnd.MVC().AddNotification("KW_LINK_SIZE", &coView, &KwTestView::Notify);
    const long lBefore = KwLink::LinkStack().Count();
    long lDepthInside = 0;
    coView.fnAction = [&](TMvcParam& coParam) {
        if (coParam.EventType() == "KW_LINK_MOVE") {
            KwEventWnd coInner(&coWnd, 0, 0);
            _KwAutomaticSeg coRelease;
            coWnd.GetLinkByName("KW_LINK_SIZE").Call(coInner);
        } else {
            lDepthInside = KwLink::LinkStack().Count() - lBefore;
        }
        return 5;
    };
    KwEventWnd coOuter(&coWnd, 0, 0);
    {
        _KwAutomaticSeg coRelease;
        EXPECT_EQ(coWnd.GetLinkByName("KW_LINK_MOVE").Call(coOuter), 5);
    }
    EXPECT_EQ(lDepthInside, 2);
    EXPECT_EQ(KwLink::LinkStack().Count(), lBefore);
    {
        _KwAutomaticSeg coRelease;
        EXPECT_EQ(coWnd.GetNotificationByName("KW_LINK_SIZE").Call(coOuter), 0);   // notifications answer nothing
    }
    EXPECT_EQ(coView.coCalls.back(), "note KW_LINK_SIZE");
}
