#include "platform/SafeFileWriter.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <utility>

namespace runebin::platform {
namespace {

// Writing past a file-size limit raises SIGXFSZ, whose default action ends the program in the
// middle of a save. We want the write to fail with EFBIG instead, and report it.
void IgnoreFileSizeSignal() {
  static const bool done = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
  }();
  (void)done;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteFully(int fd, const unsigned char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, bytes, size);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    if (written == 0) {
      errno = EIO;
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// Copies everything `from` holds from its start to the current position of `to`.
bool CopyFile(int from, int to, unsigned char* buffer) {
  for (off_t offset = 0;;) {
    const ssize_t got = ::pread(from, buffer, kSaveBufferSize, offset);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      return got == 0;
    }
    if (!WriteFully(to, buffer, static_cast<std::size_t>(got))) {
      return false;
    }
    offset += got;
  }
}

// Has the system copy up to `size` bytes of `source`, from `from` on, into `out` at `*to` (at its
// position when `to` is null), telling `syncing` of each step; returns how many it copied. It
// stops early at the end of the source; any failure leaves the rest to the caller.
std::size_t CopyRange(int source, off_t from, int out, off_t* to, std::size_t size,
                      BackgroundSync* syncing) {
  std::size_t copied = 0;
  while (copied < size) {
    const ssize_t step =
        ::copy_file_range(source, &from, out, to, std::min(size - copied, kWriteBackStep), 0);
    if (step < 0 && errno == EINTR) {
      continue;
    }
    if (step <= 0) {
      break;
    }
    copied += static_cast<std::size_t>(step);
    if (syncing != nullptr) {
      syncing->Written(static_cast<std::size_t>(step));
    }
  }
  return copied;
}

// Gives `from` the name `to` unless a file has that name; false (EEXIST) if one has.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    return false;
  }
  // A file system that cannot: a second link is refused just the same when the name is taken.
  return ::link(from.c_str(), to.c_str()) == 0 && ::unlink(from.c_str()) == 0;
}

// Makes a rename or an unlink itself durable.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

SafeFileWriter::~SafeFileWriter() {
  Abandon();
}

SaveStatus SafeFileWriter::Refuse(SaveResult result, int error) {
  Abandon();
  return {result, error, {}};
}

SaveStatus SafeFileWriter::Begin(const std::string& target, const WriteOptions& options) {
  Abandon();
  IgnoreFileSizeSignal();
  Reset();
  if (target.empty() || target.back() == '/') {
    return Refuse(SaveResult::NotWritable, EISDIR);
  }
  createOnly_ = options.createOnly;
  // Through a symbolic link we replace the file it points to, not the link.
  target_ = target;
  if (char* resolved = ::realpath(target.c_str(), nullptr)) {
    target_ = resolved;
    std::free(resolved);
  }
  buffer_.reset(new unsigned char[kSaveBufferSize]);  // no need to clear it first

  struct stat info {};
  const bool exists = ::stat(target_.c_str(), &info) == 0;
  // A target that is gone is written anew: there is nothing on disk to overwrite.
  if (!exists && errno != ENOENT) {
    return Refuse(SaveResult::WriteFailed, errno);
  }
  mode_t mode = 0666;
  if (exists) {
    // Root may write anywhere, so permission checks alone would not stop it: a file whose owner
    // cannot write it is treated as read-only by everyone. And a user who may replace files in
    // the folder but not write this one must not make it theirs by replacing it.
    if (options.createOnly) {
      return Refuse(SaveResult::WriteFailed, EEXIST);
    }
    if (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) == 0) {
      return Refuse(SaveResult::NotWritable, S_ISDIR(info.st_mode) ? EISDIR : EACCES);
    }
    if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
      return Refuse(SaveResult::NotWritable, errno);
    }
    if (std::optional<SaveStatus> refused = HoldTarget(options)) {
      return *refused;
    }
    // From here on the locked file is the one we look at and write.
    if (::fstat(lockHeld_->Descriptor(), &info) != 0) {
      return Refuse(SaveResult::WriteFailed, errno);
    }
    const std::optional<FileIdentity> now = IdentityOfOpenFile(lockHeld_->Descriptor());
    if (options.expected && !(now && *now == *options.expected)) {
      return Refuse(SaveResult::ChangedOnDisk, 0);
    }
    if (info.st_nlink > 1) {
      return BeginInPlace();  // a rename would split the links
    }
    mode = info.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }

  outFd_ = MakeTemporary();
  if (outFd_ < 0) {
    return Refuse(SaveResult::WriteFailed, errno);
  }
  // Owner and group first: changing them can clear the set-id bits that the mode then restores.
  if (exists && ::fchown(outFd_, info.st_uid, info.st_gid) != 0) {
    ::close(std::exchange(outFd_, -1));
    ::unlink(temporary_.c_str());
    temporary_.clear();
    return BeginInPlace();  // a new file would not keep them
  }
  if (::fchmod(outFd_, mode) != 0) {
    return Refuse(SaveResult::WriteFailed, errno);
  }
  StartSyncing();
  return {};
}

