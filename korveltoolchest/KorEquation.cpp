#include "KorEquation.h"

#include "KorEquationProgram.h"

KorEquation::KorEquation(const std::string& equation) : m_equation(equation)
{
}

KorEquation::KorEquation(const KorEquation& other)
    : m_equation(other.m_equation), m_variables(other.m_variables)
{
}

KorEquation& KorEquation::operator=(const KorEquation& other)
{
    if (this != &other)
    {
        m_equation = other.m_equation;
        m_variables = other.m_variables;
        Invalidate();
    }
    return *this;
}

KorEquation::~KorEquation() = default;

void KorEquation::SetEquation(const std::string& equation)
{
    if (equation == m_equation)
        return;
    m_equation = equation;
    Invalidate();
}

int KorEquation::AddVariable(const std::string& name, const double& value)
{
    const auto [it, added] = m_variables.try_emplace(name, value);
    if (!added)
    {
        it->second = value;
        return 1;
    }
    // A new name may turn a piece of the text into a variable.
    Invalidate();
    return 0;
}

bool KorEquation::GetVariable(const std::string& name, double& value) const
{
    const auto it = m_variables.find(name);
    if (it == m_variables.end())
    {
        value = 0.0;
        return false;
    }
    value = it->second;
    return true;
}

void KorEquation::ClearVariables()
{
    m_variables.clear();
    Invalidate();
}

double KorEquation::Evaluate(std::string* error) const
{
    if (!m_compiled.load(std::memory_order_acquire))
    {
        std::lock_guard<std::mutex> lock(m_compileMutex);
        if (!m_compiled.load(std::memory_order_relaxed))
        {
            m_program = std::make_unique<KorEquationProgram>(m_equation, m_variables);
            m_compiled.store(true, std::memory_order_release);
        }
    }
    if (error)
    {
        error->clear();
        return m_program->Run(*error);
    }
    std::string ignored;
    return m_program->Run(ignored);
}
