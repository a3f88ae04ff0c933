// The dialog's window: its four tabs, every control with its name, caption
// and tooltip, and the layouts that keep the classic arrangement at any font
// size and screen scale.

#include <QCheckBox>
#include <QFileInfo>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <iostream>

#include "interfaces/tego_ddrw.h"
#include "settings/schema.h"
#include "settings/setting_rules.h"
#include "setup/bar_value.h"
#include "setup/live_preview.h"
#include "setup/pick_list.h"
#include "setup/qt_child.h"
#include "setup/qt_text.h"
#include "setup/setup.h"
#include "setup/setup_texts.h"

namespace emberlrn {
namespace {

namespace T = setup_texts;

// Sizes in lines of the dialog's font, so they grow with it.
constexpr double kScreenWidthLines = 7.0;
constexpr double kScreenHeightLines = 5.25;
constexpr double kBarLengthLines = 9.0;
constexpr double kStockingBarLines = 6.0;
constexpr double kMessageWidthLines = 13.0;
constexpr double kPreviewWidthLines = 16.0;  // at the scene's 4:3
// The widest screen shape the canvas follows, 21:9.
constexpr double kWidestPreviewShape = double(kSceneWidth + 2 * kWideMargin) / kSceneHeight;
constexpr int kCarolColumns = 3;
constexpr int kCarolsPerColumn = 8;

template <typename W, typename... Args>
W* Named(QWidget* parent, const QString& name, Args&&... args) {
  W* widget = Child<W>(parent, std::forward<Args>(args)...);
  widget->setObjectName(name);
  return widget;
}

QString Indexed(const char* name, int index) {
  return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}

QLabel* Label(QWidget* parent, const QString& name, std::string_view text, bool wrap = false) {
  auto* label = Named<QLabel>(parent, name, ToQString(text));
  label->setWordWrap(wrap);
  return label;
}

QCheckBox* Check(QWidget* parent, const QString& name, std::string_view text) {
  return Named<QCheckBox>(parent, name, ToQString(text));
}

QGroupBox* Group(QWidget* parent, const QString& name, std::string_view title) {
  return Named<QGroupBox>(parent, name, ToQString(title));
}

int Lines(const QWidget* widget, double lines) {
  return static_cast<int>(lines * widget->fontMetrics().height() + 0.5);
}

// A small box that shows a bar's value; nothing typed there would be
// stored, so it only shows.
QLineEdit* ValueBox(QWidget* parent, const QString& name) {
  auto* box = Named<QLineEdit>(parent, name);
  box->setReadOnly(true);
  box->setFocusPolicy(Qt::NoFocus);
  box->setAlignment(Qt::AlignCenter);
  const int digits = box->fontMetrics().horizontalAdvance(QStringLiteral("-00000"));
  box->setFixedWidth(digits + box->fontMetrics().height());
  return box;
}

// A bar over a key's range as the store keeps it.
QScrollBar* Bar(QWidget* parent, const QString& name, Qt::Orientation orientation,
                SettingRange range) {
  auto* bar = Named<QScrollBar>(parent, name, orientation);
  SetBarRange(*bar, range.first, range.last);
  // One step for an arrow and one for the trough, as the classic bars move.
  bar->setSingleStep(1);
  bar->setPageStep(1);
  if (orientation == Qt::Horizontal) {
    bar->setMinimumWidth(Lines(bar, kBarLengthLines));
  } else {
    bar->setMinimumHeight(Lines(bar, kStockingBarLines));
  }
  return bar;
}

// Blue text on white, as the dialog's typing boxes have always looked.
void BlueOnWhite(QWidget* box) {
  QPalette palette = box->palette();
  palette.setColor(QPalette::Text, Qt::blue);
  palette.setColor(QPalette::Base, Qt::white);
  box->setPalette(palette);
}

// Labels at the two ends of a bar, above it; the value box to its right.
void BarWithEnds(QBoxLayout* column, QWidget* parent, QScrollBar* bar, QLineEdit* valueBox,
                 const QString& startName, std::string_view start, const QString& endName,
                 std::string_view end) {
  auto* ends = LayoutIn<QHBoxLayout>(column);
  ends->addWidget(Label(parent, startName, start));
  ends->addStretch(1);
  ends->addWidget(Label(parent, endName, end));
  if (valueBox) ends->addSpacing(valueBox->width() + column->spacing());
  auto* row = LayoutIn<QHBoxLayout>(column);
  row->addWidget(bar, 1);
  if (valueBox) row->addWidget(valueBox);
}

QFrame* Rule(QWidget* parent, QFrame::Shape shape) {
  auto* rule = Child<QFrame>(parent);
  rule->setFrameShape(shape);
  rule->setFrameShadow(QFrame::Sunken);
  return rule;
}

}  // namespace

void Setup::BuildWindow() {
  setObjectName(QStringLiteral("Setup"));
  setWindowTitle(ToQString(T::kCaption));
  auto* window = LayoutOf<QVBoxLayout>(this);
  SSTab1_ = Named<QTabWidget>(this, QStringLiteral("SSTab1"));
  SSTab1_->addTab(BuildSettingsTab(), ToQString(T::kTabs[0]));
  SSTab1_->addTab(BuildFireplaceTab(), ToQString(T::kTabs[1]));
  SSTab1_->addTab(BuildPowerTab(), ToQString(T::kTabs[2]));
  SSTab1_->addTab(BuildChristmasTab(), ToQString(T::kTabs[3]));
  SSTab1_->setCurrentIndex(0);
  auto* body = LayoutIn<QHBoxLayout>(window, 1);
  body->addWidget(SSTab1_, 1);
  body->addWidget(BuildPreviewColumn());
  window->addWidget(BuildButtonStrip());
  // The window keeps the size its contents need at the font in use.
  window->setSizeConstraint(QLayout::SetFixedSize);
  ReportMissingThumbnails();
}

QWidget* Setup::BuildSettingsTab() {
  auto* tab = Child<QWidget>(SSTab1_);
  auto* page = LayoutOf<QVBoxLayout>(tab);
  auto* columns = LayoutIn<QHBoxLayout>(page, 1);
  auto* left = LayoutIn<QVBoxLayout>(columns, 1);
  left->addWidget(BuildMessageGroup(tab));
  left->addWidget(BuildMouseGroup(tab));
  left->addWidget(BuildCalendarGroup(tab), 1);
  columns->addWidget(BuildSoundGroup(tab), 1);

  auto* colour = LayoutIn<QHBoxLayout>(page);
  auto* advice = Label(tab, QStringLiteral("Label66"), T::kColourAdvice, true);
  colour->addWidget(advice, 1);
  cmdColor_ = Named<QPushButton>(tab, QStringLiteral("cmdColor"), ToQString(T::kSetColour));
  colour->addWidget(cmdColor_, 0, Qt::AlignVCenter);
  return tab;
}

QGroupBox* Setup::BuildMessageGroup(QWidget* tab) {
  QGroupBox* group = Group(tab, QStringLiteral("Frame25"), T::kMessageGroup);
  auto* column = LayoutOf<QVBoxLayout>(group);
  chkShowMessage_ = Check(group, QStringLiteral("chkShowMessage"), T::kShowMessage);
  column->addWidget(chkShowMessage_);
  column->addWidget(Label(group, QStringLiteral("Label39"), T::kTypeMessage));
  txtMessage_ = Named<QLineEdit>(group, QStringLiteral("txtMessage"));
  txtMessage_->setMinimumWidth(Lines(txtMessage_, kMessageWidthLines));
  BlueOnWhite(txtMessage_);
  column->addWidget(txtMessage_);
  auto* size = LayoutIn<QHBoxLayout>(column);
  QLabel* sizeLabel = Label(group, QStringLiteral("Label38"), T::kFontSize);
  size->addWidget(sizeLabel);
  txtFontSizeMsg_ = Named<QLineEdit>(group, QStringLiteral("txtFontSizeMsg"));
  txtFontSizeMsg_->setFixedWidth(
      txtFontSizeMsg_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) +
      txtFontSizeMsg_->fontMetrics().height());
  BlueOnWhite(txtFontSizeMsg_);
  sizeLabel->setBuddy(txtFontSizeMsg_);
  size->addWidget(txtFontSizeMsg_);
  size->addStretch(1);
  return group;
}

