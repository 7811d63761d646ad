#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

// An empty working directory for the test's lifetime; the previous one is
// restored afterwards.
class TWorkDir {
public:
  TWorkDir() : FOld(QDir::currentPath()) { QDir::setCurrent(FDir.path()); }
  ~TWorkDir() { QDir::setCurrent(FOld); }
  TWorkDir(const TWorkDir&) = delete;
  TWorkDir& operator=(const TWorkDir&) = delete;

  void Write(const char* Name, const std::string& Bytes) const {
    QFile F(FDir.filePath(QString::fromLatin1(Name)));
    if (F.open(QIODevice::WriteOnly))
      F.write(Bytes.data(), static_cast<qint64>(Bytes.size()));
  }
  QString Path() const { return FDir.path(); }

private:
  QString FOld;
  QTemporaryDir FDir;
};
