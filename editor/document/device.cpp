// Creating and freeing a device, and its layer list.
#include "device.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "docHooks.h"
#include "document.h"
#include "kovbase.h"
#include "kovParser.h"
#include "settings.h"

namespace {

const char* defaultMaterial()
{
    const Settings* settings = Doc_settings();
    return settings != nullptr ? settings->DefaultMaterial : "Si";
}

void refuseFull()
{
    Doc_hooks().showInfo("[ERROR]   cannot inset layer: maximum number (9) reached.", 1);
    Doc_printColored("[ERROR]   cannot inset layer: maximum number (9) reached.\n");
}

void swapLayers(Device* device, int a, int b)
{
    Layer* t = device->layers[a];
    device->layers[a] = device->layers[b];
    device->layers[b] = t;
}

bool inList(const Device* device, int position)
{
    return position >= 0 && position < device->layerCount;
}

}  // namespace

Device* Device_create(const char* name)
{
    auto* device = static_cast<Device*>(kov_MemoryAlloc(sizeof(Device)));
    if (device == nullptr) {
        return nullptr;
    }
    std::memset(device, 0, sizeof *device);
    device->recordCount = DEVICE_RECORDS;
    bool ok = true;
    for (int i = 0; i < DEVICE_RECORDS && ok; ++i) {
        ok = (device->records[i] = Param_alloc()) != nullptr;
    }
    if (ok) {
        Param_setText(device->records[0], "Name", 0, name != nullptr ? name : "");
        Param_setLimited(device->records[1], "Temperature", 1, 300, 1,
                         kov_findKeyLimit(KovKeySection::DEVICE, "Temperature"));
        Param_setLimited(device->records[2], "Polarization.Scale", 2, 0, 0.1,
                         kov_findKeyLimit(KovKeySection::DEVICE, "Polarization.Scale"));
        for (ParamRecord* r : device->records) {
            r->revision = 2;
        }
        device->anode = Contact_create("Anode");
        device->cathode = Contact_create("Cathode");
        device->voltage = VoltageSection_create("Voltage");
        device->light = LightSection_create("Light");
        device->numeric = NumericSection_create("Numeric");
        device->command = CommandSection_create("Command");
        device->header = static_cast<char*>(kov_MemoryAlloc(DEVICE_HEADER_SIZE));
        ok = device->anode && device->cathode && device->voltage && device->light &&
             device->numeric && device->command && device->header;
    }
    if (!ok) {
        Device_free(&device);
        return nullptr;
    }
    std::memset(device->header, 0, DEVICE_HEADER_SIZE);
    device->parser = kov_ParserCreate();
    return device;
}

void Device_free(Device** pointer)
{
    if (pointer == nullptr || *pointer == nullptr) {
        return;
    }
    Device* device = *pointer;
    for (ParamRecord*& r : device->records) {
        Param_free(&r);
    }
    for (int i = 0; i < device->layerCount; ++i) {
        Layer_free(&device->layers[i]);
    }
    device->layerCount = 0;
    Contact_free(&device->cathode);
    Contact_free(&device->anode);
    ParamSection_free(&device->voltage);
    ParamSection_free(&device->light);
    ParamSection_free(&device->numeric);
    ParamSection_free(&device->command);
    kov_MemoryFreeT(&device->header);
    for (KeptLines*& kept : device->kept) {
        kov_MemoryFreeT(&kept);
    }
    kov_MemoryFreeT(&device->textVariables);
    Notes_free(&device->notes);
    if (device->parser != nullptr) {
        kov_ParserDelete(&device->parser);
    }
    kov_MemoryFreeT(pointer);
}

int Device_renameLayers(Device* device)
{
    if (device == nullptr || device->layerCount <= 0) {
        return 0;
    }
    for (int i = 0; i < device->layerCount; ++i) {
        std::snprintf(device->layers[i]->name, sizeof device->layers[i]->name, "Layer%d", i + 1);
    }
    return 1;
}

Layer* Device_appendLayer(Device* device)
{
    if (device == nullptr) {
        return nullptr;
    }
    if (device->layerCount >= DEVICE_LAYERS_MAX) {
        refuseFull();
        return nullptr;
    }
    Layer* layer = Layer_create();
    if (layer == nullptr) {
        return nullptr;
    }
    device->layers[device->layerCount++] = layer;
    if (device->layerCount > 1) {
        Layer_copy(device->layers[device->layerCount - 2], layer, 0, 0, nullptr);
    } else {
        Layer_setMaterial(layer, defaultMaterial(), layer->label, DOPANT_ACCEPTOR);
    }
    Layer_updateColors(layer);
    Device_renameLayers(device);
    return layer;
}

