// End to end on X11: the demo program started as a user starts it, driven with xdotool.
#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool, Status) would clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
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

// The first window whose name is NAME, waiting up to 20 s; 0 when none appears.
Window find_window(const std::string &name) {
  std::string id = run("timeout 20 xdotool search --sync --onlyvisible --name '^" + name +
                       "$' 2>/dev/null | head -n 1");
  return id.empty() ? 0 : Window(std::stoul(id));
}

// Sends KEY to the box named NAME until the box has gone: a key sent the moment the box is
// mapped can arrive before it listens for keys.
bool answer(const std::string &name, const std::string &key) {
  for (int attempt = 0; attempt < 10; attempt++) {
    std::string id =
        run("xdotool search --onlyvisible --name '^" + name + "$' 2>/dev/null | head -n 1");
    if (id.empty()) return attempt > 0;
    run("xdotool key --window " + id + " " + key + " 2>/dev/null");
    std::this_thread::sleep_for(500ms);
  }
  return false;
}

struct rgb {
  int r, g, b;
};

class X11DemoTest : public ::testing::Test {
protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    if (!display_) GTEST_SKIP() << "no X display";
    if (run("command -v xdotool").empty()) GTEST_SKIP() << "xdotool is not installed";
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
    if (display_) XCloseDisplay(display_);
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
  // Starts the demo and answers its question with KEY ('y' or 'n'); returns the main window.
  Window start(const char *key) {
    launch();
    Window box = find_window("Video!");
    EXPECT_NE(box, 0u) << "the full-screen question did not appear";
    if (!box) return 0;
    EXPECT_TRUE(answer("Video!", key)) << "the question box took no answer";
    Window main = find_window(TITLE);
    EXPECT_NE(main, 0u) << "the main window did not appear";
    std::this_thread::sleep_for(1500ms); // a few frames
    return main;
  }
  // Exit code of the demo, waiting up to 20 s; -1 if it is still running.
  int wait_exit() {
    for (int i = 0; i < 200; i++) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(100ms);
    }
    return -1;
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
  Display *display_ = nullptr;
  fs::path dir_;
  pid_t pid_ = 0;
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

TEST_F(X11DemoTest, NoGivesTheTitledWindowShowingFourOutlinedColumns) {
  Window w = start("n");
  ASSERT_NE(w, 0u);
  XWindowAttributes a;
  XGetWindowAttributes(display_, w, &a);
  int x = -1, y = -1;
  Window child;
  XTranslateCoordinates(display_, w, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  // No window manager runs on the test server, so the outer and the client size agree.
  EXPECT_EQ(a.width, 800);
  EXPECT_EQ(a.height, 600);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  int width, height;
  auto px = grab(w, width, height);
  ASSERT_EQ(px.size(), std::size_t(800 * 600));
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
  run("xdotool key Escape");
  EXPECT_EQ(wait_exit(), 0);
}

TEST_F(X11DemoTest, LeftAndRightDragsChangeThePictureDifferently) {
  Window w = start("n");
  ASSERT_NE(w, 0u);
  int width, height;
  auto still = grab(w, width, height);
  run("xdotool mousemove --window " + std::to_string(w) +
      " 400 300 mousedown 1 mousemove_relative --sync 60 0 mousemove_relative --sync 0 20 "
      "mouseup 1");
  std::this_thread::sleep_for(1s);
  auto turned = grab(w, width, height);
  run("xdotool mousemove --window " + std::to_string(w) +
      " 400 300 mousedown 3 mousemove_relative --sync 0 60 mouseup 3");
  std::this_thread::sleep_for(1s);
  auto moved = grab(w, width, height);
  auto differing = [](const std::vector<rgb> &a, const std::vector<rgb> &b) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); i++)
      n += a[i].r != b[i].r || a[i].g != b[i].g || a[i].b != b[i].b;
    return n;
  };
  EXPECT_GT(differing(still, turned), 5000u) << "a left drag turns the scene";
  EXPECT_GT(differing(turned, moved), 5000u) << "a right drag moves it";
  run("xdotool key Escape");
  EXPECT_EQ(wait_exit(), 0);
}

TEST_F(X11DemoTest, CloseButtonEndsTheProgramCleanly) {
  Window w = start("n");
  ASSERT_NE(w, 0u);
  // What a window manager sends when its close button is pressed.
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, w, False, NoEventMask, &e);
  XFlush(display_);
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
       ""},
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
    Window w = start("n");
    if (w) {
      // The frame comes once the assets are read. Without a texture or ramp, or with a black
      // one, a column may melt into its outline; the others still show theirs.
      int width = 0, height = 0, edges = 0;
      auto deadline = std::chrono::steady_clock::now() + 30s;
      while (edges < 4 && std::chrono::steady_clock::now() < deadline) {
        auto px = grab(w, width, height);
        edges = px.empty() ? 0 : outline_edges(px, width, 300);
        if (edges < 4) std::this_thread::sleep_for(250ms);
      }
      EXPECT_GE(edges, 4) << "the scene is drawn";
      run("xdotool key Escape");
    }
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
