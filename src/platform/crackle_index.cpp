#include "platform/crackle_index.h"

#include <sstream>

namespace emberlrn {

std::vector<CrackleSpan> ReadCrackleIndex(std::istream& in, long fileFrames, int& leftOut) {
  std::vector<CrackleSpan> spans;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    CrackleSpan span;
    std::string rest;
    if (!(fields >> span.kind >> span.first >> span.frames) || (fields >> rest) ||
        span.first < 0 || span.frames <= 0 || span.first > fileFrames - span.frames) {
      ++leftOut;
      continue;
    }
    spans.push_back(span);
  }
  return spans;
}

}  // namespace emberlrn
