#pragma once
// The map in view as a 3D surface over engine speed and row, the live cell shown as the selected
// point. Needs Qt Data Visualization and an OpenGL context; where either is missing the window
// holds a message that says why.

#include <QString>
#include <QWidget>
#include <vector>

#include "app/mapviews/map_chart.h"

class QLabel;
class Q3DSurface;
class QSurface3DSeries;

namespace torvane {

class RowNameFormatter;

class MapSurface : public QWidget {
    Q_OBJECT

  public:
    explicit MapSurface(QWidget* parent = nullptr);

    // Whether this build and this display can draw the surface; why (if given) gets the reason when not,
    // in the language given.
    static bool available(QString* why = nullptr, int languageIndex = 0);

    // Captions the window, its axes and the reason it cannot draw in the language.
    void setLanguage(int languageIndex);

    // Keeps the graph and its series; only cells whose value changed are passed on when the map keeps
    // its shape.
    void setData(const MapViewData& viewData);
    // Selects another cell as the live one; -1 clears the selection.
    void setLive(int row, int column);

    // nullptr when the surface is not available; the message then says why.
    Q3DSurface* graph() const { return graph_; }
    QSurface3DSeries* series() const { return series_; }
    QLabel* message() const { return message_; }

  private:
    QWidget* buildGraph();  // the graph's window container
    void fillSurface();
    void showLive();

    MapViewData data_;
    int language_ = 0;
    Q3DSurface* graph_ = nullptr;
    QSurface3DSeries* series_ = nullptr;
    RowNameFormatter* rowFormatter_ = nullptr;
    QLabel* message_ = nullptr;
    // Rows and columns of the data as the surface holds it; columns whose speed does not rise are left out.
    std::vector<int> columns_;
};

}  // namespace torvane
