// The dialog's load, its handlers, and its timing and power advice.

#include "setup/setup.h"

#include <QCheckBox>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "interfaces/system.h"
#include "platform/desktop_tools.h"
#include "settings/conversions.h"
#include "settings/first_run.h"
#include "settings/setting_reader.h"
#include "settings/setting_rules.h"
#include "settings/settings_store.h"
#include "setup/bar_value.h"
#include "setup/desktop_advice.h"
#include "setup/desktop_facts.h"
#include "setup/live_preview.h"
#include "setup/pick_list.h"
#include "setup/preview_sound.h"
#include "setup/qt_text.h"
#include "setup/screen_saver_wait.h"
#include "setup/setup_messages.h"
#include "setup/setup_texts.h"

namespace emberlrn {
namespace {

namespace T = setup_texts;
using namespace keys;

constexpr int16_t kSetRegWritten = 2;

std::string_view FlagText(bool checked) { return checked ? "1" : "0"; }

// A caption as a title: "&Help" is "Help".
std::string WithoutMnemonic(std::string_view caption) {
  std::string text;
  for (char c : caption) {
    if (c != '&') text += c;
  }
  return text;
}

}  // namespace

Setup::Setup(SettingsStore& store, System& system, DesktopFacts& desktop, SetupMessages& messages,
             std::string installFolder, QWidget* parent)
    : QDialog(parent),
      store_(store),
      system_(system),
      desktop_(desktop),
      messages_(messages),
      installFolder_(std::move(installFolder)) {
  BuildWindow();
  ConnectHandlers();
  FillUnfilledStore();
  FormLoad();
  ConnectPreview();
  ShowChoicesInPreview();
}

Setup::~Setup() = default;

// A store the saver has never filled would be overwritten by the saver's
// first start, choices made here included, and the dialog's own fallbacks
// ("1" for the mouse sensitivity, empty texts for the sound) are no values
// a control can show. So the dialog writes the first-run values first, as
// that first start would, and then shows them.
void Setup::FillUnfilledStore() {
  if (GetIntSetting(store_, keys::kSetReg) != kSetRegWritten) SetRegistry(store_);
}

void Setup::ConnectHandlers() {
  const auto flag = [this](QCheckBox* box, const SettingKey& key) {
    connect(box, &QCheckBox::toggled, this, [this, &key](bool checked) { SaveFlag(key, checked); });
  };
  flag(chkCalendar_, kCalendar);
  flag(chkShowMessage_, kShowMsg);
  flag(chkSound_, kSoundOn);
  flag(chkCrackle_, kCrackle);
  flag(chkRotate_, kRotateCk);
  flag(chkEndIron_, kAndIron);
  flag(chkFillWide_, kFillWide);
  flag(chkFirelight_, kFirelight);
  flag(chkEmbers_, kEmbers);
  flag(chkLivingFlame_, kLivingFlame);
  // Array elements count from 0, as the schema's key lists do.
  for (int i = 0; i < 6; ++i) flag(chkFP_[i], kShowFP[i]);
  for (int i = 0; i < 4; ++i) flag(chkMantle_[i], kShowM[i]);
  for (int i = 0; i < 24; ++i) flag(ChkMidi_[i], kMidi[i]);
  for (int i = 0; i < 4; ++i) flag(chkStocking_[i], kShowS[i]);
  for (int i = 0; i < 2; ++i) flag(chkBells_[i], kBell[i]);
  for (int i = 0; i < 2; ++i) flag(chkPoin_[i], kPoin[i]);
  connect(Check1_, &QCheckBox::toggled, this, [this](bool checked) { Check1Click(checked); });
  connect(chkPower_, &QCheckBox::toggled, this, [this](bool checked) { ChkPowerClick(checked); });

  for (int i = 0; i < 4; ++i) {
    connect(optCal_[i], &QRadioButton::toggled, this, [this, i](bool checked) {
      if (checked) OptCalClick(i);
    });
  }

  // Text boxes store their whole text on every change, unchecked.
  connect(txtMessage_, &QLineEdit::textChanged, this,
          [this](const QString& text) { SaveSetting(store_, kMessage, ToStdString(text)); });
  connect(txtFontSizeMsg_, &QLineEdit::textChanged, this,
          [this](const QString& text) { SaveSetting(store_, kFontSize, ToStdString(text)); });

  // Bars store on every change: arrows, trough, the program, and each step
  // of a dragged thumb.
  connect(hsbMouseS_, &QScrollBar::valueChanged, this, [this] { HsbMouseSChange(); });
  connect(hsbVol_, &QScrollBar::valueChanged, this, [this] { SaveBar(*hsbVol_, txtVol_, kVol); });
  connect(hsbFlame_, &QScrollBar::valueChanged, this,
          [this] { SaveBar(*hsbFlame_, txtFlame_, kSpeed); });
  connect(vsbStocking_, &QScrollBar::valueChanged, this,
          [this] { SaveBar(*vsbStocking_, nullptr, kStockLoc); });

  // Lists store only a user's pick.
  cboMonitors_->OnPick(
      [this](const QString& entry) { SaveSetting(store_, kMonitors, ToStdString(entry)); });
  cboRotate_->OnPick([this](const QString& entry) {
    SaveSetting(store_, kRotateT, ToStdString(entry));
    ShowChoicesInPreview();
  });
  cboSoundOff_->OnPick([this](const QString& entry) { CboSoundOffClick(entry); });
  cboMonitor_->OnPick([this](const QString& entry) { CboMonitorClick(entry); });

  // Everything is stored already, so closing writes nothing.
  connect(cmdOK_, &QPushButton::clicked, this, [this] { close(); });
  connect(cmdAbout_, &QPushButton::clicked, this, [this] { CmdAboutClick(); });
  connect(Command2_, &QPushButton::clicked, this,
          [this] { Navigate(installFolder_ + std::string(T::kHelpDocument), T::kHelp); });
  connect(cmdWebsite_, &QPushButton::clicked, this,
          [this] { Navigate(T::kWebsiteAddress, T::kWebsite); });
  connect(cmdPMHelp_, &QPushButton::clicked, this,
          [this] { Navigate(installFolder_ + std::string(T::kPowerHelpDocument), T::kPowerHelp); });
  connect(cmdSeePM_, &QPushButton::clicked, this,
          [this] { ControlPanels(T::kPowerOptionsCommand, T::kNoPowerTool); });
  connect(cmdColor_, &QPushButton::clicked, this,
          [this] { ControlPanels(T::kDisplayPropertiesCommand, T::kNoDisplayTool); });
}

// Fills every control from the store, in a fixed order. Setting a control
// runs its handler when its state changes, so the store ends as it was,
// except that a missing key may now hold the value shown, and a true
// "Music On" is written as "True".
void Setup::FormLoad() {
  for (int i = 0; i < 24; ++i) LoadFlag(*ChkMidi_[i], kMidi[i], "1");
  musicOn_ = GetBoolSetting(store_, kMusicOn);
  Check1_->setChecked(musicOn_);
  LoadFlag(*chkShowMessage_, kShowMsg, "1");
  txtMessage_->setText(ToQString(GetTextSetting(store_, kMessage, "1")));
  // The font size, the corner, the bars and the two lists show what the
  // saver makes of the stored text, by the same rules.
  const int16_t fontSize = MessageFontSize(GetTextSetting(store_, kFontSize, "1"));
  txtFontSizeMsg_->setText(QString::number(fontSize));
  calPosText_ = GetTextSetting(store_, kCalPos, "1");
  optCal_[CalendarCorner(calPosText_)]->setChecked(true);

  LoadFlag(*chkCalendar_, kCalendar, "1");
  cboMonitor_->SetText(ToQString(GetTextSetting(store_, kMonitor, "1")));
  LoadFlag(*chkPower_, kPower, "1");
  LoadBar(*hsbMouseS_, kMouseSen, "1", MouseSensitivity);
  for (int i = 0; i < 6; ++i) LoadFlag(*chkFP_[i], kShowFP[i], "1");
  for (int i = 0; i < 4; ++i) LoadFlag(*chkMantle_[i], kShowM[i], "1");
  LoadFlag(*chkRotate_, kRotateCk, "1");
  cboRotate_->SetText(QString::number(RotationMinutes(GetTextSetting(store_, kRotateT, "1"))));
  // A missing key leaves the box as it is: unchecked, and nothing written.
  LoadFlag(*chkEndIron_, kAndIron, FlagText(chkEndIron_->isChecked()));
  LoadBar(*hsbFlame_, kSpeed, "", FlameSpeed);
  txtFlame_->setText(QString::number(BarValue(*hsbFlame_)));
  LoadBar(*hsbVol_, kVol, "", SoundVolume);
  LoadFlag(*chkSound_, kSoundOn, "");
  // Newer than the first-run values: a store without it has the fire on
  // every monitor, and showing that writes nothing.
  cboMonitors_->SetText(ToQString(
      FireOnEveryMonitor(GetTextSetting(store_, kMonitors)) ? kMonitorsAll : kMonitorsFirstOnly));
  // Newer than the first-run values: a store without them has the crackles
  // and the living fire on, and opening the dialog does not write them there.
  const std::pair<QCheckBox*, const SettingKey*> newer[] = {{chkCrackle_, &kCrackle},
                                                            {chkFillWide_, &kFillWide},
                                                            {chkFirelight_, &kFirelight},
                                                            {chkEmbers_, &kEmbers},
                                                            {chkLivingFlame_, &kLivingFlame}};
  for (const auto& [box, key] : newer) {
    const QSignalBlocker quiet(box);
    LoadFlag(*box, *key, key->fallback);
  }

  const std::optional<double> soundOff = SoundOffMinutes(GetTextSetting(store_, kSoundOff, ""));
  cboSoundOff_->SetText(ToQString(soundOff ? ShortestDecimal(*soundOff) : std::string(T::kNever)));

  for (int i = 0; i < 4; ++i) LoadFlag(*chkStocking_[i], kShowS[i], "1");
  LoadBar(*vsbStocking_, kStockLoc, "2", StockingTop);
  // The saver keeps these as text and shows them only when they read as 1.
  for (int i = 0; i < 2; ++i) {
    chkBells_[i]->setChecked(DecorationShown(GetTextSetting(store_, kBell[i], "1")));
    chkPoin_[i]->setChecked(DecorationShown(GetTextSetting(store_, kPoin[i], "1")));
  }

  if (!chkPower_->isChecked()) cboMonitor_->setEnabled(false);
  ShowScreenSaverWait();
  monitorPower_ = desktop_.ReadMonitorPower();
  monitorPowerRead_ = true;
  ShowMonitorPower();

  // Each value box shows its bar, whether or not the bar moved.
  txtFlame_->setText(QString::number(BarValue(*hsbFlame_)));
  txtVol_->setText(QString::number(BarValue(*hsbVol_)));
  txtMouseS_->setText(QString::number(BarValue(*hsbMouseS_)));
}

// A box is checked when its key reads as 1, as the saver reads it; a text
// that is no number counts as the key's first-run value.
void Setup::LoadFlag(QCheckBox& box, const SettingKey& key, std::string_view fallback) {
  box.setChecked(GetIntSetting(store_, key, fallback) == 1);
}

// A bar takes what the key's rule makes of the stored text, as the saver
// does. When that is not the stored number and the bar did not move, so that
// its handler did not run, the handler runs all the same: what the dialog
// shows is what the store holds.
void Setup::LoadBar(QScrollBar& bar, const SettingKey& key, std::string_view fallback,
                    int16_t (*rule)(std::string_view stored)) {
  const int before = BarValue(bar);
  const std::string text = GetTextSetting(store_, key, fallback);
  SetBarValue(bar, rule(text));
  if (BarValue(bar) == before && ToInt16(text) != BarValue(bar)) {
    emit bar.valueChanged(bar.value());
  }
}

void Setup::SaveFlag(const SettingKey& key, bool checked) {
  SaveSetting(store_, key, FlagText(checked));
}

void Setup::SaveBar(QScrollBar& bar, QLineEdit* valueBox, const SettingKey& key) {
  const std::string value = std::to_string(BarValue(bar));
  SaveSetting(store_, key, value);
  if (valueBox) valueBox->setText(ToQString(value));
}

void Setup::Check1Click(bool checked) {
  musicOn_ = checked;
  SaveSetting(store_, kMusicOn, musicOn_ ? "True" : "False");
}

void Setup::OptCalClick(int index) {
  calPosText_ = std::to_string(index);
  SaveSetting(store_, kCalPos, calPosText_);
}

void Setup::HsbMouseSChange() {
  mouseSensValue_ = static_cast<int16_t>(BarValue(*hsbMouseS_));
  SaveBar(*hsbMouseS_, txtMouseS_, kMouseSen);
}

void Setup::CboSoundOffClick(const QString& entry) {
  const std::string text = ToStdString(entry);
  SaveSetting(store_, kSoundOff, text == T::kNever ? std::string(T::kNeverStored) : text);
}

void Setup::ConnectPreview() {
  const auto follow = [this](auto* control, auto signal) {
    connect(control, signal, this, [this] { ShowChoicesInPreview(); });
  };
  for (QCheckBox* box : chkFP_) follow(box, &QCheckBox::toggled);
  for (QCheckBox* box : chkMantle_) follow(box, &QCheckBox::toggled);
  for (QCheckBox* box : chkStocking_) follow(box, &QCheckBox::toggled);
  for (QCheckBox* box : chkBells_) follow(box, &QCheckBox::toggled);
  for (QCheckBox* box : chkPoin_) follow(box, &QCheckBox::toggled);
  for (QCheckBox* box : {chkRotate_, chkEndIron_, chkCalendar_, chkShowMessage_, chkFillWide_,
                         chkFirelight_, chkEmbers_, chkLivingFlame_}) {
    follow(box, &QCheckBox::toggled);
  }
  for (QRadioButton* corner : optCal_) follow(corner, &QRadioButton::toggled);
  for (QScrollBar* bar : {hsbFlame_, vsbStocking_}) follow(bar, &QScrollBar::valueChanged);
  for (QLineEdit* box : {txtMessage_, txtFontSizeMsg_}) follow(box, &QLineEdit::textChanged);

  connect(chkListen_, &QCheckBox::toggled, this, [this](bool checked) { ChkListenClick(checked); });
  const auto heard = [this](auto* control, auto signal) {
    connect(control, signal, this, [this] {
      if (sound_) sound_->Follow(ListenChoicesNow());
    });
  };
  heard(hsbVol_, &QScrollBar::valueChanged);
  heard(chkCrackle_, &QCheckBox::toggled);
  for (QCheckBox* box : ChkMidi_) heard(box, &QCheckBox::toggled);
}

void Setup::ChkListenClick(bool checked) {
  if (!checked) {
    if (sound_) sound_->Stop();
    return;
  }
  if (!sound_) sound_ = std::make_unique<PreviewSound>(installFolder_);
  sound_->Start(ListenChoicesNow());
}

ListenChoices Setup::ListenChoicesNow() const {
  ListenChoices choices;
  choices.volume = static_cast<int16_t>(BarValue(*hsbVol_));
  choices.crackleOn = chkCrackle_->isChecked();
  for (int n = 1; n <= kCarolCount; ++n) choices.carolChecked[n] = ChkMidi_[n - 1]->isChecked();
  return choices;
}

// Closed, hidden or minimised, the dialog is silent.
void Setup::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  chkListen_->setChecked(false);
}

