#include "store/DemoData.h"

#include "store/Database.h"
#include "store/WorkloadCategories.h"

#include <QVariantList>

#include <cmath>

namespace {

// A small generator of our own: std::uniform_int_distribution differs between libraries.
class Random
{
public:
    explicit Random(unsigned seed) : m_state(seed * 6364136223846793005ULL + 1442695040888963407ULL) {}
    unsigned next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return unsigned(m_state >> 33);
    }
    int between(int low, int high) { return low + int(next() % unsigned(high - low + 1)); }
    template <typename T, size_t N> const T& pick(const T (&items)[N]) { return items[next() % N]; }
    bool chance(int percent) { return between(1, 100) <= percent; }

private:
    unsigned long long m_state;
};

struct FacultyPlan
{
    const char* name;
    const char* shortName; // class names: "计科2023级1班"
    std::vector<const char*> sections;
    std::vector<const char*> courses;
};

const std::vector<FacultyPlan>& plans()
{
    static const std::vector<FacultyPlan> p{
        {"计算机科学与技术学院",
         "计科",
         {"软件工程教研室", "计算机基础教研室", "网络工程教研室"},
         {"数据结构", "操作系统", "计算机网络", "数据库原理", "软件工程", "编译原理", "C语言程序设计", "计算机组成原理",
          "人工智能导论", "算法设计与分析"}},
        {"机械工程学院",
         "机械",
         {"机械设计教研室", "材料成型教研室"},
         {"机械原理", "机械设计", "工程制图", "理论力学", "材料力学", "数控技术", "液压与气压传动",
          "机械制造技术基础"}},
        {"经济管理学院",
         "经管",
         {"会计学教研室", "市场营销教研室"},
         {"管理学原理", "微观经济学", "宏观经济学", "会计学基础", "财务管理", "市场营销学", "统计学", "经济法"}},
        {"外国语学院",
         "外语",
         {"大学英语教研室", "英语专业教研室"},
         {"大学英语", "综合英语", "英语听力", "英美文学", "翻译理论与实践", "英语写作"}},
        {"数学与统计学院",
         "数学",
         {"高等数学教研室", "应用数学教研室"},
         {"高等数学", "线性代数", "概率论与数理统计", "数学分析", "复变函数", "数值分析"}},
        {"土木工程学院",
         "土木",
         {"结构工程教研室", "道路桥梁教研室"},
         {"结构力学", "土力学", "混凝土结构", "钢结构", "工程测量", "桥梁工程"}},
    };
    return p;
}

const char* const Surnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙",
                                "马", "朱", "胡", "郭", "何", "高", "林", "罗", "郑", "梁", "谢", "宋",
                                "唐", "许", "韩", "冯", "邓", "曹", "彭", "曾", "萧", "田", "董", "潘"};
const char* const GivenNames[] = {"建国", "晓明", "丽华", "志强", "秀英", "海燕", "伟",   "芳",   "敏",   "静",
                                  "磊",   "洋",   "艳",   "勇",   "军",   "杰",   "娟",   "涛",   "明",   "超",
                                  "秀兰", "霞",   "平",   "刚",   "桂英", "文博", "子涵", "雨婷", "浩然", "思远"};
const char* const Titles[] = {"正高级", "副高级", "副高级", "中级", "中级", "中级", "初级"};
const char* const Posts[] = {"无重点岗位", "无重点岗位", "无重点岗位", "重点 6 级",
                             "重点 5 级",  "重点 4 级",  "重点 3 级"};
const char* const CourseTypes[] = {"公共基础课", "专业基础课", "专业课", "专业课", "双语课", "实验课", "体育课"};
const char* const PracticeTypes[] = {"教学实习", "生产实习", "毕业实习", "认识实习", "课程设计", "社会实践"};

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

struct Teacher
{
    QString code, name, title, nature, post, section, faculty, classPrefix;
    const FacultyPlan* plan;
};

const QString InsertRow = QStringLiteral(
    "insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,yan,banji,r1,kname,t1,shuoming,r2,t2,bg,fzs,r3,w,nd,"
    "xingzhi,zhicheng,fl,r32,r33,q32,q33,gangwei) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");

// A teacher with every total 0.
QString insertTeacher()
{
    QStringList totals{QStringLiteral("q")};
    for (const char* c : WorkloadCategories::totalColumns())
        totals << QString::fromLatin1(c);
    return QStringLiteral("insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw,%1) values (?,?,?,?,?,?%2)")
        .arg(totals.join(u','), QStringLiteral(",0").repeated(totals.size()));
}

