// The validated parameter groups of a layer: each stores all of its values
// or none, refuses a bad value with its own message, accepts its bounds.
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "layerTestSupport.h"

namespace {

using Values = std::vector<double>;

struct BadValue {
    size_t index;  // which argument is spoiled
    double value;
    const wchar_t* message;
};

struct SetterCase {
    const char* label;
    std::function<bool(ekLayer&, const Values&)> apply;
    std::function<Values(const ekLayer&)> read;
    Values good;                                    // inside every range
    Values other;                                   // inside every range, each unlike good
    std::vector<std::pair<size_t, double>> bounds;  // accepted: exactly on a bound
    std::vector<BadValue> bad;                      // refused
};

const double NaN = std::numeric_limits<double>::quiet_NaN();

constexpr const wchar_t* THICKNESS = L"[ERROR]   invalid layer thickness\n";
constexpr const wchar_t* COMPOSITION = L"[ERROR]   invalid layer composition\n";
constexpr const wchar_t* BOWING = L"[ERROR]   invalid bowing parameter\n";
constexpr const wchar_t* TEMPERATURE = L"[ERROR]   invalid temperature\n";
constexpr const wchar_t* ENERGY = L"[ERROR]   invalid layer energy parameters\n";
constexpr const wchar_t* PERMITTIVITY = L"[ERROR]   invalid layer permittivity\n";
constexpr const wchar_t* BANDGAP = L"[ERROR]   invalid layer bandgap parameters\n";
constexpr const wchar_t* MASS = L"[ERROR]   invalid layer effective mass parameters\n";
constexpr const wchar_t* URBACH = L"[ERROR]   invalid Urbach parameters\n";
constexpr const wchar_t* THERM = L"[ERROR]   invalid layer optical parameters\n";
constexpr const wchar_t* MOBILITY = L"[ERROR]   invalid layer mobility parameters\n";
constexpr const wchar_t* RECOMB = L"[ERROR]   invalid recombination parameters\n";
constexpr const wchar_t* LATTICE =
    L"[ERROR]   invalid lattice parameter (valid range: [0.1 ; 1] nm)\n";
constexpr const wchar_t* PIEZO =
    L"[ERROR]   invalid piezoelectric parameters e31/e33 (max: 1e5 C/m2)\n";
constexpr const wchar_t* ELASTIC =
    L"[ERROR]   invalid elastic parameters c13/c33 (max: 1e5 C/m2)\n";
constexpr const wchar_t* SPONTANEOUS =
    L"[ERROR]   invalid spontaneous polarization (max: 1e5 C/m2)\n";

std::vector<SetterCase> setterCases()
{
    return {
        {"updateMain",
         [](ekLayer& l, const Values& v) { return l.updateMain(v[0], v[1], v[2], v[3], v[4]); },
         [](const ekLayer& l) {
             return Values{l.getThickness(), l.getCompositionX(), l.getCompositionY(),
                           l.getBandgapBowing(), l.getAffinityBowing()};
         },
         {2.5, 0.3, 0.4, 1.5, -2.0},
         {3.5, 0.5, 0.6, -1.0, 2.0},
         {{0, 1e-4}, {0, 1e4}, {1, 0.0}, {2, 1.0}, {3, -20.0}, {4, 20.0}},
         {{0, 0.0, THICKNESS},
          {0, 1.0001e4, THICKNESS},
          {0, NaN, THICKNESS},
          {1, -0.1, COMPOSITION},
          {2, 1.1, COMPOSITION},
          {3, 20.5, BOWING},
          {4, -21.0, BOWING}}},
        {"updateTemperature",
         [](ekLayer& l, const Values& v) { return l.updateTemperature(v[0]); },
         [](const ekLayer& l) { return Values{l.getT()}; },
         {350.0},
         {400.0},
         {{0, 1.0}, {0, 2000.0}},
         {{0, 0.5, TEMPERATURE}, {0, 2001.0, TEMPERATURE}, {0, NaN, TEMPERATURE}}},
        {"updateEnergy",
         [](ekLayer& l, const Values& v) { return l.updateEnergy(v[0], v[1], v[2], v[3]); },
         [](const ekLayer& l) {
             return Values{l.getBandgap(), l.getAffinity(), l.getNC(), l.getNV()};
         },
         {1.5, 4.1, 3e19, 2e19},
         {1.1, 4.0, 1e19, 1e19},
         {{0, 0.001}, {1, 20.0}, {2, 1e6}, {3, 1e24}},
         {{0, 0.0, ENERGY}, {1, 21.0, ENERGY}, {2, 1e5, ENERGY}, {3, 2e24, ENERGY}}},
        {"updatePermittivity",
         [](ekLayer& l, const Values& v) { return l.updatePermittivity(v[0]); },
         [](const ekLayer& l) { return Values{l.getEps()}; },
         {12.5},
         {9.5},
         {{0, 1.0}, {0, 100.0}},
         {{0, 0.99, PERMITTIVITY}, {0, 101.0, PERMITTIVITY}}},
        {"updateBandgap",
         [](ekLayer& l, const Values& v) { return l.updateBandgap(v[0]); },
         [](const ekLayer& l) { return Values{l.getBandgap()}; },
         {1.7},
         {2.7},
         {{0, 0.001}, {0, 20.0}},
         {{0, 0.0009, BANDGAP}, {0, 20.1, BANDGAP}}},
        {"updateMass",
         [](ekLayer& l, const Values& v) { return l.updateMass(v[0], v[1], v[2], v[3], v[4]); },
         [](const ekLayer& l) {
             return Values{l.getMe(), l.getMhh(), l.getMlh(), l.getMsh(), l.getEso()};
         },
         {0.2, 0.5, 0.1, 0.3, 0.05},
         {0.3, 0.6, 0.2, 0.4, 0.1},
         {{0, 0.001}, {1, 10.0}, {4, 0.0}, {4, 10.0}},
         {{0, 0.0, MASS}, {3, 11.0, MASS}, {4, -0.01, MASS}}},
        {"updateUrbach",
         [](ekLayer& l, const Values& v) {
             return l.updateUrbach(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], true);
         },
         [](const ekLayer& l) {
             return Values{l.getUrbachEA(),    l.getUrbachED(),    l.getUrbachGA(),
                           l.getUrbachGD(),    l.getUrbachTaunA(), l.getUrbachTaupA(),
                           l.getUrbachTaunD(), l.getUrbachTaupD()};
         },
         {0.03, 0.06, 1e20, 2e20, 1e-9, 2e-9, 3e-9, 4e-9},
         {0.04, 0.07, 3e20, 4e20, 5e-9, 6e-9, 7e-9, 8e-9},
         {{0, 5.0}, {4, 1e-15}, {7, 1000.0}},
         {{0, 5.1, URBACH},
          {1, -0.1, URBACH},
          {2, 1e26, URBACH},
          {4, 1e-16, URBACH},
          {7, 1001.0, URBACH}}},
        {"updateTherm",
         [](ekLayer& l, const Values& v) { return l.updateTherm(v[0], v[1]); },
         [](const ekLayer& l) {
             return Values{l.getThermc(), l.getHeat()};
         },
         {1.5, 0.8},
         {2.5, 0.9},
         {{0, 0.0}, {1, 100.0}},
         {{0, -0.1, THERM}, {1, 101.0, THERM}}},
        {"updateMobility",
         [](ekLayer& l, const Values& v) { return l.updateMobility(v[0], v[1], v[2]); },
         [](const ekLayer& l) {
             return Values{l.getEbr(), l.getMobn(), l.getMobp()};
         },
         {1e5, 1350.0, 480.0},
         {2e5, 1000.0, 400.0},
         {{0, 1.0}, {0, 1e12}, {1, 0.001}, {2, 1e5}},
         {{0, 0.5, MOBILITY}, {1, 0.0005, MOBILITY}, {2, 2e5, MOBILITY}}},
        {"updateRecomb",
         [](ekLayer& l, const Values& v) { return l.updateRecomb(v[0], v[1], v[2], v[3], v[4]); },
         [](const ekLayer& l) {
             return Values{l.getBeta(), l.getCn(), l.getCp(), l.getTaun(), l.getTaup()};
         },
         {1e-10, 1e-30, 2e-31, 1e-6, 2e-6},
         {2e-10, 3e-30, 4e-31, 3e-6, 4e-6},
         {{0, 1e-22}, {0, 1e-6}, {1, 1e-48}, {2, 1e-9}, {3, 1e-15}, {4, 1000.0}},
         {{0, 1e-23, RECOMB},
          {1, 1e-8, RECOMB},
          {2, 1e-49, RECOMB},
          {3, 1e-16, RECOMB},
          {4, 1001.0, RECOMB}}},
        {"updateLattice",
         [](ekLayer& l, const Values& v) {
             return l.updateLattice(0x20, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8],
                                    v[9]);
         },
         [](const ekLayer& l) {
             return Values{l.getLatticeA(),   l.getLatticeB(),   l.getLatticeC(),
                           l.getLatticeE31(), l.getLatticeE33(), l.getLatticeC11(),
                           l.getLatticeC12(), l.getLatticeC13(), l.getLatticeC33(),
                           l.getPsp()};
         },
         {0.5, 0.6, 0.7, -0.3, 0.5, 300.0, 140.0, 100.0, 390.0, -0.02},
         {0.4, 0.45, 0.55, 0.3, -0.5, 200.0, 120.0, 90.0, 380.0, 0.02},
         {{0, 0.1}, {0, 1.0}, {3, -10.0}, {4, 10.0}, {5, 0.0}, {8, 1e4}, {9, -10.0}},
         {{0, 0.09, LATTICE},
          {0, 1.01, LATTICE},
          {3, -10.5, PIEZO},
          {4, 11.0, PIEZO},
          {5, -1.0, ELASTIC},
          {7, 1.0001e4, ELASTIC},
          {9, 10.5, SPONTANEOUS},
          {9, NaN, SPONTANEOUS}}},
    };
}

