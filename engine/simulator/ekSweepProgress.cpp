// Progress of a long sweep: a line at most once a second with the points
// done, the points asked and the value just solved. Short sweeps end before
// the first second and print nothing.
#include <cwchar>

#include "ElecSweep.h"
#include "ekResultWriter.h"
#include "ekSimulator.h"
#include "nucore.h"

namespace {

constexpr double PROGRESS_PERIOD = 1000.0;  // ms

}  // namespace

void ekSimulator::reportProgress(const ElecSweep* sweep, const wchar_t* quantity, double value,
                                 const wchar_t* unit)
{
    const double now = param->Toc();
    if (sweep == nullptr || now < progressReportedAt + PROGRESS_PERIOD) {
        return;
    }
    // A sweep across 0 V runs as two halves: count what is done, not where
    // the current half stands.
    int done = 0;
    for (int i = 0; i < sweep->getPoints(); ++i) {
        done += (sweep->getMask(i) & ElecSweep::MASK_COMPUTED) != 0 ? 1 : 0;
    }
    wchar_t line[160];
    std::swprintf(line, sizeof line / sizeof line[0],
                  L"[INFO]    %d of %d points done, %ls = %ls %ls\n", done, sweep->getPoints(),
                  quantity, nu_numberText(value).c_str(), unit);
    sigma->update(line, 0);
    progressReportedAt = now;
}
