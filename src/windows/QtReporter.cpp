#include "windows/QtReporter.h"

#include "windows/Caption.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {
QString BoxText(const std::string& Bytes, uint8_t Charset) { return LabelLines(ToUnicode(Bytes, Charset)); }

int Run(QMessageBox::Icon Icon, const std::string& Text, uint8_t Charset, QMessageBox::StandardButtons Buttons,
        QMessageBox::StandardButton Default) {
  QMessageBox Box(Icon, QApplication::applicationName(), BoxText(Text, Charset), Buttons,
                  QApplication::activeWindow());
  Box.setObjectName("MessageBox");
  Box.setTextFormat(Qt::PlainText);
  Box.setDefaultButton(Default);
  return Box.exec();
}
} // namespace

void TQtMessageReporter::ShowMessage(const std::string& Text) {
  Run(QMessageBox::NoIcon, Text, FCharset, QMessageBox::Ok, QMessageBox::Ok);
}

bool TQtMessageReporter::AskYesNo(const std::string& Text) {
  return Run(QMessageBox::Question, Text, FCharset, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
         QMessageBox::Yes;
}

bool TQtMessageReporter::AskYesNoDefault(const std::string& Text, bool DefaultYes) {
  return Run(QMessageBox::Question, Text, FCharset, QMessageBox::Yes | QMessageBox::No,
             DefaultYes ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

void TQtMessageReporter::Beep() { QApplication::beep(); }

void TStderrReporter::ShowMessage(const std::string& Text) {
  QString Line = ToUnicode(Text, FCharset).simplified();
  const QByteArray Bytes = (QStringLiteral("velm-mtr: ") + Line + QLatin1Char('\n')).toLocal8Bit();
  std::fwrite(Bytes.constData(), 1, static_cast<size_t>(Bytes.size()), stderr);
  std::fflush(stderr);
}

bool TStderrReporter::AskYesNo(const std::string& Text) {
  static_cast<void>(Text);
  return false;
}
