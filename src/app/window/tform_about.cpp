#include "app/window/tform_about.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

namespace torvane {
namespace {

constexpr int FileFormatVersion = 70;

// "OK" that closes the window on a click.
class ExitLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton) window()->close();
    }
};

QLabel* Place(QLabel* label, const char* name, int left, int top) {
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

}  // namespace

QString TFormAbout::buildDate() {
    return QStringLiteral(__DATE__);
}

QString TFormAbout::buildTime() {
    return QStringLiteral(__TIME__);
}

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("TFormAbout");
    setWindowTitle("Torvane Power");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(547, 627);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    setPalette(white);
    setAutoFillBackground(true);

    auto* picture = new QLabel(this);
    picture->setObjectName("Image1");
    picture->setGeometry(2, 2, 535, 552);
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/about.jpg")));
    picture->setScaledContents(true);

    Place(new QLabel(buildDate(), this), "LabelDate", 16, 569);
    Place(new QLabel(buildTime(), this), "LabelTime", 168, 569);
    Place(new QLabel(QStringLiteral("Version - %1").arg(FileFormatVersion), this), "LabelRsKey", 296, 569);
    auto* exit = new ExitLabel(QStringLiteral("OK"), this);
    QFont large = exit->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    large.setBold(true);
    exit->setFont(large);
    exit->setCursor(Qt::PointingHandCursor);
    Place(exit, "LabelExit", 480, 561);
    centreOnScreen();
}

void TFormAbout::applyCaption(int languageIndex) {
    switch (languageIndex) {
        case 0:
            setWindowTitle("About Torvane_Power_R");
            break;
        case 1:
            setWindowTitle(QString::fromUtf8("Über Programm Torvane_Power_R"));
            break;
        case 2:
            setWindowTitle("Information Torvane_Power_R");
            break;
        default:
            break;  // Czech keeps the caption it has
    }
}

void TFormAbout::showFor(int languageIndex) {
    applyCaption(languageIndex);
    centreOnScreen();
    exec();
}

void TFormAbout::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect s = screen->geometry();
    move(s.width() / 2 - width() / 2, s.height() / 2 - height() / 2);
}

}  // namespace torvane
