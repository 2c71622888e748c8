#pragma once

#include "exchange/WorkloadExport.h"
#include "gui/SideScreen.h"

class DataModule;
class ProgressPanel;
class QLineEdit;
class QRadioButton;
class QToolButton;
struct Session;

// The export screen "备份数据": writes the rows of the session's selection (YearFilter) into an
// exchange file. Shown without blocking the main window; Enter in the path field exports, Esc
// closes it.
class ExportScreen : public SideScreen
{
    Q_OBJECT
public:
    ExportScreen(DataModule& data, const Session& session, QWidget* parent = nullptr);

    // The first destination and the path field's text when shown: "A:\bt" on Windows, else the
    // home directory's "bt". The directory chooser starts in the exchange folder (ExchangeFolder).
    static QString defaultDestination();

    // Destination text for a directory chosen with "┅": a drive root (at most 3 characters) takes
    // the base name directly, any other directory after a separator.
    static QString destinationFor(const QString& directory);

    WorkloadExport::Format format() const { return m_format; }

private:
    void refill() override;
    void onFormatClicked();
    void onDestinationClicked();
    void onBrowseClicked();
    void onExportClicked();
    enum class Result
    {
        Done,
        NoRows,
        CopyFailed, // also a stored value the file cannot carry
        StoreFailed
    };
    // Writes the file; when it is not Done, m_failure says why.
    Result runExport();
    void ready();

    QRadioButton* m_dbt;
    QRadioButton* m_dbf;
    QRadioButton* m_firstDestination;
    QRadioButton* m_directory;
    QLineEdit* m_path;
    QToolButton* m_browse;
    ProgressPanel* m_panel;

    DataModule& m_data;
    const Session& m_session;
    WorkloadExport::Format m_format = WorkloadExport::Format::Paradox;
    QString m_failure;
};
