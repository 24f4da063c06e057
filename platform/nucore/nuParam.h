// nuParam: the numeric settings of one run (method, linear solver,
// tolerance and damping ladders, mesh mode, output folder).
#pragma once

#include <cstdint>

class nuParam {
public:
    // Relaxation ladders walked by the iteration driver: RELTOL (loosest
    // first: 1e-2 down to 1e-7; RELTOL[4] is the default 1e-6) and DAMP
    // (weakest first: 1 up to 50). The increase functions move the current
    // value to the nearest larger entry (see README of platform/nucore).
    static const int ARRLEN = 6;
    static const double RELTOL[ARRLEN];
    static const double DAMP[ARRLEN];

    static constexpr uint8_t METHOD_GUMMEL = 1;
    static constexpr uint8_t METHOD_NEWTON = 2;
    static constexpr uint8_t MESH_UNIFORM = 0x10;
    static constexpr uint8_t MESH_LAYER = 0x20;
    static constexpr uint8_t MESH_EXACT = 0x80;
    // Linear-solver code: the high nibble names the solver, the low nibble
    // the preconditioner of an iterative one.
    static constexpr uint8_t SOLVER_MASK = 0xF0;
    static constexpr uint8_t PRECONDITIONER_MASK = 0x0F;
    static constexpr uint8_t SOLVER_TRIDIAG = 0x10;  // direct, for tridiagonal systems
    static constexpr uint8_t SOLVER_BICGSTAB = 0x20;
    static constexpr uint8_t SOLVER_BICGSTABL = 0x30;
    static constexpr uint8_t SOLVER_BICGSAFE = 0x40;
    static constexpr uint8_t SOLVER_GMRES = 0x50;
    static constexpr uint8_t SOLVER_FGMRES = 0x60;
    static constexpr uint8_t SOLVER_MINRES = 0x70;
    static constexpr uint8_t SOLVER_TFQMR = 0x80;
    static constexpr uint8_t SOLVER_BICRSTAB = 0x90;
    static constexpr uint8_t PRECONDITIONER_NONE = 0x0;
    static constexpr uint8_t PRECONDITIONER_ILU = 0x1;
    static constexpr uint8_t PRECONDITIONER_JACOBI = 0x2;
    static constexpr uint8_t PRECONDITIONER_SSOR = 0x3;
    // The device file's default: tfqmr with ILU.
    static constexpr uint8_t SOLVER_DEFAULT = SOLVER_TFQMR | PRECONDITIONER_ILU;
    // Mesh points of a whole device, whoever sets the count.
    static constexpr int POINTS_MIN = 50;
    static constexpr int POINTS_MAX = 20000;

    // Fields the engine reads and writes directly.
    uint8_t method = METHOD_NEWTON;
    uint8_t solver = SOLVER_DEFAULT;  // high nibble linear solver, low nibble preconditioner
    double damp = 1.0;                // damping factor
    int dampMode = 0;                 // flags 0x10, 0x20, 0x40: EK_DAMP_* of the engine
    double lastError = 1.0;           // last relative error of the iteration driver
    uint8_t mesh = MESH_LAYER;        // mesh mode
    int points = 0;                   // total point count
    int maxiter = 100;                // iteration limit
    double reltol = 1e-6;             // relative tolerance
    wchar_t outDir[1024] = {};        // output folder, "." the device file's folder
    bool outDirDate = false;          // dated output folder
    bool plot = false;                // driver asked to plot

    nuParam() { reset(); }

    void reset();

    // Timer in milliseconds.
    void Tic();
    double Toc() const;

    // Setters: false (and nothing changed) outside the range.
    bool setMaxiter(int n);      // 1..1000
    bool setReltol(double tol);  // 1e-12..0.1
    bool setDamp(double damp);   // 0..1000; below 1e-6 damping is off
    // Move to the nearest larger entry of the ladder (a looser tolerance, a
    // stronger damping); unchanged at the end of a ladder.
    void increaseReltol();
    void increaseDamp();
    // mode: a combination of the MESH_ bits; points 0 keeps the count,
    // else 50..20000.
    bool setMesh(uint8_t mode, int points = 0);
    // Up to 1023 characters; "" (the default) lets the run create its own
    // output folder beside the device file.
    bool setOutDir(const wchar_t* dir);
    void setOutDirDate(bool on) { outDirDate = on; }
    void setPlot(bool on) { plot = on; }
    // Transport method: 1 Gummel, 2 Newton (other values refused).
    bool setSolverTransport(uint8_t m);
    // Name of the linear solver the high nibble of the solver code selects:
    // 0x10 "tridiag", 0x20 "bicgstab", 0x30 "bicgstabl", 0x40 "bicgsafe",
    // 0x50 "gmres", 0x60 "fgmres", 0x70 "minres", 0x80 "tfqmr",
    // 0x90 "bicrstab", anything else "bicgstab".
    const wchar_t* getSolverLinsysName() const;
    // Name of an iterative solver's nibble, SOLVER_BICGSTAB to
    // SOLVER_BICRSTAB, as device files write it; null for any other nibble.
    static const wchar_t* iterativeSolverName(uint8_t nibble);
    // The nibble of an iterative solver's name (any case); 0 for any other
    // name.
    static uint8_t iterativeSolverNibble(const wchar_t* name);

private:
    double ticMs = 0.0;
};
