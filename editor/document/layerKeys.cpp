// The key table of a layer section.
#include "layer.h"

const KeyEntry LayerKeys[] = {
    {"Name", 0}, {"Material", 2}, {"Thickness", 5}, {"Bandgap", 6}, {"BandgapType", 8},
    {"Affinity", 9}, {"Permittivity", 11}, {"NC", 12}, {"NV", 13}, {"Eso", 14}, {"Me", 15},
    {"Mhh", 16}, {"Mlh", 17}, {"Msh", 18}, {"Beta", 19}, {"Cn", 20}, {"Cp", 21}, {"Taun", 22},
    {"Taup", 23}, {"Bandgap.Bowing", 7}, {"Affinity.Bowing", 10}, {"Composition.x", 3},
    {"Lattice.a", 24}, {"Lattice.e31", 25}, {"Lattice.e33", 26}, {"Lattice.c13", 27},
    {"Lattice.c33", 28}, {"Lattice.Psp", 29}, {"Tunnel.Model", 106}, {"Urbach.Enable", 33},
    {"Urbach.EA", 34}, {"Urbach.ED", 35}, {"Urbach.GA", 36}, {"Urbach.GD", 37},
    {"Urbach.TaunA", 38}, {"Urbach.TaupA", 39}, {"Urbach.TaunD", 40}, {"Urbach.TaupD", 41},
    {"Index.n", 42}, {"Index.k", 43}, {"Therm.C", 31}, {"Therm.Heat", 32}, {"Mobility.N", 44},
    {"Mobility.P", 45}, {"Dopant.N", 46}, {"Dopant.Nr", 47}, {"Dopant.E", 48}, {"Dopant.F", 49},
    {"Dopant.W", 50}, {"Dopant.Taun", 51}, {"Dopant.Taup", 52}, {"Dopant.Type", 53},
    {"Trap1.N", 54}, {"Trap1.Nr", 55}, {"Trap1.E", 56}, {"Trap1.F", 57}, {"Trap1.W", 58},
    {"Trap1.Taun", 59}, {"Trap1.Taup", 60}, {"Trap1.Type", 61},
    {"Trap2.N", 62}, {"Trap2.Nr", 63}, {"Trap2.E", 64}, {"Trap2.F", 65}, {"Trap2.W", 66},
    {"Trap2.Taun", 67}, {"Trap2.Taup", 68}, {"Trap2.Type", 69},
    {"Trap3.N", 70}, {"Trap3.Nr", 71}, {"Trap3.E", 72}, {"Trap3.F", 73}, {"Trap3.W", 74},
    {"Trap3.Taun", 75}, {"Trap3.Taup", 76}, {"Trap3.Type", 77},
    {"Trap4.N", 78}, {"Trap4.Nr", 79}, {"Trap4.E", 80}, {"Trap4.F", 81}, {"Trap4.W", 82},
    {"Trap4.Taun", 83}, {"Trap4.Taup", 84}, {"Trap4.Type", 85},
    {"Trap5.N", 86}, {"Trap5.Nr", 87}, {"Trap5.E", 88}, {"Trap5.F", 89}, {"Trap5.W", 90},
    {"Trap5.Taun", 91}, {"Trap5.Taup", 92}, {"Trap5.Type", 93},
    {"Trap.Count", 99}, {"Mesh.Points", 107}, {"Index.Model", 103}, {"Mobility.Model", 100},
    {"Bandgap.Model", 94}, {"Permittivity.Model", 95}, {"Dopant.Model", 96},
    {"Doping.Model", 97}, {"Trap.Model", 98}, {"Recombination.Model", 101},
    {"Lattice.Model", 102}, {"Index.File", 104}, {"Index.Database", 105}, {nullptr, 0}};

// Therm.C and Therm.Heat stand in the key table but point at slots the
// layer never fills; their lines are kept as written instead. "Label" is
// read into the layer's label record before this table is asked.
const char* const LayerKeptKeys[] = {"Label",     "Composition.y", "Lattice.Type",
                                     "Lattice.b", "Lattice.c",     "Lattice.c11",
                                     "Lattice.c12", "Therm.C",     "Therm.Heat", nullptr};
