#pragma once
// The saver window with every control a recording fake, on an event loop
// driven by the fake clock: shared by the window's tests and its soak.

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

#include "fakes/fake_clock.h"
#include "fakes/fake_ddrw.h"
#include "fakes/fake_display_modes.h"
#include "fakes/fake_host.h"
#include "fakes/fake_input.h"
#include "fakes/fake_sound.h"
#include "fakes/fake_system.h"
#include "fakes/memory_store.h"
#include "settings/first_run.h"
#include "start/saver_window.h"

namespace emberlrn {

struct SaverWindowTest : ::testing::Test {
  // A store as the first run leaves it, then the test's own values.
  void FirstRunStore() {
    SetRegistry(store);
    store.writes.clear();
  }
  void Set(std::string_view section, std::string_view key, std::string_view value) {
    store.Preset(section, key, value);
  }
  // Every load is a new process: a new window on a new loop.
  Form1& Load() {
    form.reset();
    loop = std::make_unique<EventLoop>(clock, input);
    form = std::make_unique<Form1>(
        SaverControls{ddrw, ds, snd, store, system, formClock ? *formClock : clock, crackles},
        modes, host, *loop, "/data/");
    ddrw.events = form.get();
    loop->SetFrameSource(&ddrw);
    form->Form_Load();
    return *form;
  }

  FakeClock clock;
  const Clock* formClock = nullptr;  // the window's time of day, when not the fake's
  FakeInputSource input{clock};
  std::unique_ptr<EventLoop> loop;
  FakeDDrw ddrw;
  FakeTegoDS ds;
  FakeTegoSnd snd;
  FakeCrackleVoices crackles;
  MemoryStore store;
  FakeSystem system;
  FakeDisplayModes modes;
  FakeSaverWindowHost host;
  std::unique_ptr<Form1> form;
};

}  // namespace emberlrn
