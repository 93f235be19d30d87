#include "KorReportHold.h"

#include "KorException.h"

#include <iostream>

namespace
{
thread_local KorReportHold* gInnermost = nullptr;
} // namespace

KorReportHold::KorReportHold(bool keepLines) : mOuter(gInnermost), mKeepLines(keepLines)
{
    gInnermost = this;
}

KorReportHold::~KorReportHold()
{
    gInnermost = mOuter;
}

bool KorReportHold::Take(const std::string& line)
{
    KorReportHold* hold = gInnermost;
    if (!hold)
        return false;
    if (hold->mCount++ == 0)
        hold->mFirst = line;
    if (hold->mKeepLines)
        hold->mLines.push_back(line);
    return true;
}

void KorReportHold::PassOn(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        if (!Take(line))
            std::cout << line << std::endl;
}

void KorReportHold::Report(const std::string& origin, const std::string& text) const
{
    std::string line = text;
    if (mCount > 0)
    {
        line += " [" + mFirst;
        if (mCount > 1)
            line += " ; " + std::to_string(mCount - 1) + (mCount > 2 ? " autres lignes" : " autre ligne");
        line += "]";
    }
    // Past this hold: the enclosing one, if any, takes the line.
    KorReportHold* const saved = gInnermost;
    gInnermost = mOuter;
    KorReport(origin, line);
    gInnermost = saved;
}
