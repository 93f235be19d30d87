#include "ResultatsOVX.h"

#include "Excavation.h"
#include "KorEquation.h"
#include "KorNumbers.h"
#include "ProjetOVX.h"

#include <algorithm>
#include <map>

namespace
{
// The face names of a single head, platform first.
const char* const kSingleNames[] = {"PF",  "FI",  "FM",  "FS",  "G1I", "G1M",
                                    "G1S", "D1I", "D1M", "D1S", "G2",  "D2"};
// The double head's, for CoteAvance 45; another value swaps the sides of
// positions 7 to 17.
const char* const kDoubleNames[] = {"PF",  "F1I", "F1M", "F1S", "F2I", "F2M", "F2S", "G1I", "G1M",
                                    "G1S", "G2I", "G2M", "G2S", "G3",  "D1I", "D1M", "D1S", "D2"};

// The pieces of a "|" separated text, empty pieces dropped, each read by
// the atof prefix rule.
std::vector<double> ReadPieces(const char* text)
{
    std::vector<double> values;
    if (!text)
        return values;
    const char* begin = text;
    for (const char* p = text;; ++p)
        if (*p == '|' || *p == '\0')
        {
            if (p > begin)
                values.push_back(KorAtof(std::string(begin, p)));
            if (*p == '\0')
                break;
            begin = p + 1;
        }
    return values;
}

std::string WritePieces(const std::vector<double>& values)
{
    std::string text;
    for (double v : values)
        text += KorFormatDouble(v) + "|";
    return text;
}

void AddTextChild(XMLNode& node, const char* name, const std::string& text)
{
    XMLNode child = node.addChild(name);
    if (!text.empty())
        child.addText(text);
}

// The name without its layer suffix "[i]", empty when it has none.
std::string SummedName(const std::string& name)
{
    const size_t open = name.find('[');
    if (open == std::string::npos || open == 0 || name.back() != ']')
        return std::string();
    return name.substr(0, open);
}
} // namespace

ResultatsOVX::ResultatsOVX()
{
    RegisterXML();
}

void ResultatsOVX::RegisterXML()
{
    AddVariable("Axe1", &Axe1);
    AddVariable("Axe2", &Axe2);
    AddVariable("Direction", &Direction);
    AddVariable("Variables", &Variables);
}

void ResultatsOVX::Clear()
{
    Axe1.clear();
    Axe2.clear();
    Variables.clear();
    Values.clear();
    Couts.clear();
    Positions.clear();
    Direction = 0.0;
}

std::vector<std::string> ResultatsOVX::FaceNames(bool doubleEntree, int coteAvance)
{
    if (!doubleEntree)
        return std::vector<std::string>(std::begin(kSingleNames), std::end(kSingleNames));
    std::vector<std::string> names(std::begin(kDoubleNames), std::end(kDoubleNames));
    if (coteAvance != 45)
        for (size_t k = 7; k < names.size(); ++k)
            names[k][0] = names[k][0] == 'G' ? 'D' : 'G';
    return names;
}

void ResultatsOVX::BuildVariableNames(bool doubleEntree, int coteAvance, int layers)
{
    Variables.clear();
    const std::vector<std::string> faces = FaceNames(doubleEntree, coteAvance);
    for (int i = 0; i < layers; ++i)
    {
        const std::string suffix = "[" + std::to_string(i) + "]";
        for (const std::string& face : faces)
            Variables.push_back(face + suffix);
        Variables.push_back("S" + suffix);
        Variables.push_back("V" + suffix);
    }
    for (const char* name : {"S", "V", "H"})
        Variables.emplace_back(name);
}

void ResultatsOVX::AddRecord(const LumPoint& worldPosition, const std::vector<double>& volumes,
                             const std::vector<std::vector<double>>& surfaces, double slopeHeight)
{
    if (Values.empty() || Values.back().size() >= Axe1.size())
    {
        Values.emplace_back();
        Positions.emplace_back();
    }
    Positions.back().push_back(worldPosition);

    // The names tell how many values a layer records (its faces, "S[i]"
    // and "V[i]") and how many layers there are.
    size_t perLayer = 0;
    for (const std::string& name : Variables)
        if (name.size() > 3 && name.compare(name.size() - 3, 3, "[0]") == 0)
            ++perLayer;
    const size_t layers = perLayer > 0 && Variables.size() >= 3 ? (Variables.size() - 3) / perLayer : 0;
    std::vector<double> record;
    record.reserve(Variables.size());
    std::vector<double> totals, layerVolumes;
    for (size_t i = 0; i < layers; ++i)
    {
        const bool known = i < surfaces.size() && i < volumes.size() && surfaces[i].size() + 1 == perLayer;
        if (known)
            record.insert(record.end(), surfaces[i].begin(), surfaces[i].end());
        else
            record.insert(record.end(), perLayer - 1, -1.0);
        record.push_back(known ? volumes[i] : -1.0);
        totals.push_back(record[record.size() - 2]);
        layerVolumes.push_back(record.back());
    }
    record.push_back(SumResults(totals));
    record.push_back(SumResults(layerVolumes));
    record.push_back(slopeHeight);
    record.resize(Variables.size(), -1.0);
    Values.back().push_back(std::move(record));
}

void ResultatsOVX::AddPosition(const LumPoint& worldPosition)
{
    // Only a computation made for this position counts; otherwise (no head
    // position, a frame that did not compute) the position failed.
    if (gProjet.HasExcavationResults() && !gProjet.IsExcavationStale())
        AddRecord(worldPosition, gResults.Volumes, gResults.Surfaces, gSlopeHeight);
    else
        AddFailedRecord(worldPosition);
}

