// The photocurrent summary of a quantum-efficiency sweep: the highest EQE
// and its wavelength, for the console, "simulout_photocurrent.txt" and the
// run's summary file.
#include <cwchar>
#include <string>

#include "ekResultWriter.h"
#include "ElecSweep.h"
#include "ekExcitation.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

using ekResult::number6;

// Files that cannot be opened are skipped: the summary is a convenience.
void writeText(const wchar_t* path, const char* mode, const std::wstring& text)
{
    kov_fileReadWriteW(path);
    FILE* f = kov_FileOpenW(path, mode);
    if (f != nullptr) {
        kov_FileWriteW(f, text.c_str());
        kov_FileClose(&f);
    }
}

}  // namespace

void ekSimulator::printEQE(bool enabled, wchar_t* message)
{
    if (!enabled || message == nullptr || isBlocked() || SweepLight == nullptr) {
        return;
    }
    const bool sweepKind = ekExcitation::isLightSweep(lightType);
    if (!sweepKind || !(lightTotals[3] > 1e-12)) {
        return;
    }
    double best = -1.0;
    double wavelength = 0.0;
    for (int i = 0; i < SweepLight->getPoints(); ++i) {
        const double EQE = SweepLight->getData(4, i);
        if ((SweepLight->getMask(i) & ElecSweep::MASK_COMPUTED) && EQE > best) {
            best = EQE;
            wavelength = SweepLight->getData(0, i);
        }
    }
    if (!(best >= 1e-12 && best <= 1.0)) {
        return;
    }
    const std::wstring text = L"EQEmax = " + number6(best) + L" @ " + number6(wavelength) + L" um\n";
    kov_copyW(message, 256, text.c_str());
    if (sigma->isVerbose()) {
        sigma->update((L"[EQE]     " + text).c_str(), 0);
    }
    writeText((std::wstring(outputDir) + L"simulout_photocurrent.txt").c_str(), "w", text);
    if (sigma->summaryFilename != nullptr && sigma->summaryFilename[0] != 0) {
        writeText(sigma->summaryFilename, "a+", text);
    }
}
