// The "Pwr Management" tab: the screen-saver wait in minutes, the power box
// and the monitor list, and the advice about equal or very short times.

#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include "setup/screen_saver_wait.h"
#include "setup_test_support.h"

using namespace emberlrn;
using namespace emberlrn::testing;

namespace {

const std::string kWarning =
    "You have your screensaver set to come on exactly when the monitor is set to shut off. "
    "Please change one of them.";

std::string Why(const std::string& entry) {
  return "Why would you use a screensaver for only " + entry +
         ". If you want to use Power Management set it to at least 5 minutes";
}

// A dialog on the power tab with power management ticked and the given wait.
struct PowerRig : DialogRig {
  explicit PowerRig(std::optional<int32_t> waitSeconds, bool power = true) {
    desktop.SetWait(waitSeconds);
    store.Preset("Settings", "Power", power ? "1" : "0");
  }
  QComboBox* List() { return Find<QComboBox>("cboMonitor"); }
  void ShowPowerTab() {
    Show();
    Find<QTabWidget>("SSTab1")->setCurrentIndex(2);
    QApplication::processEvents();
  }
};

}  // namespace

class PowerAdviceTest : public QObject {
  Q_OBJECT

 private slots:
  void MinutesAreWrittenShortest() {
    QCOMPARE(ShortestDecimal(10.0), std::string("10"));
    QCOMPARE(ShortestDecimal(1.5), std::string("1.5"));
    QCOMPARE(ShortestDecimal(0.0), std::string("0"));
    QCOMPARE(ShortestDecimal(20.0 / 60.0), std::string("0.333333333333333"));
    QCOMPARE(ShortestDecimal(7.0 / 60.0), std::string("0.116666666666667"));
    QCOMPARE(ShortestDecimal(35791394.1), std::string("35791394.1"));
    QCOMPARE(ShortestDecimal(-0.5), std::string("-0.5"));
    QCOMPARE(WaitMinutes(""), 0.0);
    QCOMPARE(WaitMinutes("90"), 1.5);
  }

  void TheLabelShowsTheWaitInMinutes() {
    const std::vector<std::pair<std::optional<int32_t>, const char*>> cases = {
        {600, "10 Minutes"}, {90, "1.5 Minutes"},         {3600, "60 Minutes"},
        {60, "1 Minutes"},   {std::nullopt, "0 Minutes"}, {20, "0.333333333333333 Minutes"}};
    for (const auto& [wait, shown] : cases) {
      PowerRig rig(wait);
      Setup& dialog = rig.Open();
      QCOMPARE(rig.Find<QLabel>("lblSStime")->text(), QString::fromLatin1(shown));
      QCOMPARE(dialog.SSTimeText(), std::string(shown));
      QCOMPARE(rig.desktop.waitReads, 1);
    }
  }

  void EqualTimesWarnWhenPicked() {
    {  // Wait 600, "10 Minutes": a warning, the choice stored, no "WHY?".
      PowerRig rig(600);
      rig.ShowPowerTab();
      const size_t from = rig.store.writes.size();
      QVERIFY(PickEntry(rig.List(), QStringLiteral("10 Minutes")));
      QCOMPARE(rig.messages.Titles(), QStringList{"WARNING!"});
      QCOMPARE(rig.messages.shown[0].text, kWarning);
      QCOMPARE(rig.messages.shown[0].kind, std::string("Warning"));
      QCOMPARE(rig.Writes(from), QStringList{"Settings/Monitor=10 Minutes"});
    }
    {  // Wait 3600, "1 hour".
      PowerRig rig(3600);
      rig.ShowPowerTab();
      QCOMPARE(rig.Find<QLabel>("lblSStime")->text(), QStringLiteral("60 Minutes"));
      QVERIFY(PickEntry(rig.List(), QStringLiteral("1 hour")));
      QCOMPARE(rig.messages.Titles(), QStringList{"WARNING!"});
      QCOMPARE(rig.store.Value("Settings", "Monitor"), std::string("1 hour"));
    }
    {  // Wait 60, "1 Minute": first the warning, then "WHY?" naming the entry.
      PowerRig rig(60);
      rig.ShowPowerTab();
      QCOMPARE(rig.Find<QLabel>("lblSStime")->text(), QStringLiteral("1 Minutes"));
      const size_t from = rig.store.writes.size();
      QVERIFY(PickEntry(rig.List(), QStringLiteral("1 Minute")));
      QCOMPARE(rig.messages.Titles(), (QStringList{"WARNING!", "WHY?"}));
      QCOMPARE(rig.messages.shown[1].text, Why("1 Minute"));
      QCOMPARE(rig.messages.shown[1].kind, std::string("Warning"));
      // The choice is in the store before either message is shown.
      QCOMPARE(rig.messages.shown[0].writesBefore, from + 1);
      QCOMPARE(rig.store.Value("Settings", "Monitor"), std::string("1 Minute"));
    }
  }

