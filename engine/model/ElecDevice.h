// ElecDevice: the semiconductor device of one run. A stack of up to nine
// layers between the anode and the cathode, the interfaces between
// neighbouring layers, the device-wide parameters (name, note, temperature,
// polarization scale), the header text the result files repeat, the user
// variables of the device file with their expression parser, and the
// device's Lua engine.
//
// The device owns its contacts, layers, interfaces, Lua engine, parser,
// variables and header; the status channel and the numeric settings belong
// to the caller and outlive it. While the channel's error flag is set every
// operation that would change the device does nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class nuSigma;
class nuParam;
class nuParser;
class ekLayer;
class ekContact;
class ekInterface;
class LuaEngineCore;
struct _variable_w_t;

class ElecDevice {
public:
    static constexpr int MAX_LAYERS = 9;
    static constexpr int MAX_INTERFACES = MAX_LAYERS;
    static constexpr int MAX_VARIABLES = 64;
    static constexpr size_t NAME_SIZE = 32;      // 31 characters and terminator
    static constexpr size_t NOTE_SIZE = 256;     // 255 characters and terminator
    static constexpr size_t HEADER_SIZE = 8192;  // characters of header text
    // Variable texts, as the _variable_w_t record holds them.
    static constexpr size_t VARIABLE_NAME_SIZE = 64;    // 63 characters
    static constexpr size_t VARIABLE_VALUE_SIZE = 256;  // 255 characters
    static constexpr size_t PATH_SIZE = 1024;

    // Name given to a new device; never overwrites a name in an update.
    static constexpr const wchar_t* DEFAULT_NAME = L"DeviceX";

    static constexpr double T_MIN = 1.0, T_MAX = 2000.0;  // K
    static constexpr double POLARIZATION_MIN = -10.0, POLARIZATION_MAX = 10.0;
    // Bandgaps closer than this are one material as far as the band
    // diagram goes.
    static constexpr double HETERO_BANDGAP_STEP = 0.001;  // eV

    ElecDevice(nuSigma* sigma, nuParam* param);
    // name other than "DeviceX" and note replace the defaults; directory
    // (or, when null, the current folder) is where model scripts find
    // their Lua modules.
    ElecDevice(nuSigma* sigma, nuParam* param, const wchar_t* name, const wchar_t* note,
               const wchar_t* directory);
    ~ElecDevice();
    ElecDevice(const ElecDevice&) = delete;
    ElecDevice& operator=(const ElecDevice&) = delete;

    // False when creation ran out of memory; such a device must not be used.
    bool isValid() const { return valid; }

    // ---- bindings ------------------------------------------------------------
    // Binds the device, contacts, layers (with dopant and traps) and
    // interfaces to another status channel.
    void setSigma(nuSigma* sigma);
    nuSigma* getSigma() const { return channel; }
    nuParam* getParam() const { return settings; }
    // Hands an engine to every layer and both contacts. The device keeps
    // owning the engine it created: a given engine stays its caller's, and
    // a null one returns to the device's own.
    void setLuaEngine(LuaEngineCore* engine);
    void setAnodeLuaEngine();
    void setCathodeLuaEngine();
    LuaEngineCore* getLuaEngine() const { return luaEngine; }
    nuParser* getParser() const { return parser; }

    // ---- device-wide values ---------------------------------------------------
    const wchar_t* getName() const { return deviceName; }
    void getName(wchar_t* buffer) const;  // buffer of at least 32 characters
    const wchar_t* getNote() const { return deviceNote; }
    void getNote(wchar_t* buffer) const;  // buffer of at least 256 characters
    uint8_t getStatus() const { return status; }
    double getT() const { return temperature; }
    double getThickness() const { return totalThickness; }
    double getPolarizationScale() const { return polarizationScale; }
    bool isHeterostructure() const { return heterostructure; }
    bool isGraded() const { return graded; }

    // A null argument leaves its field; "DeviceX" never replaces a name.
    void updateMain(const wchar_t* name, const wchar_t* note);
    // 1..2000 K, given to every layer; else an error line, nothing changes.
    bool updateTemperature(double T);
    // -10..10, else an error line and the value stays.
    bool setPolarizationScale(double scale);
    // Sum of the layer thicknesses (contacts not counted).
    void updateThickness();
    // Every layer's dopant of the same type as the layer before it.
    bool isUniformlyDoped() const;

    // ---- contacts -------------------------------------------------------------
    ekContact* getAnode() const { return anode; }
    ekContact* getCathode() const { return cathode; }
    // The contact's validating update with `layer` as the layer after it,
    // then its tunnelling flag. False when refused.
    bool updateAnode(const wchar_t* name, double phi, double Rn, double Rp, uint8_t type,
                     bool tunnel, ekLayer* layer, int position);
    bool updateCathode(const wchar_t* name, double phi, double Rn, double Rp, uint8_t type,
                       bool tunnel, ekLayer* layer, int position);
    // Thickness (kept when outside 0..10000), constant index, then the
    // material (a known metal brings its own index).
    bool updateAnodeIndex(const wchar_t* material, double thickness, double n, double k);
    bool updateCathodeIndex(const wchar_t* material, double thickness, double n, double k);
    bool updateAnodeIndexModel(const wchar_t* script);
    bool updateCathodeIndexModel(const wchar_t* script);
    bool updateAnodeIndexFile(const wchar_t* file);
    bool updateCathodeIndexFile(const wchar_t* file);

    // ---- layers ----------------------------------------------------------------
    int getLayerCount() const { return layerCount; }
    ekLayer* getLayer(int index) const;
    ekLayer* getLayer(const wchar_t* name) const;  // any letter case
    ekLayer* getFirstLayer() const;
    ekLayer* getLastLayer() const;

