#pragma once

#include <ostream>
#include <string>
#include <vector>

// The results grid of the last excavation, as its CSV export writes it and
// the results dialog shows it: one row per layer (its name), the columns
// "Volume", the face names of the head and "Surface". Values are whole
// numbers (or the failure marker -1), written in full: a volume of 1234567
// as such, not as 1.23457e+06. The file keeps -1 where the dialog shows
// "non calculé" (ShownCell).
class ResultsTable
{
public:
    // volumes[i] and surfaces[i] (platform, faces, total) of layer i; a
    // layer missing from either shows -1.
    void Build(const std::vector<std::string>& layers, bool doubleEntree, int coteAvance,
               const std::vector<double>& volumes, const std::vector<std::vector<double>>& surfaces);
    void Clear();
    bool IsEmpty() const { return RowLabels.empty(); }

    // ";" then every column label, then one line per row: its label and its
    // cells, each field followed by ";". False when the stream failed.
    bool WriteCSV(std::ostream& out) const;
    // Asks for a file and writes it (ExportCSVFile); an empty table says
    // "Aucun résultat à exporter" instead and touches no file.
    bool ExportCSV() const;

    // The text the dialog shows for a cell (ShownResult).
    std::string ShownCell(size_t row, size_t column) const;

    std::vector<std::string> ColumnLabels;
    std::vector<std::string> RowLabels;
    // Values[row][column] and their text in the file, Cells[row][column].
    std::vector<std::vector<double>> Values;
    std::vector<std::vector<std::string>> Cells;
};
