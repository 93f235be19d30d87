#include "SceneCoordinates.h"

#include "ProjetOVX.h"

LumPoint WorldToScene(const ProjetOVX& projet, const LumPoint& world)
{
    return LumPoint((world.x - projet.OrigineX) * 100.0 / projet.Echelle,
                    (world.y - projet.OrigineY) * 100.0 / projet.Echelle, 100.0 * world.z / projet.Echelle);
}

LumPoint SceneToWorld(const ProjetOVX& projet, const LumPoint& scene)
{
    return LumPoint(scene.x * projet.Echelle / 100.0 + projet.OrigineX,
                    scene.y * projet.Echelle / 100.0 + projet.OrigineY, scene.z * projet.Echelle / 100.0);
}

namespace
{
double WorldToSceneFactor(const ProjetOVX& projet)
{
    return WorldToScene(projet, LumPoint(0.0, 0.0, 1.0)).z;
}

double SceneToWorldFactor(const ProjetOVX& projet)
{
    return SceneToWorld(projet, LumPoint(0.0, 0.0, 1.0)).z;
}
} // namespace

double WorldToSceneLength(const ProjetOVX& projet, double length)
{
    return length * WorldToSceneFactor(projet);
}

LumPoint WorldToSceneVector(const ProjetOVX& projet, const LumPoint& vector)
{
    const double f = WorldToSceneFactor(projet);
    return LumPoint(vector.x * f, vector.y * f, vector.z * f);
}

double SceneToWorldLength(const ProjetOVX& projet, double length)
{
    return length * SceneToWorldFactor(projet);
}

double SceneToWorldArea(const ProjetOVX& projet, double area)
{
    const double g = SceneToWorldFactor(projet);
    const double world = area * g * g;
    return world < 0.0 ? 0.0 : world;
}

double SceneToWorldVolume(const ProjetOVX& projet, double volume)
{
    const double g = SceneToWorldFactor(projet);
    const double world = g * (volume * g * g);
    return world < 0.0 ? 0.0 : world;
}
