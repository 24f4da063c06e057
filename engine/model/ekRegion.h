// ekRegion: the common part of a layer and a contact. A named slab with a
// position, a thickness, a material (with the end members of an alloy) and a
// complex optical index n + ik that comes from constants, a Lua model script,
// an index file or index data of the material database.
//
// Plain class without virtual functions: ekLayer and ekContact derive from
// it and hide, never override, what they redefine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class nuSigma;
class LuaEngineCore;

class ekRegion {
public:
    static constexpr size_t NAME_SIZE = 32;      // 31 characters and terminator
    static constexpr size_t MATERIAL_SIZE = 16;  // 15 characters and terminator
    static constexpr size_t PATH_SIZE = 1024;    // 1023 characters and terminator

    // Where the optical index comes from (indexModel).
    static constexpr uint8_t INDEX_CONSTANT = 0x01;
    static constexpr uint8_t INDEX_LUA = 0x02;
    static constexpr uint8_t INDEX_FILE = 0x04;
    static constexpr uint8_t INDEX_DATABASE = 0x08;

    // Group byte: the high nibble 0x10 plain, 0x80 an alloy; the low nibble
    // is left to the owner (a contact uses bit 0 for Schottky).
    static constexpr uint8_t GROUP_DEFAULT = 0x10;
    static constexpr uint8_t GROUP_ALLOY = 0x80;
    static constexpr uint8_t GROUP_KIND_MASK = 0xF0;

    // Index table: the raw text and the parsed wavelength, n, k columns.
    static constexpr int INDEX_TEXT_SIZE = 32768;
    static constexpr int INDEX_POINTS_MAX = 2048;
    static constexpr int INDEX_POINTS_MIN = 5;
    // The database blob keeps the size window of its table column.
    static constexpr int INDEX_DATABASE_SIZE_MIN = 1024;
    static constexpr int INDEX_DATABASE_SIZE_MAX = 32767;

    static constexpr int SPECTRUM_MAX = 20000;

    // Name given to a new region; never overwrites a name in an update.
    static constexpr const wchar_t* DEFAULT_NAME = L"RegionX";

    explicit ekRegion(nuSigma* sigma);
    ~ekRegion();
    ekRegion(const ekRegion&) = delete;
    ekRegion& operator=(const ekRegion&) = delete;

    // Defaults for name, group, position, thickness, constant index, the
    // material names and the index model; detaches the Lua engine. Arrays
    // and the script and file names stay.
    void reset();

    bool assignResources() { return true; }
    void releaseResources();

    // ---- spectrum: per-wavelength values handed in by the optics --------
    bool assignSpectrum(int count);
    void releaseSpectrum();
    bool setIndexFromSpectrum(int i, double wavelength, double value);
    bool getIndexFromSpectrum(int i, double* wavelength, double* value) const;
    bool isIndexSpectrumAcquired() const;
    int getSpectrumCount() const { return spectrumCount; }

    // ---- tabulated index (file or database) -----------------------------
    bool assignDataIndex();
    void releaseDataIndex();
    // The region holds index data the size of a database blob.
    bool isDatabaseIndex() const;
    // First and last wavelength (um) and point count of a parsed table.
    bool getDataIndex(double* first, double* last, int* count) const;
    // Takes a database blob (1024..32767 bytes) and parses it; the index
    // model is left alone, a table that fails the check is released.
    bool setDataIndex(const char* text, int size);
    // Parses the held text again; on success the index model becomes
    // database data.
    bool updateDataIndex(bool report);
    // Parses the held index text into the wavelength, n and k columns.
    bool checkDataIndex();
    // Reads the index file named by updateIndexFile whole and parses it.
    // Any size with enough data points is read; a file that cannot be used
    // is an error line and leaves the constant index in place.
    bool loadIndexFile();

    // ---- index sources ---------------------------------------------------
    bool updateIndexnk(double n, double k);
    bool updateIndexFile(const wchar_t* name, bool report);
    bool updateIndexScript(const wchar_t* name, bool report);
    void setIndexScript(const wchar_t* name);
    const wchar_t* getIndexScript() const { return indexScript[0] ? indexScript : nullptr; }
    const wchar_t* getIndexFile() const { return indexFile[0] ? indexFile : nullptr; }

    // n and k at position z (um) and wavelength (um); thickness and bandgap
    // are handed to a Lua model as the caller passes them.
    bool getIndex(double z, double thickness, double bandgap, double wavelength, double* n,
                  double* k, bool report);

