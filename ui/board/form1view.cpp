// Form1's « Affichage »: the board zoomed as one, from the layout's twips at a new scale.
#include <QAction>
#include <QScrollArea>

#include <algorithm>

#include "ui/board/focusmark.h"
#include "ui/board/form1.h"
#include "ui/board/zoom.h"
#include "ui/charts/chartview.h"

void Form1::createViewActions()
{
    m_zoomInAction = addBoardAction(QStringLiteral("Zoom avant"), QStringLiteral("zoomIn"),
                                    QKeySequence(Qt::CTRL | Qt::Key_Plus));
    // Ctrl and the key of « + » without Shift, on keyboards where « + » needs it.
    m_zoomInAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    m_zoomOutAction = addBoardAction(QStringLiteral("Zoom arrière"), QStringLiteral("zoomOut"),
                                     QKeySequence(Qt::CTRL | Qt::Key_Minus));
    m_zoomResetAction = addBoardAction(QStringLiteral("Taille réelle"), QStringLiteral("zoomReset"),
                                       QKeySequence(Qt::CTRL | Qt::Key_0));
    m_zoomFitAction =
        addBoardAction(QStringLiteral("Ajuster à la fenêtre"), QStringLiteral("zoomFit"), {});
    connect(m_zoomInAction, &QAction::triggered, this,
            [this] { setZoom(boardzoom::zoomedIn(m_zoom)); });
    connect(m_zoomOutAction, &QAction::triggered, this,
            [this] { setZoom(boardzoom::zoomedOut(m_zoom)); });
    connect(m_zoomResetAction, &QAction::triggered, this, [this] { setZoom(1.0); });
    connect(m_zoomFitAction, &QAction::triggered, this, &Form1::fitZoom);
}

void Form1::setZoom(double zoom)
{
    zoom = std::clamp(zoom, boardzoom::Smallest, boardzoom::Largest);
    if (zoom != m_zoom) // not at start-up, which shows the zoom remembered
        boardzoom::remember(zoom);
    m_zoom = zoom;
    m_boardArea->setFixedSize(boardzoom::toPixels(roulette::layout::MainClientArea, m_zoom).size());
    m_boardArea->setFont(boardzoom::fontFor(roulette::layout::Font::Default, m_zoom));
    for (const roulette::layout::Control &c : roulette::layout::formControls()) {
        auto *widget = m_boardArea->findChild<QWidget *>(QString::fromStdString(c.name));
        widget->setGeometry(boardzoom::placeOf(c, m_zoom));
        if (c.kind != roulette::layout::Kind::Chart)
            widget->setFont(boardzoom::fontFor(c.font, m_zoom));
    }
    m_countFont = CountFont(boardzoom::fontFor(roulette::layout::Font::Bold, m_zoom));
    if (m_shown) { // render shows only what differs: the counts, fitted anew, differ all
        m_shown.reset();
        render();
    }
    m_chart1->setTextZoom(m_zoom);
    m_chart2->setTextZoom(m_zoom);
    m_zoomInAction->setEnabled(m_zoom < boardzoom::Largest);
    m_zoomOutAction->setEnabled(m_zoom > boardzoom::Smallest);
    m_focusMark->follow();
}

void Form1::fitZoom()
{
    setZoom(boardzoom::fitting(static_cast<QScrollArea *>(centralWidget())->maximumViewportSize()));
}
