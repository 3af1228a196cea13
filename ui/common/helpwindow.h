#pragma once

#include <QTextBrowser>

/// « Comment lire ce tableau ? »: what each part of the board shows, the charts, the draw
/// file and the shortcuts. Not modal: the board stays in use beside it.
class HelpWindow : public QTextBrowser
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
};
