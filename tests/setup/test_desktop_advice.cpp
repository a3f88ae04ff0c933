// What the dialog tells about the desktop it runs on: the launcher the wait
// was read from, the X server's monitor times beside the user's choice, and
// a message from every button whose desktop program is missing.

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "setup_test_support.h"

using namespace emberlrn;
using namespace emberlrn::testing;

namespace {

const QString kTimes = QStringLiteral(
    "Monitor power saving of the X server (DPMS): standby after 5 Minutes, suspend after 10 "
    "Minutes, off after 15 Minutes. ");

struct AdviceRig : DialogRig {
  QComboBox* List() { return Find<QComboBox>("cboMonitor"); }
  QString MonitorPower() { return Find<QLabel>("lblMonitorPower")->text(); }
  void ShowPowerTab() {
    Show();
    Find<QTabWidget>("SSTab1")->setCurrentIndex(2);
    QApplication::processEvents();
  }
  // Presses a button on whichever tab holds it.
  void Press(const char* name) {
    auto* button = Find<QPushButton>(name);
    auto* tabs = Find<QTabWidget>("SSTab1");
    for (int tab = 0; tab < tabs->count(); ++tab) {
      if (tabs->widget(tab)->isAncestorOf(button)) tabs->setCurrentIndex(tab);
    }
    QApplication::processEvents();
    QTest::mouseClick(button, Qt::LeftButton);
  }
};

// PATH for the duration of a test, given back afterwards.
class PathFor {
 public:
  explicit PathFor(const QString& path) : saved_(qgetenv("PATH")) {
    qputenv("PATH", path.toLocal8Bit());
  }
  ~PathFor() { qputenv("PATH", saved_); }

