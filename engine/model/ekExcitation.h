// ekExcitation: the bias and light settings of one run, as the device file
// gives them. A plain record: the setters refuse an inconsistent set of
// values as a whole and switch the bias or the light off instead.
#pragma once

#include <cstddef>
#include <cstdint>

class nuSigma;

class ekExcitation {
public:
    static constexpr size_t FILENAME_SIZE = 1024;  // 1023 characters and terminator

    static constexpr uint8_t BIAS_OFF = 0x00;
    static constexpr uint8_t BIAS_SWEEP = 0x10;
    static constexpr uint8_t BIAS_FILE = 0x20;
    static constexpr uint8_t BIAS_ON_MASK = 0x30;

    static constexpr uint8_t LIGHT_OFF = 0x00;
    static constexpr uint8_t LIGHT_MONO = 0x10;
    static constexpr uint8_t LIGHT_SWEEP = 0x11;
    static constexpr uint8_t LIGHT_AM15 = 0x40;
    static constexpr uint8_t LIGHT_FILE = 0x80;
    static constexpr uint8_t LIGHT_ON_MASK = 0xD0;
    // Low bits of a monochromatic type: set for a wavelength sweep.
    static constexpr uint8_t LIGHT_SWEEP_BITS = 0x0F;

    static constexpr bool isMonoLight(uint8_t type) { return (type & LIGHT_MONO) != 0; }
    static constexpr bool isLightSweep(uint8_t type)
    {
        return isMonoLight(type) && (type & LIGHT_SWEEP_BITS) != 0;
    }
    // Light of many wavelengths: AM1.5 or a spectrum file.
    static constexpr bool isSpectrumLight(uint8_t type)
    {
        return (type & (LIGHT_AM15 | LIGHT_FILE)) != 0;
    }

    // The channel is accepted for symmetry with the other engine objects;
    // the setters write no messages, the device-file reader reports ranges.
    explicit ekExcitation(nuSigma* sigma);

    void reset();

    // A step fits its sweep when it is at most End - Start, which carries
    // the rounding of both ends (-0.4 - -0.5 gives 0.09999999999999998):
    // the comparison allows for it.
    static bool stepFits(double step, double start, double end);

    // Stores the bias sweep unless a value is out of range, in which case
    // nothing is stored and the bias is switched off. A non-null file name
    // is stored too.
    void setV(double Vstart, double Vend, double Vstep, double Jinf, double Jsup, uint8_t biasType,
              const wchar_t* biasFile);
    // Nothing is returned unless all six value pointers are non-null; the
    // bias file name (1024 characters) is copied when biasFile is non-null.
    void getV(double* Vstart, double* Vend, double* Vstep, double* Jinf, double* Jsup,
              uint8_t* biasType, wchar_t* biasFile) const;
    void setBiasFilename(const wchar_t* name);
    const wchar_t* getBiasFilename() const { return biasFilename; }

    // Stores the wavelength sweep unless a value is out of range, in which
    // case the light is switched off and the run is no QE sweep.
    void setW(double Wstart, double Wend, double Wstep, double flux, uint8_t lightType,
              bool qeSweep);
    // The first five pointers must be non-null; flux is the third flux slot.
    void getW(double* Wstart, double* Wend, double* Wstep, double* flux, uint8_t* lightType,
              bool* qeSweep) const;
    // Light file name: true (and light type 0x80) when it names a custom
    // spectrum; an empty name clears it.
    bool setW(const wchar_t* name);
    void getW(wchar_t* buffer) const;
    void setLightFilename(const wchar_t* name);
    const wchar_t* getLightFilename() const { return lightFilename; }

    // A ".txt" or ".dat" file name (exact case) of 5 to 1023 characters.
    bool isCustomSpectrum() const;
    bool isBiasOn() const { return (biasType & BIAS_ON_MASK) != 0; }
    bool isLightOn() const { return (lightType & LIGHT_ON_MASK) != 0; }

    // Fields, read and set directly by the device-file reader.
    double Vstart, Vend, Vstep;  // bias sweep, V
    double Jinf, Jsup;           // current limits, A/cm2
    uint8_t biasType;
    double Wstart, Wend, Wstep;  // wavelength sweep, um
    double flux[3];              // photon flux, 1/cm2/s
    uint8_t lightType;
    bool qeSweep;
    wchar_t lightFilename[FILENAME_SIZE];
    wchar_t biasFilename[FILENAME_SIZE];
};
