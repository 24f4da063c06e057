// ekSimulator: one simulation. It binds the status channel, the numeric
// settings and the device, and owns the mesh with every field on it
// (ekMeshFields), the normalisation scales, the light and bias sweeps, the
// result file names and the run counters.
//
// The public interface comes first, grouped by concern, each group naming
// the files that implement it; the run state and the internal steps follow.
// The bias and quantum-efficiency sweep drivers (ekBiasSweep.h, ekQESweep.h),
// the structure builder (ekStructureBuilder.h) and the point physics
// (ekPointPhysics.h, ekNewtonEdges.h) live in headers of their own. The
// device-file reader includes this header too (for the normalisation and the
// mesh and guess file names, which are inline), so it must stay light:
// forward declarations and the small records the simulator holds.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "ekIterationRecord.h"
#include "ekLightState.h"
#include "ekLimits.h"
#include "ekMeshFields.h"
#include "ekMeshFile.h"
#include "ekOutputNames.h"
#include "ekPhysics.h"
#include "ekSolutionTotals.h"
#include "kovbase.h"

class nuSigma;
class nuParam;
class ElecDevice;
class ElecSweep;
class ekLayer;
class ekExcitation;
class ekBandMatrix;
struct ekSolutionWork;
struct ekEdgeFlux;
struct ekLayerValues;
struct ekLevelValues;
struct ekLayerGeometry;

class ekSimulator {
public:
    static constexpr size_t PATH_SIZE = ekOutputNames::PATH_SIZE;
    static constexpr int LAYERS_MAX = ekMeshFields::LAYERS_MAX;
    static constexpr int TRAPS = ekMeshFields::TRAPS;
    // Sizes the uniform mesh is rounded up to, and grows along.
    static constexpr int LADDER_SIZE = 25;
    static const int MESH_LADDER[LADDER_SIZE];

    ekSimulator(nuSigma* sigma, nuParam* param);
    // Virtual: a run may be handed a simulator of a derived kind, which it
    // deletes as an ekSimulator.
    virtual ~ekSimulator();
    ekSimulator(const ekSimulator&) = delete;
    ekSimulator& operator=(const ekSimulator&) = delete;

    // ---- normalisation -------------------------------------------------------
    // Scales for temperature T (K); a temperature outside 1..2000 K leaves
    // them as they are (the device refuses such a temperature anyway).
    void calcNorm(double T)
    {
        if (T >= 1.0 && T <= 2000.0) {
            norm = ek_normalisation(T);
        }
    }
    const ekNormalisation& getNorm() const { return norm; }

    // The one rule for a material value at a point shared by two layers:
    // a before, b after; flags 0x10 arithmetic, 0x20 harmonic mean; the mean
    // must lie between the two values, otherwise b.
    double interpolateParameter(double a, double b, int flags) const;

    // ---- mesh and guess file names (set by the device-file reader) -----------
    // Null or empty clears a name; a longer one keeps its first 1023 characters.
    void setMeshFilename(const wchar_t* name) { kov_copyW(MeshFilename, PATH_SIZE, name); }
    void setInitialGuessFilename(const wchar_t* name)
    {
        kov_copyW(InitialGuessFilename, PATH_SIZE, name);
    }
    const wchar_t* getMeshFilename() const { return MeshFilename; }
    const wchar_t* getInitialGuessFilename() const { return InitialGuessFilename; }

    // ---- object, arrays, counters ----------------------------------------------
    void setSigma(nuSigma* sigma);
    nuSigma* getSigma() const { return sigma; }
    nuParam* getParam() const { return param; }
    ElecDevice* getDevice() const { return device; }
    int getPoints() const { return Points; }
    // Device thickness in units of the length scale.
    double getDeviceLength() const { return deviceLength; }
    bool isCoarseMesh() const { return coarseMesh; }
    void resetPrev()
    {
        prevPoint = 0;
        convergedCount = 0;
        equilibriumSolved = 0;
    }
    bool isConvergenceAchieved() const { return convergedCount > 0; }
    int getConvergedCount() const { return convergedCount; }
    bool isStopped() const { return Stopped; }
    // True once the user asked to stop (remembered in Stopped from then on).
    bool stopRequested();
    // True once the user asked to stop or the engine reported an error:
    // every driver loop ends on it.
    bool interrupted();
    // A run tried again on another mesh when nothing converges holds the
    // first attempt's failure report back (ekFailureReport.cpp), so each
    // failure is said once: releaseFailures prints it (print) or forgets
    // it, and ends the holding.
    void holdFailures();
    void releaseFailures(bool print);
    ElecSweep* getSweepBias() const { return SweepBias; }
    ElecSweep* getSweepLight() const { return SweepLight; }
    void deleteSweepBias();
    void deleteSweepLight();
    int getFileIndex() const { return FileIndex; }
    int getFileIndexEN() const { return FileIndexEN; }
    void setFileIndexEN(int index) { FileIndexEN = index; }
    const wchar_t* getFilenameEE() const { return FilenameEE; }
    const wchar_t* getFilenameEN() const { return FilenameEN; }
    const wchar_t* getFilenameJV() const { return FilenameJV; }
    const wchar_t* getFilenameCV() const { return FilenameCV; }
    const wchar_t* getFilenameQW() const { return FilenameQW; }

