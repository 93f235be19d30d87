#include "Axe.h"
#include "CoucheMove.h"
#include "CoucheRecorders.h"
#include "Discontinuite.h"
#include "ElementRecorders.h"
#include "ElementTestSupport.h"
#include "LigneNiveau.h"
#include "SceneCoordinates.h"
#include "TeteTestHelpers.h"

#include <cstdio>
#include <deque>
#include <functional>
#include <random>

namespace
{
// Random editing sessions over a small project: two layers (a third one
// created and layers deleted on the way) with free points, level lines,
// boreholes (fictitious or not) and sections added, changed and deleted,
// an axis with its type, parameters and head, the head's parameters, layer
// moves and tilts, and families. The history holds the
// 75 latest steps; after undoing them all the saved file is byte for byte
// the one saved before the oldest of them, and after redoing them all the
// one saved after the latest.
class UndoHistoryTest : public ElementTest
{
protected:
    void SetUp() override
    {
        ElementTest::SetUp();
        path = TempPath("undo_history.ovx");
    }
    void TearDown() override
    {
        std::remove(path.c_str());
        ElementTest::TearDown();
    }

    // The project as a file: every layer triangulated first, so that the
    // bytes hold the surface the points make, not whichever was built last.
    std::string Saved()
    {
        for (int c = 0; c < gProjet.GetNumberOfCouches(); ++c)
            gProjet.GetCouche(c)->Triangulate();
        gProjet.Nom = path;
        EXPECT_TRUE(gProjet.Save());
        return ReadAll(path);
    }

    void Build(std::mt19937& random)
    {
        gProjet.Echelle = 100.0;
        AddSquare("Haut", 10.0);
        AddSquare("Bas", -10.0);
        std::uniform_real_distribution<double> plan(5.0, 95.0), relief(-3.0, 3.0);
        for (int k = 0; k < 12; ++k)
        {
            gProjet.GetCouche(0)->AddPoint(LumPoint(plan(random), plan(random), 10.0 + relief(random)), 1, 0,
                                           false, false);
            gProjet.GetCouche(1)->AddPoint(LumPoint(plan(random), plan(random), -10.0 + relief(random)), 1, 0,
                                           false, false);
        }
        Axe& axe = gProjet.GetAxe();
        axe.Type = 1;
        axe.ReplacePolyline({LumPoint(0, 50, 0), LumPoint(40, 50, 0), LumPoint(100, 60, 0)});
        axe.PositionTeteMultiligne = 20.0;
        gProjet.GetUndoManager().Clear();
    }

