// End to end on X11: the demo program started as a user starts it, driven with xdotool.
#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool, Status) would clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "tests/support/x11_support.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using vantrel::test::expect_nothing_held;
using vantrel::test::send_close_request;

const char *TITLE = "Dimostrazione di FX_Cartoon abbinato con Texture CellShader";

std::string run(const std::string &command) {
  std::string out;
  if (FILE *p = popen(command.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p))
      out += buf;
    pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
    out.pop_back();
  return out;
}

// Polls DONE every 20 ms until it holds or SECONDS pass.
bool wait_until(const std::function<bool()> &done, double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// The first window whose name is NAME, waiting up to 20 s; 0 when none appears. Asked again
// while none is found: a search ends early when a window it walks past goes away meanwhile,
// as a window manager's frames do.
Window find_window(const std::string &name) {
  std::string id, search = "xdotool search --onlyvisible --name '^" + name + "$' 2>/dev/null";
  wait_until([&] { return !(id = run("timeout 20 " + search + " | head -n 1")).empty(); }, 60);
  return id.empty() ? 0 : Window(std::stoul(id));
}

struct rgb {
  int r, g, b;
  bool operator==(const rgb &) const = default;
};

// Outline black, with the few per cent of fog colour that distance adds.
bool black(rgb p) { return p.r < 24 && p.g < 24 && p.b < 24; }

// Black outline edges met along one row, entering from a lit pixel.
int outline_edges(const std::vector<rgb> &px, int width, int row) {
  int edges = 0;
  for (int x = 1; x < width; x++)
    if (black(px[row * width + x]) && !black(px[row * width + x - 1])) edges++;
  return edges;
}

class X11DemoTest : public ::testing::Test {
protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    VANTREL_NEED_X11(display_ != nullptr);
    // Asking after a window that has just gone is expected here, not an error to end on.
    XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    dir_ = fs::temp_directory_path() /
           ("vantrel-e2e-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    for (const char *f : {"stoneblocks.bmp", "pietre.bmp", "gray11.bmp", "grigio3.sdr"})
      fs::copy_file(fs::path(VANTREL_DEMO_ASSETS) / f, dir_ / f,
                    fs::copy_options::overwrite_existing);
  }
  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (display_) {
      expect_nothing_held(display_);
      XCloseDisplay(display_);
    }
    fs::remove_all(dir_);
  }
  void launch() {
    pid_ = fork();
    if (pid_ == 0) {
      fs::current_path(dir_);
      std::string err = (dir_ / "stderr.txt").string();
      freopen(err.c_str(), "w", stderr);
      // A run-time error ends the program with its windows open: that is not a leak to report,
      // and a sanitized build would otherwise change the exit code.
      setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
      execl(VANTREL_DEMO, VANTREL_DEMO, (char *)nullptr);
      _exit(127);
    }
  }
  // Answers the box named NAME with KEY: once the box holds the keyboard focus (a key typed
  // earlier would go elsewhere), one press and release, then the box must go away.
  bool answer(const std::string &name, const std::string &key) {
    // The deadlines only guard against a hang: a window manager that has just started on a
    // loaded machine can take many seconds to give the box the focus.
    Window box = find_window(name);
    if (!box)
      return ADD_FAILURE() << "no window named " << name << "; the demo said: " << stderr_text(),
             false;
    auto focused = [&] {
      Window focus = 0;
      int revert;
      XGetInputFocus(display_, &focus, &revert);
      return focus == box;
    };
    if (!wait_until(focused, 60)) return ADD_FAILURE() << name << " never had the focus", false;
    run("xdotool key " + key);
    return wait_until([&] { return !exists(box); }, 60);
  }
  bool exists(Window w) {
    XSync(display_, False);
    Window root, parent, *kids = nullptr;
    unsigned n = 0;
    bool alive = XQueryTree(display_, w, &root, &parent, &kids, &n) != 0;
    if (kids) XFree(kids);
    return alive;
  }
  // Starts the demo and answers its question with KEY ('y' or 'n'); returns the main window
  // once it shows the four outlined columns (EDGES outline edges across the middle row: two a
  // column, fewer when a column melts into its outline for want of a texture).
  Window start(const char *key, int edges = 8) {
    launch();
    EXPECT_TRUE(answer("Video!", key)) << "the full-screen question took no answer";
    Window main = find_window(TITLE);
    EXPECT_NE(main, 0u) << "the main window did not appear";
    if (!main) return 0;
    EXPECT_TRUE(wait_until(
        [&] {
          int w, h;
          auto px = grab(main, w, h);
          return !px.empty() && outline_edges(px, w, h / 2) >= edges;
        },
        20))
        << "no outlined columns on the screen";
    return main;
  }
  // Exit code of the demo, waiting up to SECONDS; -1 if it is still running.
  int wait_exit(double seconds = 20) {
    int status = 0;
    if (!wait_until([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, seconds)) return -1;
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  std::string stderr_text() {
    std::ifstream in(dir_ / "stderr.txt");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The window's pixels as the screen shows them.
  std::vector<rgb> grab(Window w, int &width, int &height) {
    XWindowAttributes a;
    XGetWindowAttributes(display_, w, &a);
    width = a.width, height = a.height;
    XImage *img = XGetImage(display_, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    std::vector<rgb> px;
    if (!img) return px;
    for (int y = 0; y < a.height; y++)
      for (int x = 0; x < a.width; x++) {
        unsigned long p = XGetPixel(img, x, y);
        px.push_back({int((p >> 16) & 255), int((p >> 8) & 255), int(p & 255)});
      }
    XDestroyImage(img);
    return px;
  }
  bool window_manager() { return run("wmctrl -m >/dev/null 2>&1 && echo yes") == "yes"; }
  Display *display_ = nullptr;
  fs::path dir_;
  pid_t pid_ = 0;
};

TEST_F(X11DemoTest, NoGivesTheTitledWindowShowingFourOutlinedColumns) {
  Window w = start("n");
  ASSERT_NE(w, 0u);
  XWindowAttributes a;
  XGetWindowAttributes(display_, w, &a);
  int x = -1, y = -1;
  Window child;
  XTranslateCoordinates(display_, w, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  // The X window is the client area of the 800 x 600 outer rectangle at (0, 0), inside
  // Win32's frame and caption, where Wine puts it too; a window manager places it itself.
  EXPECT_EQ(a.width, 794);
  EXPECT_EQ(a.height, 575);
  if (!window_manager()) {
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 22);
  }
  int width, height;
  auto px = grab(w, width, height);
  ASSERT_EQ(px.size(), std::size_t(794 * 575));
  EXPECT_GE(outline_edges(px, width, 300), 8) << "two outline edges for each of four shafts";
  // The sky is the cleared black, the floor in front is lit and fogged grey.
  EXPECT_TRUE(black(px[5 * width + 5]) || px[5 * width + 5].r < 200);
  run("xdotool key Escape");
  EXPECT_EQ(wait_exit(), 0);
}

TEST_F(X11DemoTest, YesCoversTheScreen) {
  Window w = start("y");
  ASSERT_NE(w, 0u);
  XWindowAttributes a;
  XGetWindowAttributes(display_, w, &a);
  Screen *s = DefaultScreenOfDisplay(display_);
  // The thin border sits outside the client area.
  EXPECT_EQ(a.width + 2 * a.border_width, WidthOfScreen(s));
  EXPECT_EQ(a.height + 2 * a.border_width, HeightOfScreen(s));
  // On the screen: the border in COLOR_WINDOWFRAME along all four edges, where a panel or the
  // desktop would show if the window did not cover them.
  const int sw = WidthOfScreen(s), sh = HeightOfScreen(s);
  int off = 0;
  for (auto [x, y, w, h] :
       {std::array{0, 0, sw, 1}, {0, sh - 1, sw, 1}, {0, 0, 1, sh}, {sw - 1, 0, 1, sh}}) {
    XImage *img = XGetImage(display_, DefaultRootWindow(display_), x, y, unsigned(w), unsigned(h),
                            AllPlanes, ZPixmap);
    ASSERT_NE(img, nullptr);
    for (int i = 0; i < w * h; i++)
      off += (XGetPixel(img, i % w, i / w) & 0xFFFFFF) != 0x9E9E9E;
    XDestroyImage(img);
  }
  EXPECT_EQ(off, 0) << "screen edge pixels that are not the window's border";
  run("xdotool key Escape");
  EXPECT_EQ(wait_exit(), 0);
}

// A quick drag of 300 motions turns the picture and leaves nothing queued behind it: Escape
// right after ends the program at once, where one message per motion would keep it turning
// for seconds. A right drag then moves the scene, which looks different again.
TEST_F(X11DemoTest, DragsChangeThePictureWithoutABacklog) {
  Window w = start("n");
  ASSERT_NE(w, 0u);
  int width, height;
  auto differing = [](const std::vector<rgb> &a, const std::vector<rgb> &b) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); i++)
      n += a[i].r != b[i].r || a[i].g != b[i].g || a[i].b != b[i].b;
    return n;
  };
  // Waits for the picture to differ from BEFORE and then hold still; returns it.
  auto settled_after = [&](const std::vector<rgb> &before) {
    std::vector<rgb> last;
    wait_until(
        [&] {
          auto now = grab(w, width, height);
          bool done = differing(before, now) > 5000 && now == last;
          last = now;
          return done;
        },
        20);
    return last;
  };
  auto still = grab(w, width, height);
  std::string drag = "xdotool mousemove --window " + std::to_string(w) + " 300 300 mousedown 1";
  for (int i = 1; i <= 300; i++)
    drag += " mousemove --window " + std::to_string(w) + " " + std::to_string(300 + i / 3) + " " +
            std::to_string(300 + i / 10);
  run(drag + " mouseup 1");
  auto turned = settled_after(still);
  EXPECT_GT(differing(still, turned), 5000u) << "a left drag turns the scene";

  run("xdotool mousemove --window " + std::to_string(w) +
      " 400 300 mousedown 3 mousemove_relative --sync 0 60 mouseup 3");
  auto moved = settled_after(turned);
  EXPECT_GT(differing(turned, moved), 5000u) << "a right drag moves it";

  run(drag + " mouseup 1 key Escape");
  EXPECT_EQ(wait_exit(5), 0) << "Escape waits behind no backlog of moves";
}

// Another program destroying the window (xdotool windowclose) ends the program as closing it
// does; one killing the program's connection to the server ends it with a message and a
// failure code, without spinning.
TEST_F(X11DemoTest, WindowDestroyedOrConnectionLostEndsTheProgram) {
  Window w = start("n");
  ASSERT_NE(w, 0u);
  run("xdotool windowclose " + std::to_string(w) + " 2>/dev/null");
  EXPECT_EQ(wait_exit(), 0); // the time it takes is bench/outside_close's to measure

  w = start("n");
  ASSERT_NE(w, 0u);
  run("xdotool windowkill " + std::to_string(w) + " 2>/dev/null");
  int code = wait_exit(5);
  EXPECT_NE(code, 0);
  EXPECT_NE(code, -1) << "the program keeps running without its connection";
  EXPECT_NE(stderr_text().find("X connection"), std::string::npos) << stderr_text();
}

TEST_F(X11DemoTest, CloseButtonEndsTheProgramCleanly) {
  Window w = start("n");
  ASSERT_NE(w, 0u);
  send_close_request(display_, w);
  EXPECT_EQ(wait_exit(), 0);
}

TEST_F(X11DemoTest, AltF4EndsTheProgramCleanly) {
  Window w = start("n");
  ASSERT_NE(w, 0u);
  run("xdotool windowfocus --sync " + std::to_string(w) + " key alt+F4");
  EXPECT_EQ(wait_exit(), 0);
}

TEST_F(X11DemoTest, MissingTextureStillRuns) {
  fs::remove(dir_ / "gray11.bmp");
  Window w = start("n");
  ASSERT_NE(w, 0u);
  int width, height;
  auto px = grab(w, width, height);
  EXPECT_GE(outline_edges(px, width, 300), 8);
  run("xdotool key Escape");
  EXPECT_EQ(wait_exit(), 0);
  EXPECT_NE(stderr_text().find("gray11.bmp"), std::string::npos);
}

// A 32-bit BMP file of W x H pixels, all zero, made sparse: the pixels take no disk.
void sparse_bmp(const fs::path &path, std::int32_t w, std::int32_t h) {
  std::string head = "BM";
  auto put = [&](std::uint32_t v, int n) {
    for (int i = 0; i < n; i++)
      head.push_back(char(v >> (8 * i) & 0xFF));
  };
  std::uint32_t data = std::uint32_t(w) * std::uint32_t(h) * 4;
  put(54 + data, 4), put(0, 4), put(54, 4), put(40, 4), put(std::uint32_t(w), 4);
  put(std::uint32_t(h), 4), put(1, 2), put(32, 2), put(0, 4), put(data, 4);
  for (int i = 0; i < 4; i++) // resolution and colour counts
    put(0, 4);
  std::ofstream(path, std::ios::binary) << head;
  fs::resize_file(path, 54 + std::uintmax_t(data));
}

TEST_F(X11DemoTest, FilesThatAreNoPicturesOrRampsNeverHangTheDemo) {
  // Each asset in turn replaced by something a user could name in its place. The demo must come
  // up as always, having said in one line what it refused and why.
  struct row {
    const char *asset;
    std::function<void(const fs::path &)> make;
    std::string warning; // the one line on stderr, up to a "*" that stands for the rest
  } rows[] = {
      {"stoneblocks.bmp", [](const fs::path &p) { mkfifo(p.c_str(), 0600); },
       "texture 'stoneblocks.bmp' not loaded into slot 0: not a regular file"},
      {"grigio3.sdr", [](const fs::path &p) { mkfifo(p.c_str(), 0600); },
       "shade ramp 'grigio3.sdr' not loaded: not a regular file"},
      {"pietre.bmp", [](const fs::path &p) { fs::create_directory(p); },
       "texture 'pietre.bmp' not loaded into slot 1: is a directory"},
      // A gigabyte whose width no OpenGL takes (32768 is the most any gives): refused from
      // its header. One OpenGL can take is read, and drawn, as any other texture.
      {"gray11.bmp", [](const fs::path &p) { sparse_bmp(p, 32769, 8191); },
       "texture 'gray11.bmp' not loaded into slot 2: its 32769 x 8191 pixels exceed the largest "
       "texture OpenGL takes here, *"},
      {"grigio3.sdr",
       [](const fs::path &p) {
         std::ofstream{p};
         fs::resize_file(p, 1u << 30);
       },
       "shade ramp 'grigio3.sdr' holds no number: every entry is 0"},
      {"grigio3.sdr",
       [](const fs::path &p) {
         std::ofstream(p) << "0.5\n1e-400\n1e999\n0." << std::string(300, '3') << "\n";
       },
       ""},
  };
  for (auto &r : rows) {
    SCOPED_TRACE(r.asset);
    fs::remove(dir_ / r.asset);
    r.make(dir_ / r.asset);
    // Without a texture or ramp, or with a black one, a column may melt into its outline; the
    // others still show theirs.
    if (start("n", 4)) run("xdotool key Escape");
    EXPECT_EQ(wait_exit(), 0);
    std::string err = stderr_text(),
                want = r.warning.empty() ? "" : "vantrel: warning: " + r.warning;
    if (want.back() == '*') {
      want.pop_back();
      EXPECT_EQ(err.rfind(want, 0), 0u) << err;
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    } else {
      EXPECT_EQ(err, want.empty() ? "" : want + "\n");
    }
    fs::remove_all(dir_ / r.asset);
    fs::copy_file(fs::path(VANTREL_DEMO_ASSETS) / r.asset, dir_ / r.asset);
    if (HasFailure()) break;
  }
}

TEST_F(X11DemoTest, MalformedRampEndsWithInvalidNumericFormat) {
  std::ofstream(dir_ / "grigio3.sdr") << "0.25\n0,5\n";
  launch();
  ASSERT_NE(find_window("Video!"), 0u);
  ASSERT_TRUE(answer("Video!", "n"));
  ASSERT_NE(find_window("Error"), 0u) << "the run-time error shows in a box";
  EXPECT_TRUE(answer("Error", "Return"));
  EXPECT_EQ(wait_exit(), 106);
  std::string err = stderr_text();
  EXPECT_NE(err.find("grigio3.sdr:2"), std::string::npos) << err;
}

} // namespace
