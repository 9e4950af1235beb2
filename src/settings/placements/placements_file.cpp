#include "placements_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>

namespace pentrax::settings {
namespace {

using nlohmann::json;

// The file's descriptor, closed (and its lock given up) with it.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) {
      close(fd);
    }
  }
};

std::string Folder(const std::string& path) {
  return path.substr(0, path.rfind('/'));
}

// The records of one backend, or nullopt when they are not as written.
std::optional<ResizedWindowLedger> Read(const json& records) {
  if (!records.is_array()) {
    return std::nullopt;
  }
  ResizedWindowLedger ledger;
  for (const json& r : records) {
    if (!r.is_array() || r.size() != 7 || !r[6].is_string()) {
      return std::nullopt;
    }
    for (int i = 0; i < 6; ++i) {
      if (!r[static_cast<std::size_t>(i)].is_number_integer()) {
        return std::nullopt;
      }
    }
    const auto at = [&r](std::size_t i) {
      return static_cast<std::int32_t>(std::clamp<std::int64_t>(
          r[i].get<std::int64_t>(), INT32_MIN, INT32_MAX));
    };
    ledger.PutBack(
        {at(0), at(1), at(2), at(3), at(4), at(5), r[6].get<std::string>()});
  }
  return ledger;
}

json Written(const ResizedWindowLedger& ledger) {
  json records = json::array();
  for (const ResizedWindowRecord& e : ledger.entries()) {
    records.push_back(
        {e.handle, e.showState, e.left, e.top, e.right, e.bottom, e.identity});
  }
  return records;
}

// The whole file; nullopt with errno set when it cannot be read (ENOENT:
// there is none yet).
std::optional<std::string> ReadAll(const std::string& path) {
  const Descriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) {
    return std::nullopt;
  }
  std::string text;
  char buffer[65536];
  for (ssize_t n; (n = read(file.fd, buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      return std::nullopt;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  return text;
}

std::string Failed(const std::string& what) {
  return what + ": " + std::strerror(errno) +
         "; placements are remembered by this process only";
}

}  // namespace

std::string PlacementsFile::SessionPath(std::string* error) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || runtime[0] != '/') {
    if (error != nullptr) {
      *error =
          "XDG_RUNTIME_DIR is not set: the placements Pentrax remembers are "
          "kept by this process only";
    }
    return {};
  }
  return std::string(runtime) + "/pentrax2/placements.json";
}

std::string PlacementsFile::Use(
    const std::function<void(ResizedWindowLedger&)>& use) {
  const std::string folder = Folder(path_);
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    use(fallback_);
    return Failed("cannot make " + folder);
  }
  const Descriptor lock{open((folder + "/placements.lock").c_str(),
                             O_RDWR | O_CREAT | O_CLOEXEC, 0600)};
  if (lock.fd < 0 || flock(lock.fd, LOCK_EX) != 0) {
    use(fallback_);
    return Failed("cannot lock " + folder + "/placements.lock");
  }
  std::string note;
  json all = json::object();
  ResizedWindowLedger ledger;  // this backend's records
  const std::optional<std::string> text = ReadAll(path_);
  if (!text && errno != ENOENT) {
    use(fallback_);
    return Failed("cannot read " + path_);
  }
  if (text) {
    all = json::parse(*text, nullptr, false);
    bool whole =
        all.is_object() && all.contains("pentrax") && all["pentrax"] == 1;
    for (auto it = all.begin(); whole && it != all.end(); ++it) {
      if (it.key() == "pentrax") {
        continue;
      }
      const auto read = Read(*it);
      whole = read.has_value();
      if (whole && it.key() == backend_) {
        ledger = *read;
      }
    }
    if (!whole) {
      const std::string aside = path_ + ".damaged";
      std::rename(path_.c_str(), aside.c_str());
      note = path_ + " was not Pentrax's: it is set aside as " + aside;
      all = json::object();
      ledger = {};
    }
  }
  all["pentrax"] = 1;
  use(ledger);
  all[backend_] = Written(ledger);

  const std::string temporary = path_ + ".new";
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  out << all.dump(-1, ' ', false, json::error_handler_t::replace);
  out.close();
  if (!out || std::rename(temporary.c_str(), path_.c_str()) != 0) {
    std::remove(temporary.c_str());
    fallback_ = ledger;
    return Failed("cannot write " + path_);
  }
  return note;
}

}  // namespace pentrax::settings