    // One random edit of any kind the history records; some are refused
    // (a point past a neighbour, nothing to delete) and record nothing.
    void Edit(std::mt19937& random)
    {
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        auto pick = [&](int n) { return n > 0 ? static_cast<int>(random() % static_cast<unsigned>(n)) : -1; };
        auto plan = [&] { return 5.0 + 90.0 * unit(random); };
        const int c = pick(gProjet.GetNumberOfCouches());
        Couche* couche = gProjet.GetCouche(c);
        const double level = c == 0 ? 10.0 : -10.0;
        auto liveVertex = [&](int type)
        {
            std::vector<int> ids;
            for (int id = 0; id < couche->GetMesh().GetVertexVectorSize(); ++id)
                if (couche->GetMesh().GetVertex(id) && (type < 0 || couche->GetVertexType(id).Type == type))
                    ids.push_back(id);
            return ids.empty() ? -1 : ids[static_cast<size_t>(pick(static_cast<int>(ids.size())))];
        };
        LigneNiveau* ligne = couche->GetLigneNiveau(pick(couche->GetNumberOfLignesNiveau()));
        Axe& axe = gProjet.GetAxe();
        auto depths = [&]
        {
            return std::vector<std::pair<std::string, double>>{{"Haut", 20.0 + unit(random)},
                                                               {"Bas", 40.0 + unit(random)}};
        };
        auto section = [&](const std::string& name)
        {
            // Image ordinates 0.6 and 0.8 stand near altitudes 10 and -10.
            return Section(name, {{"Haut",
                                   {CoupeCoord(0.1 + 0.8 * unit(random), 0.6),
                                    CoupeCoord(0.1 + 0.8 * unit(random), 0.6)}},
                                  {"Bas", {CoupeCoord(0.1 + 0.8 * unit(random), 0.8)}}});
        };
        switch (pick(24))
        {
        case 0:
        case 1:
            couche->AddPoint(LumPoint(plan(), plan(), level + 6.0 * unit(random) - 3.0), 1, 0, true, true);
            break;
        case 2:
        case 3:
            // As the views allow: a free point alone (a borehole's or a
            // section's follows its element, a line's leaves by its line).
            couche->DeletePoint(liveVertex(1), true);
            break;
        case 4:
        case 5:
            if (const int id = liveVertex(1); id >= 0)
                couche->MovePoint(id, LumPoint(plan(), plan(), level + 6.0 * unit(random) - 3.0), true, true,
                                  true);
            break;
        case 6:
        {
            // Empty, or with its first point as the level-line tool's first
            // click makes it.
            const float depth = static_cast<float>(level + 2.0 * unit(random) - 1.0);
            const std::vector<float> first = {static_cast<float>(plan()), static_cast<float>(plan())};
            couche->AddLigneNiveau(depth, -1, true, unit(random) < 0.5 ? &first : nullptr);
            break;
        }
        case 7:
            couche->DeleteLigneNiveau(pick(couche->GetNumberOfLignesNiveau()), true);
            break;
        case 8:
            if (ligne)
                ligne->AddPoint(*couche, plan(), plan(), true, static_cast<int>(ligne->Points.size()));
            break;
        case 9:
            if (ligne && !ligne->Points.empty())
                ligne->RemovePoint(*couche,
                                   ligne->Points[static_cast<size_t>(pick(int(ligne->Points.size())))], true);
            break;
        case 10:
            if (ligne)
                ligne->SetProfondeur(*couche, static_cast<float>(level + 2.0 * unit(random) - 1.0), true);
            break;
        case 11:
        {
            // A fictitious borehole places free points on both layers and
            // is left to its caller.
            delete gProjet.SetSondage(
                Vertical("F" + std::to_string(serial++), plan(), plan(), depths(), true), -1, true, true);
            break;
        }
        case 12:
            if (unit(random) < 0.5)
                axe.InsertPoint(LumPoint(plan(), plan(), 0.0));
            else if (axe.GetPointCount() > 3)
                axe.DeletePoint(pick(axe.GetPointCount()));
            else
                axe.MovePoint(pick(axe.GetPointCount()), LumPoint(plan(), plan(), unit(random)), true, true);
            break;
        case 13:
            // Steps of a tenth of a metre: 1.1, 2.7... that an undo by the
            // opposite step would leave a few ulps off.
            axe.MoveHead(0.1 * (pick(61) - 30), true);
            break;
        case 16:
            if (gProjet.GetNumberOfSondages() > 0 && unit(random) < 0.4)
                gProjet.DeleteSondage(gProjet.GetSondage(pick(gProjet.GetNumberOfSondages()))->Nom, true);
            else
                gProjet.SetSondage(Vertical("S" + std::to_string(serial++), plan(), plan(), depths()),
                                   pick(gProjet.GetNumberOfSondages() + 1), true, true);
            break;
        case 17:
            if (gProjet.GetNumberOfCoupes() > 0 && unit(random) < 0.4)
                gProjet.DeleteCoupe(gProjet.GetCoupe(pick(gProjet.GetNumberOfCoupes()))->Nom, true);
            else
                gProjet.SetCoupe(section("C" + std::to_string(serial++)),
                                 pick(gProjet.GetNumberOfCoupes() + 1), true, true);
            break;
        case 15:
            SingleSet()
                .With(SingleSet::Thetaf, static_cast<double>(pick(21)))
                .Apply(GetModelUi().GetTete(), true);
            break;
        case 14:
            // Raised or lowered, or tilted by a degree at most.
            if (unit(random) < 0.5)
                ApplyCoucheMove(c, static_cast<float>(unit(random) - 0.5), 0.0f, 0.0f);
            else
                ApplyCoucheMove(c, 0.0f, static_cast<float>(2.0 * unit(random) - 1.0),
                                static_cast<float>(2.0 * unit(random) - 1.0));
            break;
        case 18:
            // The dialogs' edits, renamed or not; a refused one leaves the
            // old element as it was.
            if (gProjet.GetNumberOfSondages() > 0)
            {
                const std::string name = gProjet.GetSondage(pick(gProjet.GetNumberOfSondages()))->Nom;
                gProjet.ChangeSondage(name,
                                      Vertical(unit(random) < 0.5 ? name : "S" + std::to_string(serial++),
                                               plan(), plan(), depths()));
            }
            break;
        case 19:
            if (gProjet.GetNumberOfCoupes() > 0)
            {
                const std::string name = gProjet.GetCoupe(pick(gProjet.GetNumberOfCoupes()))->Nom;
                gProjet.ChangeCoupe(name,
                                    section(unit(random) < 0.5 ? name : "C" + std::to_string(serial++)));
            }
            break;
        case 20:
            if (unit(random) < 0.3)
                axe.SetType(1 - axe.Type, true);
            else
                axe.SetParameters(LumPoint(plan(), plan(), 0.0), 50.0 + 100.0 * unit(random),
                                  360.0 * unit(random), 4.0 * unit(random), false, true, true);
            break;
        case 21:
            // The palette's choice of the current layer, which the deletion
            // command deletes.
            if (const int to = pick(gProjet.GetNumberOfCouches()); to != gProjet.CoucheCourante)
            {
                RecordCoucheCouranteChange(gProjet.CoucheCourante, to);
                gProjet.SetCoucheCourante(to);
            }
            break;
        case 22:
        {
            // As the palette's commands do: the current layer deleted, the
            // top one with every borehole and section; a new layer, empty
            // or copied from the one above, on top taking them away.
            const int n = gProjet.GetNumberOfCouches();
            const int current = gProjet.CoucheCourante;
            if (n > 2 || (n == 2 && unit(random) < 0.5))
            {
                RecordCoucheDelete(gProjet.GetCouche(current), current,
                                   current == 0 && gProjet.GetNumberOfSondages() > 0);
                gProjet.DeleteCouche(current, 0);
            }
            else
            {
                const int index = pick(n + 1);
                ui.BoxAnswers.push_back(ModelUi::IdYes);
                gProjet.CreateCouche("N" + std::to_string(serial++), index,
                                     index > 0 && unit(random) < 0.5 ? 2 : 0, true, "", 20.0, 5.0);
                ui.BoxAnswers.clear();
            }
            break;
        }
        default:
        {
            const std::vector<std::string> names = gProjet.GetDiscontinuiteNames();
            if (names.empty() || unit(random) < 0.3)
                gProjet.AddDiscontinuite("D" + std::to_string(serial++), true, false);
            else if (unit(random) < 0.3)
                gProjet.DeleteDiscontinuite(names[static_cast<size_t>(pick(int(names.size())))], true);
            else if (Discontinuite* family =
                         gProjet.GetDiscontinuite(names[static_cast<size_t>(pick(int(names.size())))]);
                     unit(random) < 0.5)
                family->ApplyEdit(360.0 * unit(random), 90.0 * unit(random), 10.0 * unit(random),
                                  unit(random), unit(random) < 0.5);
            else
                family->SetOrigine(LumPoint(plan(), plan(), level), true);
            break;
        }
        }
    }