    // The mesh, every per-point array and the structure set-up results.
    const ekMeshFields& getMesh() const { return mesh; }

    // (Re)allocates every per-point array for the current point count and
    // initialises the structure on them; on any failure no array is left.
    void assignResources();
    void releaseResources();
    // Point i of the solution, in physical units, passes the check below.
    bool isItemValid(int i) const;
    // 0 <= z <= device length (um); V, EC, EV, Fn, Fp in [-20, 20];
    // n and p in [0, 1e24] (1/cm3).
    bool isItemValid(double z, double V, double EC, double EV, double Fn, double Fp, double n,
                     double p) const;

    // ---- mesh ------------------------------------------------------------------
    // Attaches the device, decides the point count by the mesh mode and
    // allocates and initialises the structure.
    void setDevice(ElecDevice* device, int total);
    // Grows the mesh to the next size of the ladder (false at the top).
    bool increasePoints();
    // True when the mesh is fit for solving; grows a mesh whose steps are
    // too coarse for the thinnest layer.
    bool checkMeshStep();
    // Mesh file and initial-guess file: row count, 0 on failure.
    int meshInit(double thickness);
    int guessInit(double thickness);
    bool hasCustomMesh() const { return meshFile.hasMesh(); }
    bool hasInitialGuess() const { return meshFile.hasGuess(); }
    const double* getCustomMesh() const { return meshFile.z; }
    const double* getGuessV() const { return meshFile.V; }
    const double* getGuessFn() const { return meshFile.Fn; }
    const double* getGuessFp() const { return meshFile.Fp; }

    // ---- local physical models ---------------------------------------------------
    // The models themselves (densities, recombination, trapped charge) are
    // free functions over the mesh fields in ekPointPhysics.h; these are the
    // simulator's entries to them.
    // The occupation the levels take now: the equilibrium form while the
    // equilibrium is solved, or at 0 V in the dark; the SRH balance otherwise.
    ekOccupation occupation() const;
    // Charge of dopants, traps, band tails and polarisation at point i, in
    // the occupation of the moment or in the one given.
    void trappedCharge(double n, double p, int i, ekTrappedCharge* out) const;
    void trappedCharge(double n, double p, int i, ekOccupation mode, ekTrappedCharge* out) const;
    void trappedChargeEquilibrium(double n, double p, int i, ekTrappedCharge* out) const;
    ekPointValue recombinationSRH(double V, double Fn, double Fp, int i) const;
    ekPointValue recombinationAuger(double V, double Fn, double Fp, int i) const;
    ekPointValue recombinationRadiative(double V, double Fn, double Fp, int i) const;
    // Tunnelling term of a contact (side 0 anode, else cathode) on the excess
    // n - nEq of the contact node's electron density n: t and its
    // derivatives by the contact node's V, its neighbour's V and the contact
    // node's Fn (outputs may be null). Positive for an excess behind a
    // barrier (neighbour potential higher): both contacts add it to their
    // thermionic flux S (n - nEq).
    double tunnelCurrent(double Vcontact, double Vneighbour, double n, double me, double phi,
                         double h, double T, int side, double* dVcontact, double* dVneighbour,
                         double* dFn) const;
    static double bernoulli(double x, double* derivative);
    // True for an inner point that is either member of a stored
    // {interface point, previous interface point} pair.
    bool isPairedIndex(int i) const;

    // Optical generation at point i (layer index layer) for one wavelength:
    // the ray arrives from the previous point, is attenuated over the step
    // with the absorption of the segment, and the point's generation is
    // its absorption times the flux. The ray then carries this point's
    // absorption. wavelengthIndex (-1: none) selects cached tabulated data.
    double opticalGeneration(double wavelength, int wavelengthIndex, int i, int layer,
                             ekLightRay& ray, double* nOut, double* kOut);
    // Generation profile over the whole mesh for one wavelength and flux
    // (normalised, after the anode): fills Gop (what each control box
    // absorbs, per width) and the photon flux at each point; returns the
    // flux reaching the last point (ekLightGeneration.cpp).
    double generationProfile(double wavelength, int wavelengthIndex, double flux);
    // True when the installed light brings no photons (below 1000 1/cm2/s).
    bool isDark() const;

