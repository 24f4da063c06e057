// The canvas's pixel rules: band and layer heights, hit testing, border
// grabbing, drag rounding, the drag marker and what labels a layer has room for.
#include <gtest/gtest.h>

#include "CanvasGeometry.h"

TEST(CanvasGeometry, ContactBandsStayBetweenSixAndTwentyPixels)
{
    // A contact of 1 nm against 10 um of layers and one as thick as them.
    EXPECT_EQ(CanvasGeometry_bandHeight(500, 0.001, 10.0), 6);
    EXPECT_EQ(CanvasGeometry_bandHeight(500, 5.0, 10.0), 20);
    EXPECT_EQ(CanvasGeometry_bandHeight(500, 0.3, 10.0), 15);  // 500*0.03 truncated
    EXPECT_EQ(CanvasGeometry_bandHeight(500, 0.0, 10.0), 6);
}

TEST(CanvasGeometry, LayersShareTheRoomInProportionAndFillTheCanvas)
{
    // Bands of 10 px each (0.2 of 10 um over 500 px); 480 px for 1, 1, 2 um... shares 3:3:4 of 9.6.
    CanvasLayout layout = CanvasGeometry_layout(250, 500, 0.2, 0.2, {3.0, 3.0, 3.6});
    ASSERT_EQ(layout.layers.size(), 3u);
    EXPECT_EQ(layout.anode.y0, 0);
    EXPECT_EQ(layout.anode.y1, 10);
    EXPECT_EQ(layout.layers[0].y0, 10);
    EXPECT_EQ(layout.layers[0].height(), 150);
    EXPECT_EQ(layout.layers[1].y0, 160);
    EXPECT_EQ(layout.layers[1].height(), 150);
    EXPECT_EQ(layout.layers[2].y0, 310);
    EXPECT_EQ(layout.layers[2].y1, 490);  // the last layer reaches the cathode band
    EXPECT_EQ(layout.cathode.y0, 490);
    EXPECT_EQ(layout.cathode.y1, 500);
    EXPECT_EQ(layout.layers[0].x1, 250);
}

TEST(CanvasGeometry, ThinLayerDrawnSixHighAndTheNextOneGivesFivePixelsBack)
{
    // R = 300 px between bands of 6 (thin contacts): 0.01 of 1 um is 3 px.
    CanvasLayout layout = CanvasGeometry_layout(100, 312, 0.0001, 0.0001, {0.01, 0.5, 0.49});
    ASSERT_EQ(layout.layers.size(), 3u);
    EXPECT_EQ(layout.layers[0].height(), 6);
    EXPECT_EQ(layout.layers[1].height(), 150 - 5);
    EXPECT_EQ(layout.layers[2].y1, 306);
}

TEST(CanvasGeometry, HitTestingSelectsContactsWholeAndLayersAwayFromTheirEdges)
{
    CanvasLayout layout = CanvasGeometry_layout(250, 500, 0.2, 0.2, {3.0, 3.0, 3.6});
    struct Case {
        int y;
        CanvasHitKind kind;
        int layer;
    } cases[] = {
        {0, CanvasHitKind::ANODE, -1},     {9, CanvasHitKind::ANODE, -1},
        {10, CanvasHitKind::NONE, -1},  // top edge of layer 1: inside the margin of 8
        {17, CanvasHitKind::NONE, -1},     {18, CanvasHitKind::LAYER, 1},
        {100, CanvasHitKind::LAYER, 1},    {151, CanvasHitKind::LAYER, 1},
        {152, CanvasHitKind::NONE, -1},    {165, CanvasHitKind::NONE, -1},
        {168, CanvasHitKind::LAYER, 2},    {400, CanvasHitKind::LAYER, 3},
        {489, CanvasHitKind::NONE, -1},    {490, CanvasHitKind::CATHODE, -1},
        {499, CanvasHitKind::CATHODE, -1}, {500, CanvasHitKind::NONE, -1},
    };
    for (const Case& c : cases) {
        CanvasHit hit = CanvasGeometry_hitTest(layout, 100, c.y);
        EXPECT_EQ(hit.kind, c.kind) << "y=" << c.y;
        EXPECT_EQ(hit.layer, c.layer) << "y=" << c.y;
    }
    EXPECT_EQ(CanvasGeometry_hitTest(layout, 250, 100).kind, CanvasHitKind::NONE);
    EXPECT_EQ(CanvasGeometry_hitTest(layout, -1, 100).kind, CanvasHitKind::NONE);
}

