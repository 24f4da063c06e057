// ekLayer: one semiconductor layer of a device. Its material with every
// physical parameter the simulator reads, its dopant level, up to five trap
// levels, its mesh-point count and the names of its per-layer Lua model
// scripts. The region part carries name, material, thickness and optical
// index.
//
// Every setter validates the whole group of values it is given and stores
// all of them or none; a refused group is one error line on the status
// channel. While the channel's error flag is set every operation does
// nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ekRegion.h"

class ekLevel;

class ekLayer : public ekRegion {
public:
    static constexpr int TRAPS_MAX = 5;
    static constexpr size_t DATAREF_SIZE = 128;
    static constexpr int MESH_POINTS_MIN = 5;
    static constexpr int MESH_POINTS_MAX = 5000;
    // Crystal structure (latticeType): only a wurtzite crystal carries
    // polarisation charges.
    static constexpr uint8_t LATTICE_NONPOLAR = 0x00;
    static constexpr uint8_t LATTICE_WURTZITE = 0x20;

    // Name given to a new layer; never overwrites a name in an update.
    static constexpr const wchar_t* DEFAULT_NAME = L"LayerX";
    // Name the dopant level takes whenever its type is set through the layer.
    static constexpr const wchar_t* DOPANT_UPDATE_NAME = L"Lx";

    // The per-layer model scripts, in the order of their fields.
    enum ModelKind {
        MODEL_MOBILITY = 0,
        MODEL_BANDGAP,
        MODEL_PERMITTIVITY,
        MODEL_DOPING,
        MODEL_TRAP,
        MODEL_RECOMBINATION,
        MODEL_LATTICE,
        MODEL_COUNT
    };

    // ---- materials ----
    // The 30 built-in material names followed by a null entry.
    static constexpr int MATERIAL_COUNT = 30;
    static const wchar_t* const MATERIAL[MATERIAL_COUNT + 1];
    // True when name is one of the built-in materials (any letter case).
    static bool isStandardMaterial(const wchar_t* name);
    // Gives the layer the complete parameter set of a material (database row
    // or built-in table), its name and the dopant type.
    bool init(const wchar_t* material, const wchar_t* name, uint8_t type);
    // ---- end of materials ----

    explicit ekLayer(nuSigma* sigma);
    ekLayer(nuSigma* sigma, const wchar_t* material, const wchar_t* name);
    ~ekLayer();
    ekLayer(const ekLayer&) = delete;
    ekLayer& operator=(const ekLayer&) = delete;

    // Layer defaults, a fresh dopant, then init(material, name, type).
    bool create(nuSigma* sigma, const wchar_t* material, const wchar_t* name, uint8_t type);
    bool assignResources() { return true; }
    void releaseResources();
    // Shared by the layer, its dopant and every trap slot.
    void setSigma(nuSigma* s);

    // ---- validated parameter groups (all or nothing) -------------------------
    bool updateMain(const wchar_t* newName, uint8_t dopantType, double t, double x, double y);
    bool updateMain(double t, double x, double y, double bandgapBow, double affinityBow);
    bool updateTemperature(double temperature);
    bool updateEnergy(double eg, double chi, double nc, double nv);
    bool updatePermittivity(double eps);
    bool updateBandgap(double eg);
    bool updateMass(double me, double mhh, double mlh, double msh, double eso);
    // Too low tail energies or densities switch the tail model off (an info
    // line, not an error) and store nothing else; false only on an error.
    bool updateUrbach(double ea, double ed, double ga, double gd, double taunA, double taupA,
                      double taunD, double taupD, bool enable);
    bool updateTherm(double thermc, double heat);
    bool updateMobility(double ebr, double mobn, double mobp);
    bool updateRecomb(double beta, double cn, double cp, double taun, double taup);
    bool updateLattice(uint8_t type, double a, double b, double c, double e31, double e33,
                       double c11, double c12, double c13, double c33, double psp);

    // ---- plain stores ----------------------------------------------------------
    // Only a material outside the built-in table may change its gap kind.
    void setDirect(bool on);
    void setTunnel(bool on) { tunnel = on; }
    void updateMesh(int n);
    void resetMobility(double mobn, double mobp);

