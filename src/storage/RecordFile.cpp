#include "storage/RecordFile.h"

#include "sound/BareFile.h"

#include <QByteArray>
#include <QFile>

#include <optional>

namespace {

QString LocalName(const std::string& Name) {
  return QFile::decodeName(QByteArray(Name.data(), static_cast<qsizetype>(Name.size())));
}

bool WriteAll(QFile& File, std::span<const uint8_t> Record) {
  const auto Size = static_cast<qint64>(Record.size());
  if (!File.seek(0))
    return false;
  if (File.write(reinterpret_cast<const char*>(Record.data()), Size) != Size)
    return false;
  if (!File.flush())
    return false;
  File.close();
  return File.error() == QFileDevice::NoError;
}

} // namespace

TRecordRead ReadRecord(const std::string& Name, std::span<uint8_t> Record) {
  const std::optional<std::string> Found = FindBareFile(Name);
  if (!Found)
    return TRecordRead::Missing;
  QFile File(LocalName(*Found));
  if (!File.open(QIODevice::ReadOnly))
    return TRecordRead::Unreadable;

  // Read into a copy first, so that a short or failing file leaves the
  // caller's record as it was.
  QByteArray Bytes;
  const auto Size = static_cast<qint64>(Record.size());
  while (Bytes.size() < Size) {
    const QByteArray Part = File.read(Size - Bytes.size());
    if (Part.isEmpty())
      break;
    Bytes += Part;
  }
  if (File.error() != QFileDevice::NoError)
    return TRecordRead::Unreadable;
  if (Bytes.size() < Size)
    return TRecordRead::Short;
  for (size_t I = 0; I < Record.size(); ++I)
    Record[I] = static_cast<uint8_t>(Bytes[static_cast<qsizetype>(I)]);
  return TRecordRead::Read;
}

TRecordWrite OverwriteRecord(const std::string& Name, std::span<const uint8_t> Record) {
  const std::optional<std::string> Found = FindOwnFile(Name);
  if (!Found)
    return TRecordWrite::Failed;
  // Read and write without truncation; ExistingOnly keeps a file that was
  // removed meanwhile from being made here.
  QFile File(LocalName(*Found));
  if (!File.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
    return TRecordWrite::Failed;
  return WriteAll(File, Record) ? TRecordWrite::Written : TRecordWrite::Failed;
}

TRecordWrite WriteRecord(const std::string& Name, std::span<const uint8_t> Record) {
  if (FindOwnFile(Name))
    return OverwriteRecord(Name, Record);
  QFile File(LocalName(Name));
  if (!File.open(QIODevice::WriteOnly | QIODevice::NewOnly))
    return TRecordWrite::Failed;
  return WriteAll(File, Record) ? TRecordWrite::Created : TRecordWrite::Failed;
}
