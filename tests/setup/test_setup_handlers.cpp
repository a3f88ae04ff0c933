// The settings dialog's handlers, driven as a user drives them: every change
// is in the store at once, lists store only a pick, and closing writes
// nothing.

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "setup_test_support.h"

using namespace emberlrn;
using namespace emberlrn::testing;

class SetupHandlersTest : public QObject {
  Q_OBJECT

 private slots:
  void FontSizeBoxStoresEveryKeystroke() {
    DialogRig rig;
    rig.Show();
    auto* box = rig.Find<QLineEdit>("txtFontSizeMsg");
    box->setFocus();
    box->selectAll();
    const size_t from = rig.store.writes.size();
    QTest::keyClick(box, Qt::Key_2);
    QTest::keyClick(box, Qt::Key_4);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(rig.Writes(from), (QStringList{"Settings/FontSize=2", "Settings/FontSize=24",
                                            "Settings/FontSize=2", "Settings/FontSize="}));
    QCOMPARE(rig.store.Value("Settings", "FontSize"), std::string(""));
  }

  void MessageBoxStoresTheWholeText() {
    DialogRig rig;
    rig.Show();
    auto* box = rig.Find<QLineEdit>("txtMessage");
    box->setFocus();
    box->selectAll();
    const size_t from = rig.store.writes.size();
    QTest::keyClicks(box, QStringLiteral("Hi!"));
    QCOMPARE(rig.Writes(from),
             (QStringList{"Settings/Message=H", "Settings/Message=Hi", "Settings/Message=Hi!"}));
  }

  void DraggedVolumeThumbStoresAsItGoes() {
    DialogRig rig;
    rig.store.Preset("Settings", "Vol", "-2500");
    rig.Show();
    auto* bar = rig.Find<QScrollBar>("hsbVol");
    auto* box = rig.Find<QLineEdit>("txtVol");
    QCOMPARE(BarValue(*bar), -2500);
    const size_t from = rig.store.writes.size();
    bool boxFollowed = true;
    DragThumbToRightEnd(bar, 10, [&] {
      boxFollowed = boxFollowed && box->text() == QString::number(BarValue(*bar)) &&
                    rig.store.Value("Settings", "Vol") == std::to_string(BarValue(*bar));
    });
    QVERIFY(boxFollowed);
    const auto writes = rig.Writes(from);
    QVERIFY2(writes.size() >= 5, std::to_string(writes.size()).c_str());
    int last = -2501;
    for (const QString& write : writes) {
      QVERIFY(write.startsWith(QStringLiteral("Settings/Vol=")));
      const int value = write.mid(13).toInt();
      QVERIFY(value > last);
      last = value;
    }
    QCOMPARE(writes.back(), QStringLiteral("Settings/Vol=0"));
    QCOMPARE(box->text(), QStringLiteral("0"));
  }

