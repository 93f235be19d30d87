#include "CalculSeries.h"

#include "Axe.h"
#include "AxeRecorders.h"
#include "Excavation.h"
#include "KorNumbers.h"
#include "ModelUi.h"
#include "OVXAction.h"
#include "ProjetOVX.h"
#include "ResultatsOVX.h"
#include "SceneCoordinates.h"
#include "TeteTranchee.h"
#include "TypedValues.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

int gCancelCalculation = 0;
bool gSeriesRunning = false;

SeriesBounds BuildPositions(double minimum, double step, double maximum, std::vector<double>& positions)
{
    if (!std::isfinite(minimum) || !std::isfinite(step) || !std::isfinite(maximum))
        return SeriesBounds::NotFinite;
    if (maximum < minimum)
        return SeriesBounds::MinimumAboveMaximum;
    if (step < 1e-5)
        return SeriesBounds::StepTooSmall;
    // Counted before anything is allocated; a span that overflows is
    // infinite and refused too.
    const double count = std::floor((maximum - minimum) / step + 1e-9) + 1.0;
    if (!(count <= MaxSeriesCalculations))
        return SeriesBounds::TooManyPositions;
    const int n = static_cast<int>(count);
    positions.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        positions[static_cast<size_t>(i)] = minimum + i * step;
    return SeriesBounds::Valid;
}

namespace
{
// The value rounded to that many decimals: the double nearest the decimal.
double RoundToDecimals(double value, int decimals)
{
    return KorAtof(KorFormatFixed(value, decimals));
}
} // namespace

std::vector<double> SeriesLabels(const std::vector<double>& positions)
{
    double largest = 0.0;
    for (double p : positions)
        if (std::isfinite(p))
            largest = std::max(largest, std::fabs(p));
    const double noise = 64.0 * std::numeric_limits<double>::epsilon() * largest;
    for (int decimals = 0; decimals <= 12; ++decimals)
    {
        bool holds = true;
        for (double p : positions)
            if (std::isfinite(p) && !(std::fabs(RoundToDecimals(p, decimals) - p) <= noise))
            {
                holds = false;
                break;
            }
        if (!holds)
            continue;
        std::vector<double> labels = positions;
        for (double& p : labels)
            if (std::isfinite(p))
                p = RoundToDecimals(p, decimals);
        return labels;
    }
    return positions;
}

