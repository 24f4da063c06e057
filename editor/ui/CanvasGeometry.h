// The device canvas's geometry: where the anode band, each layer and the
// cathode band lie for a canvas size and a set of thicknesses, which element
// a mouse point hits, where a layer's draggable border is, how a dragged
// border becomes a thickness and how the drag marker follows the mouse.
// Pure arithmetic, so the drawing code and the mouse handlers agree on
// every pixel and the rules can be checked without a window.
#pragma once

#include <vector>

struct CanvasRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int height() const { return y1 - y0; }
    bool contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

struct CanvasLayout {
    CanvasRect anode;                // the hit rectangle of the anode band
    CanvasRect cathode;              // the hit rectangle of the cathode band
    std::vector<CanvasRect> layers;  // one hit rectangle per layer, top first
};

// Contact bands take their thickness's share of the height, but never less
// than 6 or more than 20 pixels, so a contact is always clickable and never
// crowds the layers out.
int CanvasGeometry_bandHeight(int canvasHeight, double contactThickness, double totalThickness);

// The whole stack for a canvas of width x height pixels. Layers share what
// the bands leave in proportion to their thickness; a layer under 6 pixels is
// drawn 6 high (the next one gives the room back) and the last layer reaches
// down to the cathode band.
CanvasLayout CanvasGeometry_layout(int width, int height, double anodeThickness,
                                   double cathodeThickness,
                                   const std::vector<double>& layerThicknesses);

// A layer's hit margin: a tenth of its height, held to 2..8 pixels. Clicks
// that close to a layer's edge select nothing, so the border stays grabbable.
int CanvasGeometry_hitMargin(const CanvasRect& layer);

enum class CanvasHitKind { NONE, ANODE, CATHODE, LAYER };
struct CanvasHit {
    CanvasHitKind kind = CanvasHitKind::NONE;
    int layer = -1;  // 1-based layer number for a layer hit
};
// The contacts are hit on their whole band; a layer only inside its rectangle
// shrunk vertically by its hit margin.
CanvasHit CanvasGeometry_hitTest(const CanvasLayout& layout, int x, int y);

// The y of the border that a drag of the selected layer (1-based) changes:
// its bottom edge, or its top edge for the last layer. -1 when the layer
// cannot be resized (no such layer, or a device of one layer).
int CanvasGeometry_borderY(const CanvasLayout& layout, int selectedLayer);
// True when the point is within the hit margin of that border and inside
// the layer's width.
bool CanvasGeometry_isOnBorder(const CanvasLayout& layout, int selectedLayer, int x, int y);

// The thickness a border drag gives: the marker's height over the layer's
// pixel height times the old thickness, rounded to a tidy step (a tenth of a
// decade over 2 at and above 10, over 20 from 1 to 10, over 200 below 1).
// Returns 0 when the drag changes nothing: the pointer moved no more than a
// hundredth of the layer's height, or the thickness would be below 0.01.
double CanvasGeometry_draggedThickness(int markerHeight, int layerHeight, double oldThickness,
                                       int movedPixels);
double CanvasGeometry_roundThickness(double thickness);

enum class CanvasDrag { NONE, MOVE, BORDER, LAST_BORDER };
// The marker after a vertical movement dy: a move shifts it whole; a border
// drag moves its bottom (its top for the last layer's top border) but keeps
// it at least 6 pixels high.
CanvasRect CanvasGeometry_dragMarker(CanvasRect marker, CanvasDrag drag, int dy);

// What a layer's labels get of its rectangle. The name (its list label)
// sits 4 pixels below the top when the layer has room for it; the value
// lines (doping, thickness, mesh points) are centred around the middle, as
// many as fit: all three (only when the layer has mesh points or a mesh
// file), doping and thickness, the doping line alone, or none. A layer too
// thin for a text shows no part of it rather than spill over its
// neighbours.
struct CanvasTextSize {
    int width = 0, height = 0;
};
struct CanvasLabelPlan {
    bool name = false;
    int nameY = 0;
    int lines = 0;      // 0..3 value lines, doping first
    int lineY[3] = {};  // their tops
};
// name: the list label's size and length in characters; line: the doping
// line's size (the value lines share one height); textHeight the height of
// "QWy" plus 4.
CanvasLabelPlan CanvasGeometry_labelPlan(const CanvasRect& layer, CanvasTextSize name,
                                         int nameLength, CanvasTextSize line, int textHeight,
                                         bool hasMesh);
