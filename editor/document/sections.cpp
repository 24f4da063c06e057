// Constructors of the contacts and the fixed sections, from their tables.
#include "sections.h"

#include <cstdio>
#include <cstring>

#include "kovbase.h"

const int ContactColors[2][3] = {{192, 192, 192}, {210, 200, 150}};

namespace {

// One row of a section table: the record's name, its kind and value, its
// range, step and unit, and whether it is live (written with every file).
struct Row {
    const char* name;
    int type;
    double value;
    double minimum;
    double maximum;
    double step;
    const char* unit;
    const char* text;  // default of a text record
    bool live;
};

constexpr int T = PARAM_TEXT;
constexpr int R = PARAM_REAL;
constexpr int I = PARAM_INTEGER;
constexpr int E = PARAM_EMPTY;

const Row CONTACT_ROWS[] = {
    {"Name", T, 0, 0, 0, 0, "", nullptr, false},  // the contact's own name
    {"Type", T, 0, 0, 0, 0, "", "Ohmic", true},
    {"Rn", R, 1e7, 0, 1e9, 1000, "cm/s", nullptr, false},  // the engine reads velocities in cm/s
    {"Rp", R, 1e7, 0, 1e9, 1000, "cm/s", nullptr, false},
    {"Phi", R, 0, 0, 10, 0.1, "eV", nullptr, true},
    {"Tunnel", I, 0, 0, 0, 0, "", nullptr, false},
    {"Thickness", R, 0.01, 0.001, 1000, 0.001, "um", nullptr, false},
    {"Index.n", R, 1, 1, 10, 0.1, "", nullptr, false},
    {"Index.k", R, 0, 0, 10, 0.01, "", nullptr, false},
    {"Index.Model", T, 0, 0, 0, 0, "", "None", false},
    {"Material", T, 0, 0, 0, 0, "", "Al", false},
    {"Boundary", T, 0, 0, 0, 0, "", "Neumann", true},
};

const Row VOLTAGE_ROWS[] = {
    {"Source", T, 0, 0, 0, 0, "", "Sweep", true},
    {"Start", R, 0, -100, 100, 0.1, "V", nullptr, true},
    {"End", R, 1, -100, 100, 0.1, "V", nullptr, true},
    {"Step", R, 0.01, 0, 10, 0.01, "V", nullptr, true},
    {"Points", I, 100, 1, 1001, 10, "", nullptr, false},
    {"Jinf", R, -1000, -100000, 100000, 0.1, "A/cm2", nullptr, true},
    {"Jsup", R, 1000, -100000, 100000, 0.1, "A/cm2", nullptr, true},
};

const Row LIGHT_ROWS[] = {
    {"Source", T, 0, 0, 0, 0, "", "None", true},
    {"Start", R, 0.2, 0.1, 10, 0.01, "um", nullptr, true},
    {"Wavelength", R, 0.2, 0.1, 10, 0.01, "um", nullptr, false},
    {"End", R, 1.2, 0.1, 10, 0.01, "um", nullptr, true},
    {"Step", R, 0.01, 0.0001, 10, 0.0001, "um", nullptr, true},
    {"Points", I, 100, 1, 1001, 10, "", nullptr, false},
    {"Flux", R, 1e15, 0, 1e32, 1e15, "1/cm2/s", nullptr, true},
    {nullptr, E, 0, 0, 0, 0, "", nullptr, false},  // Light.Propagation's empty slot
};

const Row NUMERIC_ROWS[] = {
    {"SaveFull", T, 0, 0, 0, 0, "", "No", true},
    {"Method", T, 0, 0, 0, 0, "", "Gummel", true},
    {"InnermostSolver", T, 0, 0, 0, 0, "", "tfqmr", true},
    {"Points", I, 100, 50, 20000, 1, "", nullptr, true},
    {"Mesh", T, 0, 0, 0, 0, "", "Uniform", true},
    {"Guess", T, 0, 0, 0, 0, "", "", true},
    {"Tol", R, 1e-4, 1e-15, 1, 1e-15, "", nullptr, true},
    {"Damp", R, 0.2, 0, 10, 0.01, "", nullptr, true},
};

const Row COMMAND_ROWS[] = {
    {"Plot", T, 0, 0, 0, 0, "", "No", true},
    {"OutDir", T, 0, 0, 0, 0, "", "", true},
    {"OutDirDate", T, 0, 0, 0, 0, "", "No", true},
};

void fillRecord(ParamRecord* record, const char* prefix, int number, const Row& row)
{
    if (row.type == E)
        return;
    char key[PARAM_KEY_SIZE];
    if (prefix != nullptr)
        std::snprintf(key, sizeof key, "%s.%s", prefix, row.name);
    else
        kov_copyA(key, sizeof key, row.name);
    if (row.type == T)
        Param_setText(record, key, number, row.text != nullptr ? row.text : "");
    else if (row.type == R)
        Param_setReal(record, key, number, row.value, row.minimum, row.maximum, row.step, row.unit);
    else
        Param_setInteger(record, key, number, static_cast<int>(row.value),
                         static_cast<int>(row.minimum), static_cast<int>(row.maximum),
                         static_cast<int>(row.step), row.unit);
    record->revision = row.live ? 2 : 0;
}

// Allocates count records into slots and fills them; false (with every
// record freed) when memory runs out.
bool makeRecords(ParamRecord** slots, const Row* rows, int count, const char* prefix)
{
    for (int i = 0; i < count; ++i) {
        slots[i] = Param_alloc();
        if (slots[i] == nullptr) {
            for (int j = 0; j < i; ++j)
                Param_free(&slots[j]);
            return false;
        }
        fillRecord(slots[i], prefix, i, rows[i]);
    }
    return true;
}

template <size_t N>
ParamSection* makeSection(const char* name, const Row (&rows)[N])
{
    auto* section = static_cast<ParamSection*>(kov_MemoryAlloc(sizeof(ParamSection)));
    if (section == nullptr)
        return nullptr;
    std::memset(section, 0, sizeof *section);
    kov_copyA(section->name, sizeof section->name, name);
    section->count = static_cast<int>(N);
    if (!makeRecords(section->records, rows, static_cast<int>(N), name)) {
        kov_MemoryFreeT(&section);
        return nullptr;
    }
    return section;
}

}  // namespace

