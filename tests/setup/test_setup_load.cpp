// The settings dialog's window and its load: every control where users
// expect it with its caption, every control showing the stored value, and a
// store left as it was (apart from a missing key taking the value shown and
// a true "Music On" written as "True").

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <iostream>
#include <map>
#include <sstream>

#include "setup_test_support.h"

using namespace emberlrn;
using namespace emberlrn::testing;

namespace {

// Everything a store holds, for before-and-after comparisons.
std::map<std::string, std::string> Snapshot(const MemoryStore& store) {
  std::map<std::string, std::string> all;
  for (const SettingDefault& setting : FirstRunValues()) {
    all[std::string(setting.section) + "/" + std::string(setting.key)] =
        store.Value(setting.section, setting.key);
  }
  return all;
}

QString Text(QWidget* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  if (auto* list = qobject_cast<QComboBox*>(widget)) return list->currentText();
  return QStringLiteral("<no text>");
}

}  // namespace

class SetupLoadTest : public QObject {
  Q_OBJECT

 private slots:
  void WindowTabsAndButtonStrip() {
    DialogRig rig;
    Setup& dialog = rig.Open();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Emberlorn Screensaver by Kestrovane"));
    auto* tabs = rig.Find<QTabWidget>("SSTab1");
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 4);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Settings"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Fireplace Settings"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("Pwr Management"));
    QCOMPARE(tabs->tabText(3), QStringLiteral("Christmas"));
    QCOMPARE(tabs->currentIndex(), 0);

    // Left to right: Help, Our website, About, OK; OK says "Exit".
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const char* names[] = {"Command2", "cmdWebsite", "cmdAbout", "cmdOK"};
    const char* captions[] = {"&Help", "&Our website", "&About", "&OK"};
    int lastX = -1;
    for (int i = 0; i < 4; ++i) {
      auto* button = rig.Find<QPushButton>(names[i]);
      QVERIFY2(button, names[i]);
      QCOMPARE(button->text(), QString::fromLatin1(captions[i]));
      const int x = button->mapTo(&dialog, QPoint(0, 0)).x();
      QVERIFY(x > lastX);
      lastX = x;
      QVERIFY(button->mapTo(&dialog, QPoint(0, 0)).y() >
              tabs->mapTo(&dialog, QPoint(0, tabs->height() - 1)).y());
    }
    QCOMPARE(rig.Find<QPushButton>("cmdOK")->toolTip(), QStringLiteral("Exit"));
    QCOMPARE(rig.Find<QGroupBox>("Frame23")->toolTip(),
             QStringLiteral("Change the sensitivity of the mouse"));
  }

  void EveryControlHasItsCaption() {
    DialogRig rig;
    rig.store.Preset("Settings", "Monitor", "Never");
    rig.Open();
    const std::vector<std::pair<const char*, const char*>> captions = {
        {"Frame1", "Calendar/Clock"},
        {"chkCalendar", "Show"},
        {"Label11", "Position on Screen"},
        {"Frame25", "Show Message"},
        {"chkShowMessage", "Show Message"},
        {"Label39", "Type your message below:"},
        {"Label38", "Font Size:"},
        {"Frame23", "Mouse Sensitivity"},
        {"lblLightTouch", "Light Touch"},
        {"lblHeavyTouch", "HeavyTouch"},
        {"Frame10", "SOUND"},
        {"chkSound", "Sound On"},
        {"chkCrackle", "Crackle"},
        {"lblVolume", "Volume"},
        {"lblSoft", "Soft"},
        {"lblLoud", "Loud"},
        {"Label46", "Stop sound after:"},
        {"Label46_after", "min."},
        {"Label66",
         "This screensaver is best viewed in full color (24-bit or more). On Linux the color "
         "depth is the display server's, set when it starts; this button opens your display "
         "settings."},
        {"cmdColor", "Set Color Here"},
        {"Frame2", "Fireplace"},
        {"lblStyle_0", "Dark Marble"},
        {"lblStyle_1", "Light Marble "},
        {"lblStyle_2", "Light Colored River Rock"},
        {"lblStyle_3", "Dark Colored River Rock"},
        {"lblStyle_4", "Flat Stone"},
        {"lblStyle_5", "Old Rock"},
        {"Label9", "No Mantle"},
        {"Label13", "No Mantle"},
        {"chkRotate", "Rotate Fireplaces........."},
        {"Label21", "Every"},
        {"Label21_after", "Minute(s)"},
        {"Frame3", "Flame Speed"},
        {"lblSlow", "Slow"},
        {"lblFast", "Fast"},
        {"chkEndIron", "Show Andirons"},
        {"chkFillWide", "Fill wide screens"},
        {"chkFirelight", "Firelight"},
        {"chkEmbers", "Embers"},
        {"chkLivingFlame", "Flame never repeats"},
        {"Label10",
         "If you want your computer to continue shutting down you must set these values"},
        {"Frame12", "Power Management Users"},
        {"Label6", "Do you use Power Management?"},
        {"chkPower", ""},
        {"Label29", "Screensaver set to activate"},
        {"Label29_after", "after computer is idle"},
        {"Label7", "Click this button:"},
        {"Label7_after",
         "If any setting has a value other than NEVER please set the below drop down list to "
         "the same value."},
        {"cmdSeePM", "&Set Power Management"},
        {"cmdPMHelp", "Power Management HEL&P"},
        {"Frame7", "Music"},
        {"Check1", "Music On"},
        {"Frame6", "Poinsettias"},
        {"chkPoin_0", "Left"},
        {"chkPoin_1", "Right"},
        {"Frame5", "Bells"},
        {"chkBells_0", "Left"},
        {"chkBells_1", "Right"},
        {"Frame4", "Stockings"},
        {"chkStocking_0", "Show Stocking 1"},
        {"chkStocking_3", "Show Stocking 4"},
        {"lblAdjustLocation", "Adjust Location"},
        {"lblHigher", "Higher"},
        {"lblLower", "Lower"},
    };
    for (const auto& [name, caption] : captions) {
      auto* widget = rig.Find<QWidget>(name);
      QVERIFY2(widget, name);
      QCOMPARE(Text(widget), QString::fromLatin1(caption));
    }
    for (int i = 0; i < 6; ++i) {
      QCOMPARE(rig.Find<QCheckBox>(("chkFP_" + std::to_string(i)).c_str())->text(),
               QStringLiteral("Show Fireplace"));
    }
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(rig.Find<QCheckBox>(("chkMantle_" + std::to_string(i)).c_str())->text(),
               QStringLiteral("Show Mantle"));
      QVERIFY(rig.Find<QRadioButton>(("optCal_" + std::to_string(i)).c_str()));
    }
    QVERIFY(rig.Find<QWidget>("Shape1"));
    QVERIFY(rig.Find<QScrollBar>("hsbMouseS") && rig.Find<QLineEdit>("txtMouseS"));
    QVERIFY(rig.Find<QScrollBar>("hsbVol") && rig.Find<QLineEdit>("txtVol"));
    QVERIFY(rig.Find<QScrollBar>("hsbFlame") && rig.Find<QLineEdit>("txtFlame"));
    QVERIFY(rig.Find<QScrollBar>("vsbStocking"));
    QVERIFY(rig.Find<QLineEdit>("txtMessage") && rig.Find<QLineEdit>("txtFontSizeMsg"));
    QVERIFY(rig.Find<QLabel>("lblSStime"));

    auto* note = rig.Find<QLabel>("Text1");
    QVERIFY(note);
    QCOMPARE(note->text(), QStringLiteral(" While the screensaver is running:\n"
                                          " Press the \"Q\" key to stop the sound\n"
                                          " Press the \"S\" key to start the sound"));
    QVERIFY(rig.Find<QLabel>("Label14")->text().startsWith(
        QStringLiteral("This screensaver keeps drawing the fire and playing its sound")));
    QVERIFY(rig.Find<QLabel>("Label5")->text().startsWith(
        QStringLiteral("Examples would having your monitor or hard disk")));

    // The lists' entries, in order.
    auto entries = [](QComboBox* list) {
      QStringList all;
      for (int i = 0; i < list->count(); ++i) all << list->itemText(i);
      return all.join(QLatin1Char('|'));
    };
    QCOMPARE(entries(rig.Find<QComboBox>("cboSoundOff")),
             QStringLiteral("Never|1|2|3|4|5|10|15|20|30|45|60|90|120|180|240|300|360|420|480"));
    QCOMPARE(entries(rig.Find<QComboBox>("cboRotate")),
             QStringLiteral("1|2|3|4|5|6|7|8|9|10|15|20|30|45|60"));
    QCOMPARE(entries(rig.Find<QComboBox>("cboMonitor")),
             QStringLiteral("1 Minute|2 Minutes|3 Minutes|5 Minutes|10 Minutes|15 Minutes|"
                            "20 Minutes|25 Minutes|30 Minutes|45 Minutes|1 hour|2 hours|3 hours|"
                            "4 hours|5 hours|Never"));
  }

  void CarolsStandInThreeColumnsOfEight() {
    DialogRig rig;
    Setup& dialog = rig.Show();
    rig.Find<QTabWidget>("SSTab1")->setCurrentIndex(3);
    QApplication::processEvents();
    const char* titles[] = {"Good King Wencesles",
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
    std::vector<QPoint> at;
    for (int i = 0; i < 24; ++i) {
      auto* carol = rig.Find<QCheckBox>(("ChkMidi_" + std::to_string(i)).c_str());
      QVERIFY(carol);
      QCOMPARE(carol->text(), QString::fromLatin1(titles[i]));
      at.push_back(carol->mapTo(&dialog, QPoint(0, 0)));
    }
    for (int column = 0; column < 3; ++column) {
      for (int row = 1; row < 8; ++row) {
        const int i = column * 8 + row;
        QCOMPARE(at[i].x(), at[i - 1].x());
        QVERIFY(at[i].y() > at[i - 1].y());
      }
      if (column > 0) {
        QVERIFY(at[column * 8].x() > at[(column - 1) * 8].x());
        QCOMPARE(at[column * 8].y(), at[0].y());
      }
    }
    const QPoint musicOn = rig.Find<QCheckBox>("Check1")->mapTo(&dialog, QPoint(0, 0));
    QCOMPARE(musicOn.x(), at[0].x());
    QVERIFY(musicOn.y() < at[0].y());
  }

  void OpeningLeavesTheStoreAsItWas() {
    DialogRig rig;
    // A store the user has been at: values off the first-run ones everywhere.
    rig.store.Preset("emberlrn", "ShowFP6", "1");
    rig.store.Preset("emberlrn", "ShowM4", "0");
    rig.store.Preset("emberlrn", "RotateT", "15");
    rig.store.Preset("emberlrn", "Speed", "60");
    rig.store.Preset("Settings", "Calendar", "1");
    rig.store.Preset("Settings", "CalPos", "3");
    rig.store.Preset("Settings", "FontSize", "36");
    rig.store.Preset("Settings", "Message", "Merry Christmas");
    rig.store.Preset("Settings", "Monitor", "20 Minutes");
    rig.store.Preset("Settings", "Power", "1");
    rig.store.Preset("Settings", "MouseSen", "2");
    rig.store.Preset("Settings", "SoundOff", "45");
    rig.store.Preset("Settings", "Vol", "0");
    rig.store.Preset("xmas", "Midi3", "1");
    rig.store.Preset("xmas", "Bell2", "1");
    rig.store.Preset("xmas", "StockLoc", "-20");
    rig.store.Preset("xmas", "SoundOn", "False");
    const auto before = Snapshot(rig.store);
    rig.desktop.SetWait(600);
    rig.Open();
    QCOMPARE(Snapshot(rig.store), before);
    // "Crackle" is missing, which means on, and stays missing.
    QVERIFY(rig.Find<QCheckBox>("chkCrackle")->isChecked());
    // Only what the load changed was written, each with the value it had.
    for (const auto& write : rig.store.writes) {
      QCOMPARE(write.value, before.at(write.section + "/" + write.key));
    }
    QVERIFY(rig.messages.shown.empty());
  }

  void ControlsShowTheStoredValues() {
    DialogRig rig;
    rig.store.Preset("emberlrn", "Speed", "60");
    rig.store.Preset("emberlrn", "RotateT", "15");
    rig.store.Preset("Settings", "Message", "Merry Christmas");
    rig.store.Preset("Settings", "FontSize", "24");
    rig.store.Preset("Settings", "MouseSen", "7");
    rig.store.Preset("Settings", "Vol", "-500");
    rig.store.Preset("Settings", "SoundOff", "90");
    rig.store.Preset("Settings", "Monitor", "2 hours");
    rig.store.Preset("Settings", "Power", "1");
    rig.store.Preset("xmas", "StockLoc", "40");
    rig.store.Preset("xmas", "ShowS2", "1");
    rig.store.Preset("xmas", "Poin1", "1");
    rig.store.Preset("Settings", "Crackle", "0");
    Setup& dialog = rig.Open();
    QVERIFY(!rig.Find<QCheckBox>("chkCrackle")->isChecked());
    QCOMPARE(rig.Find<QLineEdit>("txtMessage")->text(), QStringLiteral("Merry Christmas"));
    QCOMPARE(rig.Find<QLineEdit>("txtFontSizeMsg")->text(), QStringLiteral("24"));
    QCOMPARE(BarValue(*rig.Find<QScrollBar>("hsbFlame")), 60);
    QCOMPARE(rig.Find<QLineEdit>("txtFlame")->text(), QStringLiteral("60"));
    QCOMPARE(BarValue(*rig.Find<QScrollBar>("hsbMouseS")), 7);
    QCOMPARE(rig.Find<QLineEdit>("txtMouseS")->text(), QStringLiteral("7"));
    QCOMPARE(dialog.MouseSensValue(), 7);
    QCOMPARE(BarValue(*rig.Find<QScrollBar>("hsbVol")), -500);
    QCOMPARE(rig.Find<QLineEdit>("txtVol")->text(), QStringLiteral("-500"));
    QCOMPARE(BarValue(*rig.Find<QScrollBar>("vsbStocking")), 40);
    QCOMPARE(rig.Find<QComboBox>("cboRotate")->currentText(), QStringLiteral("15"));
    QCOMPARE(rig.Find<QComboBox>("cboSoundOff")->currentText(), QStringLiteral("90"));
    QCOMPARE(rig.Find<QComboBox>("cboMonitor")->currentText(), QStringLiteral("2 hours"));
    QVERIFY(rig.Find<QComboBox>("cboMonitor")->isEnabled());
    QVERIFY(rig.Find<QCheckBox>("chkPower")->isChecked());
    QVERIFY(rig.Find<QCheckBox>("chkStocking_1")->isChecked());
    QVERIFY(!rig.Find<QCheckBox>("chkStocking_0")->isChecked());
    QVERIFY(rig.Find<QCheckBox>("chkPoin_0")->isChecked());
    QVERIFY(rig.Find<QCheckBox>("chkFP_4")->isChecked());
    QVERIFY(!rig.Find<QCheckBox>("chkFP_5")->isChecked());
    QVERIFY(rig.Find<QRadioButton>("optCal_1")->isChecked());
    QCOMPARE(dialog.CalPosText(), std::string("1"));
  }

  void ValueBoxesShowBarsThatDidNotMove() {
    DialogRig rig;
    rig.store.Preset("Settings", "MouseSen", "2");
    rig.store.Preset("Settings", "Vol", "0");
    rig.store.Preset("emberlrn", "Speed", "25");
    rig.Open();
    QCOMPARE(rig.Find<QLineEdit>("txtMouseS")->text(), QStringLiteral("2"));
    QCOMPARE(rig.Find<QLineEdit>("txtVol")->text(), QStringLiteral("0"));
    QCOMPARE(rig.Find<QLineEdit>("txtFlame")->text(), QStringLiteral("25"));
  }

  void EdgeCasesOfTheLoad() {
    {  // "0" for the stop-sound time shows as "Never".
      DialogRig rig;
      rig.store.Preset("Settings", "SoundOff", "0");
      rig.Open();
      QCOMPARE(rig.Find<QComboBox>("cboSoundOff")->currentText(), QStringLiteral("Never"));
      QCOMPARE(rig.store.Value("Settings", "SoundOff"), std::string("0"));
    }
    {  // CalPos "2": the top-right button, and the store keeps "2".
      DialogRig rig;
      rig.store.Preset("Settings", "CalPos", "2");
      Setup& dialog = rig.Open();
      QVERIFY(rig.Find<QRadioButton>("optCal_2")->isChecked());
      for (int i : {0, 1, 3}) {
        QVERIFY(!rig.Find<QRadioButton>(("optCal_" + std::to_string(i)).c_str())->isChecked());
      }
      QCOMPARE(rig.store.Value("Settings", "CalPos"), std::string("2"));
      QCOMPARE(dialog.CalPosText(), std::string("2"));
    }
    {  // Power "0": the monitor list is greyed out.
      DialogRig rig;
      rig.store.Preset("Settings", "Power", "0");
      rig.Open();
      QVERIFY(!rig.Find<QComboBox>("cboMonitor")->isEnabled());
      QVERIFY(!rig.Find<QCheckBox>("chkPower")->isChecked());
    }
    {  // A Monitor text that is no entry is shown as it is, and not written.
      DialogRig rig;
      rig.store.Preset("Settings", "Monitor", "1");
      rig.store.Preset("Settings", "Power", "1");
      rig.Open();
      QCOMPARE(rig.Find<QComboBox>("cboMonitor")->currentText(), QStringLiteral("1"));
      for (const auto& write : rig.store.writes) QVERIFY(write.key != "Monitor");
      QCOMPARE(rig.store.Value("Settings", "Monitor"), std::string("1"));
    }
    {  // AndIron missing: unchecked, and nothing is written for it.
      DialogRig rig;
      MemoryStore& store = rig.store;
      store = MemoryStore();
      for (const SettingDefault& setting : FirstRunValues()) {
        if (setting.key != "AndIron") store.Preset(setting.section, setting.key, setting.value);
      }
      rig.Open();
      QVERIFY(!rig.Find<QCheckBox>("chkEndIron")->isChecked());
      QVERIFY(!rig.store.Has("emberlrn", "AndIron"));
      for (const auto& write : rig.store.writes) QVERIFY(write.key != "AndIron");
    }
    {  // The living fire's switches missing: ticked, and they stay missing.
      const char* const switches[] = {"FillWide", "Firelight", "Embers", "LivingFlame"};
      DialogRig rig;
      rig.store = MemoryStore();
      for (const SettingDefault& setting : FirstRunValues()) {
        if (std::find(std::begin(switches), std::end(switches), setting.key) ==
            std::end(switches)) {
          rig.store.Preset(setting.section, setting.key, setting.value);
        }
      }
      rig.Open();
      for (const char* key : switches) {
        QVERIFY2(rig.Find<QCheckBox>(("chk" + std::string(key)).c_str())->isChecked(), key);
        QVERIFY2(!rig.store.Has("emberlrn", key), key);
      }
    }
    {  // Stored as "0": unticked; any other text reads as the first-run "1".
      DialogRig rig;
      rig.store.Preset("emberlrn", "FillWide", "0");
      rig.store.Preset("emberlrn", "Firelight", "0");
      rig.store.Preset("emberlrn", "Embers", "0");
      rig.store.Preset("emberlrn", "LivingFlame", "never");
      rig.Open();
      QVERIFY(!rig.Find<QCheckBox>("chkFillWide")->isChecked());
      QVERIFY(!rig.Find<QCheckBox>("chkFirelight")->isChecked());
      QVERIFY(!rig.Find<QCheckBox>("chkEmbers")->isChecked());
      QVERIFY(rig.Find<QCheckBox>("chkLivingFlame")->isChecked());
    }
    {  // xmas/SoundOn "1": "Music On" is checked and the store holds "True".
      DialogRig rig;
      rig.store.Preset("xmas", "SoundOn", "1");
      Setup& dialog = rig.Open();
      QVERIFY(rig.Find<QCheckBox>("Check1")->isChecked());
      QVERIFY(dialog.MusicOn());
      QCOMPARE(rig.store.Value("xmas", "SoundOn"), std::string("True"));
      QCOMPARE(rig.store.Value("Settings", "SoundOn"), std::string("1"));
    }
  }

  void StoreTheSaverNeverFilled() {
    // The first-run values go in first, so the saver's first start keeps
    // whatever is chosen here, and the dialog shows them.
    DialogRig rig;
    rig.store = MemoryStore();
    rig.store.Preset("Settings", "Message", "typed before any saver ran");
    rig.Open();
    QCOMPARE(rig.store.Value("Settings", "SetReg"), std::string("2"));
    QCOMPARE(rig.store.Value("Settings", "Message"), std::string("Place a message here"));
    QCOMPARE(rig.Find<QLineEdit>("txtMessage")->text(), QStringLiteral("Place a message here"));
    QCOMPARE(BarValue(*rig.Find<QScrollBar>("hsbMouseS")), 4);
    QCOMPARE(BarValue(*rig.Find<QScrollBar>("hsbFlame")), 100);
    QCOMPARE(BarValue(*rig.Find<QScrollBar>("hsbVol")), -1667);
    QCOMPARE(BarValue(*rig.Find<QScrollBar>("vsbStocking")), 19);
    QCOMPARE(rig.Find<QComboBox>("cboSoundOff")->currentText(), QStringLiteral("Never"));
    QCOMPARE(rig.Find<QComboBox>("cboMonitor")->currentText(), QStringLiteral("Never"));
    QCOMPARE(rig.Find<QComboBox>("cboRotate")->currentText(), QStringLiteral("1"));
    QVERIFY(!rig.Find<QCheckBox>("Check1")->isChecked());
    QVERIFY(rig.Find<QCheckBox>("chkSound")->isChecked());
    QVERIFY(!rig.Find<QCheckBox>("chkFP_5")->isChecked());
    QVERIFY(!rig.Find<QComboBox>("cboMonitor")->isEnabled());
    // Opening again changes nothing more.
    const auto after = Snapshot(rig.store);
    const size_t writes = rig.store.writes.size();
    rig.Open();
    QCOMPARE(Snapshot(rig.store), after);
    for (size_t i = writes; i < rig.store.writes.size(); ++i) {
      const auto& w = rig.store.writes[i];
      QCOMPARE(w.value, after.at(w.section + "/" + w.key));
    }
  }

  void MalformedValuesAreShownSensiblyAndNeverCrash() {
    DialogRig rig;
    rig.store.Preset("Settings", "MouseSen", "1");     // below the bar
    rig.store.Preset("Settings", "Vol", "5000");       // above the bar
    rig.store.Preset("emberlrn", "Speed", "fast");     // no number
    rig.store.Preset("xmas", "StockLoc", "99999999");  // far below the bar
    rig.store.Preset("Settings", "CalPos", "7");       // no corner
    rig.store.Preset("Settings", "Calendar", "yes");   // no number
    rig.store.Preset("emberlrn", "ShowFP1", "2");      // not 1
    rig.store.Preset("xmas", "SoundOn", "maybe");      // no truth
    rig.store.Preset("Settings", "SoundOff", "");      // empty
    rig.store.Preset("emberlrn", "RotateT", "\x01\xff");
    rig.store.Preset("Settings", "FontSize", "huge");
    rig.Open();
    // Bars show the nearest value they can, and the store gets what they show.
    QCOMPARE(BarValue(*rig.Find<QScrollBar>("hsbMouseS")), 2);
    QCOMPARE(rig.store.Value("Settings", "MouseSen"), std::string("2"));
    QCOMPARE(BarValue(*rig.Find<QScrollBar>("hsbVol")), 0);
    QCOMPARE(rig.store.Value("Settings", "Vol"), std::string("0"));
    QCOMPARE(BarValue(*rig.Find<QScrollBar>("hsbFlame")), 100);
    QCOMPARE(rig.store.Value("emberlrn", "Speed"), std::string("100"));
    QCOMPARE(BarValue(*rig.Find<QScrollBar>("vsbStocking")), 100);
    QCOMPARE(rig.store.Value("xmas", "StockLoc"), std::string("100"));
    // A corner that is none is the first-run corner.
    QVERIFY(rig.Find<QRadioButton>("optCal_1")->isChecked());
    QCOMPARE(rig.store.Value("Settings", "CalPos"), std::string("1"));
    // Flags read as the saver reads them.
    QVERIFY(!rig.Find<QCheckBox>("chkCalendar")->isChecked());
    QVERIFY(!rig.Find<QCheckBox>("chkFP_0")->isChecked());
    QVERIFY(!rig.Find<QCheckBox>("Check1")->isChecked());
    QCOMPARE(rig.Find<QComboBox>("cboSoundOff")->currentText(), QStringLiteral("Never"));
    QCOMPARE(rig.Find<QComboBox>("cboRotate")->currentText(), QStringLiteral("1"));
    // A font size that is none is the size the saver draws, and is stored.
    QCOMPARE(rig.Find<QLineEdit>("txtFontSizeMsg")->text(), QStringLiteral("18"));
    QCOMPARE(rig.store.Value("Settings", "FontSize"), std::string("18"));
  }

  // Values the dialog never writes, as a hand-edited file holds them: each
  // control shows what the saver does with the value.
  void ControlsShowWhatTheSaverMakesOfOddValues() {
    struct Case {
      const char* section;
      const char* key;
      const char* stored;
      const char* control;
      const char* shown;
    };
    const Case cases[] = {
        {"Settings", "SoundOff", "-5", "cboSoundOff", "Never"},
        {"Settings", "SoundOff", "0", "cboSoundOff", "Never"},
        {"Settings", "SoundOff", "abc", "cboSoundOff", "Never"},
        {"Settings", "SoundOff", "25", "cboSoundOff", "25"},
        {"Settings", "SoundOff", " 2.50 ", "cboSoundOff", "2.5"},
        {"Settings", "SoundOff", "1000", "cboSoundOff", "480"},
        {"emberlrn", "RotateT", "600", "cboRotate", "546"},
        {"emberlrn", "RotateT", "-5", "cboRotate", "0"},
        {"emberlrn", "RotateT", "2.5", "cboRotate", "2"},
        {"Settings", "Vol", "-5000", "hsbVol", "-2500"},
        {"emberlrn", "Speed", "1", "hsbFlame", "25"},
        {"Settings", "FontSize", "0", "txtFontSizeMsg", "18"},
        {"Settings", "FontSize", "1000", "txtFontSizeMsg", "400"},
        {"Settings", "MouseSen", "0", "hsbMouseS", "2"},
        {"Settings", "MouseSen", "50", "hsbMouseS", "20"},
        {"xmas", "StockLoc", "500", "vsbStocking", "100"},
        {"Settings", "CalPos", "-1", "optCal_1", "checked"},
        {"Settings", "CalPos", "2.6", "optCal_3", "checked"},
        {"xmas", "Bell1", "1.4", "chkBells_0", "unchecked"},
        {"xmas", "Poin2", "1.0", "chkPoin_1", "checked"},
    };
    QStringList differ;
    for (const Case& c : cases) {
      DialogRig rig;
      rig.store.Preset(c.section, c.key, c.stored);
      rig.Open();
      QWidget* control = rig.Find<QWidget>(c.control);
      QString shown = Text(control);
      if (auto* bar = qobject_cast<QScrollBar*>(control)) shown = QString::number(BarValue(*bar));
      if (auto* button = qobject_cast<QAbstractButton*>(control); button && button->isCheckable()) {
        shown = button->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
      }
      if (shown != QLatin1String(c.shown)) {
        differ << QStringLiteral("%1=\"%2\" shows \"%3\"").arg(c.key, c.stored, shown);
      }
    }
    QCOMPARE(differ.join(QStringLiteral("; ")), QString());
  }

  void MissingPictureLeavesAnEmptyFrameAndOneLine() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (int n = 1; n <= 5; ++n) {
      QImage image(54, 54, QImage::Format_RGB32);
      image.fill(QColor(40 * n, 20, 10));
      QVERIFY(image.save(folder.filePath(QStringLiteral("thumb%1.png").arg(n))));
    }
    DialogRig rig;
    std::ostringstream told;
    std::streambuf* before = std::cerr.rdbuf(told.rdbuf());
    rig.Open(QDir(folder.path()).absolutePath().toStdString() + "/");
    std::cerr.rdbuf(before);
    for (int i = 0; i < 5; ++i) {
      auto* picture = rig.Find<QLabel>(("imgStyle_" + std::to_string(i)).c_str());
      QVERIFY(picture);
      QCOMPARE(picture->pixmap().size(), QSize(54, 54));
    }
    auto* missing = rig.Find<QLabel>("imgStyle_5");
    QVERIFY(missing->pixmap().isNull());
    QCOMPARE(missing->size(), rig.Find<QLabel>("imgStyle_0")->size());
    const std::string line = told.str();
    QVERIFY2(line.find("thumb6.png") != std::string::npos, line.c_str());
    QVERIFY(line.find("thumb5.png") == std::string::npos);
    QCOMPARE(std::count(line.begin(), line.end(), '\n'), 1L);
  }
};

QTEST_MAIN(SetupLoadTest)
#include "test_setup_load.moc"
