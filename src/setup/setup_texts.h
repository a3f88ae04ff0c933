#pragma once
// The settings dialog's own words: captions, list entries, carol titles,
// advice messages, and the places its buttons open. They are the product's
// texts, so they live in one place and are used exactly as written here.

#include <array>
#include <string_view>

#include "settings/schema.h"

namespace emberlrn::setup_texts {

inline constexpr std::string_view kCaption = "Emberlorn Screensaver by Kestrovane";

// Tabs, left to right; the dialog opens on the first.
inline constexpr std::array<std::string_view, 4> kTabs = {"Settings", "Fireplace Settings",
                                                          "Pwr Management", "Christmas"};

// The button strip, left to right.
inline constexpr std::string_view kHelp = "&Help";
inline constexpr std::string_view kWebsite = "&Our website";
inline constexpr std::string_view kAbout = "&About";
inline constexpr std::string_view kOk = "&OK";
inline constexpr std::string_view kOkTip = "Exit";

// "Settings" tab.
inline constexpr std::string_view kCalendarGroup = "Calendar/Clock";
inline constexpr std::string_view kCalendarShow = "Show";
inline constexpr std::string_view kPositionOnScreen = "Position on Screen";
inline constexpr std::array<std::string_view, 4> kCornerNames = {"Top left", "Bottom left",
                                                                 "Top right", "Bottom right"};
inline constexpr std::string_view kMessageGroup = "Show Message";
inline constexpr std::string_view kShowMessage = "Show Message";
inline constexpr std::string_view kTypeMessage = "Type your message below:";
inline constexpr std::string_view kFontSize = "Font Size:";
inline constexpr std::string_view kMouseGroup = "Mouse Sensitivity";
inline constexpr std::string_view kMouseTip = "Change the sensitivity of the mouse";
inline constexpr std::string_view kLightTouch = "Light Touch";
inline constexpr std::string_view kHeavyTouch = "HeavyTouch";
inline constexpr std::string_view kSoundGroup = "SOUND";
inline constexpr std::string_view kSoundOn = "Sound On";
inline constexpr std::string_view kCrackle = "Crackle";
inline constexpr std::string_view kVolume = "Volume";
inline constexpr std::string_view kSoft = "Soft";
inline constexpr std::string_view kLoud = "Loud";
// The classic caption "Stop sound after:  ...  min." has a gap of blanks
// where the list sits; here the words either side are two labels.
inline constexpr std::string_view kStopSoundBefore = "Stop sound after:";
inline constexpr std::string_view kStopSoundAfter = "min.";
inline constexpr std::string_view kSoundKeysNote =
    " While the screensaver is running:\n"
    " Press the \"Q\" key to stop the sound\n"
    " Press the \"S\" key to start the sound";
// On Linux the colour depth is the display server's, so the advice says so
// instead of sending the user to a depth setting.
inline constexpr std::string_view kColourAdvice =
    "This screensaver is best viewed in full color (24-bit or more). On Linux the color depth "
    "is the display server's, set when it starts; this button opens your display settings.";
inline constexpr std::string_view kSetColour = "Set Color Here";

// The stop-sound list; "Never" is stored as "0".
inline constexpr std::string_view kNever = kSoundOffNever;
inline constexpr std::string_view kNeverStored = "0";

// "Fireplace Settings" tab. Style n is element n - 1; the second name keeps
// its trailing blank.
inline constexpr std::string_view kFireplaceGroup = "Fireplace";
inline constexpr std::array<std::string_view, 6> kStyleNames = {
    "Dark Marble", "Light Marble ", "Light Colored River Rock", "Dark Colored River Rock",
    "Flat Stone",  "Old Rock"};
inline constexpr std::string_view kShowFireplace = "Show Fireplace";
inline constexpr std::string_view kShowMantle = "Show Mantle";
inline constexpr std::string_view kNoMantle = "No Mantle";
inline constexpr std::string_view kRotate = "Rotate Fireplaces.........";
// "Every  ...  Minute(s)" around the rotation list, as with the stop-sound list.
inline constexpr std::string_view kEveryBefore = "Every";
inline constexpr std::string_view kEveryAfter = "Minute(s)";
inline constexpr std::string_view kFlameGroup = "Flame Speed";
// Before the list of the monitors the fire burns on.
inline constexpr std::string_view kMonitorsLabel = "Show the fire on monitors:";
inline constexpr std::string_view kSlow = "Slow";
inline constexpr std::string_view kFast = "Fast";
inline constexpr std::string_view kShowAndirons = "Show Andirons";
// The living fire's switches, each with a line on what it does.
inline constexpr std::string_view kFillWide = "Fill wide screens";
inline constexpr std::string_view kFillWideTip =
    "On a screen wider than the fireplace, the room's walls stand beside it instead of black bars";
inline constexpr std::string_view kFirelight = "Firelight";
inline constexpr std::string_view kFirelightTip =
    "The fire's flickering glow lights the hearth and the surround";
inline constexpr std::string_view kEmbers = "Embers";
inline constexpr std::string_view kEmbersTip = "Sparks rise from the logs and fade as they cool";
inline constexpr std::string_view kLivingFlame = "Flame never repeats";
inline constexpr std::string_view kLivingFlameTip =
    "The flame's pictures play in an order that never repeats, instead of the same loop";

// "Pwr Management" tab.
inline constexpr std::string_view kPowerHeading =
    "If you want your computer to continue shutting down you must set these values";
// What happens on Linux: the saver runs on, sound and all, past the moment
// the monitor's power saving darkens the screen, unless it steps aside.
inline constexpr std::string_view kPowerExplanation =
    "This screensaver keeps drawing the fire and playing its sound until a key or the mouse "
    "ends it, even after the monitor's power saving (DPMS) has switched the screen off.  We "
    "have tried to comply to the few of you who use the Energy Saving Power Manage Mode by "
    "allowing you to set when these modes will activate: the screensaver then steps aside 45 "
    "seconds before, stops its sound and gives the screen back, so that your desktop's power "
    "saving can act on a quiet computer. The times your X server uses are shown beside the "
    "list.";
inline constexpr std::string_view kPowerGroup = "Power Management Users";
inline constexpr std::string_view kUsePower = "Do you use Power Management?";
inline constexpr std::string_view kPowerExamples =
    "Examples would having your monitor or hard disk set to turn off after a certain period "
    "of inactivity.  Possibly SUSPEND MODE or SLEEP to occur after a certain time, etc.";
// "Screensaver set to activate  ...  after computer is idle" around the wait.
inline constexpr std::string_view kActivateBefore = "Screensaver set to activate";
inline constexpr std::string_view kActivateAfter = "after computer is idle";
// "Click this button:  ...  If any setting ..." around the power button.
inline constexpr std::string_view kClickBefore = "Click this button:";
inline constexpr std::string_view kClickAfter =
    "If any setting has a value other than NEVER please set the below drop down list to the "
    "same value.";
inline constexpr std::string_view kSetPower = "&Set Power Management";
inline constexpr std::string_view kPowerHelp = "Power Management HEL&P";
inline constexpr std::string_view kMinutesSuffix = " Minutes";
inline constexpr std::string_view kMinuteSuffix = " Minute";

// Beside the wait: the idle launcher it was read from.
inline constexpr std::string_view kWaitFromXScreenSaver = "(read from xscreensaver)";
inline constexpr std::string_view kWaitFromGnome = "(read from GNOME)";
inline constexpr std::string_view kWaitFromXServer = "(read from the X server)";
inline constexpr std::string_view kWaitUnread = "(no idle launcher's wait could be read)";

// Beside the monitor list: the X server's own monitor power saving, and
// whether it agrees with the user's choice.
inline constexpr std::string_view kMonitorPowerBefore =
    "Monitor power saving of the X server (DPMS): ";
inline constexpr std::string_view kMonitorPowerUnread = "cannot be read here.";
inline constexpr std::string_view kMonitorPowerOff = "off.";
inline constexpr std::string_view kStandbyAfter = "standby after ";
inline constexpr std::string_view kSuspendAfter = "suspend after ";
inline constexpr std::string_view kOffAfter = "off after ";
inline constexpr std::string_view kStandbyNever = "standby never";
inline constexpr std::string_view kSuspendNever = "suspend never";
inline constexpr std::string_view kOffNever = "off never";
inline constexpr std::string_view kTimesMatch = "That matches your choice.";
inline constexpr std::string_view kTimesDifferBefore = "That differs from your choice of ";
inline constexpr std::string_view kTimesDifferDark = ": the monitor first goes dark after ";
inline constexpr std::string_view kTimesDifferUnticked =
    "That differs from your choice: the monitor first goes dark after ";
inline constexpr std::string_view kTimesDifferUntickedAfter =
    ", and \"Do you use Power Management?\" is not ticked.";
inline constexpr std::string_view kTimesDifferByItself =
    ", unless your desktop switches the monitor off by itself.";

// Entries so short that a screen saver makes no sense before them.
inline constexpr std::array<std::string_view, 3> kTooShortEntries = {"1 Minute", "2 Minutes",
                                                                     "3 Minutes"};

// "Christmas" tab.
inline constexpr std::string_view kMusicGroup = "Music";
inline constexpr std::string_view kMusicOn = "Music On";
inline constexpr std::string_view kPoinsettiasGroup = "Poinsettias";
inline constexpr std::string_view kBellsGroup = "Bells";
inline constexpr std::string_view kStockingsGroup = "Stockings";
inline constexpr std::array<std::string_view, 2> kLeftRight = {"Left", "Right"};
inline constexpr std::array<std::string_view, 4> kStockings = {
    "Show Stocking 1", "Show Stocking 2", "Show Stocking 3", "Show Stocking 4"};
inline constexpr std::string_view kAdjustLocation = "Adjust Location";
inline constexpr std::string_view kHigher = "Higher";
inline constexpr std::string_view kLower = "Lower";
// Carol n (key Midi n) is element n - 1.
inline constexpr std::array<std::string_view, 24> kCarols = {"Good King Wencesles",
                                                             "Jingle Bells Rock",
                                                             "Deck the Halls",
                                                             "Joy to the World",
                                                             "Silent Night",
                                                             "Greensleeves",
                                                             "Nut Cracker",
                                                             "Hark the Herald Angel",
                                                             "Holy Night",
                                                             "Rudolph",
                                                             "Santas comin' to Town",
                                                             "Feliz Navidad",
                                                             "O Tannenbaum",
                                                             "Jingle Bells",
                                                             "Winter",
                                                             "Away in the Manger",
                                                             "Lit'l Town Of Bethlehem",
                                                             "O Come All Ye Faithful",
                                                             "Little Drummer Boy",
                                                             "God Rest Ye Merry Gents",
                                                             "Home For the Holidays",
                                                             "Let it Snow",
                                                             "12 Days of Christmas",
                                                             "Frosty the Snowman"};

// Advice messages.
inline constexpr std::string_view kWarningTitle = "WARNING!";
inline constexpr std::string_view kWarningText =
    "You have your screensaver set to come on exactly when the monitor is set to shut off. "
    "Please change one of them.";
inline constexpr std::string_view kWhyTitle = "WHY?";
inline constexpr std::string_view kWhyBefore = "Why would you use a screensaver for only ";
inline constexpr std::string_view kWhyAfter =
    ". If you want to use Power Management set it to at least 5 minutes";

// A button whose desktop program is missing says so, names what it tried and
// what to install.
struct MissingToolAdvice {
  std::string_view title;    // the button's caption
  std::string_view what;     // what it would have opened
  std::string_view closing;  // what else the user can do
};
inline constexpr std::string_view kCouldNotOpen = "Emberlorn could not open ";
inline constexpr std::string_view kNoneInstalled = ": none of the programs it tried is installed.";
inline constexpr std::string_view kTried = "Tried: ";
inline constexpr std::string_view kInstallOneOf = "Install the one of your desktop: ";
inline constexpr std::string_view kInstall = "Install ";
inline constexpr std::string_view kAnyDesktop = "any desktop";
inline constexpr MissingToolAdvice kNoPowerTool = {
    "Set Power Management", "your desktop's power settings",
    " Without a desktop power manager, the X server's own monitor times are set with "
    "\"xset dpms\"."};
inline constexpr MissingToolAdvice kNoDisplayTool = {
    "Set Color Here", "your desktop's display settings",
    " The color depth itself is the display server's: it is set when the display server "
    "starts."};
// For a help page or an address; the closing names it.
inline constexpr std::string_view kOpenInBrowserBefore = ", or open ";
inline constexpr std::string_view kOpenInBrowserAfter = " in your browser.";

// The About message: the version line first, then the maker's notice.
inline constexpr std::string_view kAboutTitle = "About Emberlorn";
inline constexpr std::string_view kAboutText =
    "Emberlorn v " EMBERLRN_VERSION
    "\n"
    "\n"
    "The Emberlorn fireplace screensaver is made by Kestrovane.\n"
    "Copyright (C) Kestrovane. All rights reserved.\n"
    "\n"
    "Questions, ideas and praise are welcome at:\n"
    "https://www.kestrovane.com/emberlorn";

// Where the buttons lead. The classic command lines name the power options
// and the display properties; the desktop layer starts the matching
// settings program of the desktop in use.
inline constexpr std::string_view kWebsiteAddress = "https://www.kestrovane.com/emberlorn";
// The product's help was a small Windows program ("Help.exe"); here it is
// the help page, shipped in the data folder as "help.htm".
inline constexpr std::string_view kHelpDocument = "help.htm";
inline constexpr std::string_view kPowerHelpDocument = "power_help.htm";
inline constexpr std::string_view kPowerOptionsCommand =
    "rundll32.exe shell32.dll,Control_RunDLL powercfg.cpl,,1";
inline constexpr std::string_view kDisplayPropertiesCommand =
    "rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,3";

// The fireplace pictures beside the style names, n = 1 to 6.
inline constexpr std::string_view kThumbPrefix = "thumb";
inline constexpr std::string_view kThumbSuffix = ".png";
inline constexpr int kThumbSize = 54;
// What a screen reader calls the live scene beside the tabs.
inline constexpr std::string_view kPreviewName = "Preview";
inline constexpr std::string_view kListen = "Listen";
inline constexpr std::string_view kListenTip =
    "Plays the fire at the chosen volume, and the ticked carols, while the settings are open";

}  // namespace emberlrn::setup_texts
