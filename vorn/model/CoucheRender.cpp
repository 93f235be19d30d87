// The drawing of a layer: its surface, wireframe, level lines and points,
// its discontinuity surfaces, the part the trench head cuts and the terrain
// over the head. Immediate-mode OpenGL inside a draw callback.
#define GL_GLEXT_PROTOTYPES
#include "Couche.h"

#include "Discontinuite3D.h"

#include "Axe.h"
#include "Discontinuite3D.h"
#include "Excavation.h"
#include "HeadLabels.h"
#include "LigneNiveau.h"
#include "LumCamera.h"
#include "LumHandledMesh.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "TeteTranchee.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <vector>

namespace
{
// The main camera's view width in scene units, 0 without a main device.
double MainViewWidth()
{
    LumoraDevice* device = GetModelUi().GetMainDevice();
    return device ? device->GetCamera()->GetViewWidth() : 0.0;
}

void BlendOn()
{
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// The points' colour by the origin of their vertex.
void PointColour(int type)
{
    switch (type)
    {
    case 1:
        glColor3d(0.0, 0.0, 1.0);
        break;
    case 2:
        glColor3d(1.0, 0.0, 0.0);
        break;
    case 3:
        glColor3d(1.0, 1.0, 0.0);
        break;
    case 4:
        glColor3d(1.0, 0.8, 0.0);
        break;
    default:
        glColor3d(0.0, 0.0, 0.0);
        break;
    }
}
} // namespace

void Couche::Render(bool segments, bool points, bool faces, LumoraDevice* device)
{
    // The override is for one drawing: this one, whether it draws faces or
    // nothing at all.
    const int override = OpacityOverride;
    OpacityOverride = -1;
    if (!device)
        device = GetModelUi().GetMainDevice();
    if (!Discontinuites.empty() && !AreDiscontinuitySurfacesBuilt())
        BuildDiscontinuite3D(gProjet.NiveauBas);
    if (mRetriangulate && gProjet.TriangulationAffichee)
        Triangulate();
    const bool visualisation = GetModelUi().GetMode() == 2;
    if (visualisation && override < 0 && Opacite == 0)
        return;

    const bool cutShown = (gProjet.m3DAffichageTete || gProjet.TravauxTransparence) &&
                          GetMesh(Intersection).GetNumberOfFaces() > 0 && GetDisplayMesh(Intersection);
    LumHandledMesh* shown = cutShown ? Display(Intersection) : Display(Surface);
    if (faces)
    {
        BlendOn();
        glEnable(GL_LIGHTING);
        const double opacity = (override >= 0 ? override : Opacite) / 100.0;
        bool textured = false;
        if (!Texture.empty() && device)
        {
            glEnable(GL_TEXTURE_2D);
            textured = device->LoadTexture(Texture, 0) != 0;
            if (textured && !mTextureValid)
                ComputeTextureCoordinates(device->GetTextureWidth(), device->GetTextureHeight());
        }
        if (!Texture.empty())
            glColor4d(1.0, 1.0, 1.0, opacity);
        else
            glColor4d(R / 255.0, G / 255.0, B / 255.0, opacity);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        if (shown)
            shown->Render(nullptr);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
    }
    if (segments)
    {
        glDisable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glColor3d(0.0, 0.0, 0.0);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        // Just above the faces, so that the wireframe is not hidden by them.
        if (visualisation)
            glTranslated(0.0, 0.0, MainViewWidth() / 1500.0);
        if (shown)
            shown->Render(nullptr);
        glPopMatrix();
    }
    if (visualisation ? gProjet.m3DLignes : gProjet.mLignesNiveauAffichees)
    {
        glDisable(GL_BLEND);
        glDisable(GL_LIGHTING);
        for (const LigneNiveau* ligne : mLignes)
            ligne->Render(*this, device);
    }
    if (points)
    {
        const KorMesh& mesh = mMeshes[Surface];
        glPointSize(5.0f);
        glBegin(GL_POINTS);
        // A record whose vertex is gone draws nothing; a live vertex with
        // no record, or a record of no origin, is black.
        for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = mesh.GetVertex(id))
            {
                PointColour(GetVertexType(id).Type);
                glVertex3f(static_cast<float>(v->X), static_cast<float>(v->Y), static_cast<float>(v->Z));
            }
        glEnd();
        glPointSize(1.0f);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void Couche::RenderDiscontinuites()
{
    if (Discontinuites.empty())
        return;
    if (!AreDiscontinuitySurfacesBuilt())
        BuildDiscontinuite3D(gProjet.NiveauBas);
    glColor4d(0.3, 0.3, 0.3, Opacite / 100.0);
    for (const auto& surface : DiscontinuitesFront)
        surface->Render();
}

void Couche::RenderIntersection(LumoraDevice* device)
{
    if (!device)
        device = GetModelUi().GetMainDevice();
    LumHandledMesh* cut = GetDisplayMesh(Tete);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_LIGHTING);
    BlendOn();
    glDisable(GL_TEXTURE_2D);
    glColor4d(R / 255.0, G / 255.0, B / 255.0, Opacite / 100.0);
    if (cut)
        cut->Render(nullptr);

    glDisable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glColor3d(0.0, 0.0, 0.0);
    glDisable(GL_LIGHTING);
    // The wireframe a thousandth of the head's distance toward the camera.
    if (LumoraDevice* main = GetModelUi().GetMainDevice())
    {
        const LumCamera* camera = main->GetCamera();
        LumPoint toward = camera->GetPosition() - camera->GetTarget();
        Normalize(toward);
        toward = toward * ((camera->GetPosition() - gHeadPosition).Norm() / 1000.0);
        glTranslated(toward.x, toward.y, toward.z);
    }
    if (cut)
        cut->Render(nullptr);
    glColor4d(0.3, 0.3, 0.3, Opacite / 100.0);
    for (const auto& surface : DiscontinuitesTete)
        surface->Render();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glPopMatrix();

    if (!gProjet.m3DAffichageInfos || !device)
        return;
    sHeadFrame frame;
    double slope = 0.0;
    // Without a head position there is no placed head to label.
    if (!gProjet.GetAxe().GetHeadPosition(frame.Point, frame.Direction, slope))
        return;
    frame.Inverted = gProjet.GetAxe().TeteInversee;
    frame.Metre = WorldToScene(gProjet, LumPoint(0, 0, 1)).z;
    const std::vector<sHeadLabel> labels = ComputeHeadLabels(GetModelUi().GetTete(), frame, mMeshes[Tete]);
    glDisable(GL_DEPTH_TEST);
    glPushMatrix();
    glColor3d(1.0, 1.0, 0.0);
    for (const sHeadLabel& label : labels)
    {
        glLoadIdentity();
        glTranslated(label.Position.x, label.Position.y, label.Position.z);
        device->Draw2DText(label.Text);
    }
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}

void Couche::RenderTerrainOverHead()
{
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_LIGHTING);
    BlendOn();
    glDisable(GL_TEXTURE_2D);
    glColor4d(R / 255.0, G / 255.0, B / 255.0, std::min(Opacite, 75) / 100.0);
    if (LumHandledMesh* display = GetDisplayMesh(TerrainSurTete))
        display->Render(nullptr);
}

