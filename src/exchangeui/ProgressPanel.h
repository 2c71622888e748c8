#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// What the exchange screens show while they work: a running busy indicator (the file-copy
// animation), the status line and the progress bar. Each change is painted at once, since the
// work runs on the screen's own thread.
class ProgressPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* parent = nullptr);

    void setBusy(bool busy);
    void setProgress(int value);
    void setStatus(const QString& text);
    // An observer for the export and import: progress, and the status when one is given.
    void report(int progress, const QString& status);

private:
    QProgressBar* m_animation;
    QLabel* m_status;
    QProgressBar* m_progress;
};
