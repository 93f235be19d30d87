// Whole level lines of a layer: adding and deleting them, with the Params
// of the later lines' points kept equal to their indexes.
#include "Couche.h"

#include "LigneNiveau.h"
#include "LigneNiveauRecorders.h"
#include "ModelUi.h"
#include "ProjetOVX.h"

#include <locale>
#include <sstream>

int Couche::AddLigneNiveau(float depth, int index, bool interactive, const std::vector<float>* points)
{
    if (!Editable)
        return -1;
    const double z = depth * 100.0 / gProjet.Echelle;
    if (interactive && points)
        for (size_t k = 0; k + 1 < points->size(); k += 2)
        {
            const LumPoint p((*points)[k], (*points)[k + 1], z);
            if (CheckNeighbours(p) != 0)
            {
                std::ostringstream text;
                text.imbue(std::locale::classic());
                text << p.x << ";" << p.y << ";" << depth;
                GetModelUi().MessageBox("Impossible de positionner un point à la coordonnée \n     " +
                                            text.str() + " :\nCela intersecte une couche voisine",
                                        "Erreur");
                return -1;
            }
        }
    auto* ligne = new LigneNiveau(depth);
    int result = GetNumberOfLignesNiveau();
    if (index >= 0 && index <= GetNumberOfLignesNiveau())
    {
        RenumberLignes(index, +1);
        mLignes.insert(mLignes.begin() + index, ligne);
        result = index;
    }
    else
        mLignes.push_back(ligne);
    // The given order is the line's: the placing rule for a free position
    // could turn a hairpin's points around. The additions, in line order,
    // let the undo give the vertex table back as it was.
    std::vector<sAddition> additions;
    if (points)
        for (size_t k = 0; k + 1 < points->size(); k += 2)
            if (ligne->AddPoint(*this, (*points)[k], (*points)[k + 1], false,
                                static_cast<int>(ligne->Points.size())) >= 0)
                additions.push_back(GetLastAddition());
    SetGeometryChanged();
    if (interactive)
        RecordLigneNiveauAdd(gProjet.GetCoucheIndex(this), result, *ligne, *this, additions);
    return result;
}

void Couche::DeleteLigneNiveau(int index, bool record)
{
    LigneNiveau* ligne = GetLigneNiveau(index);
    if (!Editable || !ligne)
        return;
    if (record)
        RecordLigneNiveauDelete(gProjet.GetCoucheIndex(this), index, *ligne, *this);
    const std::vector<int> ids = ligne->Points;
    for (int id : ids)
        if (mMeshes[Surface].GetVertex(id))
            DeletePoint(id, false);
    delete ligne;
    mLignes.erase(mLignes.begin() + index);
    RenumberLignes(index + 1, -1);
    SetGeometryChanged();
}
