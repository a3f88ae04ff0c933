// Checks the two help pages the settings dialog opens: they are there, whole,
// self-contained, their links lead somewhere, and they cover what users ask.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "wave_file.h"

#ifndef EMBERLRN_VERSION
#error "EMBERLRN_VERSION must name the product version"
#endif

namespace emberlrn::test {
namespace {

const char* const kHelpPage = "help.htm";
const char* const kPowerHelpPage = "power_help.htm";

std::string ReadPage(const std::string& name) {
  std::ifstream in(DataFolder() / name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The page with every run of white space made one blank, as a browser shows it.
std::string Collapsed(const std::string& page) {
  std::string text;
  for (const char c : page) {
    const bool blank = std::isspace(static_cast<unsigned char>(c)) != 0;
    if (!blank) {
      text += c;
    } else if (!text.empty() && text.back() != ' ') {
      text += ' ';
    }
  }
  return text;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return text;
}

// Every id="..." on the page.
std::set<std::string> Ids(const std::string& page) {
  std::set<std::string> ids;
  const std::regex idPattern(R"re(\sid="([^"]*)")re");
  for (auto it = std::sregex_iterator(page.begin(), page.end(), idPattern); it != std::sregex_iterator(); ++it) {
    ids.insert((*it)[1]);
  }
  return ids;
}

std::vector<std::string> Hrefs(const std::string& page) {
  std::vector<std::string> hrefs;
  const std::regex hrefPattern(R"re(\shref="([^"]*)")re");
  for (auto it = std::sregex_iterator(page.begin(), page.end(), hrefPattern); it != std::sregex_iterator(); ++it) {
    hrefs.push_back((*it)[1]);
  }
  return hrefs;
}

// Walks the tags and reports the first one that is not closed in order, or "".
std::string FirstUnbalancedTag(const std::string& page) {
  static const std::set<std::string> kVoid = {"area", "base", "br",   "col",   "embed", "hr",  "img",
                                              "input", "link", "meta", "source", "track", "wbr"};
  std::vector<std::string> open;
  size_t at = 0;
  while ((at = page.find('<', at)) != std::string::npos) {
    if (page.compare(at, 4, "<!--") == 0) {
      at = page.find("-->", at);
      if (at == std::string::npos) {
        return "unterminated comment";
      }
      continue;
    }
    const size_t end = page.find('>', at);
    if (end == std::string::npos) {
      return "unterminated tag";
    }
    const std::string tag = page.substr(at + 1, end - at - 1);
    at = end + 1;
    if (tag.empty() || tag[0] == '!') {
      continue;  // the doctype
    }
    const bool closing = tag[0] == '/';
    size_t nameEnd = closing ? 1 : 0;
    while (nameEnd < tag.size() && (std::isalnum(static_cast<unsigned char>(tag[nameEnd])) != 0)) {
      ++nameEnd;
    }
    const std::string name = Lower(tag.substr(closing ? 1 : 0, nameEnd - (closing ? 1 : 0)));
    if (closing) {
      if (open.empty() || open.back() != name) {
        return "</" + name + "> closes " + (open.empty() ? std::string("nothing") : "<" + open.back() + ">");
      }
      open.pop_back();
    } else if (kVoid.count(name) == 0 && tag.back() != '/') {
      open.push_back(name);
    }
  }
  return open.empty() ? "" : "<" + open.back() + "> is never closed";
}

class HelpPages : public ::testing::TestWithParam<const char*> {};

TEST_P(HelpPages, AreWholeSelfContainedHtml) {
  const std::string page = ReadPage(GetParam());
  ASSERT_FALSE(page.empty()) << GetParam() << " is missing from the data folder";
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_TRUE(std::regex_search(page, std::regex("<title>[^<]*Emberlorn[^<]*</title>")));
  EXPECT_EQ(FirstUnbalancedTag(page), "");
  // Opens in any browser without a network and runs nothing.
  const std::string lower = Lower(page);
  for (const char* forbidden : {"<script", "<link", "<iframe", "@import", "url(", "src=\"http", "src=\"//",
                                "href=\"http", "href=\"//", "javascript:"}) {
    EXPECT_EQ(lower.find(forbidden), std::string::npos) << "found " << forbidden;
  }
  // Names the product, its version and its maker.
  EXPECT_NE(page.find("Emberlorn " EMBERLRN_VERSION), std::string::npos) << "version " EMBERLRN_VERSION;
  EXPECT_NE(page.find("Kestrovane"), std::string::npos);
}

TEST_P(HelpPages, LinksLeadToPlacesThatExist) {
  const std::string page = ReadPage(GetParam());
  ASSERT_FALSE(page.empty());
  std::map<std::string, std::set<std::string>> idsByPage = {
      {kHelpPage, Ids(ReadPage(kHelpPage))}, {kPowerHelpPage, Ids(ReadPage(kPowerHelpPage))}};
  const auto ownIds = Ids(page);
  const std::regex idPattern(R"re(\sid=")re");
  const auto idCount = std::distance(std::sregex_iterator(page.begin(), page.end(), idPattern), std::sregex_iterator());
  EXPECT_EQ(static_cast<size_t>(idCount), ownIds.size()) << "an id is used twice";
  for (const auto& href : Hrefs(page)) {
    const size_t hash = href.find('#');
    const std::string target = href.substr(0, hash);
    const std::string fragment = hash == std::string::npos ? "" : href.substr(hash + 1);
    const auto& ids = target.empty() ? ownIds : idsByPage[target];
    if (!target.empty()) {
      EXPECT_EQ(idsByPage.count(target), 1u) << "link to " << href << " leaves the help";
    }
    if (!fragment.empty()) {
      EXPECT_EQ(ids.count(fragment), 1u) << "link to " << href << " has no target";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothPages, HelpPages, ::testing::Values(kHelpPage, kPowerHelpPage));

TEST(HelpPage, ExplainsEveryTabKeyAndDesktopSetUp) {
  const std::string page = Collapsed(ReadPage(kHelpPage));
  ASSERT_FALSE(page.empty());
  // A section for each tab of the dialog, under the tab's own name.
  for (const char* tab : {"Settings", "Fireplace Settings", "Pwr Management", "Christmas"}) {
    EXPECT_TRUE(std::regex_search(page, std::regex(std::string("<h2>The &ldquo;") + tab + "&rdquo; tab</h2>")))
        << "no section for the tab " << tab;
  }
  // The dialog's captions, as it shows them.
  for (const char* caption :
       {"Emberlorn Screensaver by Kestrovane", "Calendar/Clock", "Position on Screen", "Show Message",
        "Type your message below:", "Font Size:", "Mouse Sensitivity", "Light Touch", "HeavyTouch", "SOUND",
        "Sound On", "Volume", "Soft", "Loud", "Stop sound after:", "Set Color Here", "Show Fireplace",
        "Show Mantle", "No Mantle", "Rotate Fireplaces.........", "Minute(s)", "Flame Speed", "Slow", "Fast",
        "Show Andirons", "Fill wide screens", "Firelight", "Embers", "Flame never repeats",
        "Do you use Power Management?", "Set Power Management", "Power Management HELP",
        "Stockings", "Show Stocking 1", "Show Stocking 4", "Adjust Location", "Higher", "Lower", "Bells",
        "Poinsettias", "Left", "Right", "Music On", "Our website", "About", "Dark Marble", "Light Marble",
        "Light Colored River Rock", "Dark Colored River Rock", "Flat Stone", "Old Rock"}) {
    EXPECT_NE(page.find(caption), std::string::npos) << "missing caption " << caption;
  }
  // Every carol, under the title the dialog gives it.
  for (const char* carol :
       {"Good King Wencesles", "Jingle Bells Rock", "Deck the Halls", "Joy to the World", "Silent Night",
        "Greensleeves", "Nut Cracker", "Hark the Herald Angel", "Holy Night", "Rudolph", "Santas comin' to Town",
        "Feliz Navidad", "O Tannenbaum", "Jingle Bells", "Winter", "Away in the Manger", "Lit'l Town Of Bethlehem",
        "O Come All Ye Faithful", "Little Drummer Boy", "God Rest Ye Merry Gents", "Home For the Holidays",
        "Let it Snow", "12 Days of Christmas", "Frosty the Snowman"}) {
    EXPECT_NE(page.find(carol), std::string::npos) << "missing carol " << carol;
  }
  // The keys while the fire burns, and how to run it on a Linux desktop.
  for (const char* text : {"<kbd>S</kbd>", "<kbd>Q</kbd>", "Any other key", "emberlrn /s", "emberlrn /c",
                           "emberlrn --root", "xss-lock -- emberlrn /s", "xautolock -time 10 -locker 'emberlrn /s'",
                           "~/.config/emberlrn/settings.ini", "XDG_CONFIG_HOME", "EMBERLRN_DATA_DIR",
                           "power_help.htm"}) {
    EXPECT_NE(page.find(text), std::string::npos) << "missing " << text;
  }
}

TEST(PowerHelpPage, ExplainsTheHandOverAndWhereDesktopsKeepTheTime) {
  const std::string page = Collapsed(ReadPage(kPowerHelpPage));
  ASSERT_FALSE(page.empty());
  for (const char* text :
       {"<h1>Power Management Help</h1>", "45 seconds", "Power Management is set to come on shortly.",
        "Power Management was activated", "Do you use Power Management?", "Set Power Management",
        "xfce4-power-manager-settings", "GNOME Settings &gt; Power", "KDE", "System Settings &gt; Power Management",
        "mate-power-preferences", "Monitor power saving of the X server (DPMS)", "xset dpms", "xset q",
        "~/.xscreensaver", "WARNING!", "WHY?", "Never", "help.htm"}) {
    EXPECT_NE(page.find(text), std::string::npos) << "missing " << text;
  }
}

}  // namespace
}  // namespace emberlrn::test
