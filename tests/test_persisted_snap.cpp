// Persisted windows: snapping to marked windows and the work area, the
// integer list and the visible manager.
#include <gtest/gtest.h>

#include "SimPlatform.h"
#include "settings/ClassesX.h"

namespace quorvel::testing {
namespace {

TWindowPos Proposed(int x, int y, int cx, int cy) { return TWindowPos{x, y, cx, cy}; }
TRect Bounds(int left, int top, int width, int height) { return TRect{left, top, left + width, top + height}; }

// Partner 100..400 x 100..300.
const TRect kPartner{100, 100, 400, 300};

TEST(SnapTest, LeftEdgesAlignWithinTenPixelsOfAPartnerAbove) {
    // Standing just below the partner (top 5 px under its bottom).
    const TRect current = Bounds(200, 305, 200, 100);
    TWindowPos pos = Proposed(107, 340, 200, 100);
    SnapToPartners(current, pos, {kPartner}, 1, 10);
    EXPECT_EQ(pos.X, 100);
    EXPECT_EQ(pos.Y, 340);

    pos = Proposed(110, 340, 200, 100);
    SnapToPartners(current, pos, {kPartner}, 1, 10);
    EXPECT_EQ(pos.X, 110);
    EXPECT_EQ(pos.Y, 340);
}

TEST(SnapTest, RightEdgeSnapsOntoThePartnersLeftEdge) {
    const TRect partner{500, 100, 800, 400};
    const TRect current = Bounds(195, 120, 300, 100);  // right edge 5 px short already
    TWindowPos pos = Proposed(195, 150, 300, 100);
    SnapToPartners(current, pos, {partner}, 1, 10);
    EXPECT_EQ(pos.X + 300, 500);
    EXPECT_EQ(pos.Y, 150);
}

TEST(SnapTest, PartnersAreJudgedByTheCurrentPlacement) {
    // A jump from far away into the zone is not snapped on that step.
    TWindowPos pos = Proposed(105, 305, 200, 100);
    SnapToPartners(Bounds(900, 900, 200, 100), pos, {kPartner}, 2, 10);
    EXPECT_EQ(pos.X, 105);
    EXPECT_EQ(pos.Y, 305);

    // Left edge near the partner's left edge, but touching none of the edges
    // of the partner test.
    pos = Proposed(104, 600, 200, 100);
    SnapToPartners(Bounds(103, 600, 200, 100), pos, {kPartner}, 2, 10);
    EXPECT_EQ(pos.X, 104);

    // The partner test uses SnapBuffer, the snap itself always 10 pixels.
    const TRect current = Bounds(200, 315, 200, 100);  // 15 px below
    pos = Proposed(108, 315, 200, 100);
    SnapToPartners(current, pos, {kPartner}, 1, 10);
    EXPECT_EQ(pos.X, 108);
    SnapToPartners(current, pos, {kPartner}, 1, 20);
    EXPECT_EQ(pos.X, 100);
}

TEST(SnapTest, EdgesMeetFromEverySide) {
    // Beside the partner on its right: left edge onto its right edge, tops aligned.
    TWindowPos pos = Proposed(406, 96, 100, 100);
    SnapToPartners(Bounds(402, 150, 100, 100), pos, {kPartner}, 1, 10);
    EXPECT_EQ(pos.X, 400);
    EXPECT_EQ(pos.Y, 100);
    // Above it: bottom edge onto its top edge.
    pos = Proposed(250, -3, 100, 100);
    SnapToPartners(Bounds(250, 2, 100, 100), pos, {kPartner}, 1, 10);
    EXPECT_EQ(pos.Y, 0);
}

TEST(SnapTest, OnlySizeableWindowsSnapTheirSize) {
    const TRect current = Bounds(100, 302, 296, 100);
    TWindowPos pos = Proposed(100, 302, 296, 100);
    SnapToPartners(current, pos, {kPartner}, 1, 10);
    EXPECT_EQ(pos.CX, 296);
    for (int style : {2, 5}) {
        pos = Proposed(100, 302, 296, 100);
        SnapToPartners(current, pos, {kPartner}, style, 10);
        EXPECT_EQ(pos.CX, 300) << style;  // same width as the partner
    }
    // A window left of the partner, its right edge pulled near the partner's left edge.
    pos = Proposed(20, 120, 76, 100);
    SnapToPartners(Bounds(20, 120, 72, 100), pos, {kPartner}, 2, 10);
    EXPECT_EQ(pos.X + pos.CX, 100);
    // A width that merely equals a coordinate of the partner means nothing.
    pos = Proposed(402, 150, 95, 100);
    SnapToPartners(Bounds(402, 150, 95, 100), pos, {kPartner}, 2, 10);
    EXPECT_EQ(pos.CX, 95);
}

// A marked window on the sim desktop.
class TSnapForm : public TSrzForm {
public:
    explicit TSnapForm(TApplication& app) : TSrzForm(app, 0) { ScreenSnap = true; }
};

class SnapFormTest : public ::testing::Test {
protected:
    sim::TSimPlatform sim;
    TApplication app{sim.Ports()};
};

TEST_F(SnapFormTest, MarkedWindowsAreCollectedInSystemOrder) {
    auto a = TForm::Create<TSnapForm>(app);
    const THandle foreign = sim.Windows.CreateWindowHandle(0, nullptr);
    sim.Windows.SetProp(foreign, kSrzFormMarker, 1);
    const THandle otherValue = sim.Windows.CreateWindowHandle(0, nullptr);
    sim.Windows.SetProp(otherValue, kSrzFormMarker, 2);
    sim.Windows.CreateWindowHandle(0, nullptr);
    auto b = TForm::Create<TSnapForm>(app);

    const TIntegerList list = MarkedWindows(sim.Windows);
    std::vector<THandle> want;
    for (THandle h : sim.Windows.EnumWindows())
        if (h == a->Handle() || h == b->Handle() || h == foreign) want.push_back(h);
    ASSERT_EQ(list.Count(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(static_cast<THandle>(list.Items(i)), want[static_cast<std::size_t>(i)]);
}

TEST_F(SnapFormTest, MovingAVisibleWindowSnapsToPartnersOfAnyProgram) {
    const THandle foreign = sim.Windows.CreateWindowHandle(0, nullptr);
    sim.Windows.SetProp(foreign, kSrzFormMarker, 1);
    sim.Windows.SetWindowRect(foreign, kPartner);
    auto form = TForm::Create<TSnapForm>(app);
    form->SetBounds(200, 305, 200, 100);  // hidden: placed as asked
    form->Show();
    form->SetBounds(107, 305, 200, 100);
    EXPECT_EQ(form->Left, 100);
    EXPECT_EQ(form->Top, 300);
    EXPECT_EQ(sim.Windows.GetWindowRect(form->Handle()), Bounds(100, 300, 200, 100));

    form->ScreenSnap = false;
    form->SetBounds(107, 305, 200, 100);
    EXPECT_EQ(form->Left, 107);
}

TEST_F(SnapFormTest, NoPartnerSnapWhenHiddenOrAtTheOrigin) {
    auto partner = TForm::Create<TSnapForm>(app);
    partner->SetBounds(100, 100, 300, 200);
    auto form = TForm::Create<TSnapForm>(app);
    form->SetBounds(200, 305, 200, 100);
    form->SetBounds(107, 305, 200, 100);
    EXPECT_EQ(form->Left, 107);  // not visible
    form->Show();
    form->SetBounds(0, 0, 200, 100);
    EXPECT_EQ(form->Left, 0);
    EXPECT_EQ(form->Top, 0);
}

TEST_F(SnapFormTest, FrameworkSnapsToTheWorkArea) {
    sim.Windows.SetScreenSize({1280, 1024});  // work area 0,0 - 1280,994
    auto form = TForm::Create<TSnapForm>(app);
    form->Show();
    form->SetBounds(1075, 890, 200, 100);
    EXPECT_EQ(form->Left, 1080);
    EXPECT_EQ(form->Top, 894);
    form->SetBounds(1060, 880, 200, 100);
    EXPECT_EQ(form->Left, 1060);
    EXPECT_EQ(form->Top, 880);
    form->SetBounds(6, 7, 200, 100);
    EXPECT_EQ(form->Left, 0);
    EXPECT_EQ(form->Top, 0);
}

TEST(IntegerListTest, AddDeleteClear) {
    TIntegerList list;
    for (int v : {10, 20, 30, 40}) list.Add(v);
    list.Delete(-1);
    list.Delete(4);
    EXPECT_EQ(list.Count(), 4);
    list.Delete(1);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0), 10);
    EXPECT_EQ(list.Items(1), 30);
    EXPECT_EQ(list.Items(2), 40);
    EXPECT_THROW(list.Items(3), std::out_of_range);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(SnapFormTest, VisibleManagerHidesAndRestoresItsWindowsInPlace) {
    TVisibleManager manager(app);
    const THandle a = sim.Windows.CreateWindowHandle(0, nullptr);
    const THandle b = sim.Windows.CreateWindowHandle(0, nullptr);
    sim.Windows.SetWindowRect(a, Bounds(5, 6, 70, 80));
    sim.Windows.SetVisible(a, true);
    sim.Windows.SetVisible(b, true);
    manager.Add(a);
    ASSERT_TRUE(app.OnMinimize);
    app.OnMinimize();
    EXPECT_FALSE(sim.Windows.IsVisible(a));
    EXPECT_TRUE(sim.Windows.IsVisible(b));
    app.OnRestore();
    EXPECT_TRUE(sim.Windows.IsVisible(a));
    EXPECT_EQ(sim.Windows.GetWindowRect(a), Bounds(5, 6, 70, 80));
    EXPECT_EQ(sim.Windows.ActiveWindow(), 0u);
    manager.Remove(a);
    EXPECT_EQ(manager.Count(), 0);
}

}  // namespace
}  // namespace quorvel::testing
