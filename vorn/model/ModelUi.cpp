#include "ModelUi.h"

#include "NullUi.h"

namespace
{
// Never destroyed: the project's destructor may still reach the interface
// at exit, after other statics are gone.
NullUi& DefaultUi()
{
    static NullUi* ui = new NullUi;
    return *ui;
}

ModelUi* gInstalledUi = nullptr;
} // namespace

ModelUi& GetModelUi()
{
    return gInstalledUi ? *gInstalledUi : DefaultUi();
}

void SetModelUi(ModelUi* ui)
{
    gInstalledUi = ui;
}
