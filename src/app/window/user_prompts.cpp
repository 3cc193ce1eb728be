#include "app/window/user_prompts.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QUrl>
#include <QVBoxLayout>

namespace torvane {

void MessageBoxPrompts::showMessage(const QString& text) {
    QMessageBox::information(owner_, QString(), text, QMessageBox::Ok);
}

PromptAnswer MessageBoxPrompts::askYesNoCancel(const QString& text) {
    const auto answer =
        QMessageBox::question(owner_, QString(), text,
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) return PromptAnswer::Yes;
    if (answer == QMessageBox::No) return PromptAnswer::No;
    return PromptAnswer::Cancel;
}

PromptAnswer MessageBoxPrompts::askYesNo(const QString& text) {
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
}

namespace {
QString AskFileName(QWidget* owner, const FileQuestion& q, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(q.filter);
    dialog.setDefaultSuffix(q.defaultSuffix);
    if (!q.startPath.isEmpty()) dialog.selectFile(q.startPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}
}  // namespace

// Without a desktop no viewer is started: a document that exists counts as opened.
bool UserPrompts::openDocument(const QString& path) {
    return QFileInfo(path).isFile();
}

bool MessageBoxPrompts::openDocument(const QString& path) {
    if (!QFileInfo(path).isFile()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

int MessageBoxPrompts::chooseFromList(const QString& title, const QStringList& rows) {
    QDialog dialog(owner_);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QListWidget(&dialog);
    QFont mono("DejaVu Sans Mono");
    mono.setStyleHint(QFont::Monospace);
    list->setFont(mono);
    list->addItems(rows);
    if (!rows.isEmpty()) list->setCurrentRow(0);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    dialog.resize(720, 420);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return -1;
    return list->currentRow();
}

std::optional<double> MessageBoxPrompts::askNumber(const QString& title, const QString& label, double start,
                                                   double minimum, double maximum) {
    bool ok = false;
    const double value = QInputDialog::getDouble(owner_, title, label, start, minimum, maximum, 1, &ok);
    if (!ok) return std::nullopt;
    return value;
}

void MessageBoxPrompts::showDetails(const QString& title, const QString& text) {
    QDialog dialog(owner_);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* view = new QPlainTextEdit(text, &dialog);
    view->setReadOnly(true);
    layout->addWidget(view);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.resize(640, 420);
    dialog.exec();
}

QString MessageBoxPrompts::askSaveFileName(const FileQuestion& question) {
    return AskFileName(owner_, question, QFileDialog::AcceptSave);
}

QString MessageBoxPrompts::askOpenFileName(const FileQuestion& question) {
    return AskFileName(owner_, question, QFileDialog::AcceptOpen);
}

}  // namespace torvane
