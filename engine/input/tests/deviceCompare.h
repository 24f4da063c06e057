// One comparison of two loaded runs, field by field: device, every layer
// with its dopant and traps, both contacts, the excitation, the numeric
// settings, the channel's switches and the simulator's file names.
#pragma once

#include <cmath>
#include <string>

#include "ekContact.h"
#include "ekLayer.h"
#include "ekLevel.h"
#include "inputTestSupport.h"

namespace inputtest {

inline bool sameNumber(double a, double b)
{
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b);
    }
    // The writer keeps every double exactly; only the lattice constants
    // pass through a scale of 1e4 and back.
    return a == b || std::fabs(a - b) <= 1e-14 * std::max(std::fabs(a), std::fabs(b));
}

inline std::string textOf(const wchar_t* text)
{
    return text != nullptr ? kov_toUtf8(text) : std::string("(none)");
}

template <typename Object, typename Value>
struct Getter {
    const char* name;
    Value (Object::*get)() const;
};

template <typename Object>
void expectSameNumbers(const Object* a, const Object* b,
                       std::initializer_list<Getter<Object, double>> getters)
{
    for (const auto& getter : getters) {
        const double x = (a->*getter.get)();
        const double y = (b->*getter.get)();
        EXPECT_TRUE(sameNumber(x, y)) << getter.name << ": " << x << " vs " << y;
    }
}

inline void expectSameLevel(const ekLevel* a, const ekLevel* b)
{
    ASSERT_EQ(a == nullptr, b == nullptr);
    if (a == nullptr) {
        return;
    }
    EXPECT_EQ(textOf(a->getName()), textOf(b->getName()));
    EXPECT_EQ(a->getType(), b->getType());
    expectSameNumbers<ekLevel>(a, b,
                               {{"N", &ekLevel::getN},
                                {"Nr", &ekLevel::getNr},
                                {"E", &ekLevel::getE},
                                {"W", &ekLevel::getW},
                                {"Taun", &ekLevel::getTn},
                                {"Taup", &ekLevel::getTp},
                                {"F", &ekLevel::getF}});
}

inline void expectSameLayer(const ekLayer* a, const ekLayer* b)
{
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(textOf(a->getName()), textOf(b->getName()));
    EXPECT_EQ(textOf(a->getMaterial()), textOf(b->getMaterial()));
    EXPECT_EQ(textOf(a->getMaterialAC()), textOf(b->getMaterialAC()));
    EXPECT_EQ(textOf(a->getMaterialBC()), textOf(b->getMaterialBC()));
    EXPECT_EQ(textOf(a->getDataRef()), textOf(b->getDataRef()));
    expectSameNumbers<ekLayer>(a, b,
                               {{"thickness", &ekLayer::getThickness},
                                {"Eg", &ekLayer::getBandgap},
                                {"bandgap bowing", &ekLayer::getBandgapBowing},
                                {"Chi", &ekLayer::getAffinity},
                                {"affinity bowing", &ekLayer::getAffinityBowing},
                                {"x", &ekLayer::getCompositionX},
                                {"y", &ekLayer::getCompositionY},
                                {"NC", &ekLayer::getNC},
                                {"NV", &ekLayer::getNV},
                                {"Eso", &ekLayer::getEso},
                                {"Me", &ekLayer::getMe},
                                {"Mhh", &ekLayer::getMhh},
                                {"Mlh", &ekLayer::getMlh},
                                {"Msh", &ekLayer::getMsh},
                                {"Eps", &ekLayer::getEps},
                                {"Thermc", &ekLayer::getThermc},
                                {"Heat", &ekLayer::getHeat},
                                {"a", &ekLayer::getLatticeA},
                                {"b", &ekLayer::getLatticeB},
                                {"c", &ekLayer::getLatticeC},
                                {"e31", &ekLayer::getLatticeE31},
                                {"e33", &ekLayer::getLatticeE33},
                                {"c11", &ekLayer::getLatticeC11},
                                {"c12", &ekLayer::getLatticeC12},
                                {"c13", &ekLayer::getLatticeC13},
                                {"c33", &ekLayer::getLatticeC33},
                                {"Psp", &ekLayer::getPsp},
                                {"Ebr", &ekLayer::getEbr},
                                {"Mobn", &ekLayer::getMobn},
                                {"Mobp", &ekLayer::getMobp},
                                {"Beta", &ekLayer::getBeta},
                                {"Cn", &ekLayer::getCn},
                                {"Cp", &ekLayer::getCp},
                                {"Taun", &ekLayer::getTaun},
                                {"Taup", &ekLayer::getTaup},
                                {"EA", &ekLayer::getUrbachEA},
                                {"ED", &ekLayer::getUrbachED},
                                {"GA", &ekLayer::getUrbachGA},
                                {"GD", &ekLayer::getUrbachGD},
                                {"TaunA", &ekLayer::getUrbachTaunA},
                                {"TaupA", &ekLayer::getUrbachTaupA},
                                {"TaunD", &ekLayer::getUrbachTaunD},
                                {"TaupD", &ekLayer::getUrbachTaupD},
                                {"T", &ekLayer::getT},
                                {"n", &ekLayer::getIndexn},
                                {"k", &ekLayer::getIndexk}});
    EXPECT_EQ(a->isDirect(), b->isDirect());
    EXPECT_EQ(a->isUrbach(), b->isUrbach());
    EXPECT_EQ(a->isTunnel(), b->isTunnel());
    EXPECT_EQ(a->getGroup(), b->getGroup());
    EXPECT_EQ(a->getLatticeType(), b->getLatticeType());
    EXPECT_EQ(a->getMeshPoints(), b->getMeshPoints());
    EXPECT_EQ(a->getIndexModel(), b->getIndexModel());
    EXPECT_EQ(textOf(a->getIndexFile()), textOf(b->getIndexFile()));
    EXPECT_EQ(textOf(a->getIndexScript()), textOf(b->getIndexScript()));
    for (int kind = 0; kind < ekLayer::MODEL_COUNT; ++kind) {
        const auto model = static_cast<ekLayer::ModelKind>(kind);
        EXPECT_EQ(textOf(a->getScript(model)), textOf(b->getScript(model))) << "model " << kind;
        EXPECT_EQ(a->isScript(model), b->isScript(model)) << "model " << kind;
    }
    {
        SCOPED_TRACE("dopant");
        expectSameLevel(a->getDopant(), b->getDopant());
    }
    ASSERT_EQ(a->getTrapCount(), b->getTrapCount());
    for (int i = 0; i < a->getTrapCount(); ++i) {
        SCOPED_TRACE("trap " + std::to_string(i + 1));
        expectSameLevel(a->getTrap(i), b->getTrap(i));
    }
}

