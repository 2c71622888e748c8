#include "gui/FileDialog.h"

#include <QFileDialog>

namespace {

// Qt's own chooser, not the desktop's: it speaks the program's language (Chinese) whatever the
// desktop's, as the rest of the program does.
constexpr QFileDialog::Options ownChooser = QFileDialog::DontUseNativeDialog;

} // namespace

std::deque<QString> FileDialog::s_paths;
std::deque<FileDialog::Asked> FileDialog::s_asked;
bool FileDialog::s_scripted = false;

QString FileDialog::answer(const Asked& asked)
{
    s_asked.push_back(asked);
    if (s_paths.empty())
        return {};
    const QString path = s_paths.front();
    s_paths.pop_front();
    return path;
}

QString FileDialog::openFile(QWidget* parent, const QString& caption, const QString& startDir, const QString& filter)
{
    if (s_scripted)
        return answer({caption, startDir, filter, false, false});
    return QFileDialog::getOpenFileName(parent, caption, startDir, filter, nullptr, ownChooser);
}

QString FileDialog::saveFile(QWidget* parent, const QString& caption, const QString& startPath, const QString& filter)
{
    if (s_scripted)
        return answer({caption, startPath, filter, false, true});
    return QFileDialog::getSaveFileName(parent, caption, startPath, filter, nullptr, ownChooser);
}

QString FileDialog::directory(QWidget* parent, const QString& caption, const QString& startDir)
{
    if (s_scripted)
        return answer({caption, startDir, QString(), true, false});
    return QFileDialog::getExistingDirectory(parent, caption, startDir, QFileDialog::ShowDirsOnly | ownChooser);
}

void FileDialog::setScripted(bool scripted)
{
    s_scripted = scripted;
    s_paths.clear();
    s_asked.clear();
}

void FileDialog::setNextPath(const QString& path)
{
    s_paths.push_back(path);
}

const std::deque<FileDialog::Asked>& FileDialog::asked()
{
    return s_asked;
}
