#pragma once

#include <QWidget>

#include <string>

class QTextBrowser;

// The help of the program: an HTML file in the learner's folder or the
// shipped data (found as FindBareFile finds it), named at
// program start, shown at its contents page in a window of its own.
void SetApplicationHelpFile(const std::string& Name);
const std::string& ApplicationHelpFile();

class THelpWindow : public QWidget {
public:
  explicit THelpWindow(QWidget* Parent = nullptr);
  // Shows the contents page of the help file (bare name, letter case
  // ignored), or says that the file was not found; brings the window up.
  void ShowContents(const std::string& HelpFile);
  QTextBrowser* Browser() const { return FBrowser; }
  // The file shown, or empty when it was not found.
  const QString& Source() const { return FSource; }

private:
  QTextBrowser* FBrowser;
  QString FSource;
};
