#include "windows/about.h"

#include "windows/Caption.h"
#include "windows/Fonts.h"
#include "windows/Pictures.h"
#include "windows/Shell.h"
#include "windows/WindowPlace.h"

namespace {
void TextColor(QWidget* W, const QColor& Color) {
  QPalette P = W->palette();
  P.setColor(QPalette::WindowText, Color);
  W->setPalette(P);
}

// Titles and the notice let clicks through to the background picture.
QLabel* Text(QWidget* Parent, const char* Name, int Left, int Top, const std::string& Caption, const QFont& Font,
             const QColor& Color) {
  auto* L = new QLabel(Parent);
  L->setObjectName(Name);
  L->setFont(Font);
  SetCaption(L, Caption);
  TextColor(L, Color);
  L->setAttribute(Qt::WA_TransparentForMouseEvents);
  L->adjustSize();
  L->move(Left, Top);
  return L;
}
} // namespace

TAboutBox::TAboutBox(TShell& Shell, QWidget* Parent, std::string Mail, std::string Url)
    : QDialog(Parent, Qt::Dialog | Qt::FramelessWindowHint), FShell(Shell), FMail(std::move(Mail)),
      FUrl(std::move(Url)) {
  setObjectName("AboutBox");
  SetCaption(this, "About VELM-MTR");
  setFixedSize(364, 214);
  setFont(PixelFont("MS Sans Serif", 11));
  setWindowIcon(EmblemPicture());

  Image2 = new TImage(this);
  Image2->setObjectName("Image2");
  Image2->setGeometry(rect());
  Image2->setPixmap(AboutBackground(size()));
  Image2->OnClick = [this] { Image2Click(); };

  Image1 = new TImage(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(32, 32, 33, 33);
  Image1->setPixmap(EmblemPicture());
  Image1->setAttribute(Qt::WA_TransparentForMouseEvents);

  const QFont Title = PixelFont("Times New Roman", 35, true, true);
  Label1 = Text(this, "Label1", 66, 24, " VELM-MTR 2.1", Title, QColor(0, 0, 255));
  Label1->resize(249, 41);
  Label2 = Text(this, "Label2", 64, 24, " VELM-MTR 2.12", Title, Qt::white);
  // The italic overhang of the last letter stays inside the label.
  Label2->resize(Label2->width() + 6, Label2->height());
  NoticeLabel = Text(this, "NoticeLabel", 81, 88, "Freeware: pass it on to anyone.",
                     PixelFont("Times New Roman", 16, true), Qt::black);

  FormCreate();
}

void TAboutBox::FormCreate() {
  // The picture covers the box; its colour shows where the picture is not.
  QPalette P = palette();
  P.setColor(QPalette::Window, QColor(208, 112, 0));
  setPalette(P);
  setAutoFillBackground(true);

  MailL = MakeLink("MailL", NoticeLabel->y() + 25, "Mailto: " + FMail);
  MailL->OnClick = [this] { MailLClick(); };
  UrlL = MakeLink("UrlL", NoticeLabel->y() + 50, "Url: " + FUrl);
  UrlL->OnClick = [this] { UrlLClick(); };
}

TMLabel* TAboutBox::MakeLink(const char* Name, int Top, const std::string& Caption) {
  auto* L = new TMLabel(this);
  L->setObjectName(Name);
  L->setFont(NoticeLabel->font());
  TextColor(L, QColor(255, 255, 0));
  SetCaption(L, Caption);
  L->adjustSize();
  L->move(width() / 2 - L->width() / 2, Top);
  L->OnHoverSound = [this] { FShell.PlaySoundAsync(LinkSound); };
  return L;
}

void TAboutBox::MailLClick() {
  FShell.PlaySoundAsync(LinkSound);
  FShell.Open("mailto:" + FMail);
}

void TAboutBox::UrlLClick() {
  FShell.PlaySoundAsync(LinkSound);
  FShell.Open(FUrl);
}

void TAboutBox::Image2Click() { accept(); }

void TAboutBox::showEvent(QShowEvent* Event) {
  CentreOnScreen(*this);
  QDialog::showEvent(Event);
}
