#include "ui/import/permanencedialog.h"

#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <filesystem>

#include "store/sessiondate.h"
#include "ui/common/backgroundwork.h"
#include "ui/common/french.h"
#include "ui/common/plaintext.h"
#include "ui/notebook/notebookchanges.h"
#include "ui/notebook/notebookpath.h"

namespace
{

using roulette::PermanenceLayout;
using roulette::Separator;
using roulette::TextEncoding;

constexpr int QuotedSpins = 20;
constexpr int DateColumn = 2;
const QString StoredFormat = QStringLiteral("yyyy-MM-ddTHH:mm");
const QString ShownFormat = QStringLiteral("dd/MM/yyyy HH:mm");

// Dates as a French reader writes them, to the minute, whatever the system's language.
class DateDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant &value, const QLocale &) const override
    {
        return value.toDateTime().toString(ShownFormat);
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *edit = qobject_cast<QDateTimeEdit *>(editor))
            edit->setDisplayFormat(ShownFormat);
        return editor;
    }
};

// The separator found, as the preview names it.
QString separatorName(Separator separator)
{
    switch (separator) {
    case Separator::Comma:
        return QStringLiteral("virgule");
    case Separator::Semicolon:
        return QStringLiteral("point-virgule");
    case Separator::Tab:
        return QStringLiteral("tabulation");
    case Separator::Spaces:
        return QStringLiteral("espaces");
    case Separator::OnePerLine:
        break;
    }
    return QStringLiteral("aucun, un numéro par ligne");
}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16 petit-boutiste");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16 gros-boutiste");
    case TextEncoding::Latin1:
        return QStringLiteral("Latin-1");
    case TextEncoding::Utf8:
        break;
    }
    return QStringLiteral("UTF-8");
}

QString spinList(std::span<const std::uint8_t> spins)
{
    QStringList numbers;
    for (const std::uint8_t spin : spins)
        numbers << QString::number(spin);
    return numbers.join(u' ');
}

QLabel *plainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText); // reasons quote the file's own names
    label->setWordWrap(true);
    return label;
}

QComboBox *choiceBox(QWidget *parent, const QString &name, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    return box;
}

// When the file's sessions began, as far as the file tells: the date its name gives, else
// when it was last written.
QDateTime fileStart(const std::string &fileName, const QString &path)
{
    if (const auto date = roulette::dateInFileName(fileName))
        return QDateTime(QDate(date->year, date->month, date->day), QTime(0, 0));
    const QDateTime written = QFileInfo(path).lastModified();
    return written.addSecs(-written.time().second()); // to the minute, as sessions are stored
}

QStandardItem *fixedCell(const QString &text)
{
    auto *item = new QStandardItem(text);
    item->setEditable(false);
    return item;
}

} // namespace

void PermanenceDialog::start(QWidget *window, const QString &path, Destinations destinations,
                             Message message)
{
    (new PermanenceDialog(window, path, std::move(destinations), std::move(message)))->read();
}

