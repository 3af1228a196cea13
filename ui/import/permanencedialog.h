#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

#include "sources/drawfile.h"
#include "sources/permanencefile.h"
#include "ui/import/notebookimport.h"

class BackgroundWork;
class QComboBox;
class QFormLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

/// « Importer une permanence… »: reads the chosen file off the window's thread, then shows
/// how it was read and what it holds before anything changes. A choice that changes the
/// reading (column, order) reads the file again; « Importer » hands the spins on.
class PermanenceDialog : public QDialog
{
    Q_OBJECT
public:
    /// Where the spins go to play on the board, as « Ouvre » would with them.
    using ToBoard = std::function<void(roulette::DrawFileLoad)>;
    /// How the window tells the user why the file cannot be imported.
    using Message = std::function<void(const QString &)>;

    /// Where the spins may go.
    struct Destinations {
        ToBoard toBoard;                   ///< none: the board is not offered
        QString notebookFile;              ///< the notebook open in the program
        std::optional<std::int64_t> wheel; ///< of that notebook, chosen first when given
    };

    /// Reads the file at path; shows the dialog once it is read, or the message when it
    /// cannot be imported. The dialog deletes itself once closed, as does a stopped reading.
    static void start(QWidget *window, const QString &path, Destinations destinations,
                      Message message);

private:
    PermanenceDialog(QWidget *window, const QString &path, Destinations destinations,
                     Message message);

    void buildWidgets();
    void read();
    void readDone(bool completed);
    void showFile();
    void showChoices();
    void importSpins();
    void allowChoices(bool allowed);
    void fillDestinations();
    void destinationChosen(int index);
    void showDestination();
    void showStored();
    void storedFound(const std::optional<roulette::StoredOverlap> &overlap,
                     const std::string &error);
    void showSessionDates();
    std::vector<std::string> sessionDates() const;
    int firstWheelRow() const;
    std::optional<std::int64_t> chosenWheel() const;
    bool toNotebook() const;
    void importToNotebook();
    roulette::PermanenceOptions options() const;

    QString m_path;
    ToBoard m_toBoard;
    Message m_message;
    BackgroundWork *m_work = nullptr;                  // a child, while the file is read
    QPointer<BackgroundWork> m_storedWork;             // looking for the file in the wheel
    std::shared_ptr<roulette::PermanenceFile> m_fresh; // the worker's until it is done
    roulette::PermanenceFile m_file;                   // the reading shown
    roulette::PermanenceOptions m_fileOptions;         // those m_file was read with
    std::optional<int> m_column;                       // chosen by the user
    QString m_notebookFile;
    std::optional<std::int64_t> m_presetWheel;
    std::vector<notebookimport::Wheel> m_wheels; // the destinations after the board
    QString m_newWheel;                          // named by the user, the last destination
    int m_destination = 0;                       // the one before the current choice

    QFormLayout *m_form = nullptr;
    QLabel *m_format = nullptr;
    QComboBox *m_columnBox = nullptr;
    QLabel *m_counts = nullptr;
    QPlainTextEdit *m_spins = nullptr;
    QPlainTextEdit *m_report = nullptr;
    QComboBox *m_orderBox = nullptr;
    QComboBox *m_cutBox = nullptr;
    QComboBox *m_destinationBox = nullptr;
    QLabel *m_stored = nullptr; // what the chosen wheel already holds of the file
    QString m_wheelsError;      // why the notebook's wheels could not be read, shown in m_stored
    QStandardItemModel *m_dateModel = nullptr; // each session's start, which the user may set
    QTableView *m_dateView = nullptr;
    QPushButton *m_importButton = nullptr;
};
