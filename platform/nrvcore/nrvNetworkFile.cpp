// Network files: "NRVN", a format version, the settings, then each layer's
// geometry and parameters, optionally with the optimiser's state.
#include "nrvInternal.h"

#include <cstring>
#include <memory>

namespace {

constexpr char NETWORK_MAGIC[4] = {'N', 'R', 'V', 'N'};
constexpr uint32_t NETWORK_VERSION = 1;
// Bounds that no sound file exceeds; they keep a damaged file from asking
// for absurd allocations.
constexpr uint32_t MAX_LAYERS = 4096;
constexpr uint32_t MAX_NAME = 4096;

struct Writer {
    FILE* f;
    bool ok = true;
    template <typename T>
    void value(const T& v)
    {
        ok = ok && std::fwrite(&v, sizeof v, 1, f) == 1;
    }
    void text(const std::string& s)
    {
        value(uint32_t(s.size()));
        ok = ok && std::fwrite(s.data(), 1, s.size(), f) == s.size();
    }
    void floats(const std::vector<float>& v)
    {
        if (v.empty()) {
            return;  // an input layer has no parameters (and no array)
        }
        ok = ok && std::fwrite(v.data(), sizeof(float), v.size(), f) == v.size();
    }
};

struct Reader {
    FILE* f;
    bool ok = true;
    template <typename T>
    T value()
    {
        T v{};
        ok = ok && std::fread(&v, sizeof v, 1, f) == 1;
        return v;
    }
    std::string text()
    {
        const uint32_t n = value<uint32_t>();
        if (!ok || n > MAX_NAME) {
            return ok = false, std::string();
        }
        std::string s(n, '\0');
        ok = ok && std::fread(s.data(), 1, n, f) == n;
        return s;
    }
    void floats(std::vector<float>& v)
    {
        if (v.empty()) {
            return;
        }
        ok = ok && std::fread(v.data(), sizeof(float), v.size(), f) == v.size();
    }
};

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

int nrv_save(nrv_network* n, const char* file, bool withOptimizerState)
{
    nrv::clearStatus(n);
    const nrv_network_impl* m = n->impl;
    if (!m->compiled) {
        return nrv::fail(n, "network not compiled"), 0;
    }
    std::unique_ptr<FILE, FileCloser> f(std::fopen(file, "wb"));
    if (!f) {
        return nrv::fail(n, "cannot create file '%s'", file), 0;
    }
    Writer w{f.get()};
    w.ok = std::fwrite(NETWORK_MAGIC, 1, 4, f.get()) == 4;
    w.value(NETWORK_VERSION);
    w.text(m->name);
    w.value(int32_t(m->criterion));
    w.value(int32_t(m->validation));
    w.value(int32_t(m->optimizer));
    w.value(uint8_t(m->verbose));
    w.value(m->rate);
    w.value(int32_t(m->validationPercent));
    w.value(uint8_t(withOptimizerState));
    w.value(m->step);
    w.value(uint32_t(m->layers.size()));
    for (const nrv_layer* l : m->layers) {
        w.value(int32_t(l->kind));
        w.text(l->name);
        for (int v : {l->activation, l->inSize, l->outSize, l->channels, l->height, l->width,
                      l->filters, l->kernel, l->stride, l->padding}) {
            w.value(int32_t(v));
        }
        w.value(l->initScale);
    }
    for (const nrv_layer* l : m->layers) {
        for (const nrv::Param* p : {&l->weights, &l->bias}) {
            w.floats(p->value);
            if (withOptimizerState) {
                w.floats(p->m);
                w.floats(p->v);
            }
        }
    }
    if (!w.ok) {
        return nrv::fail(n, "cannot write file '%s'", file), 0;
    }
    if (std::fclose(f.release()) != 0) {
        return nrv::fail(n, "cannot write file '%s'", file), 0;
    }
    nrv::logLine(n, "network %s: saved to %s", m->name.c_str(), file);
    return 1;
}

nrv_network* nrv_load(const char* file)
{
    nrv_network* n =
        nrv_create("", NRV_CRITERION_MSE, NRV_VALIDATION_LOSS, NRV_OPTIMIZER_SGD, false, 0.001f);
    if (!n) {
        return nullptr;
    }
    std::unique_ptr<FILE, FileCloser> f(std::fopen(file, "rb"));
    if (!f) {
        return nrv::fail(n, "cannot open file '%s'", file), n;
    }
    char magic[4] = {};
    if (std::fread(magic, 1, 4, f.get()) != 4 || std::memcmp(magic, NETWORK_MAGIC, 4) != 0) {
        return nrv::fail(n, "'%s' is not a network file", file), n;
    }
    Reader r{f.get()};
    const uint32_t version = r.value<uint32_t>();
    if (r.ok && version != NETWORK_VERSION) {
        return nrv::fail(n, "'%s': unsupported network file version %u", file, version), n;
    }
    nrv_network_impl* m = n->impl;
    m->name = r.text();
    m->criterion = r.value<int32_t>();
    m->validation = r.value<int32_t>();
    m->optimizer = r.value<int32_t>();
    m->verbose = r.value<uint8_t>() != 0;
    m->rate = r.value<float>();
    m->validationPercent = r.value<int32_t>();
    const bool withState = r.value<uint8_t>() != 0;
    const int64_t step = r.value<int64_t>();
    const uint32_t count = r.value<uint32_t>();
    if (!r.ok) {
        return nrv::fail(n, "'%s': truncated network file", file), n;
    }
    if (!nrv::knownCriterion(m->criterion) || !nrv::knownOptimizer(m->optimizer) ||
        (m->validation != NRV_VALIDATION_LOSS && m->validation != NRV_VALIDATION_ARGMAX) ||
        !(m->rate > 0.f) || m->validationPercent < 0 || m->validationPercent > 99 || count < 2 ||
        count > MAX_LAYERS) {
        return nrv::fail(n, "'%s': damaged network file", file), n;
    }
    // Layers are rebuilt through the same calls a script makes, so every size
    // is checked again; the stored parameters then replace the fresh ones.
    for (uint32_t i = 0; i < count && r.ok; ++i) {
        const auto kind = nrv::LayerKind(r.value<int32_t>());
        const std::string name = r.text();
        int32_t v[10];
        for (int32_t& x : v) {
            x = r.value<int32_t>();
        }
        const float scale = r.value<float>();
        if (!r.ok) {
            break;
        }
        const bool first = i == 0;
        nrv_layer* l = nullptr;
        if (kind == nrv::LayerKind::CONV) {
            l = nrv_add_layer_conv(n, v[3], v[4], v[5], v[6], v[7], v[0], scale, name.c_str(), v[8],
                                   v[9]);
        } else if ((kind == nrv::LayerKind::INPUT) == first &&
                   (kind == nrv::LayerKind::INPUT || kind == nrv::LayerKind::DENSE)) {
            l = nrv_add_layer(n, v[2], v[0], scale, name.c_str());
        }
        if (!l || l->inSize != v[1] || l->outSize != v[2]) {
            return nrv::fail(n, "'%s': damaged network file (layer %u)", file, i + 1), n;
        }
    }
    if (!r.ok) {
        return nrv::fail(n, "'%s': truncated network file", file), n;
    }
    // The parameters the layers ask for must be in the file before any
    // memory is set aside for them: a damaged header asks for too many.
    double parameters = 0;
    for (const nrv_layer* l : m->layers) {
        parameters += nrv::parameterCount(l);
    }
    if (parameters * (withState ? 3 : 1) * sizeof(float) > double(nrv::bytesLeft(f.get()))) {
        return nrv::fail(n, "'%s': truncated network file", file), n;
    }
    nrv::clearStatus(n);
    if (!nrv::buildLayers(n)) {
        return n;
    }
    for (nrv_layer* l : m->layers) {
        for (nrv::Param* p : {&l->weights, &l->bias}) {
            r.floats(p->value);
            if (withState) {
                r.floats(p->m);
                r.floats(p->v);
            }
        }
    }
    if (!r.ok) {
        return nrv::fail(n, "'%s': truncated network file", file), n;
    }
    m->step = withState ? step : 0;
    return n;
}
