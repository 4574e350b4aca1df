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
#include "files.h"
#include "io_posix.h"
#include "replace_posix.h"
#include "signals.h"

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

// A file without a name in folder, with mode, which gets one through /proc at the commit; -1
// where there is no such file or no /proc.
int CreateUnnamed(const std::string& folder, mode_t mode) {
  if (access("/proc/self/fd", X_OK) != 0) return -1;
  return openUnnamed(folder, O_WRONLY, mode);
}

// Removes the temporary file's name, if it has one, and closes it.
void Discard(OutputState& state) {
  if (!state.temporary.empty()) {
    unlink(state.temporary.c_str());
    state.temporary.clear();
    ClearTemporary();
  }
  state.file.Reset();
}

}  // namespace

RenameFunction renameFile = &std::rename;
OpenFunction openUnnamed = &OpenUnnamed;

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

SystemError InputFile::Open(const std::string& path) {
  file_.Reset(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file_.Valid()) return errno;
  // A folder opens, and fails only at the first read.
  struct stat status;
  return fstat(file_.Get(), &status) == 0 && S_ISDIR(status.st_mode) ? EISDIR : 0;
}

size_t InputFile::Read(char* buffer, size_t size, SystemError& error) {
  const ssize_t n = Retrying([&] { return read(file_.Get(), buffer, size); });
  error = n < 0 ? errno : 0;
  return n < 0 ? 0 : static_cast<size_t>(n);
}

SystemError InputFile::Rewind() { return lseek(file_.Get(), 0, SEEK_SET) < 0 ? errno : 0; }

bool InputFile::CanRewind() const {
  // A character device may accept a seek and still not give its bytes again.
  struct stat status;
  return fstat(file_.Get(), &status) == 0 && (S_ISREG(status.st_mode) || S_ISBLK(status.st_mode));
}

bool InputFile::IsSameFileAs(const std::string& path) const {
  struct stat mine;
  struct stat other;
  return fstat(file_.Get(), &mine) == 0 && stat(path.c_str(), &other) == 0 &&
         mine.st_dev == other.st_dev && mine.st_ino == other.st_ino;
}

OutputFile::~OutputFile() { Discard(state_); }

SystemError OutputFile::Begin(const std::string& path) {
  state_.path = path;
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
  state_.stem = TemporaryStem(path);
  RemoveLeftovers(state_.stem);
  SystemFile& file = state_.file;
  file.Reset(CreateUnnamed(FolderOf(path), mode));
  if (!file.Valid() && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL &&
      errno != ENOENT) {
    return errno;
  }
  // Held locked until the run ends, as RemoveLeftovers expects of a live run's file.
  if (file.Valid()) flock(file.Get(), LOCK_EX);
  while (!file.Valid()) {
    std::string pattern = state_.stem + "XXXXXX";
    BlockSignals block;
    file.Reset(mkostemp(&pattern[0], O_CLOEXEC));
    if (!file.Valid()) return errno;
    // A run that begins on the same output now may have opened the file to remove it before it
    // was locked: then it is gone, and another is made.
    flock(file.Get(), LOCK_EX);
    struct stat locked;
    struct stat named;
    if (fstat(file.Get(), &locked) == 0 && stat(pattern.c_str(), &named) == 0 &&
        locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
      state_.temporary = pattern;
      SetTemporary(state_.temporary);
    } else {
      file.Reset();
    }
  }
  if (fchmod(file.Get(), mode) != 0) return errno;
  return 0;
}

SystemError OutputFile::Write(const char* data, size_t size) {
  const SystemError error = WriteAll(state_.file.Get(), data, size);
  if (error) return error;
  state_.written += size;
#ifdef __linux__
  // Starts writing the data to disk while the conversion goes on, so that the flush before the
  // replace has little left to wait for.
  if (state_.written - state_.started >= kWriteBehind) {
    sync_file_range(state_.file.Get(), static_cast<off_t>(state_.started),
                    static_cast<off_t>(state_.written - state_.started), SYNC_FILE_RANGE_WRITE);
    state_.started = state_.written;
  }
#endif
  return 0;
}

SystemError OutputFile::Restart() {
  if (ftruncate(state_.file.Get(), 0) != 0 || lseek(state_.file.Get(), 0, SEEK_SET) != 0) {
    return errno;
  }
  state_.written = state_.started = 0;
  return 0;
}

SystemError OutputFile::Commit() {
  if (fsync(state_.file.Get()) != 0) return errno;
  SystemError error = 0;
  {
    // The ending signals wait while the file has a name. After a failure, one that waited
    // removes the name and ends the run; after the rename, none changes anything.
    BlockSignals block;
    // The unnamed file gets a name beside the target, which rename can then move.
    const std::string self = "/proc/self/fd/" + std::to_string(state_.file.Get());
    for (int attempt = 0; state_.temporary.empty() && error == 0; ++attempt) {
      const std::string name =
          state_.stem + std::to_string(getpid()) + "-" + std::to_string(attempt);
      if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        state_.temporary = name;
        SetTemporary(state_.temporary);
      } else if (errno != EEXIST || attempt == 100) {
        error = errno;
      }
    }
    if (error == 0 && renameFile(state_.temporary.c_str(), state_.path.c_str()) != 0) {
      error = errno;
    }
    if (error == 0) {
      gCommitted = 1;
      state_.temporary.clear();
      gTemporary[0] = '\0';
    }
  }
  const std::string folder = FolderOf(state_.path);
  struct stat folderStatus;
  if (error == ENOENT && stat(folder.c_str(), &folderStatus) != 0) return kErrorFolderGone;
  if (error) return error;
  // Held, and so locked, until the rename.
  state_.file.Reset();
  // Makes the rename itself durable; a folder that cannot be synced is no reason to fail.
  SystemFile folderFile;
  folderFile.Reset(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folderFile.Valid()) fsync(folderFile.Get());
  return 0;
}

}  // namespace tamarack