    // Charge-neutral potential of a layer (relative to the intrinsic level
    // of the ni given) with the ionisation terms and fractions.
    bool initVeq(ekLayer* layer, double N, double Nr, double E, uint8_t kind, double step,
                 double ni, double NC, double NV, double Fd, double Fa, double* ionA, double* ionD,
                 double* fracA, double* fracD, double* majority, double* potential);

    // ---- result files of the set-up -------------------------------------------------
    // "simulout_input.txt": the material parameters on the mesh.
    bool saveInput();
    // "simulout_mesh.txt" and "simulout_initialguess.txt" (normalised arrays).
    bool saveMesh(const double* positions);
    bool saveInitialGuess(const double* positions, const double* V, const double* Fn,
                          const double* Fp);
    // Output folder of the result files (ends with a separator); set by
    // setPath of the result writers, settable directly for the set-up files.
    void setOutputDir(const wchar_t* folder) { kov_copyW(output.folder, PATH_SIZE, folder); }
    const wchar_t* getOutputDir() const { return output.folder; }

    // ---- light set-up state (filled by the light sources) -------------------
    uint8_t getLightType() const { return lightState.type; }
    double getReferenceWavelength() const { return lightState.wavelength; }

    // ---- test and set-up hooks -------------------------------------------------------
    // Installs a light state without the light sources: kind, wavelength (um)
    // and normalised flux after the anode.
    void setLightState(uint8_t kind, double wavelength, double fluxAfterAnode, double fluxIncident);

    // ---- iteration driver and linear solvers (ekIteration*.cpp) ----------------
    // System kinds of solveSystem: the three Gummel equations (tridiagonal,
    // N unknowns) and the coupled Newton system (3N unknowns, band Jacobian).
    static constexpr int SYSTEM_POISSON = 1;
    static constexpr int SYSTEM_ELECTRON = 2;
    static constexpr int SYSTEM_HOLE = 3;
    static constexpr int SYSTEM_NEWTON = 5;
    // Newton iterations on one system until the largest update falls below
    // the relative tolerance, loosening the tolerance along nuParam::RELTOL
    // when a pass fails. Returns the iterations of the last pass (0 for a
    // refused call); the caller reads convergence from nuParam (lastError
    // below reltol). other1/other2 go to the assembler untouched: for the
    // Poisson kind Fn and Fp, for electrons V and Fp, for holes V and Fn.
    // n is the system length (N, or 3N for Newton). An update is applied
    // only when the linear solve succeeded and every new value is finite.
    int solveSystem(int kind, double* x, double* residual, double* other1, double* other2, int n,
                    int maxIter, double** previous, double** start, double** update, double** rhs,
                    ekBandMatrix** jacobian, double** lower, double** diag, double** upper);
    // One relaxation step between whole passes of a caller: walks the
    // tolerance ladder, then the damping ladder. Returns the next pass
    // number (2: nothing left to relax).
    int relaxSolver(int pass);
    // Linear-solver option text (at most 127 characters and the terminator)
    // from the nuParam solver code; an unknown code is rewritten to 0x21.
    void makeSolverOptions(char* text);
    // Work arrays of one nonlinear solve: L = N doubles each (3N for Newton,
    // which also gets the band Jacobian), and the error history.
    bool allocSystem(double** previous, double** start, double** update, double** rhs,
                     ekBandMatrix** jacobian, double** lower, double** diag, double** upper);
    void freeSystem(double** previous, double** start, double** update, double** rhs,
                    ekBandMatrix** jacobian, double** lower, double** diag, double** upper);
    // Signature of the assemblers solveSystem drives (the transport* methods).
    using SystemAssembler = void (ekSimulator::*)(double* x, double* residual, double* rhs,
                                                  double* lower, double* diag, double* upper,
                                                  ekBandMatrix* jacobian, double* other1,
                                                  double* other2, int n, double* residualNorm);
    // Assembler of the coupled system (kind 5): transportNewton unless
    // another is set (null restores it). solveSystem clears the band
    // Jacobian before each call of another assembler (transportNewton
    // writes every entry of the band itself).
    void setNewtonAssembler(SystemAssembler assembler) { newtonAssembler = assembler; }
    // Largest update of each iteration of the last pass (iteration limit
    // entries; null when the limit is 1).
    const double* getErrorHistory() const { return iteration.errorHistory; }
    // Largest tracked work memory (bytes: status-channel blocks and the band
    // Jacobian) seen by the last equilibrium solve.
    size_t getSolvePeakBytes() const { return solvePeakBytes; }

