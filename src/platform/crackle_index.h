#pragma once
// The crackle bank's index: one line per sound, "kind first-frame frames",
// counted in frames of the bank's wave file; lines starting with '#' are
// comments. A line that does not read so, or reaches past the file's end, is
// left out and counted.

#include <istream>
#include <string>
#include <vector>

namespace emberlrn {

struct CrackleSpan {
  std::string kind;
  long first = 0;
  long frames = 0;
};

std::vector<CrackleSpan> ReadCrackleIndex(std::istream& in, long fileFrames, int& leftOut);

}  // namespace emberlrn
