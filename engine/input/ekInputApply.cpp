// Device-file reader, second half: the order in which the stored sections
// reach the model objects, the device-wide values, and the helpers every
// section shares (value access, messages).
#include <cwchar>

#include "ElecDevice.h"
#include "ekFormat.h"
#include "ekInputReader.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

bool ekInputReader::apply()
{
    if (!applyDevice()) {
        return false;
    }
    int count = 0;
    if (!countLayers(&count)) {
        return false;
    }
    for (int number = 1; number <= count; ++number) {
        if (!applyLayer(number)) {
            return false;
        }
    }
    if (layersApplied < count) {
        if (sigma->err == 0) {
            sigma->error(L"device not loaded: invalid layer parameters");
        }
        return false;
    }
    // insertLayer counted each layer's thickness before the file set it.
    device->updateThickness();
    if (!applyContact(true) || !applyContact(false)) {
        return false;
    }
    sigma->setOutputType(static_cast<uint8_t>(sigma->outputType | nuSigma::OUTPUT_LOGFILE));
    return applyVoltage() && applyLight() && applyNumeric() && applyCommand();
}

// The device's validating setters and the file's table hold the same ranges.
static_assert(kov_keyLimit(KovKeySection::DEVICE, "Temperature").minimum == ElecDevice::T_MIN &&
              kov_keyLimit(KovKeySection::DEVICE, "Temperature").maximum == ElecDevice::T_MAX);
static_assert(kov_keyLimit(KovKeySection::DEVICE, "Polarization.Scale").minimum ==
                  ElecDevice::POLARIZATION_MIN &&
              kov_keyLimit(KovKeySection::DEVICE, "Polarization.Scale").maximum ==
                  ElecDevice::POLARIZATION_MAX);

bool ekInputReader::applyDevice()
{
    const wchar_t* section = L"Device";
    const int line = headerLine(ekInput::SECTION_DEVICE);
    std::wstring name;
    if (text(section, L"Name", &name)) {
        const size_t longest = ElecDevice::NAME_SIZE - 1;
        if (name.size() > longest) {
            name.resize(longest);
            changedValue(
                section, L"Name", L"\"" + name + L"\"",
                ek_format(L"a name holds at most %d characters", static_cast<int>(longest)));
        }
        device->updateMain(name.c_str(), nullptr);
    }
    double temperature = 0.0;
    if (!checkRange(section, L"Temperature")) {
        return false;
    }
    if (real(section, L"Temperature", &temperature)) {
        if (device->updateTemperature(temperature)) {
            simulator->calcNorm(temperature);
        }
    }
    double scale = 0.0;
    if (sigma->err == 0 && real(section, L"Polarization.Scale", &scale)) {
        if (!checkRange(section, L"Polarization.Scale")) {
            return false;
        }
        device->setPolarizationScale(scale);
    }
    if (sigma->err != 0) {
        return failReported(line);
    }
    return true;
}

bool ekInputReader::countLayers(int* count)
{
    int layers = 0;
    for (int number = 1; number <= ekInput::SECTION_LAYER9 - ekInput::SECTION_LAYER1 + 1;
         ++number) {
        const std::wstring name = ek_format(L"Layer%01d", number);
        if (store.getSection(name.c_str()) == nullptr) {
            break;
        }
        if (!has(name.c_str(), L"Thickness")) {
            return fail(layerLine(number), ek_format(L"layer at line %d: thickness not "
                                                     L"specified",
                                                     layerLine(number) + 1));
        }
        layers = number;
    }
    if (layers < 1) {
        // A numbered layer without the first is a gap at the start.
        for (int number = 2; number <= ElecDevice::MAX_LAYERS; ++number) {
            if (layerLine(number) >= 0) {
                return fail(layerLine(number),
                            ek_format(L"invalid device at line %d: [Layer%d] without [Layer1] "
                                      L"(layers are numbered from Layer1 without gaps)",
                                      layerLine(number) + 1, number));
            }
        }
        setLineOut(0);
        sigma->error(L"invalid device: no layers (a device file describes its layers in "
                     L"sections [Layer1], [Layer2] and so on)");
        return false;
    }
    // A layer after a gap in the numbering would be left out of the stack:
    // the device simulated would not be the one described.
    for (int number = layers + 2; number <= ElecDevice::MAX_LAYERS; ++number) {
        if (headerLine(ekInput::SECTION_LAYER1 + number - 1) >= 0) {
            return fail(layerLine(number),
                        ek_format(L"invalid device at line %d: [Layer%d] without [Layer%d] "
                                  L"(layers are numbered from Layer1 without gaps)",
                                  layerLine(number) + 1, number, layers + 1));
        }
    }
    *count = layers;
    return true;
}

// ---- stored values ------------------------------------------------------------

bool ekInputReader::has(const wchar_t* section, const wchar_t* key) const
{
    return store.getValue(section, key, nullptr, nullptr);
}

bool ekInputReader::text(const wchar_t* section, const wchar_t* key, std::wstring* out) const
{
    wchar_t value[foRecord::VALUE_SIZE];
    if (!store.getValue(section, key, value, nullptr, foRecord::VALUE_SIZE, 0)) {
        return false;
    }
    *out = value;
    return true;
}

bool ekInputReader::real(const wchar_t* section, const wchar_t* key, double* out) const
{
    std::wstring value;
    if (!text(section, key, &value)) {
        return false;
    }
    *out = ek_wtof(value.c_str());
    return true;
}

bool ekInputReader::isWord(const std::wstring& value, std::initializer_list<const wchar_t*> words)
{
    for (const wchar_t* word : words) {
        if (wcscasecmp(value.c_str(), word) == 0) {
            return true;
        }
    }
    return false;
}

// ---- messages -----------------------------------------------------------------

bool ekInputReader::fail(int lineIndex, const std::wstring& what)
{
    setLineOut(lineIndex);
    sigma->error(what);
    return false;
}

bool ekInputReader::failReported(int lineIndex)
{
    setLineOut(lineIndex);
    return false;
}

void ekInputReader::info(const std::wstring& text) const
{
    if (wasVerbose) {
        sigma->update(text.c_str(), 0);
    }
}

void ekInputReader::warn(const std::wstring& text) const
{
    if (!sigma->isNoWarn()) {
        sigma->update(text.c_str(), 2);
    }
}

int ekInputReader::headerLine(int position) const
{
    if (position < 0 || position >= ekInput::SECTIONCOUNT) {
        return 0;
    }
    return headerLines[position];
}

void ekInputReader::setLineOut(int index) const
{
    if (lineOut != nullptr) {
        *lineOut = index;
    }
}
