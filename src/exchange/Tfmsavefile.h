#pragma once

#include "WorkloadExport.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;

// The export screen "备份数据": writes the rows of the current tree selection (YearFilter)
// into an exchange file. Shown without blocking the main window.
class Tfmsavefile : public QWidget
{
    Q_OBJECT
public:
    explicit Tfmsavefile(QWidget* parent = nullptr);

    // The first destination and the path field's text when shown: "A:\bt" on Windows, else the
    // home directory's "bt"; the directory chooser starts at "c:" on Windows, else at home.
    static QString defaultDestination();
    static QString defaultChooserStart();

    // Destination text for a directory chosen with "┅": a drive root (at most 3 characters) takes
    // the base name directly, any other directory after a separator.
    static QString destinationFor(const QString& directory);

    WorkloadExport::Format format() const { return m_format; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void formatClick();
    void destinationClick();
    void SpeedButton1Click();
    void BitBtn1Click();
    enum class Result
    {
        Done,
        NoRows,
        CopyFailed,
        StoreFailed
    };
    Result runExport();
    void ready();
    void setProgress(int value);
    void setStatus(const QString& text);

    QRadioButton* m_dbt;
    QRadioButton* m_dbf;
    QRadioButton* m_firstDestination;
    QRadioButton* m_directory;
    QLineEdit* m_path;
    QToolButton* m_browse;
    QProgressBar* m_animation;
    QLabel* m_status;
    QProgressBar* m_progress;
    QPushButton* m_export;
    QPushButton* m_return;

    WorkloadExport::Format m_format = WorkloadExport::Format::Paradox;
    QString m_chooserStart;
    QString m_baseName = QStringLiteral("bt");
    QString m_storeError;
};
