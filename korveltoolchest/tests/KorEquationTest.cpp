#include "KorEquation.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace
{
const std::string kBrackets = "Vérifiez les parenthèses de l'équation";
const std::string kTooDeep = "L'équation contient trop de parenthèses imbriquées";
const std::string kNoOperator = "Impossible de trouver un opérateur dans une partie de l'équation";
const std::string kEnds = "Impossible d'évaluer une expression qui finit par un opérateur";
const std::string kNotFollowed =
    "Impossible d'évaluer une expression dont un opérateur n'est pas suivi par une valeur numérique";
const std::string kDivZero = "Une division par 0 a été trouvée";
const std::string kLog = "Impossible de calculer le logarithme d'un nombre négatif ou nul";
const std::string kNotFinite = "Le résultat de l'équation n'est pas un nombre fini";

std::string NotPreceded(char op)
{
    return std::string("Impossible d'évaluer une expression dont '") + op +
           "' n'est pas précédé par une valeur numérique";
}
std::string Unreadable(const std::string& piece)
{
    return "Impossible d'évaluer la chaîne : '" + piece + "'";
}

struct Case
{
    const char* text;
    double value;      // expected when error is empty
    std::string error; // exact message, empty for success
};

// Variables of every case: the program's kind of names, including indexed
// ones and one that hides a function name.
KorEquation WithVariables(const std::string& text)
{
    KorEquation e(text);
    e.AddVariable("S", 2.0);
    e.AddVariable("V", 5.0);
    e.AddVariable("H", 0.5);
    e.AddVariable("G1S[3]", 7.0);
    e.AddVariable("C[Marne]", -3.0);
    e.AddVariable("tan", 10.0);
    return e;
}

const double kPi = std::acos(-1.0);

const Case kCases[] = {
    // Values, priorities and grouping.
    {"300 * S + 10 * V", 650.0, ""},
    {"2 + 3 * 4", 14.0, ""},
    {"( 2 + 3 ) * 4", 20.0, ""},
    {"8 - 3 - 2", 3.0, ""},
    {"2 ^ 3 ^ 2", 64.0, ""},
    {"24 / 4 / 3", 2.0, ""},
    {"2 ^ 0.5 * 2 ^ 0.5", 2.0000000000000004, ""},
    {"G1S[3] * C[Marne]", -21.0, ""},
    {"( ( ( V ) ) )", 5.0, ""},
    {"1 / ( - 2 )", -0.5, ""},
    {"2e3 + 1E2", 2100.0, ""},
    {".5 + 5.", 5.5, ""},
    // Unary signs at the start of the text or of a group.
    {"- 2 + 3", 1.0, ""},
    {"- ( 2 )", -2.0, ""},
    {"- 2 ^ 2", -4.0, ""},
    {"2 * ( - 3 )", -6.0, ""},
    {"+ V", 5.0, ""},
    {"- sin ( 0 ) + 1", 1.0, ""},
    // Functions take radians and a bracketed argument.
    {"log ( 1 )", 0.0, ""},
    {"exp ( 0 ) + cos ( 0 )", 2.0, ""},
    {"sin ( H * 0 ) + cos ( 2 * ( 3 - 3 ) )", 1.0, ""},
    {"log ( exp ( 2 ) ) * 3", 6.0, ""},
    {"tan * 2", 20.0, ""}, // the variable hides the function
    // Empty texts.
    {"", 0.0, ""},
    {"     ", 0.0, ""},
    {"()", 0.0, ""},
    {"2 * ( ) + 1", 1.0, ""},
    // Brackets.
    {"( 2 + 3", 0.0, kBrackets},
    {"(1/0)+((2)", 0.0, kBrackets},
    {"2 + 3 )", 0.0, Unreadable("3)")},
    {") 2", 0.0, Unreadable(")2")},
    {"2 ( 3 )", 0.0, kNoOperator},
    {"(1)(2)+3", 0.0, kNoOperator},
    // Operators without operands.
    {"2 +", 0.0, kEnds},
    {"+", 0.0, kEnds},
    {"*", 0.0, kEnds},
    {"sin", 0.0, kEnds},
    {"(2+)+(1)", 0.0, kEnds},
    {"2 * - 3", 0.0, kNotFollowed},
    {"3 + - 2", 0.0, kNotFollowed},
    {"2 ^ - 1", 0.0, kNotFollowed},
    {"* 2", 0.0, NotPreceded('*')},
    {"/ 2", 0.0, NotPreceded('/')},
    {"^ 2", 0.0, NotPreceded('^')},
    {"2 + * 3", 0.0, NotPreceded('*')},
    // Runs of operator symbols are refused, never merged.
    {"2 - - 3", 0.0, kNotFollowed},
    {"2--3", 0.0, kNotFollowed},
    {"2**3", 0.0, kNotFollowed},
    {"2//3", 0.0, kNotFollowed},
    {"2^^3", 0.0, kNotFollowed},
    {"--3", 0.0, kNotFollowed},
    {"++V", 0.0, kNotFollowed},
    {"(2)--(3)", 0.0, kNotFollowed},
    // Division and logarithm domains.
    {"1 / 0", 0.0, kDivZero},
    {"1 / 0.000001", 0.0, kDivZero},
    {"1 / ( H - 0.5 )", 0.0, kDivZero},
    {"log ( 0 )", 0.0, kLog},
    {"log ( - 1 )", 0.0, kLog},
    // The first error the reduction meets: groups first, then the highest
    // priority, leftmost.
    {"1/0+log(0)", 0.0, kLog},
    {"log(0)+(1/0)", 0.0, kDivZero},
    {"nom+(1/0)", 0.0, kDivZero},
    {"(1/0)+(2+)", 0.0, kDivZero},
    {"1/0+2--3", 0.0, kDivZero},
    // Non-finite results.
    {"exp ( 1000 )", 0.0, kNotFinite},
    {"( - 8 ) ^ 0.5", 0.0, kNotFinite},
    {"1e999", 0.0, kNotFinite},
    {"exp(1000)*0", 0.0, kNotFinite},
    // A unary plus is an operation like the others: an infinite operand is
    // refused there, not swallowed by a later division or power.
    {"1 / ( + 1e999 )", 0.0, kNotFinite},
    {"0.5 ^ ( + 1e999 )", 0.0, kNotFinite},
    {"( + 1e999 ) + nom", 0.0, kNotFinite},
    // Only plain decimal numbers, in the "C" convention.
    {"2,5", 0.0, Unreadable("2,5")},
    {"2.5 * 2", 5.0, ""},
    {"inf", 0.0, Unreadable("inf")},
    {"nan", 0.0, Unreadable("nan")},
    {"0x1p3", 0.0, Unreadable("0x1p3")},
    {"1e-5", 0.0, Unreadable("1e")},
    {"1e", 0.0, Unreadable("1e")},
    {"1.2.3", 0.0, Unreadable("1.2.3")},
    {".", 0.0, Unreadable(".")},
    {"2e3.5", 0.0, Unreadable("2e3.5")},
    {"2\t+ 3", 0.0, Unreadable("2\t")},
    {"W + 1", 0.0, Unreadable("W")},
    {"sin 2", 0.0, Unreadable("sin2")},
    {"s", 0.0, Unreadable("s")},
};
} // namespace

