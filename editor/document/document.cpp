// The document record: creation from a file, a template or an example,
// its device, file name, file time and modified flag.
#include "document.h"

#include <cstdio>
#include <cstring>

#include "device.h"
#include "docHooks.h"
#include "kovbase.h"
#include "settings.h"

namespace {

// Modification time of a file in nanoseconds, 0 when it cannot be read.
long long modificationTime(const char* path)
{
    kov_FileTimes times{};
    return path != nullptr && kov_getFileTimes(path, 0, &times, 0) == 1 ? times.modified : 0;
}

void programFolder(char* out, size_t size)
{
    out[0] = '\0';
    const char* given = Doc_hooks().appDir();
    if (given != nullptr) {
        kov_copyA(out, size, given);
    } else {
        kov_getAppDirA(out, size);
    }
}

void releaseCurrent()
{
    Document* current = Doc_document();
    if (current == nullptr) {
        return;
    }
    Document_free(current);
}

void fillFromRow(Document* document, const DocRow& row, bool builtInTemplates)
{
    Device* device = document->device;
    Device_setDeviceParam(device->records, "Name", row.name, nullptr, nullptr, 0);
    const Settings* settings = Doc_settings();
    for (const DocLayerSlot& slot : row.layers) {
        if (slot.material == nullptr) {
            continue;
        }
        Layer* layer = Device_appendLayer(device);
        if (layer == nullptr) {
            break;
        }
        const char* material = builtInTemplates
                                   ? (settings != nullptr ? settings->DefaultMaterial : "Si")
                                   : slot.material;
        Layer_setMaterial(layer, material, layer->label, slot.type);
        Layer_setParam(layer, "Thickness", slot.thickness, nullptr, nullptr, 0);
        Layer_setParam(layer, "Dopant.N", slot.dopantN, nullptr, nullptr, 0);
        Layer_setParam(layer, "Dopant.Taun", slot.lifetime, nullptr, nullptr, 0);
        Layer_setParam(layer, "Dopant.Taup", slot.lifetime, nullptr, nullptr, 0);
        Layer_setParam(layer, "Mesh.Points", slot.meshPoints, nullptr, nullptr, 0);
        Layer_updateColors(layer);
    }
    Device_setVoltageParam(device, "Voltage.Source", row.voltageSource, nullptr, nullptr, 0);
    Device_setVoltageParam(device, "Voltage.Start", row.voltageStart, nullptr, nullptr, 0);
    Device_setVoltageParam(device, "Voltage.End", row.voltageEnd, nullptr, nullptr, 0);
    Device_setVoltageParam(device, "Voltage.Step", row.voltageStep, nullptr, nullptr, 0);
    Device_setVoltageParam(device, "Voltage.Jinf", row.voltageJinf, nullptr, nullptr, 0);
    Device_setVoltageParam(device, "Voltage.Jsup", row.voltageJsup, nullptr, nullptr, 0);
    Device_setLightItem(device, "Light.Source", row.lightSource, nullptr, nullptr, 0);
    Device_setLightItem(device, "Light.Start", row.lightStart, nullptr, nullptr, 0);
    Device_setLightItem(device, "Light.End", row.lightEnd, nullptr, nullptr, 0);
    Device_setLightItem(device, "Light.Step", row.lightStep, nullptr, nullptr, 0);
    if (std::strcmp(row.anodePhi, "0.0") != 0) {
        Device_setAnodeItem(device, "Anode.Phi", row.anodePhi, nullptr, nullptr, 0);
        Device_setAnodeItem(device, "Anode.Type", "Schottky", nullptr, nullptr, 0);
    }
    if (std::strcmp(row.cathodePhi, "0.0") != 0) {
        Device_setCathodeItem(device, "Cathode.Phi", row.cathodePhi, nullptr, nullptr, 0);
        Device_setCathodeItem(device, "Cathode.Type", "Schottky", nullptr, nullptr, 0);
    }
    Device_setNumericParam(device, "Numeric.Mesh", row.numericMesh, nullptr, nullptr, 0);
    Device_setNumericParam(device, "Numeric.Points", row.numericPoints, nullptr, nullptr, 0);
    char info[128];
    std::snprintf(info, sizeof info, "'%s' loaded", row.name);
    Doc_hooks().showInfo(info, 0);
}

}  // namespace

Device* Document_valueDevice(Document* document)
{
    if (document == nullptr) {
        return nullptr;
    }
    return document->loadingDevice != nullptr ? document->loadingDevice : document->device;
}

