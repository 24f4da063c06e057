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

}  // namespace

void ekSimulator::printEQE(bool enabled, wchar_t* message)
{
    if (!enabled || message == nullptr || isBlocked() || SweepLight == nullptr) {
        return;
    }
    const bool sweepKind = ekExcitation::isLightSweep(lightState.type);
    if (!sweepKind || !(lightState.totals.power > 1e-12)) {
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
    const std::wstring text =
        L"EQEmax = " + nu_numberText(best) + L" @ " + nu_numberText(wavelength) + L" um\n";
    kov_copyW(message, 256, text.c_str());
    if (sigma->isVerbose()) {
        sigma->update((L"[EQE]     " + text).c_str(), 0);
    }
    clearOutput();
    const std::wstring path = ekResult::path(output.folder, L"_photocurrent.txt");
    FILE* f = ekResult::open(path);
    if (f == nullptr) {
        ekResult::logCannotOpen(sigma, path);
    } else {
        printHeader(f, TAG_PC);
        kov_FileWriteW(f, (L"#\n# EQEmax\tWavelength (um)\n#\n" + nu_numberText(best) + L"\t" +
                           nu_numberText(wavelength))
                              .c_str());
        ekResult::close(f, sigma);
    }
    ekResult::appendSummary(sigma->summaryFilename, text, sigma);
}