Layer* Device_insertLayer(Device* device, int position)
{
    if (device == nullptr) {
        return nullptr;
    }
    if (device->layerCount >= DEVICE_LAYERS_MAX) {
        refuseFull();
        return nullptr;
    }
    if (position < -1 || position > device->layerCount - 1) {
        return nullptr;
    }
    Layer* source = position >= 0 ? device->layers[position] : nullptr;
    Layer* layer = Layer_create();
    if (layer == nullptr) {
        return nullptr;
    }
    if (device->layerCount > 0 && position <= device->layerCount - 2) {
        const int at = position < 0 ? 0 : position;
        for (int i = device->layerCount; i > at; --i) {
            device->layers[i] = device->layers[i - 1];
        }
        device->layers[at] = layer;
    } else {
        device->layers[device->layerCount] = layer;
    }
    ++device->layerCount;
    if (source != nullptr) {
        Layer_copy(source, layer, 0, 0, nullptr);
    } else {
        Layer_setMaterial(layer, defaultMaterial(), layer->label, DOPANT_ACCEPTOR);
    }
    Layer_updateColors(layer);
    Device_renameLayers(device);
    return layer;
}

Layer* Device_moveLayer(Device* device, int from, int to)
{
    if (device == nullptr || device->layerCount > DEVICE_LAYERS_MAX || !inList(device, from) ||
        !inList(device, to) || from == to) {
        return nullptr;
    }
    if (device->layerCount == 2 || from - to == 1 || to - from == 1) {
        swapLayers(device, from, to);
    } else {
        Layer* taken = device->layers[from];
        if (to < from) {
            for (int i = from; i > to; --i) {
                device->layers[i] = device->layers[i - 1];
            }
        } else {
            for (int i = from; i < to; ++i) {
                device->layers[i] = device->layers[i + 1];
            }
        }
        device->layers[to] = taken;
    }
    Device_renameLayers(device);
    return device->layers[to];
}

Layer* Device_moveLayerDown(Device* device, int position)
{
    if (device == nullptr || device->layerCount > DEVICE_LAYERS_MAX || !inList(device, position) ||
        !inList(device, position + 1)) {
        return nullptr;
    }
    swapLayers(device, position, position + 1);
    Device_renameLayers(device);
    return device->layers[position + 1];
}

Layer* Device_moveLayerUp(Device* device, int position)
{
    if (device == nullptr || device->layerCount > DEVICE_LAYERS_MAX || !inList(device, position) ||
        !inList(device, position - 1)) {
        return nullptr;
    }
    swapLayers(device, position, position - 1);
    Device_renameLayers(device);
    return device->layers[position - 1];
}

int Device_removeLayer(Device* device, int position)
{
    if (device == nullptr || device->layerCount < 2 || !inList(device, position)) {
        return 0;
    }
    Layer_free(&device->layers[position]);
    if (position == device->layerCount - 1) {
        --device->layerCount;
        return 1;
    }
    for (int i = position; i < device->layerCount - 1; ++i) {
        device->layers[i] = device->layers[i + 1];
    }
    device->layers[device->layerCount - 1] = nullptr;
    --device->layerCount;
    Device_renameLayers(device);
    return 1;
}

int Device_removeAllLayers(Device* device)
{
    if (device == nullptr || device->layerCount <= 0) {
        return 0;
    }
    for (int i = 0; i < device->layerCount; ++i) {
        Layer_free(&device->layers[i]);
    }
    device->layerCount = 0;
    return 1;
}

int Device_getLayerMeshPoints(Document* document, Layer* layer)
{
    if (layer == nullptr) {
        return 0;
    }
    const Device* device = document != nullptr ? document->device : nullptr;
    if (device != nullptr && device->numeric != nullptr) {
        // A mesh named by a file gives the point count itself.
        const char* mesh = device->numeric->records[4]->value.text;
        if (strcasecmp(mesh, "Layer") != 0 && strcasecmp(mesh, "Uniform") != 0 && mesh[0] != '\0') {
            return -1;
        }
    }
    return layer->records[LR_MESH_POINTS]->value.integer;
}

int Device_keepLine(Device* device, int section, const char* key, const char* value,
                    const char* comment)
{
    if (device == nullptr || section < 0 || section >= SEC_COUNT) {
        return 0;
    }
    if (device->kept[section] == nullptr) {
        device->kept[section] = static_cast<KeptLines*>(kov_MemoryAlloc(sizeof(KeptLines)));
        if (device->kept[section] == nullptr) {
            return 0;
        }
        std::memset(device->kept[section], 0, sizeof(KeptLines));
    }
    return KeptLines_set(device->kept[section], key, value, comment);
}
