#pragma once
// An in-memory settings file: "[Section]" headers and "Key=Value" lines.
// Sections and keys match without regard to case; a value is everything
// after the first '=' and is kept byte for byte. Lines that are neither
// (comments, junk, a key without '=') are kept as they are, so rewriting a
// file never loses what the program did not understand.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace emberlrn {

class IniDocument {
 public:
  static IniDocument Parse(std::string_view bytes);

  // What Parse(bytes).Get(section, key) gives, read straight from the text
  // without building the document: a read costs no memory however many
  // lines the file holds.
  static std::optional<std::string> Find(std::string_view bytes, std::string_view section,
                                         std::string_view key);

  // The value of the first entry of key in the first matching section that
  // has it, or nothing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Overwrites the first entry of key in a section of that name (dropping any
  // later duplicates of it), or appends the key to the first section of that
  // name, or appends the section at the end. Line breaks in the value are
  // turned into blanks so that one value is always one line.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // Drops every entry of key in every section of that name.
  void Erase(std::string_view section, std::string_view key);

  std::string Serialize() const;

 private:
  struct Line {
    std::string raw;      // the line as it stood, without its line break
    std::string section;  // section header name, when this line is one
    std::string key;      // entry key, when this line is an entry
    std::string value;    // entry value, when this line is an entry
    enum class Kind { kOther, kSection, kEntry } kind = Kind::kOther;
  };
  struct LineParts;
  static LineParts Classify(std::string_view raw);
  // Calls visit(raw, parts) for every line, without its line break, until
  // visit answers false.
  template <typename Visit>
  static void ForEachLine(std::string_view bytes, Visit visit);

  std::vector<Line> lines_;
  bool endsWithNewline_ = true;
  std::string newline_ = "\n";
};

// Compares two names without regard to ASCII case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace emberlrn
