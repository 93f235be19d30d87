// Two routes to the same numbers: the evaluator against a literal transcription
// of its reduction on random texts (valid and not), and against muparser on
// random expressions inside the grammar both accept.

#include "KorEquation.h"
#include "KorEquationReference.h"
#include "KorNumbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#ifdef VORN_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace
{
void AddVariables(KorEquation& e)
{
    e.AddVariable("x", 1.5);
    e.AddVariable("y", -0.25);
    e.AddVariable("G1S[3]", 12.0);
    e.AddVariable("cos", 0.5); // hides the function
}

std::string RandomText(std::mt19937& rng)
{
    static const std::vector<std::string> tokens = {
        "1",        "2",  "0",   "3.5",    ".5",  "7.",  "1e3", "2E2",  "1e",  "1e999",
        "0.000001", "+",  "-",   "*",      "/",   "^",   "(",   ")",    "(",   ")",
        " ",        "x",  "y",   "G1S[3]", "cos", "sin", "exp", "log",  "tan", "e",
        ".",        "\t", "inf", "z",      "--",  ",",   "()",  "1000", "x^x", "(+1e999)"};
    std::uniform_int_distribution<size_t> pick(0, tokens.size() - 1);
    std::uniform_int_distribution<int> length(0, 24);
    std::string t;
    for (int n = length(rng); n > 0; --n)
        t += tokens[pick(rng)];
    return t;
}
} // namespace

TEST(KorEquationAgreement, LiteralReductionOnRandomTexts)
{
    std::mt19937 rng(20261209);
    KorEquation e("0");
    AddVariables(e);
    KorEquation::Variables vars = {{"x", 1.5}, {"y", -0.25}, {"G1S[3]", 12.0}, {"cos", 0.5}};
    korref::Reference reference(vars);
    int successes = 0;
    for (int i = 0; i < 20000; ++i)
    {
        const std::string text = RandomText(rng);
        e.SetEquation(text);
        std::string error, expectedError;
        const double v = e.Evaluate(&error);
        const double expected = reference.Evaluate(text, expectedError);
        ASSERT_EQ(error, expectedError) << "text: [" << text << "]";
        ASSERT_EQ(KorFormatDouble(v), KorFormatDouble(expected)) << "text: [" << text << "]";
        successes += error.empty();
    }
    // The generator must reach both sides.
    EXPECT_GT(successes, 1000);
    EXPECT_LT(successes, 19000);
}

#ifdef VORN_HAVE_MUPARSER
namespace
{
// Expression trees printed for both evaluators. Their value is tracked while
// building so that divisors and logarithm arguments stay at or above 1e-5,
// every intermediate value stays finite and moderate, and no step is so
// ill-conditioned (cancellation, trigonometry near a zero or a pole) that a
// one-ulp difference in an operand would exceed the tolerance.
struct Generated
{
    std::string ours, theirs; // theirs spells the natural logarithm "ln"
    double value;
    int kind; // 0 primary, 1 sum, 2 product, 3 power, 4 negation
};

class ExpressionGenerator
{
public:
    explicit ExpressionGenerator(unsigned seed) : m_rng(seed) {}

    const std::vector<std::pair<std::string, double>> variables = {
        {"S", 2.0}, {"V", 5.0}, {"G1S[3]", 0.75}, {"C[2]", -1.5}, {"H", 12.5}};

    Generated Make(int depth)
    {
        for (;;)
        {
            Generated g = Try(depth);
            if (std::isfinite(g.value) && std::fabs(g.value) < 1e6)
                return g;
        }
    }

private:
    static Generated Primary(const std::string& s, double v) { return Generated{s, s, v, 0}; }
    static std::string Wrap(const std::string& s, bool bracket = true) { return bracket ? "(" + s + ")" : s; }

