#include "CanvasGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr int MIN_BAND = 6;
constexpr int MAX_BAND = 20;
constexpr int MIN_LAYER = 6;
constexpr int MIN_MARKER = 6;
}  // namespace

int CanvasGeometry_bandHeight(int canvasHeight, double contactThickness, double totalThickness)
{
    int band = 0;
    if (totalThickness > 0.0 && contactThickness > 0.0) {
        double share = canvasHeight * contactThickness / totalThickness;
        band = share < 1e6 ? static_cast<int>(share) : MAX_BAND;
    }
    return std::clamp(band, MIN_BAND, MAX_BAND);
}

CanvasLayout CanvasGeometry_layout(int width, int height, double anodeThickness,
                                   double cathodeThickness,
                                   const std::vector<double>& layerThicknesses)
{
    CanvasLayout layout;
    double sum = 0.0;
    for (double t : layerThicknesses) {
        sum += t > 0.0 ? t : 0.0;
    }
    double total = sum + std::max(anodeThickness, 0.0) + std::max(cathodeThickness, 0.0);
    int anodeBand = CanvasGeometry_bandHeight(height, anodeThickness, total);
    int cathodeBand = CanvasGeometry_bandHeight(height, cathodeThickness, total);
    int cathodeTop = height - cathodeBand;
    int room = cathodeTop - anodeBand;
    layout.anode = {0, 0, width, anodeBand};

    int top = anodeBand;
    int shortenNext = 0;
    const size_t n = layerThicknesses.size();
    for (size_t i = 0; i < n; ++i) {
        double t = std::max(layerThicknesses[i], 0.0);
        int h =
            sum > 0.0 ? static_cast<int>(std::lround(room * t / sum)) : room / static_cast<int>(n);
        h -= shortenNext;
        shortenNext = 0;
        if (h < MIN_LAYER) {
            // The next layer pays for the extra room of a thin one.
            shortenNext = 8 - h;
            h = MIN_LAYER;
        }
        if (i + 1 == n) {
            h = std::max(cathodeTop - top, 0);
        }
        layout.layers.push_back({0, top, width, top + h});
        top += h;
    }
    layout.cathode = {0, n ? top : cathodeTop, width, height};
    return layout;
}

int CanvasGeometry_hitMargin(const CanvasRect& layer)
{
    return std::clamp(layer.height() / 10, 2, 8);
}

CanvasHit CanvasGeometry_hitTest(const CanvasLayout& layout, int x, int y)
{
    if (layout.anode.contains(x, y)) {
        return {CanvasHitKind::ANODE, -1};
    }
    if (layout.cathode.contains(x, y)) {
        return {CanvasHitKind::CATHODE, -1};
    }
    for (size_t i = 0; i < layout.layers.size(); ++i) {
        CanvasRect r = layout.layers[i];
        int m = CanvasGeometry_hitMargin(r);
        CanvasRect inner{r.x0, r.y0 + m, r.x1, r.y1 - m};
        if (inner.contains(x, y)) {
            return {CanvasHitKind::LAYER, static_cast<int>(i) + 1};
        }
    }
    return {};
}

int CanvasGeometry_borderY(const CanvasLayout& layout, int selectedLayer)
{
    const int n = static_cast<int>(layout.layers.size());
    if (n < 2 || selectedLayer < 1 || selectedLayer > n) {
        return -1;
    }
    const CanvasRect& r = layout.layers[selectedLayer - 1];
    return selectedLayer == n ? r.y0 : r.y1;
}

bool CanvasGeometry_isOnBorder(const CanvasLayout& layout, int selectedLayer, int x, int y)
{
    int border = CanvasGeometry_borderY(layout, selectedLayer);
    if (border < 0) {
        return false;
    }
    const CanvasRect& r = layout.layers[selectedLayer - 1];
    return x >= r.x0 && x < r.x1 && std::abs(y - border) <= CanvasGeometry_hitMargin(r);
}

double CanvasGeometry_roundThickness(double t)
{
    if (!(t > 0.0) || !std::isfinite(t)) {
        return t;
    }
    int decade = static_cast<int>(std::floor(std::log10(t)));
    double divisor = t >= 10.0 ? 2.0 : t >= 1.0 ? 20.0 : 200.0;
    // Count steps with exact integers (10^|decade| and the divisor) so that
    // the result is the double nearest to the decimal value, 2.35 not
    // 2.3500000000000001.
    double scale = std::pow(10.0, std::abs(decade));
    if (decade >= 0) {
        double steps = std::round(t * divisor / scale);
        return steps * scale / divisor;
    }
    double steps = std::round(t * divisor * scale);
    return steps / (divisor * scale);
}

double CanvasGeometry_draggedThickness(int markerHeight, int layerHeight, double oldThickness,
                                       int movedPixels)
{
    if (layerHeight <= 0 || !(oldThickness > 0.0)) {
        return 0.0;
    }
    if (std::abs(movedPixels) <= layerHeight / 100) {
        return 0.0;
    }
    double t = static_cast<double>(markerHeight) / layerHeight * oldThickness;
    if (!(t >= 0.01)) {
        return 0.0;
    }
    return CanvasGeometry_roundThickness(t);
}

CanvasRect CanvasGeometry_dragMarker(CanvasRect marker, CanvasDrag drag, int dy)
{
    switch (drag) {
    case CanvasDrag::MOVE:
        marker.y0 += dy;
        marker.y1 += dy;
        break;
    case CanvasDrag::BORDER: marker.y1 = std::max(marker.y1 + dy, marker.y0 + MIN_MARKER); break;
    case CanvasDrag::LAST_BORDER:
        marker.y0 = std::min(marker.y0 + dy, marker.y1 - MIN_MARKER);
        break;
    case CanvasDrag::NONE: break;
    }
    return marker;
}

CanvasLabelPlan CanvasGeometry_labelPlan(const CanvasRect& layer, CanvasTextSize name,
                                         int nameLength, CanvasTextSize line, int textHeight,
                                         bool hasMesh)
{
    CanvasLabelPlan plan;
    const int width = layer.x1 - layer.x0;
    const int height = layer.height();
    // A text narrower than 12 or lower than 6 pixels is no text the reader
    // could use (a font that did not load, a canvas not yet laid out).
    auto readable = [width](CanvasTextSize t) {
        return t.width > 12 && t.height > 6 && t.width < width;
    };
    if (nameLength > 4 && readable(name) && name.height < textHeight &&
        name.height + 8 < height - 1) {
        plan.name = true;
        plan.nameY = layer.y0 + 4;
    }
    if (!readable(line)) {
        return plan;
    }
    const int middle = layer.y0 + height / 2;
    const int dh = line.height;
    if (hasMesh && 3 * textHeight + 3 * dh < height - 1) {
        plan.lines = 3;
        plan.lineY[0] = middle - dh / 2 - dh - 2;
        plan.lineY[1] = middle - dh / 2;
        plan.lineY[2] = middle + dh / 2 + 2;
    } else if (3 * textHeight + 2 * dh < height - 1) {
        plan.lines = 2;
        plan.lineY[0] = middle - dh - 1;
        plan.lineY[1] = middle + 1;
    } else if (dh + 3 * textHeight < height - 2) {
        plan.lines = 1;
        plan.lineY[0] = middle - dh / 2;
    }
    return plan;
}
