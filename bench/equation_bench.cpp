// The cost function as the series of calculations uses it: one text, new
// variable values at every position. The evaluator is measured against
// muparser's parse-once-evaluate-many on the same texts and values: with the
// values changed every time (by name through AddVariable for the evaluator,
// through the bound doubles for muparser), evaluation alone, and a new text
// every time (parse cost).
#include "KorEquation.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#ifdef VORN_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace
{
// 60 terms over the per-class, per-layer names of an excavation.
struct CostText
{
    std::string text;
    std::vector<std::string> names;
    CostText()
    {
        for (int layer = 1; layer <= 20; ++layer)
        {
            for (int face = 1; face <= 3; ++face)
            {
                const std::string name = "G" + std::to_string(layer) + "S[" + std::to_string(face) + "]";
                names.push_back(name);
                if (!text.empty())
                    text += " + ";
                text += std::to_string(10 + layer) + "." + std::to_string(face) + " * " + name;
            }
        }
    }
};
const CostText kCost;

double Value(int i, int k)
{
    return 1.0 + 0.001 * ((i * 7919 + k * 104729) % 1000);
}

void BM_Kor_Simple(benchmark::State& state)
{
    KorEquation e("300*S+10*V");
    std::string error;
    int k = 0;
    for (auto _ : state)
    {
        e.AddVariable("S", Value(0, k));
        e.AddVariable("V", Value(1, k));
        ++k;
        benchmark::DoNotOptimize(e.Evaluate(&error));
    }
}
BENCHMARK(BM_Kor_Simple);

// Evaluation alone, the values set once.
void BM_Kor_Simple_EvaluateOnly(benchmark::State& state)
{
    KorEquation e("300*S+10*V");
    e.AddVariable("S", 2.0);
    e.AddVariable("V", 5.0);
    std::string error;
    for (auto _ : state)
        benchmark::DoNotOptimize(e.Evaluate(&error));
}
BENCHMARK(BM_Kor_Simple_EvaluateOnly);

void BM_Kor_Cost60(benchmark::State& state)
{
    KorEquation e(kCost.text);
    std::string error;
    int k = 0;
    for (auto _ : state)
    {
        for (size_t i = 0; i < kCost.names.size(); ++i)
            e.AddVariable(kCost.names[i], Value(static_cast<int>(i), k));
        ++k;
        benchmark::DoNotOptimize(e.Evaluate(&error));
    }
}
BENCHMARK(BM_Kor_Cost60);

// Evaluation alone, the values set once.
void BM_Kor_Cost60_EvaluateOnly(benchmark::State& state)
{
    KorEquation e(kCost.text);
    for (size_t i = 0; i < kCost.names.size(); ++i)
        e.AddVariable(kCost.names[i], Value(static_cast<int>(i), 0));
    std::string error;
    for (auto _ : state)
        benchmark::DoNotOptimize(e.Evaluate(&error));
}
BENCHMARK(BM_Kor_Cost60_EvaluateOnly);

// A new text every time: the compile cost.
void BM_Kor_Cost60_NewText(benchmark::State& state)
{
    KorEquation e("0");
    for (size_t i = 0; i < kCost.names.size(); ++i)
        e.AddVariable(kCost.names[i], Value(static_cast<int>(i), 0));
    std::string texts[2] = {kCost.text, kCost.text + " "};
    std::string error;
    int k = 0;
    for (auto _ : state)
    {
        e.SetEquation(texts[++k % 2]);
        benchmark::DoNotOptimize(e.Evaluate(&error));
    }
}
BENCHMARK(BM_Kor_Cost60_NewText);

#ifdef VORN_HAVE_MUPARSER
void DefineNames(mu::Parser& p)
{
    p.DefineNameChars("0123456789_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ[]");
}

void BM_Mu_Simple(benchmark::State& state)
{
    mu::Parser p;
    double s = 0, v = 0;
    p.DefineVar("S", &s);
    p.DefineVar("V", &v);
    p.SetExpr("300*S+10*V");
    int k = 0;
    for (auto _ : state)
    {
        s = Value(0, k);
        v = Value(1, k);
        ++k;
        benchmark::DoNotOptimize(p.Eval());
    }
}
BENCHMARK(BM_Mu_Simple);

void BM_Mu_Simple_EvalOnly(benchmark::State& state)
{
    mu::Parser p;
    double s = 2.0, v = 5.0;
    p.DefineVar("S", &s);
    p.DefineVar("V", &v);
    p.SetExpr("300*S+10*V");
    for (auto _ : state)
        benchmark::DoNotOptimize(p.Eval());
}
BENCHMARK(BM_Mu_Simple_EvalOnly);

void BM_Mu_Cost60(benchmark::State& state)
{
    mu::Parser p;
    DefineNames(p);
    std::vector<double> values(kCost.names.size());
    for (size_t i = 0; i < kCost.names.size(); ++i)
        p.DefineVar(kCost.names[i], &values[i]);
    p.SetExpr(kCost.text);
    int k = 0;
    for (auto _ : state)
    {
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = Value(static_cast<int>(i), k);
        ++k;
        benchmark::DoNotOptimize(p.Eval());
    }
}
BENCHMARK(BM_Mu_Cost60);

void BM_Mu_Cost60_EvalOnly(benchmark::State& state)
{
    mu::Parser p;
    DefineNames(p);
    std::vector<double> values(kCost.names.size());
    for (size_t i = 0; i < kCost.names.size(); ++i)
    {
        values[i] = Value(static_cast<int>(i), 0);
        p.DefineVar(kCost.names[i], &values[i]);
    }
    p.SetExpr(kCost.text);
    for (auto _ : state)
        benchmark::DoNotOptimize(p.Eval());
}
BENCHMARK(BM_Mu_Cost60_EvalOnly);

void BM_Mu_Cost60_NewText(benchmark::State& state)
{
    mu::Parser p;
    DefineNames(p);
    std::vector<double> values(kCost.names.size(), 1.0);
    for (size_t i = 0; i < kCost.names.size(); ++i)
        p.DefineVar(kCost.names[i], &values[i]);
    std::string texts[2] = {kCost.text, kCost.text + " "};
    int k = 0;
    for (auto _ : state)
    {
        p.SetExpr(texts[++k % 2]);
        benchmark::DoNotOptimize(p.Eval());
    }
}
BENCHMARK(BM_Mu_Cost60_NewText);
#endif
} // namespace
