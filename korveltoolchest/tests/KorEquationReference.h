#pragma once

// A second, deliberately literal route to the evaluator's results, for tests
// only: the bracket groups are cut and evaluated recursively, the text is
// split symbol by symbol, and the reduction scans the whole list for the
// leftmost operator of highest priority at every step (O(n^2)). KorEquation
// compiles the same rules into a plan; both must give the same value bit for
// bit and the same message.

#include "KorString.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <locale>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace korref
{
struct Part
{
    int id = -1; // -1 value, else index into the operator table
    double value = 0.0;
};

const char* const kNames[] = {"+", "-", "*", "/", "^", "exp", "log", "cos", "sin", "tan"};
const int kPriority[] = {10, 10, 20, 20, 30, 40, 40, 50, 50, 50};

class Reference
{
public:
    explicit Reference(const std::map<std::string, double, std::less<>>& vars) : m_vars(vars) {}

    double Evaluate(const std::string& text, std::string& error)
    {
        error.clear();
        std::string t;
        for (char c : text)
            if (c != ' ')
                t += c;
        int depth = 0, deepest = 0;
        for (char c : t)
        {
            if (c == '(')
                deepest = std::max(deepest, ++depth);
            if (c == ')' && depth > 0)
                --depth;
        }
        if (depth == 0 && deepest > 1000)
            return error = "L'équation contient trop de parenthèses imbriquées", 0.0;
        const double v = Group(t, error);
        if (error.empty() && !std::isfinite(v))
            return error = "Le résultat de l'équation n'est pas un nombre fini", 0.0;
        return error.empty() ? v : 0.0;
    }

private:
    // Top-level pieces: texts and "(...)" groups; false on a "(" without ")".
    static bool SortBrackets(const std::string& t, std::vector<std::string>& parts)
    {
        size_t from = 0;
        while (from < t.size())
        {
            const size_t open = t.find('(', from);
            if (open == std::string::npos)
            {
                parts.push_back(t.substr(from));
                return true;
            }
            if (open > from)
                parts.push_back(t.substr(from, open - from));
            int depth = 1;
            size_t i = open + 1;
            for (; i < t.size() && depth > 0; ++i)
                depth += t[i] == '(' ? 1 : t[i] == ')' ? -1 : 0;
            if (depth > 0)
                return false;
            parts.push_back(t.substr(open, i - open));
            from = i;
        }
        return true;
    }

    bool Split(const std::string& t, int index, std::vector<Part>& out, std::string& error)
    {
        if (index < 5)
        {
            size_t from = 0;
            while (true)
            {
                const size_t at = t.find(kNames[index][0], from);
                const std::string piece =
                    t.substr(from, at == std::string::npos ? std::string::npos : at - from);
                if (!piece.empty() && !Split(piece, index + 1, out, error))
                    return false;
                if (at == std::string::npos)
                    return true;
                out.push_back(Part{index, 0.0});
                from = at + 1;
            }
        }
        const auto v = m_vars.find(t);
        if (v != m_vars.end())
            return out.push_back(Part{-1, v->second}), true;
        for (int f = 5; f < 10; ++f)
            if (t == kNames[f])
                return out.push_back(Part{f, 0.0}), true;
        if (!IsNumber(t))
            return error = "Impossible d'évaluer la chaîne : '" + MessageExcerpt(t) + "'", false;
        std::istringstream in(t);
        in.imbue(std::locale::classic());
        double d = 0.0;
        in >> d;
        if (in.fail()) // out of range
            d = HUGE_VAL;
        return out.push_back(Part{-1, d}), true;
    }

    // Mantissa of digits with at most one point and one digit at least, then
    // optionally an exponent letter and digits.
    static bool IsNumber(const std::string& t)
    {
        const size_t e = t.find_first_of("eE");
        const std::string mantissa = t.substr(0, e);
        const std::string exponent = e == std::string::npos ? std::string("0") : t.substr(e + 1);
        const size_t digits = static_cast<size_t>(std::count_if(mantissa.begin(), mantissa.end(), ::isdigit));
        const size_t points = static_cast<size_t>(std::count(mantissa.begin(), mantissa.end(), '.'));
        return digits > 0 && points <= 1 && digits + points == mantissa.size() && !exponent.empty() &&
               exponent.find_first_not_of("0123456789") == std::string::npos;
    }

    double Fail(std::string& error, const std::string& message)
    {
        error = message;
        return 0.0;
    }

    double Group(const std::string& t, std::string& error)
    {
        std::vector<std::string> texts;
        if (!SortBrackets(t, texts))
            return Fail(error, "Vérifiez les parenthèses de l'équation");
        std::vector<bool> isValue(texts.size(), false);
        std::vector<double> values(texts.size(), 0.0);
        for (size_t i = 0; i < texts.size(); ++i)
        {
            if (texts[i][0] != '(')
                continue;
            values[i] = Group(texts[i].substr(1, texts[i].size() - 2), error);
            if (!error.empty())
                return 0.0;
            isValue[i] = true;
        }
        std::vector<Part> list;
        for (size_t i = 0; i < texts.size(); ++i)
        {
            if (isValue[i])
                list.push_back(Part{-1, values[i]});
            else if (!Split(texts[i], 0, list, error))
                return 0.0;
        }
        while (list.size() > 1 || (list.size() == 1 && list[0].id >= 0))
        {
            int best = -1, bestPriority = 1;
            for (size_t i = 0; i < list.size(); ++i)
                if (list[i].id >= 0 && kPriority[list[i].id] > bestPriority)
                    best = static_cast<int>(i), bestPriority = kPriority[list[i].id];
            if (best < 0)
                return Fail(error, "Impossible de trouver un opérateur dans une partie de l'équation");
            const size_t k = static_cast<size_t>(best);
            const int id = list[k].id;
            if (k + 1 == list.size())
                return Fail(error, "Impossible d'évaluer une expression qui finit par un opérateur");
            if (list[k + 1].id >= 0)
                return Fail(error,
                            "Impossible d'évaluer une expression dont un opérateur n'est pas suivi par une "
                            "valeur numérique");
            const double r = list[k + 1].value;
            double result = 0.0;
            size_t into = k;
            if (id >= 5)
            {
                if (id == 6 && r < 1e-5)
                    return Fail(error, "Impossible de calculer le logarithme d'un nombre négatif ou nul");
                const double fr[] = {std::exp(r), std::log(r), std::cos(r), std::sin(r), std::tan(r)};
                result = fr[id - 5];
            }
            else if (k == 0 && id <= 1)
                result = id == 0 ? r : -r;
            else
            {
                if (k == 0 || list[k - 1].id >= 0)
                    return Fail(error, std::string("Impossible d'évaluer une expression dont '") +
                                           kNames[id] + "' n'est pas précédé par une valeur numérique");
                const double l = list[k - 1].value;
                if (id == 3 && std::fabs(r) < 1e-5)
                    return Fail(error, "Une division par 0 a été trouvée");
                const double br[] = {l + r, l - r, l * r, id == 3 ? l / r : 0.0, std::pow(l, r)};
                result = br[id];
                into = k - 1;
                list.erase(list.begin() + static_cast<long>(k));
            }
            if (!std::isfinite(result))
                return Fail(error, "Le résultat de l'équation n'est pas un nombre fini");
            list[into] = Part{-1, result};
            list.erase(list.begin() + static_cast<long>(into) + 1);
        }
        return list.empty() ? 0.0 : list[0].value;
    }

    const std::map<std::string, double, std::less<>>& m_vars;
};
} // namespace korref
