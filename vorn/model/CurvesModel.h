#pragma once

#include "LumPoint.h"

#include <ostream>
#include <string>
#include <vector>

class ResultatsOVX;

// One quantity of the last series as the curves dialog shows and exports
// it: a matrix over the offsets (rows) and the axis positions (columns),
// drawn as a curve for one row and as a coloured grid for several.
//
// Recorded holds the values as recorded (-1 for a failed position, NaN for
// a calculation a cancelled series never made); Plotted the same with every
// -1 as NaN, so that a failed position is not drawn (as the cheapest or the
// smallest value) but left out. A name that is neither recorded nor "Coûts"
// gives no rows.
class CurvesModel
{
public:
    void Select(const ResultatsOVX& results, const std::string& name);

    bool IsGrid() const { return Recorded.size() >= 2; }
    // Curve form: "Position;" and the name, then "x;value" per position.
    // Grid form: the name and ";offset" per offset, then per position its
    // value and ";value" per offset (the transpose of the matrix). Numbers
    // in their shortest exact text, a missing value as an empty field.
    // False when the stream failed.
    bool WriteCSV(std::ostream& out) const;
    // Asks for a file and writes it (ExportCSVFile).
    bool ExportCSV() const;

    // The selection's labels: "Position : X=.. Y=.. Z=.." (2 decimals),
    // "Volume : ..", "Coût : .." and "<name> : value" (1 decimal for "H",
    // else 0), from the recorded values, with a decimal comma. A failed
    // position's volume and cost, and any value it could not compute, read
    // "non calculé".
    struct Labels
    {
        std::string Position, Volume, Cost, Value;
    };
    Labels GetLabels(const ResultatsOVX& results, int row, int column) const;

    std::string Name;
    std::vector<double> AxisPositions;
    std::vector<double> Offsets;
    std::vector<std::vector<double>> Recorded;
    std::vector<std::vector<double>> Plotted;
};
