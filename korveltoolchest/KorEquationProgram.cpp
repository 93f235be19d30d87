#include "KorEquationProgram.h"

#include "KorNumbers.h"
#include "KorString.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace
{
const char* const kBrackets = "Vérifiez les parenthèses de l'équation";
const char* const kTooDeep = "L'équation contient trop de parenthèses imbriquées";
const char* const kNoOperator = "Impossible de trouver un opérateur dans une partie de l'équation";
const char* const kEndsWithOperator = "Impossible d'évaluer une expression qui finit par un opérateur";
const char* const kNotFollowed =
    "Impossible d'évaluer une expression dont un opérateur n'est pas suivi par une valeur numérique";
const char* const kDivisionByZero = "Une division par 0 a été trouvée";
const char* const kLogarithm = "Impossible de calculer le logarithme d'un nombre négatif ou nul";
const char* const kNotFinite = "Le résultat de l'équation n'est pas un nombre fini";

// Below this a divisor counts as zero and a logarithm's argument as not positive.
constexpr double kSmall = 1e-5;

bool IsSymbol(char c)
{
    return c == '+' || c == '-' || c == '*' || c == '/' || c == '^';
}

int Priority(char op)
{
    switch (op)
    {
    case '+':
    case '-':
        return 10;
    case '*':
    case '/':
        return 20;
    case '^':
        return 30;
    case 'e':
    case 'l':
        return 40;
    default:
        return 50;
    }
}

std::string NotPreceded(char op)
{
    return std::string("Impossible d'évaluer une expression dont '") + op +
           "' n'est pas précédé par une valeur numérique";
}

// At least one digit, at most one '.', then optionally e or E and digits.
bool IsPlainNumber(std::string_view s)
{
    size_t i = 0, digits = 0, dots = 0;
    for (; i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.'); ++i)
        (s[i] == '.' ? dots : digits)++;
    if (digits == 0 || dots > 1)
        return false;
    if (i == s.size())
        return true;
    if (s[i] != 'e' && s[i] != 'E')
        return false;
    if (++i == s.size())
        return false;
    for (; i < s.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i])))
            return false;
    return true;
}
} // namespace

KorEquationProgram::KorEquationProgram(const std::string& equation, const KorEquation::Variables& variables)
    : m_variables(variables)
{
    // Only the space character is removed; tabs stay and make a piece unreadable.
    std::string text;
    text.reserve(equation.size());
    for (char c : equation)
        if (c != ' ')
            text += c;

    // A "(" without its ")" anywhere fails before anything is evaluated; a
    // ")" with no open group is an ordinary character of a text piece.
    int depth = 0, deepest = 0;
    for (char c : text)
    {
        if (c == '(')
            deepest = std::max(deepest, ++depth);
        else if (c == ')' && depth > 0)
            --depth;
    }
    if (depth > 0 || deepest > kMaxDepth)
    {
        Fail(depth > 0 ? kBrackets : kTooDeep);
        return;
    }

    // One pass: a group is compiled when its ")" is met, which is after all
    // its inner groups and before its next sibling, the evaluation order.
    std::vector<std::vector<Item>> open(1);
    size_t textStart = 0;
    auto flushText = [&](size_t end)
    {
        if (end > textStart)
            open.back().push_back(Item{false, 0, textStart, end});
    };
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '(')
        {
            flushText(i);
            open.emplace_back();
            textStart = i + 1;
        }
        else if (text[i] == ')' && open.size() > 1)
        {
            flushText(i);
            std::uint32_t value = 0;
            if (!CompileGroup(text, open.back(), value))
                return;
            open.pop_back();
            open.back().push_back(Item{true, value, 0, 0});
            textStart = i + 1;
        }
    }
    flushText(text.size());
    std::uint32_t result = 0;
    if (CompileGroup(text, open.back(), result))
    {
        Emit(Code::Result, result, result, result);
        PrepareDirectSum();
    }
}

void KorEquationProgram::PrepareDirectSum()
{
    if (m_code.size() != 2 || m_code[0].code != Code::Sum)
        return;
    // No instruction runs before the sum, so every factor is a constant or a variable.
    std::vector<const double*> source(m_slotCount);
    for (std::uint32_t slot = 0; slot < m_slotCount; ++slot)
        source[slot] = &m_initial[slot];
    for (const auto& load : m_loads)
        source[load.first] = load.second;
    for (std::uint32_t slot : m_factors)
        m_directFactors.push_back(source[slot]);
    m_direct = true;
}

double KorEquationProgram::RunDirectSum(std::string& error) const
{
    double v = 0.0;
    const double* const* factor = m_directFactors.data();
    for (size_t t = 0; t < m_terms.size(); ++t)
    {
        const Term& term = m_terms[t];
        double product = *factor[0];
        for (std::uint32_t k = 1; k < term.count; ++k)
            product = product * *factor[k];
        factor += term.count;
        if (t == 0)
            v = term.negative ? -product : product;
        else
            v = term.negative ? v - product : v + product;
    }
    if (!std::isfinite(v))
        return error = kNotFinite, 0.0;
    return v;
}