class LayerSetters : public ::testing::Test {
protected:
    nuSigma sigma;
};

TEST_F(LayerSetters, GoodValuesAreStoredWhole)
{
    for (const SetterCase& c : setterCases()) {
        SCOPED_TRACE(c.label);
        ekLayer layer(&sigma);
        ASSERT_TRUE(sigma.isOK());
        EXPECT_TRUE(c.apply(layer, c.good));
        EXPECT_TRUE(sigma.isOK());
        EXPECT_EQ(c.read(layer), c.good);
        EXPECT_TRUE(c.apply(layer, c.other));
        EXPECT_EQ(c.read(layer), c.other);
    }
}

TEST_F(LayerSetters, BoundsAreInclusive)
{
    for (const SetterCase& c : setterCases()) {
        for (const auto& [index, value] : c.bounds) {
            SCOPED_TRACE(std::string(c.label) + " argument " + std::to_string(index) + " = " +
                         std::to_string(value));
            ekLayer layer(&sigma);
            Values values = c.good;
            values[index] = value;
            EXPECT_TRUE(c.apply(layer, values));
            EXPECT_TRUE(sigma.isOK());
            EXPECT_EQ(c.read(layer)[index], value);
        }
    }
}

TEST_F(LayerSetters, BadValueIsRefusedWithItsMessageAndNothingStored)
{
    for (const SetterCase& c : setterCases()) {
        for (const BadValue& bad : c.bad) {
            SCOPED_TRACE(std::string(c.label) + " argument " + std::to_string(bad.index) + " = " +
                         std::to_string(bad.value));
            ekLayer layer(&sigma);
            ASSERT_TRUE(c.apply(layer, c.good));
            // Every other argument differs too, so a partial store shows.
            Values values = c.other;
            values[bad.index] = bad.value;
            EXPECT_FALSE(c.apply(layer, values));
            EXPECT_FALSE(sigma.isOK());
            EXPECT_EQ(lastLine(sigma), bad.message);
            EXPECT_EQ(c.read(layer), c.good);
            sigma.reset();
        }
    }
}

