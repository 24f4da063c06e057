// The mesh file or the initial-guess file of a run as read (normalised):
// the positions, and from a guess file the potential and the quasi-Fermi
// potentials at each. The simulator owns it; the arrays come from the
// status channel and go back to it on release.
#pragma once

class nuSigma;

struct ekMeshFile {
    double* z = nullptr;
    int count = 0;
    double* V = nullptr;
    double* Fn = nullptr;
    double* Fp = nullptr;

    bool hasMesh() const { return z != nullptr && count > 0; }
    bool hasGuess() const { return V != nullptr && Fn != nullptr && Fp != nullptr; }
    // The positions (a guess file's potentials stay).
    void releaseMesh(nuSigma* sigma);
    void releaseGuess(nuSigma* sigma);
};
