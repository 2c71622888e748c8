#pragma once

#include <QString>

class QWidget;

// The start-up's way to bring an old installation over when the data directory has no store:
// the directory chooser, the migration with a progress bar per table, and the result box with
// the rows of each table, what was changed and what to do next. Conflicts are shown, with the
// offer to mend those that have one right answer; a refused migration leaves no store behind.
class MigrationRun
{
public:
    explicit MigrationRun(const QString& dataDir) : m_dataDir(dataDir) {}

    // True when the store was made.
    bool run(QWidget* parent);

private:
    bool migrate(QWidget* parent, const QString& oldDir, bool repair);

    QString m_dataDir;
};