TEST_F(LayerSetters, PendingErrorBlocksEverySetter)
{
    for (const SetterCase& c : setterCases()) {
        SCOPED_TRACE(c.label);
        ekLayer layer(&sigma);
        const Values before = c.read(layer);
        sigma.update(L"[ERROR]   earlier failure\n", 1);
        EXPECT_FALSE(c.apply(layer, c.good));
        EXPECT_EQ(c.read(layer), before);
        EXPECT_EQ(lastLine(sigma), L"[ERROR]   earlier failure\n");
        sigma.reset();
    }
}

TEST_F(LayerSetters, UpdateMainKeepsNameForDefaultNameAndSetsDopantType)
{
    ekLayer layer(&sigma, L"Si", L"Absorber");
    ASSERT_STREQ(layer.getName(), L"Absorber");
    for (const wchar_t* placeholder : {L"LayerX", L"layerx", L"LAYERX"}) {
        EXPECT_TRUE(layer.updateMain(placeholder, 0x20, 3.0, 0.1, 0.2));
        EXPECT_STREQ(layer.getName(), L"Absorber");
    }
    EXPECT_DOUBLE_EQ(layer.getThickness(), 3.0);
    EXPECT_DOUBLE_EQ(layer.getCompositionX(), 0.1);
    EXPECT_DOUBLE_EQ(layer.getCompositionY(), 0.2);
    EXPECT_EQ(layer.getType(), 0x20);
    EXPECT_STREQ(layer.getDopant()->getName(), L"Lx");

    EXPECT_TRUE(layer.updateMain(L"Emitter with a name longer than thirty-one", 0x10, 1, 0, 0));
    EXPECT_EQ(std::wstring(layer.getName()), L"Emitter with a name longer than");
    EXPECT_EQ(layer.getType(), 0x10);

    EXPECT_FALSE(layer.updateMain(nullptr, 0x10, 1.0, 0.0, 0.0));
}

