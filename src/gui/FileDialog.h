#pragma once

#include <QString>

#include <deque>

class QWidget;

// Every file and directory chooser of the program goes through here. Tests queue the paths
// to answer (an empty path is a cancel) and read back how the chooser was asked.
class FileDialog
{
public:
    struct Asked
    {
        QString caption;
        QString startDir;
        QString filter;
        bool directory;
        bool save;
    };

    static QString openFile(QWidget* parent, const QString& caption, const QString& startDir, const QString& filter);
    // A file to write: the chooser starts at `startPath` (a directory, or a suggested file in one) and
    // asks before replacing an existing file.
    static QString saveFile(QWidget* parent, const QString& caption, const QString& startPath, const QString& filter);
    // The chooser lets the user create a missing directory.
    static QString directory(QWidget* parent, const QString& caption, const QString& startDir);

    static void setScripted(bool scripted);
    static void setNextPath(const QString& path);
    static const std::deque<Asked>& asked();

private:
    static QString answer(const Asked& asked);

    static std::deque<QString> s_paths;
    static std::deque<Asked> s_asked;
    static bool s_scripted;
};