TEST(CanvasGeometry, HitMarginIsATenthHeldBetweenTwoAndEight)
{
    EXPECT_EQ(CanvasGeometry_hitMargin({0, 0, 10, 6}), 2);
    EXPECT_EQ(CanvasGeometry_hitMargin({0, 0, 10, 50}), 5);
    EXPECT_EQ(CanvasGeometry_hitMargin({0, 0, 10, 400}), 8);
}

TEST(CanvasGeometry, BorderIsTheBottomEdgeOrTheTopEdgeOfTheLastLayer)
{
    CanvasLayout layout = CanvasGeometry_layout(250, 500, 0.2, 0.2, {3.0, 3.0, 3.6});
    EXPECT_EQ(CanvasGeometry_borderY(layout, 1), 160);
    EXPECT_EQ(CanvasGeometry_borderY(layout, 3), 310);
    EXPECT_EQ(CanvasGeometry_borderY(layout, 0), -1);
    EXPECT_EQ(CanvasGeometry_borderY(layout, 4), -1);
    EXPECT_TRUE(CanvasGeometry_isOnBorder(layout, 1, 10, 160 + 8));
    EXPECT_TRUE(CanvasGeometry_isOnBorder(layout, 1, 10, 160 - 8));
    EXPECT_FALSE(CanvasGeometry_isOnBorder(layout, 1, 10, 160 + 9));
    EXPECT_FALSE(CanvasGeometry_isOnBorder(layout, 1, 250, 160));
    // One layer alone has no border to drag.
    CanvasLayout single = CanvasGeometry_layout(250, 500, 0.2, 0.2, {3.0});
    EXPECT_EQ(CanvasGeometry_borderY(single, 1), -1);
    EXPECT_FALSE(CanvasGeometry_isOnBorder(single, 1, 10, 490));
}

TEST(CanvasGeometry, DraggedThicknessIsRoundedToATidyStep)
{
    EXPECT_DOUBLE_EQ(CanvasGeometry_roundThickness(2.3461), 2.35);
    EXPECT_DOUBLE_EQ(CanvasGeometry_roundThickness(0.12345), 0.1235);
    EXPECT_DOUBLE_EQ(CanvasGeometry_roundThickness(23.46), 25.0);
    EXPECT_DOUBLE_EQ(CanvasGeometry_roundThickness(0.0123), 0.0123);
    // A 150 px layer of 3 um dragged to 117 px: 2.34 um, on a step of 0.05.
    EXPECT_DOUBLE_EQ(CanvasGeometry_draggedThickness(117, 150, 3.0, -33), 2.35);
    EXPECT_DOUBLE_EQ(CanvasGeometry_draggedThickness(115, 150, 3.0, -35), 2.3);
}

TEST(CanvasGeometry, SmallOrTooThinDragsChangeNothing)
{
    EXPECT_EQ(CanvasGeometry_draggedThickness(299, 300, 3.0, 3), 0.0);  // h/100 = 3
    EXPECT_GT(CanvasGeometry_draggedThickness(296, 300, 3.0, 4), 0.0);
    EXPECT_EQ(CanvasGeometry_draggedThickness(6, 300, 0.4, -294), 0.0);  // 0.008 um
    EXPECT_EQ(CanvasGeometry_draggedThickness(100, 0, 1.0, 50), 0.0);
}

