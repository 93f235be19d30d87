#pragma once

#include <functional>
#include <string>
#include <vector>

// A series of calculations: the trench head moved step by step along the
// tunnel axis and, optionally, sideways along a fixed direction, the
// excavation computed and recorded into the project's results at every
// position. Runs on the interface's thread; the cancel flag is read
// between positions.

// Set by the progress dialog's cancel button, cleared when a series starts.
extern int gCancelCalculation;
// True while a series runs: the refresh then shows no calculation error box.
extern bool gSeriesRunning;

// The most calculations (positions times offsets) one series may ask for.
constexpr int MaxSeriesCalculations = 100000;

enum class SeriesBounds
{
    Valid,
    NotFinite,
    MinimumAboveMaximum,
    StepTooSmall,
    TooManyPositions
};

// The positions min + i step for i < n, n = floor((max - min) / step +
// 1e-9) + 1: computed from the index, so no rounding drift drops the
// maximum. Refused (positions untouched) when a bound or the step is not
// finite, max < min, step < 1e-5, or n > MaxSeriesCalculations.
SeriesBounds BuildPositions(double minimum, double step, double maximum, std::vector<double>& positions);

// The positions of a series as the results keep, show and export them: each
// rounded to the fewest decimals (0 to 12) that every one of them holds but
// for binary noise (64 epsilons of the largest magnitude), so that min + i
// step reads as typed ("-33.85", not "-33.849999999999994"). Values that need
// more decimals are kept as they are. O(positions x decimals).
std::vector<double> SeriesLabels(const std::vector<double>& positions);

// What the series dialog asks for, as typed (numbers read by TypedNumber:
// the atof prefix rule, a decimal comma read as a point, any locale).
struct SeriesFields
{
    std::string AxisMinimum, AxisStep, AxisMaximum;
    bool WithDirection = false;
    std::string Angle, DirectionMinimum, DirectionStep, DirectionMaximum;
};
struct SeriesRequest
{
    double Direction = 0.0;
    std::vector<double> Positions;
    std::vector<double> Offsets;
};
// The request; false, after the refusal's message box, when a bound, a
// step or the angle is refused or the series would exceed
// MaxSeriesCalculations calculations.
bool ReadSeriesRequest(const SeriesFields& fields, SeriesRequest& request);

class ResultatsOVX;
class XMLNode;

// How often a running series shows where it is, in seconds: a frame of the
// 3D view and the progress at most once per interval of computing (and
// never after less computing than the last showing took), and after the
// last position.
constexpr double SeriesFrameInterval = 0.1;

// Runs a series: direction in degrees (a bearing from north), axis
// positions and offsets in metres (no offsets: one row, no shift). The
// visualisation mode is entered first; when it is refused (the user was
// told why) nothing else happens and the results stay as they were.
// Otherwise the results are cleared (their axes take SeriesLabels of the
// positions and offsets) and, for each offset (the axis shifted
// across by it) and each axis position, the head is moved, the excavation
// computed there and the calculation recorded. A position off the axis
// records -1 for every value. Once frameInterval seconds, and at least as
// long as the last showing took, have passed since the last frame was
// shown (frameInterval 0: at every position), the 3D view's frame is
// refreshed, onProgress gets the number of calculations made and the
// interface processes its events; onProgress gets the final count at the
// end too. A frame drawn or not changes no record: the display copies of
// the cut meshes are only rebuilt for a frame. gCancelCalculation, read
// before each position, ends the run keeping the records made. The head and
// the axis are put back; a completed run keeps a copy of the axis and
// evaluates the costs. A run that recorded failed positions (completed or
// cancelled) ends with an "Erreur de calcul" box telling how many of the
// recorded ones failed.
// Cost: one excavation per position on the axis, and one frame per
// interval; a frame at a position off the axis draws what stands.
void ComputeSeries(double direction, const std::vector<double>& positions, const std::vector<double>& offsets,
                   const std::function<void(size_t)>& onProgress = {},
                   double frameInterval = SeriesFrameInterval);

// Puts the head back where the series computed the calculation (row,
// column) of the results: the project's axis restored from resultAxis (the
// axis the series ran on, as it wrote itself), shifted by the row's offset
// along the series direction when there are offsets, and the head placed at
// the column's axis position. With an index out of range the axis is only
// restored. One undo step gives the axis back as it was.
void GoToSeriesPosition(const XMLNode& resultAxis, const ResultatsOVX& results, int row, int column);