std::uint32_t KorEquationProgram::NewConstant(double value)
{
    m_initial.push_back(value);
    return m_slotCount++;
}

void KorEquationProgram::Emit(Code code, std::uint32_t dst, std::uint32_t a, std::uint32_t b)
{
    m_code.push_back(Instruction{code, dst, a, b});
}

void KorEquationProgram::Fail(const std::string& message)
{
    m_failure = message;
    Emit(Code::Fail, 0, 0, 0);
}

bool KorEquationProgram::CompileGroup(const std::string& text, const std::vector<Item>& items,
                                      std::uint32_t& result)
{
    // Flat list: every operator symbol is its own part, so a run such as
    // "--" leaves an operator next to an operator, which the reduction refuses.
    std::vector<Part> flat;
    for (const Item& item : items)
    {
        if (item.isValue)
        {
            flat.push_back(Part{true, 0, item.slot});
            continue;
        }
        size_t i = item.begin;
        while (i < item.end)
        {
            if (IsSymbol(text[i]))
            {
                flat.push_back(Part{false, text[i], 0});
                ++i;
                continue;
            }
            size_t j = i;
            while (j < item.end && !IsSymbol(text[j]))
                ++j;
            if (!ReadPiece(std::string_view(text).substr(i, j - i), flat))
                return false;
            i = j;
        }
    }
    return Reduce(flat, result);
}

bool KorEquationProgram::ReadPiece(std::string_view piece, std::vector<Part>& flat)
{
    const auto var = m_variables.find(piece);
    if (var != m_variables.end())
    {
        // Every occurrence gets its own slot: results are written in place.
        m_loads.emplace_back(m_slotCount, &var->second);
        m_initial.push_back(0.0);
        flat.push_back(Part{true, 0, m_slotCount++});
        return true;
    }
    static const char* const kFunctions[] = {"exp", "log", "cos", "sin", "tan"};
    for (const char* f : kFunctions)
    {
        if (piece == f)
        {
            flat.push_back(Part{false, f[0], 0});
            return true;
        }
    }
    if (!IsPlainNumber(piece))
    {
        Fail("Impossible d'évaluer la chaîne : '" + MessageExcerpt(piece) + "'");
        return false;
    }
    flat.push_back(Part{true, 0, NewConstant(KorAtof(std::string(piece)))});
    return true;
}

bool KorEquationProgram::Reduce(std::vector<Part>& flat, std::uint32_t& result)
{
    const int n = static_cast<int>(flat.size());
    if (n == 0)
    {
        // Empty text or empty brackets: zero, no error.
        result = NewConstant(0.0);
        return true;
    }
    if (ReduceSum(flat, result))
        return true;
    // Neighbours as a doubly linked list; -1 stands for none.
    std::vector<int> prev(n), next(n);
    for (int i = 0; i < n; ++i)
    {
        prev[i] = i - 1;
        next[i] = i + 1 < n ? i + 1 : -1;
    }
    int first = 0, alive = n;
    auto unlink = [&](int k)
    {
        if (prev[k] >= 0)
            next[prev[k]] = next[k];
        else
            first = next[k];
        if (next[k] >= 0)
            prev[next[k]] = prev[k];
        --alive;
    };

    // Operators never gain priority and only an applied operator leaves the
    // list, so the picks are the operators by decreasing priority, left to right.
    for (int level = 50; level >= 10; level -= 10)
    {
        for (int i = 0; i < n; ++i)
        {
            if (flat[i].isValue || Priority(flat[i].symbol) != level)
                continue;
            const char op = flat[i].symbol;
            const int left = prev[i], right = next[i];
            if (right < 0)
                return Fail(kEndsWithOperator), false;
            if (!flat[right].isValue)
                return Fail(kNotFollowed), false;
            const std::uint32_t r = flat[right].slot;
            const bool leftIsValue = left >= 0 && flat[left].isValue;
            if ((op == '+' || op == '-') && left < 0)
            {
                Emit(op == '-' ? Code::Neg : Code::Plus, r, r, r);
                flat[i] = Part{true, 0, r};
                unlink(right);
                continue;
            }
            if (op == '+' || op == '-' || op == '*' || op == '/' || op == '^')
            {
                if (!leftIsValue)
                    return Fail(NotPreceded(op)), false;
                const std::uint32_t l = flat[left].slot;
                static const Code kBinary[] = {Code::Add, Code::Sub, Code::Mul, Code::Div, Code::Pow};
                Emit(kBinary[std::strchr("+-*/^", op) - "+-*/^"], l, l, r);
                unlink(i);
                unlink(right);
                continue;
            }
            // A function takes its right neighbour; the left one is not looked at.
            static const Code kFunction[] = {Code::Exp, Code::Log, Code::Cos, Code::Sin, Code::Tan};
            Emit(kFunction[std::strchr("elcst", op) - "elcst"], r, r, r);
            flat[i] = Part{true, 0, r};
            unlink(right);
        }
    }
    if (alive > 1)
        return Fail(kNoOperator), false;
    result = flat[first].slot;
    return true;
}

