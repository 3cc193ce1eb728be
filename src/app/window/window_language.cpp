// The window in the tuner's language: captions, hints and item lists of every control, and the
// language menu.

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
#include "widgets/named_control.h"
#include "widgets/radio_group.h"

namespace torvane {

namespace {

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

void TFormHlav::setLanguage(int languageIndex) {
    languageIndex_ = static_cast<std::uint8_t>(languageIndex);
    ApplyLanguage();
    ImageToPage();
}

void TFormHlav::applyHint(QObject* target, const QString& hint) {
    // "short|long": the short part is the tool tip, the long part goes to the status bar.
    const qsizetype bar = hint.indexOf('|');
    const QString shortPart = bar < 0 ? hint : hint.left(bar);
    const QString longPart = bar < 0 ? hint : hint.mid(bar + 1);
    if (auto* action = qobject_cast<QAction*>(target)) {
        action->setToolTip(shortPart);
        action->setStatusTip(longPart);
    } else if (auto* widget = qobject_cast<QWidget*>(target)) {
        widget->setToolTip(shortPart);
        widget->setStatusTip(longPart);
    }
}

void TFormHlav::ApplyLanguage() {
    const int lang = languageIndex_ <= 3 ? languageIndex_ : 0;
    for (int i = 0; i < WindowActions::Languages; ++i) actions_->language(i)->setChecked(i == lang);
    (*actions_)[WindowAction::PrintPdf]->setText(fromUtf8(WindowTextOf(WindowText::PrintToPdf, lang)));
    (*actions_)[WindowAction::RestorePoints]->setText(
        fromUtf8(ToolTextOf(ToolText::MenuRestorePoints, lang)));
    (*actions_)[WindowAction::UnitDifferences]->setText(
        fromUtf8(ToolTextOf(ToolText::MenuUnitDifferences, lang)));
    if (LabelNotInUnit != nullptr) showNotInUnit();
    const QList<MapGridView*> grids = PageControl1->findChildren<MapGridView*>();
    for (const CaptionRow& row : CaptionTable()) {
        const QString name =
            QString::fromUtf8(row.control.data(), static_cast<qsizetype>(row.control.size()));
        const QString text = fromUtf8(std::string(row.text[static_cast<std::size_t>(lang)]));
        if (name == objectName()) {
            if (row.kind == CaptionKind::Caption) setWindowTitle(text);
            continue;
        }
        // The captions of the rpm axes and of the curves' rows are items of their grids.
        {
            bool taken = false;
            for (MapGridView* grid : grids) taken = grid->grid().takeCaption(name, text) || taken;
            if (taken) continue;
        }
        QObject* target = NamedControlIfAny<QObject>(this, name);
        if (target == nullptr) {
            // Menus are found through their action.
            if (auto* menu = NamedControlIfAny<QMenu>(this, name)) target = menu->menuAction();
        }
        if (auto* menu = qobject_cast<QMenu*>(target)) target = menu->menuAction();
        if (target == nullptr) {
            for (int i = 0; i < PageControl1->count(); ++i) {
                if (PageControl1->widget(i)->objectName() == name && row.kind == CaptionKind::Caption) {
                    PageControl1->setTabText(i, text);
                }
            }
            continue;
        }
        if (row.kind == CaptionKind::Hint) {
            applyHint(target, text);
            continue;
        }
        if (row.kind == CaptionKind::Items) {
            applyItems(target, text.split(QLatin1Char('\n')));
            continue;
        }
        if (row.kind != CaptionKind::Caption) continue;
        if (auto* action = qobject_cast<QAction*>(target)) {
            action->setText(text);
        } else if (auto* label = qobject_cast<QLabel*>(target)) {
            label->setText(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
            button->setText(text);
        } else if (auto* box = qobject_cast<QGroupBox*>(target)) {
            box->setTitle(text);
        } else if (auto* page = qobject_cast<QWidget*>(target)) {
            const int index = PageControl1->indexOf(page);
            if (index >= 0) PageControl1->setTabText(index, text);
        }
    }
    if (auto* pilot = NamedControl<QLabel>(this, "LabelPilotLight"))
        pilot->setText(messageText(MsgShiftLight) + " [rpm]");
    // Without a connection the monitor's labels show their stems in this language and no values.
    if (LabelSpojeni != nullptr && !LabelSpojeni->isHidden())
        ApplyMonitorReadout(this, MonitorPlaceholders(lang, image_.byteAt(300)));
    link_->applyLanguage(lang);
    if (tools_ != nullptr) tools_->applyLanguage(lang);
    ApplyAccessibleNames(*this, lang);
}

void TFormHlav::applyItems(QObject* target, const QStringList& items) {
    if (auto* group = qobject_cast<RadioGroup*>(target)) {
        if (group->items() == items) return;
        const int index = group->itemIndex();
        group->setItems(items);
        group->setItemIndex(index);
    } else if (auto* combo = qobject_cast<QComboBox*>(target)) {
        if (combo->count() != items.size()) return;  // a list whose entries are not the table's
        for (int i = 0; i < items.size(); ++i) combo->setItemText(i, items[static_cast<qsizetype>(i)]);
    }
}

}  // namespace torvane
