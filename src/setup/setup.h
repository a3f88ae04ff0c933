#pragma once
// The settings dialog: four tabs of controls, each mirroring one key of the
// settings store. There is no Cancel and no saving step: every change a user
// makes is stored the moment it is made, by the control's handler, and the
// saver picks it up at its next start. "&OK" and the close box only close.
//
// Controls carry the names below as their objectName. A control array's
// elements are named with their index after an underscore: "chkFP_0" is the
// "Show Fireplace" box of style 1, "ChkMidi_2" the third carol. Where a
// classic caption has a gap of blanks in which a list, a label or a button
// sits, the words after the gap are a label of the same name with "_after"
// ("Label46_after" is "min."). Labels the classic window left unnamed have
// names of their own with the "lbl" prefix ("lblSoft", "lblStyle_0" for the
// first style's name), and the six pictures are "imgStyle_0" to "imgStyle_5".
// Beside the tabs, "picPreview" shows the scene live as the controls choose
// it, and "chkListen" below it plays the sound they choose.
// Two labels tell what the desktop really does: "lblSSsource" beside the wait
// names the idle launcher it was read from, and "lblMonitorPower" beside the
// monitor list gives the X server's own power-saving times.

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/screen_saver_timeout.h"
#include "platform/x11/monitor_power.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QBoxLayout;

namespace emberlrn {

struct SettingKey;
namespace setup_texts {
struct MissingToolAdvice;
}

class DesktopFacts;
class LivePreview;
class PickList;
class PreviewSound;
struct ListenChoices;
class SettingsStore;
class SetupMessages;
class System;

class Setup final : public QDialog {
 public:
  // Builds the dialog and fills it from the store (the load runs the
  // handlers, so a value the load changes is stored as a user's change
  // would be). installFolder holds the thumbnails and the help pages, with
  // its trailing '/'. The wait, the monitor's power saving and the programs
  // installed are asked of desktop. A "WARNING!" due at opening is shown
  // before this returns.
  Setup(SettingsStore& store, System& system, DesktopFacts& desktop, SetupMessages& messages,
        std::string installFolder, QWidget* parent = nullptr);
  ~Setup() override;

  // The dialog's own state.
  bool MusicOn() const { return musicOn_; }
  const std::string& CalPosText() const { return calPosText_; }
  int16_t MouseSensValue() const { return mouseSensValue_; }
  const std::string& SSTimeText() const { return ssTimeText_; }

 private:
  // Building the window.
  void BuildWindow();
  QWidget* BuildSettingsTab();
  QGroupBox* BuildMessageGroup(QWidget* tab);
  QGroupBox* BuildMouseGroup(QWidget* tab);
  QGroupBox* BuildCalendarGroup(QWidget* tab);
  QGroupBox* BuildSoundGroup(QWidget* tab);
  QWidget* BuildFireplaceTab();
  QWidget* BuildStyleCell(QWidget* parent, int index);
  QWidget* BuildPowerTab();
  QWidget* BuildChristmasTab();
  QGroupBox* BuildMusicGroup(QWidget* tab);
  QGroupBox* BuildStockingsGroup(QWidget* tab);
  QWidget* BuildButtonStrip();
  QWidget* BuildPreviewColumn();
  QLabel* Thumbnail(QWidget* parent, int style);
  void ReportMissingThumbnails() const;

  // The load and the handlers.
  void FillUnfilledStore();
  void ConnectHandlers();
  void FormLoad();
  void LoadFlag(QCheckBox& box, const SettingKey& key, std::string_view fallback);
  void LoadBar(QScrollBar& bar, const SettingKey& key, std::string_view fallback,
               int16_t (*rule)(std::string_view stored));
  void SaveFlag(const SettingKey& key, bool checked);
  void SaveBar(QScrollBar& bar, QLineEdit* valueBox, const SettingKey& key);
  void Check1Click(bool checked);
  void OptCalClick(int index);
  void HsbMouseSChange();
  void CboSoundOffClick(const QString& entry);
  void CmdAboutClick();
  // The preview follows every control that changes the scene.
  void ConnectPreview();
  void ShowChoicesInPreview();
  // "Listen" plays the fire and the ticked carols as the controls choose
  // them; it is off when the dialog opens, and hiding the dialog turns it off.
  void ChkListenClick(bool checked);
  ListenChoices ListenChoicesNow() const;

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  // Timing and power advice.
  void SSTimeFunc();
  void ShowScreenSaverWait();
  void ShowMonitorPower();
  void ChkPowerClick(bool checked);
  void CboMonitorClick(const QString& entry);
  void Navigate(std::string_view webPageUrl, std::string_view caption);
  void ControlPanels(std::string_view fileName, const setup_texts::MissingToolAdvice& advice);

