// Constructors of the contacts and the fixed sections, from their tables.
#include "sections.h"

#include <cstdio>
#include <cstring>

#include "kovbase.h"

const int ContactColors[2][3] = {{192, 192, 192}, {210, 200, 150}};

namespace {

// One row of a section table: the record's name, its kind and value, its
// step, and whether it is live (written with every file). A number's range,
// unit and out-of-range rule are those the engine reads the file with
// (kovKeyLimits.h).
struct Row {
    const char* name;
    int type;
    double value;
    double step;
    const char* text;  // default of a text record
    bool live;
};

constexpr int T = PARAM_TEXT;
constexpr int NUM = PARAM_REAL;  // a number: real or integer as the key table says
constexpr int E = PARAM_EMPTY;

const Row CONTACT_ROWS[] = {
    {"Name", T, 0, 0, nullptr, false},  // the contact's own name
    {"Type", T, 0, 0, "Ohmic", true},         {"Rn", NUM, 1e7, 1000, nullptr, false},
    {"Rp", NUM, 1e7, 1000, nullptr, false},   {"Phi", NUM, 0, 0.1, nullptr, true},
    {"Tunnel", NUM, 0, 1, nullptr, false},    {"Thickness", NUM, 0.01, 0.001, nullptr, false},
    {"Index.n", NUM, 1, 0.1, nullptr, false}, {"Index.k", NUM, 0, 0.01, nullptr, false},
    {"Index.Model", T, 0, 0, "None", false},  {"Material", T, 0, 0, "Al", false},
    {"Boundary", T, 0, 0, "Neumann", true},
};

const Row VOLTAGE_ROWS[] = {
    {"Source", T, 0, 0, "Sweep", true},       {"Start", NUM, 0, 0.1, nullptr, true},
    {"End", NUM, 1, 0.1, nullptr, true},      {"Step", NUM, 0.01, 0.01, nullptr, true},
    {"Points", NUM, 100, 10, nullptr, false}, {"Jinf", NUM, -1000, 0.1, nullptr, true},
    {"Jsup", NUM, 1000, 0.1, nullptr, true},
};

const Row LIGHT_ROWS[] = {
    {"Source", T, 0, 0, "None", true},
    {"Start", NUM, 0.2, 0.01, nullptr, true},
    {"Wavelength", NUM, 0.2, 0.01, nullptr, false},
    {"End", NUM, 1.2, 0.01, nullptr, true},
    {"Step", NUM, 0.01, 0.0001, nullptr, true},
    {"Points", NUM, 100, 10, nullptr, false},
    {"Flux", NUM, 1e15, 1e15, nullptr, true},
    {nullptr, E, 0, 0, nullptr, false},  // Light.Propagation's empty slot
};

const Row NUMERIC_ROWS[] = {
    {"SaveFull", T, 0, 0, "No", true},           {"Method", T, 0, 0, "Gummel", true},
    {"InnermostSolver", T, 0, 0, "tfqmr", true}, {"Points", NUM, 100, 1, nullptr, true},
    {"Mesh", T, 0, 0, "Uniform", true},          {"Guess", T, 0, 0, "", true},
    {"Tol", NUM, 1e-4, 1e-15, nullptr, true},    {"Damp", NUM, 0.2, 0.01, nullptr, true},
};

const Row COMMAND_ROWS[] = {
    {"Plot", T, 0, 0, "No", true},
    {"OutDir", T, 0, 0, "", true},
    {"OutDirDate", T, 0, 0, "No", true},
};

void fillRecord(ParamRecord* record, KovKeySection kind, const char* prefix, int number,
                const Row& row)
{
    if (row.type == E) {
        return;
    }
    char key[PARAM_KEY_SIZE];
    if (prefix != nullptr) {
        std::snprintf(key, sizeof key, "%s.%s", prefix, row.name);
    } else {
        kov_copyA(key, sizeof key, row.name);
    }
    if (row.type == T) {
        Param_setText(record, key, number, row.text != nullptr ? row.text : "");
    } else {
        // Contact keys stand in the table after the contact's name; the
        // other sections' keys carry their section's name.
        static constexpr const char* SECTION_NAMES[] = {"Device",  "",      "",
                                                        "Voltage", "Light", "Numeric"};
        char tableKey[PARAM_KEY_SIZE];
        if (kind == KovKeySection::CONTACT) {
            kov_copyA(tableKey, sizeof tableKey, row.name);
        } else {
            std::snprintf(tableKey, sizeof tableKey, "%s.%s", SECTION_NAMES[static_cast<int>(kind)],
                          row.name);
        }
        Param_setLimited(record, key, number, row.value, row.step,
                         kov_findKeyLimit(kind, tableKey));
    }
    record->revision = row.live ? 2 : 0;
}

// Allocates count records into slots and fills them; false (with every
// record freed) when memory runs out.
bool makeRecords(ParamRecord** slots, const Row* rows, int count, KovKeySection kind,
                 const char* prefix)
{
    for (int i = 0; i < count; ++i) {
        slots[i] = Param_alloc();
        if (slots[i] == nullptr) {
            for (int j = 0; j < i; ++j) {
                Param_free(&slots[j]);
            }
            return false;
        }
        fillRecord(slots[i], kind, prefix, i, rows[i]);
    }
    return true;
}

template <size_t N>
ParamSection* makeSection(const char* name, KovKeySection kind, const Row (&rows)[N])
{
    auto* section = static_cast<ParamSection*>(kov_MemoryAlloc(sizeof(ParamSection)));
    if (section == nullptr) {
        return nullptr;
    }
    std::memset(section, 0, sizeof *section);
    kov_copyA(section->name, sizeof section->name, name);
    section->count = static_cast<int>(N);
    if (!makeRecords(section->records, rows, static_cast<int>(N), kind, name)) {
        kov_MemoryFreeT(&section);
        return nullptr;
    }
    return section;
}

}  // namespace

