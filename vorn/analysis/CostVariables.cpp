#include "CostVariables.h"

#include "Excavation.h"
#include "ProjetOVX.h"
#include "TeteTranchee.h"

KorEquation gCostEquation("0");

namespace
{
constexpr size_t kSingleLength = 13;
constexpr size_t kDoubleLength = 19;

// Face positions 0 to 11 of a single head, 0 to 17 of a double one, the
// latter in the column of CoteAvance 45 and in the mirrored one.
const char* const kSingleNames[] = {"PF",  "FI",  "FM",  "FS",  "G1I", "G1M",
                                    "G1S", "D1I", "D1M", "D1S", "G2",  "D2"};
const char* const kDoubleNames45[] = {"PF",  "F1I", "F1M", "F1S", "F2I", "F2M", "F2S", "G1I", "G1M",
                                      "G1S", "G2I", "G2M", "G2S", "G3",  "D1I", "D1M", "D1S", "D2"};
const char* const kDoubleNamesOther[] = {"PF",  "F1I", "F1M", "F1S", "F2I", "F2M", "F2S", "D1I", "D1M",
                                         "D1S", "D2I", "D2M", "D2S", "D3",  "G1I", "G1M", "G1S", "G2"};

// The name of a position for a list of that length (13 single, 19 double).
std::string NameFor(const TeteTranchee& head, size_t length, size_t position)
{
    if (length == kSingleLength && position < kSingleLength - 1)
        return kSingleNames[position];
    if (length == kDoubleLength && position < kDoubleLength - 1)
        return head.CoteAvance == 45 ? kDoubleNames45[position] : kDoubleNamesOther[position];
    return std::string();
}
} // namespace

std::string GetFaceVariableName(const TeteTranchee& head, int position)
{
    if (position < 0)
        return std::string();
    return NameFor(head, head.DoubleEntree ? kDoubleLength : kSingleLength, static_cast<size_t>(position));
}

CostVariableList BuildCostVariables(const TeteTranchee& head, const sExcavationResults& results,
                                    double slopeHeight)
{
    CostVariableList variables;
    std::vector<double> totals;
    for (const std::vector<double>& list : results.Surfaces)
        totals.push_back(list.empty() ? 0.0 : list.back());
    variables.emplace_back("V", SumResults(results.Volumes));
    variables.emplace_back("S", SumResults(totals));
    variables.emplace_back("H", slopeHeight);

    // Summed face variables, by the first layer's list length.
    const size_t length = results.Surfaces.empty() ? 0 : results.Surfaces.front().size();
    if (length == kSingleLength || length == kDoubleLength)
        for (size_t position = 0; position + 1 < length; ++position)
        {
            std::vector<double> column;
            for (const std::vector<double>& list : results.Surfaces)
                if (position < list.size())
                    column.push_back(list[position]);
            variables.emplace_back(NameFor(head, length, position), SumResults(column));
        }

    // Per layer, with the suffix [i].
    const size_t wanted = head.DoubleEntree ? kDoubleLength : kSingleLength;
    const size_t layers = std::max(results.Volumes.size(), results.Surfaces.size());
    for (size_t i = 0; i < layers; ++i)
    {
        const std::string suffix = "[" + std::to_string(i) + "]";
        if (i < results.Volumes.size())
            variables.emplace_back("V" + suffix, results.Volumes[i]);
        if (i >= results.Surfaces.size() || results.Surfaces[i].size() != wanted)
            continue;
        const std::vector<double>& list = results.Surfaces[i];
        for (size_t position = 0; position + 1 < wanted; ++position)
            variables.emplace_back(NameFor(head, wanted, position) + suffix, list[position]);
        variables.emplace_back("S" + suffix, list.back());
    }
    return variables;
}

sExcavationResults PlaceholderResults(const TeteTranchee& head, int layerCount)
{
    sExcavationResults results;
    const size_t length = head.DoubleEntree ? kDoubleLength : kSingleLength;
    for (int i = 0; i < layerCount; ++i)
    {
        results.Volumes.push_back(1.0);
        results.Surfaces.emplace_back(length, 1.0);
    }
    return results;
}

void SetCostVariables(const TeteTranchee& head)
{
    gCostEquation.ClearVariables();
    gCostEquation.SetEquation(gProjet.EquationCout);
    if (gResults.Surfaces.empty())
        gResults = PlaceholderResults(head, gProjet.GetNumberOfCouches());
    for (const auto& [name, value] : BuildCostVariables(head, gResults, gSlopeHeight))
        gCostEquation.AddVariable(name, value);
}

std::vector<std::string> GetCostVariableNames(const TeteTranchee& head, int layerCount)
{
    std::vector<std::string> names;
    for (const auto& variable : BuildCostVariables(head, PlaceholderResults(head, layerCount), 0.0))
        names.push_back(variable.first);
    return names;
}

std::string ValidateCostExpression(const std::string& text, const std::vector<std::string>& names)
{
    KorEquation scratch(text);
    for (const std::string& name : names)
        scratch.AddVariable(name, 1.0);
    std::string error;
    scratch.Evaluate(&error);
    return error;
}