QGroupBox* Setup::BuildMouseGroup(QWidget* tab) {
  QGroupBox* group = Group(tab, QStringLiteral("Frame23"), T::kMouseGroup);
  group->setToolTip(ToQString(T::kMouseTip));
  auto* column = LayoutOf<QVBoxLayout>(group);
  hsbMouseS_ = Bar(group, QStringLiteral("hsbMouseS"), Qt::Horizontal, kMouseSenRange);
  txtMouseS_ = ValueBox(group, QStringLiteral("txtMouseS"));
  BarWithEnds(column, group, hsbMouseS_, txtMouseS_, QStringLiteral("lblLightTouch"),
              T::kLightTouch, QStringLiteral("lblHeavyTouch"), T::kHeavyTouch);
  return group;
}

QGroupBox* Setup::BuildCalendarGroup(QWidget* tab) {
  QGroupBox* group = Group(tab, QStringLiteral("Frame1"), T::kCalendarGroup);
  auto* row = LayoutOf<QHBoxLayout>(group);
  auto* words = LayoutIn<QVBoxLayout>(row, 1);
  chkCalendar_ = Check(group, QStringLiteral("chkCalendar"), T::kCalendarShow);
  words->addWidget(chkCalendar_);
  words->addWidget(Label(group, QStringLiteral("Label11"), T::kPositionOnScreen));
  words->addStretch(1);

  // A white rectangle stands for the screen, with a button in each corner.
  auto* screen = Named<QFrame>(group, QStringLiteral("Shape1"));
  screen->setFrameShape(QFrame::Box);
  screen->setAutoFillBackground(true);
  QPalette white = screen->palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::WindowText, Qt::black);
  screen->setPalette(white);
  screen->setFixedSize(Lines(screen, kScreenWidthLines), Lines(screen, kScreenHeightLines));
  auto* corners = LayoutOf<QGridLayout>(screen);
  corners->setContentsMargins(2, 2, 2, 2);
  corners->setRowStretch(1, 1);
  corners->setColumnStretch(1, 1);
  constexpr std::array<std::pair<int, int>, 4> kCells = {{{0, 0}, {2, 0}, {0, 2}, {2, 2}}};
  constexpr std::array<Qt::Alignment::Int, 4> kAlign = {
      Qt::AlignTop | Qt::AlignLeft, Qt::AlignBottom | Qt::AlignLeft, Qt::AlignTop | Qt::AlignRight,
      Qt::AlignBottom | Qt::AlignRight};
  for (int index = 0; index < 4; ++index) {
    optCal_[index] = Named<QRadioButton>(screen, Indexed("optCal", index));
    optCal_[index]->setAccessibleName(ToQString(T::kCornerNames[index]));
    corners->addWidget(optCal_[index], kCells[index].first, kCells[index].second,
                       Qt::Alignment(kAlign[index]));
  }
  row->addWidget(screen, 0, Qt::AlignVCenter);
  return group;
}