void addRow(Database& db, Random& rnd, const Teacher& t, const QString& year, int xh)
{
    const int entryYear = year.left(4).toInt() - rnd.between(0, 3);
    const QString className = QStringLiteral("%1%2级%3班").arg(t.classPrefix).arg(entryYear).arg(rnd.between(1, 4));
    const int kind = rnd.between(1, 100);
    QVariant n; // blank number
    QVariantList v{xh, t.name, t.faculty, t.section};
    if (kind <= 70) { // theory and lab
        const QString type = u(rnd.pick(CourseTypes));
        const bool graduate = (type == u("专业课") || type == u("公共基础课")) && rnd.chance(10);
        const QString student = graduate ? u("研究生") : (rnd.chance(85) ? u("本科生") : u("专科生"));
        const int students = graduate ? rnd.between(8, 40) : rnd.between(25, 160);
        const int labHours = type == u("体育课") || rnd.chance(40) ? 0 : rnd.pick({8, 16, 16, 24, 32});
        const int groups = labHours ? rnd.between(1, 4) : 0;
        v << (rnd.chance(95) ? 0 : 1) << student << className << double(students)
          << u(t.plan->courses[rnd.next() % t.plan->courses.size()]) << double(rnd.pick({32, 32, 48, 48, 64})) << type
          << double(labHours ? students : 0) << double(labHours) << double(rnd.chance(85) ? 0 : 1) << double(groups)
          << n << n << year << t.nature << t.title << WorkloadCategories::fl(WorkloadCategories::Id::Theory) << n << n
          << n << n;
    } else if (kind <= 85) { // internship and course design
        const QString type = u(rnd.pick(PracticeTypes));
        v << (rnd.chance(95) ? 0 : 1) << u("本科生") << className << n << type << n << type << n << n << n << n
          << double(rnd.between(15, 60)) << double(rnd.between(1, 4)) << year << t.nature << t.title
          << WorkloadCategories::fl(WorkloadCategories::Id::Internship) << n << n << 0.0 << n;
    } else if (kind <= 95) { // graduation design
        v << 0 << u("本科生") << className << n << className << n << QString() << n << n << n << n << n << n << year
          << t.nature << t.title << WorkloadCategories::fl(WorkloadCategories::Id::Graduation)
          << double(rnd.between(3, 12)) << n << 0.0 << n;
    } else { // postgraduate supervision
        const QString cls = QStringLiteral("%1研%2级").arg(t.classPrefix).arg(entryYear);
        v << 0 << u("研究生") << cls << n << cls << n << QString() << n << n << n << n << n << n << year << t.nature
          << t.title << WorkloadCategories::fl(WorkloadCategories::Id::Supervision) << n << double(rnd.between(1, 5))
          << n << 0.0;
    }
    v << t.post;
    db.executeBound(InsertRow, v);
}

} // namespace

namespace DemoData {

Options demo()
{
    Options o;
    o.years = {u("2025-2026学年"), u("2026-2027学年")};
    return o;
}

Options synthetic(int faculties, int sections, int teachers, int rows, int years)
{
    Options o;
    o.faculties = faculties;
    o.sectionsPerFaculty = sections;
    o.teachersPerSection = teachers;
    o.rowsPerTeacher = rows;
    o.fullOlderYears = true;
    for (int i = years - 1; i >= 0; --i)
        o.years << QStringLiteral("%1-%2学年").arg(2026 - i).arg(2027 - i);
    return o;
}

int generate(Database& db, const Options& o)
{
    Random rnd(o.seed);
    int xh = 0;
    const auto maxXh = db.select(QStringLiteral("select max(xh) from gzl"));
    if (!maxXh.rows.empty())
        xh = maxXh.rows.front().value(0).toInt();
    const int firstXh = xh;
    const bool handMade = o.sectionsPerFaculty == 0;
    const int teachersHandMade[] = {7, 6, 5, 6, 5, 6, 5};
    int sectionNumber = 0;

    for (int f = 0; f < o.faculties; ++f) {
        const FacultyPlan& plan = plans()[size_t(f) % plans().size()];
        const int round = f / int(plans().size());
        const QString faculty = round ? QStringLiteral("%1%2").arg(u(plan.name).left(10)).arg(round + 1) : u(plan.name);
        db.executeBound(QStringLiteral("insert into yuanbu (mc) values (?)"), {faculty});
        const int sections = handMade ? int(plan.sections.size()) : o.sectionsPerFaculty;
        for (int s = 0; s < sections; ++s) {
            const QString base = u(plan.sections[size_t(s) % plan.sections.size()]);
            const int again = s / int(plan.sections.size()) + (round ? round * 10 : 0);
            const QString section =
                again ? base.left(base.size() - 3) + QString::number(again + 1) + u("教研室") : base;
            const QString sectionCode =
                QStringLiteral("%1%2").arg(f + 1, 2, 10, QChar(u'0')).arg(s + 1, 2, 10, QChar(u'0'));
            db.executeBound(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values (?,?,?)"),
                            {sectionCode, section, faculty});
            const int teachers = handMade ? teachersHandMade[sectionNumber % 7] : o.teachersPerSection;
            ++sectionNumber;
            QStringList names; // one name once per section, so that rows are told apart
            for (int t = 0; t < teachers; ++t) {
                Teacher teacher;
                teacher.code = sectionCode + QStringLiteral("%1").arg(t + 1, 3, 10, QChar(u'0'));
                do
                    teacher.name = u(rnd.pick(Surnames)) + u(rnd.pick(GivenNames));
                while (names.contains(teacher.name));
                names << teacher.name;
                teacher.title = u(rnd.pick(Titles));
                teacher.nature = rnd.chance(90) ? u("专职") : u("兼职");
                teacher.post = u(rnd.pick(Posts));
                teacher.section = section;
                teacher.faculty = faculty;
                teacher.classPrefix = u(plan.shortName);
                teacher.plan = &plan;
                db.executeBound(insertTeacher(),
                                {teacher.code, teacher.name, sectionCode, teacher.title, teacher.nature, teacher.post});
                for (int y = 0; y < o.years.size(); ++y) {
                    const bool newest = y == o.years.size() - 1;
                    const int rows = newest || o.fullOlderYears
                                         ? o.rowsPerTeacher
                                         : (rnd.chance(40) ? std::max(1, o.rowsPerTeacher / 5) : 0);
                    for (int r = 0; r < rows; ++r)
                        addRow(db, rnd, teacher, o.years[y], ++xh);
                }
            }
        }
    }
    return xh - firstXh;
}

} // namespace DemoData
