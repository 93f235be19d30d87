#include "CsvExport.h"

#include "ModelUi.h"
#include "SafeFileWriter.h"

std::string QuoteCSVField(const std::string& field)
{
    if (field.find_first_of(";\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char c : field)
    {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

bool ExportCSVFile(const std::function<bool(std::ostream&)>& write)
{
    ModelUi& ui = GetModelUi();
    ModelUi::FileRequest request;
    request.Title = "Choisissez un fichier";
    request.Wildcard = "CSV files (*.csv)|*.csv";
    request.Save = true;
    const std::string path = ui.AskFilePath(request);
    if (path.empty())
        return false;
    SafeFileWriter file(path);
    const bool written = file.IsOpen() && write(file.Stream()) && file.Commit();
    if (!written)
    {
        file.Abandon(); // no side file stays while the box is shown
        ui.MessageBox("Impossible d'exporter sous le fichier '" + path + "'" +
                          (file.GetReason().empty() ? "" : "\n" + file.GetReason()),
                      "Erreur");
    }
    return written;
}
