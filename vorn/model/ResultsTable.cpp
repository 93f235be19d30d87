#include "ResultsTable.h"

#include "CsvExport.h"
#include "Excavation.h"
#include "KorNumbers.h"
#include "ModelUi.h"
#include "ResultatsOVX.h"
#include "ShownValues.h"

void ResultsTable::Clear()
{
    ColumnLabels.clear();
    RowLabels.clear();
    Values.clear();
    Cells.clear();
}

void ResultsTable::Build(const std::vector<std::string>& layers, bool doubleEntree, int coteAvance,
                         const std::vector<double>& volumes, const std::vector<std::vector<double>>& surfaces)
{
    Clear();
    ColumnLabels.push_back("Volume");
    for (const std::string& face : ResultatsOVX::FaceNames(doubleEntree, coteAvance))
        ColumnLabels.push_back(face);
    ColumnLabels.push_back("Surface");
    const size_t columns = ColumnLabels.size();
    for (size_t i = 0; i < layers.size(); ++i)
    {
        RowLabels.push_back(layers[i]);
        std::vector<double> row(columns, FailedResult);
        if (i < volumes.size())
            row[0] = volumes[i];
        if (i < surfaces.size())
            for (size_t k = 0; k < surfaces[i].size() && k + 1 < columns; ++k)
                row[k + 1] = surfaces[i][k];
        std::vector<std::string> texts;
        for (double value : row)
            texts.push_back(KorFormatDouble(value));
        Values.push_back(std::move(row));
        Cells.push_back(std::move(texts));
    }
}

std::string ResultsTable::ShownCell(size_t row, size_t column) const
{
    return ShownResult(Values[row][column], Cells[row][column]);
}

bool ResultsTable::WriteCSV(std::ostream& out) const
{
    out << ";";
    for (const std::string& label : ColumnLabels)
        out << QuoteCSVField(label) << ";";
    out << "\n";
    for (size_t r = 0; r < RowLabels.size(); ++r)
    {
        out << QuoteCSVField(RowLabels[r]) << ";";
        for (const std::string& cell : Cells[r])
            out << QuoteCSVField(cell) << ";";
        out << "\n";
    }
    return static_cast<bool>(out);
}

bool ResultsTable::ExportCSV() const
{
    if (IsEmpty())
    {
        GetModelUi().MessageBox("Aucun résultat à exporter", "Information");
        return false;
    }
    return ExportCSVFile([this](std::ostream& out) { return WriteCSV(out); });
}
