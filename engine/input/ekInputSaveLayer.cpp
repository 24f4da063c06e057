// Device-file writer: one layer section. A layer of a built-in material is
// compared with a fresh layer of that material and writes only the values
// that differ; the dopant and the traps are always written in full, since
// the reader needs them whole.
#include <cwchar>
#include <memory>
#include <new>

#include "ekAlloyKeys.h"
#include "ekInputWriter.h"
#include "ekLayer.h"
#include "ekLevel.h"
#include "ekMaterialDatabase.h"
#include "nucore.h"

namespace {

// The file keeps piezoelectric and polarisation constants 1e4 times larger
// than the layer does.
constexpr double LATTICE_FILE_SCALE = 1e4;
constexpr double TRAP_DENSITY_MIN = 1e6;

const wchar_t* yesNo(bool on) { return on ? L"Yes" : L"No"; }

}  // namespace

bool ekInputWriter::addLayer(int number, const ekLayer* layer)
{
    const std::wstring name = L"Layer" + std::to_wstring(number);
    if (!begin(name.c_str()) || layer == nullptr) {
        return layer != nullptr;
    }

    const bool builtIn = layer->isStandardMaterial();
    std::unique_ptr<ekLayer> reference;
    if (builtIn) {
        reference.reset(new (std::nothrow)
                            ekLayer(sigma, layer->getMaterial(), ekLayer::DEFAULT_NAME));
        if (reference == nullptr) {
            sigma->reportNoMemory();
            return false;
        }
        if (sigma->err != 0) {
            return false;
        }
    }
    // A material of the database is named too: without it the layer would
    // come back as silicon.
    if (builtIn || ek_isDatabaseMaterial(layer->getMaterial())) {
        addText(L"Material", layer->getMaterial());
    }
    const ekLayer* ref = reference.get();
    alloy = builtIn && layer->isAlloy();

    addNumber(L"Thickness", layer->getThickness());
    // An alloy always names its composition; any other layer keeps one only
    // when it was given one, which the reader still stores.
    const ekLayer* alloyRef = builtIn && layer->isAlloy() ? nullptr : ref;
    if ((builtIn && layer->isAlloy()) || layer->getCompositionX() != 0.0 ||
        layer->getBandgapBowing() != 0.0 || layer->getAffinityBowing() != 0.0) {
        addLayerNumber(L"Composition.x", layer->getCompositionX(),
                       alloyRef ? alloyRef->getCompositionX() : 0, alloyRef);
        addLayerNumber(L"Bandgap.Bowing", layer->getBandgapBowing(),
                       alloyRef ? alloyRef->getBandgapBowing() : 0, alloyRef);
        addLayerNumber(L"Affinity.Bowing", layer->getAffinityBowing(),
                       alloyRef ? alloyRef->getAffinityBowing() : 0, alloyRef);
    }
    addLayerNumber(L"Bandgap", layer->getBandgap(), ref ? ref->getBandgap() : 0, ref);
    addLayerWord(L"BandgapType", layer->isDirect() ? L"1" : L"2",
                 ref && ref->isDirect() ? L"1" : L"2", ref);
    addLayerNumber(L"Affinity", layer->getAffinity(), ref ? ref->getAffinity() : 0, ref);
    addLayerNumber(L"NC", layer->getNC(), ref ? ref->getNC() : 0, ref);
    addLayerNumber(L"NV", layer->getNV(), ref ? ref->getNV() : 0, ref);
    addLayerNumber(L"Permittivity", layer->getEps(), ref ? ref->getEps() : 0, ref);
    addLayerNumber(L"Beta", layer->getBeta(), ref ? ref->getBeta() : 0, ref);
    addLayerNumber(L"Cn", layer->getCn(), ref ? ref->getCn() : 0, ref);
    addLayerNumber(L"Cp", layer->getCp(), ref ? ref->getCp() : 0, ref);
    addLayerNumber(L"Taun", layer->getTaun(), ref ? ref->getTaun() : 0, ref);
    addLayerNumber(L"Taup", layer->getTaup(), ref ? ref->getTaup() : 0, ref);
    addLayerWord(L"Urbach.Enable", yesNo(layer->isUrbach()), yesNo(ref && ref->isUrbach()), ref);
    addLayerNumber(L"Urbach.EA", layer->getUrbachEA(), ref ? ref->getUrbachEA() : 0, ref);
    addLayerNumber(L"Urbach.ED", layer->getUrbachED(), ref ? ref->getUrbachED() : 0, ref);
    addLayerNumber(L"Urbach.GA", layer->getUrbachGA(), ref ? ref->getUrbachGA() : 0, ref);
    addLayerNumber(L"Urbach.GD", layer->getUrbachGD(), ref ? ref->getUrbachGD() : 0, ref);
    addLayerNumber(L"Urbach.TaunA", layer->getUrbachTaunA(), ref ? ref->getUrbachTaunA() : 0, ref);
    addLayerNumber(L"Urbach.TaupA", layer->getUrbachTaupA(), ref ? ref->getUrbachTaupA() : 0, ref);
    addLayerNumber(L"Urbach.TaunD", layer->getUrbachTaunD(), ref ? ref->getUrbachTaunD() : 0, ref);
    addLayerNumber(L"Urbach.TaupD", layer->getUrbachTaupD(), ref ? ref->getUrbachTaupD() : 0, ref);
    addLayerNumber(L"Mobility.N", layer->getMobn(), ref ? ref->getMobn() : 0, ref);
    addLayerNumber(L"Mobility.P", layer->getMobp(), ref ? ref->getMobp() : 0, ref);
    addLayerNumber(L"Lattice.a", layer->getLatticeA(), ref ? ref->getLatticeA() : 0, ref);
    addLayerNumber(L"Lattice.e31", layer->getLatticeE31() * LATTICE_FILE_SCALE,
                   ref ? ref->getLatticeE31() * LATTICE_FILE_SCALE : 0, ref);
    addLayerNumber(L"Lattice.e33", layer->getLatticeE33() * LATTICE_FILE_SCALE,
                   ref ? ref->getLatticeE33() * LATTICE_FILE_SCALE : 0, ref);
    addLayerNumber(L"Lattice.c13", layer->getLatticeC13(), ref ? ref->getLatticeC13() : 0, ref);
    addLayerNumber(L"Lattice.c33", layer->getLatticeC33(), ref ? ref->getLatticeC33() : 0, ref);
    addLayerNumber(L"Lattice.Psp", layer->getPsp() * LATTICE_FILE_SCALE,
                   ref ? ref->getPsp() * LATTICE_FILE_SCALE : 0, ref);
    addLayerDopant(layer);
    addLayerTraps(layer);

    const uint8_t index = layer->getIndexModel();
    if (index == ekRegion::INDEX_FILE && layer->getIndexFile() != nullptr) {
        addText(L"Index.File", layer->getIndexFile());
    } else if (index == ekRegion::INDEX_DATABASE &&
               layer->getDataIndex(nullptr, nullptr, nullptr)) {
        addText(L"Index.Database", L"Yes");
    }
    // The constant pair stays: it is what the layer falls back to.
    addLayerNumber(L"Index.n", layer->getIndexn(), ref ? ref->getIndexn() : 0, ref);
    addLayerNumber(L"Index.k", layer->getIndexk(), ref ? ref->getIndexk() : 0, ref);

    addInteger(L"Mesh.Points", layer->getMeshPoints());
    addLayerModels(layer);
    return true;
}

