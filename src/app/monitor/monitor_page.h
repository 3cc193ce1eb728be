#pragma once
// The Monitor page: the live readouts of the unit, grouped for a reading at a glance, and the step that
// puts a computed readout onto the window's labels and gauges by their objectName.

#include <QColor>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include "link/monitor_readout.h"

class QCheckBox;
class QVBoxLayout;
class QWidget;

namespace torvane {

// Builds the readouts into page (through layout); returns the "Detailed representation" check box.
QCheckBox* BuildMonitorPage(QWidget* page, QVBoxLayout* layout);

// Finds every named label and gauge under root (the main window) and sets what the readout carries.
// Names that root does not hold are skipped.
void ApplyMonitorReadout(QWidget* root, const MonitorReadout& readout);

// The colour a readout colour stands for; Normal is the button face of the application's palette.
QColor ReadoutQColor(ReadoutColor color);

// Remembers where the named readouts sit under one root, so that a frame every 330 ms does not search
// the whole window for each of its ninety names. Lives as a hidden child of the root.
class MonitorWidgetIndex : public QObject {
    Q_OBJECT

  public:
    explicit MonitorWidgetIndex(QWidget* root);
    QWidget* find(std::string_view name);

  private:
    QWidget* root_;
    QHash<QString, QPointer<QWidget>> widgets_;
};

}  // namespace torvane
