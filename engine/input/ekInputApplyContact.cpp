// Device-file reader: the anode and the cathode. The two differ only in
// their keys' prefix, the layer they touch and two rules of the kind: the
// anode keeps a kind the file names, the cathode turns Schottky whenever a
// barrier is given.
#include <cwchar>

#include "ElecDevice.h"
#include "ekFormat.h"
#include "ekContact.h"
#include "ekHelpers.h"
#include "ekInputReader.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr const wchar_t* DEFAULT_CONTACT = L"Cx";
constexpr size_t CONTACT_MATERIAL_LENGTH = 15;

}  // namespace

bool ekInputReader::applyContact(bool anode)
{
    const wchar_t* section = anode ? L"Anode" : L"Cathode";
    const wchar_t* lower = anode ? L"anode" : L"cathode";
    const int position = anode ? ekInput::SECTION_ANODE : ekInput::SECTION_CATHODE;
    const int line = headerLine(position);
    ekContact* contact = anode ? device->getAnode() : device->getCathode();
    if (contact == nullptr) {
        setLineOut(0);
        sigma->error(L"invalid semiconductor device");
        return false;
    }
    auto key = [&](const wchar_t* name) { return ek_format(L"%ls.%ls", section, name); };

    uint8_t type = ekContact::TYPE_OHMIC;
    bool typeByFile = false;
    std::wstring word;
    if (!checkWord(section, key(L"Type").c_str(), {L"Schottky", L"Ohmic"}) ||
        !checkWord(section, key(L"Tunnel").c_str(), {L"1", L"Yes", L"Y", L"0", L"No", L"N"}) ||
        !checkWord(section, key(L"Boundary").c_str(), {L"Neumann", L"Dirichlet"}) ||
        !checkRange(section, key(L"Phi").c_str()) || !checkRange(section, key(L"Rn").c_str()) ||
        !checkRange(section, key(L"Rp").c_str()) || !checkRange(section, key(L"Index.n").c_str()) ||
        !checkRange(section, key(L"Index.k").c_str()) ||
        !checkRange(section, key(L"Thickness").c_str())) {
        return false;
    }
    if (text(section, key(L"Type").c_str(), &word)) {
        if (isWord(word, {L"Schottky"})) {
            type = ekContact::TYPE_SCHOTTKY;
            typeByFile = true;
        } else if (isWord(word, {L"Ohmic"})) {
            type = ekContact::TYPE_OHMIC;
            typeByFile = anode;
        }
    }
    double phi = 0.0;
    const bool hasPhi = real(section, key(L"Phi").c_str(), &phi);
    if (hasPhi && phi >= ekContact::BARRIER_THRESHOLD && !typeByFile) {
        type = ekContact::TYPE_SCHOTTKY;
    }
    if (type == ekContact::TYPE_SCHOTTKY && !hasPhi) {
        const int at = keyLine(section, key(L"Type").c_str());
        return fail(at, ek_format(L"Schottky contact without its barrier at line %d: %ls needs "
                                  L"%ls.Phi (the barrier height in eV, counted from the "
                                  L"conduction band)",
                                  at + 1, written(section, key(L"Type").c_str()).c_str(), section));
    }
    double Rn = ekContact::DEFAULT_VELOCITY, Rp = ekContact::DEFAULT_VELOCITY;
    real(section, key(L"Rn").c_str(), &Rn);
    real(section, key(L"Rp").c_str(), &Rp);
    // An ohmic contact holds both quasi-Fermi levels at the applied bias,
    // an infinite surface recombination: a finite velocity there would
    // describe a contact the run does not simulate.
    if (type == ekContact::TYPE_OHMIC) {
        for (const wchar_t* name : {L"Rn", L"Rp"}) {
            if (has(section, key(name).c_str())) {
                unusedValue(section, key(name).c_str(),
                            L"an ohmic contact recombines without limit; surface recombination "
                            L"velocities apply to a Schottky contact");
            }
        }
    }
    bool tunnel = false;
    if (text(section, key(L"Tunnel").c_str(), &word)) {
        tunnel = isWord(word, {L"1", L"Yes", L"Y"});
    }
    double thickness = 0.0, n = 1.0, k = 0.0;
    real(section, key(L"Thickness").c_str(), &thickness);
    real(section, key(L"Index.n").c_str(), &n);
    real(section, key(L"Index.k").c_str(), &k);
    std::wstring material = DEFAULT_CONTACT;
    if (text(section, key(L"Material").c_str(), &word)) {
        if (ekContact::isStandardMaterial(word.substr(0, CONTACT_MATERIAL_LENGTH).c_str(),
                                          nullptr)) {
            material = word.substr(0, CONTACT_MATERIAL_LENGTH);
        } else if (!isWord(word, {DEFAULT_CONTACT})) {
            return refuseValue(section, key(L"Material").c_str(),
                               L"Cx (no metal film), Al, Ag, Au, Cu, Ni, Pt, Ti");
        }
    }

    if (anode) {
        device->setAnodeLuaEngine();
    } else {
        device->setCathodeLuaEngine();
    }
    std::wstring path;
    if (text(section, key(L"Index.Model").c_str(), &path) &&
        ek_endsWithW(path.c_str(), L".lua") != 0) {
        if (!scriptFile(section, key(L"Index.Model").c_str(), &path)) {
            return false;
        }
        contact->updateIndexScript(path.c_str(), true);
        info(ek_format(L"[INFO]    %ls index model: \"%ls\"\n", lower, path.c_str()));
    } else if (text(section, key(L"Index.File").c_str(), &path) &&
               ek_endsWithW(path.c_str(), L".nk") != 0) {
        if (kov_fileExistsW(resolvePath(path).c_str())) {
            path = resolvePath(path);
        }
        contact->updateIndexFile(path.c_str(), true);
        info(ek_format(L"[INFO]    %ls index file: \"%ls\"\n", lower, path.c_str()));
    }
    if (sigma->err != 0) {
        return failReported(line);
    }

    uint8_t boundary = contact->getBoundary();
    bool boundarySet = false;
    if (text(section, key(L"Boundary").c_str(), &word)) {
        if (isWord(word, {L"Neumann"})) {
            boundary = ekContact::BOUNDARY_NEUMANN;
        } else if (isWord(word, {L"Dirichlet"})) {
            boundary = ekContact::BOUNDARY_DIRICHLET;
        } else {
            return fail(line, ek_format(L"invalid syntax at line %d: the boundary "
                                        L"condition should be Neumann or Dirichlet",
                                        line + 1));
        }
        boundarySet = true;
    }

    ekLayer* layer = anode ? device->getFirstLayer() : device->getLastLayer();
    contact->update(DEFAULT_CONTACT, phi, Rn, Rp, type, nullptr, layer, 0);
    contact->setTunnel(tunnel);
    if (anode) {
        device->updateAnodeIndex(material.c_str(), thickness, n, k);
    } else {
        device->updateCathodeIndex(material.c_str(), thickness, n, k);
    }
    // A refused contact must end the load before the warnings below clear
    // the channel's status.
    if (sigma->err != 0) {
        return failReported(line);
    }

    if (boundarySet) {
        contact->setBoundary(boundary);
        contact->setBoundarySet(true);
        const bool neumann = boundary == ekContact::BOUNDARY_NEUMANN;
        warn(ek_format(L"[WARNING] setting the %ls boundary condition to %ls is suitable for %ls "
                       L"electric field at the contact (at equilibrium)\n",
                       lower, neumann ? L"Neumann" : L"Dirichlet", neumann ? L"zero" : L"nonzero"));
        ek_resetSigma(sigma);
    }
    info(std::wstring(anode ? L"[INFO]    [Anode]:   Phi = " : L"[INFO]    [Cathode]: Phi = ") +
         nu_numberText(contact->getPhi()) + L" eV   Rn = " + nu_numberText(contact->getRn()) +
         L" cm/s   Rp = " + nu_numberText(contact->getRp()) + L" cm/s\n");
    return true;
}