PermanenceDialog::PermanenceDialog(QWidget *window, const QString &path, Destinations destinations,
                                   Message message)
    : QDialog(window), m_path(path), m_toBoard(std::move(destinations.toBoard)),
      m_message(std::move(message)), m_notebookFile(destinations.notebookFile),
      m_presetWheel(destinations.wheel)
{
    setObjectName(QStringLiteral("importPermanence"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("Importer la permanence « %1 »")
                       .arg(printableText(QFileInfo(path).fileName())));
    buildWidgets();
}

void PermanenceDialog::buildWidgets()
{
    m_format = plainLabel(this);
    m_columnBox = new QComboBox(this);
    m_columnBox->setObjectName(QStringLiteral("column"));
    m_counts = plainLabel(this);
    m_spins = new QPlainTextEdit(this);
    m_report = new QPlainTextEdit(this);
    m_report->setObjectName(QStringLiteral("report"));
    for (QPlainTextEdit *text : {m_spins, m_report})
        text->setReadOnly(true);
    m_spins->setMaximumHeight(fontMetrics().lineSpacing() * 4);
    m_report->setMinimumHeight(fontMetrics().lineSpacing() * 6);
    m_orderBox = choiceBox(this, QStringLiteral("order"),
                           {QStringLiteral("le plus ancien en premier"),
                            QStringLiteral("le plus récent en premier (lu à l'envers)")});
    m_cutBox = choiceBox(this, QStringLiteral("cut"),
                         {QStringLiteral("tout le fichier est une session"),
                          QStringLiteral("une ligne vide commence une session"),
                          QStringLiteral("chaque ligne est une session")});
    m_destinationBox = choiceBox(this, QStringLiteral("destination"), {});
    m_stored = plainLabel(this);
    m_dateModel = new QStandardItemModel(0, 3, this);
    m_dateModel->setHorizontalHeaderLabels(
        {QStringLiteral("Session"), QStringLiteral("Tirages"), QStringLiteral("Début")});
    m_dateView = new QTableView(this);
    m_dateView->setObjectName(QStringLiteral("sessionDates"));
    m_dateView->setModel(m_dateModel);
    m_dateView->setItemDelegateForColumn(DateColumn, new DateDelegate(m_dateView));
    m_dateView->verticalHeader()->hide();
    m_dateView->horizontalHeader()->setStretchLastSection(true);
    m_dateView->setMaximumHeight(fontMetrics().lineSpacing() * 7);
    fillDestinations();

    auto *form = m_form = new QFormLayout;
    form->addRow(QStringLiteral("Format :"), m_format);
    form->addRow(QStringLiteral("Colonne :"), m_columnBox);
    form->addRow(QStringLiteral("Lu :"), m_counts);
    form->addRow(QStringLiteral("Tirages :"), m_spins);
    form->addRow(QStringLiteral("Remarques :"), m_report);
    form->addRow(QStringLiteral("Ordre :"), m_orderBox);
    form->addRow(QStringLiteral("Sessions :"), m_cutBox);
    form->addRow(QStringLiteral("Destination :"), m_destinationBox);
    form->addRow(QString(), m_stored);
    form->addRow(QStringLiteral("Dates :"), m_dateView);
    auto *buttons = new QDialogButtonBox(this);
    m_importButton = buttons->addButton(QStringLiteral("Importer"), QDialogButtonBox::AcceptRole);
    m_importButton->setObjectName(QStringLiteral("import"));
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(680, 480);
    showDestination();

    connect(buttons, &QDialogButtonBox::accepted, this, &PermanenceDialog::importSpins);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_orderBox, &QComboBox::activated, this, &PermanenceDialog::read);
    connect(m_cutBox, &QComboBox::activated, this, &PermanenceDialog::read);
    connect(m_destinationBox, &QComboBox::activated, this, &PermanenceDialog::destinationChosen);
    connect(m_columnBox, &QComboBox::activated, this, [this](int index) {
        m_column = index - 1; // -1: every value of a line is a spin
        read();
    });
}

roulette::PermanenceOptions PermanenceDialog::options() const
{
    return {m_orderBox->currentIndex() == 1 ? roulette::SpinOrder::NewestFirst
                                            : roulette::SpinOrder::OldestFirst,
            static_cast<roulette::SessionCut>(m_cutBox->currentIndex())};
}

void PermanenceDialog::read()
{
    if (m_work)
        return;
    allowChoices(false); // no other choice until this one is read
    m_fresh = std::make_shared<roulette::PermanenceFile>();
    const QString label = QStringLiteral("Lecture de la permanence « %1 »…")
                              .arg(printableText(QFileInfo(m_path).fileName()));
    auto work = [fresh = m_fresh, file = std::filesystem::path(m_path.toStdU16String()),
                 options = options(), column = m_column](const BackgroundWork::Progress &progress) {
        *fresh = roulette::previewPermanence(
            file, options, column, [&progress](std::uint64_t done, std::uint64_t total) {
                return progress(total > 0 ? static_cast<double>(done) / total : 0.0);
            });
    };
    QWidget *over = isVisible() ? static_cast<QWidget *>(this) : parentWidget();
    m_work = new BackgroundWork(over, label, std::move(work),
                                [this](bool completed) { readDone(completed); });
}