int SafeFileWriter::MakeTemporary() {
  if (!cleanup_) {
    cleanup_.emplace();
  }
  temporary_ = FolderOf(target_) + "/." + FileNameOf(target_) + ".XXXXXX";
  const SignalHold hold;  // a signal between creating the file and watching it would leave it
  const int fd = ::mkostemp(temporary_.data(), O_CLOEXEC);
  if (fd < 0) {
    temporary_.clear();
  } else {
    cleanup_->Watch(temporary_.c_str());
  }
  return fd;
}

SaveStatus SafeFileWriter::BeginInPlace() {
  inPlace_ = true;
  struct stat info {};
  if (::fstat(lockHeld_->Descriptor(), &info) != 0) {
    return Refuse(SaveResult::WriteFailed, errno);
  }
  originalSize_ = info.st_size;
  const int copy = MakeTemporary();
  if (copy < 0) {
    return Refuse(SaveResult::WriteFailed, errno);
  }
  // mkostemp made the copy readable by us alone, as the bytes may be private.
  const bool copied = CopyFile(lockHeld_->Descriptor(), copy, buffer_.get()) && ::fsync(copy) == 0;
  const int copyError = errno;
  if (::close(copy) != 0 || !copied) {
    return Refuse(SaveResult::WriteFailed, copied ? errno : copyError);
  }
  outFd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (outFd_ < 0) {
    return Refuse(SaveResult::WriteFailed, errno);
  }
  // From the first byte overwritten until the file is whole again, a signal must wait.
  hold_.emplace();
  StartSyncing();
  return {};
}

const int SafeFileWriter::kInUseError = EWOULDBLOCK;

int SafeFileWriter::LastError() {
  return errno;
}

bool SafeFileWriter::WriteOut(const unsigned char* bytes, std::size_t size) {
  overwritten_ = true;
  WaitAhead();
  while (size > 0) {
    const std::size_t step = std::min(size, kWriteBackStep);
    if (!WriteFully(outFd_, bytes, step)) {
      return false;
    }
    if (syncing_) {
      syncing_->Written(step);
    }
    bytes += step;
    size -= step;
  }
  return true;
}

void SafeFileWriter::CopyAhead(const MemoryMap& view) {
  WaitAhead();
  if (inPlace_ || outFd_ < 0 || failed_ || written_ > 0 || buffered_ > 0 || view.CopySource() < 0) {
    return;
  }
  // A descriptor of its own: the view may let go of its one while the copy runs.
  const int source = ::fcntl(view.CopySource(), F_DUPFD_CLOEXEC, 0);
  if (source < 0) {
    return;
  }
  aheadView_ = &view;
  aheadData_ = view.Data();
  aheadCopied_ = 0;
  const int out = outFd_;
  const auto size = static_cast<std::size_t>(view.Size());
  BackgroundSync* const syncing = syncing_ ? &*syncing_ : nullptr;
  try {
    ahead_ = std::thread([this, source, out, size, syncing] {
      // At explicit offsets on both sides: the output's own position stays at 0 for the writes.
      off_t to = 0;
      const std::size_t copied = CopyRange(source, 0, out, &to, size, syncing);
      ::close(source);
      aheadCopied_ = static_cast<std::int64_t>(copied);
    });
  } catch (const std::system_error&) {
    ::close(source);
    aheadView_ = nullptr;
  }
}

void SafeFileWriter::WaitAhead() {
  if (ahead_.joinable()) {
    ahead_.join();
  }
}

bool SafeFileWriter::SkipAhead(std::span<const std::uint8_t> bytes, const MemoryMap& view) {
  WaitAhead();
  // The same view, still mapping the file it copied; the bytes at the offset they are written to.
  const std::int64_t offset = bytes.data() - view.Data();
  if (aheadView_ != &view || aheadData_ != view.Data() || view.CopySource() < 0 ||
      offset != written_ || offset + static_cast<std::int64_t>(bytes.size()) > aheadCopied_) {
    return false;
  }
  return ::lseek(outFd_, static_cast<off_t>(bytes.size()), SEEK_CUR) ==
         static_cast<off_t>(offset + static_cast<std::int64_t>(bytes.size()));
}

bool SafeFileWriter::EndAhead() {
  WaitAhead();
  // Bytes copied or placed past the end of what was written are not the new contents.
  std::int64_t reached = placedEnd_.exchange(0);
  placed_.clear();
  if (aheadView_ != nullptr) {
    reached = std::max(reached, aheadCopied_);
    aheadView_ = nullptr;
  }
  return reached <= written_ || TruncateOut(written_);
}

