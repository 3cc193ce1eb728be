#pragma once
// Message boxes and Yes/No/Cancel questions go through this seam, so tests answer them without
// modal loops. The window owns one; the real one uses QMessageBox.

#include <QString>

class QWidget;

namespace torvane {

enum class PromptAnswer { Yes, No, Cancel };

class UserPrompts {
  public:
    virtual ~UserPrompts() = default;
    virtual void showMessage(const QString& text) = 0;
    virtual PromptAnswer askYesNoCancel(const QString& text) = 0;
};

class MessageBoxPrompts final : public UserPrompts {
  public:
    explicit MessageBoxPrompts(QWidget* owner) : owner_(owner) {}
    void showMessage(const QString& text) override;
    PromptAnswer askYesNoCancel(const QString& text) override;

  private:
    QWidget* owner_;
};

}  // namespace torvane
