// ekRegion: life cycle, material names, index sources and getIndex. The
// index table parser lives in ekRegionIndexData.cpp.
#include "ekRegion.h"

#include <cwchar>
#include <string>

#include "ekHelpers.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

struct AlloyPair {
    const wchar_t* alloy;
    const wchar_t* memberAC;
    const wchar_t* memberBC;
};

// The ternary alloys the engine interpolates, with their end members.
constexpr AlloyPair ALLOYS[] = {
    {L"AlGaN", L"AlN", L"GaN"},    {L"InGaN", L"InN", L"GaN"}, {L"AlGaAs", L"AlAs", L"GaAs"},
    {L"InGaAs", L"InAs", L"GaAs"}, {L"InGaP", L"InP", L"GaP"}, {L"SiGe", L"Si", L"Ge"},
};

constexpr size_t MESSAGE_LINE_MAX = 255;

// Messages that carry a user text are cut like the fixed message buffers.
std::wstring boundedLine(const wchar_t* prefix, const wchar_t* text)
{
    std::wstring line = prefix;
    line += text ? text : L"";
    if (line.size() > MESSAGE_LINE_MAX - nuSigma::ERROR_TAG.size()) {
        line.resize(MESSAGE_LINE_MAX - nuSigma::ERROR_TAG.size());
    }
    return line;
}

}  // namespace

ekRegion::ekRegion(nuSigma* s) : sigma(s)
{
    indexScript[0] = L'\0';
    indexFile[0] = L'\0';
    indexScriptGraded = true;
    luaEngine = nullptr;
    reset();
}

ekRegion::~ekRegion() { releaseResources(); }

void ekRegion::reset()
{
    kov_copyW(name, NAME_SIZE, DEFAULT_NAME);
    group = GROUP_DEFAULT;
    pos = 0;
    thickness = 0.0;
    indexN = 1.0;
    indexK = 0.0;
    kov_copyW(material, MATERIAL_SIZE, L"Mx");
    materialAC[0] = L'\0';
    materialBC[0] = L'\0';
    indexModel = INDEX_CONSTANT;
    luaEngine = nullptr;
}

void ekRegion::releaseResources()
{
    releaseSpectrum();
    releaseDataIndex();
}

bool ekRegion::isBlocked() const { return sigma == nullptr || sigma->err != 0; }

void ekRegion::reportError(const std::wstring& what) const
{
    if (sigma) {
        sigma->error(what);
    }
}

void ekRegion::reportInfo(const wchar_t* text) const
{
    if (sigma) {
        sigma->update(text, 0);
    }
}

// ---- spectrum ---------------------------------------------------------------

bool ekRegion::assignSpectrum(int count)
{
    if (sigma == nullptr || count < 1 || count > SPECTRUM_MAX) {
        return false;
    }
    releaseSpectrum();
    spectrumWavelength = sigma->mallocDbl(static_cast<size_t>(count));
    spectrumValue = sigma->mallocDbl(static_cast<size_t>(count));
    if (spectrumWavelength == nullptr || spectrumValue == nullptr) {
        releaseSpectrum();
        return false;
    }
    spectrumCount = count;
    spectrumAcquired = 0;
    return true;
}

void ekRegion::releaseSpectrum()
{
    if (sigma) {
        if (spectrumWavelength) {
            sigma->freeDbl(&spectrumWavelength);
        }
        if (spectrumValue) {
            sigma->freeDbl(&spectrumValue);
        }
    }
    spectrumWavelength = nullptr;
    spectrumValue = nullptr;
    spectrumCount = 0;
    spectrumAcquired = 0;
}

bool ekRegion::setIndexFromSpectrum(int i, double wavelength, double value)
{
    if (spectrumWavelength == nullptr || spectrumValue == nullptr || i < 0 || i >= spectrumCount ||
        spectrumAcquired >= spectrumCount) {
        return false;
    }
    spectrumWavelength[i] = wavelength;
    spectrumValue[i] = value;
    ++spectrumAcquired;
    return true;
}

bool ekRegion::getIndexFromSpectrum(int i, double* wavelength, double* value) const
{
    if (spectrumWavelength == nullptr || spectrumValue == nullptr || i < 0 || i >= spectrumCount ||
        wavelength == nullptr || value == nullptr) {
        return false;
    }
    *wavelength = spectrumWavelength[i];
    *value = spectrumValue[i];
    return true;
}

bool ekRegion::isIndexSpectrumAcquired() const
{
    return spectrumCount >= 1 && spectrumAcquired >= spectrumCount;
}

// ---- index sources ------------------------------------------------------------

bool ekRegion::updateIndexnk(double n, double k)
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    // A refused pair would otherwise silently leave the previous index in
    // place while the run goes on with it.
    if (!(n > 0.0 && n < 100.0) || !(k >= 0.0 && k < 100.0)) {
        reportError(L"invalid optical index (n, k)");
        return false;
    }
    indexN = n;
    indexK = k;
    return true;
}

bool ekRegion::updateIndexSource(const wchar_t* newName, bool report, wchar_t* target,
                                 const wchar_t* suffix, size_t minLength, uint8_t model,
                                 const wchar_t* invalidFormat)
{
    if (newName == target) {
        return true;
    }
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    target[0] = L'\0';
    indexModel = INDEX_CONSTANT;
    if (newName == nullptr || newName[0] == L'\0') {
        return true;
    }
    const size_t length = wcslen(newName);
    if (length >= PATH_SIZE) {
        reportError(L"invalid index filename");
        return false;
    }
    if (length >= minLength && kov_endsWith(newName, suffix)) {
        kov_copyW(target, PATH_SIZE, newName);
        indexModel = model;
    } else if (report) {
        reportError(boundedLine(invalidFormat, newName));
    }
    return indexModel == model;
}

