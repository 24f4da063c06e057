// The two contacts and the four fixed sections (Voltage, Light, Numeric,
// Command) of a device, each a fixed set of records whose keys, defaults,
// ranges and units are the vocabulary of their device-file sections.
#pragma once

#include "param.h"

constexpr int CONTACT_RECORDS = 12;
constexpr int CONTACT_SCHOTTKY = 16;

struct Contact {
    char name[32];
    int schottky;  // CONTACT_SCHOTTKY or 0 (ohmic)
    int color[3];
    int canvasRect[4];
    int count;
    ParamRecord* records[CONTACT_RECORDS];
};

constexpr int SECTION_RECORDS_MAX = 8;

struct ParamSection {
    char name[32];
    int count;
    ParamRecord* records[SECTION_RECORDS_MAX];
};

// Display colours of an ohmic (row 0) and a Schottky (row 1) contact.
extern const int ContactColors[2][3];

// With a null name the keys are the record names alone.
Contact* Contact_create(const char* name);
ParamSection* VoltageSection_create(const char* name);
ParamSection* LightSection_create(const char* name);
ParamSection* NumericSection_create(const char* name);
ParamSection* CommandSection_create(const char* name);

void Contact_free(Contact** contact);
void ParamSection_free(ParamSection** section);
inline void VoltageSection_free(ParamSection** s) { ParamSection_free(s); }
inline void LightSection_free(ParamSection** s) { ParamSection_free(s); }
inline void NumericSection_free(ParamSection** s) { ParamSection_free(s); }
inline void CommandSection_free(ParamSection** s) { ParamSection_free(s); }

void Contact_updateColor(Contact* contact);
