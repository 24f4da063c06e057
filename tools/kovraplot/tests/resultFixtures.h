// Result files in the form the engine writes them, small enough to check
// every value: the kovraplot tests read, chart and draw these.
#pragma once

#include <string>

namespace fixtures {

inline std::string header(const std::string& tag, const std::string& device = "Test cell")
{
    return "# Kovra <" + tag +
           ">\n# The above first line is mandatory\n#\n# Kovra Version 3.0 Build 2412 "
           "Linux\n#\n# " +
           device + "\n# Saved: 2026-12-10 15:44:24\n# Voltage = 0.7 V   Current = 1.81 A/cm2\n#\n";
}

inline const std::string JV = header("JV") + "# Voltage (V)\tJ (A/cm2)\n#\n"
                                             "0\t-0.0294\n0.1\t-0.0293\n0.2\t0\n0.3\t0.0015\n";

inline const std::string CV = header("CV") +
                              "# Voltage (V)\tQ (C/cm2)\tC (F/cm2)\n#\n"
                              "0\t-2.6e-08\t3.2e-08\n0.1\t-2.3e-08\t4e-08\n0.2\t-1.9e-08\t5e-08\n";

inline const std::string QW = header("QW") + "# Wavelength (um)\tEQE\tIQE\n#\n"
                                             "0.3\t0.2\t0.25\n0.5\t0.8\t0.9\n0.7\t0.9\t0.95\n";

// Three points of a distribution with all 24 columns; the engine writes
// " En(V/um)" with a blank before and none after the name.
inline const std::string DIST_TITLES =
    "# z (um)\tV (V)\t En(V/um)\tEp (V/um)\tFn (eV)\tFp (eV)\tEC (eV)\tEV (eV)\t"
    "n (1/cm3)\tp (1/cm3)\tNax (1/cm3)\tNdx (1/cm3)\tNtax (1/cm3)\tNtdx (1/cm3)\t"
    "Q (mC/cm3)\tQssp (mC/cm2)\tQspi (mC/cm2)\tJn (A/cm2)\tJp (A/cm2)\tJ (A/cm2)\t"
    "Gop (1/cm3/s)\tRD (1/cm3/s)\tRA (1/cm3/s)\tRSRH (1/cm3/s)\n#\n";

inline std::string dist(const std::string& tag)
{
    return header(tag) + DIST_TITLES +
           "0\t0.48\t-0\t-0\t-0\t-0\t0.087\t-1.033\t9.6e17\t46.1\t0\t9."
           "6e17\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\n"
           "0.5\t0.2\t-2.5\t-2.5\t0\t0\t0.3\t-0."
           "8\t1e10\t1e10\t1e16\t1e16\t0\t0\t1\t0\t0\t0\t0\t0\t0\t0\t0\t0\n"
           "1\t-0.3\t-0\t-0\t0\t0\t0.87\t-0."
           "25\t210\t1e18\t1e18\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\n";
}

inline const std::string PHOTOVOLTAIC =
    "Eff = 14.3186 %\nJsc = 0.029421 A/cm2\nVoc = 0.584781 V\nFF = 82.3325 %\n"
    "Popt = 0.0989289 W/cm2\nRS = 1.1 Ohms.cm2\nRP = 18021.8 Ohms.cm2\n";

inline const std::string PHOTOCURRENT = "EQEmax = 0.901096 @ 0.78 um\n";

}  // namespace fixtures
