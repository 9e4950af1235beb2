#include "placements_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <random>
#include <thread>
#include <utility>

namespace pentrax::settings {
namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr int kVersion = 2;
constexpr char kFolder[] = "pentrax2";
constexpr char kFile[] = "placements.json";
constexpr char kLock[] = "placements.lock";
constexpr char kDamaged[] = "placements.json.damaged";

// A descriptor, closed (and a lock on it given up) with it.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Descriptor() {
    if (fd_ >= 0) {
      close(fd_);
    }
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// A system call's result with errno as the call left it, read before
// anything else can change it.
template <typename T>
struct Sys {
  T result;
  int error;
};
template <typename T>
Sys<T> Call(T result) {
  return {result, errno};
}

std::string Failed(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

// The same for a call that opened name in the folder dir without following
// a link, which fails on one.
std::string FailedAt(const std::string& what, int dir, const char* name,
                     int error) {
  struct stat s {};
  if ((error == ELOOP || error == ENOTDIR) &&
      fstatat(dir, name, &s, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(s.st_mode)) {
    return what + ": it is a symbolic link";
  }
  return Failed(what, error);
}

// Why the folder open as fd is not the user's own and closed to others;
// empty when it is.
std::string NotPrivate(int fd, const std::string& path) {
  struct stat s {};
  if (const auto got = Call(fstat(fd, &s)); got.result != 0) {
    return Failed("cannot read " + path, got.error);
  }
  if (s.st_uid != geteuid()) {
    return path + " belongs to uid " + std::to_string(s.st_uid) +
           ", not to this user (uid " + std::to_string(geteuid()) + ")";
  }
  if ((s.st_mode & 077) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", s.st_mode & 07777u);
    return path + " is open to others (mode " + mode + ", not 0700)";
  }
  return {};
}

// Pentrax's folder in the runtime folder, opened; none (and no error) when
// it is not there and was not to be made.
struct Folder {
  Descriptor fd;
  std::string error;
};

Folder OpenFolder(const std::string& runtime, bool make) {
  Folder f;
  const auto top = Call(
      open(runtime.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (top.result < 0) {
    f.error = FailedAt("cannot open " + runtime, AT_FDCWD, runtime.c_str(),
                       top.error);
    return f;
  }
  const Descriptor runtimeFd(top.result);
  if (f.error = NotPrivate(runtimeFd.get(), runtime); !f.error.empty()) {
    return f;
  }
  const std::string path = runtime + "/" + kFolder;
  if (make) {
    if (const auto made = Call(mkdirat(runtimeFd.get(), kFolder, 0700));
        made.result != 0 && made.error != EEXIST) {
      f.error = Failed("cannot make " + path, made.error);
      return f;
    }
  }
  const auto own =
      Call(openat(runtimeFd.get(), kFolder,
                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (own.result < 0) {
    if (make || own.error != ENOENT) {
      f.error =
          FailedAt("cannot open " + path, runtimeFd.get(), kFolder, own.error);
    }
    return f;
  }
  f.fd = Descriptor(own.result);
  f.error = NotPrivate(f.fd.get(), path);
  return f;
}

// The file as read: its records, or why it is not a placements file
// (damaged), or why it cannot be read (error).
struct Contents {
  std::vector<StoredRecord> records;
  std::string damaged;
  std::string error;
};

Contents ReadFile(int folder, const std::string& path) {
  Contents c;
  // Not blocking: a FIFO in the file's place must not hold up the open.
  const auto opened =
      Call(openat(folder, kFile,
                  O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (opened.result < 0) {
    if (opened.error == ELOOP) {
      c.damaged = "it is a symbolic link";
    } else if (opened.error != ENOENT) {
      c.error = Failed("cannot read " + path, opened.error);
    }
    return c;
  }
  const Descriptor file(opened.result);
  struct stat s {};
  if (const auto got = Call(fstat(file.get(), &s)); got.result != 0) {
    c.error = Failed("cannot read " + path, got.error);
    return c;
  }
  if (!S_ISREG(s.st_mode) || s.st_uid != geteuid()) {
    c.damaged = "it is not a plain file of this user's";
    return c;
  }
  std::string text;
  std::string buffer(65536, '\0');
  while (text.size() <= PlacementsFile::kLargestFile) {
    const auto n = Call(read(file.get(), buffer.data(), buffer.size()));
    if (n.result == 0) {
      break;
    }
    if (n.result < 0 && n.error != EINTR) {
      c.error = Failed("cannot read " + path, n.error);
      return c;
    }
    text.append(buffer, 0,
                static_cast<std::size_t>(std::max<ssize_t>(n.result, 0)));
  }
  if (text.size() > PlacementsFile::kLargestFile) {
    c.damaged = "it is larger than " +
                std::to_string(PlacementsFile::kLargestFile >> 20) + " MB";
  } else if (auto records = ReadPlacements(text)) {
    c.records = std::move(*records);
  } else {
    c.damaged = "it is not a placements file of this Pentrax";
  }
  return c;
}

// Writes the whole text to a new file in the folder, made for this write
// alone, and renames it over the file.
std::string Replace(int folder, const std::string& path,
                    const std::string& text) {
  std::random_device random;
  std::string name;
  Sys<int> made{-1, EEXIST};
  for (int tries = 0; made.result < 0 && made.error == EEXIST && tries < 8;
       ++tries) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", random());
    name = std::string(kFile) + "." + suffix + ".new";
    made = Call(openat(folder, name.c_str(),
                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       0600));
  }
  if (made.result < 0) {
    return Failed("cannot write " + path, made.error);
  }
  Descriptor file(made.result);
  int error = 0;
  for (std::size_t done = 0; done < text.size() && error == 0;) {
    const auto n =
        Call(write(file.get(), text.data() + done, text.size() - done));
    if (n.result > 0) {
      done += static_cast<std::size_t>(n.result);
    } else if (n.error != EINTR) {
      error = n.error;
    }
  }
  if (const auto closed = Call(close(std::exchange(file, Descriptor()).get()));
      error == 0 && closed.result != 0) {
    error = closed.error;
  }
  if (error == 0) {
    const auto renamed = Call(renameat(folder, name.c_str(), folder, kFile));
    error = renamed.result != 0 ? renamed.error : 0;
  }
  if (error != 0) {
    unlinkat(folder, name.c_str(), 0);
    return Failed("cannot write " + path, error);
  }
  return {};
}

std::optional<std::int32_t> Int32(const json& v) {
  if (v.is_number_unsigned()) {
    const auto n = v.get<std::uint64_t>();
    return n <= INT32_MAX ? std::optional(static_cast<std::int32_t>(n))
                          : std::nullopt;
  }
  if (v.is_number_integer()) {
    const auto n = v.get<std::int64_t>();
    return n >= INT32_MIN && n <= INT32_MAX
               ? std::optional(static_cast<std::int32_t>(n))
               : std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<StoredRecord>> ReadPlacements(std::string_view text) {
  const json all = json::parse(text, nullptr, false);
  if (!all.is_object() || all.size() != 2 || !all.contains("pentrax") ||
      all["pentrax"] != kVersion || !all.contains("records") ||
      !all["records"].is_array() ||
      all["records"].size() > PlacementsFile::kMostRecords) {
    return std::nullopt;
  }
  std::vector<StoredRecord> records;
  for (const json& r : all["records"]) {
    if (!r.is_array() || r.size() != 9 || !r[0].is_string() ||
        !r[7].is_string() || !r[8].is_string()) {
      return std::nullopt;
    }
    std::int32_t n[6];
    for (std::size_t i = 0; i < 6; ++i) {
      const auto v = Int32(r[i + 1]);
      if (!v) {
        return std::nullopt;
      }
      n[i] = *v;
    }
    StoredRecord s{r[0].get<std::string>(),
                   {n[0], n[1], n[2], n[3], n[4], n[5], r[7].get<std::string>(),
                    r[8].get<std::string>()}};
    if (s.display.size() > kLongestIdentity || !IsUsable(s.record)) {
      return std::nullopt;
    }
    records.push_back(std::move(s));
  }
  return records;
}

std::string WritePlacements(const std::vector<StoredRecord>& records) {
  json list = json::array();
  for (const auto& [display, r] : records) {
    list.push_back({display, r.handle, r.showState, r.left, r.top, r.right,
                    r.bottom, r.identity, r.detail});
  }
  return json{{"pentrax", kVersion}, {"records", std::move(list)}}.dump(
      -1, ' ', false, json::error_handler_t::replace);
}

std::string PlacementsFile::SessionFolder(std::string* error) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || runtime[0] != '/') {
    if (error != nullptr) {
      *error = KeptInThisProcess("XDG_RUNTIME_DIR is not set");
    }
    return {};
  }
  return runtime;
}

PlacementsFile::PlacementsFile(
    std::string runtimeFolder, std::string display,
    std::function<std::vector<WindowHandle>()> windows,
    std::chrono::milliseconds lockDeadline)
    : runtime_(std::move(runtimeFolder)),
      display_(std::move(display)),
      windows_(std::move(windows)),
      deadline_(lockDeadline) {}

std::string PlacementsFile::Use(
    const std::function<void(ResizedWindowLedger&)>& use) {
  const std::string path = runtime_ + "/" + kFolder + "/" + kFile;
  // Read without the lock: the file is only ever replaced whole.
  std::string refused;  // why the file cannot be used at all
  Contents read;
  if (Folder folder = OpenFolder(runtime_, false); !folder.error.empty()) {
    refused = folder.error;
  } else if (folder.fd.get() >= 0) {
    read = ReadFile(folder.fd.get(), path);
    refused = read.error;
  }
  ResizedWindowLedger stored;  // this desktop's records, as read
  for (const StoredRecord& r : read.records) {
    if (r.display == display_) {
      stored.PutBack(r.record);
    }
  }
  ResizedWindowLedger ledger = stored;
  for (const ResizedWindowRecord& r : pending_.entries()) {
    ledger.PutBack(r);
  }
  use(ledger);

  std::vector<ResizedWindowRecord> changed;
  for (const ResizedWindowRecord& r : ledger.entries()) {
    if (stored.Entry(r.handle) != r) {
      changed.push_back(r);
    }
  }
  std::string note = read.damaged.empty()
                         ? ""
                         : path + " is not Pentrax's (" + read.damaged +
                               "): its placements are not used";
  if (changed.empty()) {
    pending_ = {};
  } else if (refused.empty()) {
    const std::vector<WindowHandle> alive =
        windows_ ? windows_() : std::vector<WindowHandle>{};
    refused = Store(changed, alive, note);
  }
  if (!refused.empty()) {
    for (const ResizedWindowRecord& r : changed) {
      pending_.PutBack(r);
    }
    note += (note.empty() ? "" : "\n") + KeptInThisProcess(refused);
  } else if (!changed.empty()) {
    pending_ = {};
  }
  return note;
}

std::string PlacementsFile::Store(
    const std::vector<ResizedWindowRecord>& changed,
    const std::vector<WindowHandle>& alive, std::string& note) {
  Folder folder = OpenFolder(runtime_, true);
  if (!folder.error.empty()) {
    return folder.error;
  }
  const int dir = folder.fd.get();
  const std::string path = runtime_ + "/" + kFolder + "/";
  const auto opened = Call(openat(
      dir, kLock,
      O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
  if (opened.result < 0) {
    return FailedAt("cannot open " + path + kLock, dir, kLock, opened.error);
  }
  const Descriptor lock(opened.result);
  struct stat s {};
  if (fstat(lock.get(), &s) != 0 || !S_ISREG(s.st_mode) ||
      s.st_uid != geteuid()) {
    return path + kLock + " is not a plain file of this user's";
  }
  const auto until = Clock::now() + deadline_;
  for (auto pause = std::chrono::milliseconds(1);;
       pause = std::min(pause * 2, std::chrono::milliseconds(50))) {
    const auto locked = Call(flock(lock.get(), LOCK_EX | LOCK_NB));
    if (locked.result == 0) {
      break;
    }
    if (locked.error != EWOULDBLOCK && locked.error != EINTR) {
      return Failed("cannot lock " + path + kLock, locked.error);
    }
    if (Clock::now() >= until) {
      char seconds[16];
      std::snprintf(seconds, sizeof seconds, "%.1f",
                    std::chrono::duration<double>(deadline_).count());
      return "another Pentrax process has held " + path + kLock + " for " +
             seconds + " s";
    }
    std::this_thread::sleep_for(pause);
  }

  Contents now = ReadFile(dir, path + kFile);
  if (!now.error.empty()) {
    return now.error;
  }
  if (!now.damaged.empty()) {
    if (const auto moved = Call(renameat(dir, kFile, dir, kDamaged));
        moved.result != 0) {
      return Failed("cannot set aside " + path + kFile, moved.error);
    }
    note = path + kFile + " was not Pentrax's (" + now.damaged +
           "): it is set aside as " + path + kDamaged;
  }
  // This desktop's records: the changed ones last, as the latest, and none
  // of a window that is gone.
  std::vector<StoredRecord>& records = now.records;
  const auto gone = [&alive](WindowHandle h) {
    return !alive.empty() &&
           std::find(alive.begin(), alive.end(), h) == alive.end();
  };
  std::erase_if(records, [&](const StoredRecord& r) {
    const WindowHandle h = r.record.handle;
    return r.display == display_ &&
           (gone(h) ||
            std::any_of(changed.begin(), changed.end(),
                        [h](const auto& c) { return c.handle == h; }));
  });
  for (const ResizedWindowRecord& r : changed) {
    if (IsUsable(r)) {
      records.push_back({display_, r});
    }
  }
  if (records.size() > kMostRecords) {
    records.erase(records.begin(),
                  records.end() - static_cast<std::ptrdiff_t>(kMostRecords));
  }
  return Replace(dir, path + kFile, WritePlacements(records));
}

}  // namespace pentrax::settings
