#include "core/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/errors.h"

namespace core {
namespace {

// Closes the descriptor on every way out.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t max_bytes) {
  // Looked at before it is opened: opening some devices already does something.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  if (!S_ISREG(st.st_mode)) throw DataError(path, 0, "", "Not a regular file");
  // Without blocking, in case a pipe took the file's place since.
  const Fd f{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (f.fd < 0) return std::nullopt;
  if (::fstat(f.fd, &st) != 0) throw DataError(path, 0, "", "Cannot read file");
  if (S_ISDIR(st.st_mode)) return std::nullopt;
  if (!S_ISREG(st.st_mode)) throw DataError(path, 0, "", "Not a regular file");
  const std::string too_large = "File larger than " + std::to_string(max_bytes) + " bytes";
  if (static_cast<unsigned long long>(st.st_size) > max_bytes) throw DataError(path, 0, "", too_large);
  // The size is only a hint (a file may grow, and some report none): the read itself
  // stops one byte past the cap.
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t got = 0;
  for (;;) {
    if (got == bytes.size()) {
      if (got > max_bytes) throw DataError(path, 0, "", too_large);
      bytes.resize(std::min(max_bytes + 1, got * 2 + 4096));
    }
    const ssize_t n = ::read(f.fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw DataError(path, 0, "", "Cannot read file");
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got > max_bytes) throw DataError(path, 0, "", too_large);
  bytes.resize(got);
  return bytes;
}

}  // namespace core