    // ---- dopant ----------------------------------------------------------------
    void resetType(uint8_t type, double taun, double taup);
    bool updateDopant(uint8_t type, double N, double Nr);
    bool updateDopant(uint8_t type, double N, double Nr, double E);
    bool updateDopant(uint8_t type, double N, double Nr, double E, double W);
    // The two long forms cap the energy at half the bandgap.
    bool updateDopant(uint8_t type, double N, double Nr, double E, double W, double taun,
                      double taup);
    bool updateDopant(uint8_t type, double N, double Nr, double E, double W, double taun,
                      double taup, double F);
    bool updateDopant(const ekLevel* level);
    ekLevel* getDopant() const { return dopant; }
    uint8_t getType() const;

    // ---- traps -----------------------------------------------------------------
    // With dedup, a trap holding the same values is returned instead of a
    // new one. Null on refusal.
    ekLevel* addTrap(const wchar_t* trapName, uint8_t type, double N, double Nr, double E, double W,
                     double taun, double taup, double F, bool dedup);
    ekLevel* addTrap(const ekLevel* level);
    void removeTrap(int index, uint8_t type);
    void removeTrap(const wchar_t* trapName, uint8_t type);
    void removeAllTraps();
    // Values only (energy capped at half the bandgap); name and type stay.
    bool updateTrap(int index, uint8_t type, double N, double Nr, double E, double W, double taun,
                    double taup, double F);
    bool updateTrap(const wchar_t* trapName, uint8_t type, double N, double Nr, double E, double W,
                    double taun, double taup, double F);
    bool updateTrap(const wchar_t* trapName, uint8_t type, const ekLevel* level);
    ekLevel* getTrap(const wchar_t* trapName) const;
    ekLevel* getTrap(const wchar_t* trapName, uint8_t type) const { return getTrap(trapName); }
    ekLevel* getTrap(int index) const;
    ekLevel* getTrap(int index, uint8_t type) const { return getTrap(index); }
    int getTrapCount() const { return trapCount; }

    // ---- material and names ---------------------------------------------------
    // With reinit, the layer first takes the values of the material (or of
    // "Si" for a material outside the table) and keeps name and dopant type.
    void setMaterial(const wchar_t* materialName, bool reinit);
    bool isAlloy() const { return (group & GROUP_KIND_MASK) == GROUP_ALLOY; }
    bool isStandardMaterial() const { return isStandardMaterial(material); }
    const wchar_t* getDataRef() const { return dataRef; }
    // Copies at most 127 characters and terminates; buffer must hold 128.
    void getDataRef(wchar_t* buffer) const;

    // ---- getters ---------------------------------------------------------------
    double getBandgap() const { return Eg; }
    double getBandgapBowing() const { return bandgapBowing; }
    double getAffinity() const { return Chi; }
    double getAffinityBowing() const { return affinityBowing; }
    double getCompositionX() const { return compositionX; }
    double getNC() const { return NC; }
    double getNV() const { return NV; }
    double getEso() const { return Eso; }
    double getMe() const { return Me; }
    double getMhh() const { return Mhh; }
    double getMlh() const { return Mlh; }
    double getMsh() const { return Msh; }
    double getEps() const { return Eps; }
    double getThermc() const { return Thermc; }
    double getHeat() const { return Heat; }
    uint8_t getLatticeType() const { return latticeType; }
    double getLatticeA() const { return LatticeA; }
    double getLatticeB() const { return LatticeB; }
    double getLatticeC() const { return LatticeC; }
    double getLatticeE31() const { return LatticeE31; }
    double getLatticeE33() const { return LatticeE33; }
    double getLatticeC11() const { return LatticeC11; }
    double getLatticeC12() const { return LatticeC12; }
    double getLatticeC13() const { return LatticeC13; }
    double getLatticeC33() const { return LatticeC33; }
    double getPsp() const { return Psp; }
    double getEbr() const { return Ebr; }
    double getMobn() const { return Mobn; }
    double getMobp() const { return Mobp; }
    double getBeta() const { return Beta; }
    double getCn() const { return Cn; }
    double getCp() const { return Cp; }
    double getTaun() const { return Taun; }
    double getTaup() const { return Taup; }
    double getUrbachEA() const { return UrbachEA; }
    double getUrbachED() const { return UrbachED; }
    double getUrbachGA() const { return UrbachGA; }
    double getUrbachGD() const { return UrbachGD; }
    double getUrbachTaunA() const { return UrbachTaunA; }
    double getUrbachTaupA() const { return UrbachTaupA; }
    double getUrbachTaunD() const { return UrbachTaunD; }
    double getUrbachTaupD() const { return UrbachTaupD; }
    bool isUrbach() const { return urbach; }
    bool isTunnel() const { return tunnel; }
    bool isDirect() const { return direct; }
    double getT() const { return T; }
    int getMeshPoints() const { return meshPoints; }

