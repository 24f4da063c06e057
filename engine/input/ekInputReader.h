// The work of one ekInput::load call: reading the lines of a device file
// into the configuration store (ekInputLoad.cpp) and applying the stored
// values to the device, excitation, simulator and settings
// (ekInputApply*.cpp). Internal to the reader; nothing outside includes it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>

#include "ekInput.h"
#include "ekLayer.h"
#include "ekLevel.h"
#include "kovKeyLimits.h"

class ekContact;

// Every value a layer section gives, after the defaults of absent keys
// (the template layer of its material) have been filled in.
struct ekLayerInput {
    static constexpr int TRAPS = ekLayer::TRAPS_MAX;

    std::wstring material;
    bool builtIn = true;  // one of the built-in materials
    double thickness = 0.0;
    double Eg = 0.0, Chi = 0.0, NC = 0.0, NV = 0.0;
    bool direct = false;
    double bandgapBowing = 0.0, affinityBowing = 0.0, x = 0.0;
    double Eps = 0.0;
    double Beta = 0.0, Cn = 0.0, Cp = 0.0, Taun = 0.0, Taup = 0.0;
    double Mobn = 0.0, Mobp = 0.0;
    uint8_t latticeType = ekLayer::LATTICE_NONPOLAR;
    double latticeA = 0.0, e31 = 0.0, e33 = 0.0, c13 = 0.0, c33 = 0.0, Psp = 0.0;
    bool urbach = false;
    double EA = 0.0, ED = 0.0, GA = 0.0, GD = 0.0;
    double TaunA = 0.0, TaupA = 0.0, TaunD = 0.0, TaupD = 0.0;
    double indexN = 1.0, indexK = 0.0;
    // Optical index source beside the constant pair.
    enum class IndexSource { Constant, File, Model, Database };
    IndexSource indexSource = IndexSource::Constant;
    std::wstring indexPath;  // the file found, or the script
    // Model scripts by ekLayer::ModelKind; empty for none.
    std::wstring script[ekLayer::MODEL_COUNT];
    int trapCount = 0;  // Trap.Count, 0 when not given
    // Dopant.
    uint8_t dopantType = ekLevel::TYPE_DONOR;
    double dopantN = 0.0, dopantNr = 1e19, dopantE = 0.0, dopantF = 1.0;
    double dopantTaun = 1e-7, dopantTaup = 1e-7;
    // Static traps accepted, in file order.
    struct Trap {
        uint8_t type = ekLevel::TYPE_DONOR;
        double N = 0.0, Nr = 0.0, E = 0.0, Taun = 0.0, Taup = 0.0, F = 1.0;
        int number = 0;  // i of its keys "Trapi."
    };
    Trap traps[TRAPS];
    int trapsAccepted = 0;
    int meshPoints = 100;
};

class ekInputReader {
public:
    // Room of the line buffers: line 1 holds 1022 characters, later lines
    // 1021, each with its terminator.
    static constexpr size_t FIRST_LINE_SIZE = 1023;
    static constexpr size_t LINE_SIZE = 1022;
    // Index of the last line read; later lines are ignored.
    static constexpr int LAST_LINE_INDEX = 16384;
    // A comment attached to a key keeps 63 characters.
    static constexpr size_t COMMENT_SIZE = 64;
    // Section names and '$' references are handled in 256 characters.
    static constexpr size_t NAME_WORK_SIZE = 256;

    ekInputReader(ekInput& store, const wchar_t* fileName, ekSimulator* simulator,
                  ElecDevice* device, ekExcitation* excitation, nuSigma* sigma, nuParam* param,
                  int* lineOut);
    ekInputReader(const ekInputReader&) = delete;
    ekInputReader& operator=(const ekInputReader&) = delete;

    bool run();

private:
    // ---- reading the lines (ekInputLoad.cpp) ----------------------------
    bool checkArguments();
    bool readFirstLine(FILE* stream);
    bool readBody(FILE* stream);
    bool handleLine(wchar_t* line);
    bool handleVariable(const wchar_t* line);
    bool handleSection(const wchar_t* line);
    bool handleKey(const wchar_t* line, const wchar_t* comment);
    // Expands and evaluates a key's value in place (value holds a line).
    bool evaluateValue(const wchar_t* key, const wchar_t* normalized, bool isText, wchar_t* value);
    // A value that could not be evaluated: the first variable it uses that
    // is not defined, or else the expression.
    bool failUndefined(const wchar_t* key, const std::wstring& value);
    void finishMessage();

    // ---- applying the values (ekInputApply*.cpp) -------------------------
    bool apply();
    bool applyDevice();
    bool countLayers(int* count);
    bool applyLayer(int number);
    bool readLayer(int number, const ekLayer* templ, ekLayerInput* in);
    bool readLayerIndex(int number, const ekLayer* templ, ekLayerInput* in);
    bool readDopant(int number, const ekLayer* templ, ekLayerInput* in);
    bool readTraps(int number, ekLayerInput* in);
    bool buildLayer(int number, const ekLayerInput& in);
    bool buildLayerIndex(int number, ekLayer* layer, const ekLayerInput& in);
    bool addLayerTraps(ekLayer* layer, const ekLayerInput& in);
    // Level energies beyond half the layer's bandgap, which the run caps
    // there, warned with the value used.
    void warnCappedEnergies(int number, const ekLayer* layer, const ekLayerInput& in) const;
    bool findIndexFile(const std::wstring& name, std::wstring* found) const;
    bool applyContact(bool anode);
    bool applyVoltage();
    // Refuses a sweep whose voltages or step break one of its rules,
    // naming the key, its value and the rule.
    bool checkSweep(double start, double end, double step);
    bool applyLight();
    bool applyNumeric();
    bool applyCommand();
    // Command.OutDir other than ".": resolved, made when missing.
    bool outputFolder(const std::wstring& name);

