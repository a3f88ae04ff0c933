// Every text a user reads, in the dialog, its messages, the display's error
// box and the help pages, speaks of the Linux desktop it runs on: none names
// the Windows machinery the saver once ran on.

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "scene/display_session.h"
#include "setup_test_support.h"

using namespace emberlrn;
using namespace emberlrn::testing;

namespace {

const char* const kForeignWords[] = {"DirectX", "Windows", "Direct Draw", "DirectDraw",
                                     "Microsoft"};

// The first foreign word in text, or an empty string.
QString ForeignWordIn(const QString& text) {
  for (const char* word : kForeignWords) {
    if (text.contains(QLatin1String(word))) return QString::fromLatin1(word);
  }
  return {};
}

// Everything the dialog's window shows: captions, labels, tooltips, accessible
// names, tab names and list entries.
QStringList WindowTexts(QWidget& dialog) {
  QStringList texts{dialog.windowTitle()};
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    texts << widget->toolTip() << widget->accessibleName();
    if (auto* label = qobject_cast<QLabel*>(widget)) texts << label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts << button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) texts << group->title();
    if (auto* box = qobject_cast<QLineEdit*>(widget)) texts << box->text();
    if (auto* list = qobject_cast<QComboBox*>(widget)) {
      for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
      for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
    }
  }
  return texts;
}

}  // namespace

class SetupWordsTest : public QObject {
  Q_OBJECT

 private slots:
  void TheDialogAndEveryMessageSpeakOfLinux() {
    QStringList texts;
    // A dialog that shows every message it has: the equal-time warning at
    // opening, "WHY?", the About box, and each button without its program.
    DialogRig rig;
    rig.desktop.SetWait(60);
    rig.desktop.monitorPower = x11::MonitorPowerTimes{true, 300, 600, 900};
    rig.store.Preset("Settings", "Power", "1");
    rig.store.Preset("Settings", "Monitor", "1 Minute");
    Setup& dialog = rig.Show();
    texts << WindowTexts(dialog);
    rig.Find<QTabWidget>("SSTab1")->setCurrentIndex(2);
    QApplication::processEvents();
    QVERIFY(PickEntry(rig.Find<QComboBox>("cboMonitor"), QStringLiteral("1 Minute")));
    rig.desktop.nothingInstalled = true;
    for (const char* name :
         {"cmdSeePM", "cmdPMHelp", "cmdColor", "Command2", "cmdWebsite", "cmdAbout"}) {
      auto* button = rig.Find<QPushButton>(name);
      QVERIFY2(button, name);
      emit button->clicked();
    }
    QCOMPARE(rig.messages.Titles(),
             (QStringList{"WARNING!", "WARNING!", "WHY?", "Set Power Management",
                          "Power Management HELP", "Set Color Here", "Help", "Our website",
                          "About Emberlorn"}));
    for (const auto& shown : rig.messages.shown) {
      texts << QString::fromStdString(shown.title) << QString::fromStdString(shown.text);
    }
    // The display's error box, at each depth it can refuse.
    texts << QString::fromUtf8(kDirectDrawErrorTitle.data(), kDirectDrawErrorTitle.size());
    for (const int depth : {32, 24, 16}) {
      texts << QString::fromStdString(DirectDrawErrorText(depth));
    }
    for (const QString& text : texts) {
      QVERIFY2(ForeignWordIn(text).isEmpty(), qPrintable(ForeignWordIn(text) + ": " + text));
    }
  }

  void TheHelpPagesSpeakOfLinux() {
    for (const char* page : {"help.htm", "power_help.htm"}) {
      QFile file(QString::fromLatin1(EMBERLRN_HELP_SOURCE_DIR) + QString::fromLatin1(page));
      QVERIFY2(file.open(QIODevice::ReadOnly), page);
      const QString text = QString::fromUtf8(file.readAll());
      QVERIFY2(ForeignWordIn(text).isEmpty(),
               qPrintable(QString::fromLatin1(page) + ": " + ForeignWordIn(text)));
    }
  }
};

QTEST_MAIN(SetupWordsTest)
#include "test_setup_words.moc"
