#include "store/StoreSetup.h"

#include "store/Database.h"
#include "store/HeldTemporary.h"
#include "store/Leftovers.h"
#include "store/PasswordHash.h"
#include "store/StoreFiles.h"
#include "store/Transaction.h"

#include <QDir>
#include <QFile>

namespace {

// fenlie,sunxu,shuoming,yan,s1,k12,s2,gs,k11,tiaojian (the condition is the rest of the line).
const char* const DefaultParameters = R"(0,1,公共基础课,本专生,60,0.15,30,c12,1,fl='理论实验' and yan<>'研究生'
0,2,专业基础课,本专生,60,0.15,30,c12,1,fl='理论实验' and yan<>'研究生'
0,3,专业课,本专生,40,0.18,20,c12,1.1,fl='理论实验' and yan<>'研究生'
0,4,双语课,本专生,40,0.18,20,c12,1.2,fl='理论实验' and yan<>'研究生'
0,5,实验课,本专生,40,0.1,20,c12,0.9,fl='理论实验' and yan<>'研究生'
0,6,体育课,本专生,30,0.05,30,c12,0.8,fl='理论实验' and yan<>'研究生'
1,1,专业课,研究生,20,0.19,10,c12,1.5,fl='理论实验' and yan='研究生'
1,2,公共基础课,研究生,40,0.15,20,c12,1.3,fl='理论实验' and yan='研究生'
2,1,规模系数：标准班,,,,,k11,1,fl='理论实验' and r1<=s1
2,2,规模系数：大班,,,,,k11,1+(r1-s1)/s1*0.5,fl='理论实验' and r1>s1 and r1<=2*s1
2,3,规模系数：超大班,,,,,k11,1.5+(r1-2*s1)/s1*0.3,fl='理论实验' and r1>2*s1 and r1<=3*s1
2,4,规模系数：上限,,,,,k11,1.8,fl='理论实验' and r1>3*s1
2,5,未按要求排课不计规模系数,,,,,k11,1,fl='理论实验' and gm<>0
3,1,课堂工作量,,,,,q11,t1*k11*c12,fl='理论实验'
4,1,课外工作量,,,,,q12,q11*k12,fl='理论实验'
5,1,实验分组规模：标准,,,,,k2,1,fl='理论实验' and t2>0 and r2<=s2*fzs
5,2,实验分组规模：超标,,,,,k2,1+(r2-s2*fzs)/(s2*fzs)*0.5,fl='理论实验' and t2>0 and r2>s2*fzs
5,3,无实验,,,,,k2,0,fl='理论实验' and t2=0
6,1,实验工作量：有实验报告,,,,,q2,t2*fzs*k2,fl='理论实验' and bg=0
6,2,实验工作量：无实验报告,,,,,q2,t2*fzs*k2*0.9,fl='理论实验' and bg<>0
7,1,理论实验合计,,,,,q1,q11+q12+q2,fl='理论实验'
8,1,课外系数折算,,,,,kk12,k12*c12,fl='理论实验'
9,1,教学实习,,,,,s3,30,fl='实习设计' and shuoming='教学实习'
9,2,生产实习,,,,,s3,30,fl='实习设计' and shuoming='生产实习'
9,3,毕业实习,,,,,s3,30,fl='实习设计' and shuoming='毕业实习'
9,4,认识实习,,,,,s3,40,fl='实习设计' and shuoming='认识实习'
9,5,课程设计,,,,,s3,20,fl='实习设计' and shuoming='课程设计'
9,6,社会实践,,,,,s3,40,fl='实习设计' and shuoming='社会实践'
10,1,课程实习、设计系数,,,,,k31,0.5,fl='实习设计'
11,1,实习设计工作量：标准组,,,,,q31,w*20*k31,fl='实习设计' and r3<=s3
11,2,实习设计工作量：超标组,,,,,q31,w*20*k31*r3/s3,fl='实习设计' and r3>s3
11,3,未按要求排课,,,,,q31,w*20*k31*0.8,fl='实习设计' and gm<>0
12,1,毕业设计：按人数计,,,,,q32,r32*12,fl='毕业设计' and q32=0
12,2,指导硕士：按人数计,,,,,q33,r33*20,fl='指导硕士' and q33=0
)";

