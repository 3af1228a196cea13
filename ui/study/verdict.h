#pragma once

#include <QColor>
#include <QString>

/// The sentence that says how a p-value reads, the same everywhere the program judges the
/// wheel.
QString verdictText(double pValue);
/// The colour that sentence is written in.
QColor verdictColour(double pValue);
/// "p = 0,023", or "p < 0,001" below it.
QString pValueText(double pValue);
/// A number in French: decimal comma, grouped thousands.
QString frenchNumber(double value, int decimals = 0);
