// Start-up time and memory of luminakey against a bare Qt window.
//
// Each round starts both programs, in alternating order, and measures the
// time from spawning the process to the X server mapping its first window
// with the expected title (luminakey's start screen, "スタート画面"). Two
// seconds after mapping it reads the resident set size (VmRSS). Prints the
// medians. Without a DISPLAY it re-runs itself under xvfb-run.
//
// Usage: bench_startup [rounds]   (default 15)

#if !defined(LK_LUMINAKEY_BIN)
// Built without the desktop program (LUMINAKEY_GUI=OFF): nothing to measure.
#include <cstdio>
int main() {
  std::puts("bench_startup: built without the desktop program");
  return 0;
}
#else

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "engine/key_settings.h"
#include "practice/ranking_table.h"
#include "records/settings_file.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Sample {
  double ms = 0;
  long rssKb = 0;
};

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, cookie, nullptr);
  const xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
  std::free(r);
  return a;
}

std::string windowTitle(xcb_connection_t* c, xcb_window_t w, xcb_atom_t netWmName, xcb_atom_t utf8) {
  auto cookie = xcb_get_property(c, 0, w, netWmName, utf8, 0, 1024);
  xcb_get_property_reply_t* r = xcb_get_property_reply(c, cookie, nullptr);
  std::string title;
  if (r) {
    title.assign(static_cast<const char*>(xcb_get_property_value(r)),
                 static_cast<std::size_t>(xcb_get_property_value_length(r)));
    std::free(r);
  }
  return title;
}

long residentKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

// Spawns `program` in `folder` and waits for a window titled `title` to be mapped.
std::optional<Sample> measure(const fs::path& program, const std::string& title) {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::fprintf(stderr, "cannot connect to the X server\n");
    return std::nullopt;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
  const xcb_atom_t netWmName = atom(c, "_NET_WM_NAME");
  const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
  xcb_flush(c);

  const std::string path = program.string();
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = 0;
  const auto t0 = Clock::now();
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) {
    std::fprintf(stderr, "cannot start %s\n", path.c_str());
    xcb_disconnect(c);
    return std::nullopt;
  }
  std::optional<Sample> sample;
  const auto deadline = t0 + std::chrono::seconds(20);
  while (!sample && Clock::now() < deadline) {
    xcb_generic_event_t* e = xcb_poll_for_event(c);
    if (!e) {
      if (xcb_connection_has_error(c)) break;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      continue;
    }
    if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
      const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(e);
      const auto t1 = Clock::now();
      if (windowTitle(c, map->window, netWmName, utf8) == title)
        sample = Sample{std::chrono::duration<double, std::milli>(t1 - t0).count(), 0};
    }
    std::free(e);
  }
  if (sample) {
    std::this_thread::sleep_for(std::chrono::seconds(2));
    sample->rssKb = residentKb(pid);
  } else {
    std::fprintf(stderr, "%s: no window \"%s\" within 20 s\n", path.c_str(), title.c_str());
  }
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  xcb_disconnect(c);
  return sample;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

// A program folder of its own for luminakey, with set.dat and rank.dat, so
// that no load message stands between start and the start screen.
fs::path prepareFolder(const fs::path& luminakey) {
  const fs::path dir = fs::temp_directory_path() / ("lk-bench-startup-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path copy = dir / "luminakey";
  fs::copy_file(luminakey, copy, fs::copy_options::overwrite_existing);
  for (const char* f : {"key.wav", "miss.wav", "music/key.wav", "music/miss.wav", "music/clear.wav"}) {
    const fs::path from = luminakey.parent_path() / f;
    if (!fs::exists(from)) continue;
    fs::create_directories((dir / f).parent_path());
    fs::copy_file(from, dir / f, fs::copy_options::overwrite_existing);
  }
  lk::saveSettings(lk::KeySettings(), dir / "set.dat");
  lk::saveRanking(lk::RankingTable(), dir / "rank.dat");
  return copy;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (!std::getenv("DISPLAY")) {
    std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                               const_cast<char*>("-screen 0 1280x1024x24")};
    for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp("xvfb-run", args.data());
    std::perror("xvfb-run");
    return 1;
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const fs::path luminakey = prepareFolder(LK_LUMINAKEY_BIN);
  const fs::path bare = LK_BARE_WINDOW_BIN;

  std::vector<double> lkMs, bareMs, lkRss, bareRss;
  for (int i = 0; i < rounds; ++i) {
    // Alternate which program goes first, so warm caches favour neither.
    for (int k = 0; k < 2; ++k) {
      const bool lkTurn = (i + k) % 2 == 0;
      auto s = lkTurn ? measure(luminakey, "スタート画面") : measure(bare, "bare_window");
      if (!s) return 1;
      (lkTurn ? lkMs : bareMs).push_back(s->ms);
      (lkTurn ? lkRss : bareRss).push_back(static_cast<double>(s->rssKb) / 1024.0);
      std::printf("round %2d %-12s %7.1f ms  %6.1f MB\n", i + 1, lkTurn ? "luminakey" : "bare_window", s->ms,
                  static_cast<double>(s->rssKb) / 1024.0);
    }
  }
  std::error_code ec;
  fs::remove_all(luminakey.parent_path(), ec);

  const double lkMed = median(lkMs), bareMed = median(bareMs);
  std::printf("\nmedian time to mapped window: luminakey %.1f ms, bare_window %.1f ms, ratio %.2f (target <= 1.30)\n",
              lkMed, bareMed, lkMed / bareMed);
  std::printf("median RSS 2 s after mapping: luminakey %.1f MB (target < 45), bare_window %.1f MB\n",
              median(lkRss), median(bareRss));
  return 0;
}

#endif  // LK_LUMINAKEY_BIN