const char* const DefaultYears[] = {"2023-2024学年", "2024-2025学年", "2025-2026学年", "2026-2027学年"};

} // namespace

namespace StoreSetup {

void addDefaults(Database& db)
{
    const QString insertUser =
        QStringLiteral("insert into user1 (name,password1,gl1,gl2,gl3,gl4,usergl,gl31) values (?,?,?,0,0,0,0,'')");
    db.executeBound(insertUser, {QStringLiteral("001"), PasswordHash::hash(QStringLiteral("123456")), 1});
    db.executeBound(insertUser, {QStringLiteral("002"), PasswordHash::hash(QStringLiteral("123456")), 0});
    for (const char* year : DefaultYears)
        db.executeBound(QStringLiteral("insert into niandu (nd) values (?)"), {QString::fromUtf8(year)});
    db.executeBound(QStringLiteral("insert into system (Nd,yx,jys,jysmc) values (?,'','','')"),
                    {QString::fromUtf8(DefaultYears[std::size(DefaultYears) - 1])});

    const QStringList lines = QString::fromUtf8(DefaultParameters).split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QStringList f = line.split(u',');
        const QString condition = f.mid(9).join(u',');
        db.executeBound(QStringLiteral("insert into sysparameter (fenlie,sunxu,shuoming,yan,s1,k12,s2,gs,k11,tiaojian) "
                                       "values (?,?,?,?,?,?,?,?,?,?)"),
                        {f[0].toDouble(), f[1].toDouble(), f[2], f[3], f[4], f[5].isEmpty() ? 0.0 : f[5].toDouble(),
                         f[6], f[7], f[8], condition});
    }
}

namespace {

const QStringList JournalSuffixes{QStringLiteral("-wal"), QStringLiteral("-shm")};

void removeFile(const QString& path)
{
    QFile f(path);
    if (f.exists() && !f.remove())
        throw StoreError(QStringLiteral("不能删除原有的数据库文件: %1").arg(path), {}, StoreError::Kind::Io);
}

// The new store is complete and closed in `from`; it replaces whatever store `to` holds. A
// journal left beside an old store would be applied to the new one, so it goes first.
void moveIntoPlace(const QString& from, const QString& to)
{
    const QString target = Database::storePath(to);
    for (const QString& suffix : JournalSuffixes)
        removeFile(target + suffix);
    StoreFiles::replaceFile(Database::storePath(from), target);
}

} // namespace

void createStore(const QString& dataDir, bool replace, const std::function<void(const QString&)>& fill, bool defaults)
{
    if (!QDir().mkpath(dataDir))
        throw StoreError(QStringLiteral("不能建立数据目录: %1").arg(dataDir), {}, StoreError::Kind::Io);
    if (!replace && Database::exists(dataDir))
        throw StoreError(QStringLiteral("数据目录中已有数据库: %1").arg(Database::storePath(dataDir)));
    // Built beside its place and renamed into it only when complete: a failure (a full disk)
    // leaves no half-made store behind to block the next attempt.
    Leftovers::removeDead(dataDir);
    HeldTemporary build =
        HeldTemporary::create(HeldTemporary::Kind::Directory, QDir(dataDir).filePath(Leftovers::NewStore));
    {
        auto db = Database::create(build.path());
        if (defaults) {
            Transaction tx(*db);
            addDefaults(*db);
            tx.commit();
        }
    }
    if (fill)
        fill(build.path());
    for (const QString& suffix : JournalSuffixes) {
        if (QFile::exists(Database::storePath(build.path()) + suffix))
            throw StoreError(QStringLiteral("新数据库仍在使用中: %1").arg(build.path()), {}, StoreError::Kind::Io);
    }
    moveIntoPlace(build.path(), dataDir);
}

} // namespace StoreSetup
