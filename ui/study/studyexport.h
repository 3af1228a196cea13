#pragma once

#include <QString>

#include "ui/common/slicedwrite.h"

class QLabel;
class QWidget;

/// Marks a label as an explanation: part of an exported study, left out of a copy, which
/// keeps the figures.
void markAsExplanation(QLabel *label);

/// What the page shows, in reading order: the title of each box, its texts, every table's
/// header and rows and every chart's counts, cells joined by tabs. Hidden parts are left out.
QString studyPlainText(const QString &title, const QWidget *page);

/// The same as a web page of its own, explanations and charts (as PNG) included; every text
/// escaped.
QString studyHtml(const QString &title, const QWidget *page);

/// Writes the study as a PDF, or as a web page when path ends in .html or .htm, through a
/// temporary file: a failure leaves whatever was at path untouched and says why in French.
WriteResult exportStudy(QWidget *parent, const QString &path, const QString &title,
                        const QWidget *page);

/// « etude-2026-12-07.pdf » in the last folder used.
QString defaultExportPath();