bool KorEquationProgram::ReduceSum(const std::vector<Part>& flat, std::uint32_t& result)
{
    // Shape: [sign] value (* value)* ((+|-) value (* value)*)*. Anything
    // else, errors included, takes the general route.
    const size_t n = flat.size();
    size_t i = 0;
    bool negative = false;
    if (!flat[0].isValue)
    {
        if (flat[0].symbol != '+' && flat[0].symbol != '-')
            return false;
        negative = flat[0].symbol == '-';
        i = 1;
    }
    if ((n - i) % 2 == 0 || n - i < 3)
        return false; // a lone value, or a shape that cannot match
    for (size_t k = i; k < n; ++k)
    {
        const bool valueHere = (k - i) % 2 == 0;
        if (flat[k].isValue != valueHere)
            return false;
        if (!valueHere && flat[k].symbol != '+' && flat[k].symbol != '-' && flat[k].symbol != '*')
            return false;
    }
    const std::uint32_t firstTerm = static_cast<std::uint32_t>(m_terms.size());
    m_terms.push_back(Term{negative, static_cast<std::uint32_t>(m_factors.size()), 0});
    for (size_t k = i; k < n; k += 2)
    {
        m_factors.push_back(flat[k].slot);
        ++m_terms.back().count;
        if (k + 1 < n && flat[k + 1].symbol != '*')
            m_terms.push_back(
                Term{flat[k + 1].symbol == '-', static_cast<std::uint32_t>(m_factors.size()), 0});
    }
    result = flat[i].slot;
    Emit(Code::Sum, result, firstTerm, static_cast<std::uint32_t>(m_terms.size()) - firstTerm);
    return true;
}

double KorEquationProgram::Run(std::string& error) const
{
    if (m_direct)
        return RunDirectSum(error);
    // Slots live on the stack for ordinary cost functions.
    double local[256];
    std::vector<double> large;
    double* f = local;
    if (m_slotCount > 256)
    {
        large.resize(m_slotCount);
        f = large.data();
    }
    if (m_slotCount > 0)
        std::memcpy(f, m_initial.data(), m_slotCount * sizeof(double));
    for (const auto& load : m_loads)
        f[load.first] = *load.second;

    for (const Instruction& in : m_code)
    {
        double v = 0.0;
        switch (in.code)
        {
        case Code::Add:
            v = f[in.a] + f[in.b];
            break;
        case Code::Sub:
            v = f[in.a] - f[in.b];
            break;
        case Code::Mul:
            v = f[in.a] * f[in.b];
            break;
        case Code::Div:
            if (std::fabs(f[in.b]) < kSmall)
                return error = kDivisionByZero, 0.0;
            v = f[in.a] / f[in.b];
            break;
        case Code::Pow:
            v = std::pow(f[in.a], f[in.b]);
            break;
        case Code::Plus:
            v = f[in.a];
            break;
        case Code::Neg:
            v = -f[in.a];
            break;
        case Code::Exp:
            v = std::exp(f[in.a]);
            break;
        case Code::Log:
            if (f[in.a] < kSmall)
                return error = kLogarithm, 0.0;
            v = std::log(f[in.a]);
            break;
        case Code::Cos:
            v = std::cos(f[in.a]);
            break;
        case Code::Sin:
            v = std::sin(f[in.a]);
            break;
        case Code::Tan:
            v = std::tan(f[in.a]);
            break;
        case Code::Sum:
        {
            const Term* term = m_terms.data() + in.a;
            const Term* const end = term + in.b;
            for (; term != end; ++term)
            {
                const std::uint32_t* factor = m_factors.data() + term->first;
                double product = f[*factor];
                for (std::uint32_t k = 1; k < term->count; ++k)
                    product = product * f[factor[k]];
                if (term == m_terms.data() + in.a)
                    v = term->negative ? -product : product;
                else
                    v = term->negative ? v - product : v + product;
            }
            break;
        }
        case Code::Fail:
            return error = m_failure, 0.0;
        case Code::Result:
            // A number such as 1e999 or a variable holding an infinity
            // reaches here without an operation.
            if (!std::isfinite(f[in.a]))
                return error = kNotFinite, 0.0;
            return f[in.a];
        }
        if (!std::isfinite(v))
            return error = kNotFinite, 0.0;
        f[in.dst] = v;
    }
    return 0.0;
}
