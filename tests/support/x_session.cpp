#include "x_session.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace pentrax::testing {

Client::Client(const std::vector<std::string>& argv) {
  int pipefd[2];
  if (pipe(pipefd) != 0) {
    throw std::runtime_error("pipe");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipefd[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipefd[0]);
  std::vector<char*> args;
  for (const auto& a : argv) {
    args.push_back(const_cast<char*>(a.c_str()));
  }
  args.push_back(nullptr);
  const int rc =
      posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipefd[1]);
  out_ = pipefd[0];
  if (rc != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + argv[0]);
  }
}

Client::~Client() {
  Kill();
  if (out_ >= 0) {
    close(out_);
  }
}

std::string Client::ReadLine() {
  std::string line;
  char c;
  while (read(out_, &c, 1) == 1 && c != '\n') {
    line.push_back(c);
  }
  return line;
}

void Client::Kill() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

WindowHandle StartWindow(std::unique_ptr<Client>& client,
                         const std::vector<std::string>& argv) {
  client = std::make_unique<Client>(argv);
  const auto id =
      static_cast<WindowHandle>(std::stoul(client->ReadLine(), nullptr, 16));
  Eventually([&] { return !IcccmState(id).empty(); });
  Eventually([&] {
    const auto r = ReadIndependently(id);
    return r && r->frame == r->Outer();
  });
  return id;
}

std::optional<std::string> Run(const std::string& command) {
  FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
  if (p == nullptr) {
    return std::nullopt;
  }
  std::string out;
  std::array<char, 4096> buf;
  while (std::size_t n = fread(buf.data(), 1, buf.size(), p)) {
    out.append(buf.data(), n);
  }
  return pclose(p) == 0 ? std::optional(out) : std::nullopt;
}

bool SleepMs(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  return true;
}

WindowHandle FindWindowByClass(const std::string& name) {
  const auto out =
      Run("timeout 10 xdotool search --sync --onlyvisible --classname '^" +
          name + "$'");
  return out ? static_cast<WindowHandle>(std::stol(*out)) : 0;
}

void Activate(WindowHandle window) {
  Run("timeout 10 xdotool windowactivate " + std::to_string(window));
}

void Click(WindowHandle window) {
  Run("xdotool mousemove --window " + std::to_string(window) + " 8 8 click 1");
}

namespace {

long Field(const std::string& text, const std::string& label) {
  std::smatch m;
  if (std::regex_search(text, m, std::regex(label + R"(:\s+(-?\d+))"))) {
    return std::stol(m[1]);
  }
  throw std::runtime_error("xwininfo: no " + label);
}

unsigned long HexField(const std::string& text, const std::string& label) {
  std::smatch m;
  if (std::regex_search(text, m, std::regex(label + R"(:\s+(0x[0-9a-f]+))"))) {
    return std::stoul(m[1], nullptr, 16);
  }
  throw std::runtime_error("xwininfo: no " + label);
}

std::optional<Rect> Geometry(unsigned long window, std::string* tree) {
  const auto info = Run("xwininfo -id " + std::to_string(window));
  if (!info) {
    return std::nullopt;
  }
  if (tree != nullptr) {
    *tree =
        Run("xwininfo -children -id " + std::to_string(window)).value_or("");
  }
  const long border = Field(*info, "Border width");
  const long x = Field(*info, "Absolute upper-left X") - border;
  const long y = Field(*info, "Absolute upper-left Y") - border;
  const long w = Field(*info, "Width") + 2 * border;
  const long h = Field(*info, "Height") + 2 * border;
  return Rect{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
              static_cast<std::int32_t>(x + w),
              static_cast<std::int32_t>(y + h)};
}

}  // namespace

std::optional<IndependentReading> ReadIndependently(WindowHandle window) {
  IndependentReading r;
  std::string tree;
  const auto client = Geometry(static_cast<unsigned long>(window), &tree);
  if (!client || tree.empty()) {
    return std::nullopt;
  }
  r.client = *client;
  const auto extents =
      Run("xprop -id " + std::to_string(window) + " _NET_FRAME_EXTENTS");
  std::smatch m;
  if (extents &&
      std::regex_search(*extents, m,
                        std::regex(R"(= (\d+), (\d+), (\d+), (\d+))"))) {
    for (int i = 0; i < 4; ++i) {
      r.extents[i] = std::stoi(m[i + 1]);
    }
  }
  // Walk up to the root's child: the frame.
  const unsigned long root = HexField(tree, "Root window id");
  unsigned long current = static_cast<unsigned long>(window);
  for (int depth = 0; depth < 10; ++depth) {
    const unsigned long parent = HexField(tree, "Parent window id");
    if (parent == root) {
      break;
    }
    current = parent;
    tree =
        Run("xwininfo -children -id " + std::to_string(current)).value_or("");
    if (tree.empty()) {
      return std::nullopt;
    }
  }
  const auto frame = Geometry(current, nullptr);
  if (!frame) {
    return std::nullopt;
  }
  r.frame = *frame;
  return r;
}

std::string ScreenSize() {
  const std::string root = Run("xwininfo -root").value_or("");
  return std::to_string(Field(root, "Width")) + "x" +
         std::to_string(Field(root, "Height"));
}

WindowHandle ActiveWindow() {
  const std::string active = Run("xprop -root _NET_ACTIVE_WINDOW").value_or("");
  const auto at = active.find("# 0x");
  return at == std::string::npos ? 0
                                 : static_cast<WindowHandle>(std::stoul(
                                       active.substr(at + 2), nullptr, 16));
}

std::string NetWmState(WindowHandle window) {
  return Run("xprop -id " + std::to_string(window) + " _NET_WM_STATE")
      .value_or("");
}

std::string IcccmState(WindowHandle window) {
  const auto out = Run("xprop -id " + std::to_string(window) + " WM_STATE");
  if (!out) {
    return "";
  }
  std::smatch m;
  if (std::regex_search(*out, m, std::regex(R"(window state: (\w+))"))) {
    return m[1];
  }
  return "";
}

}  // namespace pentrax::testing
