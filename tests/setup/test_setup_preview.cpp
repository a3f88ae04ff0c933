// The live preview beside the tabs: each control's change shows in the
// pane where the saver draws it, and only there; the flame moves by itself.
// A clock that stands still keeps the flame and the calendar's time from
// changing the pane while a control is looked at.

#include <QCheckBox>
#include <QImage>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <utility>

#include "fakes/fake_clock.h"
#include "scene/scene_layout.h"
#include "setup/image_ddrw.h"
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

// The preview's drawing control on its own, over pictures of one colour
// each, written for the test, at one image pixel per scene pixel.
struct CanvasRig {
  FakeClock clock;
  QTemporaryDir folder;
  ImageDDrw ddrw{clock};
  int pictures = 0;

  explicit CanvasRig(int width = kSceneWidth, int height = kSceneHeight) {
    ddrw.SetImageSize(width, height);
  }
  // A sprite showing a w x h picture of that colour at (x, y).
  int32_t Sprite(QColor colour, int w, int h, int x, int y, int loadCode) {
    QImage picture(w, h, QImage::Format_ARGB32);
    picture.fill(colour);
    const QString file = folder.filePath(QString::number(++pictures) + QStringLiteral(".png"));
    picture.save(file);
    const int32_t sprite = ddrw.CreateSprite();
    ddrw.LoadSpriteFrame(sprite, 1, file.toStdString(), loadCode);
    ddrw.SetSpriteX(sprite, x);
    ddrw.SetSpriteY(sprite, y);
    return sprite;
  }
  // One frame of these sprites and sparks ({x, y, heat}) over black.
  void Frame(std::initializer_list<int32_t> sprites, std::initializer_list<QPoint> sparks = {},
             int heat = 255) {
    ddrw.ClearBackBuffer(0);
    for (int32_t sprite : sprites) ddrw.DrawSprite(sprite);
    for (QPoint spark : sparks) ddrw.DrawSpark(spark.x(), spark.y(), heat);
    ddrw.FlipBackBuffer();
  }
  QColor At(int x, int y) const { return ddrw.Image().pixelColor(x, y); }
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

  void LightBrightensWhatIsUnderItByItsLevel() {
    CanvasRig rig;
    const int32_t wall = rig.Sprite(QColor(100, 80, 40), 800, 600, 0, 0, kLoadOpaquePanel);
    const int32_t glow = rig.Sprite(QColor(255, 128, 0), 100, 100, 200, 200, kLoadLight);
    QVERIFY(!rig.ddrw.FrameBrightness(glow, 1).has_value());  // not read yet
    rig.Frame({wall, glow});
    // out = c + c * colour / 255 * alpha / 255 * level / 255, the level starting full.
    QCOMPARE(rig.At(250, 250), QColor(200, 120, 40));
    QCOMPARE(rig.At(150, 250), QColor(100, 80, 40));
    QCOMPARE(rig.ddrw.FrameBrightness(glow, 1), std::optional<int>(151));
    QCOMPARE(rig.ddrw.FrameBrightness(wall, 1), std::optional<int>(81));
    QVERIFY(!rig.ddrw.FrameBrightness(glow, 2).has_value());

    rig.ddrw.SetSpriteLevel(glow, 51);
    rig.Frame({wall, glow});
    QCOMPARE(rig.At(250, 250), QColor(120, 88, 40));
    rig.ddrw.SetSpriteLevel(glow, 0);
    rig.Frame({wall, glow});
    QCOMPARE(rig.At(250, 250), QColor(100, 80, 40));
    // Light on black stays black.
    rig.ddrw.SetSpriteLevel(glow, 255);
    rig.Frame({glow});
    QCOMPARE(rig.At(250, 250), QColor(Qt::black));
  }

  void SparksAddLightThatCoolsToRedAndAskForTheirFrame() {
    CanvasRig rig;
    rig.Frame({}, {QPoint(400, 300)});
    const QColor hot = rig.At(400, 300);
    QVERIFY2(hot.red() > 200 && hot.green() > 180 && hot.blue() > 80, qPrintable(hot.name()));
    QCOMPARE(rig.At(410, 300), QColor(Qt::black));
    rig.Frame({}, {QPoint(400, 300)}, 40);
    const QColor cool = rig.At(400, 300);
    QVERIFY2(cool.red() > 2 * cool.green() && cool.red() < hot.red() && cool.blue() < 10,
             qPrintable(cool.name()));
    // Added to what is there, over a wall.
    const int32_t wall = rig.Sprite(QColor(60, 60, 60), 800, 600, 0, 0, kLoadOpaquePanel);
    rig.Frame({wall}, {QPoint(400, 300)});
    QVERIFY(rig.At(400, 300).red() > 200 && rig.At(400, 300).blue() > 60 + 80);
    QCOMPARE(rig.At(400, 310), QColor(60, 60, 60));

    // A frame wanted soon comes soon, for the wait after that frame only.
    const int64_t later = rig.ddrw.NextChangeMs();
    rig.ddrw.WantFrameBy(rig.clock.MonotonicMs() + 30);
    QCOMPARE(rig.ddrw.NextChangeMs(), rig.clock.MonotonicMs() + 30);
    rig.Frame({});
    QCOMPARE(rig.ddrw.NextChangeMs(), later);
  }

  void AWideCanvasShowsBesideTheSceneAndANarrowOneBlackBars() {
    CanvasRig rig(1400, 600);  // 21:9
    const int32_t beside = rig.Sprite(QColor(200, 0, 0), 50, 50, -100, 100, kLoadSceneArt);
    const int32_t inside = rig.Sprite(QColor(0, 200, 0), 50, 50, 100, 100, kLoadSceneArt);
    const int32_t right = rig.Sprite(QColor(0, 0, 200), 50, 50, 900, 100, kLoadSceneArt);
    QCOMPARE(rig.ddrw.CanvasMargin(), 0);
    rig.Frame({beside, inside, right});
    // Off: the scene in the middle, black beside it, whatever lies there.
    for (int x = 0; x < 300; ++x) QCOMPARE(rig.At(x, 125), QColor(Qt::black));
    for (int x = 1100; x < 1400; ++x) QCOMPARE(rig.At(x, 125), QColor(Qt::black));
    QCOMPARE(rig.At(300 + 125, 125), QColor(0, 200, 0));

    rig.ddrw.SetWideCanvas(true);
    QCOMPARE(rig.ddrw.CanvasMargin(), kWideMargin);
    rig.Frame({beside, inside, right});
    QCOMPARE(rig.At(300 - 75, 125), QColor(200, 0, 0));
    QCOMPARE(rig.At(300 + 125, 125), QColor(0, 200, 0));
    QCOMPARE(rig.At(300 + 925, 125), QColor(0, 0, 200));

    // The canvas takes the image's shape from 4:3 to 21:9, and no further.
    const std::pair<QSize, int> shapes[] = {
        {{800, 600}, 0}, {{1600, 900}, 133}, {{1200, 300}, kWideMargin}};
    for (const auto& [size, margin] : shapes) {
      rig.ddrw.SetImageSize(size.width(), size.height());
      QCOMPARE(rig.ddrw.CanvasMargin(), margin);
    }
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
