// StudyWindow's widgets: built in the shape of its report, then told each new report.
#include "ui/study/studywindow.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/common/backgroundwork.h"
#include "ui/study/studyaccessible.h"
#include "ui/study/texttable.h"
#include "ui/study/wheelchart.h"

namespace
{

// Below this width the two columns go one under the other: no sideways scrolling.
constexpr int OneColumnBelow = 1200;

QLabel *wrappedLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A wrapped label is laid out again whenever its text is set, even to the same text.
void setText(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

TextTable *tableOf(const report::Table &table, const QString &description)
{
    auto *view = new TextTable;
    view->setHeader(table.header);
    view->setAccessibleName(table.name);
    view->setAccessibleDescription(description);
    return view;
}

} // namespace

QString StudyWindow::title()
{
    return QStringLiteral("Étude du cylindre");
}

StudyWindow::StudyWindow(const roulette::Module1 &series, QWidget *parent)
    : StudyWindow(&series, {}, {true, false}, parent, std::nullopt)
{
}

StudyWindow::StudyWindow(roulette::PooledSpins spins, const QString &title, bool pickedSessions,
                         QWidget *parent, const std::optional<roulette::PinMark> &pin)
    : StudyWindow(nullptr, std::move(spins), {false, pickedSessions}, parent, pin)
{
    setWindowTitle(title);
}

StudyWindow::StudyWindow(const roulette::Module1 *series, roulette::PooledSpins pooled,
                         report::Source source, QWidget *parent,
                         const std::optional<roulette::PinMark> &storedPin)
    : QWidget(parent, Qt::Window), m_series(series), m_pooled(std::move(pooled)), m_source(source)
{
    if (series) {
        m_ownPins = std::make_unique<roulette::PinKeeper>(*series);
        m_pins = m_ownPins.get();
    } else if (storedPin) {
        m_storedPin.emplace();
        m_storedPin->follow(m_pooled.numbers, m_pooled.starts);
        m_storedPin->add(*storedPin);
    }
    m_report = report::build(roulette::Study(), m_simulation, source, pinBook());
    installStudyAccessibility();
    setObjectName(QStringLiteral("studyWindow"));
    setWindowTitle(title());

    auto *page = m_page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    addHeadline(pageLayout, m_report.headline);
    m_columns = new QBoxLayout(QBoxLayout::LeftToRight);
    pageLayout->addLayout(m_columns, 1);
    for (const auto &sections : m_report.columns) {
        auto *column = new QVBoxLayout;
        m_columns->addLayout(column, 1);
        for (const report::Section &section : sections)
            addSection(column, section);
        column->addStretch(1);
    }
    present(m_report);

    auto *scroll = new QScrollArea;
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    addCommands(outer);
}

StudyWindow::~StudyWindow()
{
    delete m_simulating; // waits for its worker
}

void StudyWindow::addHeadline(QVBoxLayout *page, const report::Headline &headline)
{
    auto *box = new QGroupBox(headline.figures.name);
    auto *layout = new QVBoxLayout(box);
    m_level = new QLabel;
    m_level->setTextFormat(Qt::PlainText);
    m_level->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont large = m_level->font();
    large.setPointSizeF(large.pointSizeF() * 1.4);
    large.setBold(true);
    m_level->setFont(large);
    m_sentence = wrappedLabel({});
    m_figures = tableOf(headline.figures, {});
    for (QWidget *w : std::initializer_list<QWidget *>{m_level, m_sentence, m_figures})
        layout->addWidget(w);
    layout->addWidget(wrappedLabel(headline.explanation));
    page->addWidget(box);
}

// A box with its title; the lines above the boxes, which have none, go straight in the column.
void StudyWindow::addSection(QVBoxLayout *column, const report::Section &section)
{
    QWidget *box = section.title.isEmpty() ? new QWidget : new QGroupBox(section.title);
    auto *layout = new QVBoxLayout(box);
    if (section.title.isEmpty())
        layout->setContentsMargins(0, 0, 0, 0);
    QLabel *notYet = wrappedLabel({});
    auto *content = new QWidget;
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    SectionView view{notYet, content, {}, {}};
    for (const report::Chart &chart : section.charts) {
        auto *widget = new WheelChart;
        widget->setAccessibleName(chart.name);
        contentLayout->addWidget(widget);
        view.charts.push_back(widget);
    }
    for (const report::Table &table : section.tables) {
        view.tables.push_back(tableOf(table, section.explanation));
        contentLayout->addWidget(view.tables.back());
    }
    // The lines above the boxes read their figures first.
    if (section.title.isEmpty()) {
        layout->addWidget(content);
        layout->addWidget(wrappedLabel(section.explanation));
        layout->addWidget(notYet);
    } else {
        layout->addWidget(wrappedLabel(section.explanation));
        layout->addWidget(notYet);
        layout->addWidget(content);
    }
    column->addWidget(box);
    m_sections.push_back(std::move(view));
}

void StudyWindow::present(const report::Document &document)
{
    showHeadline(document.headline);
    auto view = m_sections.begin();
    for (const auto &column : document.columns) {
        for (const report::Section &section : column) {
            setText(view->notYet, section.notYet);
            view->notYet->setVisible(!section.notYet.isEmpty());
            view->content->setVisible(section.figures);
            for (std::size_t i = 0; i < section.charts.size(); ++i)
                view->charts[i]->setChart(section.charts[i]);
            for (std::size_t i = 0; i < section.tables.size(); ++i)
                view->tables[i]->setRows(section.tables[i].rows);
            ++view;
        }
    }
}

void StudyWindow::showHeadline(const report::Headline &headline)
{
    setText(m_level, headline.level);
    if (m_level->palette().color(QPalette::WindowText) != headline.colour) {
        QPalette palette = m_level->palette();
        palette.setColor(QPalette::WindowText, headline.colour);
        m_level->setPalette(palette);
    }
    setText(m_sentence, headline.sentence);
    m_figures->setRows(headline.figures.rows);
}

void StudyWindow::showEvent(QShowEvent *event)
{
    if (!m_study) {
        m_study = std::make_unique<roulette::Study>();
        if (catchUp())
            refresh();
    }
    if (!m_sized && screen()) {
        m_sized = true;
        placeOnScreen();
    }
    QWidget::showEvent(event);
}

// Closed, the window keeps no statistics and follows nothing. Minimised, it goes on.
void StudyWindow::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous())
        m_study.reset();
    m_simulation.forget();
    QWidget::hideEvent(event);
}

