#pragma once
// Message boxes and Yes/No/Cancel questions go through this seam, so tests answer them without
// modal loops. The window owns one; the real one uses QMessageBox.

#include <QString>
#include <optional>

class QWidget;

namespace torvane {

enum class PromptAnswer { Yes, No, Cancel };

// A file dialog's question: where it starts, which files it lists ("Name (*.ext);;..." as Qt writes
// filters) and the extension added to a name typed without one.
struct FileQuestion {
    QString startPath;
    QString filter;
    QString defaultSuffix;
};

class UserPrompts {
  public:
    virtual ~UserPrompts() = default;
    virtual void showMessage(const QString& text) = 0;
    virtual PromptAnswer askYesNoCancel(const QString& text) = 0;
    // A Yes/No question whose safe answer is No (Escape answers No). Never answers Cancel.
    virtual PromptAnswer askYesNo(const QString& text) {
        return askYesNoCancel(text) == PromptAnswer::Yes ? PromptAnswer::Yes : PromptAnswer::No;
    }
    // The save dialog (it asks before an existing file is replaced); empty when cancelled.
    virtual QString askSaveFileName(const FileQuestion&) { return {}; }
    // The open dialog; empty when cancelled.
    virtual QString askOpenFileName(const FileQuestion&) { return {}; }
    // A list to pick one row from (restore points); the row's index, or -1 when cancelled.
    virtual int chooseFromList(const QString& /*title*/, const QStringList& /*rows*/) { return -1; }
    // A number to type (the value of a cell operation); empty when cancelled.
    virtual std::optional<double> askNumber(const QString& /*title*/, const QString& /*label*/,
                                            double /*start*/, double /*minimum*/, double /*maximum*/) {
        return std::nullopt;
    }
    // A long text to read (the fields that differ from the unit).
    virtual void showDetails(const QString& title, const QString& text) {
        showMessage(title + "\n\n" + text);
    }
    // Opens a document with the desktop's viewer; false when it cannot be opened.
    virtual bool openDocument(const QString& path);
};

class MessageBoxPrompts final : public UserPrompts {
  public:
    explicit MessageBoxPrompts(QWidget* owner) : owner_(owner) {}
    void showMessage(const QString& text) override;
    PromptAnswer askYesNoCancel(const QString& text) override;
    PromptAnswer askYesNo(const QString& text) override;
    QString askSaveFileName(const FileQuestion& question) override;
    QString askOpenFileName(const FileQuestion& question) override;
    bool openDocument(const QString& path) override;
    int chooseFromList(const QString& title, const QStringList& rows) override;
    void showDetails(const QString& title, const QString& text) override;
    std::optional<double> askNumber(const QString& title, const QString& label, double start, double minimum,
                                    double maximum) override;

  private:
    QWidget* owner_;
};

}  // namespace torvane
