// The backend's line to its agent inside KWin (kwin_agent_script.h), over the
// D-Bus session bus: a connection of the backend's own, an object on it where
// the agent asks for requests, and the agent, loaded into KWin through
// org.kde.KWin /Scripting and started again whenever it is gone.
//
// The agent's ask is a call that the backend answers only when it has a
// request; the agent's answer comes with its next ask. The asks are taken on
// a thread of the channel's own: waiting for one runs no other event of the
// program, and ends as soon as it comes or at the deadline.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace pentrax {

class KWinChannel {
 public:
  // Connects to the session bus and starts the agent. Returns nullptr, with a
  // one-line reason in *error, when KWin's scripting cannot be reached. A
  // QCoreApplication must exist.
  static std::unique_ptr<KWinChannel> Open(std::string* error);
  ~KWinChannel();
  KWinChannel(const KWinChannel&) = delete;
  KWinChannel& operator=(const KWinChannel&) = delete;

  // Hands a request to the agent and returns its answer; nullopt when KWin
  // does not answer in time (it is gone, or the agent could not be started).
  std::optional<std::string> Ask(const std::string& request);

  struct Impl;

 private:
  explicit KWinChannel(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace pentrax
