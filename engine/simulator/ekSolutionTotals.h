// ekSolutionTotals: what a stored solution adds up to over the mesh, the
// space charges per area and the terminal current, and the equilibrium's
// charges a bias sweep measures from. The saving of a converged point feeds
// it one point and one edge at a time; the sweeps and result files read it.
#pragma once

class ekMeshFields;

class ekSolutionTotals {
public:
    // Space charges per area of the last stored solution and of the
    // equilibrium (normalised sheet charge): the positive and the negative
    // side of the depletion plane (without a plane, the positive and the
    // negative parts of the charge density).
    double chargePlus = 0.0;
    double chargeMinus = 0.0;
    double chargePlusEq = 0.0;
    double chargeMinusEq = 0.0;
    // Terminal current density of the present solution (normalised).
    double meanCurrent = 0.0;
    // The plane that splits the depletion charge of a junction into its two
    // sides (last mesh point of the left side; -1: none). The point with
    // the fewest carriers at equilibrium: its charge does not move with the
    // bias, so the charge on either side of it is the one a capacitance
    // measurement sees.
    int depletionPlane = -1;

    // Starts the sums of a solution about to be stored.
    void begin();
    // Adds the charge density rho of point k over its control box of width
    // w; points is the present mesh's point count.
    void addCharge(int k, double w, double rho, int points)
    {
        if (hasDepletionPlane(points)) {
            (k <= depletionPlane ? chargeLeft : chargeRight) += w * rho;
        } else if (rho > 0.0) {
            chargePlus += w * rho;
        } else {
            chargeMinus += w * rho;
        }
    }
    // Offers the total current J of an edge whose fluxes are the difference
    // of terms of magnitude scale: the terminal current is read on the edge
    // of least cancellation (so least round-off).
    void offerEdge(double J, double scale)
    {
        if (terminalScale < 0.0 || scale < terminalScale) {
            terminalScale = scale;
            terminalCurrent = J;
        }
    }
    // Ends the sums: the terminal current becomes the mean current and the
    // two sides of the plane the positive and negative charges.
    void finish(int points);
    // The charges just stored are those of the equilibrium.
    void keepAsEquilibrium()
    {
        chargePlusEq = chargePlus;
        chargeMinusEq = chargeMinus;
    }
    // Back to the equilibrium: its charges and no current.
    void restoreEquilibrium()
    {
        meanCurrent = 0.0;
        chargePlus = chargePlusEq;
        chargeMinus = chargeMinusEq;
    }
    // A plane of another mesh (before a re-mesh) counts as none.
    bool hasDepletionPlane(int points) const
    {
        return depletionPlane >= 0 && depletionPlane < points;
    }
    // Sets the plane from the equilibrium potential V of the mesh's points.
    void locateDepletionPlane(const ekMeshFields& fields, const double* V, int points);

private:
    double chargeLeft = 0.0;
    double chargeRight = 0.0;
    double terminalCurrent = 0.0;
    double terminalScale = -1.0;  // < 0 until an edge is offered
};
