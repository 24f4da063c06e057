// Layer: one semiconductor layer of the device stack with its 108
// parameter records, its material, its display colours and the key table
// of a "[LayerN]" section.
#pragma once

#include "keptLines.h"
#include "notes.h"
#include "param.h"

constexpr int LAYER_RECORDS = 108;

// Dopant type codes.
constexpr int DOPANT_INTRINSIC = 0;
constexpr int DOPANT_DONOR = 16;
constexpr int DOPANT_ACCEPTOR = 32;
constexpr int DOPANT_UNKNOWN = 127;

// Record numbers the document names directly.
enum LayerRecord {
    LR_NAME = 0,
    LR_LABEL = 1,
    LR_MATERIAL = 2,
    LR_COMPOSITION_X = 3,
    LR_THICKNESS = 5,
    LR_BANDGAP = 6,
    LR_BANDGAP_BOWING = 7,
    LR_BANDGAP_TYPE = 8,
    LR_AFFINITY = 9,
    LR_AFFINITY_BOWING = 10,
    LR_MOBILITY_N = 44,
    LR_MOBILITY_P = 45,
    LR_DOPANT_N = 46,
    LR_DOPANT_TYPE = 53,
    LR_TRAP1 = 54,
    LR_DOPANT_MODEL = 96,
    LR_DOPING_MODEL = 97,
    LR_TRAP_MODEL = 98,
    LR_TRAP_COUNT = 99,
    LR_MESH_POINTS = 107
};

struct Layer {
    char name[32];
    char label[32];
    char reference[128];
    int dopingColor[3];
    int bandgapColor[3];
    int meshColor[3];
    int canvasRect[4];
    int count;
    ParamRecord* records[LAYER_RECORDS];
    // Keys of the device file that the engine reads and this record set
    // does not hold, kept as written so that an open-and-save keeps them.
    KeptLines kept;
    // Comment lines of its section that are no record's comment; they stay
    // with the layer wherever it moves and are not copied with its values.
    Notes* notes;
};

struct KeyEntry {
    const char* key;
    long long number;
};

// The layer's key table ({key, record number}, ended by a null key).
extern const KeyEntry LayerKeys[];
// Keys of a layer section the engine reads that no record holds.
extern const char* const LayerKeptKeys[];
// Colour rows {R, G, B} of the canvas.
extern const int LayerColorTable[62][3];

Layer* Layer_create();
void Layer_free(Layer** layer);
int Layer_setMaterial(Layer* layer, const char* name, const char* label, int dopantType);
void Layer_copy(const Layer* source, Layer* target, int keepDoping, int keepThickness,
                int* changed);
int Layer_setParam(Layer* layer, const char* key, const char* text, const char* comment,
                   int* changed, int console);
int Layer_getValueText(Layer* layer, const char* key, char* out);
ParamRecord* Layer_findParam(Layer* layer, const char* key);
int Layer_getDopantType(Layer* layer);
int Layer_setDopantType(Layer* layer, int code);
void Layer_updateColors(Layer* layer);
void Layer_resetDopantItems(Layer* layer, int dopantType, double taun, double taup);
void Layer_resetMobilityItems(Layer* layer, double mobilityN, double mobilityP);
int Material_getBinaries(const char* name, char* first, char* second);
// Decodes "I", "Donor", "p", ... (any case) into a dopant type code.
int Dopant_decode(const char* text);