// The controls read as the saver reads the values they store.
void Setup::ShowChoicesInPreview() {
  PreviewChoices choices;
  for (int i = 0; i < 6; ++i) choices.showStyle[i + 1] = chkFP_[i]->isChecked();
  for (int k = 0; k < 4; ++k) choices.showMantle[k + 1] = chkMantle_[k]->isChecked();
  choices.rotateOn = chkRotate_->isChecked() ? 1 : 0;
  choices.rotateMinutes = RotationMinutes(ToStdString(cboRotate_->currentText()));
  choices.flameSpeed = static_cast<int16_t>(BarValue(*hsbFlame_));
  choices.decorations.showAndirons = chkEndIron_->isChecked();
  choices.decorations.fillWide = chkFillWide_->isChecked();
  choices.decorations.firelight = chkFirelight_->isChecked();
  choices.decorations.embers = chkEmbers_->isChecked();
  choices.decorations.livingFlame = chkLivingFlame_->isChecked();
  for (int i = 0; i < 4; ++i) choices.decorations.showStocking[i] = chkStocking_[i]->isChecked();
  choices.decorations.stockingTop = static_cast<int16_t>(BarValue(*vsbStocking_));
  for (int i = 0; i < 2; ++i) {
    choices.decorations.showBell[i + 1] = chkBells_[i]->isChecked();
    choices.decorations.showPoinsettia[i + 1] = chkPoin_[i]->isChecked();
  }
  choices.showCalendar = chkCalendar_->isChecked();
  for (int corner = 0; corner < 4; ++corner) {
    if (optCal_[corner]->isChecked()) choices.calendarCorner = static_cast<int16_t>(corner);
  }
  choices.showMessage = chkShowMessage_->isChecked();
  choices.messageText = ToStdString(txtMessage_->text());
  choices.messageFontSize = MessageFontSize(ToStdString(txtFontSizeMsg_->text()));
  picPreview_->Show(choices);
}