// Everything in view when the screen allows: no scrolling to read a section. Otherwise the
// window fills the screen's free area, headline at the top, in one column when narrow.
void StudyWindow::placeOnScreen()
{
    // Room for the window's frame and title bar, which the system adds around it.
    const QRect area = screen()->availableGeometry();
    const QSize room = area.size() - QSize(16, 48);
    // The tables were filled before any layout ran: their sizes go up one level of layout at
    // a time.
    const auto settle = [] {
        for (int level = 0; level < 8; ++level)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    };
    for (TextTable *table : m_page->findChildren<TextTable *>())
        table->fit();
    m_columns->setDirection(QBoxLayout::LeftToRight);
    settle();
    arrangeColumns(room.width()); // measures the columns side by side first
    settle();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize page = m_page->sizeHint().expandedTo(m_page->minimumSizeHint());
    if (m_columns->direction() == QBoxLayout::LeftToRight)
        page.setWidth(std::max(page.width(), OneColumnBelow));
    page.setWidth(std::min(page.width(), room.width() - scrollBar));
    if (m_page->hasHeightForWidth()) // the wrapped explanations
        page.setHeight(std::max(page.height(), m_page->heightForWidth(page.width())));
    const QLayoutItem *commands = layout()->itemAt(1); // the buttons under the page
    const QSize size = (page + QSize(scrollBar, scrollBar) +
                        QSize(0, commands->sizeHint().height() + layout()->spacing()))
                           .boundedTo(room);
    resize(size);
    const QPoint centred = area.center() - QPoint(size.width() / 2, size.height() / 2);
    move(std::max(centred.x(), area.left()), std::max(centred.y(), area.top()));
}

void StudyWindow::resizeEvent(QResizeEvent *event)
{
    arrangeColumns(event->size().width());
    QWidget::resizeEvent(event);
}

// Side by side only when both columns fit whole: never a sideways scroll.
void StudyWindow::arrangeColumns(int width)
{
    if (m_columns->direction() == QBoxLayout::LeftToRight)
        m_sideBySideWidth =
            m_page->minimumSizeHint().width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const auto direction = width < std::max(OneColumnBelow, m_sideBySideWidth)
                               ? QBoxLayout::TopToBottom
                               : QBoxLayout::LeftToRight;
    if (m_columns->direction() != direction)
        m_columns->setDirection(direction);
}
