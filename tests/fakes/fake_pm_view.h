#pragma once
// A warning window for tests: keeps its texts and says where the pointer is.

#include <optional>
#include <string>
#include <vector>

#include "interfaces/pm_view.h"

namespace emberlrn {

class FakePmView final : public PmView {
 public:
  void SetLabel1Text(std::string_view text) override { label1 = text; }
  void SetLabel2Text(std::string_view text) override { label2 = text; }
  void SetTopMost(bool on) override {
    topMost = on;
    calls.push_back(on ? "SetTopMost(true)" : "SetTopMost(false)");
  }
  bool Show() override {
    calls.push_back("Show");
    shown = canShow;
    return canShow;
  }
  void Unload() override {
    shown = false;
    calls.push_back("Unload");
  }
  std::optional<PointerPosition> PointerNow() const override { return pointer; }
  std::string label1, label2;
  bool canShow = true;
  std::optional<PointerPosition> pointer;
  bool topMost = false;
  bool shown = false;
  std::vector<std::string> calls;
};

}  // namespace emberlrn
