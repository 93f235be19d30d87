#include "KorRandom.h"

#include "KorException.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

void GetUniformRandomNumbers(unsigned int n, std::vector<double>& out, double r)
{
    if (!(r > 0.0 && r <= 1.0))
    {
        out.clear();
        KorReport("GetUniformRandomNumbers", "The resolution must be in ]0, 1]");
        return;
    }
    out.assign(n, 0.0);
    std::srand(static_cast<unsigned int>(std::time(nullptr)));

    // m r <= 1 keeps every uniform value in ]0, 1], so ln never sees more
    // than 1 and no deviate is NaN; the cap is checked before the conversion.
    const double span = static_cast<double>(RAND_MAX) + 1.0;
    const double inverse = std::floor(1.0 / r);
    const long long m = static_cast<long long>(inverse < span ? inverse : span);

    const unsigned int k = n / 2 + n % 2;
    for (unsigned int i = 0; i < k; ++i)
    {
        // The two draws of a pair, in this order.
        const double a = static_cast<double>(std::rand() % m + 1) * r;
        const double b = static_cast<double>(std::rand() % m + 1) * r;
        const double rho = std::sqrt(-2.0 * std::log(a));
        const double theta = 6.28318531 * b;
        out[i] = rho * std::cos(theta);
        if (i + k < n)
            out[i + k] = rho * std::sin(theta);
    }
}
