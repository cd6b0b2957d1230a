#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/BackgroundSync.h"
#include "platform/FileIdentity.h"
#include "platform/LockedFile.h"
#include "platform/OutputFile.h"
#include "platform/SaveResult.h"
#include "platform/SignalCleanup.h"

namespace runebin::platform {

// How much of the new contents is gathered before one write.
inline constexpr std::size_t kSaveBufferSize = 1 << 20;
// How much is written to the system between two flushes to disk while a save goes on.
inline constexpr std::size_t kWriteBackStep = 8 << 20;

struct WriteOptions {
  // The target as this process already holds it locked (a second lock of ours would conflict
  // with the first); ignored when it is not the target. On Windows the writer closes it just
  // before the replacement, since a file open without sharing cannot be replaced even by its
  // holder, and opens it again if the replacement fails.
  LockedFile* held = nullptr;
  // Refuse with ChangedOnDisk unless the target is still this file, unwritten since (or gone).
  std::optional<FileIdentity> expected;
  // Only make a new file: refuse (WriteFailed, EEXIST) when the target exists, also when another
  // program creates it while the new contents are written.
  bool createOnly = false;
};

// Replaces a file without ever destroying it or giving it away.
//
// Normally the new contents go to a temporary file in the same folder, which gets the target's
// owner, group and mode, is flushed to disk and then renamed over the target in one step: until
// Commit succeeds the target stays exactly as it was.
//
// Where the new file could not keep the target's owner or group (only the owner of a file, or
// root, may set them), or the target has several hard links (a rename would split them; on Windows
// only this case), the target is overwritten in place instead: first a flushed safety copy of it is
// made in the same folder; any failure then copies it back, and only if even that fails is the copy
// left, named in the result (CopyKept). SIGINT, SIGTERM and SIGHUP (on Windows console control
// events) are held back while the target is overwritten.
//
// Any other way it ends, no temporary file is left: also when SIGINT, SIGTERM or SIGHUP end the
// program during the save (see SignalCleanup). While the replacement is written, the target is
// held under an exclusive, non-blocking lock, so a file another process holds locked is refused.
class SafeFileWriter final : public OutputFile {
 public:
  SafeFileWriter() = default;
  ~SafeFileWriter() override;
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Prepares to write `target`. Refuses when the target is a directory or other non-regular file,
  // is marked read-only on disk or is one this user may not write (NotWritable), is locked by
  // another process (InUse), is not the expected file (ChangedOnDisk), or when its folder does not
  // exist or a temporary file cannot be made in it (WriteFailed).
  SaveStatus Begin(const std::string& target, const WriteOptions& options = {});
  // After Begin: whether the writes go into the target itself rather than a new file.
  bool WritesInPlace() const { return inPlace_; }
  // Whether CopyAhead copies anything on this system.
#ifdef _WIN32
  static constexpr bool kCopiesAhead = false;
#else
  static constexpr bool kCopiesAhead = true;
#endif
  // After Begin, while the caller still works out what it will write: where the new contents go
  // to a new file (not in place), a thread copies the whole file `view` maps into it, so that the
  // disk is already writing it meanwhile. Later writes overwrite that copy where they differ;
  // WriteFromView passes over bytes of `view` that the copy already holds in the same place, and
  // Commit cuts the new file to the length written. Only for a view nothing has written into;
  // nothing happens where the system cannot copy between files (always on Windows).
  void CopyAhead(const MemoryMap& view);
  // After Begin, for a new file (not in place) that no CopyAhead fills, from any thread: writes
  // `bytes` at `offset` of the new file now, for a caller that knows where bytes it is still
  // making will go, so that the disk writes them meanwhile. Returns false when they were not
  // placed (never on Windows). Commit cuts what lies past the length written.
  bool PlaceAhead(std::int64_t offset, std::span<const std::uint8_t> bytes);
  // Once every byte of `bytes` was placed at `offset` plus its own index after its last change:
  // a WritePlaced of exactly these bytes at exactly that offset passes over them.
  void ExpectPlaced(std::int64_t offset, std::span<const std::uint8_t> bytes);
  // Maps the new file's first `size` bytes into `view`, for bytes PlaceAhead wrote to be read
  // back from where they are rather than kept twice. Pages are read in only where touched. The
  // view reads what the file holds: a caller that reads placed bytes through it must not let
  // anything be written over them, nor the file be cut short of them. False where the new file
  // cannot be mapped (always on Windows, where nothing is placed ahead).
  bool MapOutput(MemoryMap& view, std::int64_t size) const;
  bool Write(const void* bytes, std::size_t size) override;
  bool WritePlaced(std::span<const std::uint8_t> bytes) override;
  bool WriteFromView(std::span<const std::uint8_t> bytes, const MemoryMap& view) override;
  // Flushes and syncs the new contents and puts them in place. On failure the target is as it
  // was (or, for CopyKept, its bytes are in the copy the result names).
  SaveStatus Commit();
  // Gives up: the target is left as it was and no temporary file remains.
  void Abandon();

