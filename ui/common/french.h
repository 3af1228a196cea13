#pragma once

class QCoreApplication;
class QString;

/// Puts Qt's own texts (file dialog, the text boxes' menu, standard buttons) in French,
/// whatever the system language. False when Qt's French translations are not installed.
bool installFrenchTranslations(QCoreApplication &app);

/// A number in French: decimal comma, grouped thousands; never "−0".
QString frenchNumber(double value, int decimals = 0);
