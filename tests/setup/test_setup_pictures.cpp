// The settings dialog as users see it, at the usual font and at a large one:
// every control whole, inside its tab, and clear of its neighbours. A picture
// of each tab is kept in the build folder (setup-review/) for people to look at.

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include "setup_test_support.h"

using namespace emberlrn;
using namespace emberlrn::testing;

namespace {

const char* const kTabFiles[] = {"tab-settings", "tab-fireplace-settings", "tab-pwr-management",
                                 "tab-christmas"};

bool IsControl(const QWidget* widget) {
  const QString name = widget->objectName();
  if (name.isEmpty() || name.startsWith(QStringLiteral("qt_"))) return false;
  return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLabel*>(widget) ||
         qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
         qobject_cast<const QScrollBar*>(widget);
}

// Whether a control shows its whole caption.
bool Whole(const QWidget* widget) {
  if (auto* label = qobject_cast<const QLabel*>(widget)) {
    if (label->wordWrap()) return label->height() >= label->heightForWidth(label->width());
  }
  const QSize hint = widget->minimumSizeHint().expandedTo(
      qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLabel*>(widget)
          ? widget->sizeHint()
          : QSize());
  return widget->width() >= hint.width() && widget->height() >= hint.height();
}

}  // namespace

class SetupPicturesTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryTabLooksRight_data() {
    QTest::addColumn<double>("fontScale");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("usual font") << 1.0 << QString();
    QTest::newRow("large font") << 1.6 << QStringLiteral("-large");
  }

  void EveryTabLooksRight() {
    QFETCH(double, fontScale);
    QFETCH(QString, suffix);
    const QFont usual = QApplication::font();
    QFont font = usual;
    font.setPointSizeF(usual.pointSizeF() * fontScale);
    QApplication::setFont(font);

    DialogRig rig;
    rig.store.Preset("Settings", "Message", "Merry Christmas from the fireside");
    rig.store.Preset("Settings", "Power", "1");
    rig.store.Preset("Settings", "Monitor", "20 Minutes");
    rig.store.Preset("xmas", "Midi3", "1");
    rig.store.Preset("xmas", "ShowS1", "1");
    rig.store.Preset("xmas", "SoundOn", "True");
    rig.desktop.SetWait(600);
    rig.desktop.monitorPower = x11::MonitorPowerTimes{true, 600, 600, 1200};
    Setup& dialog = rig.Show();
    auto* tabs = rig.Find<QTabWidget>("SSTab1");
    QDir().mkpath(QStringLiteral(EMBERLRN_REVIEW_DIR));

    for (int tab = 0; tab < tabs->count(); ++tab) {
      tabs->setCurrentIndex(tab);
      QApplication::processEvents();
      QWidget* page = tabs->widget(tab);
      std::vector<QWidget*> controls;
      for (QWidget* widget : page->findChildren<QWidget*>()) {
        if (IsControl(widget) && widget->isVisible()) controls.push_back(widget);
      }
      QVERIFY(controls.size() >= 8);
      for (QWidget* control : controls) {
        const QRect box(control->mapTo(page, QPoint(0, 0)), control->size());
        const QByteArray name = control->objectName().toLatin1();
        QVERIFY2(page->rect().contains(box), name.constData());
        QVERIFY2(Whole(control), name.constData());
        for (QWidget* other : controls) {
          if (other == control || other->isAncestorOf(control) || control->isAncestorOf(other)) {
            continue;
          }
          const QRect otherBox(other->mapTo(page, QPoint(0, 0)), other->size());
          QVERIFY2(!box.intersects(otherBox),
                   (name + " overlaps " + other->objectName().toLatin1()).constData());
        }
      }
      const QImage picture = dialog.grab().toImage();
      QCOMPARE(picture.size(), dialog.size() * picture.devicePixelRatio());
      QVERIFY(picture.save(QStringLiteral(EMBERLRN_REVIEW_DIR "/") +
                           QString::fromLatin1(kTabFiles[tab]) + suffix + QStringLiteral(".png")));
    }
    // The button strip stays whole too.
    for (const char* name : {"Command2", "cmdWebsite", "cmdAbout", "cmdOK"}) {
      QVERIFY2(Whole(rig.Find<QWidget>(name)), name);
    }
    QApplication::setFont(usual);
  }
};

QTEST_MAIN(SetupPicturesTest)
#include "test_setup_pictures.moc"
