// Names read from a file checked by the rules of typed names.
#include "ProjetOVX.h"

#include "Couche.h"
#include "Coupe.h"
#include "Discontinuite.h"
#include "KorString.h"

#include <algorithm>
#include <set>

namespace
{
// '|' splits the name lists, so a name holding one is given a '-' instead.
std::string WithoutSeparator(std::string name)
{
    ReplaceChar(name, '|', '-');
    return name;
}

// The name, or the name followed by " (2)", " (3)"... when taken.
std::string Untaken(const std::string& name, const std::set<std::string>& taken)
{
    std::string candidate = name;
    for (int n = 2; taken.count(candidate); ++n)
        candidate = name + " (" + std::to_string(n) + ")";
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
} // namespace

std::vector<std::string> ProjetOVX::RenameNamesRead()
{
    std::vector<std::string> lines;
    // Layers: no '|', not empty, each its own; a second of a name is the one
    // renamed, so the sections' lists keep naming the first.
    std::set<std::string> taken;
    for (Couche* couche : mCouches)
        taken.insert(couche->Nom);
    std::set<std::string> kept;
    for (size_t i = 0; i < mCouches.size(); ++i)
    {
        Couche* couche = mCouches[i];
        const std::string old = couche->Nom;
        std::string name = old.empty() ? "Couche " + std::to_string(i + 1) : WithoutSeparator(old);
        if (name != old || kept.count(name))
            name = Untaken(name, taken);
        kept.insert(name);
        if (name == old)
            continue;
        taken.insert(name);
        couche->Nom = name;
        if (!kept.count(old))
            for (Coupe* coupe : mCoupes)
                RenameInList(coupe->Couches, old, name);
        lines.push_back("La couche '" + old + "' est renommée '" + name + "'.");
    }

    // Families are keyed by name, so only a '|' is left to take out.
    std::set<std::string> families;
    for (const auto& entry : mDiscontinuites)
        families.insert(entry.first);
    for (const std::string& old : std::set<std::string>(families))
    {
        if (!Discontinuite::ForbiddenNameChar(old))
            continue;
        const std::string name = Untaken(WithoutSeparator(old), families);
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