    // ---- Gummel iteration (ekGummel*.cpp, contacts in ekContactBoundary.cpp) ---
    // Assemblers of the three Gummel equations (solveSystem kinds 1, 2, 3):
    // each fills the residual F, rhs = -F and the tridiagonal Jacobian of F
    // by its own unknown (lower, diag, upper), and the sum of F^2 (never
    // exactly 0). The band Jacobian argument is not used.
    void transportPoisson(double* V, double* residual, double* rhs, double* lower, double* diag,
                          double* upper, ekBandMatrix* jacobian, double* Fn, double* Fp, int n,
                          double* residualNorm);
    void transportElectron(double* Fn, double* residual, double* rhs, double* lower, double* diag,
                           double* upper, ekBandMatrix* jacobian, double* V, double* Fp, int n,
                           double* residualNorm);
    void transportHole(double* Fp, double* residual, double* rhs, double* lower, double* diag,
                       double* upper, ekBandMatrix* jacobian, double* V, double* Fn, int n,
                       double* residualNorm);
    // Potential of a Schottky contact node (side 0 anode, else cathode): the
    // metal's Fermi level sits phi below the conduction band whatever the
    // doping, so V = Va - phi + ref at the anode and ref - phi at the cathode
    // (ref: potential at which the node's electron density equals NC). The
    // Gummel and Newton boundaries both use it.
    double schottkyBoundaryPotential(int side) const;
    // A Schottky contact whose barrier blocks nothing (below 0.0086 Vt for
    // the majority carriers of its node) becomes ohmic for the rest of the
    // run. Returns the contact's ohmic flag after the test.
    bool updateContactOhmic(int side);
    // Stores a converged Gummel point (only after a converged point): the
    // per-point quantities, mean current and space charges, and with full
    // saving its distribution file (sweepFlags: sweep-kind flags).
    void transportSaveGummel(double* V, double* Fn, double* Fp, int sweepFlags);

    // ---- equilibrium Poisson solution (ekEquilibrium*.cpp) ---------------------
    // The equilibrium solution, timed and reported: iterations of the last
    // Poisson pass, -1 when the mesh cannot be used.
    int setEquilibrium();
    // Allocates the work arrays, solves, saves and frees them.
    int solvePoisson();
    // Boundary types, mesh refinement, starting profile and the Poisson
    // passes with relaxation; V, Fn, Fp and their three copies are N long.
    int doSolvePoisson(double* V, double* Fn, double* Fp, double* V0, double* Fn0, double* Fp0,
                       double* residual, double** previous, double** start, double** update,
                       double** rhs, ekBandMatrix** jacobian, double** lower, double** diag,
                       double** upper);
    // Starting profile of a Poisson solve at bias Va (normalised).
    void poissonInit(double* V, double* Fn, double* Fp, double* V0, double* Fn0, double* Fp0,
                     double Va);
    // Stores a converged equilibrium potential and what follows from it,
    // and writes the equilibrium distribution.
    void poissonSave(double* V);

    // ---- Newton iteration (ekNewton*.cpp) --------------------------------------
    // Coupled Newton system (solveSystem kind 5): x holds 3N unknowns, V, Fn,
    // Fp interleaved per point. Fills the residual F, rhs = -F, the band
    // Jacobian of F (every entry of the band, zeros included, contact rows
    // too: it need not be cleared first) and the sum of F^2 (never exactly
    // 0). lower, diag, upper, other1 and other2 are not used.
    void transportNewton(double* x, double* residual, double* rhs, double* lower, double* diag,
                         double* upper, ekBandMatrix* jacobian, double* other1, double* other2,
                         int n, double* residualNorm);
    // Start of a transport run at the present Va: solves the equilibrium
    // when it is not known yet, then lays the starting profile into V, Fn,
    // Fp, their backups and (when given) the 3N vector x and its backup x0.
    // work is a 3N residual array; the eight arrays are those of solveSystem.
    bool transportInit(double* x, double* V, double* Fn, double* Fp, double* x0, double* V0,
                       double* Fn0, double* Fp0, double* work, double** previous, double** start,
                       double** update, double** rhs, ekBandMatrix** jacobian, double** lower,
                       double** diag, double** upper);
    // Stores a converged Newton point: unpacks x, derives every per-point
    // quantity, the mean current and the space charges, and with full
    // saving writes its distribution (fileFlag: sweep-kind flags).
    void transportSaveNewton(double* x, int fileFlag);
    // Derived quantities of point k from its own and its neighbours' V, Fn,
    // Fp (left values of point 0 and right values of point N-1 are not
    // read). state starts at -1 for point 0 and is carried from point to
    // point; the two scratch arrays may be null.
    void transportSavePoint(int k, int* state, double Vm, double V0, double Vp, double Fnm,
                            double Fn0, double Fnp, double Fpm, double Fp0, double Fpp,
                            double* scratch1, double* scratch2);