TEST_F(LayerSetters, TooLowUrbachTailSwitchesModelOffWithoutError)
{
    ekLayer layer(&sigma);
    ASSERT_TRUE(layer.updateUrbach(0.03, 0.06, 1e20, 2e20, 1e-9, 2e-9, 3e-9, 4e-9, true));
    ASSERT_TRUE(layer.isUrbach());
    struct {
        double ea, ed, ga, gd;
    } tooLow[] = {
        {0.0005, 0.06, 1e20, 2e20},  // tail energy below 1 meV
        {0.03, 0.0009, 1e20, 2e20},
        {0.03, 0.06, 1e7, 2e20},  // EA*GA/2 below 1e6 1/cm3
        {0.03, 0.06, 1e20, 3e7},
    };
    for (const auto& v : tooLow) {
        layer.updateUrbach(0.03, 0.06, 1e20, 2e20, 1e-9, 2e-9, 3e-9, 4e-9, true);
        EXPECT_TRUE(layer.updateUrbach(v.ea, v.ed, v.ga, v.gd, 1e-8, 1e-8, 1e-8, 1e-8, true));
        EXPECT_TRUE(sigma.isOK());
        EXPECT_FALSE(layer.isUrbach());
        EXPECT_EQ(lastLine(sigma),
                  L"[INFO]    Urbach model disabled: energy/concentration too low\n");
        EXPECT_DOUBLE_EQ(layer.getUrbachEA(), 0.03);
        EXPECT_DOUBLE_EQ(layer.getUrbachGD(), 2e20);
        EXPECT_DOUBLE_EQ(layer.getUrbachTaunA(), 1e-9);
    }
    EXPECT_TRUE(layer.updateUrbach(0.03, 0.06, 1e20, 2e20, 1e-9, 2e-9, 3e-9, 4e-9, false));
    EXPECT_FALSE(layer.isUrbach());
}

TEST_F(LayerSetters, TinyPiezoelectricConstantsAreLiftedToTheSmallestSize)
{
    struct {
        double given, stored;
    } cases[] = {
        {1e-14, 1e-12}, {-1e-14, 1e-12}, {0.0, 0.0}, {1e-12, 1e-12}, {-2e-12, -2e-12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        ekLayer layer(&sigma);
        ASSERT_TRUE(
            layer.updateLattice(0, 0.5, 0.5, 0.5, c.given, c.given, 0, 0, 100, 400, c.given));
        EXPECT_EQ(layer.getLatticeE31(), c.stored);
        EXPECT_EQ(layer.getLatticeE33(), c.stored);
        EXPECT_EQ(layer.getPsp(), c.stored);
        EXPECT_EQ(layer.getLatticeType(), 0);
    }
}

TEST_F(LayerSetters, PlainStores)
{
    ekLayer layer(&sigma);
    struct {
        int given, stored;
    } mesh[] = {{3, 5}, {5, 5}, {100, 100}, {5000, 5000}, {6000, 5000}, {-7, 5}};
    for (const auto& m : mesh) {
        layer.updateMesh(m.given);
        EXPECT_EQ(layer.getMeshPoints(), m.stored) << m.given;
    }

    ASSERT_STREQ(layer.getMaterial(), L"Si");
    layer.setDirect(true);
    EXPECT_FALSE(layer.isDirect()) << "a built-in material keeps its gap kind";
    layer.setMaterial(L"Perovskite", false);
    EXPECT_STREQ(layer.getMaterial(), L"Perovskite");
    layer.setDirect(true);
    EXPECT_TRUE(layer.isDirect());

    layer.updateMobility(1e6, 100.0, 50.0);
    layer.resetMobility(1e6, 2e6);  // no checks by design
    EXPECT_DOUBLE_EQ(layer.getMobn(), 1e6);
    EXPECT_DOUBLE_EQ(layer.getMobp(), 2e6);
    EXPECT_DOUBLE_EQ(layer.getEbr(), 3e5);
    EXPECT_TRUE(sigma.isOK());
}

TEST_F(LayerSetters, MaterialNameIsCutAndAlloyMembersDerived)
{
    ekLayer layer(&sigma);
    layer.setMaterial(L"AlGaAs", false);
    EXPECT_TRUE(layer.isAlloy());
    EXPECT_STREQ(layer.getMaterialAC(), L"AlAs");
    EXPECT_STREQ(layer.getMaterialBC(), L"GaAs");

    layer.setMaterial(L"AVeryLongMaterialName", false);
    EXPECT_EQ(std::wstring(layer.getMaterial()), L"AVeryLongMateri");

    wchar_t m[32], ac[32], bc[32];
    layer.getMaterial(m, ac, bc);
    EXPECT_STREQ(m, L"AVeryLongMateri");
    EXPECT_STREQ(ac, L"AlAs");  // an unknown material does not clear the members
}

}  // namespace
