#pragma once

class QCoreApplication;

/// Puts Qt's own texts (file dialog, the text boxes' menu, standard buttons) in French,
/// whatever the system language. False when Qt's French translations are not installed.
bool installFrenchTranslations(QCoreApplication &app);
