#pragma once

#include "KorEquation.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The compiled form of one equation text for one set of variable names: a
// flat list of instructions over value slots that performs the evaluator's
// reduction in exactly its order, so the first error met at run time is the
// one the reduction meets.
//
// The reduction, per bracket group (inner groups first, in text order):
// operators are applied by decreasing priority (cos sin tan 50, exp log 40,
// ^ 30, * / 20, + - 10), the leftmost first among equal priorities; each
// takes its current neighbours. Whether a neighbour is a value or an operator
// never depends on the values, so the order, and every error that does not
// depend on a value, is settled here; division by a near zero, the logarithm
// of a near zero or a negative, and non-finite results are checked at run
// time. Compiling costs O(text length); running costs O(instructions).
// Non-finite values are absorbing under + - *, so a Sum needs one check.
//
// The program keeps pointers to the values of the variables it names: it is
// valid while no variable is added or removed.
class KorEquationProgram
{
public:
    KorEquationProgram(const std::string& equation, const KorEquation::Variables& variables);
    // Holds pointers into itself.
    KorEquationProgram(const KorEquationProgram&) = delete;
    KorEquationProgram& operator=(const KorEquationProgram&) = delete;

    // The value, or 0.0 with the message in error (left untouched on success).
    double Run(std::string& error) const;

    // Deeper bracket nesting than this is refused.
    static constexpr int kMaxDepth = 1000;

private:
    enum class Code : std::uint8_t
    {
        Add,
        Sub,
        Mul,
        Div,
        Pow,
        Plus, // a unary plus: a copy, checked like every result
        Neg,
        Exp,
        Log,
        Cos,
        Sin,
        Tan,
        Sum,  // a sum of products: terms m_terms[a .. a + b)
        Fail, // ends the run with m_failure
        Result,
    };
    struct Instruction
    {
        Code code;
        std::uint32_t dst;
        std::uint32_t a;
        std::uint32_t b;
    };
    // One element of a group's flat list while the reduction is planned.
    struct Part
    {
        bool isValue;
        char symbol;        // operator: '+', '-', '*', '/', '^', or 'e' 'l' 'c' 's' 't' for the functions
        std::uint32_t slot; // value: where it lives
    };
    struct Item
    {
        bool isValue;
        std::uint32_t slot;     // value of an inner group
        std::size_t begin, end; // text between groups
    };

    bool CompileGroup(const std::string& text, const std::vector<Item>& items, std::uint32_t& result);
    bool ReadPiece(std::string_view piece, std::vector<Part>& flat);
    bool Reduce(std::vector<Part>& flat, std::uint32_t& result);
    bool ReduceSum(const std::vector<Part>& flat, std::uint32_t& result);
    std::uint32_t NewConstant(double value);
    void Emit(Code code, std::uint32_t dst, std::uint32_t a, std::uint32_t b);
    void Fail(const std::string& message);

    const KorEquation::Variables& m_variables;
    std::vector<double> m_initial; // every slot's value before a run: constants, 0 for variables
    std::vector<std::pair<std::uint32_t, const double*>> m_loads;
    std::uint32_t m_slotCount = 0;
    std::vector<Instruction> m_code;
    std::string m_failure;

    // A group made only of values joined by binary + - * (and a leading
    // sign), the usual shape of a cost function, runs as one Sum
    // instruction: each term's product left to right, then the terms summed
    // left to right, the very operations and order of the reduction.
    struct Term
    {
        bool negative;
        std::uint32_t first; // into m_factors
        std::uint32_t count;
    };
    std::vector<Term> m_terms;
    std::vector<std::uint32_t> m_factors;
    // When the whole text is one such sum, its factors are read straight
    // from the constants and variables, with no slots to fill.
    std::vector<const double*> m_directFactors;
    bool m_direct = false;

    void PrepareDirectSum();
    double RunDirectSum(std::string& error) const;
};
