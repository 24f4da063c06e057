// Mesh rules that act on the device itself, before the simulator sizes its
// mesh from it (the rules of the simulator's own mesh are members of
// ekSimulator, in ekMesh.cpp with this one).
#pragma once

class ElecDevice;
class nuSigma;

// A per-layer mesh whose coarsest layer steps over more than a fifth of the
// thinnest layer gets more points in that layer, so the thin layer is not
// crossed by a handful of points; the growth is reported on the channel.
void ek_refineCoarsestLayer(ElecDevice* device, nuSigma* sigma);