QGroupBox* Setup::BuildSoundGroup(QWidget* tab) {
  QGroupBox* group = Group(tab, QStringLiteral("Frame10"), T::kSoundGroup);
  auto* column = LayoutOf<QVBoxLayout>(group);
  auto* switches = LayoutIn<QHBoxLayout>(column);
  chkSound_ = Check(group, QStringLiteral("chkSound"), T::kSoundOn);
  switches->addWidget(chkSound_);
  chkCrackle_ = Check(group, QStringLiteral("chkCrackle"), T::kCrackle);
  switches->addWidget(chkCrackle_);
  switches->addStretch(1);
  column->addStretch(1);
  column->addWidget(Label(group, QStringLiteral("lblVolume"), T::kVolume), 0, Qt::AlignHCenter);
  hsbVol_ = Bar(group, QStringLiteral("hsbVol"), Qt::Horizontal, kVolRange);
  txtVol_ = ValueBox(group, QStringLiteral("txtVol"));
  BarWithEnds(column, group, hsbVol_, txtVol_, QStringLiteral("lblSoft"), T::kSoft,
              QStringLiteral("lblLoud"), T::kLoud);
  column->addStretch(1);

  auto* stop = LayoutIn<QHBoxLayout>(column);
  stop->addWidget(Label(group, QStringLiteral("Label46"), T::kStopSoundBefore));
  cboSoundOff_ = Named<PickList>(group, QStringLiteral("cboSoundOff"));
  cboSoundOff_->AddEntries(kSoundOffEntries);
  stop->addWidget(cboSoundOff_);
  stop->addWidget(Label(group, QStringLiteral("Label46_after"), T::kStopSoundAfter));
  stop->addStretch(1);

  // The note on the sound keys: a white box of three lines to read.
  QLabel* note = Label(group, QStringLiteral("Text1"), T::kSoundKeysNote);
  note->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  note->setAutoFillBackground(true);
  note->setBackgroundRole(QPalette::Base);
  note->setForegroundRole(QPalette::Text);
  note->setMargin(fontMetrics().height() / 4);
  note->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addStretch(1);
  column->addWidget(note);
  column->addStretch(1);
  return group;
}

