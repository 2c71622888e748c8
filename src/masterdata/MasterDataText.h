#pragma once

#include <QString>

// What the master-data screens tell the operator when a change is refused or fails; the
// command line prints the same words.
namespace MasterDataText {

inline const QString FacultyFailed = QStringLiteral("输入的单位代码重复或者出现输入的文字超长!");
inline const QString FacultyHasWorkload = QStringLiteral("你要删除的院部已经输入了数据，不能删除!");
inline const QString FacultyHasSections = QStringLiteral("你要删除的院部还有教研室，不能删除!");
inline const QString FacultyMissing = QStringLiteral("没有这个院部: %1");
inline const QString FacultyDeleteQuestion = QStringLiteral("你确信要删除选择院部数据吗？");

inline const QString SectionDuplicate = QStringLiteral("输入的教研室代码重复!");
inline const QString SectionFailed = QStringLiteral("输入的单位代码重复或者出现输入的文字超长!");
inline const QString SectionHasWorkload = QStringLiteral("你要删除的教研室已经输入了工作量数据，不能删除!");
inline const QString SectionHasTeachers = QStringLiteral("你要删除的教研室还有教师，不能删除!");
inline const QString SectionMissing = QStringLiteral("没有这个教研室代码: %1");
inline const QString SectionDeleteQuestion = QStringLiteral("你确信要删除选择教研室数据吗？");

inline const QString TeacherDuplicate = QStringLiteral("输入的教师代码重复!");
inline const QString TeacherFailed = QStringLiteral("输入的教师代码重复或者出现输入的文字超长!");
inline const QString TeacherHasWorkload = QStringLiteral("你要删除的教师已经输入了工作量，不能删除!");
inline const QString TeacherMissing = QStringLiteral("没有这个教师代码: %1");
inline const QString TeacherDeleteQuestion = QStringLiteral("你确信要删除选择教师数据吗？");

} // namespace MasterDataText
