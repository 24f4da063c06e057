// The three display colours of a layer (doping, bandgap, mesh).
#include <cmath>
#include <cstring>

#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "layer.h"

const int LayerColorTable[62][3] = {{192, 192, 192},
                                    {210, 200, 150},
                                    {240, 240, 240},
                                    // acceptor doping, 1e13 to above 1e20
                                    {220, 235, 250},
                                    {205, 225, 250},
                                    {190, 215, 245},
                                    {175, 210, 240},
                                    {165, 205, 235},
                                    {155, 200, 230},
                                    {135, 185, 220},
                                    {130, 180, 215},
                                    // donor doping
                                    {250, 245, 230},
                                    {250, 245, 225},
                                    {245, 235, 215},
                                    {240, 225, 200},
                                    {235, 215, 190},
                                    {225, 210, 185},
                                    {220, 205, 185},
                                    {215, 200, 180},
                                    // intrinsic
                                    {245, 244, 240},
                                    // bandgap index 0 to 23
                                    {220, 200, 200},
                                    {230, 205, 205},
                                    {240, 205, 205},
                                    {250, 210, 215},
                                    {250, 210, 210},
                                    {250, 220, 210},
                                    {250, 210, 190},
                                    {250, 230, 190},
                                    {250, 240, 190},
                                    {220, 240, 210},
                                    {210, 240, 210},
                                    {210, 240, 220},
                                    {200, 240, 250},
                                    {200, 230, 250},
                                    {200, 215, 250},
                                    {200, 205, 250},
                                    {200, 200, 250},
                                    {205, 200, 250},
                                    {210, 200, 250},
                                    {240, 200, 240},
                                    {230, 190, 230},
                                    {230, 215, 230},
                                    {225, 210, 225},
                                    {215, 200, 215},
                                    // mesh index 0 to 17
                                    {236, 240, 240},
                                    {228, 235, 235},
                                    {222, 230, 230},
                                    {214, 224, 224},
                                    {206, 218, 218},
                                    {197, 211, 211},
                                    {190, 204, 204},
                                    {182, 198, 198},
                                    {174, 192, 192},
                                    {169, 187, 187},
                                    {164, 182, 182},
                                    {159, 177, 177},
                                    {155, 173, 173},
                                    {147, 165, 165},
                                    {144, 160, 160},
                                    {134, 154, 154},
                                    {124, 146, 146},
                                    {117, 139, 139}};

namespace {

void setColor(int* color, int row) { std::memcpy(color, LayerColorTable[row], 3 * sizeof(int)); }

int dopingRow(int type, double n)
{
    if (type == DOPANT_INTRINSIC) {
        return 19;
    }
    const int base = type == DOPANT_ACCEPTOR ? 3 : 11;
    const int top = base + 7;
    if (n < 1e13) {
        return base;
    }
    if (n > 1e21) {
        return top;
    }
    // Whole decades above 1e13: 3.2e17 on an acceptor layer is row 7.
    const int row = base + static_cast<int>(std::floor(std::log10(n) - 13));
    return row < base ? base : (row > top ? top : row);
}

int bandgapRow(double eg)
{
    int index = 0;
    if (eg < 1.5) {
        index = 0;
    } else if (eg > 3.5) {
        index = 23;
    } else {
        index = static_cast<int>(std::lround((eg - 1.5) / 0.08334));
    }
    index = index < 0 ? 0 : (index > 23 ? 23 : index);
    return 20 + index;
}

int meshRow(int n)
{
    static const int LIMITS[18] = {50,  100,  150,  200,  250,  300,  350,   400,   450,
                                   500, 1000, 2000, 3000, 4000, 5000, 10000, 15000, 20000};
    if (n < LIMITS[0]) {
        return 44;
    }
    if (n >= LIMITS[17]) {
        return 44 + 17;
    }
    for (int i = 0; i < 17; ++i) {
        if (n >= LIMITS[i] && n < LIMITS[i + 1]) {
            return 44 + i;
        }
    }
    return 44;
}

}  // namespace

void Layer_updateColors(Layer* layer)
{
    Document* document = Doc_document();
    if (document == nullptr || document->device == nullptr || layer == nullptr) {
        return;
    }
    ParamRecord* dopantN = layer->records[LR_DOPANT_N];
    if (dopantN == nullptr || std::strcmp(dopantN->key, "Dopant.N") != 0) {
        return;
    }
    const int type = Layer_getDopantType(layer);
    if (type == DOPANT_UNKNOWN) {
        const int unknown[3] = {230, 200, 200};
        std::memcpy(layer->dopingColor, unknown, sizeof unknown);
    } else {
        setColor(layer->dopingColor, dopingRow(type, dopantN->value.real));
    }
    const ParamRecord* bandgap = layer->records[LR_BANDGAP];
    if (bandgap == nullptr || std::strcmp(bandgap->key, "Bandgap") != 0) {
        return;
    }
    setColor(layer->bandgapColor, bandgapRow(bandgap->value.real));
    setColor(layer->meshColor, meshRow(Device_getLayerMeshPoints(document, layer)));
}
