#pragma once

#include <functional>
#include <ostream>
#include <string>

// The CSV files the program exports (results, curves, boreholes): fields
// separated by ';', each line ending with a line break.

// The field as written: one holding ';', '"' or a line break is quoted,
// its quotes doubled; any other as it is.
std::string QuoteCSVField(const std::string& field);

// Asks for a CSV file to save, then writes it with write through a
// SafeFileWriter. Nothing happens when the user cancels; when the file
// cannot be written whole (write returns false, a write, the sync, the
// close or the replacement fails) the user is told "Impossible d'exporter
// sous le fichier '<path>'" and the old file stays as it was. True when
// written.
bool ExportCSVFile(const std::function<bool(std::ostream&)>& write);
