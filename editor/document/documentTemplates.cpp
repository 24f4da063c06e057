// The built-in templates and examples of a new document.
#include "document.h"

namespace {
constexpr int P = 0x20;
constexpr int N = 0x10;
constexpr int I = 0;
}  // namespace

const DocRow TemplateTable[] = {
    {0, "PN",
     {{"Si", P, "1e16", "1e-7", "1.0", "100"}, {"Si", N, "1e16", "1e-7", "1.0", "100"}, {}, {}},
     "-1.0", "1.0", "0.02", "-1e3", "1e3", "0.2", "1.2", "0.01", "0.0", "0.0", "Sweep", "None",
     "Layer", "100"},
    {1, "PIN",
     {{"Si", P, "1e16", "1e-7", "0.2", "100"}, {"Si", I, "1e14", "1e-7", "1.0", "100"},
      {"Si", N, "1e16", "1e-7", "0.2", "100"}, {}},
     "-1.0", "1.0", "0.02", "-1e3", "1e3", "0.2", "1.2", "0.01", "0.0", "0.0", "Sweep", "None",
     "Layer", "150"},
    {2, "NIP",
     {{"Si", N, "1e16", "1e-7", "0.2", "100"}, {"Si", I, "1e14", "1e-7", "1.0", "100"},
      {"Si", P, "1e16", "1e-7", "0.2", "100"}, {}},
     "-1.0", "1.0", "0.02", "-1e3", "1e3", "0.2", "1.2", "0.01", "0.0", "0.0", "Sweep", "None",
     "Layer", "150"},
    {3, "Schottky", {{"Si", N, "1e16", "1e-7", "1.0", "100"}, {}, {}, {}},
     "-1.0", "1.0", "0.02", "-1e3", "1e3", "0.2", "1.2", "0.01", "1.0", "0.0", "Sweep", "None",
     "Layer", "100"},
    {-1, nullptr, {}, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}};

const DocRow ExampleTable[] = {
    {0, "a-Si Solar Cell",
     {{"a-Si", P, "1e18", "1e-8", "0.1", "100"}, {"a-Si", N, "1e15", "1e-8", "1.0", "500"},
      {"a-Si", N, "1e18", "1e-8", "0.1", "100"}, {}},
     "0.0", "1.4", "0.01", "-0.1", "0.0", "0.2", "1.2", "0.01", "0.0", "0.0", "Sweep", "AM1.5",
     "Layer", "100"},
    {1, "GaAs Solar Cell",
     {{"GaAs", P, "1e19", "1e-5", "0.2", "100"}, {"GaAs", I, "1e16", "1e-5", "5.0", "500"},
      {"GaAs", N, "1e19", "1e-5", "0.2", "100"}, {}},
     "0.0", "1.5", "0.01", "-0.1", "0.0", "0.2", "1.2", "0.01", "0.0", "0.0", "Sweep", "AM1.5",
     "Layer", "100"},
    {2, "CIGS Solar Cell",
     {{"ZnO", N, "1e18", "1e-7", "0.1", "100"}, {"CdS", N, "1e17", "1e-7", "0.05", "100"},
      {"CIGS", P, "5e16", "1e-7", "2.0", "500"}, {}},
     "-1.8", "0.0", "0.01", "0.0", "0.1", "0.2", "1.2", "0.01", "0.0", "0.0", "Sweep", "AM1.5",
     "Layer", "100"},
    {3, "GaN Detector", {{"GaN", N, "1e16", "1e-6", "1.0", "100"}, {}, {}, {}},
     "0.0", "2.0", "0.01", "-0.1", "0.1", "0.2", "0.4", "0.002", "0.5", "0.0", "None", "Sweep",
     "Layer", "100"},
    {-1, nullptr, {}, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}};