TEST(KorEquation, TableOfTextsValuesAndMessages)
{
    // The table must also hold under a decimal-comma locale (the test binary
    // runs a second time under LC_ALL=fr_FR.UTF-8).
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    SCOPED_TRACE(std::string("LC_NUMERIC=") + (numeric ? numeric : "?"));
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.text);
        const KorEquation e = WithVariables(c.text);
        std::string error = "stale";
        const double v = e.Evaluate(&error);
        EXPECT_EQ(error, c.error);
        if (c.error.empty())
            EXPECT_NEAR(v, c.value, 1e-12 * std::max(1.0, std::fabs(c.value)));
        else
            EXPECT_EQ(v, 0.0);
        // Without an error text the value is the same.
        EXPECT_EQ(e.Evaluate(nullptr), v);
    }
}

TEST(KorEquation, TrigonometryTakesRadians)
{
    KorEquation e("sin(P/2)+cos(P)+tan(P/4)");
    e.AddVariable("P", kPi);
    std::string error;
    EXPECT_NEAR(e.Evaluate(&error), 1.0, 1e-15);
    EXPECT_EQ(error, "");
}

TEST(KorEquation, Variables)
{
    KorEquation e("a*b");
    EXPECT_EQ(e.AddVariable("a", 3.0), 0);
    EXPECT_EQ(e.AddVariable("b", 4.0), 0);
    EXPECT_EQ(e.AddVariable("a", 5.0), 1);
    EXPECT_EQ(e.GetNombreVariables(), 2u);
    double v = 99.0;
    EXPECT_TRUE(e.GetVariable("a", v));
    EXPECT_EQ(v, 5.0);
    EXPECT_FALSE(e.GetVariable("A", v));
    EXPECT_EQ(v, 0.0);
    std::string error;
    EXPECT_EQ(e.Evaluate(&error), 20.0);

    // A changed value is seen by the next evaluation of the same text.
    e.AddVariable("b", -1.0);
    EXPECT_EQ(e.Evaluate(&error), -5.0);

    // A new name turns an unreadable piece into a variable, a cleared one back.
    e.SetEquation("a*c");
    e.Evaluate(&error);
    EXPECT_EQ(error, Unreadable("c"));
    e.AddVariable("c", 2.0);
    EXPECT_EQ(e.Evaluate(&error), 10.0);
    EXPECT_EQ(error, "");
    e.ClearVariables();
    EXPECT_EQ(e.GetNombreVariables(), 0u);
    e.Evaluate(&error);
    EXPECT_EQ(error, Unreadable("a"));

    // A variable named like a number or a function hides it.
    KorEquation hide("2*log(1)");
    hide.AddVariable("2", 10.0);
    hide.AddVariable("log", 3.0);
    EXPECT_EQ(hide.Evaluate(&error), 0.0);
    EXPECT_EQ(error, kNoOperator); // "log" is now a value followed by a group
    hide.SetEquation("2*log");
    EXPECT_EQ(hide.Evaluate(&error), 30.0);
}