// A reading stopped or refused leaves the last one shown, with the choices it was read with;
// before any was shown, the import ends there.
void PermanenceDialog::readDone(bool completed)
{
    m_work->deleteLater();
    m_work = nullptr;
    if (completed && !m_fresh->analysis && !m_fresh->message.empty())
        m_message(QString::fromStdString(m_fresh->message));
    if (completed && m_fresh->analysis) {
        m_file = std::move(*m_fresh);
        m_fileOptions = options();
        showFile();
        open();
        showStored();
    } else if (!isVisible()) {
        deleteLater();
    } else {
        m_column = m_file.layout.column >= 0 ? std::optional(m_file.layout.column) : std::nullopt;
        m_orderBox->setCurrentIndex(m_fileOptions.order == roulette::SpinOrder::NewestFirst);
        m_cutBox->setCurrentIndex(static_cast<int>(m_fileOptions.cut));
        showChoices();
    }
    allowChoices(true);
    m_fresh.reset();
}

void PermanenceDialog::showFile()
{
    const PermanenceLayout &layout = m_file.layout;
    const roulette::PermanenceAnalysis &analysis = *m_file.analysis;
    QStringList format{
        QStringLiteral("Encodage : %1 (%2)")
            .arg(encodingName(layout.encoding), printableText(layout.encodingReason)),
        QStringLiteral("Séparateur : %1 (%2)")
            .arg(separatorName(layout.separator), printableText(layout.separatorReason)),
        QStringLiteral("Numéros par ligne : de %1 à %2, le plus souvent %3")
            .arg(analysis.minPerLine)
            .arg(analysis.maxPerLine)
            .arg(analysis.typicalPerLine),
        QStringLiteral("Ligne d'en-tête : %1 (%2)")
            .arg(layout.header ? QStringLiteral("oui") : QStringLiteral("non"),
                 printableText(layout.headerReason))};
    if (!layout.columnReason.empty())
        format << QStringLiteral("Colonne : %1").arg(printableText(layout.columnReason));
    if (!layout.zeroReason.empty())
        format << QStringLiteral("« 00 » : %1").arg(printableText(layout.zeroReason));
    m_format->setText(format.join(u'\n'));

    const std::span<const std::uint8_t> spins(analysis.spins);
    m_counts->setText(
        frenchCount(static_cast<std::int64_t>(spins.size()), QStringLiteral("tirage"),
                    QStringLiteral("tirages")) +
        QStringLiteral(" en ") +
        frenchCount(static_cast<std::int64_t>(analysis.sessionStarts.size()),
                    QStringLiteral("session"), QStringLiteral("sessions")) +
        QStringLiteral(", sur ") +
        frenchCount(analysis.lineCount, QStringLiteral("ligne"), QStringLiteral("lignes")));
    const auto quoted = std::min<std::size_t>(QuotedSpins, spins.size());
    m_spins->setPlainText(QStringLiteral("Premiers : %1\nDerniers : %2")
                              .arg(spinList(spins.first(quoted)), spinList(spins.last(quoted))));
    QStringList report;
    for (const std::string &line : roulette::permanenceReport(analysis))
        report << printableText(line);
    m_report->setPlainText(report.isEmpty() ? QStringLiteral("Rien à signaler.")
                                            : report.join(u'\n'));
    showChoices();
    showSessionDates();
}

void PermanenceDialog::showSessionDates()
{
    const roulette::PermanenceAnalysis &analysis = *m_file.analysis;
    const QDateTime start = fileStart(m_file.fileName, m_path);
    const std::vector<std::int64_t> &starts = analysis.sessionStarts;
    m_dateModel->setRowCount(0);
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::int64_t end = i + 1 < starts.size() ? starts[i + 1] : std::ssize(analysis.spins);
        auto *when = new QStandardItem;
        when->setData(start, Qt::EditRole);
        m_dateModel->appendRow({fixedCell(QString::number(i + 1)),
                                fixedCell(frenchNumber(static_cast<double>(end - starts[i]))),
                                when});
    }
    m_dateView->resizeColumnsToContents();
}

std::vector<std::string> PermanenceDialog::sessionDates() const
{
    std::vector<std::string> dates;
    for (int row = 0; row < m_dateModel->rowCount(); ++row)
        dates.push_back(m_dateModel->item(row, DateColumn)
                            ->data(Qt::EditRole)
                            .toDateTime()
                            .toString(StoredFormat)
                            .toStdString());
    return dates;
}