    // ---- model script names and flags (their setters are with the Lua models)
    const wchar_t* getScript(ModelKind kind) const;
    bool isScript(ModelKind kind) const;
    bool isScriptGraded(ModelKind kind) const;
    const wchar_t* getMobilityScript() const { return getScript(MODEL_MOBILITY); }
    const wchar_t* getBandgapScript() const { return getScript(MODEL_BANDGAP); }
    const wchar_t* getPermittivityScript() const { return getScript(MODEL_PERMITTIVITY); }
    const wchar_t* getDopingScript() const { return getScript(MODEL_DOPING); }
    const wchar_t* getTrapScript() const { return getScript(MODEL_TRAP); }
    const wchar_t* getRecombinationScript() const { return getScript(MODEL_RECOMBINATION); }
    const wchar_t* getLatticeScript() const { return getScript(MODEL_LATTICE); }
    bool isMobilityScript() const { return isScript(MODEL_MOBILITY); }
    bool isBandgapScript() const { return isScript(MODEL_BANDGAP); }
    bool isPermittivityScript() const { return isScript(MODEL_PERMITTIVITY); }
    bool isDopingScript() const { return isScript(MODEL_DOPING); }
    bool isTrapScript() const { return isScript(MODEL_TRAP); }
    bool isRecombinationScript() const { return isScript(MODEL_RECOMBINATION); }
    bool isLatticeScript() const { return isScript(MODEL_LATTICE); }
    bool isMobilityScriptGraded() const { return isScriptGraded(MODEL_MOBILITY); }
    bool isBandgapScriptGraded() const { return isScriptGraded(MODEL_BANDGAP); }
    bool isPermittivityScriptGraded() const { return isScriptGraded(MODEL_PERMITTIVITY); }
    bool isDopingScriptGraded() const { return isScriptGraded(MODEL_DOPING); }
    bool isTrapScriptGraded() const { return isScriptGraded(MODEL_TRAP); }
    bool isRecombinationScriptGraded() const { return isScriptGraded(MODEL_RECOMBINATION); }
    bool isLatticeScriptGraded() const { return isScriptGraded(MODEL_LATTICE); }

    // ---- whole layer -----------------------------------------------------------
    // Checks the stored material values group by group; the first failing
    // group is reported and false returned.
    bool checkParameters();
    // Makes this layer equal to source (values through the validating
    // setters, scripts, index source, dopant, traps, mesh points).
    void copy(const ekLayer* source);

    // ---- Lua models ----
    // Script setters: a name ending in ".lua" (lower case, more than four
    // characters) is stored and the model switched on; an empty name
    // switches it off. Each clears the status channel first.
    bool updateScript(ModelKind kind, const wchar_t* fileName, bool report);
    bool updateMobilityScript(const wchar_t* fileName, bool report);
    bool updateBandgapScript(const wchar_t* fileName, bool report);
    bool updatePermittivityScript(const wchar_t* fileName, bool report);
    bool updateDopingScript(const wchar_t* fileName, bool report);
    bool updateTrapScript(const wchar_t* fileName, bool report);
    bool updateRecombinationScript(const wchar_t* fileName, bool report);
    bool updateLatticeScript(const wchar_t* fileName, bool report);