inline int layerPosition(const ElecDevice* device, const ekLayer* layer)
{
    for (int i = 0; i < device->getLayerCount(); ++i) {
        if (device->getLayer(i) == layer) {
            return i;
        }
    }
    return -1;
}

inline void expectSameContact(const DeviceRun& runA, const DeviceRun& runB, bool anode)
{
    const ekContact* a = anode ? runA.device->getAnode() : runA.device->getCathode();
    const ekContact* b = anode ? runB.device->getAnode() : runB.device->getCathode();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(textOf(a->getName()), textOf(b->getName()));
    EXPECT_EQ(textOf(a->getMaterial()), textOf(b->getMaterial()));
    EXPECT_EQ(a->getGroup(), b->getGroup());
    expectSameNumbers<ekContact>(a, b,
                                 {{"phi", &ekContact::getPhi},
                                  {"Rn", &ekContact::getRn},
                                  {"Rp", &ekContact::getRp},
                                  {"thickness", &ekContact::getThickness},
                                  {"n", &ekContact::getIndexn},
                                  {"k", &ekContact::getIndexk}});
    EXPECT_EQ(a->isTunnel(), b->isTunnel());
    EXPECT_EQ(a->getBoundary(), b->getBoundary());
    EXPECT_EQ(a->isBoundarySet(), b->isBoundarySet());
    EXPECT_EQ(a->getIndexModel(), b->getIndexModel());
    EXPECT_EQ(textOf(a->getIndexFile()), textOf(b->getIndexFile()));
    EXPECT_EQ(textOf(a->getIndexScript()), textOf(b->getIndexScript()));
    EXPECT_EQ(layerPosition(runA.device.get(), a->getLayerAfter()),
              layerPosition(runB.device.get(), b->getLayerAfter()));
}