 private:
  // The system's error for a target another process holds locked.
  static const int kInUseError;

  // Shared by both systems (SafeFileWriterShared.cpp).
  void Reset();
  bool Fail();
  // Holds the target locked: the caller's own lock when it holds this file, else a new one.
  // Refuses when another process holds it.
  std::optional<SaveStatus> HoldTarget(const WriteOptions& options);
  bool Flush();
  // The end of Abandon: signals, lock and buffer let go.
  void ForgetSave();
  // Commit of a target written in place: truncated, synced, and put back on failure.
  SaveStatus CommitInPlace();
  // The first part of Commit: in place, all of it; otherwise the new file flushed, synced and
  // closed. Nothing when the new file is ready to take the target's place.
  std::optional<SaveStatus> FinishOutput();
  // Closes the output; in place and not committed, the original is put back first.
  void CloseOutput();

  // Each system's own.
  static int LastError();  // the error of the system call that just failed
  bool WriteOut(const unsigned char* bytes, std::size_t size);  // unbuffered, to outFd_
  // Has the new contents flushed while they are written, every kWriteBackStep (POSIX only).
  void StartSyncing();
  // Has the system copy up to `size` bytes of the file open as `source`, from `offset` on, to
  // outFd_; returns how many it copied (0 where it cannot, always on Windows).
  std::size_t CopyOut(int source, std::int64_t offset, std::size_t size);
  SaveStatus Refuse(SaveResult result, int error);
  // The copy CopyAhead started: WaitAhead lets it end. SkipAhead moves the output past `bytes`
  // of `view` when the copy holds them where they would be written; false when it does not (or
  // the move failed). EndAhead cuts the new file to the length written; false on failure.
  void WaitAhead();
  bool SkipAhead(std::span<const std::uint8_t> bytes, const MemoryMap& view);
  // Moves the output past `bytes` when they were placed where they would be written (flushing
  // what is buffered first); false when they were not (or the move failed).
  bool SkipPlaced(std::span<const std::uint8_t> bytes);
  bool EndAhead();
  SaveStatus BeginInPlace();
  // Creates the hidden temporary file beside the target, watched for signals; -1 on failure.
  int MakeTemporary();
  bool RestoreOriginal();
  bool SyncOut();                       // flushes outFd_ to disk
  bool TruncateOut(std::int64_t size);  // ends outFd_ at `size`
  bool CloseOut();

  std::string target_;
  std::string temporary_;  // the new file, or in place the safety copy
  int outFd_ = -1;         // where the new contents go
  LockedFile lock_;
  LockedFile* lockHeld_ = nullptr;
  bool inPlace_ = false;
  bool createOnly_ = false;
  std::int64_t originalSize_ = 0;
  bool failed_ = false;
  int error_ = 0;  // errno of the first call that failed
  std::unique_ptr<unsigned char[]> buffer_;
  std::size_t buffered_ = 0;
  std::int64_t written_ = 0;
  bool overwritten_ = false;               // a write or a cut has reached outFd_
  std::optional<BackgroundSync> syncing_;  // told of every write to outFd_, until the final flush
  std::thread ahead_;                      // the copy CopyAhead started, while it runs
  const MemoryMap* aheadView_ = nullptr;   // what it copied: the file this view mapped,
  const std::uint8_t* aheadData_ = nullptr;
  std::int64_t aheadCopied_ = 0;  // this many bytes of it from the start (known once it ended)
  struct Placed {
    std::int64_t offset;
    std::span<const std::uint8_t> bytes;
  };
  std::vector<Placed> placed_;              // what ExpectPlaced was told
  std::atomic<std::int64_t> placedEnd_{0};  // the end of the furthest bytes PlaceAhead wrote
  std::optional<SignalCleanup> cleanup_;
  std::optional<SignalHold> hold_;
};

}  // namespace runebin::platform
