// Mesh rules that work on the device before a simulator meshes it.
#pragma once

class ElecDevice;

// A per-layer mesh whose coarsest layer steps over more than a fifth of the
// thinnest layer gets more points in that layer (at least five times as
// many, at most 5000), so the thin layer is not crossed by a handful of
// points. Returns the layer refined, -1 when none needed it.
int ek_refineCoarsestLayer(ElecDevice* device);
