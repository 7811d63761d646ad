#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <string>

// An empty working directory for the test's lifetime; the previous one is
// restored afterwards.
class TWorkDir {
public:
  TWorkDir() : FOld(QDir::currentPath()) { QDir::setCurrent(FDir.path()); }
  ~TWorkDir() {
    QDir::setCurrent(FOld);
    RemoveAll(FDir.path().toStdString());
  }

  // Removes a folder a test has left read-only, or with names that are not
  // UTF-8 (which a removal by decoded names cannot reach), by its bytes.
  static void RemoveAll(const std::filesystem::path& Root) {
    namespace fs = std::filesystem;
    std::error_code Ignored;
    fs::permissions(Root, fs::perms::owner_all, fs::perm_options::add, Ignored);
    for (auto It = fs::recursive_directory_iterator(Root, Ignored); It != fs::recursive_directory_iterator();
         It.increment(Ignored))
      if (It->is_directory(Ignored) && !It->is_symlink(Ignored))
        fs::permissions(It->path(), fs::perms::owner_all, fs::perm_options::add, Ignored);
    fs::remove_all(Root, Ignored);
  }
  TWorkDir(const TWorkDir&) = delete;
  TWorkDir& operator=(const TWorkDir&) = delete;

  void Write(const char* Name, const std::string& Bytes) const {
    QFile F(FDir.filePath(QString::fromLatin1(Name)));
    if (F.open(QIODevice::WriteOnly))
      F.write(Bytes.data(), static_cast<qint64>(Bytes.size()));
  }
  QString Path() const { return FDir.path(); }
  // The shipped data files, as a learner's folder that holds them all.
  void CopyShippedData() const {
    const QDir Data(QStringLiteral(VELM_SOURCE_DIR "/data"));
    for (const QString& Name : Data.entryList(QDir::Files))
      QFile::copy(Data.filePath(Name), FDir.filePath(Name));
  }

private:
  QString FOld;
  QTemporaryDir FDir;
};