    // ---- material, thickness ---------------------------------------------
    void updateMaterial(const wchar_t* name);
    // Derives the end members of the six known alloys from the material.
    void updateAlloy();
    const wchar_t* getMaterial() const { return material; }
    const wchar_t* getMaterialAC() const { return materialAC; }
    const wchar_t* getMaterialBC() const { return materialBC; }
    // Copies the three names into buffers of at least 32 characters.
    void getMaterial(wchar_t* materialOut, wchar_t* acOut, wchar_t* bcOut) const;
    double getCompositionY() const { return compositionY; }

    void updateThickness(double t);
    double getThickness() const { return thickness; }

    // ---- accessors ---------------------------------------------------------
    const wchar_t* getName() const { return name; }
    // Copies at most 31 characters and terminates; buffer must hold 32.
    void getName(wchar_t* buffer) const;
    // Stores at most 31 characters (no default-name rule: a plain store).
    void setName(const wchar_t* newName);
    int getPos() const { return pos; }
    void setPos(int position) { pos = position; }
    uint8_t getGroup() const { return group; }
    void setGroup(uint8_t g) { group = g; }
    nuSigma* getSigma() const { return sigma; }
    void setSigma(nuSigma* s) { sigma = s; }
    double getIndexn() const { return indexN; }
    double getIndexk() const { return indexK; }
    uint8_t getIndexModel() const { return indexModel; }
    bool isIndexScript() const { return (indexModel & INDEX_LUA) != 0; }
    // The constant n and k (or no model at all): absorption then follows the
    // band gap instead of an index spectrum.
    bool isIndexConstant() const { return indexModel == 0 || (indexModel & INDEX_CONSTANT) != 0; }
    bool isIndexScriptGraded() const { return indexScriptGraded; }
    bool isIndexScriptFirstCall() const { return indexScriptFirstCall; }
    void setLuaEngine(LuaEngineCore* engine) { luaEngine = engine; }
    LuaEngineCore* getLuaEngine() const { return luaEngine; }

    // ---- Lua models ----
    // The Lua branch of getIndex: runs kov_index of the index script through
    // the attached Lua engine (implemented with the other model scripts).
    bool getIndexLua(double z, double thickness, double bandgap, double wavelength, double* n,
                     double* k, bool report);
    // ---- end of Lua models ----

protected:
    bool isBlocked() const;
    void reportError(const std::wstring& what) const;
    void reportInfo(const wchar_t* text) const;
    // Table lookup between the cached bracket and its neighbours.
    void interpolateDataIndex(double wavelength, double* n, double* k);
    // Copies a text table of size bytes into the index buffer and parses it.
    bool takeDataIndex(const char* text, int size);
    // Stores a name ending in suffix as the source of model; the shared
    // steps of updateIndexFile and updateIndexScript.
    bool updateIndexSource(const wchar_t* newName, bool report, wchar_t* target,
                           const wchar_t* suffix, size_t minLength, uint8_t model,
                           const wchar_t* invalidFormat);
    // Copies the optical index source (constant, file, script, table) of
    // another region, so a copied device keeps where its index comes from.
    void copyIndexSource(const ekRegion* source);

    nuSigma* sigma;
    wchar_t name[NAME_SIZE];
    wchar_t material[MATERIAL_SIZE];
    wchar_t materialAC[MATERIAL_SIZE];
    wchar_t materialBC[MATERIAL_SIZE];
    double compositionY = 0.0;
    uint8_t group;
    int pos;
    double thickness;       // um
    double indexN, indexK;  // constant optical index

    // Spectrum handed in by the optics.
    double* spectrumWavelength = nullptr;
    double* spectrumValue = nullptr;
    int spectrumCount = 0;
    int spectrumAcquired = 0;

    uint8_t indexModel;

    // Parsed index table.
    double* indexWavelength = nullptr;  // um, strictly increasing
    double* indexDataN = nullptr;
    double* indexDataK = nullptr;
    int indexCachePos = 0;      // lower point of the last bracket
    int indexTextSize = 0;      // bytes of indexText in use
    int indexCount = 0;         // parsed points
    char* indexText = nullptr;  // raw table, INDEX_TEXT_SIZE bytes

    LuaEngineCore* luaEngine = nullptr;  // the device's, not owned
    wchar_t indexScript[PATH_SIZE];
    bool indexScriptGraded = true;
    bool indexScriptFirstCall = false;
    wchar_t indexFile[PATH_SIZE];
};
