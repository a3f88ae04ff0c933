// The live preview beside the tabs: each control's change shows in the
// pane where the saver draws it, and only there; the flame moves by itself.
// A clock that stands still keeps the flame and the calendar's time from
// changing the pane while a control is looked at.

#include <QCheckBox>
#include <QImage>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include "fakes/fake_clock.h"
#include "scene/scene_layout.h"
#include "setup/live_preview.h"
#include "setup_test_support.h"

using namespace emberlrn;
using namespace emberlrn::testing;

namespace {

QImage Grab(LivePreview* pane) {
  return pane->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The smallest rectangle holding every pixel that differs; empty when none does.
QRect DiffBox(const QImage& a, const QImage& b) {
  QRect box;
  for (int y = 0; y < a.height(); ++y) {
    const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      if (rowA[x] != rowB[x]) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

// A dialog whose preview stands still unless a control changes it.
struct PreviewRig : DialogRig {
  FakeClock clock;
  LivePreview* pane = nullptr;

  LivePreview* ShowStill() {
    Show();
    pane = Find<LivePreview>("picPreview");
    pane->UseClock(clock);
    return pane;
  }
  // A rectangle of the 800 x 600 canvas in the pane's pixels, a pixel wider
  // all round for the smoothing of the scaled pictures.
  QRect InPane(int x, int y, int w, int h) const {
    const double s = pane->width() / double(kSceneWidth);
    return QRect(QPoint(int(x * s) - 1, int(y * s) - 1),
                 QPoint(int((x + w) * s) + 1, int((y + h) * s) + 1));
  }
  // What the pane changed once the control's change has been drawn.
  template <typename Change>
  QRect ChangeShown(Change change) {
    QTest::qWait(50);
    const QImage before = Grab(pane);
    change();
    QRect box;
    [&] { QTRY_VERIFY_WITH_TIMEOUT(!(box = DiffBox(before, Grab(pane))).isEmpty(), 2000); }();
    return box;
  }
};

constexpr int kBellWidth = 82, kBellHeight = 134;
constexpr int kStockingWidth = 104, kStockingHeight = 178;

}  // namespace

class SetupPreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void BellsLeftHangsInTheTopLeftCorner() {
    PreviewRig rig;
    rig.ShowStill();
    const QRect box = rig.ChangeShown([&] { ClickIndicator(rig.Find<QCheckBox>("chkBells_0")); });
    QVERIFY2(rig.InPane(kBellrAt.x, kBellrAt.y, kBellWidth, kBellHeight).contains(box),
             qPrintable(QStringLiteral("changed %1,%2 %3x%4")
                            .arg(box.x())
                            .arg(box.y())
                            .arg(box.width())
                            .arg(box.height())));
    QVERIFY(box.width() > rig.pane->width() / 40);
  }

  void StockingBarMovesTheStockings() {
    PreviewRig rig;
    rig.store.Preset("xmas", "ShowS1", "1");
    rig.ShowStill();
    auto* bar = rig.Find<QScrollBar>("vsbStocking");
    const int top = BarValue(*bar);
    const QRect box = rig.ChangeShown([&] {
      for (int i = 0; i < 20; ++i) ClickArrow(bar, QStyle::SC_ScrollBarAddLine);
    });
    const int lower = BarValue(*bar);
    QVERIFY(lower > top);
    // The first stocking's old place and its new one, lower down.
    QVERIFY(rig.InPane(kStockingX[0], top, kStockingWidth, lower - top + kStockingHeight)
                .contains(box));
    QVERIFY(box.height() > 0 && box.top() <= rig.InPane(0, top, 1, 1).bottom());
  }

  void AnotherCornerMovesTheCalendar() {
    PreviewRig rig;
    rig.store.Preset("Settings", "Calendar", "1");
    rig.store.Preset("Settings", "CalPos", "0");
    rig.ShowStill();
    const QRect box = rig.ChangeShown([&] { ClickIndicator(rig.Find<QRadioButton>("optCal_3")); });
    const QRect from =
        rig.InPane(kCalendarAt[0].x, kCalendarAt[0].y, kCalendarWidth, kCalendarHeight);
    const QRect to =
        rig.InPane(kCalendarAt[3].x, kCalendarAt[3].y, kCalendarWidth, kCalendarHeight);
    QVERIFY((from | to).contains(box));
    QVERIFY(box.intersects(from) && box.intersects(to));
  }

  void TickedStyleComesOnAtOnceAndTheFlameMovesWhileShown() {
    DialogRig rig;
    rig.store.Preset("emberlrn", "Speed", "25");
    rig.store.Preset("emberlrn", "ShowFP5", "0");
    rig.Show();
    auto* pane = rig.Find<LivePreview>("picPreview");
    QCOMPARE(pane->StyleShown(), 1);
    ClickIndicator(rig.Find<QCheckBox>("chkFP_4"));
    QCOMPARE(pane->StyleShown(), 5);

    QTest::qWait(100);
    const QImage first = Grab(pane);
    QTest::qWait(200);
    const QRect flame(kFlameAt.x, kFlameAt.y, 660, 520);
    const double s = pane->width() / double(kSceneWidth);
    const QRect inPane(int(flame.x() * s), int(flame.y() * s), int(flame.width() * s),
                       int(flame.height() * s));
    QVERIFY(DiffBox(first, Grab(pane)).intersects(inPane));

    QVERIFY(pane->Animating());
    rig.dialog->hide();
    QVERIFY(!pane->Animating());
  }

  void ListenStartsOffWritesNothingAndEndsWithTheDialog() {
    DialogRig rig;
    rig.Show();
    auto* listen = rig.Find<QCheckBox>("chkListen");
    QVERIFY(!listen->isChecked());
    const size_t from = rig.store.writes.size();
    ClickIndicator(listen);
    QVERIFY(listen->isChecked());
    ClickArrow(rig.Find<QScrollBar>("hsbVol"), QStyle::SC_ScrollBarAddLine);
    const QStringList heard = rig.Writes(from);
    rig.dialog->close();
    QVERIFY(!listen->isChecked());
    // Only the volume bar stored its value; listening stored nothing.
    QCOMPARE(heard.size(), 1);
    QVERIFY(heard.front().startsWith(QStringLiteral("Settings/Vol=")));
    QCOMPARE(rig.Writes(from), heard);
  }
};

QTEST_MAIN(SetupPreviewTest)
#include "test_setup_preview.moc"