TEST(CanvasGeometry, DragMarkerMovesWholeOrByOneEdgeKeepingSixPixels)
{
    CanvasRect marker{0, 100, 250, 200};
    CanvasRect moved = CanvasGeometry_dragMarker(marker, CanvasDrag::MOVE, 30);
    EXPECT_EQ(moved.y0, 130);
    EXPECT_EQ(moved.y1, 230);
    EXPECT_EQ(CanvasGeometry_dragMarker(marker, CanvasDrag::BORDER, -50).y1, 150);
    EXPECT_EQ(CanvasGeometry_dragMarker(marker, CanvasDrag::BORDER, -200).y1, 106);
    EXPECT_EQ(CanvasGeometry_dragMarker(marker, CanvasDrag::LAST_BORDER, 150).y0, 194);
    EXPECT_EQ(CanvasGeometry_dragMarker(marker, CanvasDrag::LAST_BORDER, -20).y0, 80);
}

TEST(CanvasGeometry, LayerLabelsShowWhatFitsAndNothingOfWhatDoesNot)
{
    // Texts 15 px high (T = 19); a name of 60 px and value lines of 120 px
    // on a 250 px wide canvas.
    const CanvasTextSize name{60, 15}, line{120, 15};
    struct Case {
        int height;
        bool hasMesh;
        bool name;
        int lines;
    } cases[] = {
        {14, true, false, 0},   // thinner than one text: nothing at all
        {24, true, false, 0},   // 15 + 8 is not below 23
        {25, true, true, 0},    // the name alone
        {74, true, true, 0},    // 15 + 57 is not below 72
        {75, true, true, 1},    // the doping line joins
        {88, true, true, 1},    // 57 + 30 is not below 87
        {89, true, true, 2},    // doping and thickness
        {103, true, true, 2},   // 57 + 45 is not below 102
        {104, true, true, 3},   // and the mesh points
        {104, false, true, 2},  // no mesh points: no mesh line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        CanvasRect layer{0, 100, 250, 100 + c.height};
        CanvasLabelPlan plan = CanvasGeometry_labelPlan(layer, name, 8, line, 19, c.hasMesh);
        EXPECT_EQ(plan.name, c.name);
        EXPECT_EQ(plan.lines, c.lines);
        // Whatever is drawn lies inside the layer and below the name.
        if (plan.name) {
            EXPECT_EQ(plan.nameY, 104);
            EXPECT_LE(plan.nameY + name.height, layer.y1);
        }
        for (int i = 0; i < plan.lines; ++i) {
            EXPECT_GE(plan.lineY[i], plan.name ? plan.nameY + name.height : layer.y0);
            EXPECT_LE(plan.lineY[i] + line.height, layer.y1);
            if (i > 0) {
                EXPECT_GE(plan.lineY[i], plan.lineY[i - 1] + line.height);
            }
        }
    }
}

TEST(CanvasGeometry, LabelsNeedAReadableTextThatFitsTheWidth)
{
    const CanvasRect tall{0, 0, 250, 400};
    // A name of four characters or fewer is not drawn; neither is a text
    // as wide as the canvas, nor one too small to read.
    EXPECT_FALSE(CanvasGeometry_labelPlan(tall, {60, 15}, 4, {120, 15}, 19, true).name);
    EXPECT_FALSE(CanvasGeometry_labelPlan(tall, {250, 15}, 8, {120, 15}, 19, true).name);
    EXPECT_FALSE(CanvasGeometry_labelPlan(tall, {12, 15}, 8, {120, 15}, 19, true).name);
    EXPECT_FALSE(CanvasGeometry_labelPlan(tall, {60, 6}, 8, {120, 15}, 19, true).name);
    EXPECT_EQ(CanvasGeometry_labelPlan(tall, {60, 15}, 8, {250, 15}, 19, true).lines, 0);
    EXPECT_EQ(CanvasGeometry_labelPlan(tall, {60, 15}, 8, {120, 6}, 19, true).lines, 0);
    EXPECT_EQ(CanvasGeometry_labelPlan(tall, {60, 15}, 8, {120, 15}, 19, true).lines, 3);
}