  void ShortTimesAskWhy() {
    for (const char* entry : {"2 Minutes", "3 Minutes"}) {
      PowerRig rig(600);
      rig.ShowPowerTab();
      QVERIFY(PickEntry(rig.List(), QString::fromLatin1(entry)));
      QCOMPARE(rig.messages.Titles(), QStringList{"WHY?"});
      QCOMPARE(rig.messages.shown[0].text, Why(entry));
      QCOMPARE(rig.store.Value("Settings", "Monitor"), std::string(entry));
    }
    PowerRig rig(600);
    rig.ShowPowerTab();
    QVERIFY(PickEntry(rig.List(), QStringLiteral("5 Minutes")));
    QVERIFY(rig.messages.shown.empty());
  }

  void AWaitBetweenEntriesNeverMatches() {
    PowerRig rig(90);
    rig.ShowPowerTab();
    QCOMPARE(rig.Find<QLabel>("lblSStime")->text(), QStringLiteral("1.5 Minutes"));
    for (int i = 0; i < rig.List()->count(); ++i) {
      const QString entry = rig.List()->itemText(i);
      if (entry == QStringLiteral("Never")) continue;
      QVERIFY(PickEntry(rig.List(), entry));
    }
    for (const QString& title : rig.messages.Titles()) QCOMPARE(title, QStringLiteral("WHY?"));
  }

  void AnUnreadableWaitNeverWarns() {
    PowerRig rig(std::nullopt);
    rig.store.Preset("Settings", "Monitor", "1 Minute");
    rig.ShowPowerTab();
    QCOMPARE(rig.Find<QLabel>("lblSStime")->text(), QStringLiteral("0 Minutes"));
    QVERIFY(rig.messages.shown.empty());
    QVERIFY(PickEntry(rig.List(), QStringLiteral("10 Minutes")));
    QVERIFY(rig.messages.shown.empty());
  }

  void PickingNeverUnticksPowerManagement() {
    PowerRig rig(600);
    rig.ShowPowerTab();
    const size_t from = rig.store.writes.size();
    QVERIFY(PickEntry(rig.List(), QStringLiteral("Never")));
    QCOMPARE(rig.Writes(from),
             (QStringList{"Settings/Monitor=Never", "Settings/Power=0", "Settings/Power=0"}));
    QVERIFY(!rig.Find<QCheckBox>("chkPower")->isChecked());
    QVERIFY(!rig.List()->isEnabled());
    QVERIFY(rig.messages.shown.empty());
  }

  void ThePowerBoxEnablesTheList() {
    PowerRig rig(600, false);
    rig.ShowPowerTab();
    auto* power = rig.Find<QCheckBox>("chkPower");
    QVERIFY(!rig.List()->isEnabled());
    size_t from = rig.store.writes.size();
    ClickIndicator(power);
    QCOMPARE(rig.Writes(from), QStringList{"Settings/Power=1"});
    QVERIFY(rig.List()->isEnabled());
    from = rig.store.writes.size();
    ClickIndicator(power);
    QCOMPARE(rig.Writes(from), QStringList{"Settings/Power=0"});
    QVERIFY(!rig.List()->isEnabled());
    // Ticking the box gives no advice by itself.
    QVERIFY(rig.messages.shown.empty());
  }

  void OpeningWarnsBeforeTheDialogShows() {
    {  // "15 Minutes", power ticked, a wait of 900 seconds.
      PowerRig rig(900);
      rig.store.Preset("Settings", "Monitor", "15 Minutes");
      Setup& dialog = rig.Open();
      QVERIFY(!dialog.isVisible());
      QCOMPARE(rig.messages.Titles(), QStringList{"WARNING!"});
      QCOMPARE(rig.messages.shown[0].text, kWarning);
      QCOMPARE(rig.Find<QLabel>("lblSStime")->text(), QStringLiteral("15 Minutes"));
    }
    {  // Power unticked: the list is greyed and there is no warning.
      PowerRig rig(900, false);
      rig.store.Preset("Settings", "Monitor", "15 Minutes");
      rig.Open();
      QVERIFY(!rig.List()->isEnabled());
      QVERIFY(rig.messages.shown.empty());
    }
    {  // A text that is no entry, or "Never", never warns.
      for (const char* monitor : {"15", "Never", "15 minutes"}) {
        PowerRig rig(900);
        rig.store.Preset("Settings", "Monitor", monitor);
        rig.Open();
        QVERIFY2(rig.messages.shown.empty(), monitor);
      }
    }
  }
};

QTEST_MAIN(PowerAdviceTest)
#include "test_power_advice.moc"
