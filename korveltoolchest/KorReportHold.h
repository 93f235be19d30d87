#pragma once

#include <string>
#include <vector>

// Holds the failure lines of one computation made of many library calls
// (an excavation: head building, cuts, face additions), so that a failed
// computation prints at most one line: while a hold lives, the lines
// KorReport would print on its thread are kept instead of printed (the
// first one and their count). The computation then prints its own line
// with Report, or nothing when it succeeded in the end. Holds nest: the
// innermost one keeps the lines. Not shared between threads: each thread
// has its own.
class KorReportHold
{
public:
    // With keepLines every line taken is also kept, in order, so that work
    // done on another thread can hand its lines to the thread that asked
    // for it (TakeLines, then PassOn there).
    explicit KorReportHold(bool keepLines = false);
    ~KorReportHold();
    KorReportHold(const KorReportHold&) = delete;
    KorReportHold& operator=(const KorReportHold&) = delete;

    // How many lines were held, and the first of them ("origin -> text").
    int Count() const { return mCount; }
    const std::string& First() const { return mFirst; }

    // The computation's one line, printed as KorReport prints (past this
    // hold, into the enclosing one if any): "origin -> text", followed by
    // the first held line and the count of the others.
    void Report(const std::string& origin, const std::string& text) const;

    // Called by KorReport: true when a hold of this thread took the line.
    static bool Take(const std::string& line);

    // The lines kept so far ("origin -> text"), given away.
    std::vector<std::string> TakeLines() { return std::move(mLines); }
    // Reports each line as KorReport would on the calling thread: taken by
    // its innermost hold, or printed.
    static void PassOn(const std::vector<std::string>& lines);

private:
    KorReportHold* mOuter;
    std::string mFirst;
    int mCount = 0;
    bool mKeepLines = false;
    std::vector<std::string> mLines;
};
