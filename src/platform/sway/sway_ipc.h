// One connection to sway's IPC socket ($SWAYSOCK): requests and replies in
// sway's binary framing (the magic "i3-ipc", the payload's length and the
// message type, both 32-bit in the machine's byte order) with JSON payloads.
#pragma once

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace pentrax {

enum class SwayMessage : std::uint32_t {
  kRunCommand = 0,
  kGetTree = 4,
  kGetVersion = 7,
};

class SwayIpc {
 public:
  // Connects to the socket; nullptr, with a one-line reason in *error, when
  // nothing listens there.
  static std::unique_ptr<SwayIpc> Open(const std::string& socketPath,
                                       std::string* error);
  ~SwayIpc();
  SwayIpc(const SwayIpc&) = delete;
  SwayIpc& operator=(const SwayIpc&) = delete;

  // Sends one request and returns sway's parsed reply. nullopt when the
  // connection is lost, sway does not answer within two seconds or the reply
  // cannot be read: the connection is then closed, and the next request
  // connects again.
  std::optional<nlohmann::json> Request(SwayMessage type,
                                        std::string_view payload = {});

  // Requests sent since the connection was opened.
  std::uint64_t requests() const { return requests_; }

 private:
  SwayIpc(std::string socketPath, int fd)
      : socketPath_(std::move(socketPath)), fd_(fd) {}
  void Close();

  std::string socketPath_;
  int fd_ = -1;
  std::uint64_t requests_ = 0;
};

}  // namespace pentrax
