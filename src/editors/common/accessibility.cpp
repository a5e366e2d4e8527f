#include "accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <cmath>

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

double ContrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& colour) {
        const auto linear = [](float channel) {
            return channel <= 0.04045F ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
        };
        const QColor rgb = colour.toRgb();
        return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
               0.0722 * linear(rgb.blueF());
    };
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor ReadableOn(const QColor& wanted, const QColor& background) {
    if (ContrastRatio(wanted, background) >= kReadableContrast)
        return wanted;
    const QColor extreme =
        ContrastRatio(Qt::white, background) > ContrastRatio(Qt::black, background) ? Qt::white
                                                                                    : Qt::black;
    const QColor from = wanted.toRgb();
    constexpr int kSteps = 20;
    for (int step = 1; step < kSteps; ++step) {
        const double t = static_cast<double>(step) / kSteps;
        const QColor mixed = QColor::fromRgbF(
            static_cast<float>(from.redF() + (extreme.redF() - from.redF()) * t),
            static_cast<float>(from.greenF() + (extreme.greenF() - from.greenF()) * t),
            static_cast<float>(from.blueF() + (extreme.blueF() - from.blueF()) * t));
        if (ContrastRatio(mixed, background) >= kReadableContrast)
            return mixed;
    }
    return extreme;
}

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