    // Precondition of the equilibrium solver (level-1 line when refused).
    bool doCheckPoisson();
    // Space charges, terminal current and depletion plane of the last
    // stored solution and of the equilibrium.
    const ekSolutionTotals& getTotals() const { return totals; }
    // Sets the applied bias (normalised); for tests and the run operations.
    void setAppliedVoltage(double v) { Va = v; }

    // ---- bias sweep (ekBias*.cpp, ekPhotovoltaic.cpp, ekSweepProgress.cpp) -----
    // Bias sweep record from a uniform sweep (mode 0x10), a custom bias file
    // (mode 0x20, one voltage per row, at least two rows, increasing) or no
    // bias (one point at 0 V). Volts and A/cm2 in; true on success.
    bool setBiasData(ElecDevice* device, double Vstart, double Vend, double Vstep, double Jinf,
                     double Jsup, unsigned char mode, const wchar_t* biasFile);
    // Runs the bias sweep; the limits are those of the sweep record (the two
    // doubles are not read). 0 when the mesh cannot be used, -1 without a
    // sweep or when no point was stored, else the largest iteration count.
    int sweepBias(double Jinf, double Jsup, bool* jinfReached, bool* jsupReached);
    // Zero-crossing positions of the bias sweep's voltages: last point below
    // 0 V, the point at 0 V, first point above 0 V (-1 when there is none).
    int getBiasPosL() const { return biasPosL; }
    int getBiasPosC() const { return biasPosC; }
    int getBiasPosR() const { return biasPosR; }
    uint8_t getBiasMode() const { return biasType; }
    // Parameter slots of the bias sweep that hold the photovoltaic figures
    // (normalised), each with the index of the sweep point it belongs to.
    enum PVSlot { PV_JSC = 0, PV_VOC = 1, PV_VMP = 2, PV_JMP = 3, PV_PMAX = 4 };
    // Photovoltaic tracking of one stored point (light on only): Jsc and
    // Voc by linear interpolation at the sign changes of V and J, the
    // maximum-power point where V J < 0; slots 0..4 of the bias sweep. The
    // sweep then replaces them by the figures of solves of their own
    // (ekPVRefine.cpp), which do not depend on the sweep's step.
    void trackPVPoint(bool lightOn, bool* started, double* prevJ, double* prevV, double* maxPower,
                      int index);
    // Figures of the sweep (efficiency, Jsc, Voc, FF, RS, RP): console line,
    // "simulout_photovoltaic.txt" and the summary file. message: caller's
    // buffer of 256 characters.
    void printPV(bool enabled, wchar_t* message);

    // ---- light sources (ekLight*.cpp) ------------------------------------------
    // Light through the anode. Each setter replaces the light of the run;
    // false (with a level-1 line, except for a null device) when refused.
    // Fluxes in 1/cm2/s, wavelengths in um.
    // count pairs {wavelength, photon flux of the bin}, 1..5000 of them.
    bool setLightData(ElecDevice* device, int count, const double* pairs, unsigned char kind);
    bool setLightAM15(ElecDevice* device);
    // Spectrum file: wavelength (um) and spectral photon flux (1/cm2/s/um)
    // per row; each row becomes the flux of its bin. A single row is taken
    // as one line whose flux is the value given.
    bool setLightCustom(ElecDevice* device, const wchar_t* file, unsigned char kind);
    // Wavelength grid of a quantum-efficiency sweep, the same flux at each.
    bool setLightEQE(ElecDevice* device, double start, double end, double step, double flux);
    // One line; a flux below 1000 switches the light off (no error).
    bool setLightMono(ElecDevice* device, double wavelength, double flux, unsigned char kind);
    // Generation profile of wavelength number index alone (monochromatic
    // and sweep kinds only), flux normalised and after the anode. absorbed
    // (may be null) receives the flux that does not leave through the
    // cathode.
    void updateGoptMono(int index, double wavelength, double flux, double* absorbed);
    // 0 and 1: photon flux after the anode, 2: incident photon flux (both
    // normalised), 3: incident power density (W/cm2); 0 for any other k.
    double getLightTotal(int k) const;

