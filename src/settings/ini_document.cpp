#include "settings/ini_document.h"

#include <algorithm>
#include <cctype>

namespace emberlrn {
namespace {

std::string_view TrimBlanks(std::string_view s) {
  auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  if (bytes.find("\r\n") != std::string_view::npos) doc.newline_ = "\r\n";
  doc.endsWithNewline_ = bytes.empty() || bytes.back() == '\n';
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view raw = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

    Line line;
    line.raw = std::string(raw);
    std::string_view trimmed = TrimBlanks(raw);
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
      line.kind = Line::Kind::kSection;
      line.section = std::string(TrimBlanks(trimmed.substr(1, trimmed.size() - 2)));
    } else if (size_t eq = raw.find('='); eq != std::string_view::npos &&
                                          !trimmed.empty() && trimmed.front() != ';' &&
                                          trimmed.front() != '#') {
      std::string_view key = TrimBlanks(raw.substr(0, eq));
      if (!key.empty()) {
        line.kind = Line::Kind::kEntry;
        line.key = std::string(key);
        line.value = std::string(raw.substr(eq + 1));
      }
    }
    doc.lines_.push_back(std::move(line));
  }
  return doc;
}

std::optional<std::string> IniDocument::Get(std::string_view section,
                                            std::string_view key) const {
  bool inSection = false;
  for (const Line& line : lines_) {
    if (line.kind == Line::Kind::kSection) {
      inSection = EqualsIgnoreCase(line.section, section);
    } else if (inSection && line.kind == Line::Kind::kEntry &&
               EqualsIgnoreCase(line.key, key)) {
      return line.value;
    }
  }
  return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key,
                      std::string_view value) {
  std::string oneLine(value);
  std::replace(oneLine.begin(), oneLine.end(), '\r', ' ');
  std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');

  bool inSection = false;
  bool written = false;
  size_t firstSectionEnd = lines_.size();  // where to append when the key is new
  bool sectionSeen = false;
  std::vector<Line> kept;
  kept.reserve(lines_.size() + 2);
  for (Line& line : lines_) {
    if (line.kind == Line::Kind::kSection) {
      if (inSection && !sectionSeen) {
        sectionSeen = true;
        firstSectionEnd = kept.size();
      }
      inSection = EqualsIgnoreCase(line.section, section);
    } else if (inSection && line.kind == Line::Kind::kEntry &&
               EqualsIgnoreCase(line.key, key)) {
      if (written) continue;  // a key is stored once
      line.value = oneLine;
      line.raw = line.key + "=" + oneLine;
      written = true;
    }
    kept.push_back(std::move(line));
  }
  if (inSection && !sectionSeen) {
    sectionSeen = true;
    firstSectionEnd = kept.size();
  }
  lines_ = std::move(kept);
  if (written) return;

  Line entry;
  entry.kind = Line::Kind::kEntry;
  entry.key = std::string(key);
  entry.value = oneLine;
  entry.raw = entry.key + "=" + oneLine;
  if (sectionSeen) {
    // Keep the new key next to the section's other entries, before any blank
    // lines that separate it from the next section.
    size_t at = firstSectionEnd;
    while (at > 0 && lines_[at - 1].kind == Line::Kind::kOther &&
           TrimBlanks(lines_[at - 1].raw).empty()) {
      --at;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    return;
  }
  if (!lines_.empty() && !endsWithNewline_) endsWithNewline_ = true;
  Line header;
  header.kind = Line::Kind::kSection;
  header.section = std::string(section);
  header.raw = "[" + header.section + "]";
  lines_.push_back(std::move(header));
  lines_.push_back(std::move(entry));
}

std::string IniDocument::Serialize() const {
  std::string out;
  for (size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i].raw;
    if (i + 1 < lines_.size() || endsWithNewline_) out += newline_;
  }
  return out;
}

}  // namespace emberlrn