void Setup::CmdAboutClick() { messages_.Information(T::kAboutTitle, T::kAboutText); }

void Setup::SSTimeFunc() {
  if (const std::optional<ScreenSaverWait> wait = desktop_.ReadWait()) {
    ssTimeText_ = std::to_string(wait->seconds);
    waitSource_ = wait->source;
  }
}

// The last steps of the load: the wait in minutes, and the warning when the
// monitor goes off the moment the screen saver comes on.
void Setup::ShowScreenSaverWait() {
  SSTimeFunc();
  const bool waitRead = !ssTimeText_.empty();
  const double minutes = WaitMinutes(ssTimeText_);
  waitMinutes_ = waitRead ? std::optional<double>(minutes) : std::nullopt;
  ssTimeText_ = ShortestDecimal(minutes) + std::string(T::kMinutesSuffix);
  lblSStime_->setText(ToQString(ssTimeText_));
  lblSSsource_->setText(ToQString(WaitSourceText(waitSource_)));
  if (chkPower_->isChecked() &&
      SwitchesOffWithSaver(ToStdString(cboMonitor_->currentText()), waitMinutes_)) {
    messages_.Warning(T::kWarningTitle, T::kWarningText);
  }
}

// The X server's times beside the user's choice: read once, when the
// dialog opens, and compared again with every change of the choice.
void Setup::ShowMonitorPower() {
  if (!monitorPowerRead_) return;
  lblMonitorPower_->setText(ToQString(MonitorPowerText(
      monitorPower_, ToStdString(cboMonitor_->currentText()), chkPower_->isChecked())));
}

