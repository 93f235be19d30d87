#pragma once

#include <string>

// The line that tells the user what a DXF file held that an import does not
// take, from a description such as KorDXF::DescribeLeftOut gives:
// "Non importés : 1 INSERT, 2 LINE", or "Non importés : aucun".
std::string LeftOutLine(const std::string& leftOut);
