#include "storage/RecordFile.h"

#include "base/BareFile.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <optional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QString LocalName(const std::string& Name) {
  return QFile::decodeName(QByteArray(Name.data(), static_cast<qsizetype>(Name.size())));
}

// The whole new content of a record file: the record, then whatever the
// existing file holds after it. Nothing when the existing file cannot be
// opened for reading and writing: a write-protected or running file is not
// to be replaced, and bytes that cannot be read could not be kept.
std::optional<QByteArray> NewContent(const QString& Existing, std::span<const uint8_t> Record) {
  const auto Size = static_cast<qint64>(Record.size());
  QByteArray Content(reinterpret_cast<const char*>(Record.data()), static_cast<qsizetype>(Size));
  if (Existing.isEmpty())
    return Content;
  QFile Old(Existing);
  if (!Old.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
    return std::nullopt;
  const qint64 OldSize = Old.size();
  if (OldSize > Size) {
    if (!Old.seek(Size))
      return std::nullopt;
    const QByteArray Rest = Old.readAll();
    if (Old.error() != QFileDevice::NoError || Rest.size() != OldSize - Size)
      return std::nullopt;
    Content += Rest;
  }
  return Content;
}

// Replaces the file at Path by Content as a whole. QSaveFile writes a new
// file in the folder of the final target (a symbolic link, dangling or not,
// is followed, so the link stays a link) and renames it over the target in
// its commit; on any failure before, the target keeps its old content and
// the new file is dropped (by QSaveFile's destructor).
bool ReplaceWhole(const QString& Path, const QByteArray& Content) {
  QSaveFile File(Path);
  if (!File.open(QIODevice::WriteOnly))
    return false;
  // The commit does not see a failure of the buffered bytes reaching the
  // file (a full disk), nor one of the sync; both are checked here.
  if (File.write(Content) != Content.size() || !File.flush())
    return false;
#ifdef Q_OS_UNIX
  if (::fsync(File.handle()) != 0)
    return false;
#endif
  return File.commit();
}

} // namespace

TRecordRead ReadRecordBytes(const std::string& Name, size_t Size, std::vector<uint8_t>& Bytes) {
  const std::optional<std::string> Found = FindBareFile(Name);
  if (!Found)
    return TRecordRead::Missing;
  QFile File(LocalName(*Found));
  if (!File.open(QIODevice::ReadOnly))
    return TRecordRead::Unreadable;

  // Only the record is read, however long the file.
  QByteArray Head;
  const auto Want = static_cast<qint64>(Size);
  while (Head.size() < Want) {
    const QByteArray Part = File.read(Want - Head.size());
    if (Part.isEmpty())
      break;
    Head += Part;
  }
  if (File.error() != QFileDevice::NoError)
    return TRecordRead::Unreadable;
  const auto* Data = reinterpret_cast<const uint8_t*>(Head.constData());
  Bytes.assign(Data, Data + Head.size());
  return TRecordRead::Read;
}

TRecordRead ParseRecord(std::span<const uint8_t> Bytes, std::span<uint8_t> Record) {
  if (Bytes.size() < Record.size())
    return TRecordRead::Short;
  std::copy_n(Bytes.begin(), Record.size(), Record.begin());
  return TRecordRead::Read;
}

TRecordWrite WriteRecord(const std::string& Name, std::span<const uint8_t> Record) {
  const std::optional<std::string> Found = FindOwnFile(Name);
  const QString Path = LocalName(Found ? *Found : Name);
  const std::optional<QByteArray> Content = NewContent(Found ? Path : QString(), Record);
  if (!Content || !ReplaceWhole(Path, *Content))
    return TRecordWrite::Failed;
  return Found ? TRecordWrite::Written : TRecordWrite::Created;
}

bool RecordWritable(const std::string& Name) {
  const std::optional<std::string> Found = FindOwnFile(Name);
  const QString Path = LocalName(Found ? *Found : Name);
  if (Found) {
    QFile Existing(Path);
    if (!Existing.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
      return false;
  }
  // The new file beside the target is made and dropped again unwritten.
  QSaveFile Probe(Path);
  if (!Probe.open(QIODevice::WriteOnly))
    return false;
  Probe.cancelWriting();
  return true;
}
