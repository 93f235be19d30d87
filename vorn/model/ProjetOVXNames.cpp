// What a file names checked by the rules of typed input: names a user
// could not have typed, and points that name no borehole or section.
#include "ProjetOVX.h"

#include "Couche.h"
#include "Coupe.h"
#include "Discontinuite.h"
#include "KorString.h"
#include "PointSondage.h"
#include "Sondage.h"

#include <algorithm>
#include <map>
#include <set>

namespace
{
// '|' splits the name lists, so a name holding one is given a '-' instead.
std::string WithoutSeparator(std::string name)
{
    ReplaceChar(name, '|', '-');
    return name;
}

// The name, or the name followed by " (2)", " (3)"... when taken. tried
// keeps, per name, the first number not yet found taken: names are only
// added while a file's names are checked, so n elements of one name cost n
// tries, not n^2 / 2.
std::string Untaken(const std::string& name, const std::set<std::string>& taken,
                    std::map<std::string, int>& tried)
{
    if (!taken.count(name))
        return name;
    int& n = tried.emplace(name, 2).first->second;
    std::string candidate;
    while (taken.count(candidate = name + " (" + std::to_string(n) + ")"))
        ++n;
    return candidate;
}

// A list read from the file held the old name whole, or split at its '|'
// into consecutive pieces: each place takes the new name. Cost: the list's
// length times the pieces'.
void RenameInList(std::vector<std::string>& list, const std::string& old, const std::string& now)
{
    std::vector<std::string> pieces;
    ParseString(old, pieces, '|');
    for (size_t k = 0; k < list.size(); ++k)
    {
        if (list[k] == old)
            list[k] = now;
        else if (pieces.size() > 1 && k + pieces.size() <= list.size() &&
                 std::equal(pieces.begin(), pieces.end(), list.begin() + static_cast<long>(k)))
        {
            list[k] = now;
            list.erase(list.begin() + static_cast<long>(k) + 1,
                       list.begin() + static_cast<long>(k + pieces.size()));
        }
    }
}

// Boreholes or sections: none empty and each its own, as their dialogs
// ask; the second of a name is the one renamed ("stem k" for the k-th when
// empty). Their points name them by index, so nothing else follows. The
// line reads opening + old + middle + new + "'.".
template <class Element>
void RenameRepeated(std::vector<Element*>& elements, const std::string& stem, const std::string& opening,
                    const std::string& middle, std::vector<std::string>& lines)
{
    std::set<std::string> taken;
    for (const Element* element : elements)
        taken.insert(element->Nom);
    std::set<std::string> kept;
    std::map<std::string, int> tried;
    for (size_t i = 0; i < elements.size(); ++i)
    {
        const std::string old = elements[i]->Nom;
        if (!old.empty() && kept.insert(old).second)
            continue;
        const std::string name =
            Untaken(old.empty() ? stem + " " + std::to_string(i + 1) : old, taken, tried);
        taken.insert(name);
        kept.insert(name);
        elements[i]->Nom = name;
        lines.push_back(opening + old + middle + name + "'.");
    }
}

// The line of a layer's points of a kind ("de sondage") whose Param names
// no element ("aucun sondage").
std::string StrayPointsLine(const std::string& layer, int count, const std::string& kind,
                            const std::string& none)
{
    const bool one = count == 1;
    return "La couche '" + layer + "' a " + std::to_string(count) + (one ? " point " : " points ") + kind +
           (one ? " qui ne renvoie à " : " qui ne renvoient à ") + none +
           (one ? " : il devient un point libre." : " : ils deviennent des points libres.");
}
} // namespace

std::vector<std::string> ProjetOVX::RenameNamesRead()
{
    std::vector<std::string> lines;
    // Layers: no '|', not empty, each its own; a second of a name is the one
    // renamed, so the boreholes' points and the sections' lists keep naming
    // the first. A new name is none that a borehole or a section names.
    std::set<std::string> taken;
    for (Couche* couche : mCouches)
        taken.insert(couche->Nom);
    for (const Sondage* sondage : mSondages)
        for (const auto& entry : sondage->GetPointsSondage())
            taken.insert(entry.first);
    for (const Coupe* coupe : mCoupes)
        taken.insert(coupe->Couches.begin(), coupe->Couches.end());
    std::set<std::string> kept;
    std::map<std::string, int> tried;
    for (size_t i = 0; i < mCouches.size(); ++i)
    {
        Couche* couche = mCouches[i];
        const std::string old = couche->Nom;
        std::string name = old.empty() ? "Couche " + std::to_string(i + 1) : WithoutSeparator(old);
        if (name != old || kept.count(name))
            name = Untaken(name, taken, tried);
        kept.insert(name);
        if (name == old)
            continue;
        taken.insert(name);
        couche->Nom = name;
        if (!kept.count(old))
        {
            for (Sondage* sondage : mSondages)
                if (const PointSondage* point = sondage->GetPointSondage(old))
                {
                    const double depth = point->Profondeur;
                    sondage->RemovePointSondage(old);
                    sondage->SetPointSondage(name, depth);
                }
            for (Coupe* coupe : mCoupes)
                RenameInList(coupe->Couches, old, name);
        }
        lines.push_back("La couche '" + old + "' est renommée '" + name + "'.");
    }
    RenameRepeated(mSondages, "Sondage", "Le sondage '", "' est renommé '", lines);
    RenameRepeated(mCoupes, "Coupe", "La coupe '", "' est renommée '", lines);

    // Families are keyed by name, so only a '|' is left to take out.
    std::set<std::string> families;
    tried.clear();
    for (const auto& entry : mDiscontinuites)
        families.insert(entry.first);
    for (const std::string& old : std::set<std::string>(families))
    {
        if (!Discontinuite::ForbiddenNameChar(old))
            continue;
        const std::string name = Untaken(WithoutSeparator(old), families, tried);
        families.insert(name);
        Discontinuite* family = mDiscontinuites[old];
        mDiscontinuites.erase(old);
        family->Nom = name;
        mDiscontinuites[name] = family;
        for (Couche* couche : mCouches)
            RenameInList(couche->Discontinuites, old, name);
        lines.push_back("La discontinuité '" + old + "' est renommée '" + name + "'.");
    }
    return lines;
}

std::vector<std::string> ProjetOVX::FreeStrayPointsRead()
{
    std::vector<std::string> lines;
    for (Couche* couche : mCouches)
    {
        if (const int freed = couche->FreeStrayPoints(3, GetNumberOfSondages()))
            lines.push_back(StrayPointsLine(couche->Nom, freed, "de sondage", "aucun sondage"));
        if (const int freed = couche->FreeStrayPoints(4, GetNumberOfCoupes()))
            lines.push_back(StrayPointsLine(couche->Nom, freed, "de coupe", "aucune coupe"));
    }
    return lines;
}
