// The settings dialog module's entry, called by the program in the
// settings mode.

#include "interfaces/dialog_module.h"
#include "setup/run_setup.h"

extern "C" __attribute__((visibility("default"))) int emberlrn_run_settings_dialog(
    int argc, char** argv, emberlrn::SettingsStore& store, emberlrn::System& system) {
  return emberlrn::RunSetupDialog(argc, argv, store, system);
}

// The program looks the entry up by name; this keeps the name and the type in step.
[[maybe_unused]] static constexpr emberlrn::RunDialogEntry kEntryMatchesItsType =
    &emberlrn_run_settings_dialog;