  SettingsStore& store_;
  System& system_;
  DesktopFacts& desktop_;
  SetupMessages& messages_;
  std::string installFolder_;
  std::string missingThumbnails_;

  // Dialog variables.
  bool musicOn_ = false;
  std::string calPosText_;
  int16_t mouseSensValue_ = 0;
  std::string ssTimeText_;
  std::optional<double> waitMinutes_;  // nothing when the wait could not be read
  std::optional<WaitSource> waitSource_;
  bool monitorPowerRead_ = false;
  std::optional<x11::MonitorPowerTimes> monitorPower_;

  // The window.
  QTabWidget* SSTab1_ = nullptr;
  QPushButton* Command2_ = nullptr;
  QPushButton* cmdWebsite_ = nullptr;
  QPushButton* cmdAbout_ = nullptr;
  QPushButton* cmdOK_ = nullptr;
  LivePreview* picPreview_ = nullptr;
  QCheckBox* chkListen_ = nullptr;
  std::unique_ptr<PreviewSound> sound_;  // made the first time the user listens

  // "Settings" tab.
  QCheckBox* chkCalendar_ = nullptr;
  std::array<QRadioButton*, 4> optCal_{};
  QCheckBox* chkShowMessage_ = nullptr;
  QLineEdit* txtMessage_ = nullptr;
  QLineEdit* txtFontSizeMsg_ = nullptr;
  QScrollBar* hsbMouseS_ = nullptr;
  QLineEdit* txtMouseS_ = nullptr;
  QCheckBox* chkSound_ = nullptr;
  QCheckBox* chkCrackle_ = nullptr;
  QScrollBar* hsbVol_ = nullptr;
  QLineEdit* txtVol_ = nullptr;
  PickList* cboSoundOff_ = nullptr;
  QPushButton* cmdColor_ = nullptr;

  // "Fireplace Settings" tab.
  std::array<QCheckBox*, 6> chkFP_{};
  std::array<QCheckBox*, 4> chkMantle_{};
  QCheckBox* chkRotate_ = nullptr;
  PickList* cboRotate_ = nullptr;
  QScrollBar* hsbFlame_ = nullptr;
  QLineEdit* txtFlame_ = nullptr;
  QCheckBox* chkEndIron_ = nullptr;
  PickList* cboMonitors_ = nullptr;
  QCheckBox* chkFillWide_ = nullptr;
  QCheckBox* chkFirelight_ = nullptr;
  QCheckBox* chkEmbers_ = nullptr;
  QCheckBox* chkLivingFlame_ = nullptr;

  // "Pwr Management" tab.
  QCheckBox* chkPower_ = nullptr;
  QLabel* lblSStime_ = nullptr;
  QLabel* lblSSsource_ = nullptr;
  QLabel* lblMonitorPower_ = nullptr;
  QPushButton* cmdSeePM_ = nullptr;
  PickList* cboMonitor_ = nullptr;
  QPushButton* cmdPMHelp_ = nullptr;

  // "Christmas" tab.
  std::array<QCheckBox*, 24> ChkMidi_{};
  QCheckBox* Check1_ = nullptr;
  std::array<QCheckBox*, 2> chkPoin_{};
  std::array<QCheckBox*, 2> chkBells_{};
  std::array<QCheckBox*, 4> chkStocking_{};
  QScrollBar* vsbStocking_ = nullptr;
};

}  // namespace emberlrn
