// Small pieces shared by the result writers: file names in the output
// folder, opening a result file, number fields and range checks; the
// six-digit numbers serve the log lines too.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

class ElecDevice;
class nuSigma;

namespace ekResult {

// Marks the temporary name of a result file being written: target name +
// mark + process id.
constexpr const char* TEMPORARY_MARK = ".part";

// Output folder + "simulout" + suffix ("_jv.txt", "_dist_7.txt", ...).
std::wstring path(const wchar_t* folder, const wchar_t* suffix);

// Whether a run may put its files in folder, with its log file log: the
// folder has 3 to 990 characters and exists, and is not the root of the
// file system however written ("/", "//", "/./"); the log name has 3 to
// 1022 characters. A level-1 line says what fails. Checked before the
// folder is locked, so a refused folder never gets a file of the run.
bool outputPathsValid(const wchar_t* folder, const wchar_t* log, nuSigma* sigma);

// Whether name is a temporary file of open() for a file the suite writes
// in an output folder: a result ("simulout_..."), an input copy
// ("simulinput..."), the device summary ("simuldevice.txt") or a copied
// Lua module ("....lua"), followed by the temporary mark and the digits of
// a process id.
bool isLeftoverTemporary(const std::wstring& name);

// Removes the temporaries (isLeftoverTemporary) directly in folder, which
// ends with a separator: those of a run that was killed stay otherwise for
// ever. Only a run that holds the folder's lock may call it, as no other
// run can then be writing there.
void removeLeftoverTemporaries(const std::wstring& folder);

// Opens a result file for writing. The text goes to a new temporary file
// beside it (created exclusively, never through a link) and replaces the
// file only when close() finds every byte written: a reader never sees a
// file cut short, a run never writes through a link planted under a result
// name, and a full disk fails the run instead of leaving a short file.
FILE* open(const std::wstring& path);

// Completes a file of open(): flushes, closes and renames it into place.
// A failed write or close removes the temporary file, reports
// "[ERROR]   cannot write file ..." at level 1 and marks the run's output
// as lost (the run fails). f is cleared.
bool close(FILE*& f, nuSigma* sigma);

// Gives up a file of open(): the temporary file goes, and so does an older
// file of the name, which would no longer belong to this run.
void discard(FILE*& f);

// Appends text to the summary file named by the driver (may be null); a
// summary that cannot be written is reported as an error, the run's output
// marked as lost.
void appendSummary(const wchar_t* path, const std::wstring& text, nuSigma* sigma);

// Appends one number as the files write it: digits -1 gives the shortest
// text that reads back to the same double, 6 gives six significant digits.
void appendNumber(std::wstring& row, double value, int digits = -1);

// The fewest decimals (0 to 12) that write every one of the values
// exactly up to round-off, or -1 when none do. Sweep values are start +
// i*step held in thermal voltages, so 0.07 comes back as 0.0699999...;
// written with the decimals of their step they read as the user gave them.
int sweepDecimals(const double* values, int count);

// Appends a value with a fixed number of decimals (decimals < 0: as
// appendNumber by default). A rounded negative zero is written as zero.
void appendFixed(std::wstring& row, double value, int decimals);

// Writes one row of a table: the values joined by tabs, each as
// appendNumber writes it by default (the first with firstDecimals
// decimals when that is 0 or more), and a line break unless it is the
// last row (the files end without one).
void writeRow(FILE* f, const double* values, int count, bool lastRow, int firstDecimals = -1);

// Writes the rows of a table of points rows with count values each (at
// most 8): rowValues(i, values) fills row i. A stop of the user sets
// stopped; the table is still written whole, so no file is left cut.
void writeRows(FILE* f, nuSigma* sigma, bool& stopped, int count, int points,
               const std::function<void(int, double*)>& rowValues);

// The warning for a result file given up for unphysical values:
// "[WARNING] unphysical <what>values (check device parameters[ and initial
// guess])" at level 2, after which the warning state is cleared. what is
// empty or ends with a space.
void logUnphysical(nuSigma* sigma, const wchar_t* what, bool guessExists);

// The names of the regular files directly in folder (which ends with a
// separator) that match, links left out when skipLinks. The names are all
// gathered before the caller removes any: removing entries while a folder
// is being read may make the listing skip or repeat names.
std::vector<std::wstring> filesIn(const std::wstring& folder,
                                  const std::function<bool(const std::wstring&)>& match,
                                  bool skipLinks);

// The device checks every result writer makes first: a device, at least
// 0.01 um thick (thickness in um), a point count and a layer count in
// range; a level-1 line names what fails.
bool deviceValid(const ElecDevice* device, double thickness, int points, nuSigma* sigma);

// "[ERROR]   cannot open file \"<path>\"\n" at level 1; the run's output
// is marked as lost.
void logCannotOpen(nuSigma* sigma, const std::wstring& path);

}  // namespace ekResult
