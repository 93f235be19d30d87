// The hot geometric predicates over 10^6 random inputs (fixed seed), each
// beside a textbook route written with Eigen on the same memory. The program
// prints the time ratio of each pair (ours / Eigen) after the table, from the
// medians when run with repetitions.

#include "KorGeometry.h"
#include "KorNumbers.h"
#include "KorPlucker.h"
#include "KorRay.h"

#include <Eigen/Dense>
#include <benchmark/benchmark.h>

#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace
{
constexpr size_t kCount = 1000000;
using Vec3 = Eigen::Vector3d;
using Vec2 = Eigen::Vector2d;

Eigen::Map<const Vec3> E3(const LumPoint& p)
{
    return Eigen::Map<const Vec3>(&p.x);
}
Vec2 E2(const LumPoint& p)
{
    return Vec2(p.x, p.y);
}

struct Inputs
{
    std::vector<LumPoint> a, b, c, d;
    std::vector<KorRay> rays;
    std::vector<KorPlucker> lines1, lines2;
    std::vector<Eigen::Matrix<double, 6, 1>> plucker1, plucker2;

    Inputs()
    {
        std::mt19937 rng(20261209);
        std::uniform_real_distribution<double> u(-10, 10);
        auto point = [&]
        {
            const double x = u(rng), y = u(rng), z = u(rng);
            return LumPoint(x, y, z);
        };
        for (size_t i = 0; i < kCount; ++i)
        {
            a.push_back(point());
            b.push_back(point());
            c.push_back(point());
            d.push_back(point());
            const LumPoint o = point();
            // Aimed near the triangle so that about half the rays hit.
            rays.emplace_back(o, (a[i] + b[i] + c[i]) * (1.0 / 3) + point() * 0.3 - o);
            lines1.emplace_back(a[i], b[i]);
            lines2.emplace_back(c[i], d[i]);
            plucker1.push_back(Line(a[i], b[i]));
            plucker2.push_back(Line(c[i], d[i]));
        }
    }

    // Textbook Plücker coordinates (direction, moment).
    static Eigen::Matrix<double, 6, 1> Line(const LumPoint& p, const LumPoint& q)
    {
        Eigen::Matrix<double, 6, 1> l;
        const Vec3 dir = E3(q) - E3(p);
        l << dir, E3(p).cross(dir);
        return l;
    }
};

const Inputs& Data()
{
    static const Inputs inputs;
    return inputs;
}

void Finish(benchmark::State& state, size_t hits)
{
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
    state.counters["hits"] = static_cast<double>(hits);
}

void BM_IntersectTriangle_Kor(benchmark::State& state)
{
    const Inputs& in = Data();
    size_t hits = 0;
    for (auto _ : state)
    {
        hits = 0;
        for (size_t i = 0; i < kCount; ++i)
        {
            double t = -1;
            hits += in.rays[i].IntersectTriangle(in.a[i], in.b[i], in.c[i], 0, 1e10, t);
            benchmark::DoNotOptimize(t);
        }
    }
    Finish(state, hits);
}

void BM_IntersectTriangle_Eigen(benchmark::State& state)
{
    const Inputs& in = Data();
    size_t hits = 0;
    for (auto _ : state)
    {
        hits = 0;
        for (size_t i = 0; i < kCount; ++i)
        {
            // Möller–Trumbore.
            const Vec3 a = E3(in.a[i]), e1 = E3(in.b[i]) - a, e2 = E3(in.c[i]) - a;
            const Vec3 dir = E3(in.rays[i].GetDirection());
            const Vec3 pv = dir.cross(e2);
            const double det = e1.dot(pv);
            if (std::abs(det) < 1e-5)
                continue;
            const double inv = 1.0 / det;
            const Vec3 tv = E3(in.rays[i].GetOrigin()) - a;
            const double u = tv.dot(pv) * inv;
            if (u < 0 || u > 1)
                continue;
            const Vec3 qv = tv.cross(e1);
            const double v = dir.dot(qv) * inv;
            if (v < 0 || u + v > 1)
                continue;
            double t = e2.dot(qv) * inv;
            benchmark::DoNotOptimize(t);
            hits += t >= 0 && t <= 1e10;
        }
    }
    Finish(state, hits);
}

void BM_PointInTriangle2D_Kor(benchmark::State& state)
{
    const Inputs& in = Data();
    size_t hits = 0;
    for (auto _ : state)
    {
        hits = 0;
        for (size_t i = 0; i < kCount; ++i)
            hits += PointInTriangle2D(in.d[i], in.a[i], in.b[i], in.c[i]);
        benchmark::DoNotOptimize(hits);
    }
    Finish(state, hits);
}

void BM_PointInTriangle2D_Eigen(benchmark::State& state)
{
    const Inputs& in = Data();
    size_t hits = 0;
    for (auto _ : state)
    {
        hits = 0;
        for (size_t i = 0; i < kCount; ++i)
        {
            // Barycentric coordinates from the Gram system (Ericson).
            const Vec2 a = E2(in.a[i]);
            const Vec2 v0 = E2(in.b[i]) - a, v1 = E2(in.c[i]) - a, v2 = E2(in.d[i]) - a;
            const double d00 = v0.dot(v0), d01 = v0.dot(v1), d11 = v1.dot(v1);
            const double d20 = v2.dot(v0), d21 = v2.dot(v1);
            const double den = d00 * d11 - d01 * d01;
            const double v = (d11 * d20 - d01 * d21) / den;
            const double w = (d00 * d21 - d01 * d20) / den;
            hits += v >= 0 && w >= 0 && v + w <= 1;
        }
        benchmark::DoNotOptimize(hits);
    }
    Finish(state, hits);
}

void BM_SegmentsIntersection_Kor(benchmark::State& state)
{
    const Inputs& in = Data();
    size_t hits = 0;
    for (auto _ : state)
    {
        hits = 0;
        for (size_t i = 0; i < kCount; ++i)
        {
            double t;
            hits += SegmentsIntersection(in.a[i], in.b[i], in.c[i], in.d[i], &t);
            benchmark::DoNotOptimize(t);
        }
    }
    Finish(state, hits);
}

void BM_SegmentsIntersection_Eigen(benchmark::State& state)
{
    const Inputs& in = Data();
    size_t hits = 0;
    auto cross = [](const Vec2& u, const Vec2& v) { return u.x() * v.y() - u.y() * v.x(); };
    for (auto _ : state)
    {
        hits = 0;
        for (size_t i = 0; i < kCount; ++i)
        {
            // Parametric solve of p1 + s d1 = p3 + u d2.
            const Vec2 p1 = E2(in.a[i]), d1 = E2(in.b[i]) - p1, p3 = E2(in.c[i]), d2 = E2(in.d[i]) - p3;
            const double den = cross(d1, d2);
            if (std::abs(den) < 1e-12)
                continue;
            const Vec2 w = p3 - p1;
            double s = cross(w, d2) / den;
            const double u = cross(w, d1) / den;
            benchmark::DoNotOptimize(s);
            hits += s >= 0 && s <= 1 && u >= 0 && u <= 1;
        }
    }
    Finish(state, hits);
}

void BM_PluckerSide_Kor(benchmark::State& state)
{
    const Inputs& in = Data();
    size_t positive = 0;
    for (auto _ : state)
    {
        positive = 0;
        for (size_t i = 0; i < kCount; ++i)
            positive += in.lines1[i].Side(in.lines2[i]) > 0;
        benchmark::DoNotOptimize(positive);
    }
    Finish(state, positive);
}

void BM_PluckerSide_Eigen(benchmark::State& state)
{
    const Inputs& in = Data();
    size_t positive = 0;
    for (auto _ : state)
    {
        positive = 0;
        for (size_t i = 0; i < kCount; ++i)
        {
            // Reciprocal product d1 . m2 + d2 . m1; its sign convention is
            // the opposite of ours, so the count is of negative values.
            const auto& l1 = in.plucker1[i];
            const auto& l2 = in.plucker2[i];
            const double s = l1.head<3>().dot(l2.tail<3>()) + l2.head<3>().dot(l1.tail<3>());
            positive += s < 0;
        }
        benchmark::DoNotOptimize(positive);
    }
    Finish(state, positive);
}

BENCHMARK(BM_IntersectTriangle_Kor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntersectTriangle_Eigen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointInTriangle2D_Kor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointInTriangle2D_Eigen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SegmentsIntersection_Kor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SegmentsIntersection_Eigen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PluckerSide_Kor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PluckerSide_Eigen)->Unit(benchmark::kMillisecond);

// The console table, then "name: ours / Eigen = ratio" for each pair, from
// the median aggregate when there is one, else from the single run.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
        {
            const bool single = r.run_type == Run::RT_Iteration && r.repetitions <= 1;
            if (single || r.aggregate_name == "median")
                m_times[r.run_name.function_name] = r.GetAdjustedRealTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& [name, time] : m_times)
        {
            const std::string suffix = "_Kor";
            if (name.size() <= suffix.size() ||
                name.compare(name.size() - suffix.size(), suffix.size(), suffix))
                continue;
            const std::string stem = name.substr(0, name.size() - suffix.size());
            const auto peer = m_times.find(stem + "_Eigen");
            if (peer != m_times.end() && peer->second > 0)
                std::cout << stem.substr(3) << ": ours / Eigen = " << KorFormatFixed(time / peer->second, 2)
                          << "\n";
        }
    }

private:
    std::map<std::string, double> m_times;
};
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
