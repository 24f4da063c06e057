// The device's layer list: append, insert, move, swap, remove, and the
// names that follow positions.
#include <cstring>
#include <string>
#include <vector>

#include "docTestSupport.h"

namespace {

class LayerList : public DocTest {
protected:
    // A fresh device with n layers whose thicknesses 1..n tell them apart.
    Device* stack(int n)
    {
        Device* d = device();
        Device_removeAllLayers(d);
        for (int i = 0; i < n; ++i) {
            Layer* layer = Device_appendLayer(d);
            EXPECT_NE(layer, nullptr);
            Layer_setParam(layer, "Thickness", std::to_string(i + 1).c_str(), nullptr, nullptr, 0);
        }
        return d;
    }
    // Thicknesses in stack order, and checks that names follow positions.
    std::vector<int> order(Device* d)
    {
        std::vector<int> out;
        for (int i = 0; i < d->layerCount; ++i) {
            EXPECT_EQ(std::string(d->layers[i]->name), "Layer" + std::to_string(i + 1));
            out.push_back(static_cast<int>(d->layers[i]->records[LR_THICKNESS]->value.real));
        }
        return out;
    }
};

TEST_F(LayerList, NewDeviceHasNoLayerAndTheFirstAppendTakesTheDefaultMaterial)
{
    Device* d = Device_create("Solar Cell");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->layerCount, 0);
    recorder.settings.DefaultMaterial[0] = '\0';
    std::strcpy(recorder.settings.DefaultMaterial, "GaAs");
    Layer* layer = Device_appendLayer(d);
    ASSERT_NE(layer, nullptr);
    EXPECT_STREQ(layer->name, "Layer1");
    EXPECT_STREQ(layer->records[LR_MATERIAL]->value.text, "GaAs");
    EXPECT_STREQ(layer->records[LR_DOPANT_TYPE]->value.text, "A");
    Device_free(&d);
    EXPECT_EQ(d, nullptr);
}

TEST_F(LayerList, InsertMoveAndRemoveKeepOrderAndNames)
{
    const struct {
        const char* what;
        int layers;
        int a, b;
        std::vector<int> expected;
    } cases[] = {
        {"insert at 1 copies layer 2 there", 3, 1, 0, {1, 2, 2, 3}},
        {"insert at the last position appends a copy", 3, 2, 0, {1, 2, 3, 3}},
        {"move 0 to 3", 4, 0, 3, {2, 3, 4, 1}},
        {"move 3 to 0", 4, 3, 0, {4, 1, 2, 3}},
        {"move neighbours swap", 4, 1, 2, {1, 3, 2, 4}},
        {"down", 3, 0, 0, {2, 1, 3}},
        {"up", 3, 2, 0, {1, 3, 2}},
        {"remove the middle", 3, 1, 0, {1, 3}},
        {"remove the last", 3, 2, 0, {1, 2}},
    };
    for (const auto& c : cases) {
        Device* d = stack(c.layers);
        const std::string what = c.what;
        if (what.rfind("insert", 0) == 0) {
            ASSERT_NE(Device_insertLayer(d, c.a), nullptr) << c.what;
        } else if (what.rfind("move", 0) == 0) {
            ASSERT_EQ(Device_moveLayer(d, c.a, c.b), d->layers[c.b]) << c.what;
        } else if (what == "down") {
            ASSERT_EQ(Device_moveLayerDown(d, c.a), d->layers[c.a + 1]) << c.what;
        } else if (what == "up") {
            ASSERT_EQ(Device_moveLayerUp(d, c.a), d->layers[c.a - 1]) << c.what;
        } else {
            ASSERT_EQ(Device_removeLayer(d, c.a), 1) << c.what;
        }
        EXPECT_EQ(order(d), c.expected) << c.what;
    }
}

TEST_F(LayerList, InsertInFrontGivesADefaultLayer)
{
    Device* d = stack(2);
    Layer* layer = Device_insertLayer(d, -1);
    ASSERT_EQ(layer, d->layers[0]);
    EXPECT_DOUBLE_EQ(layer->records[LR_THICKNESS]->value.real, 1.0);  // silicon's preset
    EXPECT_EQ(order(d), (std::vector<int>{1, 1, 2}));
}

TEST_F(LayerList, RefusalsChangeNothing)
{
    Device* d = stack(9);
    recorder.lines.clear();
    EXPECT_EQ(Device_appendLayer(d), nullptr);
    EXPECT_EQ(Device_insertLayer(d, 0), nullptr);
    EXPECT_EQ(d->layerCount, 9);
    ASSERT_EQ(recorder.lines.size(), 2u);
    EXPECT_EQ(recorder.lines[0], "[ERROR]   cannot inset layer: maximum number (9) reached.\n");
    ASSERT_FALSE(recorder.infos.empty());
    EXPECT_EQ(recorder.infos.back(), "[ERROR]   cannot inset layer: maximum number (9) reached.");

    d = stack(3);
    EXPECT_EQ(Device_insertLayer(d, 3), nullptr);
    EXPECT_EQ(Device_insertLayer(d, -2), nullptr);
    EXPECT_EQ(Device_moveLayer(d, 1, 1), nullptr);
    EXPECT_EQ(Device_moveLayer(d, 0, 3), nullptr);
    EXPECT_EQ(Device_moveLayerDown(d, 2), nullptr);
    EXPECT_EQ(Device_moveLayerUp(d, 0), nullptr);
    EXPECT_EQ(Device_removeLayer(d, 3), 0);
    EXPECT_EQ(order(d), (std::vector<int>{1, 2, 3}));

    d = stack(1);
    EXPECT_EQ(Device_removeLayer(d, 0), 0);
    EXPECT_EQ(d->layerCount, 1);
}

}  // namespace
