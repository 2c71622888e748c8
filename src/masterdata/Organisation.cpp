#include "masterdata/Organisation.h"

#include "store/DataModule.h"
#include "store/Sql.h"

namespace {

// Collects nodes until the limit; one node more marks the tree as cut short.
class Collector
{
public:
    explicit Collector(int limit) : m_limit(limit) {}

    bool add(Organisation::Node node)
    {
        if (int(m_nodes.size()) >= m_limit) {
            m_truncated = true;
            return false;
        }
        m_nodes.push_back(std::move(node));
        return true;
    }
    bool truncated() const { return m_truncated; }
    std::vector<Organisation::Node> take() { return std::move(m_nodes); }

private:
    int m_limit;
    bool m_truncated = false;
    std::vector<Organisation::Node> m_nodes;
};

} // namespace

std::vector<Organisation::Node> Organisation::readTree(int limit, bool* truncated)
{
    Collector tree(limit);
    Query* faculties = m_data.xssj2;
    faculties->setStatement({QStringLiteral("select * from yuanbu")});
    faculties->open();
    for (; !faculties->eof() && !tree.truncated(); faculties->next()) {
        const QString mc = faculties->fieldByName(QStringLiteral("mc")).asString();
        if (!tree.add({1, mc, {}, {}, {}}))
            break;
        Query* sections = m_data.dtbmdm2;
        sections->setStatement({QStringLiteral("select * from bmdm where ybmc=") + Sql::quote(mc)});
        sections->open();
        for (; !sections->eof() && !tree.truncated(); sections->next()) {
            const QString code = sections->fieldByName(QStringLiteral("bmdm")).asString();
            const QString name = sections->fieldByName(QStringLiteral("bmmc")).asString();
            if (!tree.add({2, code, name, sections->fieldByName(QStringLiteral("ybmc")).asString(), {}}))
                break;
            Query* teachers = m_data.dtbmdm1;
            teachers->setStatement(
                {QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and bmdm=") + Sql::quote(code)});
            teachers->open();
            for (; !teachers->eof(); teachers->next()) {
                if (!tree.add({3, teachers->fieldByName(QStringLiteral("bmdm")).asString(),
                               teachers->fieldByName(QStringLiteral("bmmc")).asString(),
                               teachers->fieldByName(QStringLiteral("rymc")).asString(),
                               teachers->fieldByName(QStringLiteral("rydm")).asString()}))
                    break;
            }
        }
    }
    if (truncated)
        *truncated = tree.truncated();
    return tree.take();
}

int Organisation::listFacultyTeachers(const QString& faculty)
{
    return listTeachers(QStringLiteral("bmdm.ybmc=") + Sql::quote(faculty));
}

int Organisation::listSectionTeachers(const QString& section)
{
    return listTeachers(QStringLiteral("bmdm.bmmc=") + Sql::quote(section));
}

int Organisation::listTeachers(const QString& condition)
{
    Query* q = m_data.dtrydm;
    q->setStatement(
        {QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and %1 order by bmdm,rydm").arg(condition)});
    q->open();
    return q->recordCount();
}
