#include "sway_ipc.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

namespace pentrax {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::size_t kHeaderSize = sizeof(kMagic) + 2 * sizeof(std::uint32_t);
constexpr std::chrono::milliseconds kReplyLimit{2000};
// A tree of thousands of windows is a few megabytes; anything far larger is
// not a reply of sway's.
constexpr std::uint32_t kLargestReply = 64U << 20;
// Replies to a subscription carry this bit; none is asked for.
constexpr std::uint32_t kEventBit = 0x80000000U;

// Waits until the socket is ready for the given poll events; false when the
// deadline passes or the socket fails.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - Clock::now());
    if (left.count() < 0) {
      return false;
    }
    pollfd p{fd, events, 0};
    const int n = poll(&p, 1, static_cast<int>(left.count()) + 1);
    if (n > 0) {
      return (p.revents & events) != 0;
    }
    if (n < 0 && errno != EINTR) {
      return false;
    }
  }
}

bool WriteAll(int fd, const char* data, std::size_t size,
              Clock::time_point deadline) {
  while (size > 0) {
    const ssize_t n = send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      data += n;
      size -= static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      return false;
    } else if (!WaitFor(fd, POLLOUT, deadline)) {
      return false;
    }
  }
  return true;
}

bool ReadAll(int fd, char* data, std::size_t size, Clock::time_point deadline) {
  while (size > 0) {
    const ssize_t n = recv(fd, data, size, MSG_DONTWAIT);
    if (n > 0) {
      data += n;
      size -= static_cast<std::size_t>(n);
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      return false;
    } else if (!WaitFor(fd, POLLIN, deadline)) {
      return false;
    }
  }
  return true;
}

// A new connection to the socket; -1, with the reason in *error, when nothing
// listens there.
int Connect(const std::string& socketPath, std::string* error) {
  const auto fail = [&](const std::string& why) {
    if (error != nullptr) {
      *error = why;
    }
    return -1;
  };
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.empty() || socketPath.size() >= sizeof(address.sun_path)) {
    return fail("no usable sway socket path: \"" + socketPath + "\"");
  }
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return fail(std::string("cannot create a socket: ") + std::strerror(errno));
  }
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address),
              sizeof(address)) != 0) {
    const int why = errno;
    close(fd);
    return fail("cannot connect to sway at " + socketPath + ": " +
                std::strerror(why));
  }
  return fd;
}

}  // namespace

std::unique_ptr<SwayIpc> SwayIpc::Open(const std::string& socketPath,
                                       std::string* error) {
  const int fd = Connect(socketPath, error);
  if (fd < 0) {
    return nullptr;
  }
  return std::unique_ptr<SwayIpc>(new SwayIpc(socketPath, fd));
}

SwayIpc::~SwayIpc() { Close(); }

void SwayIpc::Close() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
}

std::optional<nlohmann::json> SwayIpc::Request(SwayMessage type,
                                               std::string_view payload) {
  if (payload.size() > kLargestReply) {
    return std::nullopt;
  }
  // A connection that failed (sway stalled past the limit, or restarted) is
  // opened anew.
  if (fd_ < 0 && (fd_ = Connect(socketPath_, nullptr)) < 0) {
    return std::nullopt;
  }
  ++requests_;
  const auto deadline = Clock::now() + kReplyLimit;
  std::vector<char> message(kHeaderSize + payload.size());
  const auto length = static_cast<std::uint32_t>(payload.size());
  const auto code = static_cast<std::uint32_t>(type);
  std::memcpy(message.data(), kMagic, sizeof(kMagic));
  std::memcpy(message.data() + sizeof(kMagic), &length, sizeof(length));
  std::memcpy(message.data() + sizeof(kMagic) + 4, &code, sizeof(code));
  if (!payload.empty()) {
    std::memcpy(message.data() + kHeaderSize, payload.data(), payload.size());
  }
  if (!WriteAll(fd_, message.data(), message.size(), deadline)) {
    Close();
    return std::nullopt;
  }
  for (;;) {
    char header[kHeaderSize];
    std::uint32_t replyLength = 0;
    std::uint32_t replyType = 0;
    if (!ReadAll(fd_, header, kHeaderSize, deadline) ||
        std::memcmp(header, kMagic, sizeof(kMagic)) != 0) {
      Close();
      return std::nullopt;
    }
    std::memcpy(&replyLength, header + sizeof(kMagic), 4);
    std::memcpy(&replyType, header + sizeof(kMagic) + 4, 4);
    std::string body(replyLength <= kLargestReply ? replyLength : 0, '\0');
    if (replyLength > kLargestReply ||
        !ReadAll(fd_, body.data(), body.size(), deadline)) {
      Close();
      return std::nullopt;
    }
    if ((replyType & kEventBit) != 0) {
      continue;
    }
    auto reply = nlohmann::json::parse(body, nullptr, false);
    if (replyType != code || reply.is_discarded()) {
      Close();
      return std::nullopt;
    }
    return reply;
  }
}

}  // namespace pentrax