QWidget* Setup::BuildFireplaceTab() {
  auto* tab = Child<QWidget>(SSTab1_);
  auto* page = LayoutOf<QVBoxLayout>(tab);

  QGroupBox* fireplace = Group(tab, QStringLiteral("Frame2"), T::kFireplaceGroup);
  auto* inside = LayoutOf<QVBoxLayout>(fireplace);
  auto* styles = LayoutIn<QGridLayout>(inside);
  styles->setHorizontalSpacing(Lines(fireplace, 2.0));
  styles->setVerticalSpacing(Lines(fireplace, 0.6));
  for (int index = 0; index < 6; ++index) {
    // Styles 1 to 3 down the left column, 4 to 6 down the right.
    styles->addWidget(BuildStyleCell(fireplace, index), index % 3, index / 3);
  }
  inside->addWidget(Rule(fireplace, QFrame::HLine));
  auto* rotate = LayoutIn<QHBoxLayout>(inside);
  chkRotate_ = Check(fireplace, QStringLiteral("chkRotate"), T::kRotate);
  rotate->addWidget(chkRotate_);
  rotate->addSpacing(fontMetrics().height());
  rotate->addWidget(Label(fireplace, QStringLiteral("Label21"), T::kEveryBefore));
  cboRotate_ = Named<PickList>(fireplace, QStringLiteral("cboRotate"));
  cboRotate_->AddEntries(kRotateEntries);
  rotate->addWidget(cboRotate_);
  rotate->addWidget(Label(fireplace, QStringLiteral("Label21_after"), T::kEveryAfter));
  rotate->addStretch(1);
  // Where the fireplace shows belongs with the fireplace itself.
  inside->addWidget(Rule(fireplace, QFrame::HLine));
  auto* monitors = LayoutIn<QHBoxLayout>(inside);
  QLabel* monitorsLabel = Label(fireplace, QStringLiteral("lblMonitors"), T::kMonitorsLabel);
  monitors->addWidget(monitorsLabel);
  cboMonitors_ = Named<PickList>(fireplace, QStringLiteral("cboMonitors"));
  cboMonitors_->AddEntries(std::array{keys::kMonitorsAll, keys::kMonitorsFirstOnly});
  monitorsLabel->setBuddy(cboMonitors_);
  monitors->addWidget(cboMonitors_);
  monitors->addStretch(1);
  page->addWidget(fireplace);
  page->addStretch(1);

  auto* below = LayoutIn<QHBoxLayout>(page);
  // What stands in the hearth on the left, how the fire and the screen
  // behave on the right.
  auto* fire = LayoutIn<QGridLayout>(below, 1);
  fire->setHorizontalSpacing(fontMetrics().height());
  chkEndIron_ = Check(tab, QStringLiteral("chkEndIron"), T::kShowAndirons);
  const auto living = [tab](const char* name, std::string_view caption, std::string_view tip) {
    QCheckBox* box = Check(tab, QString::fromLatin1(name), caption);
    box->setToolTip(ToQString(tip));
    return box;
  };
  chkFirelight_ = living("chkFirelight", T::kFirelight, T::kFirelightTip);
  chkEmbers_ = living("chkEmbers", T::kEmbers, T::kEmbersTip);
  chkFillWide_ = living("chkFillWide", T::kFillWide, T::kFillWideTip);
  chkLivingFlame_ = living("chkLivingFlame", T::kLivingFlame, T::kLivingFlameTip);
  fire->addWidget(chkEndIron_, 0, 0);
  fire->addWidget(chkFirelight_, 1, 0);
  fire->addWidget(chkEmbers_, 2, 0);
  fire->addWidget(chkFillWide_, 0, 1);
  fire->addWidget(chkLivingFlame_, 1, 1);
  fire->setColumnStretch(2, 1);
  below->addSpacing(fontMetrics().height());
  QGroupBox* flame = Group(tab, QStringLiteral("Frame3"), T::kFlameGroup);
  auto* flameColumn = LayoutOf<QVBoxLayout>(flame);
  hsbFlame_ = Bar(flame, QStringLiteral("hsbFlame"), Qt::Horizontal, kSpeedRange);
  txtFlame_ = ValueBox(flame, QStringLiteral("txtFlame"));
  BarWithEnds(flameColumn, flame, hsbFlame_, txtFlame_, QStringLiteral("lblSlow"), T::kSlow,
              QStringLiteral("lblFast"), T::kFast);
  below->addWidget(flame, 1);
  page->addStretch(1);
  return tab;
}