void ekInputWriter::addLayerNumber(const wchar_t* key, double value, double referenceValue,
                                   const ekLayer* reference)
{
    // The reader derives these from the composition and would only warn.
    if (alloy && ek_isAlloyDerivedKey(key)) {
        return;
    }
    const std::wstring text = nu_numberText(value, -1);
    if (reference != nullptr &&
        wcscasecmp(text.c_str(), nu_numberText(referenceValue, -1).c_str()) == 0) {
        return;
    }
    add(key, text, false);
}

void ekInputWriter::addLayerWord(const wchar_t* key, const wchar_t* value,
                                 const wchar_t* referenceValue, const ekLayer* reference)
{
    if (reference != nullptr && wcscasecmp(value, referenceValue) == 0) {
        return;
    }
    addText(key, value);
}

void ekInputWriter::addLayerDopant(const ekLayer* layer)
{
    const ekLevel* dopant = layer->getDopant();
    if (dopant == nullptr || layer->isDopingScript()) {
        return;
    }
    const uint8_t type = dopant->getType();
    if (type != ekLevel::TYPE_DONOR && type != ekLevel::TYPE_ACCEPTOR) {
        addText(L"Dopant.Type", L"I");
        return;
    }
    addText(L"Dopant.Type", type == ekLevel::TYPE_DONOR ? L"N" : L"P");
    addNumber(L"Dopant.N", dopant->getN());
    addNumber(L"Dopant.Nr", dopant->getNr());
    addNumber(L"Dopant.E", dopant->getE());
    addNumber(L"Dopant.F", dopant->getF());
    addNumber(L"Dopant.Taun", dopant->getTn());
    addNumber(L"Dopant.Taup", dopant->getTp());
}

void ekInputWriter::addLayerTraps(const ekLayer* layer)
{
    if (layer->isTrapScript()) {
        return;  // the trap model makes them
    }
    for (int i = 0; i < layer->getTrapCount(); ++i) {
        const ekLevel* trap = layer->getTrap(i);
        if (trap == nullptr || trap->getN() < TRAP_DENSITY_MIN) {
            continue;
        }
        const std::wstring prefix = L"Trap" + std::to_wstring(i + 1) + L".";
        auto key = [&](const wchar_t* name) { return prefix + name; };
        addText(key(L"Type").c_str(),
                trap->getType() == ekLevel::TYPE_DONOR ? L"Donor" : L"Acceptor");
        addNumber(key(L"N").c_str(), trap->getN());
        addNumber(key(L"Nr").c_str(), trap->getNr());
        addNumber(key(L"Taun").c_str(), trap->getTn());
        addNumber(key(L"Taup").c_str(), trap->getTp());
        addNumber(key(L"E").c_str(), trap->getE());
        addNumber(key(L"F").c_str(), trap->getF());
    }
}

void ekInputWriter::addLayerModels(const ekLayer* layer)
{
    auto script = [&](const wchar_t* key, const wchar_t* name) {
        if (name != nullptr && name[0] != L'\0') {
            addText(key, name);
        }
    };
    if (layer->isMobilityScript()) {
        script(L"Mobility.Model", layer->getMobilityScript());
    }
    if (layer->isLatticeScript()) {
        script(L"Lattice.Model", layer->getLatticeScript());
    }
    if (layer->isIndexScript()) {
        script(L"Index.Model", layer->getIndexScript());
    }
    if (layer->isBandgapScript()) {
        script(L"Bandgap.Model", layer->getBandgapScript());
    }
    if (layer->isPermittivityScript()) {
        script(L"Permittivity.Model", layer->getPermittivityScript());
    }
    if (layer->isDopingScript()) {
        script(L"Dopant.Model", layer->getDopingScript());
    }
    if (layer->isTrapScript() && layer->getTrapCount() > 0) {
        script(L"Trap.Model", layer->getTrapScript());
        addInteger(L"Trap.Count", layer->getTrapCount());
    }
    if (layer->isRecombinationScript()) {
        script(L"Recombination.Model", layer->getRecombinationScript());
    }
}
