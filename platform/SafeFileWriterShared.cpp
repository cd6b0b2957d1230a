// The parts of SafeFileWriter that do not depend on the system: buffering the new contents,
// taking the target's lock, and forgetting everything when a save ends. The system's own parts
// (creating, flushing and replacing files) are in SafeFileWriter.cpp and SafeFileWriterWin32.cpp.

#include <cstring>
#include <functional>
#include <utility>

#include "platform/SafeFileWriter.h"

namespace runebin::platform {

void SafeFileWriter::Reset() {
  failed_ = false;
  error_ = 0;
  buffered_ = 0;
  written_ = 0;
  overwritten_ = false;
  aheadView_ = nullptr;
  aheadData_ = nullptr;
  aheadCopied_ = 0;
  placed_.clear();
  placedEnd_ = 0;
}

bool SafeFileWriter::Fail() {
  if (!failed_) {
    failed_ = true;
    error_ = LastError();
  }
  return false;
}

std::optional<SaveStatus> SafeFileWriter::HoldTarget(const WriteOptions& options) {
  const std::optional<FileIdentity> named = IdentityOfPath(target_);
  if (options.held != nullptr && options.held->IsOpen() && named &&
      options.held->Identity().SameFile(*named)) {
    lockHeld_ = options.held;
    return std::nullopt;
  }
  const LockResult locked = lock_.OpenForReading(target_);
  if (locked == LockResult::InUse) {
    return Refuse(SaveResult::InUse, kInUseError);
  }
  if (locked != LockResult::Locked) {
    return Refuse(SaveResult::WriteFailed, LastError());
  }
  lockHeld_ = &lock_;
  return std::nullopt;
}

bool SafeFileWriter::Write(const void* bytes, std::size_t size) {
  if (failed_ || outFd_ < 0) {
    failed_ = true;
    return false;
  }
  const auto* source = static_cast<const unsigned char*>(bytes);
  if (buffered_ + size <= kSaveBufferSize) {
    std::memcpy(buffer_.get() + buffered_, source, size);
    buffered_ += size;
    return true;
  }
  if (!Flush()) {
    return false;
  }
  if (size >= kSaveBufferSize) {
    if (!WriteOut(source, size)) {
      return Fail();
    }
    written_ += static_cast<std::int64_t>(size);
    return true;
  }
  std::memcpy(buffer_.get(), source, size);
  buffered_ = size;
  return true;
}

bool SafeFileWriter::WritePlaced(std::span<const std::uint8_t> bytes) {
  if (!failed_ && outFd_ >= 0 && SkipPlaced(bytes)) {
    written_ += static_cast<std::int64_t>(bytes.size());
    return true;
  }
  return Write(bytes.data(), bytes.size());
}

bool SafeFileWriter::WriteFromView(std::span<const std::uint8_t> bytes, const MemoryMap& view) {
  // Small pieces are cheaper through the buffer; bytes from elsewhere have no place in the file.
  const auto begin = view.Data(), end = view.Data() + view.Size();
  if (bytes.size() < kSaveBufferSize || view.CopySource() < 0 ||
      std::less<>()(bytes.data(), begin) || std::less<>()(end, bytes.data() + bytes.size())) {
    return Write(bytes.data(), bytes.size());
  }
  if (failed_ || outFd_ < 0 || !Flush()) {
    failed_ = true;
    return false;
  }
  if (SkipAhead(bytes, view)) {
    written_ += static_cast<std::int64_t>(bytes.size());
    return true;
  }
  // What the system did not copy (it may not copy between these files at all) is written from
  // the view; a file cut short behind our back then fails that write.
  const std::size_t copied = CopyOut(view.CopySource(), bytes.data() - view.Data(), bytes.size());
  if (!WriteOut(bytes.data() + copied, bytes.size() - copied)) {
    return Fail();
  }
  written_ += static_cast<std::int64_t>(bytes.size());
  return true;
}

bool SafeFileWriter::Flush() {
  if (buffered_ > 0 && !failed_) {
    if (!WriteOut(buffer_.get(), buffered_)) {
      Fail();
    } else {
      written_ += static_cast<std::int64_t>(buffered_);
    }
  }
  buffered_ = 0;
  return !failed_;
}

SaveStatus SafeFileWriter::CommitInPlace() {
  // The new contents may be shorter than the old: the file ends where they do.
  if (!Flush() || !SyncOut() || !TruncateOut(written_) || !SyncOut()) {
    Fail();
  }
  const bool whole = !failed_ || RestoreOriginal();
  // Not even put back: the copy is all that is left of the original, so it stays, named.
  std::string kept = whole ? std::string() : std::exchange(temporary_, {});
  CloseOut();
  if (!failed_) {
    Abandon();  // removes the copy, lets held signals through
    return {};
  }
  SaveStatus status = Refuse(whole ? SaveResult::WriteFailed : SaveResult::CopyKept, error_);
  status.keptCopy = std::move(kept);
  return status;
}

std::optional<SaveStatus> SafeFileWriter::FinishOutput() {
  if (outFd_ < 0) {
    return Refuse(SaveResult::WriteFailed, error_);
  }
  if (inPlace_) {
    return CommitInPlace();
  }
  if (!Flush() || !EndAhead() || !SyncOut()) {
    Fail();
  }
  if (!CloseOut() && !failed_) {
    Fail();
  }
  if (failed_) {
    return Refuse(SaveResult::WriteFailed, error_);
  }
  return std::nullopt;
}

void SafeFileWriter::CloseOutput() {
  if (outFd_ < 0) {
    return;
  }
  // In place and not committed: put the original back before the copy goes - if anything was
  // written over it.
  if (inPlace_ && overwritten_ && !RestoreOriginal()) {
    temporary_.clear();  // the copy stays; nobody is left to tell, so at least keep the bytes
  }
  CloseOut();
}

void SafeFileWriter::ForgetSave() {
  if (cleanup_) {
    cleanup_->Forget();
  }
  cleanup_.reset();
  hold_.reset();  // held signals arrive now, with nothing left to clean up
  lock_.Close();
  lockHeld_ = nullptr;
  inPlace_ = false;
  buffer_.reset();
  buffered_ = 0;
}

}  // namespace runebin::platform