bool ekRegion::updateIndexFile(const wchar_t* newName, bool report)
{
    return updateIndexSource(newName, report, indexFile, L".nk", 5, INDEX_FILE,
                             L"invalid index file: ");
}

bool ekRegion::updateIndexScript(const wchar_t* newName, bool report)
{
    return updateIndexSource(newName, report, indexScript, L".lua", 5, INDEX_LUA,
                             L"invalid index model: ");
}

void ekRegion::setIndexScript(const wchar_t* newName)
{
    if (newName == indexScript) {
        return;
    }
    kov_copyW(indexScript, PATH_SIZE, newName);
}

void ekRegion::copyIndexSource(const ekRegion* source)
{
    if (source == nullptr || source == this || isBlocked()) {
        return;
    }
    kov_copyW(indexFile, PATH_SIZE, source->indexFile);
    kov_copyW(indexScript, PATH_SIZE, source->indexScript);
    indexModel = source->indexModel;
    if (source->indexText != nullptr && source->indexTextSize > 0) {
        if (!takeDataIndex(source->indexText, source->indexTextSize)) {
            indexModel = INDEX_CONSTANT;
        }
    } else {
        releaseDataIndex();
    }
}

bool ekRegion::getIndex(double z, double layerThickness, double bandgap, double wavelength,
                        double* n, double* k, bool report)
{
    if (isBlocked() || n == nullptr || k == nullptr) {
        return false;
    }
    if (indexModel == INDEX_LUA) {
        return getIndexLua(z, layerThickness, bandgap, wavelength, n, k, report);
    }
    if (indexModel != INDEX_FILE && indexModel != INDEX_DATABASE) {
        *n = indexN;
        *k = indexK;
        return true;
    }
    if (indexWavelength == nullptr || indexDataN == nullptr || indexDataK == nullptr ||
        indexCount < INDEX_POINTS_MIN || indexCount > INDEX_POINTS_MAX) {
        *n = indexN;
        *k = indexK;
        return true;
    }
    interpolateDataIndex(wavelength, n, k);
    if (report && !indexScriptFirstCall && sigma->isVerbose()) {
        std::wstring line = indexModel == INDEX_DATABASE ? L"[INFO]    index from database (z = "
                                                         : L"[INFO]    index from file (z = ";
        line += nu_numberText(z) + L" um): (wl   n   k) = (" + nu_numberText(wavelength) + L"   " +
                nu_numberText(*n) + L"   " + nu_numberText(*k) + L")\n";
        reportInfo(line.c_str());
    }
    indexScriptFirstCall = true;
    return true;
}

void ekRegion::interpolateDataIndex(double wavelength, double* n, double* k)
{
    const int last = indexCount - 1;
    if (wavelength <= indexWavelength[0]) {
        *n = indexDataN[0];
        *k = indexDataK[0];
        return;
    }
    if (wavelength >= indexWavelength[last]) {
        *n = indexDataN[last];
        *k = indexDataK[last];
        return;
    }
    // Optics asks wavelength after wavelength, so the bracket of the last
    // call is usually the answer or next to it.
    int i = indexCachePos;
    if (i < 0 || i >= last) {
        i = 0;
    }
    while (i < last - 1 && wavelength >= indexWavelength[i + 1]) {
        ++i;
    }
    while (i > 0 && wavelength < indexWavelength[i]) {
        --i;
    }
    indexCachePos = i;
    const double t =
        (wavelength - indexWavelength[i]) / (indexWavelength[i + 1] - indexWavelength[i]);
    *n = indexDataN[i] + t * (indexDataN[i + 1] - indexDataN[i]);
    *k = indexDataK[i] + t * (indexDataK[i + 1] - indexDataK[i]);
}

// ---- material, thickness, names ------------------------------------------------

void ekRegion::updateMaterial(const wchar_t* newMaterial)
{
    if (newMaterial == nullptr || newMaterial == material) {
        return;
    }
    kov_copyW(material, MATERIAL_SIZE, newMaterial);
    updateAlloy();
}

void ekRegion::updateAlloy()
{
    for (const AlloyPair& pair : ALLOYS) {
        if (wcscasecmp(material, pair.alloy) == 0) {
            kov_copyW(materialAC, MATERIAL_SIZE, pair.memberAC);
            kov_copyW(materialBC, MATERIAL_SIZE, pair.memberBC);
            group = GROUP_ALLOY;
            return;
        }
    }
}

void ekRegion::getMaterial(wchar_t* materialOut, wchar_t* acOut, wchar_t* bcOut) const
{
    if (materialOut) {
        kov_copyW(materialOut, NAME_SIZE, material);
    }
    if (acOut) {
        kov_copyW(acOut, NAME_SIZE, materialAC);
    }
    if (bcOut) {
        kov_copyW(bcOut, NAME_SIZE, materialBC);
    }
}

void ekRegion::updateThickness(double t)
{
    if (t >= 0.0 && t < 10000.0) {
        thickness = t;
    }
}

void ekRegion::getName(wchar_t* buffer) const
{
    if (buffer) {
        kov_copyW(buffer, NAME_SIZE, name);
    }
}

void ekRegion::setName(const wchar_t* newName)
{
    if (newName && newName != name) {
        kov_copyW(name, NAME_SIZE, newName);
    }
}