QWidget* Setup::BuildStyleCell(QWidget* parent, int index) {
  auto* cell = Child<QWidget>(parent);
  auto* row = LayoutOf<QHBoxLayout>(cell);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(Thumbnail(cell, index + 1), 0, Qt::AlignTop);
  auto* words = LayoutIn<QVBoxLayout>(row, 1);
  words->setSpacing(1);
  QLabel* name = Label(cell, Indexed("lblStyle", index), T::kStyleNames[index]);
  QFont bold = name->font();
  bold.setBold(true);
  name->setFont(bold);
  words->addWidget(name);
  chkFP_[index] = Check(cell, Indexed("chkFP", index), T::kShowFireplace);
  words->addWidget(chkFP_[index]);
  if (index < 2) {
    // Styles 1 and 2 have no separate mantle.
    words->addWidget(
        Label(cell, QString::fromLatin1(index == 0 ? "Label9" : "Label13"), T::kNoMantle));
  } else {
    chkMantle_[index - 2] = Check(cell, Indexed("chkMantle", index - 2), T::kShowMantle);
    words->addWidget(chkMantle_[index - 2]);
  }
  words->addStretch(1);
  return cell;
}

QLabel* Setup::Thumbnail(QWidget* parent, int style) {
  auto* picture = Named<QLabel>(parent, Indexed("imgStyle", style - 1));
  picture->setFrameShape(QFrame::Box);
  picture->setFrameShadow(QFrame::Sunken);
  picture->setLineWidth(1);
  const int frame = 2 * picture->frameWidth();
  picture->setFixedSize(T::kThumbSize + frame, T::kThumbSize + frame);
  picture->setAlignment(Qt::AlignCenter);
  picture->setAccessibleName(ToQString(T::kStyleNames[style - 1]).trimmed());
  const QString stem =
      ToQString(installFolder_) + ToQString(T::kThumbPrefix) + QString::number(style);
  const QString file = stem + ToQString(T::kThumbSuffix);
  // On a screen with more than one device pixel per pixel the sharper
  // picture is used when the data folder has it.
  const qreal ratio = picture->devicePixelRatioF();
  QImage image;
  if (ratio > 1.0)
    image = QImageReader(stem + QStringLiteral("@2x") + ToQString(T::kThumbSuffix)).read();
  if (image.isNull()) image = QImageReader(file).read();
  if (image.isNull()) {
    // An empty frame keeps the layout; the missing file is told once.
    if (!missingThumbnails_.empty()) missingThumbnails_ += ", ";
    missingThumbnails_ += ToStdString(QFileInfo(file).fileName());
    return picture;
  }
  const int devicePixels = static_cast<int>(T::kThumbSize * ratio + 0.5);
  QPixmap pixmap = QPixmap::fromImage(
      image.scaled(devicePixels, devicePixels, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  pixmap.setDevicePixelRatio(ratio);
  picture->setPixmap(pixmap);
  return picture;
}

void Setup::ReportMissingThumbnails() const {
  if (missingThumbnails_.empty()) return;
  std::cerr << "emberlrn: settings dialog: cannot read the fireplace picture(s) "
            << missingThumbnails_ << " in " << installFolder_ << "; showing empty frames\n";
}

QWidget* Setup::BuildPowerTab() {
  auto* tab = Child<QWidget>(SSTab1_);
  auto* page = LayoutOf<QVBoxLayout>(tab);
  QLabel* heading = Label(tab, QStringLiteral("Label10"), T::kPowerHeading, true);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  heading->setAlignment(Qt::AlignHCenter);
  page->addWidget(heading);
  page->addSpacing(fontMetrics().height() / 3);
  page->addWidget(Label(tab, QStringLiteral("Label14"), T::kPowerExplanation, true));

  auto* row = LayoutIn<QHBoxLayout>(page, 1);
  QGroupBox* users = Group(tab, QStringLiteral("Frame12"), T::kPowerGroup);
  auto* column = LayoutOf<QVBoxLayout>(users);
  auto* ask = LayoutIn<QHBoxLayout>(column);
  QLabel* question = Label(users, QStringLiteral("Label6"), T::kUsePower);
  question->setFont(bold);
  ask->addWidget(question);
  chkPower_ = Named<QCheckBox>(users, QStringLiteral("chkPower"));
  chkPower_->setAccessibleName(ToQString(T::kUsePower));
  question->setBuddy(chkPower_);
  ask->addWidget(chkPower_);
  ask->addStretch(1);
  column->addWidget(Label(users, QStringLiteral("Label5"), T::kPowerExamples, true));

  auto* wait = LayoutIn<QHBoxLayout>(column);
  wait->addWidget(Label(users, QStringLiteral("Label29"), T::kActivateBefore));
  lblSStime_ = Named<QLabel>(users, QStringLiteral("lblSStime"));
  lblSStime_->setFont(bold);
  wait->addWidget(lblSStime_);
  wait->addWidget(Label(users, QStringLiteral("Label29_after"), T::kActivateAfter));
  lblSSsource_ = Named<QLabel>(users, QStringLiteral("lblSSsource"));
  wait->addWidget(lblSSsource_);
  wait->addStretch(1);

  auto* click = LayoutIn<QHBoxLayout>(column);
  click->addWidget(Label(users, QStringLiteral("Label7"), T::kClickBefore));
  cmdSeePM_ = Named<QPushButton>(users, QStringLiteral("cmdSeePM"), ToQString(T::kSetPower));
  click->addWidget(cmdSeePM_);
  click->addStretch(1);
  column->addWidget(Label(users, QStringLiteral("Label7_after"), T::kClickAfter, true));
  cboMonitor_ = Named<PickList>(users, QStringLiteral("cboMonitor"));
  std::array<std::string_view, kMonitorEntries.size()> monitorTexts{};
  for (size_t i = 0; i < monitorTexts.size(); ++i) monitorTexts[i] = kMonitorEntries[i].text;
  cboMonitor_->AddEntries(monitorTexts);
  auto* monitor = LayoutIn<QHBoxLayout>(column);
  monitor->addWidget(cboMonitor_, 0, Qt::AlignTop);
  lblMonitorPower_ = Label(users, QStringLiteral("lblMonitorPower"), "", true);
  monitor->addWidget(lblMonitorPower_, 1);
  column->addStretch(1);
  row->addWidget(users, 1);

  auto* side = LayoutIn<QVBoxLayout>(row);
  cmdPMHelp_ = Named<QPushButton>(tab, QStringLiteral("cmdPMHelp"), ToQString(T::kPowerHelp));
  side->addWidget(cmdPMHelp_);
  side->addStretch(1);
  return tab;
}

QWidget* Setup::BuildChristmasTab() {
  auto* tab = Child<QWidget>(SSTab1_);
  auto* page = LayoutOf<QVBoxLayout>(tab);
  auto* top = LayoutIn<QHBoxLayout>(page);
  top->addWidget(BuildStockingsGroup(tab), 2);

  QGroupBox* bells = Group(tab, QStringLiteral("Frame5"), T::kBellsGroup);
  auto* bellColumn = LayoutOf<QVBoxLayout>(bells);
  for (int index = 0; index < 2; ++index) {
    chkBells_[index] = Check(bells, Indexed("chkBells", index), T::kLeftRight[index]);
    bellColumn->addWidget(chkBells_[index]);
  }
  bellColumn->addStretch(1);
  top->addWidget(bells, 1);

  QGroupBox* poinsettias = Group(tab, QStringLiteral("Frame6"), T::kPoinsettiasGroup);
  auto* poinColumn = LayoutOf<QVBoxLayout>(poinsettias);
  for (int index = 0; index < 2; ++index) {
    chkPoin_[index] = Check(poinsettias, Indexed("chkPoin", index), T::kLeftRight[index]);
    poinColumn->addWidget(chkPoin_[index]);
  }
  poinColumn->addStretch(1);
  top->addWidget(poinsettias, 1);

  page->addWidget(BuildMusicGroup(tab), 1);
  return tab;
}

QGroupBox* Setup::BuildStockingsGroup(QWidget* tab) {
  QGroupBox* group = Group(tab, QStringLiteral("Frame4"), T::kStockingsGroup);
  auto* row = LayoutOf<QHBoxLayout>(group);
  auto* boxes = LayoutIn<QVBoxLayout>(row, 1);
  for (int index = 0; index < 4; ++index) {
    chkStocking_[index] = Check(group, Indexed("chkStocking", index), T::kStockings[index]);
    boxes->addWidget(chkStocking_[index]);
  }
  boxes->addStretch(1);

  auto* adjust = LayoutIn<QVBoxLayout>(row);
  adjust->setSpacing(2);
  adjust->addWidget(Label(group, QStringLiteral("lblAdjustLocation"), T::kAdjustLocation), 0,
                    Qt::AlignHCenter);
  adjust->addWidget(Label(group, QStringLiteral("lblHigher"), T::kHigher), 0, Qt::AlignHCenter);
  vsbStocking_ = Bar(group, QStringLiteral("vsbStocking"), Qt::Vertical, kStockLocRange);
  adjust->addWidget(vsbStocking_, 1, Qt::AlignHCenter);
  adjust->addWidget(Label(group, QStringLiteral("lblLower"), T::kLower), 0, Qt::AlignHCenter);
  return group;
}

QGroupBox* Setup::BuildMusicGroup(QWidget* tab) {
  QGroupBox* group = Group(tab, QStringLiteral("Frame7"), T::kMusicGroup);
  auto* grid = LayoutOf<QGridLayout>(group);
  grid->setVerticalSpacing(2);
  grid->setHorizontalSpacing(fontMetrics().height() / 2);
  Check1_ = Check(group, QStringLiteral("Check1"), T::kMusicOn);
  QFont bold = Check1_->font();
  bold.setBold(true);
  Check1_->setFont(bold);
  grid->addWidget(Check1_, 0, 0);
  grid->addWidget(Rule(group, QFrame::HLine), 1, 0, 1, 2 * kCarolColumns - 1);
  constexpr int kFirstCarolRow = 2;
  for (int index = 0; index < 24; ++index) {
    const int columnIndex = index / kCarolsPerColumn;
    ChkMidi_[index] = Check(group, Indexed("ChkMidi", index), T::kCarols[index]);
    grid->addWidget(ChkMidi_[index], kFirstCarolRow + index % kCarolsPerColumn, 2 * columnIndex);
  }
  // Lines between the three columns.
  for (int line = 1; line < kCarolColumns; ++line) {
    grid->addWidget(Rule(group, QFrame::VLine), kFirstCarolRow, 2 * line - 1, kCarolsPerColumn, 1);
  }
  for (int column = 0; column < kCarolColumns; ++column) grid->setColumnStretch(2 * column, 1);
  return group;
}

// The live scene beside the tabs and level with them, in the shape of the
// screen the fire will fill (from the scene's 4:3 to 21:9), so that a wide
// screen's walls or black bars show as they will.
QWidget* Setup::BuildPreviewColumn() {
  auto* column = Named<QWidget>(this, QStringLiteral("Picture2"));
  auto* inside = LayoutOf<QVBoxLayout>(column);
  inside->setContentsMargins(0, SSTab1_->tabBar()->sizeHint().height(), 0, 0);
  picPreview_ = Named<LivePreview>(column, QStringLiteral("picPreview"), installFolder_);
  const int height = Lines(column, kPreviewWidthLines) * kSceneHeight / kSceneWidth;
  double shape = double(kSceneWidth) / kSceneHeight;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize size = screen->size();
    if (size.width() > 0 && size.height() > 0) {
      shape = std::clamp(double(size.width()) / size.height(), shape, kWidestPreviewShape);
    }
  }
  picPreview_->setFixedSize(int(height * shape + 0.5), height);
  picPreview_->setAccessibleName(ToQString(T::kPreviewName));
  inside->addWidget(picPreview_);
  chkListen_ = Check(column, QStringLiteral("chkListen"), T::kListen);
  chkListen_->setToolTip(ToQString(T::kListenTip));
  inside->addWidget(chkListen_);
  inside->addStretch(1);
  return column;
}

QWidget* Setup::BuildButtonStrip() {
  auto* strip = Named<QWidget>(this, QStringLiteral("Picture1"));
  auto* row = LayoutOf<QHBoxLayout>(strip);
  row->setContentsMargins(0, 0, 0, 0);
  Command2_ = Named<QPushButton>(strip, QStringLiteral("Command2"), ToQString(T::kHelp));
  cmdWebsite_ = Named<QPushButton>(strip, QStringLiteral("cmdWebsite"), ToQString(T::kWebsite));
  cmdAbout_ = Named<QPushButton>(strip, QStringLiteral("cmdAbout"), ToQString(T::kAbout));
  cmdOK_ = Named<QPushButton>(strip, QStringLiteral("cmdOK"), ToQString(T::kOk));
  cmdOK_->setToolTip(ToQString(T::kOkTip));
  cmdOK_->setDefault(true);
  for (QPushButton* button : {Command2_, cmdWebsite_, cmdAbout_}) {
    button->setAutoDefault(false);
    row->addWidget(button);
  }
  row->addStretch(1);
  row->addWidget(cmdOK_);
  return strip;
}

}  // namespace emberlrn
