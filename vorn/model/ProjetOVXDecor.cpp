// The scenery objects of the project.
#include "ProjetOVX.h"

#include "Couche.h"

#include "Decor.h"
#include "DecorRecorders.h"
#include "ModelUi.h"

Decor* ProjetOVX::GetDecor(int index) const
{
    return index >= 0 && index < GetNumberOfDecors() ? mDecors[index] : nullptr;
}

bool ProjetOVX::LoadDecor(const std::string& path)
{
    auto* decor = new Decor(path);
    if (!decor->IsLoaded())
    {
        GetModelUi().MessageBox("Impossible de charger le fichier '" + path +
                                    "' afin de créer un élément de décor\n" + decor->GetLoadFault(),
                                "Message", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
        delete decor;
        return false;
    }
    return AddDecor(decor, -1, true);
}

bool ProjetOVX::AddDecor(Decor* decor, int index, bool record)
{
    if (!decor)
        return false;
    if (index >= 0 && index < GetNumberOfDecors())
        mDecors.insert(mDecors.begin() + index, decor);
    else
    {
        mDecors.push_back(decor);
        index = GetNumberOfDecors() - 1;
    }
    if (record)
        RecordDecorAdd(decor, index);
    GetModelUi().RefreshDisplay();
    return true;
}

void ProjetOVX::DeleteDecor(int index, bool record)
{
    Decor* decor = GetDecor(index);
    if (!decor)
        return;
    if (record)
        RecordDecorDelete(decor, index);
    mDecors.erase(mDecors.begin() + index);
    delete decor;
    GetModelUi().RefreshDisplay();
}

int ProjetOVX::GetDecorIndex(const Decor* decor) const
{
    for (int i = 0; i < GetNumberOfDecors(); ++i)
        if (mDecors[i] == decor)
            return i;
    return -1;
}

bool ProjetOVX::GetFirstCoucheAltitude(double x, double y, double& z)
{
    return !mCouches.empty() && mCouches.front()->GetAltitude(x, y, z);
}