    // ---- quantum-efficiency sweep (ekQuantumEfficiency*.cpp, ekPhotocurrent.cpp) ---
    // Quantum efficiency at the applied voltage Va (V), wavelength by
    // wavelength over the installed grid: EQE and IQE in columns 4 and 5 of
    // the light spectrum, "simulout_qw.txt", the photocurrent summary and
    // the distribution of the last wavelength. -1 on failure, -7 when there
    // is no usable light (no message), else the largest iteration count of
    // a wavelength. A sweep that fails at a nonzero voltage is run once more
    // at 0 V, with a warning.
    int sweepQE(double Va);
    // EQEmax and its wavelength: console line, "simulout_photocurrent.txt"
    // and the run's summary file; message (256 characters) receives the
    // text. Nothing without a quantum-efficiency light or a maximum in
    // 1e-12..1.
    void printEQE(bool enabled, wchar_t* message);

    // ---- result files (ekResult*.cpp) ------------------------------------------
    // Common header of a result file for the tag flags (DG when none
    // matches); defined with the set-up writers in ekSaveInput.cpp.
    void printHeader(FILE* stream, int tagFlags) const;
    // Tag flags of the result files (the first bit found names the tag).
    static constexpr int TAG_DE = 0x10;
    static constexpr int TAG_EE = 0x100;
    static constexpr int TAG_EN = 0x200;
    static constexpr int TAG_JV = 0x1000;
    static constexpr int TAG_CV = 0x2000;
    static constexpr int TAG_QW = 0x4000;
    static constexpr int TAG_CF = 0x8000;
    static constexpr int TAG_PV = 0x10000;  // photovoltaic figures
    static constexpr int TAG_PC = 0x20000;  // photocurrent (highest EQE)
    // Kinds of saveSweep.
    static constexpr int SWEEP_JV = 1;
    static constexpr int SWEEP_CV = 2;
    static constexpr int SWEEP_QW = 3;

    // Records the device file, the output folder and the log file, deletes
    // the log and exchange files of an earlier run and hands both paths to
    // the status channel. A folder without a trailing separator gets one,
    // since result names are appended to it.
    void setPath(const wchar_t* input, const wchar_t* folder, const wchar_t* log);
    const wchar_t* getInputFile() const { return output.inputFile; }
    // Zero-padded number format of the distribution files of a run of
    // count points ("%04d" while an error is pending).
    void setDistFormat(int count);
    const wchar_t* getDistFormat() const { return output.distFormat; }
    // Deletes the sweep files and every distribution file of an earlier
    // run in the output folder, whatever its digit count; runs once per
    // simulator (every writer calls it first).
    bool clearOutput();
    bool isOutputCleared() const { return output.cleared; }
    // One distribution file "simulout_dist_<number>.txt"; a number below 1
    // takes the next automatic one. prefix (may be null) is the report line
    // that announces the file; sweepFlags 0x4000 marks a wavelength point.
    bool saveDist(const wchar_t* prefix, int tagFlags, int fileNumber, int sweepFlags);
    // J-V (1), C-V (2) or quantum-efficiency (3) file from the sweep records.
    bool saveSweep(int kind, const wchar_t* prefix);
    bool savePotential(int tagFlags);
    bool saveCharge();
    bool saveFlux();
    // Terminal current density of the present solution (normalised): set by
    // the transport saves (the edge of least cancellation) and the
    // equilibrium save, read by the result writers.
    double getMeanCurrent() const { return totals.meanCurrent; }
    void setMeanCurrent(double J) { totals.meanCurrent = J; }
    double getAppliedVoltage() const { return Va; }

    // ---- device summary and input copies (ekDeviceSummary.cpp, ekInputCopies.cpp) ---
    // "simuldevice.txt": one block per layer (dopant, thickness, gap,
    // affinity, mobilities).
    void saveDevice();
    // A copy of every input in the output folder: the device file as
    // "simulinput.kovra", its Lua scripts with the modules they require,
    // the bias, light, mesh and guess files; then "simulinput.kovra" is
    // rewritten to name the copies, so the run can be repeated from the
    // output folder alone. Nothing is reported: a file that cannot be
    // copied keeps its input name.
    void saveFiles(ekExcitation* excitation);

protected:
    // -- the object, its mesh and its run state --
    nuSigma* sigma;
    nuParam* param;
    ElecDevice* device = nullptr;
    uint8_t prevPoint = 0;      // a point converged: its solution may be saved
    bool failuresHeld = false;  // failure lines kept, not printed (holdFailures)
    std::wstring heldFailure;
    int heldFailureLevel = 0;
    // The equilibrium of this attempt failed and said so: the sweep that
    // needed it adds nothing.
    bool equilibriumFailed = false;
    int convergedCount = 0;
    uint8_t equilibriumSolved = 0;
    int Points = 0;
    double deviceLength = 0.0;
    bool coarseMesh = false;
    ekNormalisation norm;

