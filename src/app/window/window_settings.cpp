// The window's settings file and diagnostics marker: what the window keeps between sessions.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/monitor/gauge_widget.h"
#include "app/monitor/monitor_page.h"
#include "app/tools/tuning_tools.h"
#include "app/window/accessible_names.h"
#include "app/window/page_tab_bar.h"
#include "app/window/tform_about.h"
#include "app/window/tform_hlav.h"
#include "app/window/window_actions.h"
#include "app/window/window_link.h"
#include "image/fields.h"
#include "link/link_session.h"
#include "link/monitor_readout.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_page_model.h"
#include "mapgrid/map_panel.h"
#include "settings/ini_file.h"
#include "settings/platform_paths.h"
#include "text/message_table.h"
#include "text/tool_texts.h"
#include "widgets/commit_check_box.h"
#include "widgets/radio_group.h"

namespace torvane {

namespace {

QByteArray readWholeFile(const QString& path, bool* ok) {
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? file.readAll() : QByteArray();
}

}  // namespace

SettingsValues TFormHlav::currentSettings() const {
    SettingsValues v;
    v.Left = x();
    v.Top = y();
    v.Height = height();
    v.Width = width();
    v.ComPortIndex = comPortIndex_;
    v.LanguageIndex = languageIndex_;
    v.File = LabelFile2->text().toStdString();
    v.IniDir = iniDir_.toStdString();
    v.ActivePageIndex = PageControl1->currentIndex();
    v.ZobrMs = CheckBoxZobrMs_Uni->isChecked();
    v.ExtMonitor = CheckBoxExtMonitor->isChecked();
    v.AllPolohaA = CheckBoxAll_PolohaA->isChecked();
    v.AllPolohaB = CheckBoxAll_PolohaB->isChecked();
    return v;
}

void TFormHlav::ReadSettings() {
    IniFile ini;
    bool ok = false;
    const QByteArray text = readWholeFile(settingsFilePath(), &ok);
    if (ok) ini.parse(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));

    SettingsValues v = currentSettings();
    ReadSettingsValues(ini, v);

    move(v.Left, v.Top);
    resize(v.Width, v.Height);
    keepOnScreen();
    comPortIndex_ = v.ComPortIndex;
    languageIndex_ = v.LanguageIndex;
    LabelFile2->setText(QString::fromStdString(v.File));
    iniDir_ = QString::fromStdString(v.IniDir);
    if (v.ActivePageIndex >= 0 && v.ActivePageIndex < PageCount)
        PageControl1->setCurrentIndex(v.ActivePageIndex);
    CheckBoxZobrMs_Uni->setChecked(v.ZobrMs);
    CheckBoxExtMonitor->setChecked(v.ExtMonitor);
    CheckBoxAll_PolohaA->setChecked(v.AllPolohaA);
    CheckBoxAll_PolohaB->setChecked(v.AllPolohaB);

    const QByteArray backup = readWholeFile(imageBackupFilePath(), &ok);
    if (ok) {
        ReadImageBackup(std::string_view(backup.constData(), static_cast<std::size_t>(backup.size())), image_,
                        allStates_);
    }
}

void TFormHlav::WriteSettings() {
    QDir().mkpath(options_.settingsDirectory);
    IniFile ini;
    bool ok = false;
    // Keys of other sections or programs in the same file survive the rewrite.
    const QByteArray old = readWholeFile(settingsFilePath(), &ok);
    if (ok) ini.parse(std::string_view(old.constData(), static_cast<std::size_t>(old.size())));

    WriteSettingsValues(ini, currentSettings());

    auto writeAtomically = [](const QString& path, const std::string& text) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return;
        file.write(text.data(), static_cast<qint64>(text.size()));
        file.commit();
    };
    writeAtomically(settingsFilePath(), ini.text());
    writeAtomically(imageBackupFilePath(), ImageBackupText(image_, allStates_));
}

void TFormHlav::ReadDiagnosticsMarker() {
    diagnosticsEnabled_ = false;
    bool ok = false;
    const QByteArray text = readWholeFile(
        options_.settingsDirectory + "/" + QString::fromStdString(DiagnosticsMarkerFileName()), &ok);
    if (ok) {
        diagnosticsEnabled_ = DiagnosticsMarkerEnables(
            std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    }
}

}  // namespace torvane
