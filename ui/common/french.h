#pragma once

#include <cstdint>

class QCoreApplication;
class QString;

/// Puts Qt's own texts (file dialog, the text boxes' menu, standard buttons) in French,
/// whatever the system language. False when Qt's French translations are not installed.
bool installFrenchTranslations(QCoreApplication &app);

/// A number in French: decimal comma, grouped thousands; never "−0".
QString frenchNumber(double value, int decimals = 0);
/// A count and its noun in French: « 1 tirage », « 0 tirage », « 1 234 tirages ».
QString frenchCount(std::int64_t n, const QString &one, const QString &many);