void Couche::RenderEdges()
{
    const KorMesh& mesh = mMeshes[Surface];
    const auto each = [&mesh](auto&& line)
    {
        for (int id = 0; id < mesh.GetEdgeVectorSize(); ++id)
        {
            LumPoint a, b;
            const KorEdge* edge = mesh.GetEdge(id);
            if (edge && mesh.GetEdgePoints(edge, a, b))
                line(a, b);
        }
    };
    const auto immediate = [&each]
    {
        glBegin(GL_LINES);
        each(
            [](const LumPoint& a, const LumPoint& b)
            {
                glVertex3d(a.x, a.y, a.z);
                glVertex3d(b.x, b.y, b.z);
            });
        glEnd();
    };
    if (!LumGLBuffer::IsEnabled())
        return immediate();
    if (!mEdgeBufferValid || !mEdgeBuffer.IsReady())
    {
        // Single precision, as glVertex3d hands the points to the GL.
        std::vector<GLfloat> points;
        const auto push = [&points](const LumPoint& p)
        {
            points.insert(points.end(),
                          {static_cast<GLfloat>(p.x), static_cast<GLfloat>(p.y), static_cast<GLfloat>(p.z)});
        };
        each(
            [&push](const LumPoint& a, const LumPoint& b)
            {
                push(a);
                push(b);
            });
        mEdgeVertices = points.size() / 3;
        mEdgeBufferValid = mEdgeBuffer.Upload(GL_ARRAY_BUFFER, points.data(), points.size() * sizeof(GLfloat));
        if (!mEdgeBufferValid)
            return immediate();
    }
    mEdgeBuffer.Bind(GL_ARRAY_BUFFER);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(mEdgeVertices));
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