void ResultatsOVX::AddFailedRecord(const LumPoint& worldPosition)
{
    AddRecord(worldPosition, {}, {}, -1.0);
    std::fill(Values.back().back().begin(), Values.back().back().end(), -1.0);
}

void ResultatsOVX::EvaluateCosts()
{
    EvaluateCosts(gProjet.EquationCout);
}

// A calculation costs -1 when its record does not hold one value per name
// (only a file can break that), when its volume "V" is negative (a failed
// computation) or when the expression does not evaluate: a 0 would read as
// the cheapest position. The names summed over the layers ("PF", "G1S"...)
// that the cost function may use are derived from the per-layer values, a
// sum holding a -1 being -1. The expression is compiled once: only the
// variables' values change from one calculation to the next.
void ResultatsOVX::EvaluateCosts(const std::string& text)
{
    Couts.clear();
    size_t indexV = 0;
    for (size_t k = 0; k < Variables.size(); ++k)
        if (Variables[k] == "V")
        {
            indexV = k;
            break;
        }
    std::map<std::string, std::vector<size_t>> summed;
    for (size_t k = 0; k < Variables.size(); ++k)
    {
        const std::string base = SummedName(Variables[k]);
        if (!base.empty())
            summed[base].push_back(k);
    }
    for (const std::string& name : Variables)
        summed.erase(name);

    KorEquation equation(text);
    std::vector<double> terms;
    for (const auto& row : Values)
    {
        std::vector<double> costs;
        costs.reserve(row.size());
        for (const std::vector<double>& record : row)
        {
            if (record.size() != Variables.size() || Variables.empty() || record[indexV] < 0.0)
            {
                costs.push_back(-1.0);
                continue;
            }
            for (size_t k = 0; k < Variables.size(); ++k)
                equation.AddVariable(Variables[k], record[k]);
            for (const auto& [name, indexes] : summed)
            {
                terms.clear();
                for (size_t k : indexes)
                    terms.push_back(record[k]);
                equation.AddVariable(name, SumResults(terms));
            }
            std::string error;
            const double cost = equation.Evaluate(&error);
            costs.push_back(error.empty() ? cost : -1.0);
        }
        Couts.push_back(std::move(costs));
    }
}

double ResultatsOVX::GetValue(const std::string& name, int row, int column) const
{
    if (row < 0 || column < 0)
        return 0.0;
    const size_t r = static_cast<size_t>(row), c = static_cast<size_t>(column);
    if (name == "Coût")
        return r < Couts.size() && c < Couts[r].size() ? Couts[r][c] : 0.0;
    for (size_t k = 0; k < Variables.size(); ++k)
        if (Variables[k] == name)
            return r < Values.size() && c < Values[r].size() && k < Values[r][c].size() ? Values[r][c][k]
                                                                                        : 0.0;
    return 0.0;
}

LumPoint ResultatsOVX::GetPosition(int row, int column) const
{
    if (row < 0 || column < 0)
        return LumPoint();
    const size_t r = static_cast<size_t>(row), c = static_cast<size_t>(column);
    return r < Positions.size() && c < Positions[r].size() ? Positions[r][c] : LumPoint();
}

void ResultatsOVX::ToXML(XMLNode& node)
{
    XMLable::ToXML(node);
    for (const auto& row : Values)
    {
        XMLNode child = node.addChild("Resultats1");
        for (const std::vector<double>& record : row)
            AddTextChild(child, "Resultats2", WritePieces(record));
    }
    for (const auto& row : Couts)
        AddTextChild(node, "Couts", WritePieces(row));
    for (const auto& row : Positions)
    {
        std::string text;
        for (const LumPoint& p : row)
            text += KorFormatDouble(p.x) + "|" + KorFormatDouble(p.y) + "|" + KorFormatDouble(p.z) + "|";
        AddTextChild(node, "Positions", text);
    }
    XMLNode axe = node.addChild("AxeResultats");
    AxeResultats.ToXML(axe);
}

void ResultatsOVX::FromXML(const XMLNode& node)
{
    XMLable::FromXML(node);
    Values.clear();
    Couts.clear();
    Positions.clear();
    const int rows = node.nChildNode("Resultats1");
    for (int i = 0; i < rows; ++i)
    {
        const XMLNode row = node.getChildNode("Resultats1", i);
        Values.emplace_back();
        const int columns = row.nChildNode("Resultats2");
        for (int j = 0; j < columns; ++j)
            Values.back().push_back(ReadPieces(row.getChildNode("Resultats2", j).getText()));
    }
    const int costs = node.nChildNode("Couts");
    for (int i = 0; i < costs; ++i)
        Couts.push_back(ReadPieces(node.getChildNode("Couts", i).getText()));
    const int positions = node.nChildNode("Positions");
    for (int i = 0; i < positions; ++i)
    {
        const std::vector<double> pieces = ReadPieces(node.getChildNode("Positions", i).getText());
        Positions.emplace_back();
        for (size_t k = 0; k + 2 < pieces.size(); k += 3)
            Positions.back().emplace_back(pieces[k], pieces[k + 1], pieces[k + 2]);
    }
    if (node.nChildNode("AxeResultats") > 0)
        AxeResultats.FromXML(node.getChildNode("AxeResultats"));
}
