#pragma once

#include <QString>

#include "ui/common/slicedwrite.h"
#include "ui/study/studyreport.h"

class QWidget;

/// The study in reading order: the headline, then each box's title, its texts, every table's
/// header and rows and every chart's counts, cells joined by tabs. The explanations are left
/// out: a copy keeps the figures.
QString studyPlainText(const QString &title, const report::Document &study);

/// The same as a web page of its own, explanations and charts (as PNG) included; every text
/// escaped.
QString studyHtml(const QString &title, const report::Document &study);

/// Writes the study as a PDF, or as a web page when path ends in .html or .htm, through a
/// temporary file: a failure leaves whatever was at path untouched and says why in French.
WriteResult exportStudy(QWidget *parent, const QString &path, const QString &title,
                        const report::Document &study);

/// « etude-2026-12-07.pdf » in the last folder used.
QString defaultExportPath();
