#include "TipsSetting.h"

#include <QSettings>

namespace launcher {
namespace {
const QString kKey = QStringLiteral("Config/ShowTips");
const QString kDeclined = QStringLiteral("Speech/TrainingOfferDeclined");
} // namespace

bool readShowTips(QSettings& settings) {
    const QVariant value = settings.value(kKey);
    if (!value.isValid())
        return true;
    bool isNumber = false;
    const double number = value.toString().trimmed().toDouble(&isNumber);
    return !isNumber || number != 0;
}

void storeShowTips(QSettings& settings, bool show) {
    settings.setValue(kKey, show ? QStringLiteral("1") : QStringLiteral("0"));
    settings.sync(); // written at once
}

bool readTrainingDeclined(QSettings& settings) {
    return settings.value(kDeclined).toString() == QLatin1String("1");
}

void storeTrainingDeclined(QSettings& settings) {
    settings.setValue(kDeclined, QStringLiteral("1"));
}

} // namespace launcher
