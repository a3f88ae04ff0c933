// Two days of the whole saver in fake time, one in each of two time zones,
// each crossing midnight and a change of the clocks: every timer, the
// rotation, the notices, the sound-off time, the carols at their lengths and
// the power hand-over. Run under the sanitizers, it shows no undefined
// behaviour, no counter running over and no growth of the heap.

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>

#include "platform/standard_midi_file.h"
#include "saver_window_fixture.h"

#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/allocator_interface.h>)
#include <sanitizer/allocator_interface.h>
#elif defined(__SANITIZE_ADDRESS__)
// GCC ships the sanitizer runtime without this header; the call is the same.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace emberlrn {
namespace {

// The local time of a real zone, moving with the fake clock.
class ZonedClock final : public Clock {
 public:
  ZonedClock(const FakeClock& fake, std::time_t utcStart)
      : fake_(fake), start_(utcStart), startMs_(fake.MonotonicMs()) {}
  int64_t MonotonicMs() const override { return fake_.MonotonicMs(); }
  LocalDateTime Now() const override {
    const int64_t elapsed = fake_.MonotonicMs() - startMs_;
    const std::time_t now = start_ + static_cast<std::time_t>(elapsed / 1000);
    LocalDateTime result;
    localtime_r(&now, &result.tm);
    result.millisecond = static_cast<int>(elapsed % 1000);
    return result;
  }

 private:
  const FakeClock& fake_;
  std::time_t start_;
  int64_t startMs_;
};

size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

std::time_t Utc(int year, int month, int day, int hour) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  return timegm(&tm);
}

// A carol's length in seconds: the built carol's own, else three minutes.
int CarolSeconds(const std::string& path) {
  const char* data = std::getenv("EMBERLRN_DATA_DIR");
  const std::filesystem::path built =
      std::filesystem::path(data ? data : "") / std::filesystem::path(path).filename();
  std::error_code error;
  if (!data || !std::filesystem::is_regular_file(built, error)) return 180;
  return static_cast<int>(ParseStandardMidiFile(ReadFileBytes(built)).durationSeconds) + 1;
}

constexpr int64_t kHourMs = 3600 * 1000;

// How long frames are drawn before the clocks run alone; the sanitizers make
// each frame many times dearer, so there the first style turns are enough.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kFrameMinutes = 15;
#else
constexpr int kFrameMinutes = 120;
#endif

struct SaverSoakTest : SaverWindowTest {
  // Every feature on: all styles turning each minute, the calendar, the
  // message, the sound stopping after eight hours, all 24 carols.
  void EverythingOn() {
    FirstRunStore();
    for (int i = 1; i <= 6; ++i) Set(kSectionFireplace, "ShowFP" + std::to_string(i), "1");
    Set(kSectionFireplace, "RotateT", "1");
    Set(kSectionSettings, "Calendar", "1");
    Set(kSectionSettings, "ShowMsg", "1");
    Set(kSectionSettings, "SoundOff", "480");
    Set(kSectionXmas, "SoundOn", "True");
    for (int i = 1; i <= 24; ++i) Set(kSectionXmas, "Midi" + std::to_string(i), "1");
    snd.pollsFor = CarolSeconds;
  }
  // The fakes' own records are let go each hour, so that only the saver's
  // memory is measured; the carols started are counted first.
  void ForgetCalls() {
    carolsStarted += snd.played.size();
    snd.played.clear();
    snd.calls.clear();
    ds.calls.clear();
    crackles.played.clear();
    crackles.calls.clear();
    system.calls.clear();
    host.calls.clear();
  }
  size_t carolsStarted = 0;
};

TEST_F(SaverSoakTest, TwoDaysAcrossMidnightAndTheClockChangeInTwoTimeZones) {
  struct Zone {
    const char* name;
    std::time_t start;  // noon before the night the clocks go back
  };
  const Zone zones[] = {{"Europe/Berlin", Utc(2026, 10, 24, 10)},
                        {"America/New_York", Utc(2026, 10, 31, 16)}};
  const char* oldZone = std::getenv("TZ");
  for (const Zone& zone : zones) {
    SCOPED_TRACE(zone.name);
    setenv("TZ", zone.name, 1);
    tzset();
    ZonedClock local(clock, zone.start);
    formClock = &local;
    EverythingOn();
    Load();
    form->Show();
    ddrw.recording = false;
    std::set<int> styles;
    std::set<int> days;
    size_t heapAfterWarmUp = 0;
    for (int hour = 0; hour < 24; ++hour) {
      for (int minute = 0; minute < 60; ++minute) {
        // Frames all through the first hours; then the clocks alone, for speed.
        if (hour * 60 + minute == kFrameMinutes) ddrw.open = false;
        loop->RunFor(60 * 1000);
        styles.insert(form->Rotation().fireplaceIndex);
      }
      ForgetCalls();
      days.insert(local.Now().tm.tm_mday);
      if (hour == 4) heapAfterWarmUp = HeapInUse();
    }
    EXPECT_EQ(form->Clocks().runSeconds, 24 * 3600);
    EXPECT_EQ(styles.size(), 6u);
    EXPECT_GE(days.size(), 2u);
    EXPECT_GT(carolsStarted, 24u * 4);  // the playlist went round and round
    const size_t heapAtEnd = HeapInUse();
    std::printf("%s: heap %zu bytes after 4 hours, %zu after 24\n", zone.name, heapAfterWarmUp,
                heapAtEnd);
#if !defined(__SANITIZE_ADDRESS__)
    // The address sanitizer's allocator counts its own bookkeeping too; the
    // growth is judged in the plain build.
    EXPECT_LT(heapAtEnd, heapAfterWarmUp + 64 * 1024) << "the heap grew";
#endif
    EXPECT_FALSE(system.ended);
    form.reset();
    formClock = nullptr;  // the zone's clock ends with this pass
    ddrw.open = true;
    carolsStarted = 0;
  }
  // The power hand-over after an hour's monitor time, in the last zone.
  EverythingOn();
  Set(kSectionSettings, "Power", "1");
  Set(kSectionSettings, "Monitor", "1 hour");
  Load();
  form->Show();
  ddrw.recording = false;
  loop->RunFor(kHourMs - 46 * 1000);
  EXPECT_EQ(host.warningsShown, 0);
  loop->RunFor(2 * 1000);
  EXPECT_EQ(host.warningsShown, 1);
  formClock = nullptr;
  form.reset();
  if (oldZone) {
    setenv("TZ", oldZone, 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

}  // namespace
}  // namespace emberlrn