    // Builds the project and runs one session of 300 steps, undos and redos
    // among the middle ones. Gives the step after which each state the
    // history holds stood (-1: the start), oldest first; the file as it was
    // after step saveAt goes to saved.
    std::deque<int> Session(unsigned seed, int saveAt, std::string* saved)
    {
        KorUndoManager& history = gProjet.GetUndoManager();
        history.Clear();
        gProjet.Close();
        serial = 0;
        std::mt19937 random(seed);
        Build(random);
        std::deque<int> moments{-1};
        if (saveAt == -1)
            *saved = Saved();
        for (int step = 0; step < 300; ++step)
        {
            const unsigned position = history.GetPosition();
            const KorAction* last = position > 0 ? history.GetAction(position - 1) : nullptr;
            const unsigned roll = random() % 20;
            if (step > 50 && step < 250 && roll < 3)
                history.Undo();
            else if (step > 50 && step < 250 && roll < 6)
                history.Redo();
            else
            {
                Edit(random);
                const unsigned now = history.GetPosition();
                if (now == position && (now == 0 || history.GetAction(now - 1) == last))
                    continue;
                // One step per edit; the oldest is dropped past the bound.
                EXPECT_TRUE(now == position + 1 || (now == position && position == history.GetMaxUndos()))
                    << "seed " << seed << " step " << step;
                moments.resize(position + 1);
                if (now == position)
                    moments.pop_front();
                moments.push_back(step);
                if (step == saveAt)
                    *saved = Saved();
            }
        }
        EXPECT_EQ(moments.size(), history.GetCount() + 1);
        return moments;
    }

