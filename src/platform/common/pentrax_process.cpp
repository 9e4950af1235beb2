#include "pentrax_process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace pentrax {

bool IsPentraxProcess(std::int64_t pid) {
  if (pid == getpid()) {
    return true;
  }
  struct stat self {};
  struct stat other {};
  return pid > 0 && stat("/proc/self/exe", &self) == 0 &&
         stat(("/proc/" + std::to_string(pid) + "/exe").c_str(), &other) == 0 &&
         self.st_dev == other.st_dev && self.st_ino == other.st_ino;
}

}  // namespace pentrax