  void BarArrowsMoveByOne() {
    DialogRig rig;
    Setup& dialog = rig.Show();
    auto* mouse = rig.Find<QScrollBar>("hsbMouseS");
    size_t from = rig.store.writes.size();
    ClickArrow(mouse, QStyle::SC_ScrollBarAddLine);
    QCOMPARE(rig.Writes(from), QStringList{"Settings/MouseSen=5"});
    QCOMPARE(dialog.MouseSensValue(), 5);
    QCOMPARE(rig.Find<QLineEdit>("txtMouseS")->text(), QStringLiteral("5"));

    // The flame bar runs from "Slow" (250) at the left to "Fast" (25) at the
    // right: a step towards "Fast" stores a smaller number.
    rig.Find<QTabWidget>("SSTab1")->setCurrentIndex(1);
    QApplication::processEvents();
    auto* flame = rig.Find<QScrollBar>("hsbFlame");
    // 100 lies two thirds of the way from 250 to 25, right of the middle.
    QVERIFY(BarPart(flame, QStyle::SC_ScrollBarSlider).center().x() >
            BarPart(flame, QStyle::SC_ScrollBarGroove).center().x());
    const QRect add = BarPart(flame, QStyle::SC_ScrollBarAddLine);
    const QRect sub = BarPart(flame, QStyle::SC_ScrollBarSubLine);
    const QPoint rightArrow = (add.x() > sub.x() ? add : sub).center();
    from = rig.store.writes.size();
    SendMouse(flame, QEvent::MouseButtonPress, rightArrow, Qt::LeftButton, Qt::LeftButton);
    SendMouse(flame, QEvent::MouseButtonRelease, rightArrow, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(rig.Writes(from), QStringList{"emberlrn/Speed=99"});
    QCOMPARE(rig.Find<QLineEdit>("txtFlame")->text(), QStringLiteral("99"));

    // The stocking bar: "Higher" at the top is -20, a step down goes lower.
    rig.Find<QTabWidget>("SSTab1")->setCurrentIndex(3);
    QApplication::processEvents();
    auto* stocking = rig.Find<QScrollBar>("vsbStocking");
    from = rig.store.writes.size();
    ClickArrow(stocking, QStyle::SC_ScrollBarAddLine);
    QCOMPARE(rig.Writes(from), QStringList{"xmas/StockLoc=20"});
    QVERIFY(BarPart(stocking, QStyle::SC_ScrollBarAddLine).y() >
            BarPart(stocking, QStyle::SC_ScrollBarSubLine).y());
  }

  void StopSoundListStoresNeverAsZero() {
    DialogRig rig;
    rig.Show();
    auto* list = rig.Find<QComboBox>("cboSoundOff");
    size_t from = rig.store.writes.size();
    QVERIFY(PickEntry(list, QStringLiteral("120")));
    QCOMPARE(rig.Writes(from), QStringList{"Settings/SoundOff=120"});
    from = rig.store.writes.size();
    QVERIFY(PickEntry(list, QStringLiteral("Never")));
    QCOMPARE(rig.Writes(from), QStringList{"Settings/SoundOff=0"});
    QCOMPARE(list->currentText(), QStringLiteral("Never"));
  }

  void ArraysWriteTheirNumberedKeys() {
    DialogRig rig;
    rig.Show();
    const std::vector<std::pair<const char*, const char*>> clicks = {
        {"ChkMidi_2", "xmas/Midi3=1"},         // "Deck the Halls"
        {"chkMantle_0", "emberlrn/ShowM3=0"},  // "Light Colored River Rock"
        {"chkMantle_3", "emberlrn/ShowM6=0"},  // "Old Rock"
        {"chkFP_0", "emberlrn/ShowFP1=0"},      {"chkFP_5", "emberlrn/ShowFP6=1"},
        {"ChkMidi_0", "xmas/Midi1=1"},          {"ChkMidi_23", "xmas/Midi24=1"},
        {"chkStocking_0", "xmas/ShowS1=1"},     {"chkStocking_3", "xmas/ShowS4=1"},
        {"chkBells_0", "xmas/Bell1=1"},         {"chkBells_1", "xmas/Bell2=1"},
        {"chkPoin_0", "xmas/Poin1=1"},          {"chkPoin_1", "xmas/Poin2=1"},
        {"chkCalendar", "Settings/Calendar=1"}, {"chkShowMessage", "Settings/ShowMsg=1"},
        {"chkSound", "Settings/SoundOn=0"},     {"chkRotate", "emberlrn/RotateCk=0"},
        {"chkEndIron", "emberlrn/AndIron=0"},   {"chkCrackle", "Settings/Crackle=0"},
        {"chkFillWide", "emberlrn/FillWide=0"}, {"chkFirelight", "emberlrn/Firelight=0"},
        {"chkEmbers", "emberlrn/Embers=0"},     {"chkLivingFlame", "emberlrn/LivingFlame=0"},
        {"chkFillWide", "emberlrn/FillWide=1"}, {"chkLivingFlame", "emberlrn/LivingFlame=1"},
    };
    auto* tabs = rig.Find<QTabWidget>("SSTab1");
    for (const auto& [name, write] : clicks) {
      auto* box = rig.Find<QCheckBox>(name);
      QVERIFY2(box, name);
      for (int tab = 0; tab < tabs->count(); ++tab) {
        if (tabs->widget(tab)->isAncestorOf(box)) tabs->setCurrentIndex(tab);
      }
      QApplication::processEvents();
      const size_t from = rig.store.writes.size();
      ClickIndicator(box);
      QCOMPARE(rig.Writes(from), QStringList{QString::fromLatin1(write)});
    }
    // A second click stores the box's state again.
    auto* deck = rig.Find<QCheckBox>("ChkMidi_2");
    tabs->setCurrentIndex(3);
    QApplication::processEvents();
    const size_t from = rig.store.writes.size();
    ClickIndicator(deck);
    QCOMPARE(rig.Writes(from), QStringList{"xmas/Midi3=0"});
  }

  void MusicOnIsATruthAndLeavesTheFireSoundAlone() {
    DialogRig rig;
    rig.store.Preset("xmas", "SoundOn", "True");
    Setup& dialog = rig.Show();
    rig.Find<QTabWidget>("SSTab1")->setCurrentIndex(3);
    QApplication::processEvents();
    auto* musicOn = rig.Find<QCheckBox>("Check1");
    QVERIFY(musicOn->isChecked());
    size_t from = rig.store.writes.size();
    ClickIndicator(musicOn);
    QCOMPARE(rig.Writes(from), QStringList{"xmas/SoundOn=False"});
    QVERIFY(!dialog.MusicOn());
    QCOMPARE(rig.store.Value("Settings", "SoundOn"), std::string("1"));
    from = rig.store.writes.size();
    ClickIndicator(musicOn);
    QCOMPARE(rig.Writes(from), QStringList{"xmas/SoundOn=True"});
    QVERIFY(dialog.MusicOn());
  }

  void CornerButtonsStoreTheirIndex() {
    DialogRig rig;
    Setup& dialog = rig.Show();
    const size_t from = rig.store.writes.size();
    ClickIndicator(rig.Find<QRadioButton>("optCal_3"));
    ClickIndicator(rig.Find<QRadioButton>("optCal_0"));
    QCOMPARE(rig.Writes(from), (QStringList{"Settings/CalPos=3", "Settings/CalPos=0"}));
    QCOMPARE(dialog.CalPosText(), std::string("0"));
    QVERIFY(!rig.Find<QRadioButton>("optCal_3")->isChecked());
  }

  void MonitorsListShowsAllWhenMissingAndStoresOnlyAPick() {
    DialogRig rig;
    rig.Show();
    rig.Find<QTabWidget>("SSTab1")->setCurrentIndex(1);
    QApplication::processEvents();
    auto* list = rig.Find<QComboBox>("cboMonitors");
    QVERIFY(list);
    QCOMPARE(list->currentText(), QStringLiteral("All"));
    QCOMPARE(rig.store.Value("Settings", "Monitors"), std::string("<missing>"));  // nothing written
    size_t from = rig.store.writes.size();
    QVERIFY(PickEntry(list, QStringLiteral("First only")));
    QCOMPARE(rig.Writes(from), QStringList{"Settings/Monitors=First only"});
    from = rig.store.writes.size();
    QVERIFY(PickEntry(list, QStringLiteral("All")));
    QCOMPARE(rig.Writes(from), QStringList{"Settings/Monitors=All"});

    DialogRig stored;
    stored.store.Preset("Settings", "Monitors", "First only");
    stored.Open();
    QCOMPARE(stored.Find<QComboBox>("cboMonitors")->currentText(), QStringLiteral("First only"));
  }

  void TypingIntoAListStoresNothing() {
    DialogRig rig;
    rig.Show();
    rig.Find<QTabWidget>("SSTab1")->setCurrentIndex(1);
    QApplication::processEvents();
    auto* list = rig.Find<QComboBox>("cboRotate");
    list->setFocus();
    list->lineEdit()->selectAll();
    const size_t from = rig.store.writes.size();
    QTest::keyClicks(list, QStringLiteral("7"));
    QTest::keyClick(list, Qt::Key_Return);
    rig.Find<QCheckBox>("chkRotate")->setFocus();  // the field loses focus
    QApplication::processEvents();
    QCOMPARE(list->currentText(), QStringLiteral("7"));
    QCOMPARE(rig.Writes(from), QStringList());
    QCOMPARE(rig.store.Value("emberlrn", "RotateT"), std::string("1"));
    // A pick is stored.
    QVERIFY(PickEntry(list, QStringLiteral("15")));
    QCOMPARE(rig.Writes(from), QStringList{"emberlrn/RotateT=15"});
    // Arrow keys on the list pick the next entry, as a user expects.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(rig.store.Value("emberlrn", "RotateT"), std::string("20"));
  }

  void WheelOverAClosedListChangesNothing() {
    DialogRig rig;
    rig.store.Preset("Settings", "Power", "1");
    rig.store.Preset("Settings", "Monitor", "5 Minutes");  // two notches from "WHY?"
    rig.store.Preset("Settings", "SoundOff", "10");
    rig.store.Preset("emberlrn", "RotateT", "5");
    rig.Show();
    auto* tabs = rig.Find<QTabWidget>("SSTab1");
    for (const char* name : {"cboMonitor", "cboSoundOff", "cboRotate"}) {
      auto* list = rig.Find<QComboBox>(name);
      for (int tab = 0; tab < tabs->count(); ++tab) {
        if (tabs->widget(tab)->isAncestorOf(list)) tabs->setCurrentIndex(tab);
      }
      QApplication::processEvents();
      const QString before = list->currentText();
      const size_t from = rig.store.writes.size();
      // Notches up and down, over the list's arrow and over its text field.
      for (QWidget* under :
           {static_cast<QWidget*>(list), static_cast<QWidget*>(list->lineEdit())}) {
        for (const int notch : {120, 120, 120, -120, -120, -120, -120}) {
          const QPointF at = QPointF(under->rect().center());
          QWheelEvent wheel(at, under->mapToGlobal(at), QPoint(), QPoint(0, notch), Qt::NoButton,
                            Qt::NoModifier, Qt::NoScrollPhase, false);
          QApplication::sendEvent(under, &wheel);
        }
      }
      QApplication::processEvents();
      QVERIFY2(!list->view()->isVisible(), name);
      QVERIFY2(tabs->widget(tabs->currentIndex())->isAncestorOf(list), name);
      QCOMPARE(list->currentText(), before);
      QCOMPARE(rig.Writes(from), QStringList());
    }
    QCOMPARE(rig.messages.Titles(), QStringList());
    QCOMPARE(rig.store.Value("Settings", "Monitor"), std::string("5 Minutes"));
    QCOMPARE(rig.store.Value("Settings", "SoundOff"), std::string("10"));
    QCOMPARE(rig.store.Value("emberlrn", "RotateT"), std::string("5"));
    // A pick from the open list is still stored.
    auto* monitor = rig.Find<QComboBox>("cboMonitor");
    tabs->setCurrentIndex(2);
    QApplication::processEvents();
    QVERIFY(PickEntry(monitor, QStringLiteral("10 Minutes")));
    QCOMPARE(rig.store.Value("Settings", "Monitor"), std::string("10 Minutes"));
  }

  void ClosingWritesNothingAndLosesNothing() {
    for (const bool closeBox : {true, false}) {
      DialogRig rig;
      Setup& dialog = rig.Show();
      ClickIndicator(rig.Find<QCheckBox>("chkCalendar"));
      auto* message = rig.Find<QLineEdit>("txtMessage");
      message->setFocus();
      message->selectAll();
      QTest::keyClicks(message, QStringLiteral("Noel"));
      const size_t writes = rig.store.writes.size();
      if (closeBox) {
        QCloseEvent close;
        QApplication::sendEvent(&dialog, &close);
        QVERIFY(close.isAccepted());
      } else {
        QTest::mouseClick(rig.Find<QPushButton>("cmdOK"), Qt::LeftButton);
      }
      QApplication::processEvents();
      QVERIFY(!dialog.isVisible());
      QCOMPARE(rig.store.writes.size(), writes);
      QCOMPARE(rig.store.Value("Settings", "Calendar"), std::string("1"));
      QCOMPARE(rig.store.Value("Settings", "Message"), std::string("Noel"));
    }
  }

  void ButtonsOpenHelpTheWebAndTheDesktopSettings() {
    DialogRig rig;
    rig.Show();
    const std::string folder = InstallFolder();
    QTest::mouseClick(rig.Find<QPushButton>("Command2"), Qt::LeftButton);
    QTest::mouseClick(rig.Find<QPushButton>("cmdWebsite"), Qt::LeftButton);
    rig.Find<QTabWidget>("SSTab1")->setCurrentIndex(2);
    QApplication::processEvents();
    QTest::mouseClick(rig.Find<QPushButton>("cmdPMHelp"), Qt::LeftButton);
    QTest::mouseClick(rig.Find<QPushButton>("cmdSeePM"), Qt::LeftButton);
    rig.Find<QTabWidget>("SSTab1")->setCurrentIndex(0);
    QApplication::processEvents();
    QTest::mouseClick(rig.Find<QPushButton>("cmdColor"), Qt::LeftButton);
    QCOMPARE(rig.system.opened,
             (std::vector<std::string>{folder + "help.htm", "https://www.kestrovane.com/emberlorn",
                                       folder + "power_help.htm"}));
    QCOMPARE(rig.system.ran,
             (std::vector<std::string>{"rundll32.exe shell32.dll,Control_RunDLL powercfg.cpl,,1",
                                       "rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,3"}));
    QVERIFY(rig.messages.shown.empty());
  }

  void AboutNamesTheVersionFirst() {
    DialogRig rig;
    rig.Show();
    const size_t writes = rig.store.writes.size();
    QTest::mouseClick(rig.Find<QPushButton>("cmdAbout"), Qt::LeftButton);
    QCOMPARE(rig.messages.shown.size(), size_t{1});
    const auto& about = rig.messages.shown.front();
    QCOMPARE(about.kind, std::string("Information"));
    QVERIFY(about.text.rfind("Emberlorn v " EMBERLRN_VERSION "\n", 0) == 0);
    QVERIFY(about.text.find("Kestrovane") != std::string::npos);
    QCOMPARE(rig.store.writes.size(), writes);
  }
};

QTEST_MAIN(SetupHandlersTest)
#include "test_setup_handlers.moc"
