#pragma once

#include "windows/Controls.h"
#include "windows/MButUnit.h"

#include <QDialog>
#include <QLabel>

#include <string>

class TShell;

// The about box: a borderless picture with the program's title, a notice and
// two links, one to write to the program's contact address and one to its
// home page. A click on the background closes it.
class TAboutBox : public QDialog {
public:
  static constexpr const char* ContactMail = "velm-mtr@example.org";
  static constexpr const char* HomePage = "https://www.example.org/velm-mtr/";
  // The interface sound of the links.
  static constexpr const char* LinkSound = "Reload.wav";

  explicit TAboutBox(TShell& Shell, QWidget* Parent = nullptr, std::string Mail = ContactMail,
                     std::string Url = HomePage);

  TImage* Image1;       // the emblem
  TImage* Image2;       // the background picture, over the whole box
  QLabel* Label1;       // the title's blue shadow
  QLabel* Label2;       // the white title
  QLabel* NoticeLabel;
  TMLabel* MailL = nullptr;
  TMLabel* UrlL = nullptr;

  void MailLClick();
  void UrlLClick();
  void Image2Click();

protected:
  void showEvent(QShowEvent* Event) override;

private:
  void FormCreate();
  TMLabel* MakeLink(const char* Name, int Top, const std::string& Caption);

  TShell& FShell;
  std::string FMail;
  std::string FUrl;
};
