// C-V of an abrupt silicon p+-n junction: the built-in potential, the
// depletion charge on either side of the junction, and 1/C^2 linear in the
// reverse bias with its intercept at Vbi - 2 Vt. (The capacitance value and
// the doping from the slope are checked on the device file's run.)
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "biasFixture.h"

namespace {

struct CvRow {
    double V, Q, C;
};

std::vector<CvRow> readCv(const std::wstring& file)
{
    std::ifstream in{std::filesystem::path(file)};
    std::vector<CvRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        fields.imbue(std::locale::classic());
        CvRow row{};
        fields >> row.V >> row.Q >> row.C;
        rows.push_back(row);
    }
    return rows;
}

class JunctionCv : public BiasFixture {
protected:
    static constexpr double NA = 1e18;
    static constexpr double ND = 1e16;

    void SetUp() override
    {
        BiasFixture::SetUp();
        buildJunction(NA, ND, 0.5, 2.0, 200, 400);
        ASSERT_EQ(sigma.err, 0) << lastMessage();
        ASSERT_GT(sweep(-2.0, 0.2, 0.05, nuParam::METHOD_NEWTON), 0) << lastMessage();
        rows = readCv(path("simulout_cv.txt"));
        ASSERT_EQ(rows.size(), 45u);
    }

    double eps() const { return sim.getMesh().mat.Eps[0] * EPS0; }

    // Built-in potential from the majority densities of the two neutral
    // ends (incomplete ionisation included).
    double builtIn() const
    {
        const ekSolutionArrays& s = sim.getMesh().sol;
        const double N0 = sim.getNorm().density;
        const int last = sim.getPoints() - 1;
        const double ni = sim.getMesh().mat.ni[0] * N0;
        return Vt() * std::log(s.pEq[0] * N0 * s.nEq[last] * N0 / (ni * ni));
    }

    std::vector<CvRow> rows;
};

TEST_F(JunctionCv, BuiltInPotentialIsTheEquilibriumPotentialStep)
{
    const ekSolutionArrays& s = sim.getMesh().sol;
    const double step = (s.Veq[sim.getPoints() - 1] - s.Veq[0]) * Vt();
    EXPECT_NEAR(step, builtIn(), 0.002 * builtIn());
}

TEST_F(JunctionCv, ChargesOnEitherSideOfTheDepletionPlaneBalance)
{
    // The plane lies inside the depletion region, on the lightly doped side.
    const int plane = sim.getDepletionPlane();
    ASSERT_GT(plane, 200);
    const ekSolutionArrays& s = sim.getMesh().sol;
    EXPECT_LT(s.nEq[plane] + s.pEq[plane], 1e-3 * ND / sim.getNorm().density);
    const SweepRows sweepRows = storedRows();
    for (size_t i = 0; i < sweepRows.V.size(); ++i) {
        EXPECT_GT(sweepRows.Qp[i], 0.0);
        EXPECT_NEAR(sweepRows.Qp[i], -sweepRows.Qm[i], 1e-4 * sweepRows.Qp[i]);
    }
}

TEST_F(JunctionCv, InverseSquareCapacitanceIsLinearUpToTheBuiltInPotential)
{
    // Least squares of 1/C^2 against V over the reverse bias.
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    std::vector<CvRow> reverse;
    for (const CvRow& row : rows) {
        if (row.V <= -0.3 && row.V >= -1.95) {
            reverse.push_back(row);
            const double y = 1.0 / (row.C * row.C);
            n += 1, sx += row.V, sy += y, sxx += row.V * row.V, sxy += row.V * y;
        }
    }
    ASSERT_GE(reverse.size(), 30u);
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double intercept = (sy - slope * sx) / n;
    for (const CvRow& row : reverse) {
        const double y = 1.0 / (row.C * row.C);
        EXPECT_NEAR(y, slope * row.V + intercept, 0.005 * y) << "at " << row.V << " V";
    }
    // The intercept lies at Vbi - 2 Vt (within the screening of the heavy
    // side, which the closed form leaves out).
    EXPECT_NEAR(-intercept / slope, builtIn() - 2.0 * Vt(), 2.0 * Vt());
}

}  // namespace