inline void expectSameExcitation(const ekExcitation& a, const ekExcitation& b)
{
    const std::pair<const char*, double> numbers[][2] = {
        {{"Vstart", a.Vstart}, {"", b.Vstart}},  {{"Vend", a.Vend}, {"", b.Vend}},
        {{"Vstep", a.Vstep}, {"", b.Vstep}},     {{"Jinf", a.Jinf}, {"", b.Jinf}},
        {{"Jsup", a.Jsup}, {"", b.Jsup}},        {{"Wstart", a.Wstart}, {"", b.Wstart}},
        {{"Wend", a.Wend}, {"", b.Wend}},        {{"Wstep", a.Wstep}, {"", b.Wstep}},
        {{"flux0", a.flux[0]}, {"", b.flux[0]}}, {{"flux1", a.flux[1]}, {"", b.flux[1]}},
        {{"flux2", a.flux[2]}, {"", b.flux[2]}},
    };
    for (const auto& pair : numbers) {
        EXPECT_TRUE(sameNumber(pair[0].second, pair[1].second))
            << pair[0].first << ": " << pair[0].second << " vs " << pair[1].second;
    }
    EXPECT_EQ(a.biasType, b.biasType);
    EXPECT_EQ(a.lightType, b.lightType);
    EXPECT_EQ(a.qeSweep, b.qeSweep);
    EXPECT_EQ(textOf(a.lightFilename), textOf(b.lightFilename));
    EXPECT_EQ(textOf(a.biasFilename), textOf(b.biasFilename));
}

inline void expectSameSettings(const DeviceRun& a, const DeviceRun& b)
{
    EXPECT_EQ(a.param.method, b.param.method);
    EXPECT_EQ(a.param.solver, b.param.solver);
    EXPECT_TRUE(sameNumber(a.param.damp, b.param.damp)) << a.param.damp << " vs " << b.param.damp;
    EXPECT_EQ(a.param.dampMode, b.param.dampMode);
    EXPECT_EQ(a.param.mesh, b.param.mesh);
    EXPECT_EQ(a.param.points, b.param.points);
    EXPECT_EQ(a.param.maxiter, b.param.maxiter);
    EXPECT_TRUE(sameNumber(a.param.reltol, b.param.reltol))
        << a.param.reltol << " vs " << b.param.reltol;
    EXPECT_EQ(textOf(a.param.outDir), textOf(b.param.outDir));
    EXPECT_EQ(a.param.outDirDate, b.param.outDirDate);
    EXPECT_EQ(a.param.plot, b.param.plot);
    EXPECT_EQ(a.sigma.outputType, b.sigma.outputType);
    EXPECT_EQ(a.sigma.saveFull, b.sigma.saveFull);
    EXPECT_EQ(textOf(a.simulator->getMeshFilename()), textOf(b.simulator->getMeshFilename()));
    EXPECT_EQ(textOf(a.simulator->getInitialGuessFilename()),
              textOf(b.simulator->getInitialGuessFilename()));
    EXPECT_TRUE(sameNumber(a.simulator->getNorm().T, b.simulator->getNorm().T));
    EXPECT_TRUE(sameNumber(a.simulator->getNorm().Vt, b.simulator->getNorm().Vt));
}

// Everything a device file carries, compared between two loads.
inline void expectSameRun(const DeviceRun& a, const DeviceRun& b)
{
    const ElecDevice& x = *a.device;
    const ElecDevice& y = *b.device;
    EXPECT_EQ(textOf(x.getName()), textOf(y.getName()));
    EXPECT_EQ(textOf(x.getNote()), textOf(y.getNote()));
    EXPECT_TRUE(sameNumber(x.getT(), y.getT()));
    EXPECT_TRUE(sameNumber(x.getPolarizationScale(), y.getPolarizationScale()));
    EXPECT_TRUE(sameNumber(x.getThickness(), y.getThickness()));
    EXPECT_EQ(textOf(x.getHeader()), textOf(y.getHeader()));
    ASSERT_EQ(x.getVariableCount(), y.getVariableCount());
    for (int i = 0; i < x.getVariableCount(); ++i) {
        EXPECT_EQ(textOf(x.getVariableName(i)), textOf(y.getVariableName(i)));
        EXPECT_EQ(textOf(x.getVariableValue(i)), textOf(y.getVariableValue(i)));
    }
    ASSERT_EQ(x.getLayerCount(), y.getLayerCount());
    for (int i = 0; i < x.getLayerCount(); ++i) {
        SCOPED_TRACE("layer " + std::to_string(i + 1));
        expectSameLayer(x.getLayer(i), y.getLayer(i));
    }
    {
        SCOPED_TRACE("anode");
        expectSameContact(a, b, true);
    }
    {
        SCOPED_TRACE("cathode");
        expectSameContact(a, b, false);
    }
    {
        SCOPED_TRACE("excitation");
        expectSameExcitation(*a.excitation, *b.excitation);
    }
    SCOPED_TRACE("settings");
    expectSameSettings(a, b);
}

}  // namespace inputtest
