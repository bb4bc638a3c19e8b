// The real program on a virtual X server, driven as a person drives it: F1
// records, F2 stops, closing the window ends the program, and the take is on
// disk. Skipped where xvfb-run or xdotool is missing.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/ProgramRun.h"
#include "common/ScopedEnv.h"
#include "common/SndfileCheck.h"
#include "common/TempDir.h"

// clang-format off
#include <X11/Xlib.h>  // last: its macros (None, Bool, Status) clash with other headers
// clang-format on

namespace lumora::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// xvfb-run with the program under it, in a session of its own that is ended
// should the test stop early: no X server outlives the test. The display's
// name is written into displayFile once the server answers.
class ScreenRun {
 public:
  ScreenRun(const TempDir& dir, const std::string& displayFile) {
    // The first free display from a number of this process's own: tests
    // starting side by side would otherwise race for the same one. xvfb-run
    // may start the program before the server answers: wait for it first.
    const std::string first = std::to_string(1000 + getpid() % 20000);
    const std::string script =
        "until xdotool getmouselocation >/dev/null 2>&1; do sleep 0.05; done; echo \"$DISPLAY\" > \"$1\"; "
        "exec \"$0\"";
    std::vector<std::string> args{"xvfb-run", "-a", "-n", first, "-f", dir.file("xauth"), "sh", "-c", script};
    args.insert(args.end(), {LUMORA_BUILD_DIR "/lumora", displayFile});
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    if (posix_spawnp(&pid_, "xvfb-run", nullptr, &attributes, argv.data(), environ) != 0) pid_ = 0;
    posix_spawnattr_destroy(&attributes);
  }
  ~ScreenRun() {
    const pid_t group = pid_;
    if (group == 0) return;
    kill(-group, SIGTERM);
    if (!Reaped(10s)) {
      kill(-group, SIGKILL);
      Reaped(5s);
    }
  }
  // The program's exit code once xvfb-run has ended; -1 when it has not ended in time.
  int Exit(std::chrono::milliseconds limit) {
    return Reaped(limit) && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  }

 private:
  bool Reaped(std::chrono::milliseconds limit) {
    if (pid_ != 0 && WaitFor(limit, [&] { return waitpid(pid_, &status_, WNOHANG) == pid_; })) pid_ = 0;
    return pid_ == 0;
  }

  pid_t pid_ = 0;
  int status_ = 0;
};

// True once no take holds the file's lock.
bool Unlocked(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  const bool free = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (fd >= 0) close(fd);
  return free;
}

// Asks the window to close, as a window manager's close button does.
void CloseWindow(unsigned long window) {
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XCloseDisplay(display);
}

TEST(RealWindow, FunctionKeysRecordATakeAndClosingEndsTheProgram) {
  if (std::system("(command -v xvfb-run && command -v xdotool) >/dev/null") != 0)
    GTEST_SKIP() << "no xvfb-run or xdotool";
  TempDir dir;
  const std::string takes = dir.folder() + "takes/", store = dir.folder() + "config/tessaron/";
  fs::create_directories(takes);
  fs::create_directories(store);
  fs::create_directory(dir.folder() + "run");
  fs::permissions(dir.folder() + "run", fs::perms::owner_all);
  // Every session's store records into the test's folder: another lumora on
  // this machine makes this run session B.
  const std::string conf = "[conf]\nDataPath=" + takes + "\nPriorityHigh=0\n";
  for (const char* session : {"lumora", "lumorab", "lumorac", "lumorad"}) {
    WriteText(store + session, conf);
  }
  WriteText(store + "common", "[conf]\nDebugLogPath=" + dir.folder() + "log/\n");
  // No sound server: the built-in test signal is the input.
  const ScopedEnv config("XDG_CONFIG_HOME", dir.folder() + "config"), state("XDG_STATE_HOME", dir.folder()),
      data("XDG_DATA_HOME", dir.folder()), runtime("XDG_RUNTIME_DIR", dir.folder() + "run"),
      noServer("PULSE_SERVER", "unix:/nonexistent/lumora-no-server"), platform("QT_QPA_PLATFORM", "xcb");
  const std::string displayFile = dir.file("display"), take = takes + "new.wav";
  ScreenRun run(dir, displayFile);
  ASSERT_TRUE(WaitFor(30s, [&] { return fs::exists(displayFile) && fs::file_size(displayFile) > 1; }));
  const ScopedEnv display("DISPLAY", CommandOutput("cat " + displayFile)),
      auth("XAUTHORITY", dir.file("xauth"));

  // One client that looks for the window until it is shown: a stream of short
  // clients while the program starts can keep it from connecting.
  const std::string window =
      CommandOutput("timeout 60 xdotool search --sync --name '^lumora[B-D]? - tessaron$' 2>/dev/null");
  ASSERT_FALSE(window.empty()) << "no window";
  CommandOutput("xdotool key --window " + window + " F1 2>/dev/null");
  ASSERT_TRUE(WaitFor(30s, [&] { return fs::exists(take); })) << "F1 started no take";
  std::this_thread::sleep_for(1s);
  CommandOutput("xdotool key --window " + window + " F2 2>/dev/null");
  ASSERT_TRUE(WaitFor(30s, [&] { return Unlocked(take); })) << "F2 did not stop the take";
  CloseWindow(std::stoul(window));
  EXPECT_EQ(run.Exit(30s), 0);
  const SndfileView view = ReadWithSndfile(take);
  EXPECT_TRUE(view.opened && view.strict) << view.log;
  EXPECT_GT(view.frames, 0);
}

}  // namespace
}  // namespace lumora::test