void Setup::ChkPowerClick(bool checked) {
  SaveFlag(kPower, checked);
  cboMonitor_->setEnabled(checked);
  ShowMonitorPower();
}

// The choice is stored before any advice is shown, and no advice undoes or
// blocks it; the equal-time warning comes before the short-time question.
void Setup::CboMonitorClick(const QString& entry) {
  const std::string text = ToStdString(entry);
  SaveSetting(store_, kMonitor, text);
  if (chkPower_->isChecked() && SwitchesOffWithSaver(text, waitMinutes_)) {
    messages_.Warning(T::kWarningTitle, T::kWarningText);
  }
  if (text == T::kNever) {
    // A monitor that never goes off needs no hand-over.
    chkPower_->setChecked(false);
    SaveFlag(kPower, chkPower_->isChecked());
  }
  ShowMonitorPower();
  if (IsTooShortEntry(text)) {
    messages_.Warning(T::kWhyTitle, std::string(T::kWhyBefore) + text + std::string(T::kWhyAfter));
  }
}

// Opens a document, program or address with the desktop's own opener; a
// missing file gives no message here, a missing opener does.
void Setup::Navigate(std::string_view webPageUrl, std::string_view caption) {
  const DesktopTool opener = DocumentOpener();
  if (desktop_.Installed(opener.argv.front())) {
    system_.Open(webPageUrl);
    return;
  }
  // A help page is named by its file name, an address by itself.
  const bool isFile = !webPageUrl.empty() && webPageUrl.front() == '/';
  const std::string_view name = isFile ? webPageUrl.substr(webPageUrl.rfind('/') + 1) : webPageUrl;
  const std::string closing = std::string(T::kOpenInBrowserBefore) + std::string(webPageUrl) +
                              std::string(T::kOpenInBrowserAfter);
  messages_.Warning(WithoutMnemonic(caption), MissingToolText(name, {opener}, closing));
}

// Starts the desktop's settings program for a classic command line; when
// none of its programs is installed, the user is told which were tried and
// what to install.
void Setup::ControlPanels(std::string_view fileName, const T::MissingToolAdvice& advice) {
  const std::vector<DesktopTool> tools = DesktopToolsFor(fileName, CurrentDesktop());
  const bool any = std::any_of(tools.begin(), tools.end(), [this](const DesktopTool& tool) {
    return desktop_.Installed(tool.argv.front());
  });
  if (any) {
    system_.Run(fileName);
    return;
  }
  messages_.Warning(advice.title, MissingToolText(advice.what, tools, advice.closing));
}

}  // namespace emberlrn
