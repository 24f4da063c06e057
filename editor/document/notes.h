// Comment lines of a device file that are no record's comment (a block
// above a section header or a key, a note beside a variable, the end of
// the file): kept with the place they stood at and written back there, so
// that opening and saving a file loses none of them.
#pragma once

#include <cstdio>

struct Notes;

// Keeps a comment line (as written, its mark included) before the key of a
// place: a section's name with "" for its header, "$" for the variables
// with a variable's name, "" with "" for the end of the file. Creates the
// set on first use; 0 when memory runs out.
int Notes_add(Notes** notes, const char* place, const char* key, const char* line);
void Notes_free(Notes** notes);
// Number of lines kept (0 for none).
int Notes_count(const Notes* notes);
// The first line kept before key in place, or null.
const char* Notes_text(const Notes* notes, const char* place, const char* key);
// Before writing a file: every line is unwritten again.
void Notes_rewind(Notes* notes);
// Writes, with the indent, the unwritten lines kept before key in place.
void Notes_writeBefore(FILE* stream, Notes* notes, const char* place, const char* key,
                       const char* indent);
// Writes the unwritten lines of a place whatever their key (a key no
// longer written keeps its notes in its section).
void Notes_writeRest(FILE* stream, Notes* notes, const char* place, const char* indent);
