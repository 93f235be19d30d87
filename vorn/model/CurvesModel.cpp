#include "CurvesModel.h"

#include "CsvExport.h"
#include "Excavation.h"
#include "KorNumbers.h"
#include "ResultatsOVX.h"
#include "ShownValues.h"

#include <cmath>
#include <limits>

void CurvesModel::Select(const ResultatsOVX& results, const std::string& name)
{
    Name = name;
    AxisPositions = results.Axe1;
    Offsets = results.Axe2;
    Recorded.clear();
    Plotted.clear();
    const bool costs = name == "Coûts";
    size_t index = results.Variables.size();
    for (size_t k = 0; k < results.Variables.size(); ++k)
        if (results.Variables[k] == name)
        {
            index = k;
            break;
        }
    if (!costs && index == results.Variables.size())
        return;
    const size_t recordedRows = costs ? results.Couts.size() : results.Values.size();
    if (recordedRows == 0)
        return;
    // One row per offset (one row without), one column per axis position,
    // whatever a cancelled series or a file left unrecorded.
    const size_t rows = Offsets.empty() ? 1 : Offsets.size();
    const double missing = std::numeric_limits<double>::quiet_NaN();
    Recorded.assign(rows, std::vector<double>(AxisPositions.size(), missing));
    for (size_t r = 0; r < rows && r < recordedRows; ++r)
        for (size_t c = 0; c < AxisPositions.size(); ++c)
        {
            if (costs)
            {
                if (c < results.Couts[r].size())
                    Recorded[r][c] = results.Couts[r][c];
            }
            else if (c < results.Values[r].size() && index < results.Values[r][c].size())
                Recorded[r][c] = results.Values[r][c][index];
        }
    Plotted = Recorded;
    for (auto& row : Plotted)
        for (double& v : row)
            if (v == FailedResult)
                v = missing;
}

namespace
{
std::string Number(double v)
{
    return std::isnan(v) ? std::string() : KorFormatDouble(v);
}
} // namespace

bool CurvesModel::WriteCSV(std::ostream& out) const
{
    if (!IsGrid())
    {
        out << "Position;" << QuoteCSVField(Name) << "\n";
        for (size_t c = 0; c < AxisPositions.size(); ++c)
            out << Number(AxisPositions[c]) << ";"
                << (Recorded.empty() ? std::string() : Number(Recorded[0][c])) << "\n";
        return static_cast<bool>(out);
    }
    out << QuoteCSVField(Name);
    for (double offset : Offsets)
        out << ";" << Number(offset);
    out << "\n";
    for (size_t c = 0; c < AxisPositions.size(); ++c)
    {
        out << Number(AxisPositions[c]);
        for (const auto& row : Recorded)
            out << ";" << Number(row[c]);
        out << "\n";
    }
    return static_cast<bool>(out);
}

CurvesModel::Labels CurvesModel::GetLabels(const ResultatsOVX& results, int row, int column) const
{
    Labels labels;
    const LumPoint p = results.GetPosition(row, column);
    labels.Position = "Position : X=" + WithDecimalComma(KorFormatFixed(p.x, 2)) +
                      "  Y=" + WithDecimalComma(KorFormatFixed(p.y, 2)) +
                      "  Z=" + WithDecimalComma(KorFormatFixed(p.z, 2));
    const auto shown = [](double value, int decimals)
    { return ShownResult(value, KorFormatFixed(value, decimals)); };
    // The cost of a position whose volume failed (below 0) was never
    // evaluated (ResultatsOVX::EvaluateCosts), whereas a cost the expression
    // makes -1 elsewhere is a number.
    const double volume = results.GetValue("V", row, column);
    const bool failed = volume < 0.0;
    const auto cost = [failed](double value)
    { return failed ? std::string(NotComputedText) : WithDecimalComma(KorFormatFixed(value, 0)); };
    labels.Volume = "Volume : " + shown(volume, 0);
    labels.Cost = "Coût : " + cost(results.GetValue("Coût", row, column));
    double value = 0.0;
    if (row >= 0 && column >= 0 && static_cast<size_t>(row) < Recorded.size() &&
        static_cast<size_t>(column) < Recorded[static_cast<size_t>(row)].size())
        value = Recorded[static_cast<size_t>(row)][static_cast<size_t>(column)];
    labels.Value = Name + " : " + (Name == "Coûts" ? cost(value) : shown(value, Name == "H" ? 1 : 0));
    return labels;
}

bool CurvesModel::ExportCSV() const
{
    return ExportCSVFile([this](std::ostream& out) { return WriteCSV(out); });
}