    // A new layer at index (0..layerCount); the layers from index on move
    // up. Interfaces are not rebuilt: call createInterfaces once the stack
    // is complete.
    ekLayer* insertLayer(int index, const wchar_t* material, const wchar_t* name,
                         uint8_t dopantType);
    ekLayer* addLayer(const wchar_t* material, const wchar_t* name, uint8_t dopantType);
    // Appends a copy of source, which stays the caller's.
    ekLayer* addLayer(const ekLayer* source);
    // Moves the layer at *from to `to`; *from becomes `to`.
    ekLayer* moveLayer(int* from, int to);
    // Removing a layer makes contacts and interfaces forget it; interfaces
    // beyond the new stack are freed.
    bool removeLayer(int index);
    bool removeLayer(const wchar_t* name);
    void removeAllLayers();

    // ---- interfaces ------------------------------------------------------------
    // One fresh interface per neighbouring layer pair; false for fewer than
    // two layers or when memory runs out (then there are none).
    bool createInterfaces();
    int getInterfaceCount() const;
    ekInterface* getInterface(int index) const;
    // The interface's validating update; false for no such interface or
    // refused offsets.
    bool updateInterface(int index, double DEC, double DEV, uint8_t type, ekLayer* layerBefore,
                         ekLayer* layerAfter, int position);

    // Set once a layer's bandgap differs from the first one's; never cleared.
    bool updateHeterostructure();
    // Set once a layer has a model evaluated per mesh point; never cleared.
    bool updateGraded();

    // ---- header ----------------------------------------------------------------
    const wchar_t* getHeader() const { return header; }
    size_t getHeaderLength() const { return headerLength; }
    bool initHeader();
    // One line of header text, '#'-prefixed, trailing blanks dropped and a
    // newline added. length (when not null) limits the characters taken.
    bool addtoHeader(const wchar_t* line, const size_t* length = nullptr);

    // ---- copy ------------------------------------------------------------------
    // Makes this device a deep copy of source: values, contacts, layers,
    // flags, variables and header. Nothing of the copy points into source.
    bool copy(const ElecDevice* source);

    // ---- variables and expressions ----------------------------------------------
    // Defines or redefines a variable. value must hold 256 characters: it
    // is cut at a comment mark, trimmed, evaluated and rewritten with the
    // stored text. line (0-based) is used in the message only.
    bool setVariable(const wchar_t* name, wchar_t* value, int line);
    // Why the last setVariable refused, naming the variable (for example
    // "$v65: a device file holds at most 64 variables"); empty after an
    // accepted definition.
    const std::wstring& getVariableRefusal() const { return variableRefusal; }
    // The first '$' reference of text that names no constant and no
    // defined variable, with its '$' (at most 63 characters of its name);
    // empty when every reference is known.
    std::wstring undefinedReference(const wchar_t* text) const;
    bool deleteVariable(const wchar_t* name);
    // Value text of a constant or variable ('$' prefix allowed) into out
    // (at least 256 characters).
    bool getVariable(const wchar_t* name, wchar_t* out) const;
    int getVariableCount() const { return variableCount; }
    const wchar_t* getVariableName(int index) const;
    const wchar_t* getVariableValue(int index) const;
    // Replaces '$name' references and evaluates text in place (text of at
    // least 256 characters).
    bool parseValue(wchar_t* text);

private:
    void create(nuSigma* sigma, nuParam* param);
    void addScriptDirectory(const wchar_t* directory);
    bool isBlocked() const;
    void reportError(const std::wstring& what) const;
    bool updateContact(ekContact* contact, const wchar_t* name, double phi, double Rn, double Rp,
                       uint8_t type, bool tunnel, ekLayer* layer, int position);
    bool updateContactIndex(ekContact* contact, const wchar_t* material, double thickness, double n,
                            double k);
    // Makes contacts and interfaces drop every pointer to a layer that is
    // about to be freed, and frees interfaces without a layer pair.
    void forgetLayer(const ekLayer* layer);
    void freeInterfaces(int from);
    void destroyLayers();
    // Points the copied contacts at this device's layers.
    void repointContact(ekContact* contact, const ElecDevice* source);
    void copyHeader(const ElecDevice* source);

    // Variables.
    int findVariable(const wchar_t* name, size_t length, bool definedOnly) const;
    bool lookupReference(const wchar_t* name, size_t length, wchar_t* out, size_t outSize) const;
    bool expandReferences(const wchar_t* text, wchar_t* out, size_t outSize) const;
    void freeVariables();

    nuSigma* channel = nullptr;
    nuParam* settings = nullptr;
    wchar_t deviceName[NAME_SIZE] = {};
    wchar_t deviceNote[NOTE_SIZE] = {};
    uint8_t status = 0;
    wchar_t* header = nullptr;
    size_t headerLength = 0;
    double temperature = 300.0;
    ekContact* anode = nullptr;
    ekContact* cathode = nullptr;
    int layerCount = 0;
    ekLayer* layers[MAX_LAYERS] = {};
    double totalThickness = 0.0;
    LuaEngineCore* luaEngine = nullptr;     // the engine in use
    LuaEngineCore* ownLuaEngine = nullptr;  // the engine the device made and frees
    nuParser* parser = nullptr;
    bool heterostructure = false;
    bool graded = false;
    ekInterface* interfaces[MAX_INTERFACES] = {};
    _variable_w_t* variables[MAX_VARIABLES] = {};
    int variableCount = 0;
    std::wstring variableRefusal;
    double polarizationScale = 0.0;
    bool valid = false;
};