bool SafeFileWriter::PlaceAhead(std::int64_t offset, std::span<const std::uint8_t> bytes) {
  // A copy ahead would race with these writes, and bytes of the original are not ours to move.
  if (outFd_ < 0 || inPlace_ || failed_ || aheadView_ != nullptr || offset < 0) {
    return false;
  }
  // Counted before the writes: whatever part of them reaches the file, also of writes that fail,
  // Commit cuts off past the length written.
  const std::int64_t end = offset + static_cast<std::int64_t>(bytes.size());
  for (std::int64_t known = placedEnd_.load();
       known < end && !placedEnd_.compare_exchange_weak(known, end);) {
  }
  auto at = static_cast<off_t>(offset);
  for (std::span<const std::uint8_t> rest = bytes; !rest.empty();) {
    const ssize_t step = ::pwrite(outFd_, rest.data(), rest.size(), at);
    if (step < 0 && errno == EINTR) {
      continue;
    }
    if (step <= 0) {
      return false;
    }
    rest = rest.subspan(static_cast<std::size_t>(step));
    at += step;
  }
  if (syncing_) {
    syncing_->Written(bytes.size());
  }
  return true;
}

void SafeFileWriter::ExpectPlaced(std::int64_t offset, std::span<const std::uint8_t> bytes) {
  placed_.push_back({offset, bytes});
}

bool SafeFileWriter::MapOutput(MemoryMap& view, std::int64_t size) const {
  return outFd_ >= 0 && !inPlace_ && !failed_ && view.Map(outFd_, size, false);
}

bool SafeFileWriter::SkipPlaced(std::span<const std::uint8_t> bytes) {
  const std::int64_t at = written_ + static_cast<std::int64_t>(buffered_);
  const bool placed = std::ranges::any_of(placed_, [&](const Placed& range) {
    return range.offset == at && range.bytes.data() == bytes.data() &&
           range.bytes.size() == bytes.size();
  });
  const auto end = static_cast<off_t>(at + static_cast<std::int64_t>(bytes.size()));
  return placed && Flush() && ::lseek(outFd_, end, SEEK_SET) == end;
}

void SafeFileWriter::StartSyncing() {
  // The disk works on what is written while the rest is still being made, rather than all of it
  // waiting for the final fsync: for a big file the save then ends soon after its last bytes are
  // written. fdatasync may run beside the writes; the final fsync covers what it did not.
  syncing_.emplace([fd = outFd_] { ::fdatasync(fd); }, kWriteBackStep);
}

std::size_t SafeFileWriter::CopyOut(int source, std::int64_t offset, std::size_t size) {
  overwritten_ = true;
  WaitAhead();
  // In the kernel, page cache to page cache (or shared extents, where the file system has them):
  // for a big file much faster than writing it from the view, whose pages would fault in one by
  // one. It stops early at the end of the source; any failure leaves the rest to the caller.
  return CopyRange(source, static_cast<off_t>(offset), outFd_, nullptr, size,
                   syncing_ ? &*syncing_ : nullptr);
}

bool SafeFileWriter::SyncOut() {
  WaitAhead();
  syncing_.reset();
  return ::fsync(outFd_) == 0;
}

bool SafeFileWriter::TruncateOut(std::int64_t size) {
  overwritten_ = true;
  WaitAhead();
  return ::ftruncate(outFd_, static_cast<off_t>(size)) == 0;
}

bool SafeFileWriter::CloseOut() {
  WaitAhead();
  syncing_.reset();
  return ::close(std::exchange(outFd_, -1)) == 0;
}

bool SafeFileWriter::RestoreOriginal() {
  const int copy = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
  if (copy < 0) {
    return false;
  }
  const bool restored = ::lseek(outFd_, 0, SEEK_SET) == 0 &&
                        CopyFile(copy, outFd_, buffer_.get()) && TruncateOut(originalSize_) &&
                        SyncOut();
  ::close(copy);
  return restored;
}

SaveStatus SafeFileWriter::Commit() {
  if (std::optional<SaveStatus> ended = FinishOutput()) {
    return *ended;
  }
  if (!(createOnly_ ? RenameWithoutReplacing(temporary_, target_)
                    : ::rename(temporary_.c_str(), target_.c_str()) == 0)) {
    return Refuse(SaveResult::WriteFailed, errno);
  }
  temporary_.clear();
  SyncFolder(FolderOf(target_));
  Abandon();  // releases the lock on the replaced file
  return {};
}

void SafeFileWriter::Abandon() {
  WaitAhead();
  CloseOutput();
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
    SyncFolder(FolderOf(target_));
  }
  ForgetSave();
}

}  // namespace runebin::platform