    ekMeshFields mesh;
    // Per layer and level (its traps, then its dopant): the run has warned
    // that it caps the level's energy, so a later set-up (a finer mesh) does
    // not say it again.
    bool levelCapsSaid[LAYERS_MAX * (TRAPS + 1)] = {};

    // Mesh and initial-guess files: the guess file's positions are the mesh.
    ekMeshFile meshFile;

    // Bias and light.
    uint8_t biasType = 0;
    double Va = 0.0;
    // The bias of the state storeSolution last laid into mesh.sol: a sweep
    // heads its last distribution file with it, not with the bias of a
    // later solve that failed and stored nothing.
    double solutionBias = 0.0;
    ekLightState lightState;
    // Photovoltaic tracking values.
    double pvValues[8] = {};
    ElecSweep* SweepBias = nullptr;
    ElecSweep* SweepLight = nullptr;

    wchar_t InitialGuessFilename[PATH_SIZE] = {};
    wchar_t MeshFilename[PATH_SIZE] = {};
    ekOutputNames output;
    wchar_t FilenameEE[PATH_SIZE] = {};
    wchar_t FilenameEN[PATH_SIZE] = {};
    wchar_t FilenameJV[PATH_SIZE] = {};
    wchar_t FilenameCV[PATH_SIZE] = {};
    wchar_t FilenameQW[PATH_SIZE] = {};
    int FileIndex = 0;
    int FileIndexEN = 0;
    bool Stopped = false;
    // The equilibrium is being solved: the levels take the equilibrium
    // occupation whatever light is installed (EquilibriumScope sets it).
    bool solvingEquilibrium = false;
    struct EquilibriumScope {
        explicit EquilibriumScope(bool& flag) : flag(flag), was(flag) { flag = true; }
        ~EquilibriumScope() { flag = was; }
        EquilibriumScope(const EquilibriumScope&) = delete;
        EquilibriumScope& operator=(const EquilibriumScope&) = delete;
        bool& flag;
        bool was;
    };
    // -- iteration driver and linear solvers (ekIteration*.cpp) --
    SystemAssembler newtonAssembler = nullptr;
    // The iteration driver keeps its tolerance: no looser pass after the
    // iteration limit (a whole-step trial has a fallback instead).
    bool strictTolerance = false;
    ekIterationRecord iteration;
    size_t solvePeakBytes = 0;

    // -- Newton iteration (ekNewton*.cpp) --
    ekSolutionTotals totals;

    // -- bias sweep (ekBias*.cpp, ekPhotovoltaic.cpp, ekSweepProgress.cpp) --
    int biasPosL = -1;
    int biasPosC = -1;
    int biasPosR = -1;
    int itersMin = 0;
    int itersMax = 0;

private:
    // -- steps the operations above share (ekMesh.cpp, ekLightGeneration.cpp,
    // ekContactBoundary.cpp, ekNewtonSave.cpp, ekPhotovoltaic.cpp) --
    // What growing a mesh flagged too coarse for the thinnest layer gave.
    enum class MeshGrowth { Fine, LadderEnds, StillCoarse };
    // Grows a coarse mesh along the ladder until the flag clears, at most
    // MESH_REFINEMENTS times; each caller reports the outcome in its own words.
    MeshGrowth growCoarseMesh();
    // Generation profile of the installed light (spectrum or one line).
    void generationProfileLight();
    // Both contacts through updateContactOhmic, once before an iteration:
    // the assemblers read the flags and never change them.
    void decideContactsOhmic();
    // Stores a whole solution through transportSavePoint: per-point
    // quantities, mean current and space charges. Point k's V, Fn and Fp
    // stand at index k * stride of their arrays (stride 3 with the arrays
    // at x, x + 1 and x + 2 reads the interleaved Newton vector).
    void storeSolution(const double* V, const double* Fn, const double* Fp, int stride = 1);
    // A solve that did not converge, said in one line: where (the
    // equilibrium, or the bias in volts), the relative error it stopped at
    // against the tolerance (or the linear system it could not solve), and
    // what usually helps.
    std::wstring reachedText() const;
    // The error a failed solve reached: the smallest of its iterations
    // (the last one's when none finished).
    double reachedError() const;
    std::wstring equilibriumFailure() const;
    std::wstring biasFailure(double bias, const wchar_t* prefix) const;
    // Prints a failure line at its level, or keeps it while failures are
    // held (raising the error flag for level 1 as printing would).
    void reportFailure(const std::wstring& text, int level);
    // Warns when an illuminated sweep never reaches 0 V (no Jsc) or never
    // changes the sign of its current (no Voc): its figures are then not
    // those of the cell, usually because it was swept in reverse.
    void warnPVReach();

