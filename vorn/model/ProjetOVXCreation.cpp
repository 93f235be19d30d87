// A new layer: its name checked, inserted at its level and filled.
#include "ProjetOVX.h"

#include "Couche.h"
#include "ElementRecorders.h"
#include "ModelUi.h"

bool ProjetOVX::CreateCouche(const std::string& name, int index, int method, bool interactive,
                             const std::string& path, double value, double depth)
{
    ModelUi& ui = GetModelUi();
    ui.EndCurrentTool();
    const int previous = CoucheCourante;
    if (name.empty())
    {
        ui.MessageBox("Veuillez entrer un nom pour la couche.", "Erreur");
        return false;
    }
    // Name lists are split at '|', and files read '$' back as a blank.
    for (const char c : {'|', '$'})
        if (name.find(c) != std::string::npos)
        {
            ui.MessageBox(std::string("Le nom d'une couche ne peut pas contenir le caractère '") + c + "'.",
                          "Erreur");
            return false;
        }
    if (GetCouche(name))
    {
        ui.MessageBox("Une autre couche porte déjà ce nom.\nVeuillez le modifier.", "Erreur");
        return false;
    }
    bool takeAway = false;
    if (index == 0 && GetNumberOfSondages() > 0 && interactive)
    {
        if (ui.MessageBox("En ajoutant une couche sur la partie supérieure, vous allez supprimer tous le "
                          "sondages et coupes.\nVoulez-vous continuer ?",
                          "Information", ModelUi::Buttons::YesNo) != ModelUi::IdYes)
            return false;
        takeAway = true;
    }
    Couche* couche = index >= 0 ? AddCouche(name, static_cast<unsigned int>(index)) : nullptr;
    if (!couche)
    {
        ui.MessageBox("Impossible de créer une couche à ce niveau.", "Erreur");
        return false;
    }
    const auto undo = [&]
    {
        DeleteCouche(index, previous);
        return false;
    };
    switch (method)
    {
    case 0:
        break;
    case 1:
    {
        ModelUi::CoucheImport import;
        import.Nom = name;
        import.Index = index;
        import.Path = path;
        import.Value = value;
        import.Depth = depth;
        import.Previous = previous;
        import.TakeAway = takeAway;
        if (!ui.ImportCoucheDXF(couche, import, interactive))
            return undo();
        // The dialog records the creation when the user confirms it: a
        // cancelled import must leave no action behind.
        if (interactive)
            return true;
        break;
    }
    case 2:
    {
        const Couche* above = GetCouche(index - 1);
        if (index == 0 || !above)
        {
            ui.MessageBox("Pour copier une couche, vous devez sélectionner la couche supérieure.", "Erreur");
            return undo();
        }
        if (!couche->CopyPointsFrom(*above, static_cast<float>(depth), static_cast<float>(value),
                                    interactive))
            return undo();
        break;
    }
    default:
        return undo();
    }
    if (interactive)
        RecordCoucheAdd(name, index, method, path, value, depth, previous, takeAway);
    return true;
}
