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

extern char** environ;

namespace pentrax::testing {

Client::Client(const std::vector<std::string>& argv) {
  int out[2], in[2];
  if (pipe(out) != 0 || pipe(in) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  for (const int fd : {out[0], in[1]}) {
    posix_spawn_file_actions_addclose(&actions, fd);
  }
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const int rc =
      posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(in[0]);
  out_ = out[0];
  in_ = in[1];
  if (rc != 0) throw std::runtime_error("cannot start " + argv[0]);
}

Client::~Client() {
  Kill();
  for (const int fd : {out_, in_}) {
    if (fd >= 0) close(fd);
  }
}

void Client::Write(const std::string& line) {
  if (write(in_, (line + "\n").data(), line.size() + 1) < 0) {
    throw std::runtime_error("the client's input is closed");
  }
}

std::string Client::ReadLine() {
  std::string line;
  char c;
  while (read(out_, &c, 1) == 1 && c != '\n') line.push_back(c);
  return line;
}

void Client::Kill() {
  // Killed if it does not end within 10 s: a test never hangs on it.
  if (pid_ > 0 && kill(pid_, SIGTERM) >= 0 &&
      !Eventually([&] { return waitpid(pid_, nullptr, WNOHANG) != 0; },
                  10000)) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  pid_ = -1;
}

WindowHandle StartWindow(std::unique_ptr<Client>& client,
                         const std::vector<std::string>& argv) {
  client = std::make_unique<Client>(argv);
  const auto id =
      static_cast<WindowHandle>(std::stoul(client->ReadLine(), nullptr, 16));
  // Asked for a place: put there (KWin frames a window before it moves it).
  std::optional<Point> at;
  for (std::size_t i = 1; i + 1 < argv.size(); ++i) {
    Point p;
    if (argv[i] == "--geometry" &&
        std::sscanf(argv[i + 1].c_str(), "%*dx%*d+%d+%d", &p.x, &p.y) == 2) {
      at = p;
    }
  }
  // Managed (WM_STATE), or the test cannot go on; then framed and in place,
  // which KWin never quite is for a window with absurd size hints.
  const auto managed = [&] {
    return Property(id, "WM_STATE").find("window state") != std::string::npos;
  };
  if (!Eventually(managed, 10000)) {
    throw std::runtime_error("the window manager did not take in " + argv[0]);
  }
  Eventually([&] {
    const auto r = ReadIndependently(id);
    return r && r->frame == r->Outer() &&
           (!at || (r->frame.left == at->x && r->frame.top == at->y));
  });
  return id;
}

std::optional<std::string> Run(const std::string& command) {
  FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
  if (p == nullptr) return std::nullopt;
  std::string out;
  std::array<char, 4096> buf;
  while (std::size_t n = fread(buf.data(), 1, buf.size(), p)) {
    out.append(buf.data(), n);
  }
  return pclose(p) == 0 ? std::optional(out) : std::nullopt;
}

WindowHandle FindWindowByClass(const std::string& name) {
  const auto out =
      Run("timeout 20 xdotool search --sync --onlyvisible --classname '^" +
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

// The number after "label:" in what xwininfo says (decimal or 0x...).
std::int32_t Field(const std::string& text, const std::string& label) {
  std::smatch m;
  if (!std::regex_search(text, m, std::regex(label + R"(:\s+(-?\w+))"))) {
    throw std::runtime_error("xwininfo: no " + label);
  }
  return static_cast<std::int32_t>(std::stol(m[1], nullptr, 0));
}

std::optional<std::string> Info(std::int32_t window) {
  return Run("xwininfo -children -stats -id " + std::to_string(window));
}

// Its rectangle, X border included.
Rect Geometry(const std::string& info) {
  const std::int32_t b = Field(info, "Border width"),
                     x = Field(info, "Absolute upper-left X") - b,
                     y = Field(info, "Absolute upper-left Y") - b;
  return {x, y, x + Field(info, "Width") + 2 * b,
          y + Field(info, "Height") + 2 * b};
}

}  // namespace

constexpr char kExtensions[] =
    "timeout 10 gdbus call --session --dest org.gnome.Shell --object-path "
    "/org/gnome/Shell --method org.gnome.Shell.Extensions.";

int ExtensionState() {
  const std::string info =
      Run(std::string(kExtensions) + "GetExtensionInfo pentrax@pentrax.dev")
          .value_or("");
  const std::size_t at = info.find("'state': <");
  return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 10);
}

bool SwitchExtension(bool on, int state) {
  Run(std::string(kExtensions) + (on ? "Enable" : "Disable") +
      "Extension pentrax@pentrax.dev");
  return Eventually([&] { return ExtensionState() == state; }, 10000);
}

std::optional<IndependentReading> ReadIndependently(WindowHandle window) {
  auto info = Info(window);
  if (!info) return std::nullopt;
  IndependentReading r;
  r.client = Geometry(*info);
  std::smatch m;
  const std::string extents = Property(window, "_NET_FRAME_EXTENTS");
  if (std::regex_search(extents, m,
                        std::regex(R"(= (\d+), (\d+), (\d+), (\d+))"))) {
    for (std::size_t i = 0; i < 4; ++i) r.extents[i] = std::stoi(m[i + 1]);
  }
  // Up to the root's child: the frame.
  const auto root = Field(*info, "Root window id");
  for (std::int32_t parent;
       (parent = Field(*info, "Parent window id")) != root;) {
    if (!(info = Info(parent))) return std::nullopt;
  }
  r.frame = Geometry(*info);
  return r;
}

Rect OuterOf(WindowHandle window) {
  const auto r = ReadIndependently(window);
  return r ? r->Outer() : Rect{};
}

std::string ScreenSize() {
  const std::string root = Run("xwininfo -root").value_or("");
  return std::to_string(Field(root, "Width")) + "x" +
         std::to_string(Field(root, "Height"));
}

WindowHandle ActiveWindow() {
  return static_cast<WindowHandle>(
      std::stol(Run("xdotool getactivewindow").value_or("0")));
}

std::string Property(WindowHandle window, const std::string& name) {
  return Run("xprop -id " + std::to_string(window) + " " + name).value_or("");
}

}  // namespace pentrax::testing