    // Evaluators at position z (um from the layer start) with the local mesh
    // step and the layer thickness (um). Without a usable script the outputs
    // receive the layer's own values and the result is true. At the first
    // point (step > z) the script's values also become the layer's own.
    bool updateMobilityLua(double z, double step, double thick, double* mobn, double* mobp);
    // ownValues: true when the layer's own values were handed back.
    bool updateBandgapLua(double z, double step, double thick, double* eg, double* chi, double* nc,
                          double* nv, bool* ownValues);
    bool updatePermittivityLua(double z, double step, double thick, double* eps);
    bool updateDopantLua(double z, double step, double thick, uint8_t* type, double* N, double* Nr,
                         double* E, double* W, double* taun, double* taup, double* F);
    bool updateTrapLua(double z, double step, double thick, int index, uint8_t* type, double* N,
                       double* Nr, double* E, double* W, double* taun, double* taup, double* F);
    bool updateRecombinationLua(double z, double step, double thick, double* beta, double* cn,
                                double* cp, double* taun, double* taup);
    bool updateLatticeLua(double z, double step, double thick, double* a, double* e31, double* e33,
                          double* c13, double* c33, double* psp);
    bool isScriptInfoPrinted(ModelKind kind) const;

protected:
    enum class LuaRun { Failed, OwnValues, Done };
    // The steps every evaluator shares: first-point flag, usability, the
    // call with its file, call and status errors. results hold the current
    // values on entry and the script's on Done; graded the last slot.
    LuaRun runLuaModel(ModelKind kind, double z, double step, const double* inputs, double* results,
                       double* graded);
    // Doping and trap share the checks and the net-level rule.
    bool levelResultsValid(ModelKind kind, double z, const double* results) const;
    // The information line goes out once per layer and model, at the first
    // point, in verbose mode; the line is only built when it goes out.
    bool wantsLuaInfo(ModelKind kind, bool first) const;
    void reportLuaInfo(ModelKind kind, const wchar_t* line);

public:
    // ---- end of Lua models ----

protected:
    // The checks shared by updateUrbach and checkParameters.
    static bool urbachValid(double ea, double ed, double ga, double gd, double taunA, double taupA,
                            double taunD, double taupD);
    static bool urbachTooLow(double ea, double ed, double ga, double gd);
    void reportUrbachDisabled() const;
    // Dopant type applied the way updateMain and updateDopant do: the level
    // takes the update name and the type, keeping its values.
    void applyDopantType(uint8_t type);
    void freeTrapSlot(int slot);
    int findTrap(const wchar_t* trapName) const;
    double capEnergy(double E) const;

    wchar_t dataRef[DATAREF_SIZE] = {};
    bool direct = false;
    double bandgapBowing = 0.0;
    double affinityBowing = 0.0;
    double compositionX = 0.0;
    double Eg = 0.0;                                   // eV
    double Chi = 0.0;                                  // eV
    double Eso = 0.0;                                  // eV
    double Me = 0.0, Mhh = 0.0, Mlh = 0.0, Msh = 0.0;  // relative masses
    double NC = 0.0, NV = 0.0;                         // 1/cm3
    bool tunnel = false;
    bool urbach = false;
    double UrbachEA = 0.025, UrbachED = 0.05;  // eV
    double UrbachGA = 1e20, UrbachGD = 1e20;
    double UrbachTaunA = 1e-8, UrbachTaupA = 1e-8;  // s
    double UrbachTaunD = 1e-8, UrbachTaupD = 1e-8;  // s
    double Eps = 1.0;
    double Thermc = 0.0, Heat = 0.0;
    uint8_t latticeType = LATTICE_NONPOLAR;
    double LatticeA = 0.0, LatticeB = 0.0, LatticeC = 0.0;  // nm
    double LatticeE31 = 0.0, LatticeE33 = 0.0;
    double LatticeC11 = 0.0, LatticeC12 = 0.0, LatticeC13 = 0.0, LatticeC33 = 0.0;
    double Psp = 0.0;
    double Ebr = 3e5;
    double Mobn = 0.0, Mobp = 0.0;    // cm2/Vs
    double Beta = 0.0;                // cm3/s
    double Cn = 0.0, Cp = 0.0;        // cm6/s
    double Taun = 1e-7, Taup = 1e-7;  // s
    double T = 300.0;                 // K
    ekLevel* dopant = nullptr;
    int trapCount = 0;
    ekLevel* traps[TRAPS_MAX] = {};
    int meshPoints = 100;

    // Model scripts, indexed by ModelKind.
    wchar_t script[MODEL_COUNT][PATH_SIZE] = {};
    bool scriptActive[MODEL_COUNT] = {};
    bool scriptGraded[MODEL_COUNT] = {true, true, true, true, true, true, true};
    bool scriptInfoPrinted[MODEL_COUNT] = {};
};
