#pragma once
// The About window: the program's picture, the date and time it was built and the parameter file
// format version. Its caption follows the language each time it is shown (Czech keeps the last one).

#include <QDialog>

class QLabel;

namespace torvane {

class TFormAbout : public QDialog {
    Q_OBJECT

  public:
    explicit TFormAbout(QWidget* parent = nullptr);
    // Sets the caption for the language and shows the window modally.
    void showFor(int languageIndex);
    void applyCaption(int languageIndex);

    static QString buildDate();  // "Jun 22 2007"
    static QString buildTime();  // "17:09:08"

  private:
    void centreOnScreen();
};

}  // namespace torvane
