#pragma once
// The datalog viewer: a window that plots the channels of a recorded ride over time, reads every channel
// out at a cursor, and replays the ride at its own pace so the main window can show the logged frames on
// its map pages.

#include <QColor>
#include <QElapsedTimer>
#include <QString>
#include <QWidget>
#include <cstddef>
#include <utility>
#include <vector>

#include "app/datalog/datalog_plot_math.h"
#include "files/datalog.h"
#include "text/tool_texts.h"

class QChart;
class QChartView;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineSeries;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSplitter;
class QTableWidget;
class QTimer;
class QValueAxis;

namespace torvane {

class DatalogChartView;

class DatalogViewer : public QWidget {
    Q_OBJECT

  public:
    // The replay timer's period; each tick advances the replay by the wall time that really passed.
    static constexpr int ReplayIntervalMs = 55;
    // The narrowest time window a zoom reaches.
    static constexpr double MinimumSpanSeconds = 0.5;

    explicit DatalogViewer(QWidget* parent = nullptr);
    ~DatalogViewer() override;

    // Captions the window (buttons, tips, headers, title, axis title) in the language; a language index
    // outside 0..3 reads as English.
    void setLanguage(int languageIndex);
    int language() const { return language_; }

    // Reads the file and shows it. False with a reason in error when it cannot be read; the log shown
    // before stays.
    bool openLog(const QString& path, QString& error);
    // Shows log: the whole log, the cursor on the first row, engine speed and throttle plotted (the first
    // channel when the log has neither). A replay that was running stops. Emits no rowShown: a newly
    // opened log does not take over the live values until the cursor is moved.
    void setLog(Datalog log, const QString& fileName);
    const Datalog& log() const { return log_; }

    // Channels are column indexes of the log; column 0, the time, is never a channel.
    void setChannelShown(int column, bool shown);
    std::vector<int> shownChannels() const;  // in column order

    void setCursorRow(std::size_t row);
    std::size_t cursorRow() const { return cursorRow_; }
    // The cursor on the row logged nearest t.
    void setCursorTime(double t);

    void zoom(double factor, double centreTime);  // factor above 1 zooms in
    void pan(double seconds);
    void showWholeLog();
    std::pair<double, double> timeRange() const { return {view_.begin, view_.end}; }

    void play();
    void pause();
    bool playing() const { return playing_; }
    void step(int rows);           // stops a running replay first
    void setSpeed(double factor);  // 1 = as logged; anything but a positive number is ignored
    double speed() const { return speed_; }
    void advanceReplay(double wallSeconds);

    QChart* chart() const;
    QChartView* chartView() const;

  signals:
    // The cursor moved to row (a click, a step, the replay, setCursorRow).
    void rowShown(std::size_t row);
    // The replay paused or reached the end, or the window closed: the logged frames stop coming.
    void replayStopped();
    void cellHitsRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    friend class DatalogChartView;

    struct Channel {
        int column = 0;
        QLineSeries* series = nullptr;
        QValueAxis* axis = nullptr;
        QColor colour;
        bool right = false;
    };

    void buildWindow();
    QHBoxLayout* buildToolRow();
    void buildPlotArea(QSplitter* splitter);
    void buildReadout(QSplitter* splitter);
    void fillChannelList();
    void fillReadout();
    void fitUnitColumn();
    QString text(ToolText t) const;
    void updateReadout();
    void updateInfo();
    void moveCursor(std::size_t row, bool followView);
    void setView(TimeWindow view);
    void replot();
    void replot(const Channel& channel);
    void setTimeAxisTicks();
    std::size_t plotBuckets() const;
    double timeAtViewX(double x) const;
    double secondsPerPixel() const;
    bool handleKey(int key);
    void onReplayTimer();
    void onChannelItemChanged(QListWidgetItem* item);
    void updatePlayButton();
    std::span<const double> times() const;

    Datalog log_;
    QString fileName_;
    int language_ = 0;
    TimeWindow whole_;
    TimeWindow view_;
    std::size_t cursorRow_ = 0;
    std::vector<Channel> channels_;  // in the order they were shown
    std::size_t lastBuckets_ = 0;

    bool playing_ = false;
    double speed_ = 1.0;
    double replayClock_ = 0;
    QElapsedTimer replayWall_;
    QTimer* replayTimer_ = nullptr;

    QListWidget* channelList_ = nullptr;
    DatalogChartView* chartView_ = nullptr;
    QChart* chart_ = nullptr;
    QValueAxis* timeAxis_ = nullptr;
    QTableWidget* readout_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QComboBox* speedCombo_ = nullptr;
    QLabel* speedLabel_ = nullptr;
    QLabel* info_ = nullptr;
};

}  // namespace torvane
