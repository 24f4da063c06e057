// The road of a bias sweep from its shape: a sweep that crosses 0 V runs
// as two halves from 0 V outwards, one that stays on one side starts at
// the point nearest 0 V (reached by a ramp when it is far), and a single
// point far from 0 V is approached by a ramp that stops short of it.
#include "ekSweepPlan.h"

#include <algorithm>
#include <cmath>

#include "ekHelpers.h"
#include "ekLimits.h"

namespace {

using ekLimits::EQUILIBRIUM_BIAS;
constexpr double FIRST_STEP = 0.4;  // Vt: start of a ramp to a far single point
constexpr double RAMP_STEP = 1.0;   // Vt: ramp step towards a far first point
// Vt: step of the walk from 0 V to the first point of a half of a sweep
// across 0 V, as a long sweep step is walked.
constexpr double HALF_APPROACH_STEP = ekLimits::BIAS_SUBSTEP;

ekSweepSegment segment(ekSweepStep kind)
{
    ekSweepSegment s;
    s.kind = kind;
    return s;
}

ekSweepSegment start(double bias)
{
    ekSweepSegment s = segment(ekSweepStep::Start);
    s.from = bias;
    return s;
}

ekSweepSegment ramp(double from, double to, double step)
{
    ekSweepSegment s = segment(ekSweepStep::Ramp);
    s.from = from;
    s.to = to;
    s.step = step;
    return s;
}

ekSweepSegment range(int first, int last)
{
    ekSweepSegment s = segment(ekSweepStep::Range);
    s.first = first;
    s.last = last;
    return s;
}

ekSweepSegment row(ekSweepStep kind, int index)
{
    ekSweepSegment s = segment(kind);
    s.first = index;
    return s;
}

bool inside(int index, int points) { return index >= 0 && index < points; }

// The walk from 0 V to the first point of a half of a sweep across 0 V.
// Under light the half starts from the solved 0 V state under light (the
// ramp's first solve), never from the dark equilibrium with the light and
// a whole step at once; in the dark from the equilibrium, walked when the
// point is further than a Vt.
void approachFromZero(const ekSweepShape& shape, int first, std::vector<ekSweepSegment>& plan)
{
    const double to = shape.bias(first);
    const bool walk = shape.dark ? std::fabs(to) > RAMP_STEP : std::fabs(to) >= EQUILIBRIUM_BIAS;
    if (walk) {
        plan.push_back(ramp(0.0, to, HALF_APPROACH_STEP));
    }
}

// One point: near 0 V solved from the start there; far from it, started
// 0.4 Vt out and ramped to 0.4 Vt short of it.
void planSinglePoint(const ekSweepShape& shape, std::vector<ekSweepSegment>& plan)
{
    const double S = shape.S;
    if (std::fabs(S) > RAMP_STEP) {
        double s = S > 0.0 ? FIRST_STEP : -FIRST_STEP;
        const double t = S - s;
        if (std::fabs(t - s) < FIRST_STEP) {
            s = S;
        }
        plan.push_back(start(s));
        if (s != S) {
            plan.push_back(ramp(s, t, FIRST_STEP));
        }
    } else {
        plan.push_back(start(S));
    }
    plan.push_back(range(0, 0));
}

// Across 0 V: the lower half downwards from 0 V, the equilibrium laid back,
// the upper half upwards, each walked to from 0 V. z is the 0 V point when the sweep has one, else
// the last point below 0 V; the 0 V point itself is solved under light
// only (in the dark it is the equilibrium) and its row filled at the end.
void planCrossing(const ekSweepShape& shape, std::vector<ekSweepSegment>& plan)
{
    const int points = shape.points;
    int posC = shape.posC;
    if (posC < 0 && inside(shape.posR, points) && shape.posRAtZero) {
        posC = shape.posR;
    }
    int z = -1;
    if (inside(posC, points)) {
        z = posC;
    } else if (inside(shape.posL, points)) {
        z = shape.posL;
    }
    if (z < 0) {
        return;
    }
    const bool zeroIsPoint = z == posC;
    const int f1 = (zeroIsPoint && shape.dark) ? z - 1 : z;
    if (f1 >= 0) {
        approachFromZero(shape, f1, plan);
        plan.push_back(range(f1, 0));
    }
    plan.push_back(segment(ekSweepStep::RestoreEquilibrium));
    // A sweep that ends at 0 V has no upper half: its 0 V point is already
    // the lower half's first.
    const int f2 = (zeroIsPoint && !shape.dark) ? z : z + 1;
    if (f2 <= points - 1 && z < points - 1) {
        approachFromZero(shape, f2, plan);
        plan.push_back(range(f2, points - 1));
    }
    if (zeroIsPoint) {
        plan.push_back(row(shape.dark ? ekSweepStep::ZeroRowDark : ekSweepStep::ZeroRowLit, z));
    }
}

// On one side of 0 V: from the point nearest 0 V outwards, ramped to it
// in steps of one Vt when it is further than that.
void planOneSide(const ekSweepShape& shape, std::vector<ekSweepSegment>& plan)
{
    const int last = shape.points - 1;
    if (shape.E < 0.0) {
        if (std::fabs(shape.E) > RAMP_STEP) {
            plan.push_back(start(-RAMP_STEP));
            plan.push_back(ramp(-RAMP_STEP, shape.E, RAMP_STEP));
        } else {
            plan.push_back(start(shape.E));
        }
        plan.push_back(range(last, 0));
        return;
    }
    if (shape.S > RAMP_STEP) {
        plan.push_back(start(RAMP_STEP));
        plan.push_back(ramp(RAMP_STEP, shape.S, RAMP_STEP));
    } else {
        plan.push_back(start(shape.S));
    }
    if (ek_isEqual(shape.S, 0.0) && shape.dark) {
        // 0 V in the dark is the equilibrium: no current.
        plan.push_back(row(ekSweepStep::EquilibriumRow, 0));
        plan.push_back(range(1, last));
    } else {
        plan.push_back(range(0, last));
    }
}

}  // namespace

double ekSweepShape::bias(int i) const
{
    if (i >= 0 && static_cast<size_t>(i) < biases.size()) {
        return biases[static_cast<size_t>(i)];
    }
    return i >= points - 1 ? E : S + d * i;
}

std::vector<ekSweepSegment> ekPlanSweep(const ekSweepShape& shape)
{
    std::vector<ekSweepSegment> plan;
    const bool crossing = shape.S < 0.0 && shape.E >= 0.0;
    if (crossing && shape.dark) {
        ekSweepSegment around = segment(ekSweepStep::Derivatives);
        around.step = std::clamp(0.1 * std::fabs(shape.d), EQUILIBRIUM_BIAS, 1.0);
        plan.push_back(around);
        plan.push_back(segment(ekSweepStep::RestoreEquilibrium));
    }
    plan.push_back(segment(ekSweepStep::Announce));
    if (shape.points == 1) {
        planSinglePoint(shape, plan);
    } else if (crossing) {
        planCrossing(shape, plan);
    } else if ((shape.S < 0.0 && shape.E < 0.0) || (shape.S >= 0.0 && shape.E > 0.0)) {
        planOneSide(shape, plan);
    }
    return plan;
}
