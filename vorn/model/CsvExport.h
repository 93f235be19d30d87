#pragma once

#include <functional>
#include <ostream>
#include <string>

// The CSV files the program exports (results, curves, boreholes): fields
// separated by ';', each line ending with a line break.

// The field as written: one holding ';', '"' or a line break is quoted,
// its quotes doubled; any other as it is.
std::string QuoteCSVField(const std::string& field);

// Asks for a CSV file to save, then writes it with write. Nothing happens
// when the user cancels; when the file cannot be opened or the stream
// fails (write returns false, or closing fails) the user is told
// "Impossible d'exporter sous le fichier '<path>'". True when written.
bool ExportCSVFile(const std::function<bool(std::ostream&)>& write);
