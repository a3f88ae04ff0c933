#pragma once
// The close road in a running saver, on the shared fakes with one common
// log, so that a test can check the order of calls across the drawing
// control, the sound controls, the desktop and the saver window's host.

#include "fakes/call_record.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_ddrw.h"
#include "fakes/fake_host.h"
#include "fakes/fake_sound.h"
#include "fakes/fake_system.h"
#include "fakes/memory_store.h"
#include "frame/clocks.h"
#include "input_exit/input_exit.h"
#include "input_exit/power_management.h"
#include "settings/first_run.h"
#include "sound/carol_playlist.h"
#include "sound/fire_sound.h"

namespace emberlrn::testing {

// Settings as a first run leaves them, the fire sound loaded as wave 7 and
// playing, a carol playing, the saver running.
struct SaverRig {
  CallLog log;
  FakeDDrw ddrw;
  FakeTegoDS ds;
  FakeTegoSnd snd;
  MemoryStore store;
  FakeSystem system;
  FakeClock clock;
  FakeSaverWindowHost host;
  FireSound fire{ds};
  CarolPlaylist carols{snd};
  PowerManagement power;
  AnimationClocks clocks;
  CloseRoad close{CloseRoadParts{ddrw, system, store, clock, host, fire, carols, power}};

  SaverRig() {
    SetRegistry(store);
    store.writes.clear();
    fire.installFolder = "/data/";
    fire.fireSoundId = 7;
    fire.soundOn = true;
    fire.soundVolume = -1667;
    ds.waves[7] = {"/data/fire.wav", -1667, 0, true};
    snd.playing = "/data/midi1.mid";
    close.mouseMoveLimit = 4;
    power.startMonotonicMs = clock.MonotonicMs();
    system.SetScreenSaverRunning(true);
    system.calls.clear();
    ddrw.sharedLog = &log;
    ds.sharedLog = &log;
    snd.sharedLog = &log;
    system.sharedLog = &log;
    host.sharedLog = &log;
  }

  void MouseMove() { close.MouseMove(clocks.mouseArmed); }

  bool AnyClosingFlag() const {
    return close.closingByKey || close.closingByMouseClick || close.closingByMouseMove ||
           close.keyCloseStarted || close.clickCloseStarted;
  }
};

}  // namespace emberlrn::testing