TEST(KorEquation, CopiesAreIndependent)
{
    KorEquation a("x+1");
    a.AddVariable("x", 1.0);
    std::string error;
    EXPECT_EQ(a.Evaluate(&error), 2.0);
    KorEquation b(a);
    b.AddVariable("x", 10.0);
    EXPECT_EQ(a.Evaluate(&error), 2.0);
    EXPECT_EQ(b.Evaluate(&error), 11.0);
    KorEquation c("0");
    c = b;
    b.ClearVariables();
    EXPECT_EQ(c.GetEquation(), "x+1");
    EXPECT_EQ(c.Evaluate(&error), 11.0);
    a = a;
    EXPECT_EQ(a.Evaluate(&error), 2.0);
}

TEST(KorEquation, LongAndDeepTextsStayOnTheStack)
{
    std::string error;
    // 10^5 sibling groups.
    std::string siblings = "(1)";
    siblings.reserve(400000);
    for (int i = 1; i < 100000; ++i)
        siblings += "+(1)";
    EXPECT_EQ(KorEquation(siblings).Evaluate(&error), 100000.0);
    EXPECT_EQ(error, "");

    // 1000 levels are accepted, 1001 refused.
    const std::string deep = std::string(1000, '(') + "2" + std::string(1000, ')');
    EXPECT_EQ(KorEquation(deep).Evaluate(&error), 2.0);
    EXPECT_EQ(error, "");
    const std::string tooDeep = std::string(1001, '(') + "2" + std::string(1001, ')');
    EXPECT_EQ(KorEquation(tooDeep).Evaluate(&error), 0.0);
    EXPECT_EQ(error, kTooDeep);
    EXPECT_EQ(KorEquation(std::string(100000, '(') + "1" + std::string(100000, ')')).Evaluate(&error), 0.0);
    EXPECT_EQ(error, kTooDeep);

    // A long flat sum with alternating signs: 1 - 2 + 3 - 4 ... - 20000.
    std::string flat = "1";
    for (int i = 2; i <= 20000; ++i)
        flat += (i % 2 ? "+" : "-") + std::to_string(i);
    EXPECT_EQ(KorEquation(flat).Evaluate(&error), -10000.0);
}

TEST(KorEquation, ConcurrentEvaluationsOfOneObject)
{
    // The first evaluations race to compile the text; all must see one result.
    KorEquation e("300*S+10*V+log(S)");
    e.AddVariable("S", 2.0);
    e.AddVariable("V", 5.0);
    const double expected = 650.0 + std::log(2.0);
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t)
    {
        threads.emplace_back(
            [&e, &wrong, t, expected]
            {
                for (int i = 0; i < 200; ++i)
                {
                    std::string error;
                    if (e.Evaluate(&error) != expected || !error.empty())
                        ++wrong[t];
                }
            });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

// The unreadable-piece message quotes at most about 200 bytes of the piece,
// cut between UTF-8 characters, NUL bytes escaped.
TEST(KorEquation, UnreadablePieceIsQuotedShort)
{
    std::string e100, e150;
    for (int k = 0; k < 150; ++k)
        (k < 100 ? e100 : e150) += "é";
    const std::pair<std::string, std::string> cases[] = {
        {"1 + " + std::string(1 << 20, 'a'), std::string(200, 'a') + "…"},
        {std::string(1 << 20, '7') + "x", std::string(200, '7') + "…"},
        {"2 * é" + e100 + e150, e100 + "…"},
        {std::string("a\0b + 1", 7), "a\\0b"},
    };
    for (const auto& [text, quoted] : cases)
    {
        std::string error;
        EXPECT_EQ(KorEquation(text).Evaluate(&error), 0.0);
        EXPECT_TRUE(error == Unreadable(quoted)) << error.substr(0, 300);
    }
}