    // ---- stored values ----------------------------------------------------
    bool has(const wchar_t* section, const wchar_t* key) const;
    bool text(const wchar_t* section, const wchar_t* key, std::wstring* out) const;
    // Real values read as ek_wtof does: a text that is no number gives 0.
    bool real(const wchar_t* section, const wchar_t* key, double* out) const;
    // Value words are compared without regard to case, as whole values.
    static bool isWord(const std::wstring& value, std::initializer_list<const wchar_t*> words);

    // ---- where each key was written, and what became of its value ------------
    // (ekInputValueChecks.cpp)
    static std::wstring keyId(const wchar_t* section, const wchar_t* key);
    // 0-based line of a stored key; the section's header when the key is
    // absent.
    int keyLine(const wchar_t* section, const wchar_t* key) const;
    // "KEY = "VALUE"" as the file gave it, for messages.
    std::wstring written(const wchar_t* section, const wchar_t* key) const;
    // A value that cannot be used as written: names the line, the key, the
    // text and what is accepted. Returns false.
    bool refuseValue(const wchar_t* section, const wchar_t* key, const std::wstring& accepted);
    // A value the run changes: names the line, the key, the value given and
    // the value used. Shown whatever the no-warnings switch says, since the
    // run does not do what the file asks.
    void changedValue(const wchar_t* section, const wchar_t* key, const std::wstring& used,
                      const std::wstring& why) const;
    // A value the run will not use at all, with the reason.
    void unusedValue(const wchar_t* section, const wchar_t* key, const std::wstring& why) const;
    // A file named by the device file: a relative name is taken from the
    // device file's folder, so a run does not depend on the current folder.
    std::wstring resolvePath(const std::wstring& name) const;
    // "looked for PATH", or what stands at PATH when it is no regular file.
    static std::wstring lookedFor(const std::wstring& path);
    // The resolved file of a key, refused naming the line, key and the path
    // looked for when it does not exist.
    bool existingFile(const wchar_t* section, const wchar_t* key, std::wstring* path);
    // The script file of a model key (found beside the device file, else
    // as written), refused naming the line, key and what stands there when
    // it is missing, no regular file or no script by its size.
    bool scriptFile(const wchar_t* section, const wchar_t* key, std::wstring* path);
    // The accepted range of a key, from the table the editor uses as well
    // (kovKeyLimits.h).
    static const KovKeyLimit& limitOf(const wchar_t* section, const wchar_t* key);
    // A present key's value outside its range is refused, the range named;
    // absent keys and values inside pass.
    bool checkRange(const wchar_t* section, const wchar_t* key);
    // A present integer key as the run uses it: the value as evaluated
    // (100000, 1e5 and 100000.0 alike) rounded to a whole number, then
    // outside its range refused or taken to the nearest limit as the key's
    // limit says; one warning when the number used is not the one given.
    // False after a refusal; *out is left alone when the key is absent.
    bool integerValue(const wchar_t* section, const wchar_t* key, long* out);
    // A key of a number that was given a text that is no number (a quoted
    // word) is refused where it stands, naming what the key accepts.
    bool checkNumberText(int section, int keyPosition);
    // Refuses a present key whose word is none of words (case ignored).
    bool checkWord(const wchar_t* section, const wchar_t* key,
                   std::initializer_list<const wchar_t*> words);
    // Layer keys a doped layer does not use, warned.
    void warnUnusedLayerKeys(int number, const ekLayerInput& in) const;
    // A degeneracy factor that is no whole number, which the level rounds.
    void warnRoundedDegeneracy(const wchar_t* section, const wchar_t* key, double F) const;

    // ---- messages -----------------------------------------------------------
    // An error line (nuSigma::error) at lineIndex, which the line output
    // receives. Returns false.
    bool fail(int lineIndex, const std::wstring& what);
    // For a refusal the model has already reported. Returns false.
    bool failReported(int lineIndex);
    void info(const std::wstring& text) const;  // verbose only
    void warn(const std::wstring& text) const;  // level 2, subject to no-warnings
    // 0-based index of the first header of a section position, -1 when the
    // file has none.
    int headerLine(int position) const;
    int layerLine(int number) const { return headerLine(ekInput::SECTION_LAYER1 + number - 1); }
    void setLineOut(int index) const;

    ekInput& store;
    const wchar_t* fileName;
    ekSimulator* simulator;
    ElecDevice* device;
    ekExcitation* excitation;
    nuSigma* sigma;
    nuParam* param;
    int* lineOut;

    bool wasVerbose = false;  // the channel was verbose when loading began
    int currentLine = 0;      // line being handled
    bool headerBlock = true;  // only header comments seen after line 1
    std::wstring pending;     // comment waiting for the next key
    int lastCommentLine = -2;
    foSection* currentSection = nullptr;
    int sectionPosition = -1;
    int headerLines[ekInput::SECTIONCOUNT];
    int layersApplied = 0;
    // Line and text as written (quotes removed) of every stored key, by
    // keyId.
    struct KeyOrigin {
        int line;
        std::wstring text;
    };
    std::map<std::wstring, KeyOrigin> keyLines;
};
