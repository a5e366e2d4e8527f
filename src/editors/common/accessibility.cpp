#include "accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QWidget>

namespace kirune {

namespace {

const char* const kDialogProperty = "kiruneDialog";

QAccessibleInterface* DialogFactory(const QString& className, QObject* object) {
    // Asked for the most derived class first: answer only there, for marked windows.
    if (!object || !object->isWidgetType() || !object->property(kDialogProperty).toBool() ||
        className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Dialog);
}

} // namespace

QString WithAccessKey(const QString& caption, char key) {
    return caption + QStringLiteral("(&") + QLatin1Char(key) + QLatin1Char(')');
}

void SetButtonCaption(QAbstractButton* button, const QString& caption, char key) {
    button->setText(WithAccessKey(caption, key));
    button->setAccessibleName(caption);
}

void SetLabelAccessKey(QLabel* label, const QString& caption, char key, QAbstractButton* button) {
    label->setText(WithAccessKey(caption, key));
    label->setBuddy(button);
    label->setAccessibleName(caption);
    button->setAccessibleName(caption);
}

void MarkAsDialog(QWidget* window) {
    static const bool installed = [] {
        QAccessible::installFactory(DialogFactory);
        return true;
    }();
    (void)installed;
    window->setProperty(kDialogProperty, true);
}

} // namespace kirune
