#include "shell/user_prompts.h"

#include <QMessageBox>

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

}  // namespace torvane