    // -- the object, its mesh and its run state --
    // Structure initialisation on the mesh: the structure builder
    // (ekStructure*.cpp) fills the mesh fields, then the light's generation.
    bool init();
    bool isBlocked() const;

    // -- equilibrium Poisson solution (ekEquilibrium*.cpp) --
    // Who asks for the equilibrium, and so how it is reached and reported.
    enum class EquilibriumRoad {
        Fresh,      // solved anew even when one is stored (setEquilibrium)
        Sweep,      // the stored one when known (the bias and QE sweeps)
        Transport,  // the stored one when known; a failed solve is tried once
                    // more with the contacts' other boundary type (transportInit)
    };
    // The one way to the equilibrium: the stored one copied into w.V, or
    // solved at 0 V in the dark on w (Va is then 0, the residual N long) and
    // stored with its distribution, in the equilibrium occupation whatever
    // light is installed. True when w.V holds it (on the Sweep road also
    // not stopped since); iters (may be null) receives the solve's result.
    bool ensureEquilibrium(ekSolutionWork& w, double* residual, EquilibriumRoad road,
                           int* iters = nullptr);
    // Its Poisson passes (ekEquilibrium.cpp).
    friend class ekEquilibriumPasses;
    // Grows a mesh too coarse for the thinnest layer: 1 done, 0 the ladder
    // ends, -1 still coarse after ten growths (each reported); with the
    // other mesh rules in ekMesh.cpp.
    int refineCoarseMesh();
    double initialPotential(int i, double Va) const;
    // Densities, band edges, fields, charges and rates of the stored
    // equilibrium solution.
    void fillEquilibriumPoints();
    // What the equilibrium and the transport saves both derive at point k
    // from its V, Fn, Fp: densities, band potentials and edges, dopant, trap
    // and polarisation charges. Returns the volume charge density there.
    // The point's own recombination rates are stored with it.
    double storePointState(int k, double V, double Fn, double Fp);
    // A point's V, Fn, Fp (0) with those of the point before (m) and after
    // (p); the neighbours' values are not read at the ends of the mesh.
    struct PointStencil {
        double Vm, V0, Vp;
        double Fnm, Fn0, Fnp;
        double Fpm, Fp0, Fpp;
    };
    // transportSavePoint with both edges' fluxes at hand (null at the ends
    // of the mesh): what storeSolution, which takes each edge once, and
    // transportSavePoint share.
    void savePoint(int k, const PointStencil& at, const ekEdgeFlux* left, const ekEdgeFlux* right);

    // -- bias sweep (ekBias*.cpp, ekPhotovoltaic.cpp, ekSweepProgress.cpp) --
    // The bias sweep's own workings (ekBiasSweep.h).
    friend class ekBiasDriver;
    struct BiasWork;
    // Work arrays of a sweep; the quantum-efficiency sweep works on them too.
    bool allocBiasWork(BiasWork& w);
    void freeBiasWork(BiasWork& w);
    // Switches Newton <-> Gummel for a failed point and restores its start;
    // the solver arrays are made anew whatever reallocate says.
    bool switchMethod(BiasWork& w, bool reallocate);
    void restoreStart(BiasWork& w);
    // The point at Va solved again after switchMethod; the smallest error
    // reached stays that of both methods' tries.
    int retryPoint(BiasWork& w);
    // A ramp from one bias to another that stores nothing; the sweep points
    // from index from to index to (either direction), *stored of them
    // stored; one bias point. Each returns its iteration count.
    int gotoBias(double from, double to, double step, BiasWork& w);
    int doSweepBias(int from, int to, BiasWork& w, int* stored, bool keepMask);
    int doBias(double bias, BiasWork& w);
    // At most once a second of a sweep: "points done of total" and the value
    // just solved, so a long sweep is seen moving (ekSweepProgress.cpp).
    void reportProgress(const ElecSweep* sweep, const wchar_t* quantity, double value,
                        const wchar_t* unit);
    double progressReportedAt = 0.0;  // ms since the sweep's Tic

    // -- quantum-efficiency sweep (ekQuantumEfficiency*.cpp, ekPhotocurrent.cpp) --
    // The sweep's steps (ekQESweep.h).
    friend class ekQESweep;
    // Solves one wavelength: its generation, then the transport at Va.
    int doQE(int index, double wavelength, double flux, double* absorbed, BiasWork& w);
};

// Newton steps (assemblies and solves of the coupled system) made so far by
// this process: what a bias point costs, as the benchmarks count it.
long ek_newtonSteps();
