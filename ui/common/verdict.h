#pragma once

#include "ui/common/french.h"

#include <QColor>
#include <QString>

/// How one figure's p-value reads, in the same neutral words everywhere: how rare such a
/// departure is on a fair wheel, never whether the wheel is biased. With `withP`, the
/// p-value in brackets.
QString verdictText(double pValue, bool withP = false);
/// The colour that sentence is written in.
QColor verdictColour(double pValue);
/// "p = 0,023", or "p < 0,001" below it.
QString pValueText(double pValue);
