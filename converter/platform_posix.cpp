#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "file_names.h"
#include "platform.h"
#include "replace_posix.h"
#include "signals_posix.h"

namespace tamarack {
namespace {

// The temporary output file's name while it has one, removed by the signal handler when the run
// is interrupted. Written only while no signal can use it (see BlockSignals).
char gTemporary[4096];
// Set once the output has its name: the run then ends as it would without the signal, with its
// message and exit code 0.
volatile sig_atomic_t gCommitted = 0;

// How much written data may wait before the system is asked to start writing it to disk.
constexpr uint64_t kWriteBehind = 4 * 1024 * 1024;

void RemoveTemporaryAndDie(int signal) {
  if (gCommitted) return;
  if (gTemporary[0] != '\0') unlink(gTemporary);
  ::signal(signal, SIG_DFL);
  raise(signal);
}

void InstallSignalHandlers() {
  static bool installed = false;
  if (installed) return;
  for (int s : kEndingSignals) signal(s, RemoveTemporaryAndDie);
  // A closed pipe is an error of the write that meets it, not the end of the process.
  signal(SIGPIPE, SIG_IGN);
  installed = true;
}

// Called with the ending signals blocked.
void SetTemporary(const std::string& path) {
  if (path.size() < sizeof gTemporary) std::memcpy(gTemporary, path.c_str(), path.size() + 1);
}

// The folder part of a path, with its final slash.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

void ClearTemporary() {
  BlockSignals block;
  gTemporary[0] = '\0';
}

// The start of the temporary file's names for the output path: its folder, and the hash of its
// name, so that a later run on the same output recognises them.
std::string TemporaryStem(const std::string& path) {
  // In hexadecimal without printf, whose machinery would add its pages to every run's memory.
  std::string hex(8, '0');
  uint32_t hash = NameHash(path.substr(path.rfind('/') + 1));
  for (size_t i = hex.size(); i-- > 0; hash >>= 4) hex[i] = "0123456789ABCDEF"[hash & 0xF];
  return FolderOf(path) + ".tamarack-" + hex + "-";
}

// Removes the files named after stem that no process holds locked: each run holds its own
// temporary file locked, so these are what a run killed at the instant of its commit left.
void RemoveLeftovers(const std::string& stem) {
  const std::string folder = FolderOf(stem);
  const std::string start = stem.substr(folder.size());
  DIR* const listing = opendir(folder.c_str());
  if (listing == nullptr) return;
  const int at = dirfd(listing);
  while (const dirent* entry = readdir(listing)) {
    if (std::strncmp(entry->d_name, start.c_str(), start.size()) != 0) continue;
    const int fd = openat(at, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    // Still the file of that name once locked: another run may have removed it meanwhile.
    struct stat locked;
    struct stat named;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &locked) == 0 &&
        fstatat(at, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
      unlinkat(at, entry->d_name, 0);
    }
    close(fd);
  }
  closedir(listing);
}

#ifdef O_TMPFILE
// A file without a name in folder, which nothing but this process can see and which goes with
// it however it ends (a kill, a crash); -1 where the system or the file system has none, or
// where /proc, through which it gets a name at the commit, is missing.
int CreateUnnamed(const std::string& folder, mode_t mode) {
  if (access("/proc/self/fd", X_OK) != 0) return -1;
  return openUnnamed(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}
#endif

}  // namespace

RenameFunction renameFile = &std::rename;
OpenFunction openUnnamed = [](const char* path, int flags, mode_t mode) {
  return open(path, flags, mode);
};

std::string ErrorReason(SystemError error) {
  switch (error) {
    case ENOENT:
      return "ファイルまたはフォルダが見つかりません";
    case ENOTDIR:
      return "フォルダが見つかりません";
    case EACCES:
    case EPERM:
      return "アクセスが拒否されました（読み取り専用か、権限がありません）";
    case EROFS:
      return "読み取り専用の場所です";
    case EISDIR:
      return "ファイルではなくフォルダです";
    case ENOSPC:
    case EDQUOT:
      return "ディスクの空き容量が足りません";
    case EFBIG:
      return "ファイルが大きすぎます";
    case ENAMETOOLONG:
      return "パスが長すぎます";
    case EBUSY:
    case ETXTBSY:
      return "ほかのプログラムが使用中です";
    case EIO:
      return "入出力エラーが発生しました";
    case EPIPE:
      return "読み取る側がパイプを閉じました";
    default:
      return "システムエラー " + std::to_string(error) + " (" +
             std::strerror(static_cast<int>(error)) + ")";
  }
}

std::optional<std::vector<std::string>> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

InputFile::~InputFile() {
  if (fd_ >= 0) close(fd_);
}

SystemError InputFile::Open(const std::string& path) {
  fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return errno;
  // A folder opens, and fails only at the first read.
  struct stat status;
  return fstat(fd_, &status) == 0 && S_ISDIR(status.st_mode) ? EISDIR : 0;
}

size_t InputFile::Read(char* buffer, size_t size, SystemError& error) {
  error = 0;
  while (true) {
    const ssize_t n = read(fd_, buffer, size);
    if (n >= 0) return static_cast<size_t>(n);
    if (errno != EINTR) {
      error = errno;
      return 0;
    }
  }
}

SystemError InputFile::Rewind() { return lseek(fd_, 0, SEEK_SET) < 0 ? errno : 0; }

bool InputFile::CanRewind() const {
  // A character device may accept a seek and still not give its bytes again.
  struct stat status;
  return fstat(fd_, &status) == 0 && (S_ISREG(status.st_mode) || S_ISBLK(status.st_mode));
}

bool InputFile::IsSameFileAs(const std::string& path) const {
  struct stat mine;
  struct stat other;
  return fstat(fd_, &mine) == 0 && stat(path.c_str(), &other) == 0 && mine.st_dev == other.st_dev &&
         mine.st_ino == other.st_ino;
}

OutputFile::~OutputFile() { Discard(); }

SystemError OutputFile::Begin(const std::string& path) {
  path_ = path;
  // The new file gets the old one's permissions, or those a newly created file would get.
  mode_t mode = 0;
  struct stat existing;
  if (stat(path.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) return EISDIR;
    // rename() would replace a read-only file; its owner made it read-only to keep it.
    if ((existing.st_mode & 0222) == 0) return EACCES;
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  InstallSignalHandlers();
  gCommitted = 0;
  stem_ = TemporaryStem(path);
  RemoveLeftovers(stem_);
#ifdef O_TMPFILE
  fd_ = CreateUnnamed(FolderOf(path), mode);
  if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
    return errno;
  }
  // Held locked until the run ends, as RemoveLeftovers expects of a live run's file.
  if (fd_ >= 0) flock(fd_, LOCK_EX);
#endif
  while (fd_ < 0) {
    std::string pattern = stem_ + "XXXXXX";
    BlockSignals block;
    fd_ = mkostemp(&pattern[0], O_CLOEXEC);
    if (fd_ < 0) return errno;
    // A run that begins on the same output now may have opened the file to remove it before it
    // was locked: then it is gone, and another is made.
    flock(fd_, LOCK_EX);
    struct stat locked;
    struct stat named;
    if (fstat(fd_, &locked) == 0 && stat(pattern.c_str(), &named) == 0 &&
        locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
      temporary_ = pattern;
      SetTemporary(temporary_);
    } else {
      close(fd_);
      fd_ = -1;
    }
  }
  if (fchmod(fd_, mode) != 0) return errno;
  return 0;
}

SystemError OutputFile::Write(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= static_cast<size_t>(n);
    written_ += static_cast<uint64_t>(n);
  }
#ifdef __linux__
  // Starts writing the data to disk while the conversion goes on, so that the flush before the
  // replace has little left to wait for.
  if (written_ - started_ >= kWriteBehind) {
    sync_file_range(fd_, static_cast<off_t>(started_), static_cast<off_t>(written_ - started_),
                    SYNC_FILE_RANGE_WRITE);
    started_ = written_;
  }
#endif
  return 0;
}

SystemError OutputFile::Restart() {
  if (ftruncate(fd_, 0) != 0 || lseek(fd_, 0, SEEK_SET) != 0) return errno;
  written_ = started_ = 0;
  return 0;
}

SystemError OutputFile::Commit() {
  if (fsync(fd_) != 0) return errno;
  SystemError error = 0;
  {
    // The ending signals wait while the file has a name. After a failure, one that waited
    // removes the name and ends the run; after the rename, none changes anything.
    BlockSignals block;
    // The unnamed file gets a name beside the target, which rename can then move.
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    for (int attempt = 0; temporary_.empty() && error == 0; ++attempt) {
      const std::string name = stem_ + std::to_string(getpid()) + "-" + std::to_string(attempt);
      if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        temporary_ = name;
        SetTemporary(temporary_);
      } else if (errno != EEXIST || attempt == 100) {
        error = errno;
      }
    }
    if (error == 0 && renameFile(temporary_.c_str(), path_.c_str()) != 0) error = errno;
    if (error == 0) {
      gCommitted = 1;
      temporary_.clear();
      gTemporary[0] = '\0';
    }
  }
  struct stat folder;
  if (error == ENOENT && stat(FolderOf(path_).c_str(), &folder) != 0) return kErrorFolderGone;
  if (error) return error;
  // Held, and so locked, until the rename.
  close(fd_);
  fd_ = -1;
  // Makes the rename itself durable; a folder that cannot be synced is no reason to fail.
  const int folderFd = open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    fsync(folderFd);
    close(folderFd);
  }
  return 0;
}

void OutputFile::Discard() {
  if (!temporary_.empty()) {
    unlink(temporary_.c_str());
    temporary_.clear();
    ClearTemporary();
  }
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

}  // namespace tamarack