 private:
  QByteArray saved_;
};

// An executable that does nothing, standing in for a desktop program.
void StandIn(const QTemporaryDir& dir, const char* program) {
  QFile file(dir.filePath(QString::fromLatin1(program)));
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("#!/bin/sh\nexit 0\n");
  file.close();
  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace

class DesktopAdviceTest : public QObject {
  Q_OBJECT

 private slots:
  // The programs' order follows the desktop in use; these cases expect none.
  void initTestCase() { qunsetenv("XDG_CURRENT_DESKTOP"); }

  void TheWaitNamesItsLauncher() {
    const std::vector<std::pair<std::optional<WaitSource>, const char*>> cases = {
        {WaitSource::kXScreenSaver, "(read from xscreensaver)"},
        {WaitSource::kGnome, "(read from GNOME)"},
        {WaitSource::kXServer, "(read from the X server)"},
        {std::nullopt, "(no idle launcher's wait could be read)"}};
    for (const auto& [source, shown] : cases) {
      AdviceRig rig;
      if (source) rig.desktop.wait = ScreenSaverWait{900, *source};
      rig.Open();
      QCOMPARE(rig.Find<QLabel>("lblSSsource")->text(), QString::fromLatin1(shown));
      QCOMPARE(rig.Find<QLabel>("lblSStime")->text(),
               QString::fromLatin1(source ? "15 Minutes" : "0 Minutes"));
    }
  }

  void TheMonitorTimesStandBesideTheChoice() {
    AdviceRig rig;
    rig.desktop.monitorPower = x11::MonitorPowerTimes{true, 300, 600, 900};
    rig.store.Preset("Settings", "Power", "1");
    rig.store.Preset("Settings", "Monitor", "5 Minutes");
    rig.ShowPowerTab();
    QCOMPARE(rig.MonitorPower(), kTimes + QStringLiteral("That matches your choice."));
    // Each new choice is compared at once.
    QVERIFY(PickEntry(rig.List(), QStringLiteral("10 Minutes")));
    QCOMPARE(rig.MonitorPower(),
             kTimes + QStringLiteral("That differs from your choice of 10 Minutes: the monitor "
                                     "first goes dark after 5 Minutes."));
    QVERIFY(PickEntry(rig.List(), QStringLiteral("Never")));
    QCOMPARE(rig.MonitorPower(),
             kTimes + QStringLiteral("That differs from your choice: the monitor first goes dark "
                                     "after 5 Minutes, and \"Do you use Power Management?\" is "
                                     "not ticked."));
  }

  void AnXServerThatNeverDarkensTheMonitor() {
    // DPMS switched off, or every step at 0: the same to the user.
    for (const auto& times :
         {x11::MonitorPowerTimes{false, 300, 600, 900}, x11::MonitorPowerTimes{true, 0, 0, 0}}) {
      AdviceRig rig;
      rig.desktop.monitorPower = times;
      rig.store.Preset("Settings", "Power", "0");
      rig.ShowPowerTab();
      const QString off = QStringLiteral("Monitor power saving of the X server (DPMS): off. ");
      QCOMPARE(rig.MonitorPower(), off + QStringLiteral("That matches your choice."));
      ClickIndicator(rig.Find<QCheckBox>("chkPower"));
      QVERIFY(PickEntry(rig.List(), QStringLiteral("20 Minutes")));
      QCOMPARE(rig.MonitorPower(),
               off + QStringLiteral("That differs from your choice of 20 Minutes, unless your "
                                    "desktop switches the monitor off by itself."));
    }
  }

  void StepsThatNeverComeAndTimesNotRead() {
    AdviceRig rig;
    rig.desktop.monitorPower = x11::MonitorPowerTimes{true, 0, 0, 5400};
    rig.store.Preset("Settings", "Power", "1");
    rig.store.Preset("Settings", "Monitor", "1");  // no entry of the list
    rig.Open();
    QCOMPARE(rig.MonitorPower(),
             QStringLiteral("Monitor power saving of the X server (DPMS): standby never, suspend "
                            "never, off after 90 Minutes. That differs from your choice of 1: the "
                            "monitor first goes dark after 90 Minutes."));
    AdviceRig unread;
    unread.Open();
    QCOMPARE(unread.MonitorPower(),
             QStringLiteral("Monitor power saving of the X server (DPMS): cannot be read here."));
  }

  // The real look-up on PATH: with none of the programs there, each button
  // answers with what it tried and what to install, and starts nothing.
  void WithoutTheDesktopsProgramsEachButtonSaysWhatToInstall() {
    QTemporaryDir empty;
    PathFor path(empty.path());
    LinuxDesktopFacts machine;
    AdviceRig rig;
    rig.facts = &machine;
    rig.Show();
    const std::string folder = InstallFolder();
    for (const char* button : {"cmdSeePM", "cmdColor", "cmdPMHelp", "Command2", "cmdWebsite"}) {
      rig.Press(button);
    }
    QCOMPARE(rig.messages.Titles(), (QStringList{"Set Power Management", "Set Color Here",
                                                 "Power Management HELP", "Help", "Our website"}));
    QCOMPARE(rig.messages.shown[0].text,
             std::string("Emberlorn could not open your desktop's power settings: none of the "
                         "programs it tried is installed.\n\nTried: xfce4-power-manager-settings, "
                         "gnome-control-center power, systemsettings kcm_powerdevilprofilesconfig, "
                         "mate-power-preferences.\n\nInstall the one of your desktop: "
                         "xfce4-power-manager (Xfce), gnome-control-center (GNOME), systemsettings "
                         "and powerdevil (KDE Plasma), or mate-power-manager (MATE). Without a "
                         "desktop power manager, the X server's own monitor times are set with "
                         "\"xset dpms\"."));
    QCOMPARE(rig.messages.shown[1].text,
             std::string("Emberlorn could not open your desktop's display settings: none of the "
                         "programs it tried is installed.\n\nTried: xfce4-display-settings, "
                         "gnome-control-center display, systemsettings kcm_kscreen, "
                         "mate-display-properties, arandr.\n\nInstall the one of your desktop: "
                         "xfce4-settings (Xfce), gnome-control-center (GNOME), systemsettings and "
                         "kscreen (KDE Plasma), mate-control-center (MATE), or arandr (any "
                         "desktop). The color depth itself is the display server's: it is set "
                         "when the display server starts."));
    QCOMPARE(rig.messages.shown[2].text,
             "Emberlorn could not open power_help.htm: none of the programs it tried is "
             "installed.\n\nTried: xdg-open.\n\nInstall xdg-utils, or open " +
                 folder + "power_help.htm in your browser.");
    QCOMPARE(rig.messages.shown[4].text,
             std::string("Emberlorn could not open https://www.kestrovane.com/emberlorn: none of "
                         "the programs it tried is installed.\n\nTried: xdg-open.\n\nInstall "
                         "xdg-utils, or open https://www.kestrovane.com/emberlorn in your "
                         "browser."));
    for (const auto& shown : rig.messages.shown) QCOMPARE(shown.kind, std::string("Warning"));
    QVERIFY(rig.system.ran.empty());
    QVERIFY(rig.system.opened.empty());
  }

  void AnyOneInstalledProgramIsEnough() {
    QTemporaryDir bin;
    StandIn(bin, "arandr");
    StandIn(bin, "mate-power-preferences");
    StandIn(bin, "xdg-open");
    PathFor path(bin.path());
    LinuxDesktopFacts machine;
    AdviceRig rig;
    rig.facts = &machine;
    rig.Show();
    for (const char* button : {"cmdSeePM", "cmdColor", "cmdPMHelp"}) rig.Press(button);
    QVERIFY(rig.messages.shown.empty());
    QCOMPARE(rig.system.ran.size(), size_t{2});
    QCOMPARE(rig.system.opened, std::vector<std::string>{InstallFolder() + "power_help.htm"});
  }
};

QTEST_MAIN(DesktopAdviceTest)
#include "test_desktop_advice.moc"