void PermanenceDialog::showChoices()
{
    m_columnBox->clear();
    m_columnBox->addItem(QStringLiteral("toutes les valeurs de chaque ligne"));
    for (const std::string &name : m_file.layout.columns)
        m_columnBox->addItem(printableText(name));
    m_columnBox->setCurrentIndex(m_file.layout.column + 1);
    const bool columns = !m_file.layout.columns.empty();
    m_columnBox->setVisible(columns);
    m_form->labelForField(m_columnBox)->setVisible(columns);
}

// Not the whole dialog: its progress dialog, a child, would lose « Annuler » with it. The
// board plays every spin in a row: sessions only mean something in the notebook.
void PermanenceDialog::allowChoices(bool allowed)
{
    m_columnBox->setEnabled(allowed);
    m_orderBox->setEnabled(allowed);
    m_cutBox->setEnabled(allowed && toNotebook());
    m_destinationBox->setEnabled(allowed);
    m_importButton->setEnabled(allowed);
}

int PermanenceDialog::firstWheelRow() const
{
    return m_toBoard ? 1 : 0;
}

void PermanenceDialog::fillDestinations()
{
    if (m_toBoard)
        m_destinationBox->addItem(QStringLiteral("le tableau, comme un fichier de tirage"));
    std::string error;
    m_wheels = notebookimport::wheels(m_notebookFile, error);
    for (const notebookimport::Wheel &wheel : m_wheels) {
        if (wheel.id == m_presetWheel)
            m_destination = m_destinationBox->count();
        m_destinationBox->addItem(
            QStringLiteral("la roue « %1 » du carnet").arg(printableText(wheel.name)));
    }
    m_destinationBox->addItem(QStringLiteral("une nouvelle roue du carnet…"));
    m_destinationBox->setCurrentIndex(m_destination);
    m_wheelsError = printableText(error);
}

// Sessions and their dates only mean something in the notebook.
void PermanenceDialog::showDestination()
{
    m_dateView->setVisible(toNotebook());
    m_form->labelForField(m_dateView)->setVisible(toNotebook());
}

void PermanenceDialog::destinationChosen(int index)
{
    if (index == m_destinationBox->count() - 1) {
        const QString name =
            QInputDialog::getText(this, QStringLiteral("Nouvelle roue"),
                                  QStringLiteral("Nom de la roue :"), QLineEdit::Normal, m_newWheel)
                .trimmed();
        if (name.isEmpty()) {
            m_destinationBox->setCurrentIndex(m_destination);
            return;
        }
        m_newWheel = name;
        m_destinationBox->setItemText(
            index, QStringLiteral("une nouvelle roue du carnet, « %1 »").arg(printableText(name)));
    }
    m_destination = index;
    allowChoices(true);
    showDestination();
    showStored();
}

bool PermanenceDialog::toNotebook() const
{
    return m_destinationBox->currentIndex() >= firstWheelRow();
}

std::optional<std::int64_t> PermanenceDialog::chosenWheel() const
{
    const int index = m_destinationBox->currentIndex() - firstWheelRow();
    if (index < 0 || index >= std::ssize(m_wheels))
        return std::nullopt;
    return m_wheels[static_cast<std::size_t>(index)].id;
}

// Reading a wheel of millions of spins and looking through them takes a while: on a worker,
// with the usual progress dialog. A search for a wheel no longer chosen is stopped.
void PermanenceDialog::showStored()
{
    delete m_storedWork.data();
    const std::optional<std::int64_t> wheel = chosenWheel();
    m_stored->setText(m_wheelsError); // the wheels missing from the choice, and why
    if (!wheel || !m_file.analysis)
        return;
    m_stored->setText(QStringLiteral("Recherche de ces tirages dans la roue…"));
    struct Found {
        std::optional<roulette::StoredOverlap> overlap;
        std::string error;
    };
    auto found = std::make_shared<Found>();
    auto work = [found, file = m_notebookFile, wheel = *wheel,
                 spins = m_file.analysis->spins](const BackgroundWork::Progress &progress) {
        const std::vector<std::uint8_t> stored =
            notebookimport::storedSpins(file, wheel, found->error);
        if (found->error.empty() && progress(0.5))
            found->overlap = roulette::findInStored(
                spins, stored, [&progress](double done) { return progress(0.5 + done / 2); });
    };
    m_storedWork =
        new BackgroundWork(this, QStringLiteral("Recherche de ces tirages dans la roue…"),
                           std::move(work), [this, found](bool) {
                               m_storedWork->deleteLater();
                               m_storedWork = nullptr;
                               storedFound(found->overlap, found->error);
                           });
}