Contact* Contact_create(const char* name)
{
    auto* contact = static_cast<Contact*>(kov_MemoryAlloc(sizeof(Contact)));
    if (contact == nullptr) {
        return nullptr;
    }
    std::memset(contact, 0, sizeof *contact);
    kov_copyA(contact->name, sizeof contact->name, name);
    contact->count = CONTACT_RECORDS;
    if (!makeRecords(contact->records, CONTACT_ROWS, CONTACT_RECORDS, KovKeySection::CONTACT,
                     name)) {
        kov_MemoryFreeT(&contact);
        return nullptr;
    }
    contact->records[0]->value.text.assign(name != nullptr ? name : "", PARAM_TEXT_MAX);
    Contact_updateColor(contact);
    return contact;
}

ParamSection* VoltageSection_create(const char* name)
{
    return makeSection(name, KovKeySection::VOLTAGE, VOLTAGE_ROWS);
}

ParamSection* LightSection_create(const char* name)
{
    ParamSection* section = makeSection(name, KovKeySection::LIGHT, LIGHT_ROWS);
    // A wavelength entered alone is the start of the sweep.
    if (section != nullptr) {
        section->records[2]->alias = section->records[1];
    }
    return section;
}

ParamSection* NumericSection_create(const char* name)
{
    return makeSection(name, KovKeySection::NUMERIC, NUMERIC_ROWS);
}

ParamSection* CommandSection_create(const char* name)
{
    return makeSection(name, KovKeySection::NUMERIC, COMMAND_ROWS);
}

void Contact_free(Contact** contact)
{
    if (contact == nullptr || *contact == nullptr) {
        return;
    }
    for (int i = 0; i < (*contact)->count; ++i) {
        Param_free(&(*contact)->records[i]);
    }
    kov_MemoryFreeT(contact);
}

void ParamSection_free(ParamSection** section)
{
    if (section == nullptr || *section == nullptr) {
        return;
    }
    for (int i = 0; i < (*section)->count; ++i) {
        Param_free(&(*section)->records[i]);
    }
    kov_MemoryFreeT(section);
}

void Contact_updateColor(Contact* contact)
{
    if (contact == nullptr) {
        return;
    }
    const int row = contact->schottky != 0 ? 1 : 0;
    for (int c = 0; c < 3; ++c) {
        contact->color[c] = ContactColors[row][c];
    }
}
