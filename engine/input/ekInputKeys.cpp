// The vocabulary of the device file: section kinds and key tables, in the
// order the writer follows, and the lookups the reader uses on them.
#include <cstdio>
#include <cwchar>
#include <cwctype>

#include "ekInput.h"

namespace {

constexpr int R = ekInput::TYPE_REAL;
constexpr int I = ekInput::TYPE_INTEGER;
constexpr int T = ekInput::TYPE_TEXT;

}  // namespace

const _ekRecord ekInput::RECORD_DEVICE[] = {
    {L"Name", T}, {L"Temperature", R}, {L"Polarization.Scale", R}, {nullptr, 0}};

// Anode.Type is text where Cathode.Type is real, and both Material keys are
// typed real although they hold names: files written so far rely on it.
const _ekRecord ekInput::RECORD_ANODE[] = {{L"Anode.Name", T},
                                           {L"Anode.Type", T},
                                           {L"Anode.Rn", R},
                                           {L"Anode.Rp", R},
                                           {L"Anode.Phi", R},
                                           {L"Anode.Tunnel", R},
                                           {L"Anode.Thickness", R},
                                           {L"Anode.Index.n", R},
                                           {L"Anode.Index.k", R},
                                           {L"Anode.Material", R},
                                           {L"Anode.Boundary", T},
                                           {L"Anode.Index.Model", T},
                                           {L"Anode.Index.File", T},
                                           {L"Anode.Index.Database", T},
                                           {nullptr, 0}};

const _ekRecord ekInput::RECORD_CATHODE[] = {{L"Cathode.Name", T},
                                             {L"Cathode.Type", R},
                                             {L"Cathode.Rn", R},
                                             {L"Cathode.Rp", R},
                                             {L"Cathode.Phi", R},
                                             {L"Cathode.Tunnel", R},
                                             {L"Cathode.Thickness", R},
                                             {L"Cathode.Index.n", R},
                                             {L"Cathode.Index.k", R},
                                             {L"Cathode.Material", R},
                                             {L"Cathode.Boundary", T},
                                             {L"Cathode.Index.Model", T},
                                             {L"Cathode.Index.File", T},
                                             {L"Cathode.Index.Database", T},
                                             {nullptr, 0}};

// Dopant.F stands twice (55 and 59); lookups find the first.
const _ekRecord ekInput::RECORD_LAYER[] = {{L"Name", T},
                                           {L"Label", T},
                                           {L"Material", T},
                                           {L"Thickness", R},
                                           {L"Bandgap", R},
                                           {L"BandgapType", T},
                                           {L"Affinity", R},
                                           {L"Permittivity", R},
                                           {L"NC", R},
                                           {L"NV", R},
                                           {L"Eso", R},
                                           {L"Me", R},
                                           {L"Mhh", R},
                                           {L"Mlh", R},
                                           {L"Msh", R},
                                           {L"Beta", R},
                                           {L"Cn", R},
                                           {L"Cp", R},
                                           {L"Taun", R},
                                           {L"Taup", R},
                                           {L"Composition.x", R},
                                           {L"Composition.y", R},
                                           {L"Bandgap.Bowing", R},
                                           {L"Affinity.Bowing", R},
                                           {L"Lattice.Type", T},
                                           {L"Lattice.a", R},
                                           {L"Lattice.b", R},
                                           {L"Lattice.c", R},
                                           {L"Lattice.e31", R},
                                           {L"Lattice.e33", R},
                                           {L"Lattice.c11", R},
                                           {L"Lattice.c12", R},
                                           {L"Lattice.c13", R},
                                           {L"Lattice.c33", R},
                                           {L"Lattice.Psp", R},
                                           {L"Tunnel.Model", R},
                                           {L"Urbach.Enable", T},
                                           {L"Urbach.EA", R},
                                           {L"Urbach.ED", R},
                                           {L"Urbach.GA", R},
                                           {L"Urbach.GD", R},
                                           {L"Urbach.TaunA", R},
                                           {L"Urbach.TaupA", R},
                                           {L"Urbach.TaunD", R},
                                           {L"Urbach.TaupD", R},
                                           {L"Index.n", R},
                                           {L"Index.k", R},
                                           {L"Therm.C", R},
                                           {L"Therm.Heat", R},
                                           {L"Mobility.N", R},
                                           {L"Mobility.P", R},
                                           {L"Dopant.Type", R},
                                           {L"Dopant.N", R},
                                           {L"Dopant.Nr", R},
                                           {L"Dopant.E", R},
                                           {L"Dopant.F", R},
                                           {L"Dopant.W", R},
                                           {L"Dopant.Taun", R},
                                           {L"Dopant.Taup", R},
                                           {L"Dopant.F", R},
                                           {L"Trap1.Type", R},
                                           {L"Trap1.N", R},
                                           {L"Trap1.Nr", R},
                                           {L"Trap1.E", R},
                                           {L"Trap1.F", R},
                                           {L"Trap1.W", R},
                                           {L"Trap1.Taun", R},
                                           {L"Trap1.Taup", R},
                                           {L"Trap2.Type", R},
                                           {L"Trap2.N", R},
                                           {L"Trap2.Nr", R},
                                           {L"Trap2.E", R},
                                           {L"Trap2.F", R},
                                           {L"Trap2.W", R},
                                           {L"Trap2.Taun", R},
                                           {L"Trap2.Taup", R},
                                           {L"Trap3.Type", R},
                                           {L"Trap3.N", R},
                                           {L"Trap3.Nr", R},
                                           {L"Trap3.E", R},
                                           {L"Trap3.F", R},
                                           {L"Trap3.W", R},
                                           {L"Trap3.Taun", R},
                                           {L"Trap3.Taup", R},
                                           {L"Trap4.Type", R},
                                           {L"Trap4.N", R},
                                           {L"Trap4.Nr", R},
                                           {L"Trap4.E", R},
                                           {L"Trap4.F", R},
                                           {L"Trap4.W", R},
                                           {L"Trap4.Taun", R},
                                           {L"Trap4.Taup", R},
                                           {L"Trap5.Type", R},
                                           {L"Trap5.N", R},
                                           {L"Trap5.Nr", R},
                                           {L"Trap5.E", R},
                                           {L"Trap5.F", R},
                                           {L"Trap5.W", R},
                                           {L"Trap5.Taun", R},
                                           {L"Trap5.Taup", R},
                                           {L"Index.Model", T},
                                           {L"Mobility.Model", T},
                                           {L"Bandgap.Model", T},
                                           {L"Dopant.Model", T},
                                           {L"Trap.Model", T},
                                           {L"Trap.Count", I},
                                           {L"Permittivity.Model", T},
                                           {L"Recombination.Model", T},
                                           {L"Lattice.Model", T},
                                           {L"Index.File", T},
                                           {L"Index.Database", T},
                                           {L"Mesh.Points", I},
                                           {nullptr, 0}};

