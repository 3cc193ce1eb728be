#pragma once
// A small horizontal bar gauge with its percentage written across it.

#include <QColor>
#include <QWidget>

namespace torvane {

class GaugeWidget : public QWidget {
    Q_OBJECT

  public:
    explicit GaugeWidget(QWidget* parent = nullptr);

    void setMaxValue(int value);
    int maxValue() const;
    void setProgress(int value);
    int progress() const;
    void setForeColor(const QColor& color);
    QColor foreColor() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int percent() const;

    int maxValue_ = 100;
    int progress_ = 0;
    QColor foreColor_ = QColor(0, 0, 128);
};

}  // namespace torvane