namespace
{
void ShowRefusal(const std::string& text)
{
    GetModelUi().MessageBox(text, "Message", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
}

void ShowLimit()
{
    ShowRefusal("Le nombre de calculs demandé dépasse la limite de " + std::to_string(MaxSeriesCalculations));
}

// The positions along one direction of the series ("l'axe" or "la
// direction"); false after its message.
bool ReadBounds(const std::string& minimum, const std::string& step, const std::string& maximum,
                const std::string& along, std::vector<double>& positions)
{
    switch (BuildPositions(TypedNumber(minimum), TypedNumber(step), TypedNumber(maximum), positions))
    {
    case SeriesBounds::Valid:
        return true;
    case SeriesBounds::NotFinite:
        ShowNonFiniteValuesMessage();
        return false;
    case SeriesBounds::MinimumAboveMaximum:
        ShowRefusal("La valeur minimale selon " + along +
                    " ne doit pas être supérieure à la valeur maximale");
        return false;
    case SeriesBounds::StepTooSmall:
        ShowRefusal("La valeur du pas selon " + along + " ne doit pas être nulle ou négative");
        return false;
    case SeriesBounds::TooManyPositions:
        ShowLimit();
        return false;
    }
    return false;
}
} // namespace

bool ReadSeriesRequest(const SeriesFields& fields, SeriesRequest& request)
{
    SeriesRequest read;
    if (!ReadBounds(fields.AxisMinimum, fields.AxisStep, fields.AxisMaximum, "l'axe", read.Positions))
        return false;
    if (fields.WithDirection)
    {
        if (!ReadFiniteValue(fields.Angle, read.Direction) ||
            !ReadBounds(fields.DirectionMinimum, fields.DirectionStep, fields.DirectionMaximum,
                        "la direction", read.Offsets))
            return false;
        if (read.Positions.size() * read.Offsets.size() > static_cast<size_t>(MaxSeriesCalculations))
        {
            ShowLimit();
            return false;
        }
    }
    request = std::move(read);
    return true;
}

namespace
{
// The world unit vector of a series direction (a bearing in degrees,
// clockwise from north) in the project's plan.
LumPoint DirectionVector(double direction)
{
    const double a = (90.0 - gProjet.Nord - direction) * M_PI / 180.0;
    return LumPoint(std::cos(a), std::sin(a), 0.0);
}
} // namespace

void GoToSeriesPosition(const XMLNode& resultAxis, const ResultatsOVX& results, int row, int column)
{
    Axe& axe = gProjet.GetAxe();
    XMLNode old = OVXAction::NewSnapshot();
    axe.ToXML(old);
    axe.FromXML(resultAxis);
    axe.SetGeometryChanged();
    ModelUi& ui = GetModelUi();
    const bool selected = row >= 0 && column >= 0 && static_cast<size_t>(column) < results.Axe1.size() &&
                          (results.Axe2.empty() ? row == 0 : static_cast<size_t>(row) < results.Axe2.size());
    if (selected)
    {
        const double d0 = axe.GetHeadDistance();
        double d1 = results.Axe1[static_cast<size_t>(column)];
        if (axe.TeteInversee)
            d1 = -d1;
        if (!results.Axe2.empty())
            axe.Translate(WorldToSceneVector(gProjet, DirectionVector(results.Direction) *
                                                          results.Axe2[static_cast<size_t>(row)]));
        axe.SetHeadPositionAtDistance(d0 + WorldToSceneLength(gProjet, d1));
    }
    RecordAxeReplace(old);
    gProjet.InvalidateResults();
    ui.RefreshDisplay();
}

namespace
{
// Shows a running series at most once per interval of computing, counted
// from the end of the last showing and never shorter than that showing
// took: however slow a frame, the series spends at least half its time
// computing.
class SeriesPacer
{
public:
    SeriesPacer(double interval, const std::function<void(size_t)>& onProgress)
        : mInterval(interval), mWait(interval), mOnProgress(onProgress), mLast(Clock::now())
    {
    }
    // After each calculation: the frame of the position just computed, the
    // progress and the interface's events, when due.
    void Done()
    {
        ++mDone;
        const Clock::time_point start = Clock::now();
        if (mInterval > 0.0 && Seconds(mLast, start) < mWait)
            return;
        ModelUi& ui = GetModelUi();
        ui.RefreshDisplay();
        Show();
        ui.YieldEvents();
        mLast = Clock::now();
        mWait = std::max(mInterval, Seconds(start, mLast));
    }
    // After the last calculation: the progress, once more if it moved.
    void Finish()
    {
        if (mDone != mShown)
            Show();
    }

private:
    using Clock = std::chrono::steady_clock;
    static double Seconds(Clock::time_point from, Clock::time_point to)
    {
        return std::chrono::duration<double>(to - from).count();
    }
    void Show()
    {
        mShown = mDone;
        if (mOnProgress)
            mOnProgress(mDone);
    }
    double mInterval;
    double mWait;
    const std::function<void(size_t)>& mOnProgress;
    Clock::time_point mLast;
    size_t mDone = 0;
    size_t mShown = 0;
};

// The position loop of one row; false when cancelled.
bool RunPositions(const std::vector<double>& positions, double d0, SeriesPacer& pacer)
{
    Axe& axe = gProjet.GetAxe();
    ResultatsOVX& results = gProjet.GetResultats();
    for (double p : positions)
    {
        if (gCancelCalculation)
            return false;
        double s = WorldToSceneLength(gProjet, p);
        if (axe.TeteInversee)
            s = -s;
        double& position = axe.Type == 0 ? axe.PositionTeteAngle : axe.PositionTeteMultiligne;
        const double before = position;
        bool found = false;
        const LumPoint head = axe.SetHeadPositionAtDistance(d0 + s, &found);
        if (found && position >= 0.0)
        {
            // What the 3D view's frame would compute, without the frame:
            // a frame shown later finds the results current.
            gProjet.InvalidateResults();
            ComputeExcavation();
            results.AddPosition(SceneToWorld(gProjet, head));
        }
        else
        {
            // Off the axis the head stays where it was; its results are
            // not this position's. Those of the place it stays at still
            // stand, for a frame to draw them as they are.
            position = before;
            results.AddFailedRecord(SceneToWorld(gProjet, head));
        }
        pacer.Done();
    }
    return true;
}

// Tells, after a series, how many of its recorded positions failed (their
// volume "V" is -1: off the axis, or a computation that could not be made);
// nothing when none did.
void ReportFailedPositions(const ResultatsOVX& results)
{
    const auto v = std::find(results.Variables.begin(), results.Variables.end(), "V");
    if (v == results.Variables.end())
        return;
    const size_t index = static_cast<size_t>(v - results.Variables.begin());
    size_t failed = 0, recorded = 0;
    for (const auto& row : results.Values)
        for (const auto& record : row)
        {
            ++recorded;
            if (index >= record.size() || record[index] < 0.0)
                ++failed;
        }
    if (failed == 0)
        return;
    const bool one = failed == 1;
    GetModelUi().MessageBox("Impossible de calculer l'excavation en " + std::to_string(failed) +
                                (one ? " position sur " : " positions sur ") + std::to_string(recorded) +
                                " de la série. \n" +
                                (one ? "Ses résultats valent -1." : "Leurs résultats valent -1."),
                            "Erreur de calcul", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
}
} // namespace

void ComputeSeries(double direction, const std::vector<double>& positions, const std::vector<double>& offsets,
                   const std::function<void(size_t)>& onProgress, double frameInterval)
{
    ModelUi& ui = GetModelUi();
    gCancelCalculation = 0;
    ui.EnterVisualisationMode(true);
    if (ui.GetMode() != 2)
        return;
    gSeriesRunning = true;
    ResultatsOVX& results = gProjet.GetResultats();
    results.Clear();
    // The head goes to the positions as computed; the results keep them
    // without their binary noise.
    results.Axe1 = SeriesLabels(positions);
    results.Axe2 = SeriesLabels(offsets);
    results.Direction = direction;
    const TeteTranchee& head = ui.GetTete();
    results.BuildVariableNames(head.DoubleEntree, head.CoteAvance, gProjet.GetNumberOfCouches());
    ui.SetCursor(ModelUi::Cursor::Wait);
    gProjet.Set3DTriangles(true);
    gProjet.Set3DAffichageTete(true);

    Axe& axe = gProjet.GetAxe();
    const LumPoint u = DirectionVector(direction);
    const double d0 = axe.GetHeadDistance();
    // Put back by copy, not by moving back: a shift there and back may
    // leave the last digits of every point changed.
    const Axe before = axe;
    SeriesPacer pacer(frameInterval, onProgress);
    bool completed = true;
    if (offsets.empty())
        completed = RunPositions(positions, d0, pacer);
    for (double o : offsets)
    {
        const LumPoint v = WorldToSceneVector(gProjet, u * o);
        axe.Translate(v);
        // The head moved with the axis: what was computed stands elsewhere.
        gProjet.InvalidateResults();
        completed = RunPositions(positions, d0, pacer);
        axe = before;
        if (!completed)
            break;
    }
    pacer.Finish();
    axe = before;
    gProjet.InvalidateResults();
    ui.RefreshDisplay();
    if (completed)
    {
        results.AxeResultats = axe;
        results.EvaluateCosts();
        ui.FillCurveVariables();
    }
    gSeriesRunning = false;
    ui.SetCursor(ModelUi::Cursor::Arrow);
    ReportFailedPositions(results);
}