    Generated Try(int depth)
    {
        std::uniform_int_distribution<int> choice(0, depth > 0 ? 9 : 1);
        switch (choice(m_rng))
        {
        case 0:
        {
            std::uniform_int_distribution<int> digits(0, 99999);
            std::uniform_int_distribution<int> scale(0, 3);
            const int n = digits(m_rng);
            const int s = scale(m_rng);
            std::string text = std::to_string(n);
            if (s > 0)
            {
                while (static_cast<int>(text.size()) <= s)
                    text = "0" + text;
                text.insert(text.size() - s, ".");
            }
            return Primary(text, KorAtof(text));
        }
        case 1:
        {
            std::uniform_int_distribution<size_t> which(0, variables.size() - 1);
            const auto& v = variables[which(m_rng)];
            return Primary(v.first, v.second);
        }
        case 2:
        case 3:
            return Binary(depth, "+-"[choice(m_rng) % 2], 1);
        case 4:
        case 5:
            return Binary(depth, "*/"[choice(m_rng) % 2], 2);
        case 6:
            return Binary(depth, '^', 3);
        case 7:
        {
            // A sign only at the start of a bracket group; muparser also takes
            // it elsewhere, the evaluator does not.
            Generated a = Make(depth - 1);
            const bool bracket = a.kind == 1 || a.kind == 4;
            return Generated{Wrap("-" + Wrap(a.ours, bracket)), Wrap("-" + Wrap(a.theirs, bracket)), -a.value,
                             0};
        }
        case 8:
        {
            Generated a = Make(depth - 1);
            return Generated{Wrap(a.ours), Wrap(a.theirs), a.value, 0};
        }
        default:
        {
            static const char* const names[] = {"exp", "log", "cos", "sin", "tan"};
            std::uniform_int_distribution<int> which(0, 4);
            const int f = which(m_rng);
            Generated a = Make(depth - 1);
            double v;
            switch (f)
            {
            case 0:
                if (std::fabs(a.value) > 20)
                    return Generated{"", "", NAN, 0};
                v = std::exp(a.value);
                break;
            case 1:
                if (a.value < 1e-5 || std::fabs(std::log(a.value)) < 1e-3)
                    return Generated{"", "", NAN, 0};
                v = std::log(a.value);
                break;
            default:
                if (std::fabs(a.value) > 3 || std::fabs(std::sin(a.value) * std::cos(a.value)) < 0.05)
                    return Generated{"", "", NAN, 0};
                v = f == 2 ? std::cos(a.value) : f == 3 ? std::sin(a.value) : std::tan(a.value);
            }
            return Generated{names[f] + Wrap(a.ours), (f == 1 ? "ln" : names[f]) + Wrap(a.theirs), v, 0};
        }
        }
    }

    // Operands of lower priority are bracketed, and so is a right operand of
    // equal priority; both operands of a power are primaries or brackets, so
    // no power is chained.
    Generated Binary(int depth, char op, int kind)
    {
        Generated a = Make(depth - 1);
        Generated b = Make(depth - 1);
        if (op == '/' && std::fabs(b.value) < 1e-5)
            return Generated{"", "", NAN, 0};
        if (op == '^' && (a.value < 0 || std::fabs(b.value) > 8 || std::fabs(a.value) > 100))
            return Generated{"", "", NAN, 0};
        const bool wrapA = (a.kind != 0 && a.kind < kind) || a.kind == 4 || (kind == 3 && a.kind != 0);
        const bool wrapB = (b.kind != 0 && b.kind <= kind) || b.kind == 4 || (kind == 3 && b.kind != 0);
        if ((op == '+' || op == '-') && std::fabs(op == '+' ? a.value + b.value : a.value - b.value) <
                                            1e-3 * std::max(std::fabs(a.value), std::fabs(b.value)))
            return Generated{"", "", NAN, 0};
        const double v = op == '+'   ? a.value + b.value
                         : op == '-' ? a.value - b.value
                         : op == '*' ? a.value * b.value
                         : op == '/' ? a.value / b.value
                                     : std::pow(a.value, b.value);
        return Generated{Wrap(a.ours, wrapA) + op + Wrap(b.ours, wrapB),
                         Wrap(a.theirs, wrapA) + op + Wrap(b.theirs, wrapB), v, kind};
    }

    std::mt19937 m_rng;
};
} // namespace

TEST(KorEquationAgreement, MuparserOnTenThousandExpressions)
{
    ExpressionGenerator gen(7);
    KorEquation ours("0");
    mu::Parser theirs;
    theirs.DefineNameChars("0123456789_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ[]");
    std::vector<double> storage;
    storage.reserve(gen.variables.size());
    for (const auto& v : gen.variables)
    {
        ours.AddVariable(v.first, v.second);
        storage.push_back(v.second);
        theirs.DefineVar(v.first, &storage.back());
    }
    double worst = 0.0;
    for (int i = 0; i < 10000; ++i)
    {
        std::uniform_int_distribution<int> depth(1, 6);
        static std::mt19937 depthRng(11);
        const Generated g = gen.Make(depth(depthRng));
        ours.SetEquation(g.ours);
        std::string error;
        const double a = ours.Evaluate(&error);
        ASSERT_EQ(error, "") << g.ours;
        double b = 0.0;
        try
        {
            theirs.SetExpr(g.theirs);
            b = theirs.Eval();
        }
        catch (const mu::Parser::exception_type& e)
        {
            FAIL() << g.theirs << ": " << e.GetMsg();
        }
        const double scale = std::max(std::fabs(a), std::fabs(b));
        const double diff = scale > 0 ? std::fabs(a - b) / scale : 0.0;
        worst = std::max(worst, diff);
        ASSERT_LT(diff, 1e-12) << g.ours << " = " << a << " / " << g.theirs << " = " << b;
    }
    RecordProperty("worst_relative_difference", KorFormatDouble(worst));
}
#endif