Document* Document_create(const char* path, const DocRow* rows, int id)
{
    releaseCurrent();
    if (Doc_settings() == nullptr) {
        return nullptr;
    }
    auto* document = static_cast<Document*>(kov_MemoryAlloc(sizeof(Document)));
    if (document == nullptr) {
        return nullptr;
    }
    std::memset(document, 0, sizeof *document);
    Doc_hooks().setDocument(document);
    document->device = Device_create("Solar Cell");
    if (document->device == nullptr) {
        Doc_hooks().setDocument(nullptr);
        kov_MemoryFreeT(&document);
        return nullptr;
    }
    document->number = Doc_hooks().nextDocumentNumber();
    document->plotAfterRun = 1;
    if (path != nullptr && path[0] != '\0' && kov_fileExistsA(path) != 0) {
        kov_copyA(document->filename, DOC_PATH_SIZE, path);
    }

    char folder[DOC_PATH_SIZE];
    programFolder(folder, sizeof folder);
    if (folder[0] != '\0') {
        const std::string programs = folder;
        kov_copyA(document->driverPath, DOC_PATH_SIZE, (programs + "kovracomp").c_str());
        kov_copyA(document->runOption, DOC_PATH_SIZE, "-run");
        kov_copyA(document->plotToolPath, DOC_PATH_SIZE, (programs + "kovraplot").c_str());
    }
    kov_copyA(document->commOption, sizeof document->commOption, "-comm");
    kov_copyA(document->plotOption, DOC_PATH_SIZE, "-kovra");
    document->plotProcessId = -1;

    if (path != nullptr && path[0] != '\0' && Device_load(document, path) == 1) {
        Document_setModified(document, 0);
        Document_refreshViews(document);
        return document;
    }

    const bool builtInTemplates = rows == nullptr || rows == TemplateTable;
    const DocRow* table = rows != nullptr ? rows : TemplateTable;
    const int wanted = id < 0 ? 0 : id;
    const DocRow* row = &TemplateTable[0];
    for (const DocRow* r = table; r->id != -1; ++r) {
        if (r->id == wanted) {
            row = r;
            break;
        }
    }
    fillFromRow(document, *row, builtInTemplates || row == &TemplateTable[0]);
    for (int i = 0; i < 14; ++i) {
        document->canvasState[i] = i < 10 ? 0 : -1;
    }
    Document_refreshViews(document);
    return document;
}

void Document_free(Document* document)
{
    if (document == nullptr) {
        return;
    }
    Doc_hooks().endRun(document, 1);
    // The document stops being current before its device goes, so nothing
    // bound to the device outlives it.
    if (Doc_document() == document) {
        Doc_hooks().setDocument(nullptr);
    }
    Device_free(&document->device);
    Device_free(&document->loadingDevice);
    kov_MemoryFreeT(&document);
}

void Document_refreshViews(Document* document)
{
    if (document == nullptr) {
        return;
    }
    const DocHooks& hooks = Doc_hooks();
    hooks.fillLayerList();
    hooks.updateActionbar();
    hooks.updateTitle();
    hooks.showLayer();
}

int Document_setDevice(Document* document, Device* device)
{
    if (document == nullptr || device == nullptr || device->layerCount <= 0) {
        return 0;
    }
    const bool replaced = document->device != device;
    if (replaced) {
        Device_free(&document->device);
    }
    document->device = device;
    document->loadingDevice = nullptr;
    if (replaced) {
        Doc_hooks().deviceReplaced();
    }
    Document_refreshViews(document);
    return 1;
}

void Document_clearResults(Document* document)
{
    if (document == nullptr) {
        return;
    }
    std::memset(&document->results, 0, sizeof document->results);
    for (char* path : document->resultPaths) {
        path[0] = '\0';
    }
}

void Document_setModified(Document* document, int modified)
{
    if (document == nullptr) {
        return;
    }
    document->modified = modified;
    Doc_hooks().updateSaveButton();
    Doc_hooks().updateTitle();
}

int Document_isModified(const Document* document)
{
    return document != nullptr ? document->modified : 0;
}

int Document_isChangedOnDisk(Document* document)
{
    if (document == nullptr || document->fileTime == 0 || !Document_fileExists(document)) {
        return 0;
    }
    return modificationTime(document->filename) > document->fileTime ? 1 : 0;
}

int Document_fileExists(Document* document)
{
    if (document == nullptr || document->filename[0] == '\0') {
        return 0;
    }
    return kov_fileExistsA(document->filename);
}

char* Document_getFilename(Document* document)
{
    return document != nullptr ? document->filename : nullptr;
}

void Document_setFilename(Document* document, const char* path)
{
    if (document == nullptr) {
        return;
    }
    if (path != nullptr && path[0] != '\0' && kov_fileExistsA(path) != 0) {
        kov_copyA(document->filename, DOC_PATH_SIZE, path);
    } else {
        document->filename[0] = '\0';
    }
}

void Document_keepFileTime(Document* document)
{
    if (document != nullptr) {
        document->fileTime = modificationTime(document->filename);
    }
}

int Document_saveDropsLines(Document* document, const char* path)
{
    if (document == nullptr || path == nullptr || path[0] == '\0') {
        return 0;
    }
    return document->readEndLine > 0 ? document->readEndLine : 0;
}

int Document_saveDropsSkipped(Document* document, int* line, std::string* text)
{
    if (document == nullptr || document->skippedLines <= 0) {
        return 0;
    }
    if (line != nullptr) {
        *line = document->firstSkippedLine;
    }
    if (text != nullptr) {
        *text = document->firstSkippedText;
    }
    return document->skippedLines;
}

void Document_stopRun(Document* document)
{
    if (document != nullptr) {
        Doc_hooks().endRun(document, 1);
    }
}
