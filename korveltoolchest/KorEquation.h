#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>

class KorEquationProgram;

// An arithmetic expression typed by a user, evaluated with named variables:
// binary + - * / ^ (all grouping from the left), unary + and - at the start of
// the text or of a bracket group, the functions exp, log, cos, sin, tan
// (radians) applied to a bracketed argument, plain decimal numbers read in the
// "C" convention, and variable names (any run of characters other than
// spaces, brackets and the five operator symbols; a variable hides a function
// or a number of the same name).
//
// Errors are never thrown: Evaluate returns exactly 0.0 and a French text.
// The text is compiled once per text and set of variable names; changing a
// variable's value keeps the compiled form, so repeated evaluation costs a
// pass over a flat instruction list. Evaluate may run on several threads at
// once on the same object as long as nothing modifies it meanwhile.
class KorEquation
{
public:
    explicit KorEquation(const std::string& equation);
    KorEquation(const KorEquation& other);
    KorEquation& operator=(const KorEquation& other);
    ~KorEquation();

    void SetEquation(const std::string& equation);
    const std::string& GetEquation() const { return m_equation; }

    // Inserts the variable or replaces its value: 1 when it existed, 0 when added.
    int AddVariable(const std::string& name, const double& value);
    // False, and value set to 0.0, when there is no such variable.
    bool GetVariable(const std::string& name, double& value) const;
    void ClearVariables();
    unsigned int GetNombreVariables() const { return static_cast<unsigned int>(m_variables.size()); }

    // The value of the text with the current variables. On failure the result
    // is 0.0 and error (when given) receives the message; on success error is
    // emptied. Test the error text, not the value.
    double Evaluate(std::string* error = nullptr) const;

    using Variables = std::map<std::string, double, std::less<>>;

private:
    void Invalidate() { m_compiled.store(false, std::memory_order_relaxed); }

    std::string m_equation;
    Variables m_variables;

    // Compiled form of m_equation for the current variable names; it points
    // at the values in m_variables, whose nodes stay put until erased.
    mutable std::unique_ptr<KorEquationProgram> m_program;
    mutable std::atomic<bool> m_compiled{false};
    mutable std::mutex m_compileMutex;
};
