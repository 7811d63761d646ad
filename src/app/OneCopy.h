#pragma once

#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

// One copy of the program per learner's folder: two copies would each write
// their own progress over the other's at close. The first copy holds a lock
// file in the folder for as long as it runs (a lock left by a copy that
// crashed is taken over, as is one of another machine, which came with a
// copied folder) and listens for a second copy, which asks it to
// bring its window to the front and then ends without writing anything.
class TOneCopy final {
public:
  // Folder is the learner's folder, which holds the lock.
  explicit TOneCopy(const QString& Folder);
  ~TOneCopy();
  TOneCopy(const TOneCopy&) = delete;
  TOneCopy& operator=(const TOneCopy&) = delete;

  // True when this copy holds the folder (or the lock cannot be made at
  // all, a read-only folder: the close then tells that nothing is saved).
  bool First() const { return FFirst; }

  // For the first copy: from now on a second copy's request runs
  // BringToFront in the interface thread.
  void Listen(std::function<void()> BringToFront);

  // For a second copy: asks the first to come to the front; false when it
  // does not answer within a second or two.
  bool AskFirstToFront() const;

private:
  QString FName; // the local socket's name, from the folder
  std::unique_ptr<QLockFile> FLock;
  std::unique_ptr<QLocalServer> FServer;
  std::function<void()> FBringToFront;
  bool FFirst = true;
};

// The name of the file that holds the lock, in the learner's folder.
inline constexpr char LockFileName[] = "velm-mtr.lock";
