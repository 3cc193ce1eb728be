#pragma once
// The one place where the program looks a control up by its objectName. Every name asked for that
// finds no control of the kind asked for is remembered, so that a test can fail on any: a renamed
// control in a form, a misspelt name in a table or a control of another kind shows up there instead
// of doing nothing without a word.

#include <QObject>
#include <QString>
#include <QStringList>

namespace torvane {

// The names looked up and not found (as "name (kind)"), in the order asked, each once.
QStringList& MissingControls();
void NoteMissingControl(const QString& name, const char* kind);

// The control named so under root, of kind T; nullptr (and noted) when there is none.
template <class T>
T* NamedControl(const QObject* root, const QString& name) {
    T* found = root != nullptr ? root->findChild<T*>(name) : nullptr;
    if (found == nullptr) NoteMissingControl(name, T::staticMetaObject.className());
    return found;
}

// The same for a caller that looks elsewhere next (the items of a grid, the menus, the page tabs):
// it notes the name itself when nothing answers.
template <class T>
T* NamedControlIfAny(const QObject* root, const QString& name,
                     Qt::FindChildOptions options = Qt::FindChildrenRecursively) {
    return root != nullptr ? root->findChild<T*>(name, options) : nullptr;
}

}  // namespace torvane
