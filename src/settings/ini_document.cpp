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

// One line as the reader sees it: its kind and, as views into the line, the
// section's name or the entry's key and value.
struct IniDocument::LineParts {
  Line::Kind kind = Line::Kind::kOther;
  std::string_view section;
  std::string_view key;
  std::string_view value;
};

IniDocument::LineParts IniDocument::Classify(std::string_view raw) {
  LineParts parts;
  std::string_view trimmed = TrimBlanks(raw);
  if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
    parts.kind = Line::Kind::kSection;
    parts.section = TrimBlanks(trimmed.substr(1, trimmed.size() - 2));
  } else if (size_t eq = raw.find('='); eq != std::string_view::npos && !trimmed.empty() &&
                                        trimmed.front() != ';' && trimmed.front() != '#') {
    std::string_view key = TrimBlanks(raw.substr(0, eq));
    if (!key.empty()) {
      parts.kind = Line::Kind::kEntry;
      parts.key = key;
      parts.value = raw.substr(eq + 1);
    }
  }
  return parts;
}

template <typename Visit>
void IniDocument::ForEachLine(std::string_view bytes, Visit visit) {
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view raw = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (!visit(raw, Classify(raw))) return;
  }
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  // A final carriage return is the last line's break (the reader drops it), cut
  // short of its line feed: a rewrite completes it as CR LF, since a lone line
  // feed would make a carriage return before it the break and cut one more
  // character off the line each time.
  const bool cutShort = !bytes.empty() && bytes.back() == '\r';
  if (cutShort || bytes.find("\r\n") != std::string_view::npos) doc.newline_ = "\r\n";
  doc.endsWithNewline_ = bytes.empty() || bytes.back() == '\n' || cutShort;
  ForEachLine(bytes, [&doc](std::string_view raw, const LineParts& parts) {
    Line line;
    line.raw = std::string(raw);
    line.kind = parts.kind;
    line.section = std::string(parts.section);
    line.key = std::string(parts.key);
    line.value = std::string(parts.value);
    doc.lines_.push_back(std::move(line));
    return true;
  });
  return doc;
}

std::optional<std::string> IniDocument::Find(std::string_view bytes, std::string_view section,
                                             std::string_view key) {
  bool inSection = false;
  std::optional<std::string> found;
  ForEachLine(bytes, [&](std::string_view, const LineParts& parts) {
    if (parts.kind == Line::Kind::kSection) {
      inSection = EqualsIgnoreCase(parts.section, section);
    } else if (inSection && parts.kind == Line::Kind::kEntry && EqualsIgnoreCase(parts.key, key)) {
      found = std::string(parts.value);
      return false;
    }
    return true;
  });
  return found;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (const Line& line : lines_) {
    if (line.kind == Line::Kind::kSection) {
      inSection = EqualsIgnoreCase(line.section, section);
    } else if (inSection && line.kind == Line::Kind::kEntry && EqualsIgnoreCase(line.key, key)) {
      return line.value;
    }
  }
  return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
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
    } else if (inSection && line.kind == Line::Kind::kEntry && EqualsIgnoreCase(line.key, key)) {
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

void IniDocument::Erase(std::string_view section, std::string_view key) {
  bool inSection = false;
  std::vector<Line> kept;
  kept.reserve(lines_.size());
  for (Line& line : lines_) {
    if (line.kind == Line::Kind::kSection) inSection = EqualsIgnoreCase(line.section, section);
    if (inSection && line.kind == Line::Kind::kEntry && EqualsIgnoreCase(line.key, key)) continue;
    kept.push_back(std::move(line));
  }
  lines_ = std::move(kept);
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