Contact* Contact_create(const char* name)
{
    auto* contact = static_cast<Contact*>(kov_MemoryAlloc(sizeof(Contact)));
    if (contact == nullptr)
        return nullptr;
    std::memset(contact, 0, sizeof *contact);
    kov_copyA(contact->name, sizeof contact->name, name);
    contact->count = CONTACT_RECORDS;
    if (!makeRecords(contact->records, CONTACT_ROWS, CONTACT_RECORDS, name)) {
        kov_MemoryFreeT(&contact);
        return nullptr;
    }
    contact->records[0]->value.text.assign(name != nullptr ? name : "", PARAM_TEXT_MAX);
    Contact_updateColor(contact);
    return contact;
}

ParamSection* VoltageSection_create(const char* name)
{
    return makeSection(name, VOLTAGE_ROWS);
}

ParamSection* LightSection_create(const char* name)
{
    ParamSection* section = makeSection(name, LIGHT_ROWS);
    // A wavelength entered alone is the start of the sweep.
    if (section != nullptr)
        section->records[2]->alias = section->records[1];
    return section;
}

ParamSection* NumericSection_create(const char* name)
{
    return makeSection(name, NUMERIC_ROWS);
}

ParamSection* CommandSection_create(const char* name)
{
    return makeSection(name, COMMAND_ROWS);
}

void Contact_free(Contact** contact)
{
    if (contact == nullptr || *contact == nullptr)
        return;
    for (int i = 0; i < (*contact)->count; ++i)
        Param_free(&(*contact)->records[i]);
    kov_MemoryFreeT(contact);
}

void ParamSection_free(ParamSection** section)
{
    if (section == nullptr || *section == nullptr)
        return;
    for (int i = 0; i < (*section)->count; ++i)
        Param_free(&(*section)->records[i]);
    kov_MemoryFreeT(section);
}

void Contact_updateColor(Contact* contact)
{
    if (contact == nullptr)
        return;
    const int row = contact->schottky != 0 ? 1 : 0;
    for (int c = 0; c < 3; ++c)
        contact->color[c] = ContactColors[row][c];
}
