#pragma once

#include "Axe.h"
#include "LumPoint.h"
#include "XMLable.h"

#include <string>
#include <vector>

// The results of the last series of calculations: the axis positions (one
// per column) and direction offsets (one per row) it ran over, the names of
// the recorded quantities, for every calculation its values (one per name,
// in name order), its cost and the head's world position, and a copy of the
// axis the series ran on. The project holds one, saved as "Resultats".
//
// Invariants kept by AddPosition: every row but the last holds one record
// per axis position, and every record one value per variable name (a
// position that could not be computed holds -1 for each). A file may break
// both; readers bound every index (GetValue, GetPosition, EvaluateCosts).
//
// Numbers are written in their shortest exact text and read by the atof
// prefix rule, so files written with six significant digits still read.
class ResultatsOVX : public XMLable
{
public:
    ResultatsOVX();
    // One set of results lives in the project; nothing copies it whole.
    ResultatsOVX(const ResultatsOVX&) = delete;
    ResultatsOVX& operator=(const ResultatsOVX&) = delete;
    ~ResultatsOVX() override = default;

    // Empties every list and sets the direction to 0; the axis stays.
    void Clear();

    // Per layer i its face names (18 for a double head, sides by
    // coteAvance, 12 for a single one) with the suffix "[i]", then "S[i]"
    // and "V[i]"; after the layers "S", "V", "H".
    void BuildVariableNames(bool doubleEntree, int coteAvance, int layers);
    // The face names of a head, platform first (12 or 18 names).
    static std::vector<std::string> FaceNames(bool doubleEntree, int coteAvance);

    // Records one calculation: per layer its surfaces (faces then total)
    // and volume, then the summed totals, the summed volumes and the slope
    // height; a sum holding a -1 is -1. The record is padded with -1 (or
    // cut) to one value per variable name, so a layer missing from the
    // results reads as failed. A new row starts when the last is full.
    void AddRecord(const LumPoint& worldPosition, const std::vector<double>& volumes,
                   const std::vector<std::vector<double>>& surfaces, double slopeHeight);
    // Records the last excavation (gResults, gSlopeHeight) when it is the
    // valid computation of the current position, else a failed record.
    void AddPosition(const LumPoint& worldPosition);
    // A position that could not be computed: -1 for every value.
    void AddFailedRecord(const LumPoint& worldPosition);

    // Recomputes every cost from the project's cost function (see the
    // source for the failure rules).
    void EvaluateCosts();
    void EvaluateCosts(const std::string& equation);

    // "Coût" gives the cost; an unknown name or an index out of range 0.
    double GetValue(const std::string& name, int row, int column) const;
    // The recorded world position, (0, 0, 0) out of range.
    LumPoint GetPosition(int row, int column) const;

    void ToXML(XMLNode& node) override;
    void FromXML(const XMLNode& node) override;

    std::vector<double> Axe1;
    std::vector<double> Axe2;
    double Direction = 0.0;
    Axe AxeResultats;
    std::vector<std::string> Variables;
    // Values[row][column][k]: variable k at that calculation.
    std::vector<std::vector<std::vector<double>>> Values;
    std::vector<std::vector<double>> Couts;
    std::vector<std::vector<LumPoint>> Positions;

private:
    void RegisterXML();
};
