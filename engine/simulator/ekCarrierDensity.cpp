// Carrier densities at one mesh point from the potential and the quasi-Fermi
// levels (normalised, Boltzmann statistics), with the point's band offsets.
#include <cmath>

#include "ekSimulator.h"

double ekSimulator::electronDensity(double V, double Fn, int i) const
{
    return mesh.mat.niRef[i] * std::exp(V - Fn + mesh.mat.offN[i]);
}

double ekSimulator::holeDensity(double V, double Fp, int i) const
{
    return mesh.mat.niRef[i] * std::exp(Fp - V + mesh.mat.offP[i]);
}
