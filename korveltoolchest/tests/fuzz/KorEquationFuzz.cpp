// Any text: the evaluator must not crash, must return exactly 0 with a
// short message or a finite value without one, must give the same answer twice
// (compiled form reused), and must agree with the literal reduction.
#include "../KorEquationReference.h"
#include "KorEquation.h"
#include "KorNumbers.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    KorEquation e(text);
    e.AddVariable("x", 1.5);
    e.AddVariable("G1S[3]", -2.0);
    e.AddVariable("sin", 0.25);
    e.AddVariable("big", 1e300);

    std::string error;
    const double v = e.Evaluate(&error);
    if ((!error.empty() && v != 0.0) || error.size() > 400)
        std::abort();
    if (error.empty() && !std::isfinite(v))
        std::abort();
    std::string again;
    if (KorFormatDouble(e.Evaluate(&again)) != KorFormatDouble(v) || again != error)
        std::abort();

    // The literal route is quadratic and recursive: keep it to short texts.
    if (size <= 2048)
    {
        const KorEquation::Variables vars = {{"x", 1.5}, {"G1S[3]", -2.0}, {"sin", 0.25}, {"big", 1e300}};
        korref::Reference reference(vars);
        std::string expectedError;
        const double expected = reference.Evaluate(text, expectedError);
        if (expectedError != error || KorFormatDouble(expected) != KorFormatDouble(v))
            std::abort();
    }
    return 0;
}