void PermanenceDialog::storedFound(const std::optional<roulette::StoredOverlap> &overlap,
                                   const std::string &error)
{
    if (!error.empty())
        m_stored->setText(printableText(error));
    else if (!overlap)
        m_stored->setText(QStringLiteral("Recherche interrompue : on ne sait pas si la roue "
                                         "tient déjà ces tirages."));
    else if (overlap->alreadyStored)
        m_stored->setText(QStringLiteral("Attention, cette roue tient déjà %1 de ce fichier "
                                         "(le plus long bloc : %2) : déjà importé ?")
                              .arg(frenchCount(overlap->spinsFound, QStringLiteral("tirage"),
                                               QStringLiteral("tirages")))
                              .arg(overlap->longestBlock));
    else
        m_stored->clear();
}

void PermanenceDialog::importSpins()
{
    if (toNotebook() && !chosenWheel() && m_newWheel.isEmpty())
        destinationChosen(m_destinationBox->currentIndex()); // a new wheel needs its name
    if (toNotebook() && !chosenWheel() && m_newWheel.isEmpty())
        return;
    if (toNotebook()) {
        importToNotebook();
        return;
    }
    roulette::DrawRecords records;
    for (const std::uint8_t spin : m_file.analysis->spins)
        records.append(spin);
    m_toBoard({m_file.fileName, std::move(records), {}});
    accept();
}

// One transaction for the whole import: a stop or a failure midway leaves the notebook as it was.
void PermanenceDialog::importToNotebook()
{
    auto import = std::make_shared<notebookimport::Import>();
    const roulette::PermanenceAnalysis &analysis = *m_file.analysis;
    import->spins = analysis.spins;
    import->sessionStarts = analysis.sessionStarts;
    import->wheelId = chosenWheel();
    import->newWheel = m_newWheel.toStdString();
    import->label = m_file.fileName;
    import->startedAt = sessionDates();
    const QString wheel =
        import->wheelId
            ? m_wheels[static_cast<std::size_t>(m_destinationBox->currentIndex() - firstWheelRow())]
                  .name
            : m_newWheel;
    auto error = std::make_shared<std::string>();
    auto outcome = std::make_shared<notebookimport::Outcome>();
    allowChoices(false);
    m_work = new BackgroundWork(
        this, QStringLiteral("Import dans la roue « %1 »…").arg(printableText(wheel)),
        [file = m_notebookFile, import, error, outcome](const BackgroundWork::Progress &progress) {
            *outcome = notebookimport::importSessions(file, *import, progress, *error);
        },
        [this, error, outcome, import, wheel,
         notebook = QFileInfo(m_notebookFile).fileName()](bool) {
            m_work->deleteLater();
            m_work = nullptr;
            allowChoices(true);
            NotebookChanges::of(m_notebookFile).report(NotebookChange::Contents);
            if (*outcome == notebookimport::Outcome::Failed)
                m_message(QString::fromStdString(*error));
            if (*outcome != notebookimport::Outcome::Done)
                return;
            const Message message = m_message; // the dialog goes once closed
            const QString done =
                QStringLiteral("%1 en %2 dans la roue « %3 » du carnet « %4 ».")
                    .arg(frenchCount(static_cast<std::int64_t>(import->spins.size()),
                                     QStringLiteral("tirage importé"),
                                     QStringLiteral("tirages importés")),
                         frenchCount(static_cast<std::int64_t>(import->sessionStarts.size()),
                                     QStringLiteral("session"), QStringLiteral("sessions")),
                         printableText(wheel), printableText(notebook));
            accept();
            message(done);
        });
}
