// The spreads of a box and the moments of its Beta shapes: what the engine scales scores by,
// and what the plots draw the population curves from.
#pragma once

#include "setup/generation_setup.h"

namespace zek {

/// A box's SD of the observed scores (its SD over the square root of the reliability), of the
/// true scores and of the measurement error.
struct BoxSpreads {
    double observedSd = 0.0;
    double trueSd = 0.0;
    double errorSd = 0.0;
};
BoxSpreads SpreadsOf(double sd, double reliability);

/// The moments of the Beta variates that shape skewed scores.
struct BetaMoments {
    double meanPos;  ///< mean of Beta(betaLow, betaHigh)
    double meanNeg;  ///< mean of Beta(betaHigh, betaLow)
    double sd;       ///< standard deviation of both
};
BetaMoments BetaMomentsOf(int betaLow, int betaHigh);
inline BetaMoments BetaMomentsOf(const GenerationSetup& setup) {
    return BetaMomentsOf(setup.betaLow, setup.betaHigh);
}

}  // namespace zek
