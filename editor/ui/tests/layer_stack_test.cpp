// Layer item texts, the kept list value and keyboard steps through the stack.
#include <gtest/gtest.h>

#include "LayerStack.h"

TEST(LayerStack, ItemTextUsesLabelOrMaterialAndTheDopantSuffix)
{
    EXPECT_EQ(LayerStack_itemText(1, "Emitter", "Si", "Acceptor"), "1 Emitter (P)");
    EXPECT_EQ(LayerStack_itemText(2, "", "GaAs", "d"), "2 GaAs (N)");
    EXPECT_EQ(LayerStack_itemText(3, "", "Si", "intrinsic"), "3 Si (I)");
    EXPECT_EQ(LayerStack_itemText(4, "", "Si", "P"), "4 Si (P)");
    EXPECT_EQ(LayerStack_itemText(5, "x", "Si", "Other"), "5 x");
    EXPECT_EQ(LayerStack_itemText(1, std::string(600, 'L'), "Si", "N").size(), 443u + 4u);
}

TEST(LayerStack, KeptSelectionIsOneDigitWithinTheLayerCount)
{
    EXPECT_EQ(LayerStack_keptSelection("3", 4), 3);
    EXPECT_EQ(LayerStack_keptSelection("10", 9), 1);
    EXPECT_EQ(LayerStack_keptSelection("0", 9), 1);
    EXPECT_EQ(LayerStack_keptSelection("5", 4), 1);
    EXPECT_EQ(LayerStack_keptSelection(nullptr, 4), 1);
}

TEST(LayerStack, KeyboardStepsWalkAnodeLayersCathode)
{
    struct Case {
        StackSelection from;
        int direction;
        bool moved;
        StackSelection to;
    } cases[] = {
        {{1, 1}, +1, true, {1, -1}},                                // anode -> layer 1
        {{3, -1}, +1, true, {3, 2}},                                // last layer -> cathode
        {{3, 2}, +1, true, {3, 2}},                                 // cathode stays
        {{2, -1}, +1, true, {3, -1}}, {{3, 2}, -1, true, {3, -1}},  // cathode -> last layer
        {{1, -1}, -1, true, {1, 1}},                                // layer 1 -> anode
        {{2, 1}, -1, true, {2, 1}},                                 // anode stays
        {{3, -1}, -1, true, {2, -1}}, {{1, -1}, 0, true, {3, -1}},  // direct pick of index 2
    };
    for (const Case& c : cases) {
        StackSelection to;
        EXPECT_EQ(LayerStack_step(c.from, 3, 2, c.direction, to), c.moved);
        EXPECT_EQ(to.layer, c.to.layer);
        EXPECT_EQ(to.contact, c.to.contact);
    }
    StackSelection to;
    EXPECT_FALSE(LayerStack_step({1, -1}, 3, 5, 0, to));
}