    std::string path;
    int serial = 0;
};

TEST_F(UndoHistoryTest, UndoAllAndRedoAllGiveBackTheSavedBytes)
{
    KorUndoManager& history = gProjet.GetUndoManager();
    for (unsigned seed = 1; seed <= 20; ++seed)
    {
        // A first run finds the step after which the oldest state the
        // history holds at the end stood; the same run again saves the file
        // then, so that a session saves twice rather than at every step.
        const std::deque<int> moments = Session(seed, -2, nullptr);
        ASSERT_FALSE(HasFatalFailure());
        std::string before;
        ASSERT_EQ(Session(seed, moments.front(), &before), moments) << "seed " << seed;
        ASSERT_EQ(history.GetPosition(), history.GetCount());
        const std::string after = Saved();
        while (history.GetPosition() > 0)
            history.Undo();
        ASSERT_EQ(Saved(), before) << "undo all, seed " << seed;
        while (history.GetPosition() < history.GetCount())
            history.Redo();
        ASSERT_EQ(Saved(), after) << "redo all, seed " << seed;
    }
}

// The sample's top layer: two points added and the first moved come back
// after three undos and three redos; a vertex moved then deleted with
// another comes back with it, in place, after three undos.
TEST_F(UndoHistoryTest, SampleEditsComeBackUnderTheirIdentifiers)
{
    gProjet.Open(VORN_SAMPLE);
    KorUndoManager& history = gProjet.GetUndoManager();
    Couche* top = gProjet.GetCouche(0);
    ASSERT_NE(top, nullptr);
    const std::string start = Saved();
    const int p1 = top->AddPoint(WorldToScene(gProjet, LumPoint(-3, 2, 12)), 1, 0, false, true);
    ASSERT_GE(top->AddPoint(WorldToScene(gProjet, LumPoint(3, 2, 2)), 1, 0, false, true), 0);
    ASSERT_EQ(top->MovePoint(p1, WorldToScene(gProjet, LumPoint(-3, 4, 12)), false, true, true), 1);
    const std::string edited = Saved();
    for (int k = 0; k < 3; ++k)
        history.Undo();
    EXPECT_EQ(Saved(), start);
    for (int k = 0; k < 3; ++k)
        history.Redo();
    EXPECT_EQ(Saved(), edited);

    const KorVertex* v = top->GetMesh().GetVertex(10);
    ASSERT_NE(v, nullptr);
    ASSERT_EQ(top->MovePoint(10, LumPoint(v->X + 1, v->Y + 1, v->Z), false, true, true), 1);
    top->DeletePoint(10, true);
    top->DeletePoint(20, true);
    for (int k = 0; k < 3; ++k)
        history.Undo();
    EXPECT_EQ(Saved(), edited);
}
} // namespace
