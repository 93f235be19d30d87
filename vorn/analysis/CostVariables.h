#pragma once

#include "KorEquation.h"

#include <string>
#include <utility>
#include <vector>

class TeteTranchee;
struct sExcavationResults;

// The user's cost function: one global expression over named quantities of
// the last excavation (gResults, gSlopeHeight). Names: "V" (volume), "S"
// (total surface), "H" (slope height), one summed variable per face
// position ("PF", then the face names of the head's type, below), and per
// layer i the same with the suffix "[i]": V[i], PF[i], ..., S[i].
//
// Sums go through SumResults: a failed computation gives -1 to every sum,
// never the total of the layers that happened to succeed.

// The global cost equation (start-up text "0"); its text is the project's
// "EquationCout" once the variables are set.
extern KorEquation gCostEquation;

using CostVariableList = std::vector<std::pair<std::string, double>>;

// The name of surface position `position` (0 "PF" up to the last face
// position: 11 for a single head, 17 for a double one) for the head's type;
// the side letters G and D of positions 7 to 17 of a double head are
// swapped when CoteAvance is not 45. Empty out of range.
std::string GetFaceVariableName(const TeteTranchee& head, int position);

// The variables the results give, in the order they are set (a later one of
// the same name wins): "V", "S", "H", the summed face variables chosen by
// the length of the first layer's surface list (13 single names, 19 double
// names, other lengths none), then per layer V[i], its face variables when
// its list has the head type's length, and S[i].
CostVariableList BuildCostVariables(const TeteTranchee& head, const sExcavationResults& results,
                                    double slopeHeight);

// The placeholder results standing for a computation not made yet: one
// volume 1.0 per layer, one list per layer of 13 (single) or 19 (double)
// values 1.0.
sExcavationResults PlaceholderResults(const TeteTranchee& head, int layerCount);

// Sets the cost equation: every variable removed, the text set to the
// project's "EquationCout", gResults filled with placeholders when its
// surface lists are empty (they stay until the next invalidation or
// computation), then the variables of BuildCostVariables.
void SetCostVariables(const TeteTranchee& head);

// The names SetCostVariables gives for this head and that many layers.
std::vector<std::string> GetCostVariableNames(const TeteTranchee& head, int layerCount);

// The evaluator's French error text for the expression with each of the
// names a variable of value 1 (so no value of the current results, such as
// an H of 0 before any computation, can refuse a sound expression); empty
// when it evaluates.
std::string ValidateCostExpression(const std::string& text, const std::vector<std::string>& names);