const _ekRecord ekInput::RECORD_VOLTAGE[] = {
    {L"Voltage.Source", T}, {L"Voltage.Start", R}, {L"Voltage.End", R},    {L"Voltage.Step", R},
    {L"Voltage.Jinf", R},   {L"Voltage.Jsup", R},  {L"Voltage.Points", I}, {nullptr, 0}};

const _ekRecord ekInput::RECORD_LIGHT[] = {
    {L"Light.Source", T}, {L"Light.Wavelength", R},  {L"Light.Start", R},
    {L"Light.End", R},    {L"Light.Step", R},        {L"Light.Points", I},
    {L"Light.Flux", R},   {L"Light.Propagation", T}, {nullptr, 0}};

const _ekRecord ekInput::RECORD_NUMERIC[] = {
    {L"Numeric.Verbose", T}, {L"Numeric.SaveFull", T},
    {L"Numeric.Method", T},  {L"Numeric.InnermostSolver", T},
    {L"Numeric.Tol", R},     {L"Numeric.Damp", R},
    {L"Numeric.Mesh", T},    {L"Numeric.Points", I},
    {L"Numeric.Guess", T},   {nullptr, 0}};

const _ekRecord ekInput::RECORD_COMMAND[] = {
    {L"Command.OutDir", T}, {L"Command.OutDirDate", T}, {L"Command.Plot", T}, {nullptr, 0}};

const _ekSection ekInput::SECTION[] = {{0, L"Device", RECORD_DEVICE},
                                       {1, L"Anode", RECORD_ANODE},
                                       {2, L"Layer1", RECORD_LAYER},
                                       {2, L"Layer2", RECORD_LAYER},
                                       {2, L"Layer3", RECORD_LAYER},
                                       {2, L"Layer4", RECORD_LAYER},
                                       {2, L"Layer5", RECORD_LAYER},
                                       {2, L"Layer6", RECORD_LAYER},
                                       {2, L"Layer7", RECORD_LAYER},
                                       {2, L"Layer8", RECORD_LAYER},
                                       {2, L"Layer9", RECORD_LAYER},
                                       {11, L"Cathode", RECORD_CATHODE},
                                       {12, L"Voltage", RECORD_VOLTAGE},
                                       {13, L"Light", RECORD_LIGHT},
                                       {14, L"Numeric", RECORD_NUMERIC},
                                       {15, L"Command", RECORD_COMMAND},
                                       {-1, nullptr, nullptr}};

namespace {

// The vocabulary is plain ASCII and is matched with ASCII folding alone:
// no other letter of a file may pass for one of its names, whatever the
// locale's idea of case.
wchar_t foldCase(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool equalsAsciiNoCase(const wchar_t* a, const wchar_t* b)
{
    for (; *a && *b; ++a, ++b) {
        if (foldCase(*a) != foldCase(*b)) {
            return false;
        }
    }
    return *a == *b;
}

}  // namespace

int ekInput::sectionIndex(const wchar_t* name)
{
    if (name == nullptr) {
        return -1;
    }
    for (int i = 0; i < SECTIONCOUNT; ++i) {
        if (equalsAsciiNoCase(SECTION[i].name, name)) {
            return i;
        }
    }
    return -1;
}

int ekInput::sectionRecordCount(int section)
{
    if (section < 0 || section >= SECTIONCOUNT) {
        return 0;
    }
    int count = 0;
    while (SECTION[section].records[count].key != nullptr) {
        ++count;
    }
    return count;
}

int ekInput::keyIndex(const wchar_t* section, const wchar_t* key, bool* isText)
{
    const int position = sectionIndex(section);
    if (position < 0 || key == nullptr) {
        return -1;
    }
    const _ekRecord* records = SECTION[position].records;
    for (int i = 0; records[i].key != nullptr; ++i) {
        if (equalsAsciiNoCase(records[i].key, key)) {
            if (isText != nullptr) {
                *isText = (records[i].type == TYPE_TEXT);
            }
            return i;
        }
    }
    return -1;
}

void ekInput::normalizeKey(int section, wchar_t* key, size_t keySize)
{
    if (key == nullptr || section < 0 || section >= SECTIONCOUNT) {
        return;
    }
    // [Device] and layer keys are bare; the other sections spell theirs with
    // the section name in front.
    const bool bare =
        section == SECTION_DEVICE || (section >= SECTION_LAYER1 && section <= SECTION_LAYER9);
    foConfig::normalizeKey(SECTION[section].name, bare, key,
                           keySize < KEY_WORK_SIZE ? keySize : KEY_WORK_SIZE);
}
